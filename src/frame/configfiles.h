#ifndef CONFIGFILES_H
#define CONFIGFILES_H

#include <QtCore/QString>

class QSettings;

// The INI files under the application directory.
namespace ConfigFiles {

// Key remap, OLED page groups and T-bar calibration.
QString keyboardConfigPath();
// Per-key OLED settings; the profile that travels to a removable disk.
QString oledConfigPath();

// Writes the changes made through `settings` to its file now. A failed write leaves a
// warning naming the file and returns false; the earlier file stays as it was.
bool commit(QSettings &settings);

} // namespace ConfigFiles

#endif // CONFIGFILES_H
