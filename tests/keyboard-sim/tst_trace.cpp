#include "trace.h"

#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QMetaMethod>
#include <QtTest/QtTest>

// Trace lines as the simulator reads them; a malformed trace must name its line.
class tst_Trace : public QObject
{
    Q_OBJECT
private slots:
    void wellFormed_data();
    void wellFormed();
    void malformed_data();
    void malformed();
};

namespace {

QString describe(const TraceLine &line)
{
    switch (line.kind) {
    case TraceLine::Message:
        return QStringLiteral("msg %1 %2 %3 %4 %5 class=%6 payload=%7")
                .arg(line.message.command, 2, 16, QLatin1Char('0'))
                .arg(line.message.subCommand, 2, 16, QLatin1Char('0'))
                .arg(line.message.dataA, 2, 16, QLatin1Char('0'))
                .arg(line.message.byte29, 2, 16, QLatin1Char('0'))
                .arg(line.message.byte2A, 2, 16, QLatin1Char('0'))
                .arg(line.message.messageClass, 0, 16)
                .arg(QString::fromLatin1(line.message.payload.toHex()));
    case TraceLine::Call: {
        QStringList arguments;
        for (const QVariant &argument : line.arguments)
            arguments.append(QStringLiteral("%1:%2").arg(QLatin1String(argument.typeName()),
                                                         argument.toString()));
        const QMetaMethod method
                = UiprocDealKeyPress_Vorn_Desktop::staticMetaObject.method(line.methodIndex);
        return QStringLiteral("call %1 %2")
                .arg(QLatin1String(method.methodSignature()), arguments.join(QLatin1Char(' ')));
    }
    case TraceLine::Pause:
        return QStringLiteral("pause");
    default:
        return QStringLiteral("other");
    }
    return QString();
}

} // namespace

void tst_Trace::wellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("message with defaults")
            << "msg 0xa2 0x02 0 0 0" << QStringList{"msg a2 02 00 00 00 class=400000 payload="};
    QTest::newRow("message with class and payload")
            << R"(msg 0xf1 0x43 0 0 0 class=0x400100 payload 0 105 "AB":4 zeros:2 "xy" "long":2)"
            << QStringList{"msg f1 43 00 00 00 class=400100 payload=00694142000000007879"
                           "6c6f"};
    QTest::newRow("payload text keeps #, comment after it")
            << R"(msg 1 2 3 4 5 payload "a#b" # note)"
            << QStringList{"msg 01 02 03 04 05 class=400000 payload=612362"};
    QTest::newRow("key") << "key 405" << QStringList{"msg a0 00 00 95 01 class=400000 payload="};
    QTest::newRow("key with data bytes")
            << "key 13 a=1 b=0x20" << QStringList{"msg a0 20 01 0d 00 class=400000 payload="};
    QTest::newRow("T-bar") << "tbar 0x1ff"
                           << QStringList{"msg a0 ff 01 0a 00 class=400000 payload="};
    QTest::newRow("call without arguments")
            << "call getTbarMax" << QStringList{"call getTbarMax() "};
    QTest::newRow("call of the cloned overload")
            << "call setKeyBoardVer" << QStringList{"call setKeyBoardVer() "};
    QTest::newRow("call with a negative integer")
            << "call setKeyBoardVer -7" << QStringList{"call setKeyBoardVer(int) int:-7"};
    QTest::newRow("call with integer and string")
            << R"(call writeLogForTbarTest 0x3 "a \"b\"")"
            << QStringList{"call writeLogForTbarTest(int,QString) int:3 QString:a \"b\""};
    QTest::newRow("call with a boolean")
            << "call setLockState true" << QStringList{"call setLockState(bool) bool:true"};
    QTest::newRow("pause") << "pause # until stdin has a line" << QStringList{"pause"};
}

void tst_Trace::wellFormed()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);

    const Trace trace = Trace::parse(text);
    QVERIFY2(trace.isValid(), qPrintable(trace.errorReason()));
    QStringList actual;
    for (const TraceLine &line : trace.lines())
        actual.append(describe(line));
    QCOMPARE(actual, lines);
}

void tst_Trace::malformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QTest::newRow("unknown kind") << "frobnicate 1" << 1 << "unknown line kind: frobnicate";
    QTest::newRow("short message") << "key 1\n\nmsg 1 2 3" << 3
                                   << "usage: msg CMD SUB A B29 B2A [class=N] [payload TOKENS...]";
    QTest::newRow("byte out of range")
            << "msg 256 0 0 0 0" << 1 << "command out of range 0..255: 256";
    QTest::newRow("octal-looking number is decimal")
            << "msg 0 0 0 0 0 payload 0256" << 1 << "payload byte out of range 0..255: 0256";
    QTest::newRow("unterminated string")
            << "msg 1 2 3 4 5 payload \"abc" << 1 << "unterminated string";
    QTest::newRow("bad string length")
            << "msg 1 2 3 4 5 payload \"abc\":x" << 1 << "string length is not a number: x";
    QTest::newRow("stray token") << "msg 1 2 3 4 5 6" << 1 << "unexpected token: 6";
    QTest::newRow("key out of range")
            << "key 65536" << 1 << "key value out of range 0..65535: 65536";
    QTest::newRow("unknown method")
            << "call nosuch" << 1 << "no slot or invokable method named nosuch";
    QTest::newRow("signals are not callable")
            << "call sig_lock" << 1 << "no slot or invokable method named sig_lock";
    QTest::newRow("argument count")
            << "call getTbarMax 1" << 1 << "getTbarMax takes no such arguments";
    QTest::newRow("boolean wanted")
            << "call setLockState 1" << 1 << "setLockState takes no such arguments";
    QTest::newRow("negative wait") << "wait -1" << 1 << "milliseconds out of range 0..3600000: -1";
    QTest::newRow("pause takes nothing") << "pause 10" << 1 << "usage: pause";
    QTest::newRow("host switch") << "host debug maybe" << 1 << "expected on or off: maybe";
    QTest::newRow("ini after the processor started")
            << "wait 1\ncall getTbarMax\nini keyboard Tbar/Max 1" << 3
            << "ini must come before line 2, where the processor starts";
}

void tst_Trace::malformed()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, reason);

    const Trace trace = Trace::parse(text);
    QVERIFY(!trace.isValid());
    QCOMPARE(trace.errorLine(), line);
    QCOMPARE(trace.errorReason(), reason);
    QVERIFY(trace.lines().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Trace)
#include "tst_trace.moc"
