#include "regularfile.h"

#include "systemcalls.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RegularFile::Refusal refusalOfError(int error)
{
    return error == ENOENT || error == ENOTDIR ? RegularFile::Missing
            : error == ELOOP                   ? RegularFile::Link
                                               : RegularFile::Unreadable;
}

// Reads the open file `fd` when it is still the regular file that was looked at.
RegularFile::Refusal readOpenFile(int fd, const struct stat &looked, int limit, QByteArray &content)
{
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != looked.st_dev
        || opened.st_ino != looked.st_ino)
        return RegularFile::NotRegular;
    if (opened.st_size > limit)
        return RegularFile::TooLarge;
    // Whole chunks (procfs wants reads of whole records) until the end, or until past the
    // limit, however much the file has grown since it was looked at.
    char chunk[64 * 1024];
    ssize_t length = 0;
    content.reserve(int(opened.st_size));
    do {
        length = ::read(fd, chunk, sizeof chunk);
        if (length > 0)
            content.append(chunk, int(length));
    } while (content.size() <= limit && (length > 0 || (length < 0 && errno == EINTR)));
    return content.size() > limit ? RegularFile::TooLarge
            : length < 0          ? RegularFile::Unreadable
                                  : RegularFile::None;
}

} // namespace

RegularFile RegularFile::read(int directory, const QByteArray &name, int limit, Links links)
{
    RegularFile file;
    const bool refuseLinks = links == RefuseLinks;
    struct stat looked;
    if (::fstatat(directory, name.constData(), &looked, refuseLinks ? AT_SYMLINK_NOFOLLOW : 0) != 0)
        file.m_refusal = refusalOfError(errno);
    else if (!S_ISREG(looked.st_mode))
        file.m_refusal = S_ISLNK(looked.st_mode) ? Link : NotRegular;
    if (!file.isRead())
        return file;
    const int fd = SystemCalls::current().openat(
            directory, name.constData(),
            O_RDONLY | O_NONBLOCK | O_CLOEXEC | (refuseLinks ? O_NOFOLLOW : 0), 0);
    if (fd < 0) {
        file.m_refusal = refusalOfError(errno);
        return file;
    }
    file.m_refusal = readOpenFile(fd, looked, limit, file.m_content);
    ::close(fd);
    if (!file.isRead())
        file.m_content.clear();
    return file;
}

const char *RegularFile::reason() const
{
    static const char *const Reasons[] = {"", "missing", "a symbolic link", "not a regular file",
                                          "larger than the size limit", "unreadable"};
    return Reasons[m_refusal];
}
