#include "oledconfigstore.h"

#include "configkeys.h"
#include "configsettings.h"

#include <QtCore/QStringList>

namespace {

void writeKeyGroup(QSettings &settings, const QString &group, bool modified, int displayModel,
                   const QString &firstText, const QString &secondText, int iconIndex)
{
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("isModify"), modified);
    settings.setValue(ConfigKeys::DisplayModel, displayModel);
    settings.setValue(ConfigKeys::FirstText, firstText.toLocal8Bit());
    settings.setValue(ConfigKeys::SecondText, secondText.toLocal8Bit());
    settings.setValue(ConfigKeys::IconIndex, iconIndex);
    settings.endGroup();
}

} // namespace

OledConfigStore::OledConfigStore(const QString &path) : m_path(path) { }

void OledConfigStore::write(int keyValue, int displayModel, int iconIndex, const QString &firstText,
                            const QString &secondText) const
{
    ConfigSettings settings(m_path);
    QStringList keys = ConfigKeys::readModifiedList(settings);
    const QString group = QStringLiteral("%1").arg(keyValue);
    const int listed = keys.indexOf(group);

    if (displayModel != ResetDisplayModel) {
        if (listed < 0) {
            keys.append(group);
            ConfigKeys::writeModifiedList(settings, keys);
        }
        writeKeyGroup(settings, group, true, displayModel, firstText, secondText, iconIndex);
    } else {
        if (listed >= 0)
            keys.removeAt(listed);
        ConfigKeys::writeModifiedList(settings, keys);
        if (settings.value(QStringLiteral("%1/isModify").arg(keyValue), false).toBool())
            writeKeyGroup(settings, group, false, 0, firstText, secondText, 0);
    }
    settings.commit();
}
