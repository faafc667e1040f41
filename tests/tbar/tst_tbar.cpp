#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QProcess>
#include <QtCore/QSharedMemory>
#include <QtTest/QtTest>

// The processor's T-bar with real timers and a real second process: the check timer that
// applies a deferred jump in each process role, and the shared segment that passes
// positions to other processes.
class tst_Tbar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void deferredJump_data();
    void deferredJump();
    void reader_data();
    void reader();
    void failedCreation();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTemporaryDir m_tempDir;
    QPointer<QTimer> m_checkTimer;
};

namespace {

const QString SegmentKey = QStringLiteral("VTbar");
const int ProcessTimeoutMs = 60000;

QByteArray record(const char *text)
{
    return QByteArray(text) + QByteArray(5, '\0');
}

// What the segment holds, through an attachment of its own; null when there is none.
QByteArray segmentContent()
{
    QSharedMemory segment(SegmentKey);
    if (!segment.attach(QSharedMemory::ReadOnly))
        return QByteArray();
    return QByteArray(static_cast<const char *>(segment.constData()), segment.size());
}

// Runs a simulator with the given start argument that asks for the T-bar position, polls for
// 100 ms and asks again; returns what it printed.
QByteArray pollInAnotherProcess(const QString &bootArgument)
{
    QProcess other;
    other.start(KEYBOARD_SIM, {"--fresh", "--boot-arg", bootArgument, "-"});
    other.write("call getTbarTakeNum\nwait 100\ncall getTbarTakeNum\n");
    other.closeWriteChannel();
    if (!other.waitForFinished(ProcessTimeoutMs) || other.exitCode() != 0)
        return other.readAllStandardError();
    return other.readAllStandardOutput();
}

} // namespace

void tst_Tbar::initTestCase()
{
    QVERIFY2(m_tempDir.isValid(), qPrintable(m_tempDir.errorString()));
    // The segment's system key derives from the temporary directory, also in the
    // simulators started here: keep it private.
    qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
    qApp->installEventFilter(this);
}

// Catches the processor's check timer, the only one of 120 ms, as it fires.
bool tst_Tbar::eventFilter(QObject *watched, QEvent *event)
{
    auto *timer = qobject_cast<QTimer *>(watched);
    if (event->type() == QEvent::Timer && timer && timer->interval() == 120)
        m_checkTimer = timer;
    return false;
}

void tst_Tbar::deferredJump_data()
{
    QTest::addColumn<QString>("bootArgument");
    QTest::addColumn<int>("connectType");
    QTest::addColumn<bool>("announced");
    QTest::addColumn<QString>("otherBootArgument");
    QTest::addColumn<bool>("passedOn"); // the other process announces the position

    QTest::newRow("T-bar process, connect type 1") << "Tbar" << 1 << true << "" << true;
    QTest::newRow("T-bar process, connect type 2, another T-bar process")
            << "Tbar" << 2 << true << "Tbar" << false;
    QTest::newRow("other process, connect type 1") << "" << 1 << true << "tbar" << true;
    QTest::newRow("other process, connect type 2") << "" << 2 << false << "" << false;
    QTest::newRow("lower-case tbar, connect type 0") << "tbar" << 0 << false << "" << false;
}

// A jump of 601 or more waits 120 ms for the check timer, which fires once: it announces the
// jump, hands it to the take handling and writes it to the segment, unless a process other
// than the T-bar process has a keyboard of another connect type. The position is kept anyway.
// Another process, unless it is a T-bar process, picks a written position up once.
void tst_Tbar::deferredJump()
{
    QFETCH(QString, bootArgument);
    QFETCH(int, connectType);
    QFETCH(bool, announced);
    QFETCH(QString, otherBootArgument);
    QFETCH(bool, passedOn);

    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(bootArgument);
    Utility_Manage::setConnectType(connectType);
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();

    host.send(keyEvent(10, 900 & 0xff, 900 >> 8));
    if (announced)
        QTest::ignoreMessage(QtDebugMsg, "------KEY_T_BAR-----------temp_TbarValue= 900");
    QTRY_VERIFY(m_checkTimer && !m_checkTimer->isActive());
    const QStringList announcement{"tbarDealt(112)", "sig_changeAlpha(112, 900)",
                                   "sig_writeSMSatus(\"010#900\", \"\")",
                                   "sigKeyValueForTest(10, 900, 0)"};
    QCOMPARE(host.takeEmissions(),
             QStringList{"sigKeyValueForTest(10, 0, 0)"}
                     + (announced ? announcement : QStringList()));
    QCOMPARE(segmentContent(), announced ? record("010#900") : QByteArray());
    processor->updateTimerCheckTbar();
    QCOMPARE(host.takeEmissions(), QStringList());
    QCOMPARE(processor->getTbarTakeNum(), 900);

    const QByteArray unset = "{\"call\":\"getTbarTakeNum\",\"return\":-1}\n";
    const QByteArray polled = R"({"signal":"sig_changeAlpha","args":{"value":112,"defValue":900}}
{"signal":"sigKeyValueForTest","args":{"nValue1":10,"nValue2":900,"nValue3":0}}
{"call":"getTbarTakeNum","return":900}
)";
    QCOMPARE(pollInAnotherProcess(otherBootArgument), unset + (passedOn ? polled : unset));
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
    QTest::newRow("two-digit key code") << record("10#512") << 200 << 100 << none;
    QTest::newRow("key code 11") << record("011#512") << 200 << 100 << none;
}

// One poll, then a second one of the same segment, which finds nothing new: a position
// already held is not announced again.
void tst_Tbar::reader()
{
    QFETCH(QByteArray, content);
    QFETCH(int, held);
    QFETCH(int, result);
    QFETCH(QStringList, emissions);

    QSharedMemory segment(SegmentKey);
    if (!content.isNull()) {
        QVERIFY2(segment.create(content.size()), qPrintable(segment.errorString()));
        memcpy(segment.data(), content.constData(), size_t(content.size()));
    }
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
}

// Each write replaces the segment. While another process holds the old one the new one cannot
// be created: the write is reported with the reason and lost, the old record stays.
void tst_Tbar::failedCreation()
{
    ProcessorHost host;
    Utility_Manage::setDebugEnabled(true);
    host.start();
    host.processor->writeShareMemory(10, 512);
    host.processor->writeShareMemory(10, 1024);
    QCOMPARE(host.takeEmissions(),
             (QStringList{"sig_writeSMSatus(\"010#512\", \"\")",
                          "sig_writeSMSatus(\"010#1024\", \"\")"}));

    QSharedMemory other(SegmentKey);
    QVERIFY(other.attach(QSharedMemory::ReadOnly));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(".+")));
    host.processor->writeShareMemory(10, 700);
    const QString failed = host.takeEmissions().join('\n');
    QVERIFY2(failed.contains(QRegularExpression(
                     R"(^qmlDebugLogWritten\(0, 2\)\nsig_writeSMSatus\("010#700", ".+"\)$)")),
             qPrintable(failed));
    QCOMPARE(segmentContent(), record("010#1024"));
}

QTEST_GUILESS_MAIN(tst_Tbar)
#include "tst_tbar.moc"
