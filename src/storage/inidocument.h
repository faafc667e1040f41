#ifndef INIDOCUMENT_H
#define INIDOCUMENT_H

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QMap>
#include <QtCore/QString>
#include <QtCore/QVariant>
#include <QtCore/QVector>

#include <functional>

// A file in Qt's INI format, parsed once from its bytes the way QSettings of the Qt the
// library is built with reads it: the same lines, sections and keys, values unescaped
// alike (Qt 5: Latin-1, or UTF-8 in a file starting with a byte-order mark; Qt 6: UTF-8).
// The library reads texts, "@ByteArray(...)" as bytes and "@String(...)" as the text it
// holds. Every other line (another value form such as "@Variant(...)" or "@Rect(...)", a
// list, a comment, a line without a key) is kept as its bytes, in its place, and never
// interpreted; its key reads as missing. Nothing in a file can make it allocate more than
// a few times the file's size.
//
// Edits change only the lines they concern: a key set in place, a new key before the
// first greater key of its section, a new section before the first greater one, a removed
// key's line gone, and a section's header with the last of its lines. QSettings writes
// sections and keys sorted, so a file QSettings wrote comes out byte for byte as QSettings
// would write it after the same operations.
class IniDocument
{
public:
    IniDocument() : IniDocument(QByteArray()) { }
    explicit IniDocument(const QByteArray &content);

    // The value QSettings reads for a key (normalised as QSettings does: no empty parts
    // between slashes): a QString or a QByteArray; invalid when the key is missing or empty
    // or its value is of another form.
    QVariant value(const QString &key) const;
    // Calls visit(key, value) for every key whose value reads, in no particular order: the
    // key as the file spells it, valid during the call, and a function that reads its value.
    using Visit = std::function<void(QStringView key, const std::function<QVariant()> &value)>;
    void forEachValue(const Visit &visit) const;

    // Sets a key to a text, bytes (QByteArray) or a number or flag (written as its text),
    // escaped as QSettings writes it. An empty key is ignored.
    void setValue(const QString &key, const QVariant &value);
    // Removes a key and every key under it; an empty key removes everything.
    void remove(const QString &key);
    // Removes every line, the ones the library does not read too.
    void clear();

    // The file's bytes with the edits.
    QByteArray content() const;
    // The line numbers (from 1) of the lines kept unread: values of another form, lists,
    // lines that are neither comments, sections nor keys, sections left open.
    QVector<int> unreadLines() const;

private:
    enum Kind : quint8 { Header, Entry, Comment, Other };
    // A line's place in the content; an entry's key is unescaped only when it is needed,
    // and found by a hash of it.
    struct Line
    {
        int lead = 0; // where the blanks and line breaks before it start
        int start = 0;
        int end = 0; // past its last byte
        int equals = -1; // Entry: the '=' ending its key
        int keyStart = 0; // Entry: the key's bytes, without the blanks around it
        int keyEnd = 0;
        int block = 0;
        quint32 hash = 0; // Entry: of its key with its section
        Kind kind = Other;
        bool plainKey = false; // the key's bytes are its characters
        bool unread = false;
        bool winner = false; // the line QSettings takes the key's value from
        bool duplicated = false; // more lines hold the key
        bool removed = false;
        bool replaced = false; // m_texts holds its bytes
    };
    // A section's header and the lines up to the next header; the first block holds the
    // lines before any header.
    struct Block
    {
        QString prefix; // what its keys start with: "name/", or "" for the general section
        quint32 prefixHash = 0;
        int header = -1; // line index; -1 for the lines before the first header
        int end = 0; // past its last line
        int lastEntry = -1; // line index
    };
    using AddedKeys = QMap<QString, QByteArray>; // key within its section -> line

    class Writer;

    // A key as QSettings looks it up: the parts between slashes that are not empty.
    static QString normalizedKey(const QString &key);
    void parse();
    void addLine(Line line);
    void index();
    int find(QStringView key) const;
    QString key(const Line &line) const;
    bool hasKey(const Line &line, QStringView key, bool orUnder) const;
    QVariant lineValue(const Line &line) const;
    int blockOf(const QString &section);
    void removeLines(QStringView key, bool orUnder);
    void emitBlock(Writer &out, int block) const;

    QByteArray m_content;
    QVector<Line> m_lines;
    QVector<Block> m_blocks;
    QVector<int> m_table; // open addressing by key hash: winning lines, -1 where free
    QHash<QString, int> m_sections; // the first header block of each prefix, made by edits
    QHash<int, QByteArray> m_texts; // the bytes of lines an edit replaced
    QHash<QString, QVariant> m_edited; // keys set by edits, as they read back
    QMap<int, AddedKeys> m_addedKeys; // new keys of existing sections, by block
    QMap<QString, AddedKeys> m_addedSections; // new sections, by name
    bool m_utf8Values = false; // Qt 5 reads values as UTF-8 after a byte-order mark
    bool m_changed = false;
};

#endif // INIDOCUMENT_H
