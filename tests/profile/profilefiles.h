#ifndef PROFILEFILES_H
#define PROFILEFILES_H

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QStringList>

// File helpers for the profile transfer tests.
namespace ProfileFiles {

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

// Creates the entries of a layout under a folder: names ending in "/" are folders, the
// others files holding their own name.
inline bool createLayout(const QString &base, const QStringList &layout)
{
    for (const QString &entry : layout) {
        const QString path = base + QLatin1Char('/') + entry;
        if (!(entry.endsWith(QLatin1Char('/')) ? QDir().mkpath(path)
                                               : writeFile(path, entry.toUtf8())))
            return false;
    }
    return true;
}

// Everything below a folder, sorted, relative to it, folders with a trailing "/".
inline QStringList entriesUnder(const QString &base)
{
    QStringList entries;
    QDirIterator it(base, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries.append(QDir(base).relativeFilePath(it.filePath())
                       + (it.fileInfo().isDir() ? QStringLiteral("/") : QString()));
    }
    entries.sort();
    return entries;
}

} // namespace ProfileFiles

#endif // PROFILEFILES_H
