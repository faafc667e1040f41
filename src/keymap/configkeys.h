#ifndef CONFIGKEYS_H
#define CONFIGKEYS_H

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

class IniDocument;

// Keys that the keyboard and the OLED configuration files share.
namespace ConfigKeys {

// An OLED page group of the keyboard file and a key group of the OLED file both hold
// these fields.
extern const QString DisplayModel;
extern const QString IconIndex;
extern const QString FirstText;
extern const QString SecondText;

// A value as a number, as QVariant::toInt() reads it; quicker for the decimal numbers the
// library writes.
int intValue(const QVariant &value);

// "Modify/btnKey": names joined with ';'. It reads split at every ';' with empty parts
// kept, so an absent list reads as one empty name.
QStringList readModifiedList(const IniDocument &document);
void writeModifiedList(IniDocument &document, const QStringList &names);

} // namespace ConfigKeys

#endif // CONFIGKEYS_H
