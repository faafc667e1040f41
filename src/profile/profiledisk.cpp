#include "profiledisk.h"

#include "configfiles.h"
#include "directoryhandle.h"
#include "durablefile.h"
#include "inidocument.h"
#include "logging.h"
#include "regularfile.h"

#include <QtCore/QDir>

#include <fcntl.h>

namespace {

const QString ProfileFolder = QStringLiteral("V_ORN");
const QByteArray ProfileFileName = QByteArrayLiteral("VORN_KeyBoard_Config.ini");

bool refuse(const QString &path, const QString &what)
{
    qCWarning(lcKeyboard).noquote() << "DealKeyPress: no profile copied:" << path << "is" << what;
    return false;
}

QString diskProfile(const QString &profileDirectory)
{
    return QDir(profileDirectory).filePath(QFile::decodeName(ProfileFileName));
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
            return QStringLiteral("%1/%2").arg(diskPath, ProfileFolder);
    }
    return QString();
}

// "<disk>/V_ORN" right under the root, each a real directory; "V_ORN" is created when
// missing. Closed when the path is anything else.
DirectoryHandle ProfileDisk::openProfileFolder(const QString &profileDirectory) const
{
    const QStringList steps = QDir(m_root).relativeFilePath(profileDirectory).split(QLatin1Char('/'));
    if (steps.size() != 2 || steps[1] != ProfileFolder)
        return DirectoryHandle();
    const DirectoryHandle disk(DirectoryHandle(m_root), QFile::encodeName(steps[0]),
                               DirectoryHandle::RefuseMissing);
    return DirectoryHandle(disk, QFile::encodeName(ProfileFolder), DirectoryHandle::CreateMissing);
}

bool ProfileDisk::exportTo(const QString &profileDirectory) const
{
    const RegularFile local = RegularFile::read(AT_FDCWD, QFile::encodeName(m_localProfile),
                                                ConfigFiles::SizeLimit, RegularFile::FollowLinks);
    if (!local.isRead())
        return refuse(m_localProfile, QLatin1String(local.reason()));
    const DirectoryHandle folder = openProfileFolder(profileDirectory);
    if (!folder.isOpen())
        return refuse(profileDirectory, QStringLiteral("no folder of a disk"));
    if (!folder.holdsFileOrNothing(ProfileFileName))
        return refuse(diskProfile(profileDirectory), QStringLiteral("not a regular file"));
    return DurableFile(folder, ProfileFileName, diskProfile(profileDirectory)).replace(local.content());
}

bool ProfileDisk::importFrom(const QString &profileDirectory) const
{
    const DirectoryHandle folder = openProfileFolder(profileDirectory);
    if (!folder.isOpen())
        return refuse(profileDirectory, QStringLiteral("no folder of a disk"));
    const RegularFile profile = RegularFile::read(folder.descriptor(), ProfileFileName,
                                                  ConfigFiles::SizeLimit, RegularFile::RefuseLinks);
    if (!profile.isRead())
        return refuse(diskProfile(profileDirectory), QLatin1String(profile.reason()));
    const QVector<int> unread = IniDocument(profile.content()).unreadLines();
    if (!unread.isEmpty()) {
        return refuse(diskProfile(profileDirectory),
                      QStringLiteral("a file with a line the library does not read, at line %1")
                              .arg(unread.first()));
    }
    return DurableFile(m_localProfile).replace(profile.content());
}
