#include "inidocument.h"

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>
#else
#include <QtCore/QTextCodec>
#endif

#include <algorithm>
#include <array>
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

// White space as QByteArray::trimmed() takes it, whatever the locale.
bool isAsciiSpace(char ch)
{
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
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
    int from = start + 1;
    int to = close ? int(close - data) : end;
    while (from < to && isAsciiSpace(data[from]))
        ++from;
    while (to > from && isAsciiSpace(data[to - 1]))
        --to;
    const QByteArray name = QByteArray::fromRawData(data + from, to - from);
    if (isWord(name, "general"))
        return QString();
    QString prefix;
    prefix.reserve(to - from + 1);
    if (isWord(name, "%general"))
        prefix = QString::fromLatin1(name.mid(1));
    else
        appendUnescapedKey(prefix, data + from, to - from);
    prefix += QLatin1Char('/');
    return prefix;
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

// FNV-1a over UTF-16 code units: the same for a key's characters and for the bytes of a
// plain key, so that a key is found without unescaping every key of the file.
const quint32 HashStart = 2166136261u;

quint32 hashed(quint32 hash, ushort unit)
{
    return (hash ^ unit) * 16777619u;
}

quint32 hashed(quint32 hash, QStringView text)
{
    for (const QChar c : text)
        hash = hashed(hash, c.unicode());
    return hash;
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
        if (line.replaced)
            m_out += m_document.m_texts.value(index);
        else
            m_out.append(data + line.start, line.end - line.start);
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
    index();
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
    m_lines.reserve(size / 16 + 1);
    m_blocks.append(Block());
    m_blocks.last().prefixHash = HashStart;
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
            line.kind = bounds.comment                             ? Comment
                    : (part || !mark) && data[line.start] == '[' ? Header
                    : bounds.equals >= 0                         ? Entry
                                                                 : Other;
            line.unread = line.kind == Other && !(mark && line.start == 0 && line.end == ByteOrderMarkSize);
            addLine(line);
            lead = bounds.end;
        }
    }
    m_blocks.last().end = m_lines.size();
}

void IniDocument::addLine(Line line)
{
    const char *data = m_content.constData();
    if (line.kind == Header) {
        m_blocks.last().end = m_lines.size();
        Block block;
        bool closed = false;
        block.prefix = sectionPrefix(data, line.start, line.end, &closed);
        block.prefixHash = hashed(HashStart, block.prefix);
        block.header = m_lines.size();
        m_blocks.append(block);
        line.unread = !closed;
    }
    line.block = m_blocks.size() - 1;
    if (line.kind == Entry) {
        line.keyStart = line.start;
        line.keyEnd = line.equals;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        // Qt 6 trims every kind of white space around a key, Qt 5 blanks after it.
        while (line.keyStart < line.keyEnd && isAsciiSpace(data[line.keyStart]))
            ++line.keyStart;
        while (line.keyEnd > line.keyStart && isAsciiSpace(data[line.keyEnd - 1]))
            --line.keyEnd;
#else
        while (line.keyEnd > line.keyStart && (data[line.keyEnd - 1] == ' ' || data[line.keyEnd - 1] == '\t'))
            --line.keyEnd;
#endif
        line.plainKey = true;
        line.hash = m_blocks.last().prefixHash;
        for (int i = line.keyStart; i < line.keyEnd; ++i) {
            const uchar byte = uchar(data[i]);
            line.plainKey = line.plainKey && byte < 0x80 && byte != '%' && byte != '\\';
            line.hash = hashed(line.hash, byte);
        }
        if (!line.plainKey)
            line.hash = hashed(HashStart, key(line));
        line.unread = !isPlainValue(data, line.equals + 1, line.end) && !lineValue(line).isValid();
        m_blocks.last().lastEntry = m_lines.size();
    }
    m_lines.append(line);
}

// The table of winning lines. QSettings takes the last value of the sections it reads last:
// by name, then in order.
void IniDocument::index()
{
    int size = 16;
    while (size < 2 * m_lines.size())
        size *= 2;
    m_table.fill(-1, size);
    for (int index = 0; index < m_lines.size(); ++index) {
        Line &line = m_lines[index];
        if (line.kind != Entry)
            continue;
        int slot = int(line.hash & uint(size - 1));
        for (; m_table[slot] >= 0; slot = (slot + 1) & (size - 1)) {
            Line &held = m_lines[m_table[slot]];
            if (held.hash == line.hash && hasKey(held, key(line), false)) {
                held.duplicated = line.duplicated = true;
                if (m_blocks[line.block].prefix < m_blocks[held.block].prefix)
                    slot = -1;
                break;
            }
        }
        if (slot >= 0)
            m_table[slot] = index;
    }
    for (const int index : qAsConst(m_table)) {
        if (index >= 0)
            m_lines[index].winner = true;
    }
}

// The winning line holding a key, -1 when there is none.
int IniDocument::find(QStringView key) const
{
    const quint32 hash = hashed(HashStart, key);
    const int mask = m_table.size() - 1;
    for (int slot = int(hash & uint(mask)); m_table[slot] >= 0; slot = (slot + 1) & mask) {
        const Line &line = m_lines[m_table[slot]];
        if (line.hash == hash && !line.removed && hasKey(line, key, false))
            return m_table[slot];
    }
    return -1;
}

QString IniDocument::key(const Line &line) const
{
    QString key = m_blocks[line.block].prefix;
    appendUnescapedKey(key, m_content.constData() + line.keyStart, line.keyEnd - line.keyStart);
    return key;
}

// Whether an entry's key is `name`, or, with orUnder, a key under it.
bool IniDocument::hasKey(const Line &line, QStringView name, bool orUnder) const
{
    const int length = int(name.size());
    if (!line.plainKey) {
        const QString own = key(line);
        return own == name
                || (orUnder && own.size() > length && own.startsWith(name)
                    && own[length] == QLatin1Char('/'));
    }
    const QString &prefix = m_blocks[line.block].prefix;
    const char *bytes = m_content.constData() + line.keyStart;
    const int size = prefix.size() + line.keyEnd - line.keyStart;
    if (size < length || (size > length && !orUnder))
        return false;
    const auto at = [&](int i) {
        return i < prefix.size() ? prefix[i] : QChar(QLatin1Char(bytes[i - prefix.size()]));
    };
    for (int i = 0; i < length; ++i) {
        if (at(i) != name[i])
            return false;
    }
    return size == length || at(length) == QLatin1Char('/');
}

QVariant IniDocument::lineValue(const Line &line) const
{
    const char *data = m_content.constData();
    int from = line.equals + 1;
    int to = line.end;
    // ASCII without escapes, quotes or commas reads as it stands, less the blanks around it.
    if (std::all_of(data + from, data + to, [](char c) {
            return uchar(c) < 0x80 && c != '\\' && c != '"' && c != ',';
        })) {
        while (from < to && (data[from] == ' ' || data[from] == '\t'))
            ++from;
        while (to > from && (data[to - 1] == ' ' || data[to - 1] == '\t'))
            --to;
        if (from == to || data[from] != '@')
            return QString::fromLatin1(data + from, to - from);
    }
    QString text;
    if (!unescapedValue(data, line.equals + 1, line.end, m_utf8Values, text))
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
    const int line = find(name);
    return line < 0 || m_lines[line].unread ? QVariant() : lineValue(m_lines[line]);
}

void IniDocument::forEachValue(const Visit &visit) const
{
    QString name;
    const char *data = m_content.constData();
    for (const Line &line : m_lines) {
        if (!line.winner || line.removed || (line.unread && !line.replaced))
            continue;
        name.resize(0);
        name += m_blocks[line.block].prefix;
        appendUnescapedKey(name, data + line.keyStart, line.keyEnd - line.keyStart);
        visit(name, [&] { return line.replaced ? m_edited.value(name) : lineValue(line); });
    }
    for (auto edited = m_edited.cbegin(); edited != m_edited.cend(); ++edited) {
        if (find(edited.key()) < 0)
            visit(edited.key(), [&] { return *edited; });
    }
}

// The first section that takes new keys of a name: a header, or the lines before the first
// header when they hold a key of the general section.
int IniDocument::blockOf(const QString &section)
{
    if (section.isEmpty() && m_blocks.first().lastEntry >= 0)
        return 0;
    if (m_sections.isEmpty()) {
        for (int block = m_blocks.size() - 1; block > 0; --block)
            m_sections.insert(m_blocks[block].prefix, block);
    }
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
    const int index = find(name);
    if (index >= 0) {
        Line &line = m_lines[index];
        if (line.duplicated) {
            removeLines(name, false);
            line.removed = false;
        }
        m_texts.insert(index, m_content.mid(line.start, line.equals - line.start) + '=' + escaped);
        line.replaced = true;
        return;
    }
    const int separator = name.indexOf(QLatin1Char('/'));
    const QString section = separator < 0 ? QString() : name.left(separator);
    const QString inSection = name.mid(separator + 1);
    const int block = blockOf(section);
    (block >= 0 ? m_addedKeys[block] : m_addedSections[section])
            .insert(inSection, escapedKey(inSection) + '=' + escaped);
}

// Takes out every line holding a key, or with orUnder a key under it too.
void IniDocument::removeLines(QStringView key, bool orUnder)
{
    for (Line &line : m_lines) {
        if (line.kind == Entry && !line.removed && hasKey(line, key, orUnder))
            line.removed = true;
    }
}

void IniDocument::remove(const QString &key)
{
    const QString name = normalizedKey(key);
    if (name.isEmpty())
        return clear();
    m_changed = true;
    removeLines(name, true);
    const QString prefix = name + QLatin1Char('/');
    for (auto edited = m_edited.begin(); edited != m_edited.end();) {
        if (edited.key() != name && !edited.key().startsWith(prefix)) {
            ++edited;
            continue;
        }
        const int separator = edited.key().indexOf(QLatin1Char('/'));
        const QString section = separator < 0 ? QString() : edited.key().left(separator);
        const int block = blockOf(section);
        AddedKeys &added = block >= 0 ? m_addedKeys[block] : m_addedSections[section];
        added.remove(edited.key().mid(separator + 1));
        if (block < 0 && added.isEmpty())
            m_addedSections.remove(section);
        edited = m_edited.erase(edited);
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
             && QStringView(section.key()).compare(QStringView(m_blocks[block].prefix).chopped(
                        m_blocks[block].prefix.isEmpty() ? 0 : 1)) < 0;
             ++section)
            writeSection(section.key(), *section);
        emitBlock(out, block);
    }
    for (; section != m_addedSections.cend(); ++section)
        writeSection(section.key(), *section);
    return out.finish();
}

// A block's kept lines with the keys added to it, each before the first greater key or
// after the last key; the header only while the block keeps a line or had none.
void IniDocument::emitBlock(Writer &out, int index) const
{
    const Block &block = m_blocks[index];
    const int first = block.header + 1;
    const AddedKeys added = m_addedKeys.value(index);
    bool kept = first == block.end || !added.isEmpty();
    for (int line = first; line < block.end && !kept; ++line)
        kept = !m_lines[line].removed;
    if (block.header >= 0 && kept)
        out.original(block.header);
    auto next = added.cbegin();
    const auto addUpTo = [&](const Line *line) {
        const QString inSection = line ? key(*line).mid(block.prefix.size()) : QString();
        for (; next != added.cend() && (!line || next.key() < inSection); ++next)
            out.added(*next, false);
    };
    if (block.lastEntry < 0)
        addUpTo(nullptr);
    for (int line = first; line < block.end; ++line) {
        const Line &current = m_lines[line];
        if (current.kind == Entry && next != added.cend())
            addUpTo(&current);
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
