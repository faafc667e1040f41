#include "configfiles.h"
#include "directoryhandle.h"
#include "keymapstore.h"
#include "oledconfigstore.h"
#include "profiledisk.h"
#include "systemcalls.h"
#include "testfiles.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestFiles;

// Every write of a configuration file and of a profile goes through one durable path. Each
// of its system calls is failed in turn; a lock held elsewhere, lock files and temporary
// copies left by a crash, and a file swapped between the look and the open are met.
class tst_DurableFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyCallFails_data();
    void everyCallFails();
    void leftBehind_data();
    void leftBehind();
    void swappedBeforeOpen_data();
    void swappedBeforeOpen();

private:
    bool run(const QString &operation);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_keyboard;
    QString m_local;
    QString m_disk;
};

namespace {

enum Call { OpenAt, Write, FdataSync, FSync, Close, RenameAt, UnlinkAt, Flock, NanoSleep };
const char *const CallNames[] = {"openat", "write", "fdatasync", "fsync", "close",
                                 "renameat", "unlinkat", "flock", "nanosleep"};

QVector<Call> calls; // made so far
int failAt = -1; // the index of the call to fail
int failure = 0; // its errno; 0: a short write
qint64 slept = 0; // nanoseconds

ssize_t writeOneByte(int fd, const void *data, size_t)
{
    return SystemCalls::Real.write(fd, data, 1);
}

// Replaces a table entry by one that counts its calls and fails the chosen one.
template<Call Kind, typename Result, typename... Args>
void wrap(Result (*&entry)(Args...))
{
    static Result (*real)(Args...) = entry;
    entry = [](Args... args) -> Result {
        calls.append(Kind);
        if (calls.size() - 1 != failAt)
            return real(args...);
        if constexpr (Kind == Write) {
            if (!failure)
                return writeOneByte(args...);
        }
        errno = failure;
        return Result(-1);
    };
}

int sleepNot(const timespec *duration, timespec *)
{
    calls.append(NanoSleep);
    slept += duration->tv_sec * 1000000000 + duration->tv_nsec;
    return 0;
}

const QByteArray OldProfile = "[105]\nisModify=true\n";
const QByteArray OldKeyboard = "[KeyMap]\n105=203\n\n[Tbar]\nMax=900\n";

} // namespace

void tst_DurableFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
    m_keyboard = m_dir->filePath(QStringLiteral("Keyboard/VORN_KeyBoard_Config.ini"));
    m_local = m_dir->filePath(QStringLiteral("Keyboard/VORN_UpdateOled_Config.ini"));
    m_disk = m_dir->filePath(QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini"));
    QVERIFY(writeFile(m_keyboard, OldKeyboard) && writeFile(m_local, OldProfile)
            && writeFile(m_disk, OldProfile + "[300]\nisModify=false\n"));
    SystemCalls &table = SystemCalls::current();
    wrap<OpenAt>(table.openat);
    wrap<Write>(table.write);
    wrap<FdataSync>(table.fdatasync);
    wrap<FSync>(table.fsync);
    wrap<Close>(table.close);
    wrap<RenameAt>(table.renameat);
    wrap<UnlinkAt>(table.unlinkat);
    wrap<Flock>(table.flock);
    table.nanosleep = sleepNot;
    calls.clear();
    failAt = -1;
    slept = 0;
}

void tst_DurableFile::cleanup()
{
    SystemCalls::current() = SystemCalls::Real;
}

bool tst_DurableFile::run(const QString &operation)
{
    const ProfileDisk disk(m_dir->filePath(QStringLiteral("root")), m_local);
    const QString folder = QFileInfo(m_disk).path();
    if (operation == QLatin1String("export"))
        return disk.exportTo(folder);
    if (operation == QLatin1String("import"))
        return disk.importFrom(folder);
    if (operation == QLatin1String("OLED settings"))
        OledConfigStore(m_local).write(203, 2, 7, QStringLiteral("Cam"), QStringLiteral("1"));
    else if (operation == QLatin1String("remap"))
        KeyMapStore(m_keyboard).save({{313, 403}});
    else
        KeyMapStore(m_keyboard).clear();
    return true;
}

void tst_DurableFile::everyCallFails_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("target");
    for (const char *operation : {"remap", "reset all", "OLED settings", "export", "import"}) {
        const QString name = QLatin1String(operation);
        QTest::newRow(operation) << name
                                 << (name == QLatin1String("export") ? QStringLiteral("disk")
                                     : name.contains(QLatin1String("re")) ? QStringLiteral("keyboard")
                                                                         : QStringLiteral("local"));
    }
}

// Failed before the rename: the file as it was, one warning, no temporary copy. Failed
// after it (the folder's sync): the new file, one warning. A failed lock is no lock at all;
// a short write is continued.
void tst_DurableFile::everyCallFails()
{
    QFETCH(QString, operation);
    QFETCH(QString, target);
    const QString path = target == QLatin1String("disk") ? m_disk
            : target == QLatin1String("local")           ? m_local
                                                         : m_keyboard;
    const QByteArray old = readFile(path);
    QVERIFY(run(operation));
    const QByteArray written = readFile(path);
    const QVector<Call> sequence = calls;
    QVERIFY(sequence.contains(FdataSync) && sequence.contains(FSync) && written != old);
    for (const int error : {EIO, ENOSPC, 0}) {
        for (int call = 0; call < sequence.size(); ++call) {
            const Call kind = sequence[call];
            if (!error && kind != Write)
                continue;
            const QString row = QStringLiteral("%1 of %2 fails with %3")
                                        .arg(call).arg(QLatin1String(CallNames[kind])).arg(error);
            QVERIFY(writeFile(path, old));
            calls.clear();
            failAt = call;
            failure = error;
            const bool harmless = !error || kind == Flock || kind == UnlinkAt;
            if (!harmless) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
                        "^DealKeyPress: .*(" + QString::fromLocal8Bit(strerror(error)) + "|unreadable)"));
            }
            const bool result = run(operation);
            QVERIFY2(result == harmless || !operation.endsWith(QLatin1String("port")), qPrintable(row));
            QVERIFY2(readFile(path) == (harmless || kind == FSync ? written : old), qPrintable(row));
            QVERIFY2(QDir(QFileInfo(path).path()).entryList(QDir::Files).filter(QStringLiteral(".vorn-")).isEmpty(),
                     qPrintable(row));
        }
    }
}

void tst_DurableFile::leftBehind_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("content"); // null: a lock this process holds
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("saved");

    const QString lock = QStringLiteral("VORN_KeyBoard_Config.ini.lock");
    QTest::newRow("an empty lock file") << lock << QByteArray("") << false << true;
    QTest::newRow("a lock file of a dead process")
            << lock << QByteArray("2147483646\nkeyboard-sim\nhost\n") << false << true;
    QTest::newRow("a lock file of a live process")
            << lock << QByteArray::number(getppid()) + "\nkeyboard-sim\nhost\n" << false << true;
    QTest::newRow("a temporary copy a crash left")
            << "VORN_UpdateOled_Config.ini.vorn-a1B2c3" << QByteArray("[1]\n") << true << true;
    QTest::newRow("another program's file like one")
            << "VORN_KeyBoard_Config.ini.vorn-backup1" << QByteArray("x") << false << true;
    QTest::newRow("the folder's lock held by another writer")
            << "" << QByteArray() << false << false;
}

// Nothing but a writer that holds the lock delays a save, and that for a second at most.
void tst_DurableFile::leftBehind()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);
    QFETCH(bool, saved);

    const QString folder = QFileInfo(m_keyboard).path();
    const int held = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(held >= 0 && (!content.isNull() || ::flock(held, LOCK_EX) == 0));
    QVERIFY(entry.isEmpty() || writeFile(QDir(folder).filePath(entry), content));
    if (!saved)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("held the lock on its folder for over a second"));
    run(QStringLiteral("remap"));
    ::close(held);
    QCOMPARE(readFile(m_keyboard) != OldKeyboard, saved);
    QVERIFY(entry.isEmpty() || QFileInfo::exists(QDir(folder).filePath(entry)) != removed);
    QVERIFY(slept <= 1000 * 1000 * 1000);
    QCOMPARE(slept > 0, !saved);
}

void tst_DurableFile::swappedBeforeOpen_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("another regular file") << false;
    QTest::newRow("a FIFO") << true;
}

// The profile that was looked at is replaced just before the open: the import refuses it
// and does not block on a FIFO.
void tst_DurableFile::swappedBeforeOpen()
{
    QFETCH(bool, fifo);
    static QByteArray disk;
    static bool makeFifo;
    disk = QFile::encodeName(m_disk);
    makeFifo = fifo;
    SystemCalls::current().openat = [](int folder, const char *name, int flags, mode_t mode) {
        if (QByteArray(name) == QFileInfo(QFile::decodeName(disk)).fileName().toUtf8()) {
            const QByteArray other = disk + ".other";
            if (makeFifo ? ::mkfifo(other.constData(), 0600) == 0
                         : writeFile(QFile::decodeName(other), "[105]\nisModify=false\n"))
                ::rename(other.constData(), disk.constData());
        }
        return SystemCalls::Real.openat(folder, name, flags, mode);
    };
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no profile copied.*not a regular file"));
    QVERIFY(!run(QStringLiteral("import")));
    QCOMPARE(readFile(m_local), OldProfile);
}

QTEST_GUILESS_MAIN(tst_DurableFile)
#include "tst_durablefile.moc"
