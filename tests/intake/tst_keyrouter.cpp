#include "keyrouter.h"

#include <QtCore/QMetaEnum>
#include <QtTest/QtTest>

using KeyMap = QMap<int, int>;

// Key events to routes, on values alone: the keyboard lock, the group-key modifier, the
// device key lock, the key-rate guard, the version-2 direct keys and the remap. What each
// key of the key table emits is replayed by the keytable golden trace.
class tst_KeyRouter : public QObject
{
    Q_OBJECT
private slots:
    void routes_data();
    void routes();
};

namespace {

struct Press
{
    int key;
    int a = 0;
    int b = 0;
};

// "ChangeBank(0)" per emission, then the route's flags and the state after it.
QString describe(const KeyRoute &route)
{
    const QMetaEnum names = QMetaEnum::fromType<KeySignal::Name>();
    QStringList parts;
    for (int i = 0; i < route.count; ++i) {
        const KeySignal &signal = route.emissions[i];
        int used = 3;
        while (used > 0 && signal.args[used - 1] == 0)
            --used;
        QStringList args;
        for (int a = 0; a < used; ++a)
            args << QString::number(signal.args[a]);
        parts << QStringLiteral("%1(%2)").arg(names.valueToKey(signal.name), args.join(", "));
    }
    if (route.armGuard)
        parts << QStringLiteral("guard");
    if (route.tbar)
        parts << QStringLiteral("tbar %1").arg(route.tbarRaw);
    if (route.groupKey)
        parts << QStringLiteral("group key");
    const KeyState &s = route.state;
    parts << QStringLiteral("%1%2%3").arg(s.locked ? "L" : "-", s.groupKeyMode ? "G" : "-",
                                          s.keysBlocked ? "B" : "-");
    return parts.join(QStringLiteral(" "));
}

} // namespace

Q_DECLARE_METATYPE(QVector<Press>)

void tst_KeyRouter::routes_data()
{
    QTest::addColumn<QVector<Press>>("presses");
    QTest::addColumn<bool>("guardArmed");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("version");
    QTest::addColumn<KeyMap>("keyMap");
    QTest::addColumn<QStringList>("routes");

    const KeyMap none;
    QTest::newRow("lock key locks; locked keys are reported, the modifier too; it unlocks")
            << QVector<Press>{{65}, {405}, {83, 0, 5}, {65}} << false << 0 << -1 << none
            << QStringList{"Lock() L--", "UpdateLockState(405) L--", "UpdateLockState(83) L--",
                           "Lock() ---"};
    QTest::newRow("modifier held: only the function-tab key acts; the lock key still does")
            << QVector<Press>{{83, 0, 5}, {87}, {86}, {65}, {65}, {83, 0, 4}, {87}} << false << 0
            << -1 << none
            << QStringList{"-G-",
                           "FnTab() group key -G-",
                           "group key -G-",
                           "Lock() LG-",
                           "Lock() -G-",
                           "---",
                           "KeyValueForTest(87) KeyBoradValue(87) Tab() guard ---"};
    QTest::newRow("guard armed: flagged first, not armed again")
            << QVector<Press>{{56}} << true << 0 << -1 << none
            << QStringList{"WarrFreqMsg() KeyValueForTest(56) KeyBoradValue(56) DoTake() ---"};
    QTest::newRow("digits and the T-bar never arm the guard")
            << QVector<Press>{{20}, {29}, {10, 1, 0xf4}, {30}} << false << 0 << -1 << none
            << QStringList{
                       "KeyValueForTest(20) KeyBoradValue(20) NumberKey() ---",
                       "KeyValueForTest(29) KeyBoradValue(29) NumberKey(9) ---",
                       "KeyValueForTest(10) tbar 500 ---",
                       "KeyValueForTest(30) KeyBoradValue(30) OtherKeyBoradValue(30) guard ---"};
    QTest::newRow("device lock: 214 blocks, the T-bar passes, 214 unblocks and acts")
            << QVector<Press>{{214}, {105}, {10, 0, 16}, {214}} << false << 0xA00000 << -1 << none
            << QStringList{"--B", "--B", "KeyValueForTest(10) tbar 16 --B",
                           "KeyValueForTest(214) KeyBoradValue(214) ShortCut(11) guard ---"};
    QTest::newRow("device lock on the raw key, before the remap")
            << QVector<Press>{{105}, {214}} << false << 0x800000 << -1
            << KeyMap{{105, 214}, {214, 56}}
            << QStringList{"KeyValueForTest(105) KeyBoradValue(214) ShortCut(11) guard ---", "--B"};
    QTest::newRow("other devices: 214 is a shortcut key")
            << QVector<Press>{{214}} << false << 0x900000 << -1 << none
            << QStringList{"KeyValueForTest(214) KeyBoradValue(214) ShortCut(11) guard ---"};
    QTest::newRow("version 2: direct keys before the remap, others as usual")
            << QVector<Press>{{203}, {618}, {219}} << false << 0 << 2 << KeyMap{{203, 105}}
            << QStringList{"Container() guard ---", "Knob(7) guard ---",
                           "KeyValueForTest(219) KeyBoradValue(219) TestPattern() guard ---"};
    QTest::newRow("remap: onto a bank, the T-bar, the low 16 bits, nothing, unknown")
            << QVector<Press>{{203}, {40, 0, 0x20}, {106}, {107}, {108}} << false << 0 << -1
            << KeyMap{{203, 105}, {40, 10}, {106, 0x10000 + 403}, {107, 65}, {108, 999}}
            << QStringList{"KeyValueForTest(203) KeyBoradValue(105) ChangeBank() guard ---",
                           "KeyValueForTest(40) guard tbar 32 ---",
                           "KeyValueForTest(106) KeyBoradValue(403) ChangeInput() guard ---",
                           "KeyValueForTest(107) KeyBoradValue(65) guard ---",
                           "KeyValueForTest(108) KeyBoradValue(999) OtherKeyBoradValue(999) "
                           "guard ---"};
}

void tst_KeyRouter::routes()
{
    QFETCH(QVector<Press>, presses);
    QFETCH(bool, guardArmed);
    QFETCH(int, deviceType);
    QFETCH(int, version);
    QFETCH(KeyMap, keyMap);
    QFETCH(QStringList, routes);

    KeyState state;
    QStringList got;
    for (const Press &press : presses) {
        const KeyRoute route = KeyRouter::keyEvent({press.key, press.a, press.b}, state,
                                                   {guardArmed, deviceType, version, keyMap});
        got << describe(route);
        state = route.state;
    }
    QCOMPARE(got, routes);
}

QTEST_GUILESS_MAIN(tst_KeyRouter)
#include "tst_keyrouter.moc"
