#ifndef DIRECTORYHANDLE_H
#define DIRECTORYHANDLE_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

// An open directory, for reaching its entries by descriptor; closed with its handle. One
// opened under another must be a real directory there, never a symbolic link, so a link
// put in place of a folder is never followed, and it is not looked up by name again.
class DirectoryHandle
{
public:
    enum Missing { RefuseMissing, CreateMissing };

    DirectoryHandle() = default;
    // A directory by its path, following links on the way.
    explicit DirectoryHandle(const QString &path);
    // The directory `name` in `parent` (a name, not a path, nor "." or ".."), created first when missing and asked for.
    DirectoryHandle(const DirectoryHandle &parent, const QByteArray &name, Missing missing);
    DirectoryHandle(const DirectoryHandle &) = delete;
    DirectoryHandle &operator=(const DirectoryHandle &) = delete;
    ~DirectoryHandle();

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    // True when the entry is missing or a regular file, not a link to one.
    bool holdsFileOrNothing(const QByteArray &name) const;

private:
    int m_fd = -1;
};

#endif // DIRECTORYHANDLE_H
