#include "keymapstore.h"

#include "configfile.h"
#include "configkeys.h"
#include "keygroups.h"

#include <QtCore/QHash>
#include <QtCore/QStringList>

namespace {

const QString KeyMapPrefix = QStringLiteral("KeyMap/");
const QString TbarMaxKey = QStringLiteral("Tbar/Max");
const QString TbarMinKey = QStringLiteral("Tbar/Min");

std::optional<int> intValue(const IniDocument &document, const QString &key)
{
    const QVariant value = document.value(key);
    if (!value.isValid())
        return std::nullopt;
    return value.toInt();
}

} // namespace

KeyMapStore::KeyMapStore(const QString &path) : m_path(path) { }

QString KeyMapStore::pageGroup(int key, int page)
{
    return QString::number(key) + QLatin1Char('_') + QString::number(page);
}

// Of the names that read as the same number the last in sorted order wins, as when the
// group's keys are listed sorted.
QMap<int, int> KeyMapStore::load() const
{
    const ConfigFile file(m_path, ConfigFile::ReadOnly);
    const IniDocument &document = file.document();
    QHash<int, QString> names;
    QMap<int, int> keyMap;
    for (const QString &key : document.keys()) {
        if (!key.startsWith(KeyMapPrefix))
            continue;
        const QString name = key.mid(KeyMapPrefix.size());
        const int physical = name.toInt();
        const auto known = names.constFind(physical);
        if (known != names.constEnd() && name < *known)
            continue;
        names.insert(physical, name);
        keyMap.insert(physical, document.value(key).toInt());
    }
    return keyMap;
}

void KeyMapStore::save(const QMap<int, int> &keyMap) const
{
    ConfigFile file(m_path, ConfigFile::ReadWrite);
    for (auto entry = keyMap.cbegin(); entry != keyMap.cend(); ++entry)
        file.document().setValue(KeyMapPrefix + QString::number(entry.key()),
                                 QString::number(entry.value()));
    file.commit();
}

void KeyMapStore::clearPageGroups(int key) const
{
    ConfigFile file(m_path, ConfigFile::ReadWrite);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page)
        file.document().remove(pageGroup(key, page));
    file.commit();
}

void KeyMapStore::resetKey(int key) const
{
    ConfigFile file(m_path, ConfigFile::ReadWrite);
    IniDocument &document = file.document();
    document.remove(KeyMapPrefix + QString::number(key));
    QStringList pages = ConfigKeys::readModifiedList(document);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page) {
        const QString group = pageGroup(key, page);
        pages.removeOne(group);
        document.remove(group);
    }
    ConfigKeys::writeModifiedList(document, pages);
    file.commit();
}

void KeyMapStore::clear() const
{
    ConfigFile file(m_path, ConfigFile::ReadWrite);
    file.document().clear();
    file.commit();
}

KeyMapStore::TbarLimits KeyMapStore::tbarLimits() const
{
    const ConfigFile file(m_path, ConfigFile::ReadOnly);
    return {intValue(file.document(), TbarMaxKey), intValue(file.document(), TbarMinKey)};
}
