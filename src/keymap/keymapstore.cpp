#include "keymapstore.h"

#include "configfile.h"
#include "configkeys.h"
#include "keygroups.h"

#include <QtCore/QHash>
#include <QtCore/QStringList>

#include <limits>

namespace {

const QString KeyMapPrefix = QStringLiteral("KeyMap/");
const QString TbarMaxKey = QStringLiteral("Tbar/Max");
const QString TbarMinKey = QStringLiteral("Tbar/Min");

std::optional<int> intValue(const IniDocument &document, const QString &key)
{
    const QVariant value = document.value(key);
    if (!value.isValid())
        return std::nullopt;
    return ConfigKeys::intValue(value);
}

} // namespace

KeyMapStore::KeyMapStore(const QString &path) : m_path(path) { }

QString KeyMapStore::pageGroup(int key, int page)
{
    return QString::number(key) + QLatin1Char('_') + QString::number(page);
}

bool KeyMapStore::parsePageGroup(QStringView name, int *key, int *page)
{
    const int separator = int(name.indexOf(QLatin1Char('_')));
    const std::optional<int> first = ownNumber(name.left(qMax(separator, 0)));
    const std::optional<int> second = ownNumber(name.mid(separator + 1));
    *key = first.value_or(0);
    *page = second.value_or(0);
    return separator > 0 && first && second;
}

std::optional<int> KeyMapStore::ownNumber(QStringView text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView digits = text.mid(negative ? 1 : 0);
    if (digits.isEmpty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == QLatin1Char('0'))
        || (negative && digits[0] == QLatin1Char('0')))
        return std::nullopt;
    qint64 value = 0;
    for (const QChar digit : digits) {
        if (digit < QLatin1Char('0') || digit > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (digit.unicode() - '0');
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// Of the names that read as the same number the last in sorted order wins, as when the
// group's keys are listed sorted. A name is kept only when it is not the number's own.
QMap<int, int> KeyMapStore::load() const
{
    const ConfigFile file(m_path, ConfigFile::ReadOnly);
    QHash<int, QString> otherNames;
    QMap<int, int> keyMap;
    file.document().forEachValue([&](QStringView key, const std::function<QVariant()> &value) {
        if (!key.startsWith(KeyMapPrefix))
            return;
        const QStringView name = key.mid(KeyMapPrefix.size());
        const std::optional<int> own = ownNumber(name);
        const int physical = own ? *own : name.toInt();
        if (own && otherNames.isEmpty()) { // a key's own name, the usual case, always wins
            keyMap.insert(physical, ConfigKeys::intValue(value()));
            return;
        }
        const auto known = keyMap.constFind(physical);
        if (known != keyMap.constEnd()
            && name.compare(otherNames.value(physical, QString::number(physical))) < 0)
            return;
        if (own)
            otherNames.remove(physical);
        else
            otherNames.insert(physical, name.toString());
        keyMap.insert(physical, ConfigKeys::intValue(value()));
    });
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
