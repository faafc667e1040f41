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

} // namespace KeyRemap

#endif // KEYREMAP_H
