#include "oledpagetable.h"

#include "configfile.h"
#include "configkeys.h"
#include "durablefile.h"
#include "keymapstore.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <algorithm>
#include <iterator>

// A page group holds a page when a key of it, or under it, reads.
OledPageTable OledPageTable::read(const QString &path)
{
    OledPageTable table;
    const ConfigFile file(path, ConfigFile::ReadOnly);
    const QString *fields[] = {&ConfigKeys::DisplayModel, &ConfigKeys::IconIndex,
                               &ConfigKeys::FirstText, &ConfigKeys::SecondText};
    QString group;
    Groups *pages = nullptr; // of the group, when it is a page group
    int page = 0;
    file.document().forEachValue([&](QStringView name, const std::function<QVariant()> &value) {
        const int slash = int(name.indexOf(QLatin1Char('/')));
        if (slash <= 0)
            return;
        if (name.left(slash) != group) {
            group = name.left(slash).toString();
            int key;
            const bool paged = KeyMapStore::parsePageGroup(group, &key, &page) && page >= 0
                    && page < PageCount;
            pages = paged ? &table.m_keys[key] : nullptr;
        }
        if (!pages)
            return;
        pages->present[page] = true;
        const QStringView field = name.mid(slash + 1);
        const auto known = std::find_if(std::begin(fields), std::end(fields),
                                        [field](const QString *f) { return field == *f; });
        if (known != std::end(fields))
            pages->setField(page, int(known - std::begin(fields)), value());
    });
    return table;
}

void OledPageTable::Groups::setField(int page, int field, const QVariant &value)
{
    Page &content = this->page[page];
    if (field == 0) {
        content.displayModel = uchar(ConfigKeys::intValue(value));
    } else if (field == 1) {
        content.icon = uchar(ConfigKeys::intValue(value));
    } else {
        const QByteArray text = value.toString().toUtf8();
        const int line = field - 2;
        content.textLength[line] = uchar(text.size());
        std::copy_n(text.constData(), qMin(text.size(), int(TextFieldSize)), content.text[line]);
    }
}

OledPageTable::KeyPages OledPageTable::find(int key, int target) const
{
    KeyPages pages;
    const auto entry = m_keys.constFind(key);
    if (entry == m_keys.constEnd())
        return pages;
    for (int page = 0; page < PageCount; ++page) {
        const int group = target == key ? page : 0;
        if (entry->present[group])
            pages.page[page] = &entry->page[group];
    }
    return pages;
}

OledPageCache::OledPageCache(const QString &path)
    : m_path(path), m_encodedPath(QFile::encodeName(path))
{ }

const OledPageTable &OledPageCache::table()
{
    const FileIdentity identity = FileIdentity::of(m_encodedPath);
    const quint64 writeCount = DurableFile::replaceCount();
    if (!m_read || identity != m_identity || writeCount != m_writeCount) {
        m_table = OledPageTable::read(m_path);
        indexGroupKeys();
        m_identity = identity;
        m_writeCount = writeCount;
        m_read = true;
    }
    return m_table;
}

void OledPageCache::indexGroupKeys()
{
    for (int i = 0; i < IndexedKeys; ++i)
        m_ownPages[i] = m_table.find(FirstIndexedKey + i, FirstIndexedKey + i);
}

OledPageTable::KeyPages OledPageCache::find(int key, int target) const
{
    const int i = key - FirstIndexedKey;
    if (i < 0 || i >= IndexedKeys)
        return m_table.find(key, target);
    if (target == key)
        return m_ownPages[i];
    OledPageTable::KeyPages pages;
    std::fill(std::begin(pages.page), std::end(pages.page), m_ownPages[i].page[0]);
    return pages;
}
