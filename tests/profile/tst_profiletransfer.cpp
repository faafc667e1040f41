#include "configfiles.h"
#include "processorhost.h"
#include "testfiles.h"

#include <QtTest/QtTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace TestFiles;

// The processor's profile transfer reaches the real "/media/root/". The test runs again in
// a private mount namespace with a tmpfs over /media, so the host's /media is never
// touched. The transfer's cases are tested on plain folders in tst_profiledisk.
class tst_ProfileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void realDiskRoot();
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
    QCOMPARE(mount("tmpfs", "/media", "tmpfs", 0, "size=1m"), 0);
}

// No disk, an export to the first disk by name, an import back that reloads the remap.
void tst_ProfileTransfer::realDiskRoot()
{
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    host.model.keyMap = {{1, 2}};
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "local profile"));
    QCOMPARE(processor->scanUdisk(), false);
    QCOMPARE(processor->exportProfile(), -1);

    QVERIFY(createLayout(Media, {"root/B/", "root/a/"}));
    QCOMPARE(processor->exportProfile(), 1);
    QCOMPARE(readFile(DiskProfile), QByteArray("local profile"));

    QVERIFY(writeFile(DiskProfile, "disk profile"));
    QCOMPARE(processor->importProfile(), 1);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), QByteArray("disk profile"));
    QVERIFY(host.model.keyMap.isEmpty());
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
