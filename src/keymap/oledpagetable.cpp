#include "oledpagetable.h"

#include "configfile.h"
#include "configkeys.h"
#include "durablefile.h"
#include "keymapstore.h"

#include <QtCore/QFile>
#include <QtCore/QSet>
#include <QtCore/QStringList>

#include <algorithm>

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

// A page group holds a page when a key of it, or under it, reads.
OledPageTable OledPageTable::read(const QString &path)
{
    OledPageTable table;
    const ConfigFile file(path, ConfigFile::ReadOnly);
    const IniDocument &document = file.document();
    const QStringList keys = document.keys();
    QSet<QStringView> groups;
    for (const QString &key : keys) {
        const int slash = key.indexOf(QLatin1Char('/'));
        if (slash > 0)
            groups.insert(QStringView(key).left(slash));
    }
    for (const QStringView group : groups) {
        const QString name = group.toString();
        int key;
        int page;
        if (!parsePageGroup(name, &key, &page) || page < 0 || page >= PageCount)
            continue;
        Groups &pages = table.m_keys[key];
        Page &content = pages.page[page];
        pages.present[page] = true;
        const QString prefix = name + QLatin1Char('/');
        content.displayModel = uchar(document.value(prefix + ConfigKeys::DisplayModel).toInt());
        content.icon = uchar(document.value(prefix + ConfigKeys::IconIndex).toInt());
        const QString *fields[2] = {&ConfigKeys::FirstText, &ConfigKeys::SecondText};
        for (int line = 0; line < 2; ++line) {
            const QByteArray text = document.value(prefix + *fields[line]).toString().toUtf8();
            content.textLength[line] = uchar(text.size());
            std::copy_n(text.constData(), qMin(text.size(), int(TextFieldSize)), content.text[line]);
        }
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
    const quint64 writeCount = DurableFile::replaceCount();
    if (!m_read || identity != m_identity || writeCount != m_writeCount) {
        m_table = OledPageTable::read(m_path);
        m_identity = identity;
        m_writeCount = writeCount;
        m_read = true;
    }
    return m_table;
}
