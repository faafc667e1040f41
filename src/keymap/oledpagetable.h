#ifndef OLEDPAGETABLE_H
#define OLEDPAGETABLE_H

#include "fileidentity.h"

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>

// The user's OLED pages of keys, read from the keyboard configuration file: groups
// "<key>_<page>" holding "displayModel", "oledIconIndex", "oled1stText" and
// "oled2ndText". A group without any key holds no page.
class OledPageTable
{
public:
    struct Page
    {
        uchar displayModel = 0; // low 8 bits of the stored number; 0 when missing
        uchar icon = 0;
        QByteArray firstText; // UTF-8; empty when missing
        QByteArray secondText;
    };

    // Reads every page group of the file; a missing file gives an empty table.
    static OledPageTable read(const QString &path);

    // Page `page` of a key acting as `target`: the key's own page group when it acts as
    // itself, else its page 0 group for every page. Null when that group holds no page.
    const Page *find(int key, int target, int page) const;

private:
    QHash<QPair<int, int>, Page> m_pages; // by key value and page number
};

// The page table of one file, read again only when the file has changed: when its
// identity differs from the one read, or when this library has written a keyboard
// configuration file since. Each check costs one stat().
class OledPageCache
{
public:
    explicit OledPageCache(const QString &path);

    const OledPageTable &table();

private:
    QString m_path;
    QByteArray m_encodedPath;
    bool m_read = false;
    FileIdentity m_identity;
    quint64 m_writeCount = 0;
    OledPageTable m_table;
};

#endif // OLEDPAGETABLE_H
