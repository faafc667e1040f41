#ifndef TESTFILES_H
#define TESTFILES_H

#include <QtCore/QDir>
#include <QtCore/QDirIterator>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>

// File helpers for the tests of the configuration and profile files.
namespace TestFiles {

// Writes a file, creating its folder.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
            && file.write(content) == content.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Creates a layout under a folder: names ending in "/" are folders, the others files
// holding their own name.
inline bool createLayout(const QString &base, const QStringList &layout)
{
    return std::all_of(layout.begin(), layout.end(), [&base](const QString &entry) {
        const QString path = base + QLatin1Char('/') + entry;
        return entry.endsWith(QLatin1Char('/')) ? QDir().mkpath(path)
                                                : writeFile(path, entry.toUtf8());
    });
}

// Everything below a folder, sorted, relative to it, folders with a trailing "/".
inline QStringList entriesUnder(const QString &base)
{
    QStringList entries;
    for (QDirIterator it(base, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        entries << QDir(base).relativeFilePath(entry.filePath()) + (entry.isDir() ? "/" : "");
    }
    entries.sort();
    return entries;
}

// While it lives, files may not grow past `bytes`: larger writes fail as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        const rlimit lowered{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved;
};

} // namespace TestFiles

#endif // TESTFILES_H
