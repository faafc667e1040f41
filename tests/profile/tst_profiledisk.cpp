#include "configfiles.h"
#include "diskentries.h"
#include "inicheck.h"
#include "profiledisk.h"
#include "regularfile.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <fcntl.h>

// The profile transfer on a disk root and a local profile in a temporary folder: the disk
// choice, both directions, what a disk may hold in place of a profile or its folders, and
// the check of what an import brings.
class tst_ProfileDisk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void transfer_data();
    void transfer();
    void fileGrowingWhileRead();
    void iniCheck_data();
    void iniCheck();

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
    QTest::newRow("import of 1 MiB")
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

void tst_ProfileDisk::iniCheck_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("readable");

    const QByteArray written = "[105]\nisModify=true\noled1stText=\"@ByteArray(a,b \\xc3\\xa9\\\"x)\"\n"
                               "oled2ndText=@ByteArray(\\0\\x1\\xff@(),;=\\0\\x31)\n[Modify]\n"
                               "btnKey=\";105\"\n[x]\nempty=\nlist=a, b\nstr=\"@@x, y\"\nuni=\\x4e2d\n";
    QTest::newRow("what QSettings writes for texts and byte arrays") << written << written;
    QTest::newRow("Qt's value forms, in a list, escaped, quoted or after blanks")
            << QByteArray("a=@Rect(1 2 3 4)\nb=@Point(1 2)\nc=@DateTime(\\0)\nd=@String(x)\ne=@Invalid()\n"
                          "f=x, @Size(1 2)\ng=\\x40Size(1 2)\nh=\\100Size(1 2)\ni=\\x10040Size(1 2)\n"
                          "j=\"@Si\"ze(1 2)\nk= \t@Size(1 2)\nl=1")
            << QByteArray(11, '\n') + "l=1";
    QTest::newRow("a line continued by an escaped line break or a quote")
            << QByteArray("a=\\\n@Size(1 2)\nb=x\"\nk=\",@Size(1 2)\nc=1") << QByteArray("\n\nc=1");
    QTest::newRow("no key, and a section left open with its keys")
            << QByteArray("\xef\xbb\xbfjunk\n[open\na=1\n[shut]\nb=1")
            << QByteArray("\xef\xbb\xbf\n\n\n[shut]\nb=1");
}

// What the check drops, QSettings would read as another type or not as a key at all.
void tst_ProfileDisk::iniCheck()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, readable);

    const IniCheck check(content);
    QCOMPARE(check.readable(), readable);
    QCOMPARE(check.isClean(), readable == content);
}

QTEST_GUILESS_MAIN(tst_ProfileDisk)
#include "tst_profiledisk.moc"
