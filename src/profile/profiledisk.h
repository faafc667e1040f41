#ifndef PROFILEDISK_H
#define PROFILEDISK_H

#include <QtCore/QString>

class DirectoryHandle;

// The keyboard profile between a local file and a removable disk: the disks are the
// directories under a mount root, the first by name (case ignored) is used, and the
// profile lives in its "V_ORN" directory as "VORN_KeyBoard_Config.ini".
//
// A disk may hold anything, so only a regular file of at most ConfigFiles::SizeLimit bytes
// travels, read through the descriptor that was checked; the disk's folder and its
// "V_ORN" must be real directories, reached without following links; an imported profile
// must be a configuration file whose every line the library reads (IniDocument). The
// target is replaced through DurableFile. Anything else is a failed copy, with one warning
// saying why.
class ProfileDisk
{
public:
    ProfileDisk(const QString &root, const QString &localProfile);

    // "<disk>/V_ORN" of the first disk directory, with the disk's absolute path; empty
    // when the root is missing or holds no disk directory.
    QString profileDirectory() const;

    // Copy the profile one way, creating the profile directory and the local file's folder
    // when missing. False when no complete copy is in place; the target then keeps what it
    // held, unless its folder could not be synced after the rename.
    bool exportTo(const QString &profileDirectory) const;
    bool importFrom(const QString &profileDirectory) const;

private:
    DirectoryHandle openProfileFolder(const QString &profileDirectory) const;

    QString m_root;
    QString m_localProfile;
};

#endif // PROFILEDISK_H
