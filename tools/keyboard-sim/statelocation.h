#ifndef STATELOCATION_H
#define STATELOCATION_H

#include <QtCore/QString>

// Where a keyboard tool keeps the library's Keyboard/ folder. Built, it stays beside the
// binary, where the tests and a developer expect it. Installed, the binary's folder
// under the prefix is no place for state: it goes to the user's data folder,
// DATA/vorn-keyboard-tools/Keyboard/, which both tools share.
namespace StateLocation {

// installedToolsDir: the tools' folder relative to the prefix, lib/<multiarch>/vorn-keyboard-tools.
void choose(const QString &installedToolsDir);

} // namespace StateLocation

#endif // STATELOCATION_H
