#include "configfiles.h"
#include "profiledisk.h"
#include "uiprocdealkeypress_vorn_desktop.h"

namespace {

const QString UdiskRoot = QStringLiteral("/media/root/");
const int NoDisk = -1;
const int CopyFailed = -2;

ProfileDisk profileDisk()
{
    return ProfileDisk(UdiskRoot, ConfigFiles::oledConfigPath());
}

} // namespace

bool UiprocDealKeyPress_Vorn_Desktop::scanUdisk()
{
    m_udiskState = -1;
    const QString profileDirectory = profileDisk().profileDirectory();
    if (profileDirectory.isEmpty())
        return false;
    m_udiskDir.setPath(profileDirectory);
    m_udiskState = 1;
    return true;
}

int UiprocDealKeyPress_Vorn_Desktop::exportProfile()
{
    if (!scanUdisk())
        return NoDisk;
    return profileDisk().exportTo(m_udiskDir.path()) ? m_udiskState : CopyFailed;
}

// The import reloads the key remap into the model, so it needs the model handed over.
int UiprocDealKeyPress_Vorn_Desktop::importProfile()
{
    if (!hostHas(HostModel) || !scanUdisk())
        return NoDisk;
    if (!profileDisk().importFrom(m_udiskDir.path()))
        return CopyFailed;
    initVirtualKeyBoard();
    return m_udiskState;
}
