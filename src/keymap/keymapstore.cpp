#include "keymapstore.h"

#include "configkeys.h"
#include "configsettings.h"
#include "keygroups.h"

#include <QtCore/QStringList>

#include <atomic>

namespace {

const QString KeyMapGroup = QStringLiteral("KeyMap");
const QString TbarMaxKey = QStringLiteral("Tbar/Max");
const QString TbarMinKey = QStringLiteral("Tbar/Min");

std::atomic<quint64> writes{0};

void removeGroup(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    settings.remove(QString());
    settings.endGroup();
}

void commit(ConfigSettings &settings)
{
    ++writes;
    settings.commit();
}

std::optional<int> intValue(const QSettings &settings, const QString &key)
{
    if (!settings.contains(key))
        return std::nullopt;
    return settings.value(key).toInt();
}

} // namespace

KeyMapStore::KeyMapStore(const QString &path) : m_path(path) { }

QString KeyMapStore::pageGroup(int key, int page)
{
    return QString::number(key) + QLatin1Char('_') + QString::number(page);
}

quint64 KeyMapStore::writeCount()
{
    return writes;
}

QMap<int, int> KeyMapStore::load() const
{
    QMap<int, int> keyMap;
    ConfigSettings settings(m_path);
    settings.beginGroup(KeyMapGroup);
    const QStringList keys = settings.allKeys();
    for (const QString &name : keys)
        keyMap.insert(name.toInt(), settings.value(name, QVariant()).toInt());
    return keyMap;
}

void KeyMapStore::save(const QMap<int, int> &keyMap) const
{
    ConfigSettings settings(m_path);
    settings.beginGroup(KeyMapGroup);
    for (auto entry = keyMap.cbegin(); entry != keyMap.cend(); ++entry)
        settings.setValue(QString::number(entry.key()), QVariant(QString::number(entry.value())));
    settings.endGroup();
    commit(settings);
}

void KeyMapStore::clearPageGroups(int key) const
{
    ConfigSettings settings(m_path);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page)
        removeGroup(settings, pageGroup(key, page));
    commit(settings);
}

void KeyMapStore::resetKey(int key) const
{
    ConfigSettings settings(m_path);
    settings.beginGroup(KeyMapGroup);
    settings.remove(QString::number(key));
    settings.endGroup();

    QStringList pages = ConfigKeys::readModifiedList(settings);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page) {
        const QString group = pageGroup(key, page);
        pages.removeOne(group);
        removeGroup(settings, group);
    }
    ConfigKeys::writeModifiedList(settings, pages);
    commit(settings);
}

void KeyMapStore::clear() const
{
    ConfigSettings settings(m_path);
    settings.clear();
    commit(settings);
}

KeyMapStore::TbarLimits KeyMapStore::tbarLimits() const
{
    const ConfigSettings settings(m_path);
    return {intValue(settings, TbarMaxKey), intValue(settings, TbarMinKey)};
}
