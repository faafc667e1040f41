#ifndef KEYBOARDIDENTITY_H
#define KEYBOARDIDENTITY_H

#include <QtCore/QString>

// Texts and values the keyboard's identity replies turn into.
namespace KeyboardIdentity {

// Two bytes as four lowercase hexadecimal digits, "0aff".
QString serialNumber(uchar first, uchar second);

// "1.02" for major 1, minor 2; the reply 255.255 means "no tone processor", "-.-".
QString toneProcessorVersion(uchar major, uchar minor);

// Text bytes per OLED line that a tone processor of this version sends.
quint64 oledLineLength(uchar major, uchar minor);

} // namespace KeyboardIdentity

#endif // KEYBOARDIDENTITY_H
