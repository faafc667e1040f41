#include "keyremapcache.h"

void KeyRemapCache::flatten(const QMap<int, int> &table)
{
    m_table = table;
    m_present.reset();
    for (auto entry = m_table.cbegin(); entry != m_table.cend(); ++entry) {
        if (entry.key() >= 0 && entry.key() < KeyLimit) {
            m_present.set(size_t(entry.key()));
            m_targets[entry.key()] = entry.value();
        }
    }
}
