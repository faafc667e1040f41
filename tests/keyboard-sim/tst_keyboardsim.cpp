#include "trace.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtTest/QtTest>

#include <numeric>

// The simulator on small traces, compared with the output beside each trace. A trace
// NAME.trace expects NAME.expected on stdout, or, when NAME.error exists, that text on
// stderr and exit status 2; NAME.args holds extra arguments. UPDATE_GOLDEN=1 rewrites the
// expected files from the output. Each trace runs again with the flight recorder on, and
// the recording replays to the same output, also when recorded in real time on a busy
// machine; and again with the host's messages emitted from its worker thread.
class tst_KeyboardSim : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void traces_data();
    void traces();
    void realTimeRecordings_data();
    void realTimeRecordings();
    void recordingFails_data();
    void recordingFails();
    void sessionFiles();
    void cutRecordings();

private:
    void checkReplay(const QString &trace, bool realTime);

    QTemporaryDir m_dir;
};

namespace {

const QString Exec = QStringLiteral("exec \"$@\"");
// A busy loop shares the simulator's core with it, so its timers fire late; the other
// cores stay free for the other tests.
const QString Busy = QStringLiteral("c=$(taskset -cp $$ | sed 's/.*: *//; s/[-,].*//'); "
                                    "taskset -c $c sh -c 'while :; do :; done' & p=$!; "
                                    "taskset -c $c \"$@\"; s=$?; kill $p; exit $s");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

struct Run
{
    QByteArray out;
    QByteArray err;
    int exitCode = -1;
};

// The simulator's configuration as the trace `name` starts from it: copies of the files
// beside the trace (NAME.keyboard.ini, NAME.oled.ini) where it has them, else none.
QStringList startFrom(const QString &name)
{
    QDir config(QFileInfo(QStringLiteral(KEYBOARD_SIM)).path() + QStringLiteral("/Keyboard"));
    config.removeRecursively();
    config.mkpath(QStringLiteral("."));
    const QString file = QStringLiteral(TRACES_DIR "/%1.%2.ini");
    const bool copied
            = QFile::copy(file.arg(name, "keyboard"), config.filePath("VORN_KeyBoard_Config.ini"))
            && QFile::copy(file.arg(name, "oled"), config.filePath("VORN_UpdateOled_Config.ini"));
    return copied ? QStringList() : QStringList{QStringLiteral("--fresh")};
}

// The simulator with `arguments` run by a shell `script`, on `input`, recording to
// `record` when given, from the configuration the trace `name` starts from.
Run simulate(const QStringList &arguments, const QString &record = QString(),
             const QByteArray &input = QByteArray(), const QString &script = Exec,
             const QString &name = QString())
{
    QProcess sim;
    sim.setWorkingDirectory(QStringLiteral(TRACES_DIR));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VORN_KEYBOARD_RECORD"));
    if (!record.isEmpty())
        environment.insert(QStringLiteral("VORN_KEYBOARD_RECORD"), record);
    sim.setProcessEnvironment(environment);
    sim.start(QStringLiteral("sh"),
              QStringList{QStringLiteral("-c"), script, QStringLiteral("sh"),
                          QStringLiteral(KEYBOARD_SIM)}
                      + startFrom(name) + arguments);
    sim.write(input);
    sim.closeWriteChannel();
    if (!sim.waitForFinished(120000) || sim.exitStatus() != QProcess::NormalExit)
        return Run();
    return {sim.readAllStandardOutput(), sim.readAllStandardError(), sim.exitCode()};
}

// The trace without its dump lines, which the recorder cannot see, and with the whole
// state dumped at the end instead.
QByteArray withFinalDump(const QByteArray &trace)
{
    QByteArray text;
    for (const QByteArray &line : trace.split('\n')) {
        if (!line.trimmed().startsWith("dump"))
            text += line + '\n';
    }
    return text + "dump records\ndump ini keyboard\ndump ini oled\n";
}

QString tracePath(const QString &trace)
{
    return trace.isEmpty() ? QStringLiteral(DEMO_TRACE) : QDir(TRACES_DIR).filePath(trace);
}

// What NAME.args holds for NAME.trace.
QStringList argumentsOf(const QString &trace)
{
    const QString args = QFileInfo(tracePath(trace)).completeBaseName() + QStringLiteral(".args");
    return QString::fromUtf8(readFile(QDir(TRACES_DIR).filePath(args)).simplified())
            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

void tst_KeyboardSim::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

void tst_KeyboardSim::traces_data()
{
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QStringList>("options");
    const QDir dir(QStringLiteral(TRACES_DIR));
    for (const QStringList &options : {QStringList(), QStringList{"--host-thread"}}) {
        const QString mode = options.isEmpty() ? "" : " from the host's thread";
        QTest::newRow(qPrintable("built-in demo" + mode)) << QString() << options;
        for (const QString &file : dir.entryList({"*.trace"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file + mode)) << file << options;
    }
}

void tst_KeyboardSim::traces()
{
    QFETCH(QString, trace);
    QFETCH(QStringList, options);

    const QDir dir(QStringLiteral(TRACES_DIR));
    const QString name = QFileInfo(tracePath(trace)).completeBaseName();
    const Run run = simulate(argumentsOf(trace) + options << trace, QString(), QByteArray(), Exec,
                             name);
    const QString errorFile = dir.filePath(name + QStringLiteral(".error"));
    const bool expectError = QFileInfo::exists(errorFile);
    const QString expectedFile
            = expectError ? errorFile : dir.filePath(name + QStringLiteral(".expected"));
    const QByteArray actual = expectError ? run.err : run.out;
    if (qEnvironmentVariableIsSet("UPDATE_GOLDEN") && options.isEmpty())
        writeFile(expectedFile, actual);

    QCOMPARE(run.exitCode, expectError ? 2 : 0);
    if (expectError)
        QVERIFY(run.out.isEmpty());
    QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readFile(expectedFile)));
    if (!expectError && options.isEmpty())
        checkReplay(trace, false);
}

// Traces that wait, for at most a few seconds in all.
void tst_KeyboardSim::realTimeRecordings_data()
{
    QTest::addColumn<QString>("trace");
    const QDir dir(QStringLiteral(TRACES_DIR));
    for (const QString &file :
         dir.entryList({QStringLiteral("*.trace")}, QDir::Files, QDir::Name)) {
        const QVector<TraceLine> lines = Trace::parse(readFile(dir.filePath(file))).lines();
        const int waited = std::accumulate(
                lines.begin(), lines.end(), 0,
                [](int sum, const TraceLine &line) { return sum + line.milliseconds; });
        if (waited > 0 && waited < 5000)
            QTest::newRow(qPrintable(file)) << file;
    }
}

// Recorded in real time on a busy core, so that timers fire late and lines land
// near deadlines, a session still replays on the virtual clock as it ran.
void tst_KeyboardSim::realTimeRecordings()
{
    QFETCH(QString, trace);
    checkReplay(trace, true);
}

// The session recorded, and the recording replayed on the virtual clock: the same lines
// and in the end the same records and files.
void tst_KeyboardSim::checkReplay(const QString &trace, bool realTime)
{
    const QStringList arguments = argumentsOf(trace) << QStringLiteral("-");
    const QString recording = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128));
    const Run recorded
            = simulate(realTime ? arguments + QStringList{"--real-time"} : arguments, recording,
                       withFinalDump(readFile(tracePath(trace))), realTime ? Busy : Exec,
                       QFileInfo(tracePath(trace)).completeBaseName());
    QCOMPARE(recorded.exitCode, 0);
    const QString tbarRecording = recording + QStringLiteral(".tbar");
    const Run replay = simulate(
            arguments, QString(),
            withFinalDump(readFile(QFileInfo::exists(tbarRecording) ? tbarRecording : recording)));
    QCOMPARE(replay.exitCode, 0);
    QCOMPARE(QString::fromUtf8(replay.out), QString::fromUtf8(recorded.out));
}

void tst_KeyboardSim::recordingFails_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("warning");

    QTest::newRow("unwritable file") << "/nonexistent/folder/session.trace" << Exec
                                     << "cannot record to %1: No such file or directory; "
                                        "recording is off";
    // 512 bytes hold the header and part of the session: then the disk is full.
    QTest::newRow("disk full") << "full.trace"
                               << "trap '' XFSZ; ulimit -f 1; " + Exec
                               << "recording to %1 stopped: File too large";
}

// A recording that cannot be written stops with one warning; the session goes on as if
// nothing were recorded.
void tst_KeyboardSim::recordingFails()
{
    QFETCH(QString, record);
    QFETCH(QString, script);
    QFETCH(QString, warning);

    const QString path = record.startsWith('/') ? record : m_dir.filePath(record);
    const Run run = simulate({QStringLiteral("oled-refresh.trace")}, path, {}, script);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             QString::fromUtf8(readFile(QStringLiteral(TRACES_DIR "/oled-refresh.expected"))));
    const QStringList warnings = QString::fromUtf8(run.err).split('\n').filter("DealKeyPress:");
    QCOMPARE(warnings, QStringList{"vorn.keyboard: DealKeyPress: " + warning.arg(path)});
}

// Each session records to a file of its own and never appends to one that exists.
void tst_KeyboardSim::sessionFiles()
{
    const QString path = m_dir.filePath(QStringLiteral("desk.trace"));
    writeFile(path, "not a recording\n");
    for (int session = 0; session < 2; ++session)
        QCOMPARE(simulate({QStringLiteral("oled-refresh.trace")}, path).exitCode, 0);
    QCOMPARE(readFile(path), QByteArray("not a recording\n"));
    for (const char *name : {"desk-2.trace", "desk-3.trace"})
        QVERIFY(readFile(m_dir.filePath(name)).startsWith("# keyboard session recorded "));
}

// A recording cut within a line (a full disk, a crash) replays up to the line before, with
// a warning naming the line; cut after a line it replays whole.
void tst_KeyboardSim::cutRecordings()
{
    const QString path = m_dir.filePath(QStringLiteral("cut.trace"));
    QCOMPARE(simulate({QStringLiteral("remap.trace")}, path).exitCode, 0);
    const QByteArray recording = readFile(path);
    const int header = recording.indexOf("\nini");
    for (int cut = header; cut < recording.size(); cut += recording.size() / 23) {
        const int lineEnd = recording.lastIndexOf('\n', cut);
        writeFile(path, recording.left(lineEnd + 1));
        const Run whole = simulate({path});
        writeFile(path, recording.left(cut + 1));
        const Run run = simulate({path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, whole.out);
        const QString warning = QStringLiteral("%1:%2: the recording ends within this line")
                                        .arg(path).arg(recording.left(cut).count('\n') + 1);
        QCOMPARE(run.err.contains(warning.toUtf8()), recording.at(cut) != '\n');
    }
}

QTEST_GUILESS_MAIN(tst_KeyboardSim)
#include "tst_keyboardsim.moc"
