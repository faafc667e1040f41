#include "configfiles.h"
#include "diskentries.h"
#include "processorhost.h"

#include <QtTest/QtTest>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace TestFiles;

// The processor's profile transfer reaches the real "/media/root/". The test runs again in
// a private mount namespace with a tmpfs over /media, so the host's /media is never
// touched. What a disk may hold is tested on plain folders in tst_profiledisk too; here
// through the processor, with devices and mounts besides.
class tst_ProfileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void transfer_data();
    void transfer();
    void fullDisk_data();
    void fullDisk();
};

namespace {

const char Rerun[] = "VORN_TEST_RERUN_UNDER_UNSHARE";
const QString Media = QStringLiteral("/media");
const QString Profile = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini"); // under /media

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

void tst_ProfileTransfer::transfer_data()
{
    QTest::addColumn<QStringList>("disk"); // under /media, see DiskEntries::create
    QTest::addColumn<int>("imported");
    QTest::addColumn<int>("exported"); // after the import

    QTest::newRow("no disk") << QStringList() << -1 << -1;
    QTest::newRow("the first disk by name")
            << QStringList{"root/B/", "file " + Profile + " [105]\nisModify=false"} << 1 << 1;
    for (const DiskEntries::Refused &row : DiskEntries::refusedProfiles())
        QTest::newRow(row.name) << row.entries << -2 << (row.refusesExport ? -2 : 1);
    // Devices made here, so that a wrong export cannot reach the machine's own.
    QTest::newRow("a link to a device")
            << QStringList{"device zero", "link " + Profile + " /media/zero"} << -2 << -2;
    QTest::newRow("a device") << QStringList{"device " + Profile} << -2 << -2;
    QTest::newRow("a growing file mounted")
            << QStringList{"bind " + Profile + " /proc/self/pagemap"} << -2 << -2;
}

// An import replaces the local profile by the disk's and reloads the key remap, an export
// the disk's by the local one. What is refused leaves the disk, the local profile and the
// key remap as they were.
void tst_ProfileTransfer::transfer()
{
    QFETCH(QStringList, disk);
    QFETCH(int, imported);
    QFETCH(int, exported);

    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    host.model.keyMap = {{1, 2}};
    const QByteArray local = "[105]\nisModify=true\n";
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), local));
    QVERIFY(DiskEntries::create(Media, disk));
    QMap<QString, QByteArray> expected = DiskEntries::snapshot(Media);
    const QRegularExpression refused("^DealKeyPress: (no profile copied|cannot write)");

    if (imported == -2)
        QTest::ignoreMessage(QtWarningMsg, refused);
    QCOMPARE(processor->importProfile(), imported);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), imported == 1 ? expected.value(Profile) : local);
    QCOMPARE(host.model.keyMap.isEmpty(), imported == 1);
    QCOMPARE(DiskEntries::snapshot(Media), expected);
    if (exported == -2)
        QTest::ignoreMessage(QtWarningMsg, refused);
    QCOMPARE(processor->exportProfile(), exported);
    if (exported == 1)
        expected[Profile] = readFile(ConfigFiles::oledConfigPath());
    QCOMPARE(DiskEntries::snapshot(Media), expected);
}

void tst_ProfileTransfer::fullDisk_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("freePages"); // -1: the disk is read-only
    for (const char *operation : {"export", "import", "save"}) {
        for (int pages = -1; pages <= 4; ++pages) {
            const QByteArray state = pages < 0 ? "read-only" : QByteArray::number(pages) + " free pages";
            QTest::addRow("%s, %s", operation, state.constData()) << operation << pages;
        }
    }
}

// The file written lies on a small tmpfs that has `freePages` pages left: a copy that does
// not fit leaves the earlier file as it was, with a warning, and a transfer returns -2.
void tst_ProfileTransfer::fullDisk()
{
    QFETCH(QString, operation);
    QFETCH(int, freePages);

    ProcessorHost host;
    const QString local = QFileInfo(ConfigFiles::oledConfigPath()).path();
    QVERIFY(QDir().mkpath(local) && QDir().mkpath(Media + "/root/a/V_ORN"));
    QCOMPARE(mount("tmpfs", QFile::encodeName(local).constData(), "tmpfs", 0, "size=64k"), 0);
    QCOMPARE(mount("tmpfs", "/media/root/a/V_ORN", "tmpfs", 0, "size=64k"), 0);
    const QByteArray padding(9000, ';');
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "[105]\nisModify=true\n" + padding)
            && writeFile(Media + '/' + Profile, "[105]\nisModify=false\n" + padding)
            && writeFile(ConfigFiles::keyboardConfigPath(), "[KeyMap]\n105=203\n" + padding));
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    const QString target = operation == QLatin1String("export") ? Media + '/' + Profile
            : operation == QLatin1String("import")              ? ConfigFiles::oledConfigPath()
                                                                : ConfigFiles::keyboardConfigPath();
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());
    struct statvfs disk;
    QVERIFY(statvfs(folder.constData(), &disk) == 0);
    QVERIFY(writeFile(QFileInfo(target).path() + "/filler",
                      QByteArray(int(disk.f_bavail - qMax(freePages, 0)) * int(disk.f_bsize), 'x')));
    if (freePages < 0)
        QCOMPARE(mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const QByteArray old = readFile(target);
    const QByteArray copied = operation == QLatin1String("export") ? readFile(ConfigFiles::oledConfigPath())
            : operation == QLatin1String("import")                 ? readFile(Media + '/' + Profile)
                                                                   : "[KeyMap]\n105=203\n313=403\n" + padding;
    const bool fits = freePages * 4096 >= copied.size();
    if (!fits)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: cannot write " + target));
    const int result = operation == QLatin1String("export") ? processor->exportProfile()
            : operation == QLatin1String("import")          ? processor->importProfile()
                                                            : (processor->addModifyValue(313, 403), 1);
    QCOMPARE(readFile(target), fits ? copied : old);
    QVERIFY(operation == QLatin1String("save") || result == (fits ? 1 : -2));
    QVERIFY(QDir(QFileInfo(target).path()).entryList({"*.vorn-*"}).isEmpty());
    host.processor.reset();
    QVERIFY(umount2(QFile::encodeName(local).constData(), MNT_DETACH) == 0);
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
