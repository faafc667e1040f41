#include "statelocation.h"

#include "configfiles.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QStandardPaths>

void StateLocation::choose(const QString &installedToolsDir)
{
    if (!QCoreApplication::applicationDirPath().endsWith(QLatin1Char('/') + installedToolsDir))
        return;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return;
    const QString folder = data + QLatin1String("/vorn-keyboard-tools");
    QDir().mkpath(folder); // the library makes Keyboard/ in a folder that exists
    ConfigFiles::setFolder(folder);
}
