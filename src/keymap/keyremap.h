#ifndef KEYREMAP_H
#define KEYREMAP_H

#include <QtCore/QMap>

#include <optional>

// The user's key remap: physical key value -> key value it acts as.
namespace KeyRemap {

// The key value a key acts as when the table holds the key; nothing otherwise.
inline std::optional<int> target(const QMap<int, int> &table, int key)
{
    const auto entry = table.constFind(key);
    if (entry == table.constEnd())
        return std::nullopt;
    return entry.value();
}

// Looks up keys from `first` on in ascending order with one walk through the table.
// The table must outlive the lookup unchanged.
class AscendingLookup
{
public:
    AscendingLookup(const QMap<int, int> &table, int first)
        : m_entry(table.lowerBound(first)), m_end(table.cend())
    { }

    // As target(); each key must be above the one before, and not below `first`.
    std::optional<int> target(int key)
    {
        while (m_entry != m_end && m_entry.key() < key)
            ++m_entry;
        if (m_entry == m_end || m_entry.key() != key)
            return std::nullopt;
        return m_entry.value();
    }

private:
    QMap<int, int>::const_iterator m_entry;
    QMap<int, int>::const_iterator m_end;
};

} // namespace KeyRemap

#endif // KEYREMAP_H
