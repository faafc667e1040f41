#include "directoryhandle.h"

#include <QtCore/QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DirectoryHandle::DirectoryHandle(const QString &path)
    : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{ }

DirectoryHandle::DirectoryHandle(const DirectoryHandle &parent, const QByteArray &name,
                                 Missing missing)
{
    if (!parent.isOpen() || name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return;
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    m_fd = ::openat(parent.m_fd, name.constData(), flags);
    if (m_fd < 0 && errno == ENOENT && missing == CreateMissing
        && ::mkdirat(parent.m_fd, name.constData(), 0777) == 0)
        m_fd = ::openat(parent.m_fd, name.constData(), flags);
}

DirectoryHandle::~DirectoryHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool DirectoryHandle::holdsFileOrNothing(const QByteArray &name) const
{
    struct stat entry;
    if (::fstatat(m_fd, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    return S_ISREG(entry.st_mode);
}
