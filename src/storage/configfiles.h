#ifndef CONFIGFILES_H
#define CONFIGFILES_H

#include <QtCore/QString>

// The INI files under the application directory.
namespace ConfigFiles {

// Puts the files under `folder` instead of the application directory (empty: back there).
// For the installed tools, whose application directory is no place for state; a host's
// files stay under its application directory.
void setFolder(const QString &folder);

// Key remap, OLED page groups and T-bar calibration.
QString keyboardConfigPath();
// Per-key OLED settings; the profile that travels to a removable disk.
QString oledConfigPath();

// The largest configuration or profile file read, in bytes. The largest a real keyboard
// makes, with five pages of long non-ASCII texts on every OLED key, is about 87 KB, its
// profile 31 KB; a file of this size still reads well within one frame of the GUI thread.
const int SizeLimit = 128 * 1024;

} // namespace ConfigFiles

#endif // CONFIGFILES_H
