#include "configfiles.h"
#include "keymapstore.h"
#include "processorhost.h"

#include <QtTest/QtTest>

// The processor as the host sees it beside QML: its message sources and the key remap
// saved when the host disconnects (setModel: tst_hostthreads).
class tst_ProcessorObject : public QObject
{
    Q_OBJECT
private slots:
    void messageSources_data();
    void messageSources();
    void connectMisuseWarns_data();
    void connectMisuseWarns();
    void remapLoadedAtStartSavedAtDisconnect();
};

void tst_ProcessorObject::messageSources_data()
{
    QTest::addColumn<int>("connections");
    QTest::addColumn<bool>("throughUsb");
    QTest::newRow("business object, connected once") << 1 << false;
    QTest::newRow("business object, connected twice") << 2 << false;
    QTest::newRow("USB object") << 1 << true;
    QTest::newRow("USB object, connected twice") << 2 << true;
}

void tst_ProcessorObject::messageSources()
{
    QFETCH(int, connections);
    QFETCH(bool, throughUsb);

    ProcessorHost host;
    host.start();
    if (connections > 1)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("a second time without disconnectBIZ"));
    for (int i = 1; i < connections; ++i)
        host.processor->connectBIZ();
    const model_Protocoldata serial = hostMessage(0x6a, 0x11, 0x12, 0x34);
    const QStringList once{QStringLiteral("sigKeyBoardSN(\"1234\")")};

    throughUsb ? host.sendThroughUsb(serial) : host.send(serial);
    QStringList expected;
    for (int i = 0; i < connections; ++i)
        expected += once;
    QCOMPARE(host.takeEmissions(), expected);

    host.processor->disconnectBIZ();
    host.send(serial);
    host.sendThroughUsb(serial);
    emit host.biz.signalSendReceiveMessage(nullptr);
    host.processor->taskCmdProcess(nullptr);
    QCOMPARE(host.takeEmissions(), QStringList());
}

// Each misuse of connectBIZ() that would go unnoticed gets a warning that says what to do.
void tst_ProcessorObject::connectMisuseWarns_data()
{
    QTest::addColumn<QString>("unset");
    QTest::addColumn<int>("connections");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no business object") << "biz" << 1 << "without the host's business object";
    QTest::newRow("no USB object") << "usb" << 1 << "without the host's USB object";
    QTest::newRow("no take handling") << "take" << 1 << "without the host's take handling";
    QTest::newRow("connected twice") << "" << 2 << "a second time without disconnectBIZ";
}

void tst_ProcessorObject::connectMisuseWarns()
{
    QFETCH(QString, unset);
    QFETCH(int, connections);
    QFETCH(QString, warning);

    ProcessorHost host;
    if (unset == "biz")
        uiprocmain_VORN_Desktop::biz_cmdswork = nullptr;
    else if (unset == "usb")
        uiprocmain_VORN_Desktop::icoreUSB = nullptr;
    else if (unset == "take")
        Public_Desktop::puiTake = nullptr;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning + ".*\\. (Set|Call) "));
    host.start();
    for (int i = 1; i < connections; ++i)
        host.processor->connectBIZ();
    // A host that then does as told gets every message once.
    host.processor->disconnectBIZ();
    uiprocmain_VORN_Desktop::biz_cmdswork = &host.biz;
    uiprocmain_VORN_Desktop::icoreUSB = &host.usb;
    Public_Desktop::puiTake = &host.take;
    host.processor->connectBIZ();
    host.send(hostMessage(0x6a, 0x11, 0x12, 0x34));
    QCOMPARE(host.takeEmissions(), QStringList{QStringLiteral("sigKeyBoardSN(\"1234\")")});
}

// The table comes from the file when the processor starts; whatever the host put into
// the model's table by then goes, whatever it adds later is saved at disconnect.
void tst_ProcessorObject::remapLoadedAtStartSavedAtDisconnect()
{
    ProcessorHost host;
    KeyMapStore(ConfigFiles::keyboardConfigPath()).save({{203, 105}});
    host.model.keyMap = {{999, 1}};
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    QCOMPARE(host.model.keyMap, (QMap<int, int>{{203, 105}}));

    host.model.keyMap.insert(313, 403);
    processor->disconnectBIZ();
    QCOMPARE(KeyMapStore(ConfigFiles::keyboardConfigPath()).load(),
             (QMap<int, int>{{203, 105}, {313, 403}}));
}

QTEST_GUILESS_MAIN(tst_ProcessorObject)
#include "tst_processorobject.moc"
