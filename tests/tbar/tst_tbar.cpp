#include "configfiles.h"
#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QProcess>
#include <QtCore/QScopeGuard>
#include <QtCore/QSettings>
#include <QtCore/QSharedMemory>
#include <QtTest/QtTest>

// The processor's T-bar: calibration from the keyboard configuration, the check timer
// that applies a deferred jump in each process role, and the shared segment that passes
// positions between processes, with real timers and real processes.
class tst_Tbar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void calibration_data();
    void calibration();
    void calibrationCache();
    void deferredJump_data();
    void deferredJump();
    void pollingRole_data();
    void pollingRole();
    void reader_data();
    void reader();
    void failedCreation_data();
    void failedCreation();
    void twoProcesses();

private:
    QTemporaryDir m_tempDir;
};

namespace {

const QString SegmentKey = QStringLiteral("VTbar");
const int ProcessTimeoutMs = 60000;

void writeKeyboardConfig(const QVariantMap &values)
{
    QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

QByteArray record(const char *text)
{
    return QByteArray(text) + QByteArray(5, '\0');
}

bool fill(QSharedMemory &segment, const QByteArray &content)
{
    if (!segment.create(content.size()) || !segment.lock())
        return false;
    memcpy(segment.data(), content.constData(), size_t(content.size()));
    return segment.unlock();
}

QByteArray contentOf(QSharedMemory &segment)
{
    if (!segment.lock())
        return QByteArray();
    const QByteArray content(static_cast<const char *>(segment.constData()), segment.size());
    segment.unlock();
    return content;
}

QByteArray segmentContent()
{
    QSharedMemory segment(SegmentKey);
    return segment.attach(QSharedMemory::ReadOnly) ? contentOf(segment) : QByteArray();
}

model_Protocoldata tbarKey(quint16 raw)
{
    return keyEvent(10, uchar(raw & 0xff), uchar(raw >> 8));
}

// Runs the event loop until a precise timer started now has fired. Timers started
// earlier with a shorter interval (a coarse one is at most 5% late) have fired by then.
bool runEventLoop(int milliseconds)
{
    QTimer later;
    later.setTimerType(Qt::PreciseTimer);
    later.setSingleShot(true);
    QSignalSpy fired(&later, &QTimer::timeout);
    later.start(milliseconds);
    return fired.wait(milliseconds + ProcessTimeoutMs);
}

} // namespace

void tst_Tbar::initTestCase()
{
    QVERIFY2(m_tempDir.isValid(), qPrintable(m_tempDir.errorString()));
    // The segment's system key derives from the temporary directory, also in the
    // simulators started here: keep it private.
    qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
}

void tst_Tbar::calibration_data()
{
    QTest::addColumn<QVariantMap>("config"); // empty: no file
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("min");

    QTest::newRow("no file") << QVariantMap() << 1024 << 0;
    QTest::newRow("no Tbar group") << QVariantMap{{"KeyMap/105", 203}} << 1024 << 0;
    QTest::newRow("both limits") << QVariantMap{{"Tbar/Max", 1000}, {"Tbar/Min", 20}} << 1000 << 20;
    QTest::newRow("maximum only") << QVariantMap{{"Tbar/Max", 900}} << 900 << 0;
    QTest::newRow("maximum not a number reads 0")
            << QVariantMap{{"Tbar/Max", "high"}, {"Tbar/Min", 20}} << 0 << 20;
    QTest::newRow("minimum not a number reads 0") << QVariantMap{{"Tbar/Min", "20x"}} << 1024 << 0;
}

void tst_Tbar::calibration()
{
    QFETCH(QVariantMap, config);
    QFETCH(int, max);
    QFETCH(int, min);

    ProcessorHost host;
    if (!config.isEmpty())
        writeKeyboardConfig(config);
    host.start();
    QCOMPARE(host.processor->getTbarMax(), max);
    QCOMPARE(host.processor->getTbarMin(), min);
}

// A limit read once survives its removal from the file for the life of the object; a
// changed value replaces it, and a new object starts without the cache.
void tst_Tbar::calibrationCache()
{
    ProcessorHost host;
    writeKeyboardConfig({{"Tbar/Max", 1000}, {"Tbar/Min", 20}});
    host.start();

    QSettings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat).remove("Tbar");
    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), 1000);
    QCOMPARE(host.processor->getTbarMin(), 20);

    writeKeyboardConfig({{"Tbar/Max", 800}});
    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), 800);
    QCOMPARE(host.processor->getTbarMin(), 20);

    host.processor.reset(new UiprocDealKeyPress_Vorn_Desktop);
    QCOMPARE(host.processor->getTbarMin(), 0);
}

void tst_Tbar::deferredJump_data()
{
    QTest::addColumn<QString>("bootArgument");
    QTest::addColumn<int>("connectType");
    QTest::addColumn<bool>("announced");

    QTest::newRow("T-bar process, connect type 1") << "Tbar" << 1 << true;
    QTest::newRow("T-bar process, connect type 2") << "Tbar" << 2 << true;
    QTest::newRow("other process, connect type 1") << "" << 1 << true;
    QTest::newRow("other process, connect type 2") << "" << 2 << false;
    QTest::newRow("lower-case tbar, connect type 0") << "tbar" << 0 << false;
}

// A jump of 601 or more waits 120 ms for the check timer, which announces it, hands it
// to the take handling and writes it to the segment, unless a process other than the
// T-bar process has a keyboard of another connect type. The position is kept anyway.
void tst_Tbar::deferredJump()
{
    QFETCH(QString, bootArgument);
    QFETCH(int, connectType);
    QFETCH(bool, announced);

    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(bootArgument);
    Utility_Manage::setConnectType(connectType);
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();

    host.send(tbarKey(900));
    QCOMPARE(host.takeEmissions(), QStringList{"sigKeyValueForTest(10, 0, 0)"});
    if (announced) {
        QSignalSpy alpha(processor, &UiprocDealKeyPress_Vorn_Desktop::sig_changeAlpha);
        QTest::ignoreMessage(QtDebugMsg, "------KEY_T_BAR-----------temp_TbarValue= 900");
        QVERIFY(alpha.wait());
        QCOMPARE(host.takeEmissions(),
                 (QStringList{"tbarDealt(112)", "sig_changeAlpha(112, 900)",
                              "sig_writeSMSatus(\"010#900\", \"\")",
                              "sigKeyValueForTest(10, 900, 0)"}));
        QCOMPARE(segmentContent(), record("010#900"));
    } else {
        QVERIFY(runEventLoop(200));
        QCOMPARE(segmentContent(), QByteArray());
    }
    processor->updateTimerCheckTbar();
    QCOMPARE(host.takeEmissions(), QStringList());
    QCOMPARE(processor->getTbarTakeNum(), 900);

    host.send(tbarKey(950));
    QCOMPARE(host.takeEmissions(),
             (QStringList{"sigKeyValueForTest(10, 0, 0)", "tbarDealt(118)",
                          "sig_changeAlpha(118, 950)", "sigKeyValueForTest(10, 950, 0)"}));
}

void tst_Tbar::pollingRole_data()
{
    QTest::addColumn<QString>("bootArgument");
    QTest::addColumn<bool>("polls");
    QTest::newRow("T-bar process") << "Tbar" << false;
    QTest::newRow("lower-case tbar") << "tbar" << true;
}

// Only processes other than the T-bar process pick a position up from the segment, by
// themselves every 10 ms, and once.
void tst_Tbar::pollingRole()
{
    QFETCH(QString, bootArgument);
    QFETCH(bool, polls);

    QSharedMemory segment(SegmentKey);
    QVERIFY2(fill(segment, record("010#512")), qPrintable(segment.errorString()));
    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(bootArgument);
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    if (polls) {
        QSignalSpy announced(processor, &UiprocDealKeyPress_Vorn_Desktop::sigKeyValueForTest);
        QTest::ignoreMessage(QtDebugMsg, "----------nValue= 512");
        QVERIFY(announced.wait());
        QCOMPARE(host.takeEmissions(),
                 (QStringList{"sig_changeAlpha(64, 512)", "sigKeyValueForTest(10, 512, 0)"}));
    }
    QVERIFY(runEventLoop(100));
    QCOMPARE(host.takeEmissions(), QStringList());
}

void tst_Tbar::reader_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no segment
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("emissions");

    const QStringList none;
    QTest::newRow("no segment") << QByteArray() << 200 << -1 << none;
    QTest::newRow("new position") << record("010#512") << 200 << 100
                                  << QStringList{"sig_changeAlpha(64, 512)",
                                                 "sigKeyValueForTest(10, 512, 0)"};
    QTest::newRow("position already held") << record("010#512") << 512 << -1 << none;
    QTest::newRow("two-digit key code") << record("10#512") << 200 << 100 << none;
    QTest::newRow("key code 11") << record("011#512") << 200 << 100 << none;
    QTest::newRow("oversized segment")
            << record("010#512").leftJustified(4096, '\0') << 200 << 100 << none;
}

// One poll, then a second one of the same segment, which finds nothing new; the
// segment is left as it was.
void tst_Tbar::reader()
{
    QFETCH(QByteArray, content);
    QFETCH(int, held);
    QFETCH(int, result);
    QFETCH(QStringList, emissions);

    QSharedMemory segment(SegmentKey);
    if (!content.isNull())
        QVERIFY2(fill(segment, content), qPrintable(segment.errorString()));
    ProcessorHost host;
    host.start();
    host.processor->setTbarTakeNum(held);

    if (!emissions.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, "----------nValue= 512");
    QCOMPARE(host.processor->readShareMemory(), result);
    QCOMPARE(host.takeEmissions(), emissions);
    QCOMPARE(host.processor->getTbarTakeNum(), emissions.isEmpty() ? held : 512);
    QCOMPARE(host.processor->readShareMemory(), emissions.isEmpty() ? result : -1);
    QCOMPARE(host.takeEmissions(), QStringList());
    if (!content.isNull())
        QCOMPARE(contentOf(segment), content);
}

void tst_Tbar::failedCreation_data()
{
    QTest::addColumn<bool>("debug");
    QTest::newRow("debug trace off") << false;
    QTest::newRow("debug trace on") << true;
}

// Each write replaces the segment. While another process holds the old one the new one
// cannot be created: the write is reported with the reason and lost, the old record
// stays, and a later write succeeds.
void tst_Tbar::failedCreation()
{
    QFETCH(bool, debug);

    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(QStringLiteral("Tbar"));
    Utility_Manage::setDebugEnabled(debug);
    host.start();
    host.processor->writeShareMemory(10, 512);
    host.processor->writeShareMemory(10, 1024);
    QCOMPARE(host.takeEmissions(),
             (QStringList{"sig_writeSMSatus(\"010#512\", \"\")",
                          "sig_writeSMSatus(\"010#1024\", \"\")"}));

    QSharedMemory other(SegmentKey);
    QVERIFY(other.attach(QSharedMemory::ReadOnly));
    if (debug)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(".+")));
    host.processor->writeShareMemory(10, 700);
    QStringList emissions = host.takeEmissions();
    if (debug)
        QCOMPARE(emissions.takeFirst(), QStringLiteral("qmlDebugLogWritten(0, 2)"));
    QCOMPARE(emissions.size(), 1);
    QVERIFY2(emissions.first().startsWith("sig_writeSMSatus(\"010#700\", \"")
                     && !emissions.first().endsWith("\"\")"),
             qPrintable(emissions.first()));
    QCOMPARE(contentOf(other), record("010#1024"));

    QVERIFY(other.detach());
    host.processor->writeShareMemory(10, 700);
    QCOMPARE(host.takeEmissions(), QStringList{"sig_writeSMSatus(\"010#700\", \"\")"});
    QCOMPARE(segmentContent(), record("010#700"));
}

// Two simulators: the T-bar process defers a large jump, announces it and writes it to
// the segment, then pauses holding it; a second process polls the segment for a while
// and announces the position exactly once. Both let go of the segment when they end.
void tst_Tbar::twoProcesses()
{
    QFile trace(m_tempDir.filePath(QStringLiteral("writer.trace")));
    QVERIFY(trace.open(QIODevice::WriteOnly));
    trace.write("tbar 900\npause\n");
    trace.close();

    QProcess writer;
    writer.start(KEYBOARD_SIM, {"--fresh", "--boot-arg", "Tbar", trace.fileName()});
    const auto endWriter = qScopeGuard([&writer] {
        writer.closeWriteChannel();
        writer.waitForFinished(ProcessTimeoutMs);
    });
    QByteArray written;
    while (!written.contains("sig_writeSMSatus")) {
        QVERIFY2(writer.waitForReadyRead(ProcessTimeoutMs), written.constData());
        written += writer.readAllStandardOutput();
    }

    QProcess reader;
    reader.start(KEYBOARD_SIM, {"-"});
    reader.write("call getTbarTakeNum\nwait 100\ncall getTbarTakeNum\n");
    reader.closeWriteChannel();
    QVERIFY(reader.waitForFinished(ProcessTimeoutMs));
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardOutput(), QByteArray(R"({"call":"getTbarTakeNum","return":-1}
{"signal":"sig_changeAlpha","args":{"value":112,"defValue":900}}
{"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":900,"nValue3":0}}
{"call":"getTbarTakeNum","return":900}
)"));

    writer.closeWriteChannel();
    QVERIFY(writer.waitForFinished(ProcessTimeoutMs));
    QCOMPARE(writer.exitCode(), 0);
    QCOMPARE(
            written + writer.readAllStandardOutput(),
            QByteArray(
                    R"({"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":0,"nValue3":0}}
{"host":"dealTbar","alpha":112}
{"signal":"sig_changeAlpha","args":{"value":112,"defValue":900}}
{"signal":"sig_writeSMSatus","args":{"strValue":"010#900","strInfo":""}}
{"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":900,"nValue3":0}}
)"));
    QCOMPARE(segmentContent(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_Tbar)
#include "tst_tbar.moc"
