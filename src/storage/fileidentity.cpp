#include "fileidentity.h"

FileIdentity FileIdentity::of(const QByteArray &encodedPath)
{
    FileIdentity identity;
    struct stat status;
    if (::stat(encodedPath.constData(), &status) != 0)
        return identity;
    identity.m_exists = true;
    identity.m_device = status.st_dev;
    identity.m_inode = status.st_ino;
    identity.m_size = status.st_size;
    identity.m_modified = status.st_mtim;
    return identity;
}

bool FileIdentity::operator==(const FileIdentity &other) const
{
    if (m_exists != other.m_exists)
        return false;
    return !m_exists
            || (m_device == other.m_device && m_inode == other.m_inode && m_size == other.m_size
                && m_modified.tv_sec == other.m_modified.tv_sec
                && m_modified.tv_nsec == other.m_modified.tv_nsec);
}
