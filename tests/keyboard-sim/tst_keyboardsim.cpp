#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtTest/QtTest>

// The simulator on small traces, compared with the output beside each trace. A trace
// NAME.trace expects NAME.expected on stdout, or, when NAME.error exists, that text on
// stderr and exit status 2. UPDATE_GOLDEN=1 rewrites the expected files from the output.
// Each trace runs again with the flight recorder on, and the recording replays to the
// same output; and again with the host's messages emitted from its worker thread.
class tst_KeyboardSim : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void traces_data();
    void traces();
    void recordingFails_data();
    void recordingFails();

private:
    QTemporaryDir m_dir;
};

namespace {

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

// The simulator on a trace file (none: the demo) or, with "-", on `input`, recording to
// `record` when given.
Run simulate(const QString &trace, const QString &record = QString(),
             const QByteArray &input = QByteArray(), const QString &shellPrefix = QString(),
             const QStringList &options = QStringList())
{
    QProcess sim;
    sim.setWorkingDirectory(QStringLiteral(TRACES_DIR));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VORN_KEYBOARD_RECORD"));
    if (!record.isEmpty())
        environment.insert(QStringLiteral("VORN_KEYBOARD_RECORD"), record);
    sim.setProcessEnvironment(environment);
    QStringList arguments = QStringList{QStringLiteral(KEYBOARD_SIM), "--fresh"} + options;
    if (!trace.isEmpty())
        arguments.append(trace);
    sim.start(QStringLiteral("sh"),
              QStringList{QStringLiteral("-c"), shellPrefix + QStringLiteral(" exec \"$@\""),
                          QStringLiteral("sh")}
                      + arguments);
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

} // namespace

void tst_KeyboardSim::initTestCase()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
}

void tst_KeyboardSim::traces_data()
{
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("options");
    const QDir dir(QStringLiteral(TRACES_DIR));
    for (const QStringList &options : {QStringList(), QStringList{"--host-thread"}}) {
        const QString mode = options.isEmpty() ? "" : " from the host's thread";
        QTest::newRow(qPrintable("built-in demo" + mode)) << QString() << "demo" << options;
        for (const QString &file : dir.entryList({"*.trace"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file + mode))
                    << file << QFileInfo(file).completeBaseName() << options;
    }
}

void tst_KeyboardSim::traces()
{
    QFETCH(QString, trace);
    QFETCH(QString, name);
    QFETCH(QStringList, options);

    const QDir dir(QStringLiteral(TRACES_DIR));
    const QString recording = m_dir.filePath(name + QStringLiteral(".trace"));
    const Run run = simulate(trace, QString(), QByteArray(), QString(), options);
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
    if (expectError || !options.isEmpty())
        return;

    // The same session recorded, and the recording replayed: the same lines and in the end
    // the same records and files.
    const QByteArray session = withFinalDump(readFile(
            trace.isEmpty() ? QStringLiteral(DEMO_TRACE) : dir.filePath(trace)));
    const Run recorded = simulate(QStringLiteral("-"), recording, session);
    QCOMPARE(recorded.exitCode, 0);
    const Run replay = simulate(QStringLiteral("-"), QString(),
                                withFinalDump(readFile(recording)));
    QCOMPARE(replay.exitCode, 0);
    QCOMPARE(QString::fromUtf8(replay.out), QString::fromUtf8(recorded.out));
}

void tst_KeyboardSim::recordingFails_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("shellPrefix");
    QTest::addColumn<QString>("warning");

    QTest::newRow("unwritable file") << "/nonexistent/folder/session.trace" << ""
                                     << "cannot record to %1: No such file or directory; "
                                        "recording is off";
    // 512 bytes hold the header and part of the session: then the disk is full.
    QTest::newRow("disk full") << "full.trace" << "trap '' XFSZ; ulimit -f 1;"
                               << "recording to %1 stopped: File too large";
}

// A recording that cannot be written stops with one warning; the session goes on as if
// nothing were recorded.
void tst_KeyboardSim::recordingFails()
{
    QFETCH(QString, record);
    QFETCH(QString, shellPrefix);
    QFETCH(QString, warning);

    const QString path = record.startsWith('/') ? record : m_dir.filePath(record);
    const Run run = simulate(QStringLiteral("oled-refresh.trace"), path, {}, shellPrefix);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             QString::fromUtf8(readFile(QStringLiteral(TRACES_DIR "/oled-refresh.expected"))));
    const QStringList warnings = QString::fromUtf8(run.err).split('\n').filter("DealKeyPress:");
    QCOMPARE(warnings, QStringList{"DealKeyPress: " + warning.arg(path)});
}

QTEST_GUILESS_MAIN(tst_KeyboardSim)
#include "tst_keyboardsim.moc"
