#include "uiprocdealkeypress_vorn_desktop.h"

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID(model_Protocoldata const &message)
{
    Q_UNUSED(message)
}

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID_3R(model_Protocoldata const &message)
{
    Q_UNUSED(message)
}

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue(model_Protocoldata const &message)
{
    Q_UNUSED(message)
}

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue_New(
        model_Protocoldata const &message)
{
    Q_UNUSED(message)
}
