#include "processorhost.h"

#include <utility_manage.h>

#include <QtTest/QtTest>

using Messages = QVector<model_Protocoldata>;

// Every host message goes through the business object's queued signal, as in the host.
class tst_CommandIntake : public QObject
{
    Q_OBJECT
private slots:
    void messages_data();
    void messages();
    void nullMessageIgnored();
    void keyboardVersionStoredInModel();
    void oledLineLength_data();
    void oledLineLength();
};

namespace {

model_Protocoldata panelFrame(uchar subCommand, const char *hex)
{
    return hostMessage(0x40, subCommand, 0, 0, 0, QByteArray::fromHex(hex));
}

// A key frame of the panel carrying key code c.
model_Protocoldata panelKey(uchar code)
{
    return hostMessage(0x40, 5, 0, 0, 0, QByteArray::fromHex("cf00") + char(code) + '\x80');
}

} // namespace

void tst_CommandIntake::messages_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    QTest::newRow("keyboard state, all zero")
            << Messages{hostMessage(0xa2, 0x02)}
            << QStringList{"connectToneFlagSet(true)", "sigKeyBoradStates(true)"};
    QTest::newRow("keyboard state, byte 0x2a set")
            << Messages{hostMessage(0xa2, 0x02, 0, 0, 1)}
            << QStringList{"connectToneFlagSet(false)", "sigKeyBoradStates(false)"};
    QTest::newRow("keyboard state, data byte A set")
            << Messages{hostMessage(0xa2, 0x02, 1, 0, 0)}
            << QStringList{"connectToneFlagSet(false)", "sigKeyBoradStates(false)"};
    QTest::newRow("reply class accepted")
            << Messages{hostMessage(0xa2, 0x02, 0, 0, 0, {}, 0x400100)}
            << QStringList{"connectToneFlagSet(true)", "sigKeyBoradStates(true)"};
    QTest::newRow("class 0x400200 dropped")
            << Messages{hostMessage(0xa2, 0x02, 0, 0, 0, {}, 0x400200)} << none;
    QTest::newRow("class 0 dropped") << Messages{hostMessage(0xa2, 0x02, 0, 0, 0, {}, 0)} << none;
    QTest::newRow("keyboard version 605") << Messages{hostMessage(0xa2, 0x15, 0, 0x02, 0x5d)}
                                          << QStringList{"sig_keyBoardVersion(605)"};
    QTest::newRow("serial number, zero-padded lowercase")
            << Messages{hostMessage(0x6a, 0x11, 0x0a, 0xff)}
            << QStringList{"sigKeyBoardSN(\"0aff\")"};
    QTest::newRow("serial number ignores byte 0x2a")
            << Messages{hostMessage(0x6a, 0x11, 0, 5, 0xee)}
            << QStringList{"sigKeyBoardSN(\"0005\")"};
    QTest::newRow("tone processor 1.02")
            << Messages{hostMessage(0x9a, 0xb1, 0, 1, 2)}
            << QStringList{"toneProcVerSet(\"1.02\")", "sendUpdateVersion(\"1.02\")"};
    QTest::newRow("tone processor 0.10")
            << Messages{hostMessage(0x9a, 0xb1, 0, 0, 10)}
            << QStringList{"toneProcVerSet(\"0.10\")", "sendUpdateVersion(\"0.10\")"};
    QTest::newRow("tone processor 255.255")
            << Messages{hostMessage(0x9a, 0xb1, 0, 255, 255)}
            << QStringList{"toneProcVerSet(\"-.-\")", "sendUpdateVersion(\"-.-\")"};
    QTest::newRow("T-bar 0 at the lower limit")
            << Messages{hostMessage(0xa2, 0x18, 0, 0, 0)} << QStringList{"sigTbarValue(0)"};
    QTest::newRow("T-bar 1023 passes") << Messages{hostMessage(0xa2, 0x18, 0, 0x03, 0xff)}
                                       << QStringList{"sigTbarValue(1023)"};
    QTest::newRow("T-bar 65535 clamped") << Messages{hostMessage(0xa2, 0x18, 0, 0xff, 0xff)}
                                         << QStringList{"sigTbarValue(1024)"};
    QTest::newRow("unknown command") << Messages{hostMessage(0x55, 0x02)} << none;
    QTest::newRow("unknown sub-command of 0xa2") << Messages{hostMessage(0xa2, 0x03)} << none;

    // Lock key and group-key modifier.
    QTest::newRow("lock key locks") << Messages{keyEvent(65)} << QStringList{"sig_lock()"};
    QTest::newRow("locked: other keys report, lock key unlocks")
            << Messages{keyEvent(65), keyEvent(405), keyEvent(10, 0, 3), keyEvent(65)}
            << QStringList{"sig_lock()", "sig_updateLockState(405)", "sig_updateLockState(10)",
                           "sig_lock()"};
    QTest::newRow("locked: modifier only reports")
            << Messages{keyEvent(65), keyEvent(83, 5), keyEvent(65), keyEvent(87)}
            << QStringList{"sig_lock()",
                           "sig_updateLockState(83)",
                           "sig_lock()",
                           "sigKeyValueForTest(87, 0, 0)",
                           "sig_keyBoradValue(87)",
                           "sig_tab()"};
    QTest::newRow("modifier held: function-tab key")
            << Messages{keyEvent(83, 5), keyEvent(87)} << QStringList{"sig_fnTab()"};
    QTest::newRow("modifier held: other keys do nothing")
            << Messages{keyEvent(83, 5), keyEvent(86), keyEvent(405), keyEvent(10, 0, 3)} << none;
    QTest::newRow("modifier released")
            << Messages{keyEvent(83, 5), keyEvent(83, 4), keyEvent(87)}
            << QStringList{"sigKeyValueForTest(87, 0, 0)", "sig_keyBoradValue(87)", "sig_tab()"};
    QTest::newRow("modifier held: lock key still locks")
            << Messages{keyEvent(83, 5), keyEvent(65), keyEvent(87)}
            << QStringList{"sig_lock()", "sig_updateLockState(87)"};
    QTest::newRow("high byte of the key value is byte 0x2a")
            << Messages{keyEvent(65), keyEvent(0x4100)}
            << QStringList{"sig_lock()", "sig_updateLockState(16640)"};

    // Panel frames.
    QTest::newRow("panel bank 0") << Messages{panelKey(8)} << QStringList{"sig_changeBank(0)"};
    QTest::newRow("panel bank 7") << Messages{panelKey(64)} << QStringList{"sig_changeBank(7)"};
    QTest::newRow("panel output 0") << Messages{panelKey(14)} << QStringList{"sig_changeOutput(0)"};
    QTest::newRow("panel output 7") << Messages{panelKey(70)} << QStringList{"sig_changeOutput(7)"};
    QTest::newRow("panel input 0") << Messages{panelKey(12)} << QStringList{"sig_changeInput(0)"};
    QTest::newRow("panel input 7") << Messages{panelKey(68)} << QStringList{"sig_changeInput(7)"};
    QTest::newRow("panel code 72 beyond the banks") << Messages{panelKey(72)} << none;
    QTest::newRow("panel code 11") << Messages{panelKey(11)} << none;
    QTest::newRow("panel cut") << Messages{panelKey(91)} << QStringList{"sig_doCut()"};
    QTest::newRow("panel take") << Messages{panelKey(83)} << QStringList{"sig_doTake()"};
    QTest::newRow("panel key, sub-command 4") << Messages{panelFrame(4, "cf000880")} << none;
    QTest::newRow("panel key, sub-command 255")
            << Messages{panelFrame(255, "cf000880")} << QStringList{"sig_changeBank(0)"};
    QTest::newRow("panel key without marker") << Messages{panelFrame(5, "cf000881")} << none;
    QTest::newRow("panel key, 3 bytes") << Messages{panelFrame(5, "cf0008")} << none;
    QTest::newRow("panel T-bar, unclamped")
            << Messages{panelFrame(0, "cd0000ffff")} << QStringList{"sigTbarValue(65535)"};
    QTest::newRow("panel T-bar 258")
            << Messages{panelFrame(0, "cd00000102aa")} << QStringList{"sigTbarValue(258)"};
    QTest::newRow("panel T-bar, 4 bytes") << Messages{panelFrame(0, "cd000001")} << none;
    QTest::newRow("panel frame, empty") << Messages{panelFrame(5, "")} << none;
}

void tst_CommandIntake::messages()
{
    QFETCH(Messages, messages);
    QFETCH(QStringList, expected);

    ProcessorHost host;
    host.start();
    for (const model_Protocoldata &message : messages)
        host.send(message);
    QCOMPARE(host.takeEmissions(), expected);
}

void tst_CommandIntake::nullMessageIgnored()
{
    ProcessorHost host;
    host.start();
    emit host.biz.signalSendReceiveMessage(nullptr);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(host.takeEmissions(), QStringList());
}

void tst_CommandIntake::keyboardVersionStoredInModel()
{
    ProcessorHost host;
    host.start();
    host.send(hostMessage(0xa2, 0x15, 0, 0x02, 0x5d, {}, 0x400100));
    QCOMPARE(host.model.keyBoardVersion, 605);
}

void tst_CommandIntake::oledLineLength_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("oledLength");
    QTest::newRow("1.02") << 1 << 2 << 30;
    QTest::newRow("0.10") << 0 << 10 << 10;
    QTest::newRow("0.11") << 0 << 11 << 30;
    QTest::newRow("no tone processor") << 255 << 255 << 30;
}

void tst_CommandIntake::oledLineLength()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, oledLength);

    ProcessorHost host;
    host.start();
    host.send(hostMessage(0x9a, 0xb1, 0, uchar(major), uchar(minor)));
    QCOMPARE(Model_VOrnParam::gOledLength, quint64(oledLength));
}

QTEST_GUILESS_MAIN(tst_CommandIntake)
#include "tst_commandintake.moc"
