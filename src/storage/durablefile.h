#ifndef DURABLEFILE_H
#define DURABLEFILE_H

#include <QtCore/QByteArray>
#include <QtCore/QString>

class DirectoryHandle;

// A file that only ever changes from one complete content to another. A new content is
// written to a temporary file beside it ("<name>.vorn-XXXXXX", created exclusively), every
// write checked and a short one continued, synced to the disk, renamed over the file, and
// the folder synced, so that the rename survives a power loss or a pulled disk. A failure
// before the rename removes the temporary file and leaves the file as it was, byte for
// byte; every failure gives one warning naming the file and the reason.
//
// Writers of a folder take turns through an flock() lock on the folder, which the kernel
// drops when its holder dies, so no lock outlives a crash, and no lock file is involved.
// A writer waits at most a second for it. Temporary files that a crash left in the folder
// are removed by the next writer, under the lock.
class DurableFile
{
public:
    // A file by its path; its folder is created when missing.
    explicit DurableFile(const QString &path);
    // The entry `name` of an open folder, which must stay open; `path` names it in warnings.
    DurableFile(const DirectoryHandle &folder, const QByteArray &name, const QString &path);
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;
    ~DurableFile();

    // Takes the folder's lock, waiting at most a second, and removes stale temporary
    // files; false when the folder cannot be opened or another process held the lock all
    // that time. A file system without locks is written without.
    bool lock();
    // The folder and the file's name in it, to read the file under the lock.
    int folder() const { return m_folder; }
    const QByteArray &name() const { return m_name; }
    // Replaces the file by `content`, taking the lock first when it is not held; false,
    // with one warning, when anything failed.
    bool replace(const QByteArray &content);

    // Replacements made by this process so far: what was read from a file before may be
    // stale once this changes.
    static quint64 replaceCount();

private:
    static bool writeCopy(int fd, const QByteArray &content);
    bool fail(const QString &reason);
    void removeStaleCopies() const;

    QString m_path;
    QByteArray m_name;
    int m_folder = -1;
    bool m_ownsFolder = false;
    bool m_locked = false;
    QString m_lockFailure; // why lock() failed
};

#endif // DURABLEFILE_H
