#include "configfiles.h"
#include "diskentries.h"
#include "profiledisk.h"
#include "regularfile.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <fcntl.h>

// The profile transfer on a disk root and a local profile in a temporary folder: the disk
// choice, both directions, what a disk may hold in place of a profile or its folders. What
// the check of an imported profile reads is shown by the golden trace storage-lines.
class tst_ProfileDisk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void transfer_data();
    void transfer();
    void fileGrowingWhileRead();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

const QString Local = QStringLiteral("local/profile.ini");
const QString Disk = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini");

void tst_ProfileDisk::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
}

void tst_ProfileDisk::transfer_data()
{
    QTest::addColumn<QStringList>("layout"); // see DiskEntries::create
    QTest::addColumn<bool>("importing");
    QTest::addColumn<QString>("profileDirectory"); // empty: no disk
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QStringList>("createdFolders");

    const QString a = QStringLiteral("root/a/V_ORN");
    QTest::newRow("no root folder") << QStringList{Local} << false << "" << false << QStringList();
    QTest::newRow("empty root") << QStringList{"root/", Local} << false << "" << false
                                << QStringList();
    QTest::newRow("hidden folders and files are no disks; a before B, case ignored")
            << QStringList{"root/.0/", "root/0.txt", "root/B/", "root/a/", Local} << false << a
            << true << QStringList{a};
    QTest::newRow("export over an earlier profile") << QStringList{Disk, Local} << false << a << true
                                                    << QStringList();
    QTest::newRow("import from a disk without a profile")
            << QStringList{"root/a/", Local} << true << a << false << QStringList{a};
    QTest::newRow("import on a fresh install")
            << QStringList{"file " + Disk + " [105]\nisModify=true"} << true << a << true
            << QStringList{"local"};
    // A comment line that long is a readable profile.
    QTest::newRow("import at the size limit")
            << QStringList{"file " + Disk + ' ' + QString(ConfigFiles::SizeLimit, QLatin1Char(';'))}
            << true << a << true << QStringList{"local"};
    QTest::newRow("import of a link to a device") << QStringList{"link " + Disk + " /dev/zero", Local}
                                                  << true << a << false << QStringList();
    for (const DiskEntries::Refused &row : DiskEntries::refusedProfiles()) {
        QTest::addRow("import of %s", row.name) << row.entries + QStringList{Local} << true << a
                                                << false << QStringList();
        if (row.refusesExport) {
            QTest::addRow("export to %s", row.name) << row.entries + QStringList{Local} << false
                                                    << a << false << QStringList();
        }
    }
}

// The target becomes a copy of the source only on success, and nothing else changes.
void tst_ProfileDisk::transfer()
{
    QFETCH(QStringList, layout);
    QFETCH(bool, importing);
    QFETCH(QString, profileDirectory);
    QFETCH(bool, copied);
    QFETCH(QStringList, createdFolders);

    QVERIFY(DiskEntries::create(m_dir->path(), layout));
    QMap<QString, QByteArray> expected = DiskEntries::snapshot(m_dir->path());
    for (const QString &folder : createdFolders)
        expected[folder] = "/";
    if (copied)
        expected[importing ? Local : Disk] = expected.value(importing ? Disk : Local);

    const ProfileDisk transfer(m_dir->filePath(QStringLiteral("root/")), m_dir->filePath(Local));
    const QString directory = transfer.profileDirectory();
    QCOMPARE(directory, profileDirectory.isEmpty() ? QString() : m_dir->filePath(profileDirectory));
    if (!directory.isEmpty()) {
        if (!copied)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: no profile copied"));
        QCOMPARE(importing ? transfer.importFrom(directory) : transfer.exportTo(directory), copied);
    }
    QCOMPARE(DiskEntries::snapshot(m_dir->path()), expected);
}

// procfs says the file is empty and reads without end: a file that grows while read.
void tst_ProfileDisk::fileGrowingWhileRead()
{
    QCOMPARE(RegularFile::read(AT_FDCWD, "/proc/self/pagemap", ConfigFiles::SizeLimit,
                               RegularFile::RefuseLinks)
                     .refusal(),
             RegularFile::TooLarge);
}

QTEST_GUILESS_MAIN(tst_ProfileDisk)
#include "tst_profiledisk.moc"
