#include "configfiles.h"

#include <QtCore/QCoreApplication>

QString ConfigFiles::keyboardConfigPath()
{
    return QCoreApplication::applicationDirPath()
            + QLatin1String("/Keyboard/VORN_KeyBoard_Config.ini");
}

QString ConfigFiles::oledConfigPath()
{
    return QCoreApplication::applicationDirPath()
            + QLatin1String("/Keyboard/VORN_UpdateOled_Config.ini");
}
