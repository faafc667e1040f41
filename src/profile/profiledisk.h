#ifndef PROFILEDISK_H
#define PROFILEDISK_H

#include <QtCore/QString>

// The keyboard profile between a local file and a removable disk: the disks are the
// directories under a mount root, the first by name (case ignored) is used, and the
// profile lives in its "V_ORN" directory as "VORN_KeyBoard_Config.ini".
class ProfileDisk
{
public:
    ProfileDisk(const QString &root, const QString &localProfile);

    // "<disk>/V_ORN" of the first disk directory, with the disk's absolute path; empty
    // when the root is missing or holds no disk directory.
    QString profileDirectory() const;

    // Copy the profile one way, creating the profile directory and the target's folder
    // when missing. False when the copy failed; the target then keeps what it held.
    bool exportTo(const QString &profileDirectory) const;
    bool importFrom(const QString &profileDirectory) const;

    // Replaces the target by a complete copy of the source: the copy is written under a
    // temporary name beside the target and renamed over it, so a failed copy (missing
    // source, unwritable target, full disk) leaves the target as it was.
    static bool replaceWithCopy(const QString &source, const QString &target);

private:
    QString m_root;
    QString m_localProfile;
};

#endif // PROFILEDISK_H
