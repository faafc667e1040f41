#include "tbarrecord.h"

namespace {

const int KeyCodeDigits = 3;
const char Separator = '#';
const int FillerBytes = 4;
// Value digits that always fit an int.
const int PlainValueDigits = 9;

// Reads the decimal digits of text[from, to); false when one is not a digit.
bool readDigits(const char *text, int from, int to, int *value)
{
    *value = 0;
    for (int i = from; i < to; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        *value = *value * 10 + (text[i] - '0');
    }
    return true;
}

// The record as writers make it, read in place: three digits, '#', an optional '-' and
// one to nine digits. False for any other text, which then takes the general reading.
bool readPlainRecord(const char *text, int length, int *keyCode, int *value)
{
    if (length <= KeyCodeDigits + 1 || text[KeyCodeDigits] != Separator)
        return false;
    const bool negative = text[KeyCodeDigits + 1] == '-';
    const int first = KeyCodeDigits + 1 + (negative ? 1 : 0);
    if (length == first || length - first > PlainValueDigits
        || !readDigits(text, 0, KeyCodeDigits, keyCode) || !readDigits(text, first, length, value))
        return false;
    if (negative)
        *value = -*value;
    return true;
}

} // namespace

QString TbarRecord::text(int keyCode, int value)
{
    return QStringLiteral("%1#%2").arg(keyCode, KeyCodeDigits, 10, QLatin1Char('0')).arg(value);
}

QByteArray TbarRecord::segment(const QString &text)
{
    QByteArray bytes = text.toLatin1();
    bytes.append('\0');
    bytes.append(FillerBytes, '\0');
    return bytes;
}

std::optional<int> TbarRecord::tbarValue(const QByteArray &content)
{
    if (content.size() > MaxSegmentSize)
        return std::nullopt;
    const int nul = content.indexOf('\0');
    int keyCode;
    int value;
    if (readPlainRecord(content.constData(), nul < 0 ? content.size() : nul, &keyCode, &value))
        return keyCode == TbarKeyCode ? std::optional<int>(value) : std::nullopt;
    const QByteArray text = nul < 0 ? content : content.left(nul);
    if (text.size() <= KeyCodeDigits || text.at(KeyCodeDigits) != Separator)
        return std::nullopt;
    if (text.left(KeyCodeDigits).toInt() != TbarKeyCode)
        return std::nullopt;
    return text.mid(KeyCodeDigits + 1).toInt();
}
