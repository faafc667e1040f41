#include "configfiles.h"
#include "profiledisk.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QFileInfo>

namespace {

const QString UdiskRoot = QStringLiteral("/media/root/");

// Creates the profile directory on the disk and the target's folder if needed (an
// import on a fresh install has no local configuration folder yet), then copies one
// way; a folder that cannot be created shows as a failed copy.
bool transfer(const QDir &profileDir, const QString &source, const QString &target)
{
    QDir().mkpath(profileDir.absolutePath());
    QDir().mkpath(QFileInfo(target).absolutePath());
    return ProfileDisk::replaceWithCopy(source, target);
}

} // namespace

bool UiprocDealKeyPress_Vorn_Desktop::scanUdisk()
{
    m_udiskState = -1;
    const QString profileDir = ProfileDisk(UdiskRoot).profileDirectory();
    if (profileDir.isEmpty())
        return false;
    m_udiskDir.setPath(profileDir);
    m_udiskState = 1;
    return true;
}

int UiprocDealKeyPress_Vorn_Desktop::exportProfile()
{
    if (!scanUdisk())
        return -1;
    if (!transfer(m_udiskDir, ConfigFiles::oledConfigPath(),
                  m_udiskDir.filePath(ProfileDisk::ProfileFileName)))
        return -2;
    return m_udiskState;
}

int UiprocDealKeyPress_Vorn_Desktop::importProfile()
{
    if (!scanUdisk())
        return -1;
    if (!transfer(m_udiskDir, m_udiskDir.filePath(ProfileDisk::ProfileFileName),
                  ConfigFiles::oledConfigPath()))
        return -2;
    initVirtualKeyBoard();
    return m_udiskState;
}
