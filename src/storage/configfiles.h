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

// The largest configuration or profile file read, in bytes: a profile with settings on
// every OLED key holds about 31 KB.
const int SizeLimit = 1024 * 1024;

} // namespace ConfigFiles

#endif // CONFIGFILES_H
