#include "uiprocdealkeypress_vorn_desktop.h"

namespace {

const unsigned short FunctionTabKey = 0x57;

} // namespace

void UiprocDealKeyPress_Vorn_Desktop::dealKeyPress(model_Protocoldata message)
{
    Q_UNUSED(message)
}

void UiprocDealKeyPress_Vorn_Desktop::deaGrouplKeyPress(unsigned short keyValue)
{
    if (keyValue == FunctionTabKey)
        emit sig_fnTab();
}

void UiprocDealKeyPress_Vorn_Desktop::updateKeyTimer() { }

int UiprocDealKeyPress_Vorn_Desktop::keyTransform(int keyValue)
{
    return keyValue;
}

int UiprocDealKeyPress_Vorn_Desktop::getGroupIdByKeyValue(unsigned short keyValue)
{
    Q_UNUSED(keyValue)
    return 0;
}

QByteArray UiprocDealKeyPress_Vorn_Desktop::f_GBKToUTF8(const QByteArray &bytes)
{
    return bytes;
}

int UiprocDealKeyPress_Vorn_Desktop::effectToShortIndex(int nEffectIndex)
{
    return nEffectIndex;
}
