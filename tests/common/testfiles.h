#ifndef TESTFILES_H
#define TESTFILES_H

#include <QtCore/QDir>

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

} // namespace TestFiles

#endif // TESTFILES_H
