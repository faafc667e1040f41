#include "tbarrecord.h"

#include <QtTest/QtTest>

// The record other processes read: its exact bytes, and what a reader makes of a
// segment's content, garbled or not.
class tst_TbarRecord : public QObject
{
    Q_OBJECT
private slots:
    void written_data();
    void written();
    void read_data();
    void read();
};

void tst_TbarRecord::written_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("segment");

    QTest::newRow("T-bar at 512") << 10 << 512 << QByteArray("010#512\0\0\0\0\0", 12);
    QTest::newRow("negative value") << 10 << -5 << QByteArray("010#-5\0\0\0\0\0", 11);
    QTest::newRow("four-digit key code") << 1234 << 1 << QByteArray("1234#1\0\0\0\0\0", 11);
}

void tst_TbarRecord::written()
{
    QFETCH(int, keyCode);
    QFETCH(int, value);
    QFETCH(QByteArray, segment);
    QCOMPARE(TbarRecord::segment(TbarRecord::text(keyCode, value)), segment);
}

void tst_TbarRecord::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("value"); // -1000: not a T-bar record

    QTest::newRow("as written") << QByteArray("010#512\0\0\0\0\0", 12) << 512;
    QTest::newRow("no NUL: the whole content") << QByteArray("010#512") << 512;
    QTest::newRow("bytes after the NUL ignored") << QByteArray("010#77\0"
                                                               "99x",
                                                               10)
                                                 << 77;
    QTest::newRow("value not a number reads 0") << QByteArray("010#5x") << 0;
    QTest::newRow("value past int reads 0") << QByteArray("010#99999999999") << 0;
    QTest::newRow("two-digit key code") << QByteArray("10#512") << -1000;
    QTest::newRow("key code 11") << QByteArray("011#512") << -1000;
    QTest::newRow("NUL inside the key code") << QByteArray("01\0#512", 7) << -1000;
    QTest::newRow("empty") << QByteArray() << -1000;
    QTest::newRow("largest segment") << QByteArray("010#512").leftJustified(28, '\0') << 512;
    QTest::newRow("one byte too long") << QByteArray("010#512").leftJustified(29, '\0') << -1000;
}

void tst_TbarRecord::read()
{
    QFETCH(QByteArray, content);
    QFETCH(int, value);
    QCOMPARE(TbarRecord::tbarValue(content).value_or(-1000), value);
}

QTEST_GUILESS_MAIN(tst_TbarRecord)
#include "tst_tbarrecord.moc"
