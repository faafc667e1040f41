#include "model_protocoldata.h"

model_Protocoldata::model_Protocoldata() = default;
model_Protocoldata::model_Protocoldata(const model_Protocoldata &other) = default;
model_Protocoldata &model_Protocoldata::operator=(const model_Protocoldata &other) = default;
model_Protocoldata::~model_Protocoldata() = default;
