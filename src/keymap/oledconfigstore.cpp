#include "oledconfigstore.h"

#include <QtCore/QSettings>
#include <QtCore/QStringList>

namespace {

const QString ModifiedKeysKey = QStringLiteral("Modify/btnKey");
const QChar ModifiedKeysSeparator = QLatin1Char(';');

void writeKeyGroup(QSettings &settings, const QString &group, bool modified, int displayModel,
                   const QString &firstText, const QString &secondText, int iconIndex)
{
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("isModify"), modified);
    settings.setValue(QStringLiteral("displayModel"), displayModel);
    settings.setValue(QStringLiteral("oled1stText"), firstText.toLocal8Bit());
    settings.setValue(QStringLiteral("oled2ndText"), secondText.toLocal8Bit());
    settings.setValue(QStringLiteral("oledIconIndex"), iconIndex);
    settings.endGroup();
}

} // namespace

OledConfigStore::OledConfigStore(const QString &path) : m_path(path) { }

void OledConfigStore::write(int keyValue, int displayModel, int iconIndex, const QString &firstText,
                            const QString &secondText) const
{
    QSettings settings(m_path, QSettings::IniFormat);
    // An absent list reads as one empty element, so a list built from nothing
    // starts with the separator.
    QStringList keys = settings.value(ModifiedKeysKey, QVariant())
                               .toString()
                               .split(ModifiedKeysSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);
    const QString group = QStringLiteral("%1").arg(keyValue);
    const int listed = keys.indexOf(group);

    if (displayModel != ResetDisplayModel) {
        if (listed < 0) {
            keys.append(group);
            settings.setValue(ModifiedKeysKey, keys.join(ModifiedKeysSeparator));
        }
        writeKeyGroup(settings, group, true, displayModel, firstText, secondText, iconIndex);
        return;
    }

    if (listed >= 0)
        keys.removeAt(listed);
    settings.setValue(ModifiedKeysKey, keys.join(ModifiedKeysSeparator));
    if (!settings.value(QStringLiteral("%1/isModify").arg(keyValue), false).toBool())
        return;
    writeKeyGroup(settings, group, false, 0, firstText, secondText, 0);
}
