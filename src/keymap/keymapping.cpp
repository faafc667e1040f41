#include "uiprocdealkeypress_vorn_desktop.h"

void UiprocDealKeyPress_Vorn_Desktop::initVirtualKeyBoard() { }

void UiprocDealKeyPress_Vorn_Desktop::writeVirtualKeyBoard() { }

void UiprocDealKeyPress_Vorn_Desktop::addModifyValue(int, int) { }

void UiprocDealKeyPress_Vorn_Desktop::resetButton(int) { }

void UiprocDealKeyPress_Vorn_Desktop::resetAllButton() { }

bool UiprocDealKeyPress_Vorn_Desktop::readIsModify(int keyBtn)
{
    Q_UNUSED(keyBtn)
    return false;
}

int UiprocDealKeyPress_Vorn_Desktop::readModifiedIndex(int keyBtn)
{
    Q_UNUSED(keyBtn)
    return -1;
}

void UiprocDealKeyPress_Vorn_Desktop::writeOledIni(int keyValue, int displayModel, int iconIndex,
                                                   QString firstText, QString secondText)
{
    Q_UNUSED(keyValue)
    Q_UNUSED(displayModel)
    Q_UNUSED(iconIndex)
    Q_UNUSED(firstText)
    Q_UNUSED(secondText)
}

void UiprocDealKeyPress_Vorn_Desktop::getVirturalKeyBoardAllOLED() { }
