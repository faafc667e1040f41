#ifndef CONFIGSETTINGS_H
#define CONFIGSETTINGS_H

#include <QtCore/QSettings>

#include <memory>

class QTemporaryFile;

// The file a ConfigSettings hands to QSettings, made ready before QSettings opens it (a
// base class of ConfigSettings for that reason): the configuration file itself when it is
// missing or passes the check, else a temporary copy of what of it can be read.
class CheckedConfigFile
{
protected:
    explicit CheckedConfigFile(const QString &path);
    ~CheckedConfigFile();

    QString settingsPath() const;

    QString m_path;
    std::unique_ptr<QTemporaryFile> m_copy; // null: QSettings works on the file itself
    bool m_canReplace = true;
};

// QSettings in INI format on one of the library's configuration files. QSettings reads
// the file itself only when it is missing, or a regular file of at most
// ConfigFiles::SizeLimit bytes whose every line IniCheck accepts: nothing else reaches Qt's
// INI reader, which may block on a FIFO or allocate without bound for a garbled value.
// Otherwise it works on a temporary copy holding the lines the check accepts (none when
// the file could not be read), so the rest reads as missing, with one warning per
// generation of the file.
class ConfigSettings : private CheckedConfigFile, public QSettings
{
public:
    explicit ConfigSettings(const QString &path);

    // Writes the changes to the file now: over a garbled file, its readable lines with the
    // changes; a file that could not be read, or a failed write, stays as it was, with a
    // warning naming the file.
    bool commit();
};

#endif // CONFIGSETTINGS_H
