#include "configfiles.h"
#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QSettings>
#include <QtCore/QSharedMemory>
#include <QtTest/QtTest>

// T-bar calibration from the keyboard configuration, and the timers that announce a
// deferred jump and poll the shared segment, in each process role.
class tst_TbarControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void calibration_data();
    void calibration();
    void calibrationCachedPerObject();
    void deferredJump_data();
    void deferredJump();
    void checkWithNothingWaiting();
    void pollingRole_data();
    void pollingRole();

private:
    QTemporaryDir m_tempDir;
};

namespace {

const QString SegmentKey = QStringLiteral("VTbar");

void writeKeyboardConfig(const QVariantMap &values)
{
    QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

void removeKeyboardConfig(const QString &key)
{
    QSettings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat).remove(key);
}

QByteArray segmentContent()
{
    QSharedMemory segment(SegmentKey);
    if (!segment.attach(QSharedMemory::ReadOnly) || !segment.lock())
        return QByteArray();
    const QByteArray content(static_cast<const char *>(segment.constData()), segment.size());
    segment.unlock();
    return content;
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
    return fired.wait(milliseconds + 10000);
}

} // namespace

void tst_TbarControl::initTestCase()
{
    QVERIFY2(m_tempDir.isValid(), qPrintable(m_tempDir.errorString()));
    // The segment's system key derives from the temporary directory: keep it private.
    qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
}

void tst_TbarControl::calibration_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QVariantMap>("config");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("min");

    QTest::newRow("no file") << false << QVariantMap() << 1024 << 0;
    QTest::newRow("no Tbar group")
            << true << QVariantMap{{"KeyMap/105", 203}, {"Modify/btnKey", "105_0"}} << 1024 << 0;
    QTest::newRow("both limits") << true << QVariantMap{{"Tbar/Max", 1000}, {"Tbar/Min", 20}}
                                 << 1000 << 20;
    QTest::newRow("maximum only") << true << QVariantMap{{"Tbar/Max", 900}} << 900 << 0;
    QTest::newRow("minimum only") << true << QVariantMap{{"Tbar/Min", 30}} << 1024 << 30;
    QTest::newRow("limits in another group")
            << true << QVariantMap{{"Tbar2/Max", 900}, {"Max", 800}} << 1024 << 0;
    QTest::newRow("maximum not a number reads 0")
            << true << QVariantMap{{"Tbar/Max", "high"}, {"Tbar/Min", 20}} << 0 << 20;
    QTest::newRow("minimum not a number reads 0")
            << true << QVariantMap{{"Tbar/Max", 1000}, {"Tbar/Min", "20x"}} << 1000 << 0;
    QTest::newRow("empty maximum reads 0") << true << QVariantMap{{"Tbar/Max", ""}} << 0 << 0;
}

void tst_TbarControl::calibration()
{
    QFETCH(bool, fileExists);
    QFETCH(QVariantMap, config);
    QFETCH(int, max);
    QFETCH(int, min);

    ProcessorHost host;
    if (fileExists)
        writeKeyboardConfig(config);
    host.start();
    QCOMPARE(host.processor->getTbarMax(), max);
    QCOMPARE(host.processor->getTbarMin(), min);

    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), max);
    QCOMPARE(host.processor->getTbarMin(), min);
    QCOMPARE(host.takeEmissions(), QStringList());
}

// A limit read once survives its removal from the file for the life of the object; a
// changed value replaces it, and a new object starts without the cache.
void tst_TbarControl::calibrationCachedPerObject()
{
    ProcessorHost host;
    writeKeyboardConfig({{"Tbar/Max", 1000}, {"Tbar/Min", 20}});
    host.start();

    removeKeyboardConfig(QStringLiteral("Tbar/Max"));
    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), 1000);
    QCOMPARE(host.processor->getTbarMin(), 20);

    removeKeyboardConfig(QStringLiteral("Tbar"));
    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), 1000);
    QCOMPARE(host.processor->getTbarMin(), 20);

    writeKeyboardConfig({{"Tbar/Max", 800}});
    host.processor->readTbarIni();
    QCOMPARE(host.processor->getTbarMax(), 800);
    QCOMPARE(host.processor->getTbarMin(), 20);

    host.processor.reset(new UiprocDealKeyPress_Vorn_Desktop);
    QCOMPARE(host.processor->getTbarMax(), 800);
    QCOMPARE(host.processor->getTbarMin(), 0);
}

void tst_TbarControl::deferredJump_data()
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
// T-bar process has a keyboard of another connect type.
void tst_TbarControl::deferredJump()
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
        QCOMPARE(segmentContent(), QByteArray("010#900\0\0\0\0\0", 12));
    } else {
        QVERIFY(runEventLoop(200));
        QCOMPARE(host.takeEmissions(), QStringList());
        QCOMPARE(segmentContent(), QByteArray());
    }
    QCOMPARE(processor->getTbarTakeNum(), 900);

    // The timer fired once and stopped; nothing waits any more.
    QVERIFY(runEventLoop(200));
    QCOMPARE(host.takeEmissions(), QStringList());

    // A small move is applied at once, in every role.
    host.send(tbarKey(950));
    QCOMPARE(host.takeEmissions(),
             (QStringList{"sigKeyValueForTest(10, 0, 0)", "tbarDealt(118)",
                          "sig_changeAlpha(118, 950)", "sigKeyValueForTest(10, 950, 0)"}));
}

void tst_TbarControl::checkWithNothingWaiting()
{
    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(QStringLiteral("Tbar"));
    host.start();
    host.processor->updateTimerCheckTbar();
    QCOMPARE(host.takeEmissions(), QStringList());
    QCOMPARE(segmentContent(), QByteArray());
}

void tst_TbarControl::pollingRole_data()
{
    QTest::addColumn<QString>("bootArgument");
    QTest::addColumn<bool>("polls");

    QTest::newRow("T-bar process") << "Tbar" << false;
    QTest::newRow("no start argument") << "" << true;
    QTest::newRow("lower case tbar") << "tbar" << true;
    QTest::newRow("Tbar with a blank") << "Tbar " << true;
}

// Only processes other than the T-bar process pick up a position from the segment, by
// themselves, every 10 ms.
void tst_TbarControl::pollingRole()
{
    QFETCH(QString, bootArgument);
    QFETCH(bool, polls);

    QSharedMemory segment(SegmentKey);
    const QByteArray record("010#512\0\0\0\0\0", 12);
    QVERIFY2(segment.create(record.size()), qPrintable(segment.errorString()));
    QVERIFY(segment.lock());
    memcpy(segment.data(), record.constData(), size_t(record.size()));
    QVERIFY(segment.unlock());

    ProcessorHost host;
    uiprocmain_VORN_Desktop::setBootArgv1(bootArgument);
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    if (polls) {
        QSignalSpy announced(processor, &UiprocDealKeyPress_Vorn_Desktop::sigKeyValueForTest);
        QTest::ignoreMessage(QtDebugMsg, "----------nValue= 512");
        QVERIFY(announced.wait());
        QCOMPARE(host.takeEmissions(),
                 (QStringList{"sig_changeAlpha(64, 512)", "sigKeyValueForTest(10, 512, 0)"}));
        QCOMPARE(processor->getTbarTakeNum(), 512);
    }
    // Many more poll periods: a position is announced once, or never by the T-bar process.
    QVERIFY(runEventLoop(100));
    QCOMPARE(host.takeEmissions(), QStringList());
}

QTEST_GUILESS_MAIN(tst_TbarControl)
#include "tst_tbarcontrol.moc"
