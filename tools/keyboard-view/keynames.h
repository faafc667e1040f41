#ifndef KEYNAMES_H
#define KEYNAMES_H

#include <QtCore/QString>

// What a person calls a key value: the group and its 1-based number ("INPUT 3" for
// 405), or the caption of the key ("TAKE"); "key N" for a value with no key of its own.
namespace KeyNames {

QString name(int key);
// The name followed by the key value, for notices: "INPUT 3 (405)".
QString described(int key);

} // namespace KeyNames

#endif // KEYNAMES_H
