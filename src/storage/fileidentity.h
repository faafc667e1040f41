#ifndef FILEIDENTITY_H
#define FILEIDENTITY_H

#include <QtCore/QByteArray>

#include <sys/stat.h>

// What tells one generation of a file from the next: device, inode, size and
// modification time to the nanosecond. A file replaced by a rename has a new inode,
// one rewritten in place a new size or time. Equal for two absent files.
class FileIdentity
{
public:
    FileIdentity() = default;
    // One stat() of the file.
    static FileIdentity of(const QByteArray &encodedPath);

    bool operator==(const FileIdentity &other) const;
    bool operator!=(const FileIdentity &other) const { return !(*this == other); }

private:
    bool m_exists = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_modified = {};
};

#endif // FILEIDENTITY_H
