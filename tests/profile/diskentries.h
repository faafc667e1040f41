#ifndef DISKENTRIES_H
#define DISKENTRIES_H

#include "testfiles.h"

#include <QtCore/QHash>
#include <QtCore/QMap>

#include <functional>

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// What a disk may hold, for the profile transfer tests.
namespace DiskEntries {

// Bound from the socket's folder: a socket's path holds at most 107 bytes.
inline bool makeSocket(const QString &path)
{
    const QString current = QDir::currentPath();
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(QFileInfo(path).fileName()).constData(),
             sizeof address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = QDir::setCurrent(QFileInfo(path).path())
            && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(fd);
    return QDir::setCurrent(current) && bound;
}

// Creates "KIND PATH ARGUMENT" under a folder: a "file" holding the argument, a "link" to
// it, a "fifo", "socket" or "device" (a /dev/zero node, root only), or a "bind" mount of
// it over an empty file (root, in a private mount namespace). An entry without blanks is
// one of TestFiles::createLayout.
inline bool create(const QString &base, const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char(' '));
    if (parts.size() == 1)
        return TestFiles::createLayout(base, parts);
    const QString path = base + QLatin1Char('/') + parts[1];
    const QByteArray name = QFile::encodeName(path);
    const QString argument = entry.section(QLatin1Char(' '), 2);
    const QHash<QString, std::function<bool()>> makers{
            {"file", [&] { return TestFiles::writeFile(path, argument.toUtf8()); }},
            {"link", [&] { return QFile::link(argument, path); }},
            {"fifo", [&] { return mkfifo(name.constData(), 0600) == 0; }},
            {"socket", [&] { return makeSocket(path); }},
            {"device", [&] { return mknod(name.constData(), S_IFCHR | 0600, makedev(1, 5)) == 0; }},
            {"bind",
             [&] {
                 return TestFiles::writeFile(path, {})
                         && mount(QFile::encodeName(argument).constData(), name.constData(),
                                  nullptr, MS_BIND, nullptr) == 0;
             }},
    };
    return QDir().mkpath(QFileInfo(path).path()) && makers.value(parts[0])();
}

inline bool create(const QString &base, const QStringList &entries)
{
    return std::all_of(entries.begin(), entries.end(),
                       [&base](const QString &entry) { return create(base, entry); });
}

// Every entry under a folder without following links: a file's content up to its size
// (procfs files say 0), a link's target, "/" for a folder and "?" for anything else,
// which is never opened.
inline QMap<QString, QByteArray> snapshot(const QString &base)
{
    QMap<QString, QByteArray> entries;
    for (QDirIterator it(base, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        QFile file(entry.filePath());
        entries[QDir(base).relativeFilePath(entry.filePath())] = entry.isSymLink()
                ? "-> " + QFile::encodeName(entry.symLinkTarget())
                : entry.isDir()                                ? "/"
                : entry.isFile() && file.open(QIODevice::ReadOnly) ? file.read(entry.size())
                                                                   : "?";
    }
    return entries;
}

} // namespace DiskEntries

#endif // DISKENTRIES_H
