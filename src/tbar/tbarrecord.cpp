#include "tbarrecord.h"

namespace {

const int KeyCodeDigits = 3;
const char Separator = '#';
const int FillerBytes = 4;

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
    const QByteArray text = nul < 0 ? content : content.left(nul);
    if (text.size() <= KeyCodeDigits || text.at(KeyCodeDigits) != Separator)
        return std::nullopt;
    if (text.left(KeyCodeDigits).toInt() != TbarKeyCode)
        return std::nullopt;
    return text.mid(KeyCodeDigits + 1).toInt();
}
