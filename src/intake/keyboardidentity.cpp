#include "keyboardidentity.h"

QString KeyboardIdentity::serialNumber(uchar first, uchar second)
{
    return QStringLiteral("%1%2")
            .arg(first, 2, 16, QLatin1Char('0'))
            .arg(second, 2, 16, QLatin1Char('0'));
}

QString KeyboardIdentity::toneProcessorVersion(uchar major, uchar minor)
{
    const QString version = QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
    if (version == QLatin1String("255.255"))
        return QStringLiteral("-.-");
    return version;
}

quint64 KeyboardIdentity::oledLineLength(uchar major, uchar minor)
{
    return major * 256 + minor > 10 ? 30 : 10;
}
