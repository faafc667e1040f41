#include "tbarrecord.h"

#include <QtTest/QtTest>

// What a reader makes of a segment's content, garbled or not. The bytes a writer puts
// into the segment are checked where a real segment holds them, in tst_tbar.
class tst_TbarRecord : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
};

void tst_TbarRecord::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("value"); // -1000: not a T-bar record

    QTest::newRow("as written") << QByteArray("010#512\0\0\0\0\0", 12) << 512;
    QTest::newRow("no NUL: the whole content") << QByteArray("010#512") << 512;
    QTest::newRow("bytes after the NUL ignored") << QByteArray("010#77\0junk", 11) << 77;
    QTest::newRow("value not a number reads 0") << QByteArray("010#5x") << 0;
    QTest::newRow("negative value") << QByteArray("010#-5") << -5;
    QTest::newRow("key code only") << QByteArray("010") << -1000;
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
