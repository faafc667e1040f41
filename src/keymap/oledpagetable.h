#ifndef OLEDPAGETABLE_H
#define OLEDPAGETABLE_H

#include "fileidentity.h"
#include "keygroups.h"

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QVariant>

// The user's OLED pages of keys, read from the keyboard configuration file: groups
// "<key>_<page>" (page 0..4) holding "displayModel", "oledIconIndex", "oled1stText" and
// "oled2ndText". A group without any key holds no page.
class OledPageTable
{
public:
    enum : int { TextFieldSize = 31, PageCount = KeyGroups::PagesPerKey };

    // A page as a key record takes it: the texts UTF-8 encoded, cut to the text field
    // and padded with NUL bytes, so copying the first L bytes of one writes the text and
    // its terminator, or its first L bytes when it has that many.
    struct Page
    {
        uchar displayModel = 0; // low 8 bits of the stored number; 0 when missing
        uchar icon = 0;
        uchar textLength[2] = {}; // low 8 bits of the full UTF-8 length
        char text[2][TextFieldSize] = {};
    };

    // The pages of a key acting as some target: the key's own page groups when it acts
    // as itself, else its page 0 group for every page. Null where a group holds no page.
    struct KeyPages
    {
        const Page *page[PageCount] = {};
    };

    // Reads every page group of the file; a missing file gives an empty table.
    static OledPageTable read(const QString &path);

    KeyPages find(int key, int target) const;

private:
    struct Groups
    {
        // Field 0..3: display model, icon, first and second text, from the value as read.
        void setField(int page, int field, const QVariant &value);

        Page page[PageCount];
        bool present[PageCount] = {};
    };
    QHash<int, Groups> m_keys; // by key value
};

// The page table of one file, read again only when the file has changed: when its
// identity differs from the one read, or when this process has replaced a file since.
// Each check costs one stat().
class OledPageCache
{
public:
    explicit OledPageCache(const QString &path);

    const OledPageTable &table();
    // As find() of the table that table() returned last; the keys of the five groups are
    // looked up in an index made when the table is read.
    OledPageTable::KeyPages find(int key, int target) const;

private:
    enum : int { FirstIndexedKey = 105, IndexedKeys = 520 + 1 - FirstIndexedKey };

    void indexGroupKeys();

    QString m_path;
    QByteArray m_encodedPath;
    bool m_read = false;
    FileIdentity m_identity;
    quint64 m_writeCount = 0;
    OledPageTable m_table;
    // The pages of each key acting as itself; a key acting as another key shows its page 0
    // on every page.
    OledPageTable::KeyPages m_ownPages[IndexedKeys];
};

#endif // OLEDPAGETABLE_H
