#include "durablefile.h"

#include "directoryhandle.h"
#include "logging.h"
#include "systemcalls.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char CopyInfix[] = ".vorn-";
const int CopyInfixSize = sizeof CopyInfix - 1;
const int CopySuffixSize = 6;
const int LockWaitMs = 1000;
const int LockPollMs = 10;

std::atomic<quint64> replacements{0};

QByteArray randomSuffix()
{
    static const char Characters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix;
    for (int i = 0; i < CopySuffixSize; ++i)
        suffix += Characters[QRandomGenerator::global()->bounded(int(sizeof Characters - 1))];
    return suffix;
}

// A temporary copy of the library's own: "<name>.vorn-" and six letters or digits.
bool isCopyName(const char *name)
{
    const int length = int(std::strlen(name));
    if (length <= CopyInfixSize + CopySuffixSize)
        return false;
    const char *suffix = name + length - CopySuffixSize;
    return std::memcmp(suffix - CopyInfixSize, CopyInfix, CopyInfixSize) == 0
            && std::all_of(suffix, suffix + CopySuffixSize,
                           [](char c) { return std::isalnum(uchar(c)) != 0; });
}

// What errno says, with the call that set it.
QString callFailure(const char *call)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(std::strerror(errno)),
                                         QLatin1String(call));
}

} // namespace

DurableFile::DurableFile(const QString &path)
    : m_path(path), m_name(QFile::encodeName(QFileInfo(path).fileName())), m_ownsFolder(true)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    m_folder = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        m_lockFailure = QStringLiteral("its folder cannot be opened: ") + callFailure("open");
}

DurableFile::DurableFile(const DirectoryHandle &folder, const QByteArray &name, const QString &path)
    : m_path(path), m_name(name), m_folder(folder.descriptor())
{
    if (m_folder < 0)
        m_lockFailure = QStringLiteral("its folder is not open");
}

DurableFile::~DurableFile()
{
    if (m_locked)
        SystemCalls::current().flock(m_folder, LOCK_UN);
    if (m_ownsFolder && m_folder >= 0)
        ::close(m_folder);
}

quint64 DurableFile::replaceCount()
{
    return replacements;
}

bool DurableFile::lock()
{
    if (m_locked)
        return true;
    if (m_folder < 0 || !m_lockFailure.isEmpty())
        return false;
    SystemCalls &calls = SystemCalls::current();
    const timespec pause{0, LockPollMs * 1000 * 1000};
    for (int waited = 0;; waited += LockPollMs) {
        if (calls.flock(m_folder, LOCK_EX | LOCK_NB) == 0) {
            m_locked = true;
            removeStaleCopies();
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true; // the file system has no locks
        if (waited >= LockWaitMs) {
            m_lockFailure = QStringLiteral("another process has held the lock on its folder for "
                                           "over a second");
            return false;
        }
        calls.nanosleep(&pause, nullptr);
    }
}

bool DurableFile::replace(const QByteArray &content)
{
    if (!lock())
        return fail(m_lockFailure);
    SystemCalls &calls = SystemCalls::current();
    struct stat existing;
    const mode_t mode = ::fstatat(m_folder, m_name.constData(), &existing, 0) == 0
            ? existing.st_mode & 07777
            : 0666;
    QByteArray copy;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        copy = m_name + CopyInfix + randomSuffix();
        fd = calls.openat(m_folder, copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail(callFailure("open"));
    const auto abandon = [&](const QString &reason) {
        calls.unlinkat(m_folder, copy.constData(), 0);
        return fail(reason);
    };
    QString failure;
    if (!writeCopy(fd, content))
        failure = errno ? callFailure("write") : QStringLiteral("nothing written (write)");
    else if (calls.fdatasync(fd) != 0)
        failure = callFailure("fdatasync");
    if (calls.close(fd) != 0 && failure.isEmpty())
        failure = callFailure("close");
    if (!failure.isEmpty())
        return abandon(failure);
    if (calls.renameat(m_folder, copy.constData(), m_folder, m_name.constData()) != 0)
        return abandon(callFailure("rename"));
    ++replacements;
    if (calls.fsync(m_folder) != 0) {
        qCWarning(lcKeyboard).noquote()
                << QStringLiteral("DealKeyPress: %1 is written, but its folder could not be synced: "
                                  "%2; the new content may not survive a power loss")
                           .arg(m_path, callFailure("fsync"));
        return false;
    }
    return true;
}

// Every byte, a short write continued; false with errno set, or 0 when nothing was written.
bool DurableFile::writeCopy(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qint64 left = content.size();
    while (left > 0) {
        errno = 0;
        const ssize_t written = SystemCalls::current().write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

bool DurableFile::fail(const QString &reason)
{
    qCWarning(lcKeyboard).noquote()
            << QStringLiteral("DealKeyPress: cannot write %1: %2; it keeps its earlier content")
                       .arg(m_path, reason);
    return false;
}

void DurableFile::removeStaleCopies() const
{
    const int fd = ::openat(m_folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *folder = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!folder) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(folder)) {
        if (isCopyName(entry->d_name))
            SystemCalls::current().unlinkat(m_folder, entry->d_name, 0);
    }
    ::closedir(folder);
}
