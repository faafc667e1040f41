#ifndef PROFILEDISK_H
#define PROFILEDISK_H

#include <QtCore/QString>

// The keyboard profile on a removable disk: the disks are the directories under a
// mount root, the first by name (case ignored) is used, and the profile lives in its
// "V_ORN" directory.
class ProfileDisk
{
public:
    explicit ProfileDisk(const QString &root);

    // "<disk>/V_ORN" of the first disk directory, with the disk's absolute path; empty
    // when the root is missing or holds no disk directory.
    QString profileDirectory() const;

    static const QString ProfileFileName;

    // Replaces the target by a complete copy of the source: the copy is written under a
    // temporary name beside the target and renamed over it, so a failed copy (missing
    // source, unwritable target, full disk) leaves the target as it was.
    static bool replaceWithCopy(const QString &source, const QString &target);

private:
    QString m_root;
};

#endif // PROFILEDISK_H
