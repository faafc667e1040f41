#include "keymapstore.h"

#include "keygroups.h"

#include <QtCore/QSettings>
#include <QtCore/QStringList>

namespace {

const QString KeyMapGroup = QStringLiteral("KeyMap");
const QString ModifiedPagesKey = QStringLiteral("Modify/btnKey");
const QChar ModifiedPagesSeparator = QLatin1Char(';');

void removeGroup(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    settings.remove(QString());
    settings.endGroup();
}

} // namespace

KeyMapStore::KeyMapStore(const QString &path) : m_path(path) { }

QString KeyMapStore::pageGroup(int key, int page)
{
    return QString::number(key) + QLatin1Char('_') + QString::number(page);
}

QMap<int, int> KeyMapStore::load() const
{
    QMap<int, int> keyMap;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(KeyMapGroup);
    const QStringList keys = settings.allKeys();
    for (const QString &name : keys)
        keyMap.insert(name.toInt(), settings.value(name, QVariant()).toInt());
    settings.endGroup();
    return keyMap;
}

void KeyMapStore::save(const QMap<int, int> &keyMap) const
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(KeyMapGroup);
    for (auto entry = keyMap.cbegin(); entry != keyMap.cend(); ++entry)
        settings.setValue(QString::number(entry.key()), QVariant(QString::number(entry.value())));
    settings.endGroup();
}

void KeyMapStore::clearPageGroups(int key) const
{
    QSettings settings(m_path, QSettings::IniFormat);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page)
        removeGroup(settings, pageGroup(key, page));
}

void KeyMapStore::resetKey(int key) const
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(KeyMapGroup);
    settings.remove(QString::number(key));
    settings.endGroup();

    QStringList pages
            = settings.value(ModifiedPagesKey, QVariant())
                      .toString()
                      .split(ModifiedPagesSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (int page = 0; page < KeyGroups::PagesPerKey; ++page) {
        const QString group = pageGroup(key, page);
        pages.removeOne(group);
        removeGroup(settings, group);
    }
    settings.setValue(ModifiedPagesKey, pages.join(ModifiedPagesSeparator));
}

void KeyMapStore::clear() const
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.clear();
}
