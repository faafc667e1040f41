#include "inicheck.h"

#include <QtCore/QString>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

// The bytes Qt's INI reader looks at when it splits lines; it passes over all others.
bool isSpecial(char ch)
{
    static const auto special = [] {
        std::array<bool, 256> table{};
        for (const char byte : {'\n', '\r', '"', ';', '=', '\\'})
            table[uchar(byte)] = true;
        return table;
    }();
    return special[uchar(ch)];
}

// "\r\n" and "\n\r" end a line as one break.
bool isLineBreakPair(char first, char second)
{
    return (first == '\n' && second == '\r') || (first == '\r' && second == '\n');
}

// One line of the file as Qt's INI reader splits it.
struct Line
{
    int start = 0;
    int end = 0; // past its last byte
    int equals = -1; // the first '=' outside quotes; -1 when there is none
};

// The line from `pos` on, moving `pos` past it; false at the end of the content. Blank
// lines and comments (';' first) are skipped; a backslash escapes the next byte, a line
// break too; a quoted part runs across line breaks; a line break or ';' outside quotes
// ends the line.
bool nextLine(const QByteArray &data, int &pos, Line &line)
{
    const int size = data.size();
    line = Line();
    line.start = pos;
    while (line.start < size && isSpace(data[line.start]))
        ++line.start;
    bool inQuotes = false;
    int i = line.start;
    while (i < size) {
        if (!isSpecial(data[i])) {
            ++i;
            continue;
        }
        const char ch = data[i++];
        if (ch == '=' && !inQuotes && line.equals < 0) {
            line.equals = i - 1;
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == '\\' && i < size) {
            const char escaped = data[i++];
            if (i < size && isLineBreakPair(escaped, data[i]))
                ++i;
        } else if (ch == ';' && i == line.start + 1) {
            while (i < size && data[i] != '\n' && data[i] != '\r')
                ++i;
            while (i < size && isSpace(data[i]))
                ++i;
            line.start = i;
        } else if ((ch == ';' || ch == '\n' || ch == '\r') && !inQuotes) {
            --i;
            break;
        }
    }
    pos = line.end = i;
    return line.end > line.start;
}

int digitValue(char ch, int base)
{
    const int value = ch >= '0' && ch <= '9' ? ch - '0'
            : ch >= 'a' && ch <= 'f'         ? ch - 'a' + 10
            : ch >= 'A' && ch <= 'F'         ? ch - 'A' + 10
                                             : base;
    return value < base ? value : -1;
}

// Texts QSettings returns as they are, or as a byte array for "@ByteArray(...)". Qt writes
// a text starting with '@' as "@@...", so any other text starting with '@' is one of its
// value forms (or reads as one in another Qt version).
bool isReadable(const QString &text)
{
    return !text.startsWith(QLatin1Char('@')) || text.startsWith(QLatin1String("@@"))
            || (text.startsWith(QLatin1String("@ByteArray(")) && text.endsWith(QLatin1Char(')')));
}

// Whether each text of a value is readable, as Qt's INI reader unescapes it: several texts
// when commas outside quotes make it a list. A numeric escape ("\x41", "\101") gives the
// character of the low 16 bits of its value, as QChar does. Blanks around a text are
// dropped unless escaped or quoted, except after an escape that ends the value.
bool holdsReadableTexts(const QByteArray &data, int from, int to)
{
    // Only a '@' or an escape can start a text with '@'.
    if (std::none_of(data.constData() + from, data.constData() + to,
                     [](char ch) { return ch == '@' || ch == '\\'; }))
        return true;
    static const char Escapes[] = "abfnrtv\"?'\\";
    static const char Escaped[] = "\a\b\f\n\r\t\v\"?'\\";
    QString text;
    text.reserve(to - from);
    bool quoted = false;
    bool inQuotes = false;
    int kept = 0; // the length of the text that keeps its trailing spaces
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (data[i] == ' ' || data[i] == '\t'))
            ++i;
        kept = text.size();
    };
    const auto endText = [&] {
        while (!quoted && text.size() > kept && (text.endsWith(' ') || text.endsWith('\t')))
            text.chop(1);
        const bool readable = isReadable(text);
        text.resize(0);
        quoted = false;
        return readable;
    };
    skipSpaces();
    while (i < to) {
        const char ch = data[i++];
        if (ch == '\\') {
            if (i == to)
                return isReadable(text);
            const char code = data[i++];
            const int base = code == 'x' ? 16 : 8;
            const char *simple = code ? std::strchr(Escapes, code) : nullptr;
            if (simple) {
                text += QLatin1Char(Escaped[simple - Escapes]);
            } else if ((base == 16 && i < to && digitValue(data[i], 16) >= 0)
                       || digitValue(code, 8) >= 0) {
                quint32 value = base == 16 ? 0 : quint32(digitValue(code, 8));
                for (; i < to && digitValue(data[i], base) >= 0; ++i)
                    value = value * quint32(base) + quint32(digitValue(data[i], base));
                text += QChar(ushort(value));
                if (i == to)
                    return isReadable(text);
            } else if (code == 'x' && i == to) {
                return isReadable(text);
            } else if (i < to && isLineBreakPair(code, data[i])) {
                ++i;
            }
            kept = text.size();
        } else if (ch == '"') {
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (ch == ',' && !inQuotes) {
            if (!endText())
                return false;
            skipSpaces();
        } else {
            int end = i;
            while (end < to && data[end] != '\\' && data[end] != '"' && data[end] != ',')
                ++end;
            text += QLatin1String(data.constData() + i - 1, end - i + 1);
            i = end;
        }
    }
    return endText();
}

} // namespace

IniCheck::IniCheck(const QByteArray &content)
{
    static const QByteArray ByteOrderMark("\xef\xbb\xbf");
    int pos = content.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    int copied = 0; // the content before this offset is in m_readable or dropped
    int lineNumber = 1;
    int counted = 0; // the line breaks before this offset are in lineNumber
    bool garbledSection = false;
    Line line;
    while (nextLine(content, pos, line)) {
        const bool header = content[line.start] == '[';
        if (header) {
            const int close = content.indexOf(']', line.start);
            garbledSection = close < 0 || close >= line.end;
        }
        if (!garbledSection && (header || (line.equals >= 0 && holdsReadableTexts(content, line.equals + 1, line.end))))
            continue;
        lineNumber += int(std::count(content.begin() + counted, content.begin() + line.start, '\n'));
        counted = line.start;
        m_garbledLines << lineNumber;
        m_readable += content.mid(copied, line.start - copied);
        copied = line.end;
    }
    m_readable = copied ? m_readable + content.mid(copied) : content;
}
