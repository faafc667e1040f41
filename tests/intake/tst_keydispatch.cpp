#include "configfiles.h"
#include "processorhost.h"

#include <utility_manage.h>

#include <QtTest/QtTest>

using Keys = QVector<model_Protocoldata>;
using KeyMap = QMap<int, int>;

// Key events go through the business object's queued signal, as in the host. Each
// row starts with an idle key-rate guard.
class tst_KeyDispatch : public QObject
{
    Q_OBJECT
private slots:
    void keyTable_data();
    void keyTable();
    void keyRateGuard_data();
    void keyRateGuard();
    void guardSharedByInstances();
    void tbarKey_data();
    void tbarKey();
    void lookups();
};

namespace {

// The T-bar key carries its reading in data byte A (high) and the sub-command byte (low).
model_Protocoldata tbar(quint16 raw)
{
    return keyEvent(10, uchar(raw & 0xff), uchar(raw >> 8));
}

void deliver(UiprocDealKeyPress_Vorn_Desktop &processor, model_Protocoldata message)
{
    processor.taskCmdProcess(&message);
}

QStringList pressed(int raw, int mapped, const QString &action)
{
    QStringList emissions{QStringLiteral("sigKeyValueForTest(%1, 0, 0)").arg(raw),
                          QStringLiteral("sig_keyBoradValue(%1)").arg(mapped)};
    if (!action.isEmpty())
        emissions.append(action);
    return emissions;
}

QStringList pressed(int key, const QString &action)
{
    return pressed(key, key, action);
}

void writeKeyboardConfig(const QVariantMap &values)
{
    QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        settings.setValue(value.key(), value.value());
}

} // namespace

void tst_KeyDispatch::keyTable_data()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<KeyMap>("keyMap");
    QTest::addColumn<int>("keyBoardVersion");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<QStringList>("expected");

    const KeyMap none;
    // One key each: the action after its key value is reported.
    // clang-format off
    const struct
    {
        quint16 key;
        const char *action;
    } singleKeys[] = {
            {100, "sig_sync()"}, {101, "sig_BankPageUp()"}, {102, "sig_BankPageDown()"},
            {103, "sig_BankSave()"}, {104, "sig_BankClear()"}, {105, "sig_changeBank(0)"},
            {120, "sig_changeBank(15)"}, {121, "sig_otherKeyBoradValue(121)"},
            {200, "sig_shortCutUserDefine()"}, {201, "sig_shortCutUp()"},
            {202, "sig_shortCutDown()"}, {203, "sig_shortCut(0)"}, {218, "sig_shortCut(15)"},
            {219, "sig_testPattern()"}, {300, "sig_changeSelect()"}, {301, "sig_LayerPageUp()"},
            {302, "sig_LayerPageDown()"}, {303, "sig_allLayers()"}, {304, "sig_deleteLayer()"},
            {305, "sig_setScale(305)"}, {306, "sig_maximize()"}, {307, "sig_setPos(307)"},
            {308, "sig_setCrop()"}, {309, "sig_layerAttribute(\"X\")"},
            {310, "sig_layerAttribute(\"Y\")"}, {311, "sig_layerAttribute(\"H\")"},
            {312, "sig_layerAttribute(\"V\")"}, {313, "sig_creatNewLayer(0)"},
            {328, "sig_creatNewLayer(15)"}, {400, "sig_inputUser()"}, {401, "sig_inputPageUp()"},
            {402, "sig_inputPageDown()"}, {403, "sig_changeInput(0)"}, {418, "sig_changeInput(15)"},
            {500, "sig_outputUser()"}, {501, "sig_outputPageUp()"}, {502, "sig_outputPageDown()"},
            {503, "sig_allOutPut()"}, {504, "sig_clearOutput()"}, {505, "sig_changeOutput(0)"},
            {520, "sig_changeOutput(15)"}, {20, "sig_numberKey(0)"}, {29, "sig_numberKey(9)"},
            {31, "sig_enter()"}, {86, "sig_enter()"}, {32, "sig_deleteNum()"},
            {80, "sig_deleteNum()"}, {87, "sig_tab()"}, {56, "sig_doTake()"}, {57, "sig_doCut()"},
            {58, "sig_dimmer()"}, {59, "sig_black()"}, {60, "sig_wipe()"}, {61, "sig_mix()"},
            {62, "sig_matchPGM()"}, {63, "sig_freezePST()"}, {64, "sig_freezePGM()"},
            {66, "sig_sel()"}, {79, ""}, {34, "sig_otherKeyBoradValue(34)"},
            {81, "sig_otherKeyBoradValue(81)"}, {0, "sig_otherKeyBoradValue(0)"},
            {611, "sig_otherKeyBoradValue(611)"}, {65535, "sig_otherKeyBoradValue(65535)"},
    };
    // clang-format on
    for (const auto &single : singleKeys) {
        QTest::addRow("key %d", single.key)
                << Keys{keyEvent(single.key)} << none << -1 << 0
                << pressed(single.key, QString::fromLatin1(single.action));
    }

    QTest::newRow("rocker 0: 16-bit step from bytes A and B")
            << Keys{keyEvent(13, 0x34, 0x12)} << none << -1 << 0
            << pressed(13, "sig_Rocker(0, 4660, 0)")
                    + QStringList{"sigKeyValueForTest(13, 4660, 0)"};
    QTest::newRow("rocker 3") << Keys{keyEvent(16, 1)} << none << -1 << 0
                              << pressed(16, "sig_Rocker(3, 1, 0)")
                    + QStringList{"sigKeyValueForTest(16, 1, 0)"};
    QTest::newRow("rocker 4: raw bytes") << Keys{keyEvent(601, 0x34, 0x12)} << none << -1 << 0
                                         << pressed(601, "sig_Rocker(4, 18, 52)")
                    + QStringList{"sigKeyValueForTest(601, 18, 52)"};
    QTest::newRow("rocker 7") << Keys{keyEvent(604, 2, 0xff)} << none << -1 << 0
                              << pressed(604, "sig_Rocker(7, 255, 2)")
                    + QStringList{"sigKeyValueForTest(604, 255, 2)"};
    QTest::newRow("rocker 8") << Keys{keyEvent(17, 7, 9)} << none << -1 << 0
                              << pressed(17, "sig_Rocker(8, 9, 7)")
                    + QStringList{"sigKeyValueForTest(17, 9, 7)"};
    QTest::newRow("rocker 9") << Keys{keyEvent(18)} << none << -1 << 0
                              << pressed(18, "sig_Rocker(9, 0, 0)")
                    + QStringList{"sigKeyValueForTest(18, 0, 0)"};

    QTest::newRow("remapped shortcut acts as bank")
            << Keys{keyEvent(203)} << KeyMap{{203, 105}} << -1 << 0
            << pressed(203, 105, "sig_changeBank(0)");
    QTest::newRow("self-mapped key") << Keys{keyEvent(405)} << KeyMap{{405, 405}} << -1 << 0
                                     << pressed(405, "sig_changeInput(2)");
    QTest::newRow("remap to the T-bar key")
            << Keys{keyEvent(40)} << KeyMap{{40, 10}} << -1 << 0
            << QStringList{"sigKeyValueForTest(40, 0, 0)", "tbarDealt(0)", "sig_changeAlpha(0, 0)",
                           "sigKeyValueForTest(10, 0, 0)"};
    QTest::newRow("remap acts on the low 16 bits")
            << Keys{keyEvent(105)} << KeyMap{{105, 0x10000 + 403}} << -1 << 0
            << pressed(105, 403, "sig_changeInput(0)");
    QTest::newRow("remap to key 65, which does nothing more")
            << Keys{keyEvent(40)} << KeyMap{{40, 65}} << -1 << 0 << pressed(40, 65, QString());
    QTest::newRow("remap to an unknown key") << Keys{keyEvent(105)} << KeyMap{{105, 999}} << -1 << 0
                                             << pressed(105, 999, "sig_otherKeyBoradValue(999)");

    const KeyMap remapAll{{203, 105}, {67, 56}, {611, 57}};
    QTest::newRow("layout 2: container keys bypass the remap")
            << Keys{keyEvent(203), keyEvent(218)} << remapAll << 2 << 0
            << QStringList{"sig_Container(0)", "sig_warrFreqMsg()", "sig_Container(15)"};
    QTest::newRow("layout 2: direct shortcuts")
            << Keys{keyEvent(67), keyEvent(78)} << remapAll << 2 << 0
            << QStringList{"sig_shortCut(0)", "sig_warrFreqMsg()", "sig_shortCut(11)"};
    QTest::newRow("layout 2: move and knob keys")
            << Keys{keyEvent(96), keyEvent(99), keyEvent(611), keyEvent(618)} << remapAll << 2 << 0
            << QStringList{"sig_Move(0)", "sig_warrFreqMsg()", "sig_Move(3)", "sig_warrFreqMsg()",
                           "sig_Knob(0)", "sig_warrFreqMsg()", "sig_Knob(7)"};
    QTest::newRow("layout 2: other keys as usual")
            << Keys{keyEvent(219)} << none << 2 << 0 << pressed(219, "sig_testPattern()");

    const QStringList shortcut11 = pressed(214, "sig_shortCut(11)");
    QTest::newRow("lock key is a shortcut elsewhere")
            << Keys{keyEvent(214)} << none << -1 << 0x900000 << shortcut11;
    for (int deviceType : {0xA00000, 0x800000}) {
        const QByteArray prefix = "device " + QByteArray::number(deviceType, 16) + ": ";
        QTest::newRow(prefix + "locking press swallowed, keys blocked")
                << Keys{keyEvent(214), keyEvent(105), keyEvent(66), keyEvent(20)} << none << -1
                << deviceType << QStringList();
        QTest::newRow(prefix + "T-bar still works while blocked")
                << Keys{keyEvent(214), tbar(16)} << none << -1 << deviceType
                << QStringList{"sigKeyValueForTest(10, 0, 0)", "tbarDealt(2)",
                               "sig_changeAlpha(2, 16)", "sigKeyValueForTest(10, 16, 0)"};
        QTest::newRow(prefix + "unlocking press goes through")
                << Keys{keyEvent(214), keyEvent(105), keyEvent(214)} << none << -1 << deviceType
                << shortcut11;
        QTest::newRow(prefix + "lock is on the raw key, before the remap")
                << Keys{keyEvent(105), keyEvent(214)} << KeyMap{{105, 214}, {214, 56}} << -1
                << deviceType << pressed(105, 214, "sig_shortCut(11)");
    }
}

void tst_KeyDispatch::keyTable()
{
    QFETCH(Keys, keys);
    QFETCH(KeyMap, keyMap);
    QFETCH(int, keyBoardVersion);
    QFETCH(int, deviceType);
    QFETCH(QStringList, expected);

    ProcessorHost host;
    Utility_Manage::setDeviceType(deviceType);
    host.start()->setKeyBoardVer(keyBoardVersion);
    host.model.keyMap = keyMap;
    for (const model_Protocoldata &key : keys)
        host.send(key);
    QCOMPARE(host.takeEmissions(), expected);
}

void tst_KeyDispatch::keyRateGuard_data()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("second key within the window is flagged, then served")
            << Keys{keyEvent(56), keyEvent(57)}
            << pressed(56, "sig_doTake()") + QStringList{"sig_warrFreqMsg()"}
                    + pressed(57, "sig_doCut()");
    QTest::newRow("digits never arm the guard") << Keys{keyEvent(21), keyEvent(22), keyEvent(23)}
                                                << pressed(21, "sig_numberKey(1)")
                    + pressed(22, "sig_numberKey(2)") + pressed(23, "sig_numberKey(3)");
    QTest::newRow("T-bar never arms the guard, but is flagged while armed")
            << Keys{tbar(16), keyEvent(21), keyEvent(56), tbar(24)}
            << QStringList{"sigKeyValueForTest(10, 0, 0)", "tbarDealt(2)", "sig_changeAlpha(2, 16)",
                           "sigKeyValueForTest(10, 16, 0)"}
                    + pressed(21, "sig_numberKey(1)") + pressed(56, "sig_doTake()")
                    + QStringList{"sig_warrFreqMsg()", "sigKeyValueForTest(10, 0, 0)",
                                  "tbarDealt(3)", "sig_changeAlpha(3, 24)",
                                  "sigKeyValueForTest(10, 24, 0)"};
    QTest::newRow("digit flagged while armed") << Keys{keyEvent(105), keyEvent(20)}
                                               << pressed(105, "sig_changeBank(0)")
                    + QStringList{"sig_warrFreqMsg()"} + pressed(20, "sig_numberKey(0)");
}

// The guard's own timer returns it to idle; a key after that is not flagged.
void tst_KeyDispatch::keyRateGuard()
{
    QFETCH(Keys, keys);
    QFETCH(QStringList, expected);

    ProcessorHost host;
    host.start();
    for (const model_Protocoldata &key : keys)
        host.send(key);
    QCOMPARE(host.takeEmissions(), expected);

    if (!UiprocDealKeyPress_Vorn_Desktop::keyFlag) {
        QSignalSpy expired(&UiprocDealKeyPress_Vorn_Desktop::keyTimer, &QTimer::timeout);
        QVERIFY(expired.wait(2000));
        QVERIFY(UiprocDealKeyPress_Vorn_Desktop::keyFlag);
        QVERIFY(!UiprocDealKeyPress_Vorn_Desktop::keyTimer.isActive());
    }
    host.send(keyEvent(105));
    QCOMPARE(host.takeEmissions(), pressed(105, "sig_changeBank(0)"));
}

void tst_KeyDispatch::guardSharedByInstances()
{
    ProcessorHost host;
    host.start();
    UiprocDealKeyPress_Vorn_Desktop other;
    QSignalSpy flagged(&other, &UiprocDealKeyPress_Vorn_Desktop::sig_warrFreqMsg);

    host.send(keyEvent(105));
    deliver(other, keyEvent(106));
    QCOMPARE(flagged.count(), 1);

    QSignalSpy expired(&UiprocDealKeyPress_Vorn_Desktop::keyTimer, &QTimer::timeout);
    QVERIFY(expired.wait(2000));
    deliver(other, keyEvent(107));
    QCOMPARE(flagged.count(), 1);
    QVERIFY(!UiprocDealKeyPress_Vorn_Desktop::keyFlag);
}

void tst_KeyDispatch::tbarKey_data()
{
    QTest::addColumn<QVariantMap>("config");
    QTest::addColumn<QVector<quint16>>("readings");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("takeNum");

    const QVariantMap limits{{"Tbar/Min", 100}, {"Tbar/Max", 900}};
    const QVariantMap fullScale;
    const auto applied = [](int alpha, int position) {
        return QStringList{"sigKeyValueForTest(10, 0, 0)",
                           QStringLiteral("tbarDealt(%1)").arg(alpha),
                           QStringLiteral("sig_changeAlpha(%1, %2)").arg(alpha).arg(position),
                           QStringLiteral("sigKeyValueForTest(10, %1, 0)").arg(position)};
    };
    const QStringList unchanged{"sigKeyValueForTest(10, 0, 0)"};

    QTest::newRow("at the lower limit") << limits << QVector<quint16>{100} << applied(0, 0) << 0;
    QTest::newRow("below the lower limit") << limits << QVector<quint16>{50} << applied(0, 0) << 0;
    QTest::newRow("inside the limits")
            << limits << QVector<quint16>{500} << applied(62, 500) << 500;
    QTest::newRow("just below the upper limit")
            << limits << QVector<quint16>{500, 899} << applied(62, 500) + applied(112, 899) << 899;
    QTest::newRow("above the upper limit, after a near reading")
            << limits << QVector<quint16>{500, 950} << applied(62, 500) + applied(128, 1024)
            << 1024;
    QTest::newRow("same alpha: nothing, position kept")
            << fullScale << QVector<quint16>{500, 503} << applied(62, 500) + unchanged << 500;
    QTest::newRow("new alpha") << fullScale << QVector<quint16>{500, 520}
                               << applied(62, 500) + applied(65, 520) << 520;
    QTest::newRow("first reading far from start waits")
            << fullScale << QVector<quint16>{600} << QStringList(unchanged) << 600;
    QTest::newRow("first reading near start applies")
            << fullScale << QVector<quint16>{599} << applied(74, 599) << 599;
    QTest::newRow("jump waits, a near reading applies at once")
            << fullScale << QVector<quint16>{100, 900, 910}
            << applied(12, 100) + unchanged + applied(113, 910) << 910;
    QTest::newRow("jump of exactly 600 applies") << fullScale << QVector<quint16>{100, 700}
                                                 << applied(12, 100) + applied(87, 700) << 700;
    QTest::newRow("reading above the 16-bit sign")
            << fullScale << QVector<quint16>{0x8000} << QStringList(unchanged) << 1024;
    QTest::newRow("inverted limits clamp to zero")
            << QVariantMap{{"Tbar/Min", 900}, {"Tbar/Max", 100}} << QVector<quint16>{500}
            << applied(0, 0) << 0;
}

// The check timer that applies a waiting position is not run here: no event loop turns
// between the readings.
void tst_KeyDispatch::tbarKey()
{
    QFETCH(QVariantMap, config);
    QFETCH(QVector<quint16>, readings);
    QFETCH(QStringList, expected);
    QFETCH(int, takeNum);

    ProcessorHost host;
    writeKeyboardConfig(config);
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    for (quint16 reading : readings)
        deliver(*processor, tbar(reading));
    QCOMPARE(host.takeEmissions(), expected);
    QCOMPARE(processor->getTbarTakeNum(), takeNum);
}

// Key value -> result of the three lookups, at the edges of their tables.
void tst_KeyDispatch::lookups()
{
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    host.model.keyMap = KeyMap{{105, 403}, {106, 0x10000 + 403}};
    QCOMPARE(processor->keyTransform(203), 203);
    QCOMPARE(processor->keyTransform(105), 403);
    QCOMPARE(processor->keyTransform(106), 0x10000 + 403);

    const int groups[][2] = {{104, 0}, {105, 1}, {120, 1}, {121, 0}, {202, 0}, {203, 2},  {215, 2},
                             {216, 0}, {312, 0}, {313, 3}, {328, 3}, {402, 0}, {403, 6},  {418, 6},
                             {504, 0}, {505, 5}, {520, 5}, {521, 0}, {0, 0},   {65535, 0}};
    for (const auto &row : groups)
        QVERIFY2(processor->getGroupIdByKeyValue(quint16(row[0])) == row[1],
                 qPrintable(QString::number(row[0])));

    const int shortcuts[][2]
            = {{0, 0}, {2, 10}, {6, 12}, {11, 13}, {15, 0}, {16, 16}, {-1, -1}, {INT_MIN, INT_MIN}};
    for (const auto &row : shortcuts)
        QCOMPARE(processor->effectToShortIndex(row[0]), row[1]);
}

QTEST_GUILESS_MAIN(tst_KeyDispatch)
#include "tst_keydispatch.moc"
