#include "configfiles.h"

#include <QtCore/QCoreApplication>

namespace {

QString &chosenFolder()
{
    static QString folder;
    return folder;
}

QString configFolder()
{
    const QString &chosen = chosenFolder();
    return chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen;
}

} // namespace

void ConfigFiles::setFolder(const QString &folder)
{
    chosenFolder() = folder;
}

QString ConfigFiles::keyboardConfigPath()
{
    return configFolder() + QLatin1String("/Keyboard/VORN_KeyBoard_Config.ini");
}

QString ConfigFiles::oledConfigPath()
{
    return configFolder() + QLatin1String("/Keyboard/VORN_UpdateOled_Config.ini");
}
