#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtTest/QtTest>

// The simulator on small traces, compared with the output beside each trace. A trace
// NAME.trace expects NAME.expected on stdout, or, when NAME.error exists, that text on
// stderr and exit status 2. UPDATE_GOLDEN=1 rewrites the expected files from the output.
class tst_KeyboardSim : public QObject
{
    Q_OBJECT
private slots:
    void traces_data();
    void traces();
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

} // namespace

void tst_KeyboardSim::traces_data()
{
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("name");
    QTest::newRow("built-in demo") << QString() << QStringLiteral("demo");
    const QDir dir(QStringLiteral(TRACES_DIR));
    for (const QString &file : dir.entryList({QStringLiteral("*.trace")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(file)) << file << QFileInfo(file).completeBaseName();
}

void tst_KeyboardSim::traces()
{
    QFETCH(QString, trace);
    QFETCH(QString, name);

    const QDir dir(QStringLiteral(TRACES_DIR));
    QProcess sim;
    sim.setWorkingDirectory(dir.path());
    QStringList arguments{QStringLiteral("--fresh")};
    if (!trace.isEmpty())
        arguments.append(trace);
    sim.start(QStringLiteral(KEYBOARD_SIM), arguments);
    QVERIFY2(sim.waitForFinished(120000), qPrintable(sim.errorString()));
    const QByteArray out = sim.readAllStandardOutput();
    const QByteArray err = sim.readAllStandardError();

    const QString errorFile = dir.filePath(name + QStringLiteral(".error"));
    const bool expectError = QFileInfo::exists(errorFile);
    const QString expectedFile
            = expectError ? errorFile : dir.filePath(name + QStringLiteral(".expected"));
    const QByteArray actual = expectError ? err : out;
    if (qEnvironmentVariableIsSet("UPDATE_GOLDEN"))
        writeFile(expectedFile, actual);

    QVERIFY2(sim.exitStatus() == QProcess::NormalExit, err.constData());
    QCOMPARE(sim.exitCode(), expectError ? 2 : 0);
    if (expectError)
        QVERIFY(out.isEmpty());
    QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readFile(expectedFile)));
}

QTEST_GUILESS_MAIN(tst_KeyboardSim)
#include "tst_keyboardsim.moc"
