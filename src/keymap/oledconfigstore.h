#ifndef OLEDCONFIGSTORE_H
#define OLEDCONFIGSTORE_H

#include <QtCore/QString>

// The per-key OLED settings as kept in the OLED configuration file: a group named by
// the decimal key value holds "isModify", "displayModel", "oled1stText",
// "oled2ndText" (local 8-bit bytes) and "oledIconIndex"; "Modify/btnKey" lists the
// keys with their own settings, joined with ";". Each call reads the file afresh through
// ConfigFile and writes it when done; a failed write leaves a warning and the earlier file.
class OledConfigStore
{
public:
    explicit OledConfigStore(const QString &path);

    // Records the key's settings as modified, or resets them when the display model
    // is ResetDisplayModel.
    void write(int keyValue, int displayModel, int iconIndex, const QString &firstText,
               const QString &secondText) const;

    static const int ResetDisplayModel = -1;

private:
    QString m_path;
};

#endif // OLEDCONFIGSTORE_H
