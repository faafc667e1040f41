#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QProcess>
#include <QtCore/QScopeGuard>
#include <QtCore/QSharedMemory>
#include <QtTest/QtTest>

// The shared segment that passes the T-bar position between processes: the reader's
// poll, the writer's report of every write, and two real processes talking through it.
class tst_TbarChannel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void reader_data();
    void reader();
    void writerReplacesItsRecord();
    void writerNoLongerReads();
    void failedCreation_data();
    void failedCreation();
    void twoProcesses();

private:
    QTemporaryDir m_tempDir;
};

namespace {

const QString SegmentKey = QStringLiteral("VTbar");
const int ProcessTimeoutMs = 60000;

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

// Reads the process's output into the buffer until it holds the line.
bool waitForLine(QProcess &process, QByteArray &output, const QByteArray &line)
{
    while (!output.contains(line)) {
        if (!process.waitForReadyRead(ProcessTimeoutMs))
            return false;
        output += process.readAllStandardOutput();
    }
    return true;
}

} // namespace

void tst_TbarChannel::initTestCase()
{
    QVERIFY2(m_tempDir.isValid(), qPrintable(m_tempDir.errorString()));
    // The segment's system key derives from the temporary directory, also in the
    // simulators started here: keep it private.
    qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
}

void tst_TbarChannel::reader_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no segment
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("emissions");
    QTest::addColumn<int>("heldAfter");

    const QStringList none;
    QTest::newRow("no segment") << QByteArray() << 200 << -1 << none << 200;
    QTest::newRow("new position") << record("010#512") << 200 << 100
                                  << QStringList{"sig_changeAlpha(64, 512)",
                                                 "sigKeyValueForTest(10, 512, 0)"}
                                  << 512;
    QTest::newRow("position already held") << record("010#512") << 512 << -1 << none << 512;
    QTest::newRow("before any position")
            << record("010#0") << -1 << 100
            << QStringList{"sig_changeAlpha(0, 0)", "sigKeyValueForTest(10, 0, 0)"} << 0;
    QTest::newRow("negative value, not clamped")
            << record("010#-40") << 200 << 100
            << QStringList{"sig_changeAlpha(-5, -40)", "sigKeyValueForTest(10, -40, 0)"} << -40;
    QTest::newRow("two-digit key code") << record("10#512") << 200 << 100 << none << 200;
    QTest::newRow("key code 11") << record("011#512") << 200 << 100 << none << 200;
    QTest::newRow("oversized segment")
            << record("010#512").leftJustified(4096, '\0') << 200 << 100 << none << 200;
}

// One poll, then a second one of the same segment, which finds nothing new.
void tst_TbarChannel::reader()
{
    QFETCH(QByteArray, content);
    QFETCH(int, held);
    QFETCH(int, result);
    QFETCH(QStringList, emissions);
    QFETCH(int, heldAfter);

    QSharedMemory segment(SegmentKey);
    if (!content.isNull())
        QVERIFY2(fill(segment, content), qPrintable(segment.errorString()));
    ProcessorHost host;
    host.start();
    host.processor->setTbarTakeNum(held);

    if (!emissions.isEmpty())
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("----------nValue= %1").arg(heldAfter)));
    QCOMPARE(host.processor->readShareMemory(), result);
    QCOMPARE(host.takeEmissions(), emissions);
    QCOMPARE(host.processor->getTbarTakeNum(), heldAfter);

    QCOMPARE(host.processor->readShareMemory(), emissions.isEmpty() ? result : -1);
    QCOMPARE(host.takeEmissions(), QStringList());
    if (!content.isNull())
        QCOMPARE(contentOf(segment), content);
}

// Each write replaces the segment by one of the new record's size.
void tst_TbarChannel::writerReplacesItsRecord()
{
    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(QStringLiteral("Tbar"));
    host.start();

    host.processor->writeShareMemory(10, 512);
    QCOMPARE(segmentContent(), record("010#512"));
    host.processor->writeShareMemory(10, 1024);
    QCOMPARE(segmentContent(), record("010#1024"));
    QCOMPARE(host.takeEmissions(),
             (QStringList{"sig_writeSMSatus(\"010#512\", \"\")",
                          "sig_writeSMSatus(\"010#1024\", \"\")"}));
}

// A process that wrote stays attached to its segment, so its own polls find nothing,
// while another reader picks the position up.
void tst_TbarChannel::writerNoLongerReads()
{
    ProcessorHost host;
    host.start();
    host.processor->writeShareMemory(10, 300);
    QCOMPARE(host.processor->readShareMemory(), -1);
    QCOMPARE(host.takeEmissions(), QStringList{"sig_writeSMSatus(\"010#300\", \"\")"});

    UiprocDealKeyPress_Vorn_Desktop other;
    QSignalSpy alpha(&other, &UiprocDealKeyPress_Vorn_Desktop::sig_changeAlpha);
    QTest::ignoreMessage(QtDebugMsg, "----------nValue= 300");
    QCOMPARE(other.readShareMemory(), 100);
    QCOMPARE(alpha.size(), 1);
    QCOMPARE(alpha.first(), (QVariantList{37, 300}));
}

void tst_TbarChannel::failedCreation_data()
{
    QTest::addColumn<bool>("debug");
    QTest::newRow("debug trace off") << false;
    QTest::newRow("debug trace on") << true;
}

// While another process holds the old segment the new one cannot be created: the write
// is reported with the reason and lost, the old record stays, and a later write succeeds.
void tst_TbarChannel::failedCreation()
{
    QFETCH(bool, debug);

    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(QStringLiteral("Tbar"));
    Utility_Manage::setDebugEnabled(debug);
    host.start();
    host.processor->writeShareMemory(10, 512);
    QCOMPARE(host.takeEmissions(), QStringList{"sig_writeSMSatus(\"010#512\", \"\")"});

    QSharedMemory other(SegmentKey);
    QVERIFY(other.attach(QSharedMemory::ReadOnly));
    if (debug)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(".+")));
    host.processor->writeShareMemory(10, 700);
    QStringList emissions = host.takeEmissions();
    if (debug)
        QCOMPARE(emissions.takeFirst(), QStringLiteral("qmlDebugLogWritten(0, 2)"));
    QCOMPARE(emissions.size(), 1);
    QVERIFY2(emissions.first().startsWith(QLatin1String("sig_writeSMSatus(\"010#700\", \""))
                     && emissions.first() != QLatin1String("sig_writeSMSatus(\"010#700\", \"\")"),
             qPrintable(emissions.first()));
    QCOMPARE(contentOf(other), record("010#512"));

    QVERIFY(other.detach());
    host.processor->writeShareMemory(10, 700);
    QCOMPARE(host.takeEmissions(), QStringList{"sig_writeSMSatus(\"010#700\", \"\")"});
    QCOMPARE(segmentContent(), record("010#700"));
}

// Two simulators: the T-bar process defers a large jump, announces it and writes it to
// the segment, then pauses holding it; a second process polls the segment for a while
// and announces the position exactly once. Both let go of the segment when they end.
void tst_TbarChannel::twoProcesses()
{
    const QString writerTrace = m_tempDir.filePath(QStringLiteral("writer.trace"));
    QFile trace(writerTrace);
    QVERIFY(trace.open(QIODevice::WriteOnly));
    trace.write("tbar 900\npause\n");
    trace.close();

    QProcess writer;
    writer.start(QStringLiteral(KEYBOARD_SIM),
                 {QStringLiteral("--fresh"), QStringLiteral("--boot-arg"), QStringLiteral("Tbar"),
                  writerTrace});
    const auto endWriter = qScopeGuard([&writer] {
        writer.closeWriteChannel();
        writer.waitForFinished(ProcessTimeoutMs);
    });
    QByteArray writerOutput;
    const QByteArray written
            = R"({"signal":"sig_writeSMSatus","args":{"strValue":"010#900","strInfo":""}})";
    QVERIFY2(waitForLine(writer, writerOutput, written), writerOutput.constData());

    QProcess reader;
    reader.start(QStringLiteral(KEYBOARD_SIM), {QStringLiteral("-")});
    reader.write("call getTbarTakeNum\nwait 100\ncall getTbarTakeNum\n");
    reader.closeWriteChannel();
    QVERIFY(reader.waitForFinished(ProcessTimeoutMs));
    QCOMPARE(reader.exitStatus(), QProcess::NormalExit);
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardOutput(), QByteArray(R"({"call":"getTbarTakeNum","return":-1}
{"signal":"sig_changeAlpha","args":{"value":112,"defValue":900}}
{"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":900,"nValue3":0}}
{"call":"getTbarTakeNum","return":900}
)"));

    writer.closeWriteChannel();
    QVERIFY(writer.waitForFinished(ProcessTimeoutMs));
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(writer.exitCode(), 0);
    writerOutput += writer.readAllStandardOutput();
    QCOMPARE(
            writerOutput,
            QByteArray(
                    R"({"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":0,"nValue3":0}}
{"host":"dealTbar","alpha":112}
{"signal":"sig_changeAlpha","args":{"value":112,"defValue":900}}
{"signal":"sig_writeSMSatus","args":{"strValue":"010#900","strInfo":""}}
{"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":900,"nValue3":0}}
)"));

    QSharedMemory segment(SegmentKey);
    QVERIFY(!segment.attach(QSharedMemory::ReadOnly));
    QCOMPARE(segment.error(), QSharedMemory::NotFound);
}

QTEST_GUILESS_MAIN(tst_TbarChannel)
#include "tst_tbarchannel.moc"
