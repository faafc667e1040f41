#include "oledconfigstore.h"

#include "configfile.h"
#include "configkeys.h"

#include <QtCore/QStringList>

namespace {

void writeKeyGroup(IniDocument &document, const QString &group, bool modified, int displayModel,
                   const QString &firstText, const QString &secondText, int iconIndex)
{
    const QString prefix = group + QLatin1Char('/');
    document.setValue(prefix + QLatin1String("isModify"), modified);
    document.setValue(prefix + ConfigKeys::DisplayModel, displayModel);
    document.setValue(prefix + ConfigKeys::FirstText, firstText.toLocal8Bit());
    document.setValue(prefix + ConfigKeys::SecondText, secondText.toLocal8Bit());
    document.setValue(prefix + ConfigKeys::IconIndex, iconIndex);
}

} // namespace

OledConfigStore::OledConfigStore(const QString &path) : m_path(path) { }

void OledConfigStore::write(int keyValue, int displayModel, int iconIndex, const QString &firstText,
                            const QString &secondText) const
{
    ConfigFile file(m_path, ConfigFile::ReadWrite);
    IniDocument &document = file.document();
    QStringList keys = ConfigKeys::readModifiedList(document);
    const QString group = QString::number(keyValue);
    const int listed = keys.indexOf(group);

    if (displayModel != ResetDisplayModel) {
        if (listed < 0) {
            keys.append(group);
            ConfigKeys::writeModifiedList(document, keys);
        }
        writeKeyGroup(document, group, true, displayModel, firstText, secondText, iconIndex);
    } else {
        if (listed >= 0)
            keys.removeAt(listed);
        ConfigKeys::writeModifiedList(document, keys);
        if (document.value(group + QLatin1String("/isModify")).toBool())
            writeKeyGroup(document, group, false, 0, firstText, secondText, 0);
    }
    file.commit();
}
