#include "profiledisk.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSaveFile>

namespace {

const QString ProfileFileName = QStringLiteral("VORN_KeyBoard_Config.ini");

// A folder that cannot be created shows as a failed copy.
bool copyWithFolders(const QString &profileDirectory, const QString &source, const QString &target)
{
    QDir().mkpath(profileDirectory);
    QDir().mkpath(QFileInfo(target).absolutePath());
    return ProfileDisk::replaceWithCopy(source, target);
}

} // namespace

ProfileDisk::ProfileDisk(const QString &root, const QString &localProfile)
    : m_root(root), m_localProfile(localProfile)
{ }

QString ProfileDisk::profileDirectory() const
{
    const QDir root(m_root);
    if (!root.exists())
        return QString();
    // "." and ".." clean to the root itself and its parent, so the containment test
    // passes them over.
    const QString rootPath = QDir::cleanPath(root.absolutePath()) + QLatin1Char('/');
    const QFileInfoList disks = root.entryInfoList(QDir::Dirs, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &disk : disks) {
        const QString diskPath = QDir::cleanPath(disk.absoluteFilePath());
        if (diskPath.contains(rootPath))
            return QStringLiteral("%1/V_ORN").arg(diskPath);
    }
    return QString();
}

bool ProfileDisk::exportTo(const QString &profileDirectory) const
{
    return copyWithFolders(profileDirectory, m_localProfile,
                           QDir(profileDirectory).filePath(ProfileFileName));
}

bool ProfileDisk::importFrom(const QString &profileDirectory) const
{
    return copyWithFolders(profileDirectory, QDir(profileDirectory).filePath(ProfileFileName),
                           m_localProfile);
}

bool ProfileDisk::replaceWithCopy(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[64 * 1024];
    qint64 length;
    while ((length = in.read(buffer, sizeof buffer)) > 0) {
        // Without commit() the temporary file is discarded.
        if (out.write(buffer, length) != length)
            return false;
    }
    return length == 0 && out.commit();
}
