#include "configfiles.h"
#include "processorhost.h"
#include "testfiles.h"

#include <QtTest/QtTest>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using namespace TestFiles;

// Profile transfer through the processor against the real "/media/root/", run again in a
// private mount namespace with a tmpfs over /media, so the host's /media is never touched.
class tst_ProfileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void transfer_data();
    void transfer();
    void exportTwiceThenToAFullDisk();

private:
    std::unique_ptr<ProcessorHost> m_host;
};

namespace {

const char Rerun[] = "VORN_TEST_RERUN_UNDER_UNSHARE";
const QString Media = QStringLiteral("/media");
const QString Disk = QStringLiteral("/media/root/a");
const QString DiskProfile = Disk + QStringLiteral("/V_ORN/VORN_KeyBoard_Config.ini");

// "mnt:[inode]" of a process.
QString mountNamespace(pid_t pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/ns/mnt").arg(pid))).fileName();
}

QString mountTmpfs(const QString &where, const char *options)
{
    if (mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", 0, options) == 0)
        return QString();
    return QStringLiteral("cannot mount a tmpfs over %1: %2").arg(where, strerror(errno));
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
    QVERIFY(mountTmpfs(Media, "size=1m").isEmpty());
}

// A tmpfs per test over the one for the run, which stays should this mount fail.
void tst_ProfileTransfer::init()
{
    const QString error = mountTmpfs(Media, "size=1m");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_host = std::make_unique<ProcessorHost>();
    m_host->start();
    m_host->model.keyMap = {{1, 2}};
}

void tst_ProfileTransfer::cleanup()
{
    m_host.reset();
    QCOMPARE(umount2(QFile::encodeName(Media).constData(), MNT_DETACH), 0);
}

void tst_ProfileTransfer::transfer_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<bool>("importing");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("created");

    const QString profile = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini");
    QTest::newRow("import without a root folder") << QStringList() << true << -1 << QStringList();
    QTest::newRow("export to an empty root")
            << QStringList{"root/"} << false << -1 << QStringList();
    QTest::newRow("B and a: export to a, case ignored, creating V_ORN")
            << QStringList{"root/B/", "root/a/"} << false << 1
            << QStringList{"root/a/V_ORN/", profile};
    QTest::newRow("import from a disk without a profile")
            << QStringList{"root/a/"} << true << -2 << QStringList{"root/a/V_ORN/"};
    QTest::newRow("import on a fresh install, then reload")
            << QStringList{profile} << true << 1 << QStringList();
}

// The target becomes a copy of the source only on success. A successful import starts
// from a fresh install, without a local configuration folder, and reloads the key remap
// (from no stored remap at all).
void tst_ProfileTransfer::transfer()
{
    QFETCH(QStringList, layout);
    QFETCH(bool, importing);
    QFETCH(int, result);
    QFETCH(QStringList, created);

    QVERIFY(createLayout(Media, layout));
    const bool copied = result == 1;
    QVERIFY((importing && copied) || writeFile(ConfigFiles::oledConfigPath(), "local profile"));
    const QByteArray local = readFile(ConfigFiles::oledConfigPath());
    const QByteArray disk = readFile(DiskProfile);
    QStringList entries = entriesUnder(Media) + created;
    entries.sort();
    auto *processor = m_host->processor.get();

    QCOMPARE(processor->scanUdisk(), result != -1);
    QCOMPARE(importing ? processor->importProfile() : processor->exportProfile(), result);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), importing && copied ? disk : local);
    QCOMPARE(readFile(DiskProfile), !importing && copied ? local : disk);
    QCOMPARE(m_host->model.keyMap.isEmpty(), importing && copied);
    QCOMPARE(entriesUnder(Media), entries);
}

// The second export replaces the first; one that does not fit leaves it as it was.
void tst_ProfileTransfer::exportTwiceThenToAFullDisk()
{
    QVERIFY(QDir().mkpath(Disk));
    const QString error = mountTmpfs(Disk, "size=16k");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<QPair<QByteArray, int>> exports{
            {"first profile, the longer one", 1}, {"second", 1}, {QByteArray(64 * 1024, 'x'), -2}};
    for (const auto &[local, result] : exports) {
        QVERIFY(writeFile(ConfigFiles::oledConfigPath(), local));
        QCOMPARE(m_host->processor->exportProfile(), result);
    }
    QCOMPARE(readFile(DiskProfile), QByteArray("second"));
    QCOMPARE(entriesUnder(Disk), (QStringList{"V_ORN/", "V_ORN/VORN_KeyBoard_Config.ini"}));
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
