#include "configkeys.h"

#include "inidocument.h"
#include "keymapstore.h"

namespace {

const QString ModifiedListKey = QStringLiteral("Modify/btnKey");
const QChar ModifiedListSeparator = QLatin1Char(';');

} // namespace

const QString ConfigKeys::DisplayModel = QStringLiteral("displayModel");
const QString ConfigKeys::IconIndex = QStringLiteral("oledIconIndex");
const QString ConfigKeys::FirstText = QStringLiteral("oled1stText");
const QString ConfigKeys::SecondText = QStringLiteral("oled2ndText");

int ConfigKeys::intValue(const QVariant &value)
{
    if (value.userType() == QMetaType::QString) {
        if (const std::optional<int> number = KeyMapStore::ownNumber(value.toString()))
            return *number;
    }
    return value.toInt();
}

QStringList ConfigKeys::readModifiedList(const IniDocument &document)
{
    return document.value(ModifiedListKey)
            .toString()
            .split(ModifiedListSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

void ConfigKeys::writeModifiedList(IniDocument &document, const QStringList &names)
{
    document.setValue(ModifiedListKey, names.join(ModifiedListSeparator));
}
