#ifndef DISKENTRIES_H
#define DISKENTRIES_H

#include "configfiles.h"
#include "testfiles.h"

#include <QtCore/QDirIterator>
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

// Bound from its folder: a socket's path holds at most 107 bytes.
inline bool makeSocket(const QString &path)
{
    const QString current = QDir::currentPath();
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, qPrintable(QFileInfo(path).fileName()), sizeof address.sun_path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = QDir::setCurrent(QFileInfo(path).path())
            && bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    return close(fd) == 0 && QDir::setCurrent(current) && bound;
}

// Creates under a folder "NAME/" a folder, "NAME" a file holding its name, and for "KIND
// NAME ARGUMENT" a file holding the argument, a link to it, a fifo, a socket, a device
// (a /dev/zero node; root) or a bind mount of it over an empty file (root, own namespace).
inline bool create(const QString &base, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QStringList parts = entry.contains(QLatin1Char(' '))
                ? entry.split(QLatin1Char(' '))
                : QStringList{entry.endsWith(QLatin1Char('/')) ? "folder" : "file", entry, entry};
        const QString path = base + QLatin1Char('/') + parts[1];
        const QByteArray name = QFile::encodeName(path);
        const QString argument = parts.mid(2).join(QLatin1Char(' '));
        const QHash<QString, std::function<bool()>> makers{
                {"folder", [&] { return QDir().mkpath(path); }},
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
        if (!QDir().mkpath(QFileInfo(path).path()) || !makers.value(parts[0])())
            return false;
    }
    return true;
}

// What a disk holds at "root/a/V_ORN/VORN_KeyBoard_Config.ini" that an import refuses.
struct Refused
{
    const char *name;
    QStringList entries;
    bool refusesExport;
};

inline QVector<Refused> refusedProfiles()
{
    const QString profile = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini");
    return {{"a link to a file", {"file f [1]\na=1", "link " + profile + " ../../../f"}, true},
            {"a FIFO", {"fifo " + profile}, true},
            {"a socket", {"socket " + profile}, true},
            {"a V_ORN linking elsewhere", {"file f/x a=1", "link root/a/V_ORN ../../f"}, true},
            {"a disk folder linking elsewhere",
             {"file V_ORN/VORN_KeyBoard_Config.ini a=1", "link root/a .."}, true},
            {"the size limit and 1 byte",
             {"file " + profile + ' ' + QString(ConfigFiles::SizeLimit + 1, QLatin1Char(';'))}, false},
            {"a garbled profile",
             {"file " + profile + " [105]\ndisplayModel=@Variant(\\0\\0\\0\\t\\x18\\x18\\x18\\x18)"},
             false}};
}

// Every entry under a folder, links not followed: a file's content up to its size (procfs
// says 0), a link's target, "/" for a folder, "?" for anything else (never opened).
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
                : entry.isDir()                                    ? "/"
                : entry.isFile() && file.open(QIODevice::ReadOnly) ? file.read(entry.size())
                                                                   : "?";
    }
    return entries;
}

} // namespace DiskEntries

#endif // DISKENTRIES_H
