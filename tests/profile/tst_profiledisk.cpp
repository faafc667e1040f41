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
    void failedWriteKeepsTheTarget();
    void fileGrowingWhileRead();
    void iniCheck_data();
    void iniCheck();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QString Local = QStringLiteral("local/profile.ini");
const QString Disk = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini");
const QString Garbled = QStringLiteral("[105]\ndisplayModel=@Variant(\\0\\0\\0\\t\\x18\\x18\\x18\\x18)");

} // namespace

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
    const QString limit(ConfigFiles::SizeLimit, QLatin1Char(';'));
    QTest::newRow("import of 1 MiB") << QStringList{"file " + Disk + ' ' + limit} << true << a
                                     << true << QStringList{"local"};

    // Exports only where a wrong one would stay in the temporary folder.
    const QStringList refused[] = {
            {"file outside [1]\na=1", "link " + Disk + " ../../../outside"},
            {"fifo " + Disk},
            {"socket " + Disk},
            {"file elsewhere/VORN_KeyBoard_Config.ini a=1", "link root/a/V_ORN ../../elsewhere"},
            {"file elsewhere/V_ORN/VORN_KeyBoard_Config.ini a=1", "link root/a ../elsewhere"},
            {"link " + Disk + " /dev/zero"},
            {"file " + Disk + ' ' + limit + ';'},
            {"file " + Disk + ' ' + Garbled},
    };
    const char *names[] = {"a link to a file", "a FIFO", "a socket", "a V_ORN linking elsewhere",
                           "a disk folder linking elsewhere", "a link to a device",
                           "1 MiB and 1 byte", "a garbled profile"};
    for (int row = 0; row < 8; ++row) {
        QTest::addRow("import of %s", names[row])
                << refused[row] + QStringList{Local} << true << a << false << QStringList();
        if (row < 5) {
            QTest::addRow("export to %s", names[row])
                    << refused[row] + QStringList{Local} << false << a << false << QStringList();
        }
    }
    QTest::newRow("export of a FIFO") << QStringList{"root/a/", "fifo " + Local} << false << a
                                      << false << QStringList();
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

// A full disk: the earlier profile stays, and no temporary file is left behind.
void tst_ProfileDisk::failedWriteKeepsTheTarget()
{
    QVERIFY(DiskEntries::create(m_dir->path(), {Disk, "file " + Local + ' ' + QString(200000, QLatin1Char(';'))}));
    const QMap<QString, QByteArray> before = DiskEntries::snapshot(m_dir->path());
    const ProfileDisk transfer(m_dir->filePath(QStringLiteral("root/")), m_dir->filePath(Local));
    const TestFiles::FileSizeLimit limit(100000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: no profile copied"));
    QVERIFY(!transfer.exportTo(transfer.profileDirectory()));
    QCOMPARE(DiskEntries::snapshot(m_dir->path()), before);
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
    QTest::newRow("a value asking for 2^64 bytes") << Garbled.toUtf8() << QByteArray("[105]\n");
    QTest::newRow("Qt's other value forms")
            << QByteArray("a=@Rect(1 2 3 4)\nb=@Size(1 2)\nc=@Point(1 2)\nd=@DateTime(\\0)\n"
                          "e=@String(x)\nf=@Invalid()\ng=@Variant()\nh=1")
            << QByteArray("\n\n\n\n\n\n\nh=1");
    QTest::newRow("a form in a list, escaped, quoted or after spaces")
            << QByteArray("a=x, @Size(1 2)\nb=\\x40Size(1 2)\nc=\\100Size(1 2)\nd=\\x10040Size(1 2)\n"
                          "e=\"@Si\"ze(1 2)\nf= \t@Size(1 2) \t")
            << QByteArray("\n\n\n\n\n");
    QTest::newRow("a line continued by an escaped line break or a quote")
            << QByteArray("a=\\\n@Size(1 2)\nb=x\"\nk=\",@Size(1 2)\nc=1") << QByteArray("\n\nc=1");
    QTest::newRow("a form in a comment") << QByteArray("a=1;@Size(1 2)\n; c=@Size(1 2)")
                                         << QByteArray("a=1;@Size(1 2)\n; c=@Size(1 2)");
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
