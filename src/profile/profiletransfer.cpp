#include "uiprocdealkeypress_vorn_desktop.h"

bool UiprocDealKeyPress_Vorn_Desktop::scanUdisk()
{
    return false;
}

int UiprocDealKeyPress_Vorn_Desktop::exportProfile()
{
    return -1;
}

int UiprocDealKeyPress_Vorn_Desktop::importProfile()
{
    return -1;
}
