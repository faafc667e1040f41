#ifndef KEYREMAPCACHE_H
#define KEYREMAPCACHE_H

#include "keyremap.h"

#include <QtCore/QMap>

#include <bitset>
#include <optional>

// The user's key remap flattened into an array for the keys of the keyboard, for the
// lookup every key event makes. It follows one remap table: it holds a shallow copy of
// the table's data and flattens it again whenever the table no longer shares that data,
// which any change of the table, or a new table, brings about.
class KeyRemapCache
{
public:
    enum : int { KeyLimit = 1024 }; // above every key of the keyboard

    // As KeyRemap::target(table, key); keys from KeyLimit on are looked up in the table.
    std::optional<int> target(const QMap<int, int> &table, int key)
    {
        if (key < 0 || key >= KeyLimit)
            return KeyRemap::target(table, key);
        if (!m_table.isSharedWith(table))
            flatten(table);
        if (!m_present.test(size_t(key)))
            return std::nullopt;
        return m_targets[key];
    }

private:
    void flatten(const QMap<int, int> &table);

    QMap<int, int> m_table;
    std::bitset<KeyLimit> m_present;
    int m_targets[KeyLimit] = {};
};

#endif // KEYREMAPCACHE_H
