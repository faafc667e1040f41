#include "configfiles.h"
#include "oledconfigstore.h"
#include "sessionrecorder.h"
#include "uiprocdealkeypress_vorn_desktop.h"

void UiprocDealKeyPress_Vorn_Desktop::writeOledIni(int keyValue, int displayModel, int iconIndex,
                                                   QString firstText, QString secondText)
{
    recordCall("writeOledIni", keyValue, displayModel, iconIndex, firstText, secondText);
    OledConfigStore(ConfigFiles::oledConfigPath())
            .write(keyValue, displayModel, iconIndex, firstText, secondText);
}
