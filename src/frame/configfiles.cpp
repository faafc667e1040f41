#include "configfiles.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QSettings>

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

bool ConfigFiles::commit(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    qWarning().noquote() << "DealKeyPress: cannot write" << settings.fileName()
                         << "- the file keeps its earlier content";
    return false;
}
