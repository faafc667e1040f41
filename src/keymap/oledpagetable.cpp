#include "oledpagetable.h"

#include "configkeys.h"
#include "configsettings.h"
#include "keymapstore.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <algorithm>
#include <iterator>

namespace {

// The key value and page of a group named exactly as KeyMapStore::pageGroup names one.
bool parsePageGroup(const QString &name, int *key, int *page)
{
    const int separator = name.indexOf(QLatin1Char('_'));
    bool keyOk = false;
    bool pageOk = false;
    *key = QStringView(name).left(separator).toInt(&keyOk);
    *page = QStringView(name).mid(separator + 1).toInt(&pageOk);
    return separator > 0 && keyOk && pageOk && KeyMapStore::pageGroup(*key, *page) == name;
}

} // namespace

OledPageTable OledPageTable::read(const QString &path)
{
    OledPageTable table;
    ConfigSettings settings(path);
    const QStringList groups = settings.childGroups();
    for (const QString &group : groups) {
        int key;
        int page;
        if (!parsePageGroup(group, &key, &page) || page < 0 || page >= PageCount)
            continue;
        settings.beginGroup(group);
        if (!settings.allKeys().isEmpty()) {
            Groups &groups = table.m_keys[key];
            Page &content = groups.page[page];
            groups.present[page] = true;
            content.displayModel = uchar(settings.value(ConfigKeys::DisplayModel, 0).toInt());
            content.icon = uchar(settings.value(ConfigKeys::IconIndex, 0).toInt());
            const QString *keys[2] = {&ConfigKeys::FirstText, &ConfigKeys::SecondText};
            for (int line = 0; line < 2; ++line) {
                const QByteArray text = settings.value(*keys[line], QString()).toString().toUtf8();
                content.textLength[line] = uchar(text.size());
                std::copy_n(text.constData(), qMin(text.size(), int(TextFieldSize)),
                            content.text[line]);
            }
        }
        settings.endGroup();
    }
    return table;
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
    const quint64 writeCount = KeyMapStore::writeCount();
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
