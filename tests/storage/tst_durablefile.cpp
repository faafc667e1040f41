#include "keymapstore.h"
#include "oledconfigstore.h"
#include "profiledisk.h"
#include "systemcalls.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestFiles;

// Every write of a configuration file and of a profile goes through one durable path. Each
// of its system calls is failed in turn; a lock held elsewhere, lock files and temporary
// copies left by a crash, and a profile swapped between the look and the open are met.
class tst_DurableFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { SystemCalls::current() = SystemCalls::Real; }
    void everyCallFails_data();
    void everyCallFails();
    void leftBehind_data();
    void leftBehind();
    void swappedBeforeOpen_data();
    void swappedBeforeOpen();

private:
    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    bool run(const QString &operation) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

enum Call { OpenAt, Write, FdataSync, FSync, Close, RenameAt, UnlinkAt, Flock };
QVector<Call> calls; // made so far
int failAt = -1; // the index of the call to fail
int failure = 0; // its errno; 0: a write of one byte
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

const char Keyboard[] = "Keyboard/VORN_KeyBoard_Config.ini";
const char Local[] = "Keyboard/VORN_UpdateOled_Config.ini";
const char Disk[] = "root/a/V_ORN/VORN_KeyBoard_Config.ini";
const QByteArray OldKeyboard = "[KeyMap]\n105=203\n";
const QByteArray OldProfile = "[105]\nisModify=true\n";

} // namespace

void tst_DurableFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
    QVERIFY(writeFile(path(Keyboard), OldKeyboard) && writeFile(path(Local), OldProfile)
            && writeFile(path(Disk), OldProfile + "[300]\nisModify=false\n"));
    SystemCalls &table = SystemCalls::current();
    wrap<OpenAt>(table.openat);
    wrap<Write>(table.write);
    wrap<FdataSync>(table.fdatasync);
    wrap<FSync>(table.fsync);
    wrap<Close>(table.close);
    wrap<RenameAt>(table.renameat);
    wrap<UnlinkAt>(table.unlinkat);
    wrap<Flock>(table.flock);
    table.nanosleep = [](const timespec *duration, timespec *) {
        slept += duration->tv_sec * 1000000000 + duration->tv_nsec;
        return 0;
    };
    calls.clear();
    failAt = -1;
    slept = 0;
}

bool tst_DurableFile::run(const QString &operation) const
{
    const ProfileDisk disk(path("root"), path(Local));
    if (operation == QLatin1String("export"))
        return disk.exportTo(QFileInfo(path(Disk)).path());
    if (operation == QLatin1String("import"))
        return disk.importFrom(QFileInfo(path(Disk)).path());
    if (operation == QLatin1String("OLED settings"))
        OledConfigStore(path(Local)).write(203, 2, 7, QStringLiteral("Cam"), QStringLiteral("1"));
    else if (operation == QLatin1String("remap"))
        KeyMapStore(path(Keyboard)).save({{313, 403}});
    else
        KeyMapStore(path(Keyboard)).clear();
    return true;
}

void tst_DurableFile::everyCallFails_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("target");
    QTest::newRow("remap") << "remap" << Keyboard;
    QTest::newRow("reset all") << "reset all" << Keyboard;
    QTest::newRow("OLED settings") << "OLED settings" << Local;
    QTest::newRow("export") << "export" << Disk;
    QTest::newRow("import") << "import" << Local;
}

// Failed before the rename: the file as it was, a warning, no temporary copy left. Failed
// after it (the folder's sync): the new file, a warning. A failed lock is no lock at all; a
// short write is continued. A transfer says whether the copy is in place and synced.
void tst_DurableFile::everyCallFails()
{
    QFETCH(QString, operation);
    QFETCH(QString, target);
    const QString file = m_dir->filePath(target);
    const QByteArray old = readFile(file);
    QVERIFY(run(operation));
    const QByteArray written = readFile(file);
    const QVector<Call> sequence = calls;
    QVERIFY(sequence.contains(FdataSync) && sequence.contains(FSync) && written != old);
    for (const int error : {EIO, ENOSPC, 0}) {
        for (failAt = 0; failAt < sequence.size(); ++failAt) {
            const Call call = sequence[failAt];
            if (!error && call != Write)
                continue;
            const bool harmless = !error || call == Flock || call == UnlinkAt;
            const QByteArray row = QByteArray::number(failAt) + " fails: " + QByteArray(strerror(error));
            QVERIFY(writeFile(file, old));
            calls.clear();
            failure = error;
            if (!harmless) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
                        "^DealKeyPress: .*(" + QString::fromLocal8Bit(strerror(error)) + "|unreadable)"));
            }
            QVERIFY2(run(operation) == harmless || !operation.endsWith(QLatin1String("port")), row);
            QVERIFY2(readFile(file) == (harmless || call == FSync ? written : old), row);
            QVERIFY2(QDir(QFileInfo(file).path()).entryList({"*.vorn-*"}).isEmpty(), row);
        }
    }
}

void tst_DurableFile::leftBehind_data()
{
    QTest::addColumn<QString>("entry"); // in the keyboard file's folder
    QTest::addColumn<QByteArray>("content"); // null: this process holds the folder's lock
    QTest::addColumn<bool>("removed");

    const QString lock = QStringLiteral("VORN_KeyBoard_Config.ini.lock");
    QTest::newRow("an empty lock file") << lock << QByteArray("") << false;
    QTest::newRow("a lock file of a dead process") << lock << QByteArray("2147483646\nsim\nhost\n") << false;
    QTest::newRow("a lock file of a live process")
            << lock << QByteArray::number(getppid()) + "\nsim\nhost\n" << false;
    QTest::newRow("a copy a crash left") << "VORN_UpdateOled_Config.ini.vorn-a1B2c3" << QByteArray("x") << true;
    QTest::newRow("another program's file") << "VORN_KeyBoard_Config.ini.vorn-backup1" << QByteArray("x") << false;
    QTest::newRow("the folder locked by another writer") << "" << QByteArray() << false;
}

// Only a writer that holds the folder's lock delays a save, and that for a second at most;
// the save then fails with a warning.
void tst_DurableFile::leftBehind()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);

    const QString folder = QFileInfo(path(Keyboard)).path();
    const int held = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(held >= 0 && (!content.isNull() || ::flock(held, LOCK_EX) == 0));
    QVERIFY(entry.isEmpty() || writeFile(QDir(folder).filePath(entry), content));
    if (content.isNull())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("held the lock on its folder for over a second"));
    run(QStringLiteral("remap"));
    ::close(held);
    QCOMPARE(readFile(path(Keyboard)) == OldKeyboard, content.isNull());
    QVERIFY(entry.isEmpty() || QFileInfo::exists(QDir(folder).filePath(entry)) != removed);
    QCOMPARE(slept, content.isNull() ? 1000 * 1000 * 1000 : 0);
}

void tst_DurableFile::swappedBeforeOpen_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("another regular file") << false;
    QTest::newRow("a FIFO") << true;
}

// The profile looked at is replaced just before the open: the import refuses it, and does
// not block on a FIFO.
void tst_DurableFile::swappedBeforeOpen()
{
    QFETCH(bool, fifo);
    static QByteArray disk;
    static bool makeFifo;
    disk = QFile::encodeName(path(Disk));
    makeFifo = fifo;
    SystemCalls::current().openat = [](int folder, const char *name, int flags, mode_t mode) {
        const QByteArray other = disk + ".other";
        if (disk.endsWith('/' + QByteArray(name))
            && (makeFifo ? ::mkfifo(other.constData(), 0600) == 0 : writeFile(QFile::decodeName(other), "[1]\n")))
            ::rename(other.constData(), disk.constData());
        return SystemCalls::Real.openat(folder, name, flags, mode);
    };
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no profile copied.*not a regular file"));
    QVERIFY(!run(QStringLiteral("import")));
    QCOMPARE(readFile(path(Local)), OldProfile);
}

QTEST_GUILESS_MAIN(tst_DurableFile)
#include "tst_durablefile.moc"
