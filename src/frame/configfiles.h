#ifndef CONFIGFILES_H
#define CONFIGFILES_H

#include <QtCore/QString>

// The INI files under the application directory.
namespace ConfigFiles {

// Key remap, OLED page groups and T-bar calibration.
QString keyboardConfigPath();
// Per-key OLED settings; the profile that travels to a removable disk.
QString oledConfigPath();

} // namespace ConfigFiles

#endif // CONFIGFILES_H
