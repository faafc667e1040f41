#include "configfiles.h"
#include "diskentries.h"
#include "processorhost.h"

#include <QtTest/QtTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace TestFiles;

// The processor's profile transfer reaches the real "/media/root/". The test runs again in
// a private mount namespace with a tmpfs over /media, so the host's /media is never
// touched. The transfer's cases are tested on plain folders in tst_profiledisk; here
// what a real disk may hold besides: devices and mounts.
class tst_ProfileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void realDiskRoot();
    void refusedDisk_data();
    void refusedDisk();
};

namespace {

const char Rerun[] = "VORN_TEST_RERUN_UNDER_UNSHARE";
const QString Media = QStringLiteral("/media");
const QString DiskProfile = QStringLiteral("/media/root/a/V_ORN/VORN_KeyBoard_Config.ini");

// "mnt:[inode]" of a process.
QString mountNamespace(pid_t pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/ns/mnt").arg(pid))).fileName();
}

} // namespace

void tst_ProfileTransfer::initTestCase()
{
    // Only the run started by unshare, in a namespace other than its parent's, may mount.
    const QString own = mountNamespace(getpid());
    if (!qEnvironmentVariableIsSet(Rerun) || own.isEmpty() || own == mountNamespace(getppid()))
        QSKIP("no private mount namespace (unshare --mount needs root); /media is left alone");
    if (!QFileInfo(Media).isDir())
        QSKIP("there is no /media to mount over");
}

// A fresh tmpfs over /media for each test, over the earlier ones.
void tst_ProfileTransfer::init()
{
    QCOMPARE(mount("tmpfs", "/media", "tmpfs", 0, "size=4m"), 0);
}

// No disk, an export to the first disk by name, an import back that reloads the remap.
void tst_ProfileTransfer::realDiskRoot()
{
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    host.model.keyMap = {{1, 2}};
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "[105]\nisModify=true\n"));
    QCOMPARE(processor->scanUdisk(), false);
    QCOMPARE(processor->exportProfile(), -1);

    QVERIFY(createLayout(Media, {"root/B/", "root/a/"}));
    QCOMPARE(processor->exportProfile(), 1);
    QCOMPARE(readFile(DiskProfile), QByteArray("[105]\nisModify=true\n"));

    QVERIFY(writeFile(DiskProfile, "[105]\nisModify=false\n"));
    QCOMPARE(processor->importProfile(), 1);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), QByteArray("[105]\nisModify=false\n"));
    QVERIFY(host.model.keyMap.isEmpty());
}

void tst_ProfileTransfer::refusedDisk_data()
{
    QTest::addColumn<QStringList>("disk"); // under /media, see DiskEntries::create
    QTest::addColumn<int>("exported"); // after the refused import

    const QString profile = DiskProfile.mid(Media.size() + 1);
    QTest::newRow("FIFO") << QStringList{"fifo " + profile} << -2;
    QTest::newRow("socket") << QStringList{"socket " + profile} << -2;
    QTest::newRow("link to a file") << QStringList{"file f [1]\na=1", "link " + profile + " /media/f"} << -2;
    QTest::newRow("V_ORN links") << QStringList{"file f/x a=1", "link root/a/V_ORN /media/f"} << -2;
    QTest::newRow("disk folder links") << QStringList{"file V_ORN/x a=1", "link root/a /media"} << -2;
    // Devices made here, so that a wrong export cannot reach the machine's own.
    QTest::newRow("link to a device") << QStringList{"device zero", "link " + profile + " /media/zero"} << -2;
    QTest::newRow("device") << QStringList{"device " + profile} << -2;
    QTest::newRow("device mounted") << QStringList{"device zero", "bind " + profile + " /media/zero"} << -2;
    QTest::newRow("growing file mounted") << QStringList{"bind " + profile + " /proc/self/pagemap"} << -2;
    QTest::newRow("1 MiB and 1 byte") << QStringList{"file " + profile + ' ' + QString(ConfigFiles::SizeLimit + 1, QLatin1Char(';'))} << 1;
    QTest::newRow("garbled profile") << QStringList{"file " + profile + " [1]\na=@Variant(\\0\\0\\0\\t\\x18\\x18\\x18\\x18)"} << 1;
}

// A refused import leaves the disk, the local profile and the key remap as they were; an
// export onto what is no regular file leaves the disk as it was.
void tst_ProfileTransfer::refusedDisk()
{
    QFETCH(QStringList, disk);
    QFETCH(int, exported);

    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    host.model.keyMap = {{1, 2}};
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "[105]\nisModify=true\n"));
    QVERIFY(DiskEntries::create(Media, disk));
    const QMap<QString, QByteArray> before = DiskEntries::snapshot(Media);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: no profile copied"));
    QCOMPARE(processor->importProfile(), -2);
    QCOMPARE(DiskEntries::snapshot(Media), before);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), QByteArray("[105]\nisModify=true\n"));
    QCOMPARE(host.model.keyMap, (QMap<int, int>{{1, 2}}));
    if (exported < 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: no profile copied"));
    QCOMPARE(processor->exportProfile(), exported);
    if (exported < 0)
        QCOMPARE(DiskEntries::snapshot(Media), before);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet(Rerun)
        && QProcess::execute(QStringLiteral("unshare"), {"--mount", "true"}) == 0) {
        qputenv(Rerun, "1");
        return QProcess::execute(QStringLiteral("unshare"),
                                 QStringList{"--mount", "--"} + app.arguments());
    }
    tst_ProfileTransfer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profiletransfer.moc"
