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
