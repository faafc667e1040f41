#include "model_vornparam.h"

quint64 Model_VOrnParam::gOledLength = 10;
