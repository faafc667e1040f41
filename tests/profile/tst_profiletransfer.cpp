#include "configfiles.h"
#include "processorhost.h"
#include "profilefiles.h"

#include <QtTest/QtTest>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

using namespace ProfileFiles;

// Profile transfer through the processor's own methods against the real "/media/root/".
// The program starts over inside a private mount namespace and mounts a fresh tmpfs
// over /media there for every test, so the host's /media is never touched; where that
// is not permitted, the tests are skipped with the reason.
class tst_ProfileTransfer : public QObject
{
    Q_OBJECT
public:
    QString skipReason;

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scanAndExport_data();
    void scanAndExport();
    void exportTwice();
    void exportToAFullDisk();
    void importReloadsTheKeyRemap();
    void importFromADiskWithoutProfile();
    void importOnAFreshInstall();

private:
    std::unique_ptr<ProcessorHost> m_host;
};

namespace {

const char OuterNamespaceVariable[] = "VORN_TEST_OUTER_MOUNT_NAMESPACE";
const QString Media = QStringLiteral("/media");
const QString DiskProfile = QStringLiteral("/media/root/disk/V_ORN/VORN_KeyBoard_Config.ini");

QByteArray mountNamespace()
{
    char link[64];
    const ssize_t length = readlink("/proc/self/ns/mnt", link, sizeof link);
    return length > 0 ? QByteArray(link, int(length)) : QByteArray();
}

QString mountTmpfs(const QString &where, const QByteArray &size)
{
    const QByteArray options = "mode=0755,size=" + size;
    if (mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", 0, options.constData()) == 0)
        return QString();
    return QStringLiteral("cannot mount a tmpfs over %1: %2")
            .arg(where, QString::fromLocal8Bit(strerror(errno)));
}

// Starts this program over under unshare with the same arguments; returns only when
// that is not possible, with the reason.
QString runInPrivateMountNamespace(int argc, char *argv[])
{
    const QStringList unshare{"--mount", "--propagation", "private", "--"};
    QProcess probe;
    probe.start(QStringLiteral("unshare"), unshare + QStringList{"true"});
    if (!probe.waitForFinished() || probe.exitStatus() != QProcess::NormalExit
        || probe.exitCode() != 0) {
        const QString detail = QString::fromLocal8Bit(probe.readAllStandardError().trimmed());
        return QStringLiteral("unshare --mount is not permitted here: %1")
                .arg(detail.isEmpty() ? probe.errorString() : detail);
    }

    qputenv(OuterNamespaceVariable, mountNamespace());
    QByteArrayList arguments{"unshare"};
    for (const QString &option : unshare)
        arguments.append(option.toLatin1());
    arguments.append(QFile::encodeName(QCoreApplication::applicationFilePath()));
    for (int i = 1; i < argc; ++i)
        arguments.append(argv[i]);
    std::vector<char *> pointers;
    for (QByteArray &argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    execvp("unshare", pointers.data());
    return QStringLiteral("cannot run unshare: %1").arg(QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

void tst_ProfileTransfer::initTestCase()
{
    if (!skipReason.isEmpty())
        QSKIP(qPrintable(skipReason));
    const QByteArray outer = qgetenv(OuterNamespaceVariable);
    if (outer.isEmpty() || outer == mountNamespace())
        QSKIP("not inside a private mount namespace; refusing to mount over /media");
    if (!QFileInfo(Media).isDir())
        QSKIP("there is no /media folder to mount over");
    const QString error = mountTmpfs(Media, "1m");
    if (!error.isEmpty())
        QSKIP(qPrintable(error));
    umount2(QFile::encodeName(Media).constData(), MNT_DETACH);
}

void tst_ProfileTransfer::init()
{
    const QString error = mountTmpfs(Media, "1m");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_host = std::make_unique<ProcessorHost>();
    m_host->start();
}

void tst_ProfileTransfer::cleanup()
{
    m_host.reset();
    QCOMPARE(umount2(QFile::encodeName(Media).constData(), MNT_DETACH), 0);
}

void tst_ProfileTransfer::scanAndExport_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QString>("disk");

    QTest::newRow("no root folder") << QStringList() << QString();
    QTest::newRow("empty root") << QStringList{"root/"} << QString();
    QTest::newRow("b and A: A, V_ORN created")
            << QStringList{"root/", "root/A/", "root/b/"} << QStringLiteral("A");
}

// Which disk the processor picks shows in where the export lands; without a disk,
// neither transfer touches anything.
void tst_ProfileTransfer::scanAndExport()
{
    QFETCH(QStringList, layout);
    QFETCH(QString, disk);

    QVERIFY(createLayout(Media, layout));
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "[Modify]\nbtnKey=\";105\"\n"));
    auto *processor = m_host->processor.get();

    QCOMPARE(processor->scanUdisk(), !disk.isEmpty());
    if (disk.isEmpty()) {
        QCOMPARE(processor->exportProfile(), -1);
        QCOMPARE(processor->importProfile(), -1);
        QCOMPARE(entriesUnder(Media), layout);
        return;
    }
    QCOMPARE(processor->exportProfile(), 1);
    const QString exported = QStringLiteral("root/%1/V_ORN/VORN_KeyBoard_Config.ini").arg(disk);
    QCOMPARE(readFile(Media + QLatin1Char('/') + exported),
             readFile(ConfigFiles::oledConfigPath()));
    layout << QStringLiteral("root/%1/V_ORN/").arg(disk) << exported;
    layout.sort();
    QCOMPARE(entriesUnder(Media), layout);
}

void tst_ProfileTransfer::exportTwice()
{
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "first profile, the longer one"));
    QVERIFY(QDir().mkpath(QFileInfo(DiskProfile).absolutePath()));
    QCOMPARE(m_host->processor->exportProfile(), 1);
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "second"));
    QCOMPARE(m_host->processor->exportProfile(), 1);

    QCOMPARE(readFile(DiskProfile), QByteArray("second"));
    QCOMPARE(entriesUnder(QFileInfo(DiskProfile).absolutePath()),
             QStringList{"VORN_KeyBoard_Config.ini"});
}

void tst_ProfileTransfer::exportToAFullDisk()
{
    QVERIFY(QDir().mkpath(Media + "/root/disk"));
    const QString error = mountTmpfs(Media + "/root/disk", "16k");
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(writeFile(DiskProfile, "earlier profile"));
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), QByteArray(64 * 1024, 'x')));

    QCOMPARE(m_host->processor->exportProfile(), -2);
    QCOMPARE(readFile(DiskProfile), QByteArray("earlier profile"));
    QCOMPARE(entriesUnder(QFileInfo(DiskProfile).absolutePath()),
             QStringList{"VORN_KeyBoard_Config.ini"});
}

void tst_ProfileTransfer::importReloadsTheKeyRemap()
{
    const QByteArray profile = "[105]\nisModify=true\n\n[Modify]\nbtnKey=\";105\"\n";
    QVERIFY(writeFile(DiskProfile, profile));
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "local profile"));
    QSettings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat)
            .setValue("KeyMap/105", "403");
    m_host->model.keyMap = {{1, 2}};

    QCOMPARE(m_host->processor->importProfile(), 1);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), profile);
    QCOMPARE(m_host->model.keyMap, (QMap<int, int>{{105, 403}}));
    QCOMPARE(m_host->takeEmissions(), QStringList());
}

void tst_ProfileTransfer::importFromADiskWithoutProfile()
{
    QVERIFY(QDir().mkpath(Media + "/root/disk"));
    QVERIFY(writeFile(ConfigFiles::oledConfigPath(), "local profile"));
    QSettings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat)
            .setValue("KeyMap/105", "403");
    m_host->model.keyMap = {{1, 2}};

    QCOMPARE(m_host->processor->importProfile(), -2);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), QByteArray("local profile"));
    QCOMPARE(m_host->model.keyMap, (QMap<int, int>{{1, 2}}));
    QCOMPARE(entriesUnder(Media + "/root/disk"), QStringList{"V_ORN/"});
}

void tst_ProfileTransfer::importOnAFreshInstall()
{
    QVERIFY(writeFile(DiskProfile, "disk profile"));
    QVERIFY(!QFileInfo::exists(QFileInfo(ConfigFiles::oledConfigPath()).absolutePath()));
    QCOMPARE(m_host->processor->importProfile(), 1);
    QCOMPARE(readFile(ConfigFiles::oledConfigPath()), QByteArray("disk profile"));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_ProfileTransfer test;
    if (!qEnvironmentVariableIsSet(OuterNamespaceVariable))
        test.skipReason = runInPrivateMountNamespace(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_profiletransfer.moc"
