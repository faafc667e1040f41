#include "configkeys.h"

#include <QtCore/QSettings>

namespace {

const QString ModifiedListKey = QStringLiteral("Modify/btnKey");
const QChar ModifiedListSeparator = QLatin1Char(';');

} // namespace

const QString ConfigKeys::DisplayModel = QStringLiteral("displayModel");
const QString ConfigKeys::IconIndex = QStringLiteral("oledIconIndex");
const QString ConfigKeys::FirstText = QStringLiteral("oled1stText");
const QString ConfigKeys::SecondText = QStringLiteral("oled2ndText");

QStringList ConfigKeys::readModifiedList(const QSettings &settings)
{
    return settings.value(ModifiedListKey, QVariant())
            .toString()
            .split(ModifiedListSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

void ConfigKeys::writeModifiedList(QSettings &settings, const QStringList &names)
{
    settings.setValue(ModifiedListKey, names.join(ModifiedListSeparator));
}
