#ifndef CONFIGFILE_H
#define CONFIGFILE_H

#include "inidocument.h"

#include <QtCore/QString>

#include <memory>

class DurableFile;

// One of the library's configuration files, read whole through RegularFile (a regular file
// of at most ConfigFiles::SizeLimit bytes, never a FIFO or device) and parsed once into an
// IniDocument. A missing file reads as empty; one that cannot be read reads as empty too
// and is never written over. Each version of a file that cannot be read, or that holds
// lines the document keeps unread, gets one warning. Opened for editing, the file's folder
// stays locked (DurableFile) from the read to the commit, so that another writer's change
// is never lost in between.
class ConfigFile
{
public:
    enum Access { ReadOnly, ReadWrite };

    ConfigFile(const QString &path, Access access);
    ConfigFile(const ConfigFile &) = delete;
    ConfigFile &operator=(const ConfigFile &) = delete;
    ~ConfigFile();

    const IniDocument &document() const { return m_document; }
    IniDocument &document() { return m_document; }

    // Writes the edits when they change the file, through DurableFile; false when the file
    // could not be read (warned about as it was read) or written (with one warning): it
    // keeps its earlier content.
    bool commit();

private:
    QString m_path;
    std::unique_ptr<DurableFile> m_file; // ReadWrite: holds the lock
    QByteArray m_read;
    IniDocument m_document;
    bool m_writable = true;
};

#endif // CONFIGFILE_H
