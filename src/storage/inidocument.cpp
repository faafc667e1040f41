#include "inidocument.h"

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>
#else
#include <QtCore/QTextCodec>
#endif

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace {

const char ByteOrderMark[] = "\xef\xbb\xbf";
const int ByteOrderMarkSize = 3;

enum Trait : uchar { Space = 1, Special = 2 };

// The bytes Qt's INI reader passes over before a line, and the ones it stops at within one.
const std::array<uchar, 256> Traits = [] {
    std::array<uchar, 256> traits{};
    for (const char c : {' ', '\t', '\n', '\r'})
        traits[uchar(c)] |= Space;
    for (const char c : {'\n', '\r', '"', ';', '=', '\\'})
        traits[uchar(c)] |= Special;
    return traits;
}();

// A line as Qt's INI reader splits the file: blanks skipped, a backslash escaping the next
// byte (and a line break pair), quotes running across line breaks, a line break or ';'
// outside quotes ending it. A comment (';' first) is a line of its own up to its line break.
struct Bounds
{
    int start = 0;
    int end = 0;
    int equals = -1; // the first '=' outside quotes
    bool comment = false;
};

bool nextLine(const char *data, int &pos, int limit, Bounds &line)
{
    int start = pos;
    while (start < limit && (Traits[uchar(data[start])] & Space))
        ++start;
    line = Bounds();
    line.start = start;
    bool inQuotes = false;
    int i = start;
    while (i < limit) {
        if (!(Traits[uchar(data[i])] & Special)) {
            ++i;
            continue;
        }
        const char ch = data[i++];
        if (ch == '=') {
            if (!inQuotes && line.equals < 0)
                line.equals = i - 1;
        } else if (ch == '\\') {
            if (i < limit) {
                const char escaped = data[i++];
                if (i < limit
                    && ((escaped == '\n' && data[i] == '\r') || (escaped == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';' && i == start + 1) {
            while (i < limit && data[i] != '\n' && data[i] != '\r')
                ++i;
            line.comment = true;
            break;
        } else if (!inQuotes) { // a line break or ';'
            --i;
            break;
        }
    }
    pos = line.end = i;
    return i > start;
}

int digitValue(char ch, int base)
{
    const int value = ch >= '0' && ch <= '9' ? ch - '0'
            : ch >= 'a' && ch <= 'f'         ? ch - 'a' + 10
            : ch >= 'A' && ch <= 'F'         ? ch - 'A' + 10
                                             : base;
    return value < base ? value : -1;
}

bool isPlainKey(const char *key, int size)
{
    for (int i = 0; i < size; ++i) {
        if (uchar(key[i]) >= 0x80 || key[i] == '%' || key[i] == '\\')
            return false;
    }
    return true;
}

// A key or section name as Qt unescapes it: '\\' is '/', "%XX" and "%UXXXX" a character.
// Qt 5 takes every other byte as Latin-1; Qt 6 decodes the whole name as UTF-8 first.
void appendUnescapedKey(QString &result, const char *key, int size)
{
    if (isPlainKey(key, size)) {
        result += QLatin1String(key, size);
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString name = QString::fromUtf8(key, size);
    const int length = name.size();
#else
    const QString name = QString::fromLatin1(key, size);
    const int length = size;
#endif
    int i = 0;
    while (i < length) {
        const QChar ch = name[i];
        if (ch == QLatin1Char('\\')) {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != QLatin1Char('%') || i == length - 1) {
            result += ch;
            ++i;
            continue;
        }
        const bool wide = name[i + 1] == QLatin1Char('U');
        const int first = i + 1 + (wide ? 1 : 0);
        const int digits = wide ? 4 : 2;
        bool ok = false;
        int code = 0;
        if (first + digits <= length) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
            code = QStringView(name).mid(first, digits).toUShort(&ok, 16);
#else
            code = QByteArray(key + first, digits).toInt(&ok, 16);
#endif
        }
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(ushort(code & 0xffff));
        i = first + digits;
    }
}

bool isWord(const QByteArray &name, const char *word)
{
    const uint length = uint(std::strlen(word));
    return uint(name.size()) == length && qstrnicmp(name.constData(), word, length) == 0;
}

// The prefix of the keys of the section a header line names: up to the first ']', or the
// rest of the line when it has none; "General" in any case is the general section (no
// prefix), "%General" the one named so.
QString sectionPrefix(const char *data, int start, int end, bool *closed)
{
    const auto *close = static_cast<const char *>(std::memchr(data + start, ']', size_t(end - start)));
    *closed = close != nullptr;
    const QByteArray name =
            QByteArray(data + start + 1, int((close ? close - data : end) - start - 1)).trimmed();
    if (isWord(name, "general"))
        return QString();
    QString prefix;
    if (isWord(name, "%general"))
        prefix = QString::fromLatin1(name.mid(1));
    else
        appendUnescapedKey(prefix, name.constData(), name.size());
    return prefix + QLatin1Char('/');
}

// Turns the bytes between escapes into text as Qt's INI reader does: Qt 5 as Latin-1, or
// each run on its own as UTF-8 after a byte-order mark; Qt 6 through one UTF-8 decoder
// for the whole value, so a character may continue after an escape.
class ValueDecoder
{
public:
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    explicit ValueDecoder(bool) { }
    void append(QString &text, const char *data, int size)
    {
        text += m_decoder(QByteArrayView(data, size));
    }

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8};
#else
    explicit ValueDecoder(bool utf8) : m_codec(utf8 ? QTextCodec::codecForName("UTF-8") : nullptr)
    { }
    void append(QString &text, const char *data, int size)
    {
        text += m_codec ? m_codec->toUnicode(data, size) : QString::fromLatin1(data, size);
    }

private:
    QTextCodec *m_codec;
#endif
};

// Unescapes a value as Qt's INI reader does; false for a list (a ',' outside quotes).
// Blanks around the text are dropped unless quoted or escaped, and not after an escape
// that ends the value.
bool unescapedValue(const char *data, int from, int to, bool utf8, QString &text)
{
    static const char Codes[] = "abfnrtv\"?'\\";
    static const char Escaped[] = "\a\b\f\n\r\t\v\"?'\\";
    ValueDecoder decoder(utf8);
    bool inQuotes = false;
    bool quoted = false;
    int i = from;
    int kept = 0; // the length below which blanks are kept
    const auto skipBlanks = [&] {
        while (i < to && (data[i] == ' ' || data[i] == '\t'))
            ++i;
        kept = text.size();
    };
    skipBlanks();
    while (i < to) {
        const char ch = data[i];
        if (ch == '\\') {
            if (++i == to)
                return true;
            const char code = data[i++];
            const char *simple = code ? std::strchr(Codes, code) : nullptr;
            const int base = code == 'x' ? 16 : digitValue(code, 8) >= 0 ? 8 : 0;
            if (simple) {
                text += QLatin1Char(Escaped[simple - Codes]);
            } else if (base == 16 && i == to) {
                return true;
            } else if (base && (base == 8 || digitValue(data[i], 16) >= 0)) {
                uint value = base == 8 ? uint(code - '0') : 0;
                for (; i < to && digitValue(data[i], base) >= 0; ++i)
                    value = value * uint(base) + uint(digitValue(data[i], base));
                text += QChar(ushort(value & 0xffff));
                if (i == to)
                    return true;
            } else if ((code == '\n' || code == '\r') && i < to
                       && (data[i] == '\n' || data[i] == '\r') && data[i] != code) {
                ++i;
            }
            kept = text.size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (ch == ',' && !inQuotes) {
            return false;
        } else {
            int j = i + 1;
            while (j < to && data[j] != '\\' && data[j] != '"' && data[j] != ',')
                ++j;
            decoder.append(text, data + i, j - i);
            i = j;
        }
    }
    int length = text.size();
    while (!quoted && length > kept && (text[length - 1] == QLatin1Char(' ') || text[length - 1] == QLatin1Char('\t')))
        --length;
    text.truncate(length);
    return true;
}

// What the library reads of a text QSettings unescaped: the text, "@@..." without its
// first '@', "@ByteArray(...)" as bytes, "@String(...)" as text; nothing for another form.
QVariant readableValue(const QString &text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return text.mid(11, text.size() - 12).toLatin1();
        if (text.startsWith(QLatin1String("@String(")))
            return text.mid(8, text.size() - 9);
    }
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    return QVariant();
}

// Only an '@', a backslash (which may make one) or a ',' (a list) can make a value unread.
bool isPlainValue(const char *data, int from, int to)
{
    for (int i = from; i < to; ++i) {
        if (data[i] == '@' || data[i] == '\\' || data[i] == ',')
            return false;
    }
    return true;
}

const char HexDigits[] = "0123456789ABCDEF";

QByteArray escapedKey(const QString &key)
{
    QByteArray result;
    result.reserve(key.size());
    for (const QChar c : key) {
        const ushort ch = c.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')
                   || ch == '_' || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xff) {
            result += '%';
            result += HexDigits[ch >> 4];
            result += HexDigits[ch & 0xf];
        } else {
            result += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                result += HexDigits[(ch >> shift) & 0xf];
        }
    }
    return result;
}

QByteArray headerLine(const QString &section)
{
    const QByteArray name = escapedKey(section);
    return name.isEmpty() ? QByteArray("[General]")
            : isWord(name, "general") ? QByteArray("[%General]")
                                      : '[' + name + ']';
}

bool isHexDigit(ushort ch)
{
    return ch < 0x80 && digitValue(char(ch), 16) >= 0;
}

// A text escaped as QSettings writes it: control characters, quotes and backslashes
// escaped, a hexadecimal digit after a numeric escape escaped too, quoted when it holds
// ';', ',' or '=' or starts or ends with a blank. Qt 5 escapes every character from 0x7f
// on; Qt 6 writes them as UTF-8, except in a byte array.
QByteArray escapedText(const QString &text)
{
    static const char Codes[] = "\a\b\f\n\r\t\v";
    static const char Letters[] = "abfnrtv";
    QByteArray result;
    result.reserve(text.size());
    bool needsQuotes = false;
    bool escapeHexDigit = false;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const bool utf8 = !text.startsWith(QLatin1String("@ByteArray("))
            && !text.startsWith(QLatin1String("@Variant("));
    QStringEncoder encoder(QStringEncoder::Utf8);
#else
    const bool utf8 = false;
#endif
    for (const QChar &c : text) {
        const ushort ch = c.unicode();
        needsQuotes = needsQuotes || ch == ';' || ch == ',' || ch == '=';
        if (escapeHexDigit && isHexDigit(ch)) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeHexDigit = false;
        const char *code = ch && ch < 0x20 ? std::strchr(Codes, char(ch)) : nullptr;
        if (code) {
            result += '\\';
            result += Letters[code - Codes];
        } else if (ch == '"' || ch == '\\') {
            result += '\\';
            result += char(ch);
        } else if (ch == 0) {
            result += "\\0";
            escapeHexDigit = true;
        } else if (ch < 0x20 || (ch >= 0x7f && !utf8)) {
            result += "\\x" + QByteArray::number(ch, 16);
            escapeHexDigit = true;
        } else if (utf8) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
            result += QByteArray(encoder(QStringView(&c, 1)));
#endif
        } else {
            result += char(ch);
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        return '"' + result + '"';
    return result;
}

// A value as QSettings writes it: bytes as "@ByteArray(...)", a text holding U+0000 as
// "@String(...)", one starting with '@' with another '@' before it.
QByteArray escapedValue(const QVariant &value)
{
    if (value.userType() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        return escapedText(QLatin1String("@ByteArray(") + QLatin1String(bytes.constData(), bytes.size())
                           + QLatin1Char(')'));
    }
    const QString text = value.toString();
    if (text.contains(QChar(0)))
        return escapedText(QLatin1String("@String(") + text + QLatin1Char(')'));
    return escapedText(text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text);
}

bool hasLineBreak(const char *data, int size)
{
    return std::memchr(data, '\n', size_t(size)) || std::memchr(data, '\r', size_t(size));
}

} // namespace

// Puts the kept lines and the added ones together. A line keeps the blanks and line
// breaks before it; one that comes after other text than before gets a line break of its
// own (two before a section) when it had none.
class IniDocument::Writer
{
public:
    explicit Writer(const IniDocument &document) : m_document(document)
    {
        m_out.reserve(document.m_content.size() + 256);
    }

    void original(int index)
    {
        const Line &line = m_document.m_lines[index];
        const char *data = m_document.m_content.constData();
        const int lead = m_empty ? m_document.m_lines[0].lead : line.lead;
        const int leadSize = m_empty ? m_document.m_lines[0].start : line.start - line.lead;
        if (!m_empty && m_last != index - 1 && !hasLineBreak(data + lead, leadSize))
            m_out += line.kind == Header ? "\n\n" : "\n";
        m_out.append(data + lead, leadSize);
        if (line.text.isNull())
            m_out.append(data + line.start, line.end - line.start);
        else
            m_out += line.text;
        m_empty = false;
        m_last = index;
    }

    void added(const QByteArray &text, bool section)
    {
        if (!m_empty)
            m_out += section ? "\n\n" : "\n";
        m_out += text;
        m_empty = false;
        m_last = -2;
    }

    QByteArray finish()
    {
        if (m_empty)
            return QByteArray();
        const QVector<Line> &lines = m_document.m_lines;
        if (lines.isEmpty())
            return m_out + '\n';
        return m_out + m_document.m_content.mid(lines.last().end);
    }

private:
    const IniDocument &m_document;
    QByteArray m_out;
    bool m_empty = true;
    int m_last = -2; // the line written last; -2 after an added one
};

IniDocument::IniDocument(const QByteArray &content) : m_content(content)
{
    parse();
}

// Qt looks for sections after a byte-order mark, but reads the lines before the first
// section from the start of the file, mark included.
void IniDocument::parse()
{
    const char *data = m_content.constData();
    const int size = m_content.size();
    const bool mark = m_content.startsWith(ByteOrderMark);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    m_utf8Values = mark;
#endif
    m_lines.reserve(size / 32 + 1);
    m_keys.reserve(size / 32 + 1);
    m_blocks.append(Block());
    int generalEnd = size;
    Bounds bounds;
    for (int pos = ByteOrderMarkSize; mark && nextLine(data, pos, size, bounds);) {
        if (!bounds.comment && data[bounds.start] == '[') {
            generalEnd = bounds.start;
            break;
        }
    }
    int lead = 0;
    for (const int part : {0, 1}) {
        int pos = part ? generalEnd : 0;
        const int limit = part ? size : generalEnd;
        while (nextLine(data, pos, limit, bounds)) {
            Line line;
            line.lead = lead;
            line.start = bounds.start;
            line.end = bounds.end;
            line.equals = bounds.equals;
            line.kind = bounds.comment                         ? Comment
                    : (part || !mark) && data[line.start] == '[' ? Header
                    : bounds.equals >= 0                         ? Entry
                                                                 : Other;
            line.unread = line.kind == Other && !(mark && line.start == 0 && line.end == ByteOrderMarkSize);
            addLine(line);
            lead = bounds.end;
        }
    }
}

void IniDocument::addLine(const Line &line)
{
    if (line.kind == Header) {
        Block block;
        bool closed = false;
        block.prefix = sectionPrefix(m_content.constData(), line.start, line.end, &closed);
        block.name = block.prefix.left(block.prefix.size() - 1);
        block.header = m_lines.size();
        if (!m_sections.contains(block.prefix))
            m_sections.insert(block.prefix, m_blocks.size());
        m_blocks.append(block);
        m_lines.append(line);
        m_lines.last().block = m_blocks.size() - 1;
        m_lines.last().unread = !closed;
        return;
    }
    m_blocks.last().hasMembers = true;
    if (line.kind == Entry)
        return addEntry(line);
    m_lines.append(line);
    m_lines.last().block = m_blocks.size() - 1;
}

void IniDocument::addEntry(Line line)
{
    const char *data = m_content.constData();
    Block &block = m_blocks.last();
    int keyStart = line.start;
    int keyEnd = line.equals;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 trims every kind of white space around a key, Qt 5 blanks after it.
    while (keyStart < keyEnd && std::isspace(uchar(data[keyStart])))
        ++keyStart;
    while (keyEnd > keyStart && std::isspace(uchar(data[keyEnd - 1])))
        --keyEnd;
#else
    while (keyEnd > keyStart && (data[keyEnd - 1] == ' ' || data[keyEnd - 1] == '\t'))
        --keyEnd;
#endif
    line.key.reserve(block.prefix.size() + keyEnd - keyStart);
    line.key += block.prefix;
    appendUnescapedKey(line.key, data + keyStart, keyEnd - keyStart);
    line.block = m_blocks.size() - 1;
    line.unread = !isPlainValue(data, line.equals + 1, line.end) && !lineValue(line).isValid();
    const int index = m_lines.size();
    block.lastEntry = index;
    // QSettings takes the last value of the sections it reads last: by name, then in order.
    const auto slot = m_keys.find(line.key);
    if (slot == m_keys.end()) {
        m_keys.insert(line.key, Slot{index, false});
    } else {
        slot->duplicated = true;
        if (!(block.prefix < m_blocks[m_lines[slot->line].block].prefix))
            slot->line = index;
    }
    m_lines.append(line);
}

QVariant IniDocument::lineValue(const Line &line) const
{
    QString text;
    if (!unescapedValue(m_content.constData(), line.equals + 1, line.end, m_utf8Values, text))
        return QVariant();
    return readableValue(text);
}

QString IniDocument::normalizedKey(const QString &key)
{
    if (!key.startsWith(QLatin1Char('/')) && !key.endsWith(QLatin1Char('/'))
        && !key.contains(QLatin1String("//")))
        return key;
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QVariant IniDocument::value(const QString &key) const
{
    if (key.isEmpty())
        return QVariant();
    const QString name = normalizedKey(key);
    const auto edited = m_edited.constFind(name);
    if (edited != m_edited.constEnd())
        return *edited;
    const auto slot = m_keys.constFind(name);
    if (slot == m_keys.constEnd() || m_lines[slot->line].unread)
        return QVariant();
    return lineValue(m_lines[slot->line]);
}

bool IniDocument::isRead(const Slot &slot, const QString &key) const
{
    return slot.line < 0 || !m_lines[slot.line].unread || m_edited.contains(key);
}

QStringList IniDocument::keys() const
{
    QStringList keys;
    keys.reserve(m_keys.size());
    for (auto slot = m_keys.cbegin(); slot != m_keys.cend(); ++slot) {
        if (isRead(*slot, slot.key()))
            keys.append(slot.key());
    }
    return keys;
}

// The first section that takes new keys of a name: a header, or the lines before the first
// header when they hold a key of the general section.
int IniDocument::blockOf(const QString &section) const
{
    if (section.isEmpty() && m_blocks.first().lastEntry >= 0)
        return 0;
    return m_sections.value(section.isEmpty() ? section : section + QLatin1Char('/'), -1);
}

void IniDocument::setValue(const QString &key, const QVariant &value)
{
    if (key.isEmpty())
        return;
    const QString name = normalizedKey(key);
    const QByteArray escaped = escapedValue(value);
    m_changed = true;
    m_edited.insert(name, value.userType() == QMetaType::QByteArray ? value : QVariant(value.toString()));
    const auto slot = m_keys.find(name);
    if (slot != m_keys.end() && slot->line >= 0) {
        Line &line = m_lines[slot->line];
        line.text = m_content.mid(line.start, line.equals - line.start) + '=' + escaped;
        if (slot->duplicated)
            removeDuplicates(name, slot->line);
        slot->duplicated = false;
        return;
    }
    const int separator = name.indexOf(QLatin1Char('/'));
    const QString section = separator < 0 ? QString() : name.left(separator);
    const QString inSection = name.mid(separator + 1);
    const QByteArray text = escapedKey(inSection) + '=' + escaped;
    const int block = blockOf(section);
    if (block >= 0)
        m_addedKeys[block].insert(inSection, text);
    else
        m_addedSections[section].insert(inSection, text);
    m_keys.insert(name, Slot());
}

// Takes out the lines holding a key but the one given.
void IniDocument::removeDuplicates(const QString &key, int kept)
{
    for (int line = 0; line < m_lines.size(); ++line) {
        if (line != kept && m_lines[line].kind == Entry && m_lines[line].key == key)
            m_lines[line].removed = true;
    }
}

// Takes a key's lines out; a slot of a key added by an edit takes out that one.
void IniDocument::removeSlot(const QString &key, const Slot &slot)
{
    m_edited.remove(key);
    if (slot.line >= 0) {
        m_lines[slot.line].removed = true;
        if (slot.duplicated)
            removeDuplicates(key, -1);
        return;
    }
    const int separator = key.indexOf(QLatin1Char('/'));
    const QString section = separator < 0 ? QString() : key.left(separator);
    const QString inSection = key.mid(separator + 1);
    const int block = blockOf(section);
    if (block >= 0)
        m_addedKeys[block].remove(inSection);
    else if (m_addedSections[section].remove(inSection) && m_addedSections[section].isEmpty())
        m_addedSections.remove(section);
}

void IniDocument::remove(const QString &key)
{
    const QString name = normalizedKey(key);
    if (name.isEmpty())
        return clear();
    const QString prefix = name + QLatin1Char('/');
    for (auto slot = m_keys.begin(); slot != m_keys.end();) {
        if (slot.key() != name && !slot.key().startsWith(prefix)) {
            ++slot;
            continue;
        }
        removeSlot(slot.key(), *slot);
        slot = m_keys.erase(slot);
        m_changed = true;
    }
}

void IniDocument::clear()
{
    *this = IniDocument();
    m_changed = true;
}

QByteArray IniDocument::content() const
{
    if (!m_changed)
        return m_content;
    Writer out(*this);
    auto section = m_addedSections.cbegin();
    const auto writeSection = [&out](const QString &name, const AddedKeys &keys) {
        QByteArray text = headerLine(name);
        for (const QByteArray &line : keys)
            text += '\n' + line;
        out.added(text, true);
    };
    for (int block = 0; block < m_blocks.size(); ++block) {
        for (; m_blocks[block].header >= 0 && section != m_addedSections.cend()
             && section.key() < m_blocks[block].name;
             ++section)
            writeSection(section.key(), *section);
        emitBlock(out, block);
    }
    for (; section != m_addedSections.cend(); ++section)
        writeSection(section.key(), *section);
    return out.finish();
}

// A block's kept lines with the keys added to it, each before the first greater key or
// after the last key; the header only while the block keeps a line or has none.
void IniDocument::emitBlock(Writer &out, int index) const
{
    const Block &block = m_blocks[index];
    const int first = block.header + 1;
    const int end = index + 1 < m_blocks.size() ? m_blocks[index + 1].header : m_lines.size();
    const AddedKeys added = m_addedKeys.value(index);
    bool kept = !block.hasMembers || !added.isEmpty();
    for (int line = first; line < end && !kept; ++line)
        kept = !m_lines[line].removed;
    if (block.header >= 0 && kept && !m_lines[block.header].removed)
        out.original(block.header);
    auto next = added.cbegin();
    const auto addUpTo = [&](const QString *key) {
        for (; next != added.cend() && (!key || QStringView(next.key()).compare(QStringView(*key).mid(block.prefix.size())) < 0); ++next)
            out.added(*next, false);
    };
    if (block.lastEntry < 0)
        addUpTo(nullptr);
    for (int line = first; line < end; ++line) {
        const Line &current = m_lines[line];
        if (current.kind == Entry)
            addUpTo(&current.key);
        if (!current.removed)
            out.original(line);
        if (line == block.lastEntry)
            addUpTo(nullptr);
    }
}

QVector<int> IniDocument::unreadLines() const
{
    QVector<int> numbers;
    int number = 1;
    int counted = 0;
    for (const Line &line : m_lines) {
        if (!line.unread)
            continue;
        number += int(std::count(m_content.constBegin() + counted, m_content.constBegin() + line.start, '\n'));
        counted = line.start;
        numbers.append(number);
    }
    return numbers;
}
