#include "tbartracker.h"

#include <QtTest/QtTest>

#include <limits>

using Readings = QVector<int>;

// The T-bar's calibration, position scale and jump filter, on values alone.
class tst_TbarTracker : public QObject
{
    Q_OBJECT
private slots:
    void alphaIsAnEighthOfThePosition();
    void keyReadings_data();
    void keyReadings();
    void checkTimeout_data();
    void checkTimeout();
};

namespace {

const int IntMin = std::numeric_limits<int>::min();
const int IntMax = std::numeric_limits<int>::max();

} // namespace

// The take handling expects alpha = position / 8 over the whole scale; the float
// formula must not round any position differently.
void tst_TbarTracker::alphaIsAnEighthOfThePosition()
{
    for (int position = 0; position <= TbarTracker::FullScale; ++position)
        QCOMPARE(TbarTracker::alpha(position), position / 8);
}

void tst_TbarTracker::keyReadings_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("held"); // the position set from QML or another process first
    QTest::addColumn<Readings>("readings");
    QTest::addColumn<QStringList>("results"); // what each reading did, and the position then
    QTest::addColumn<int>("alpha");

    QTest::newRow("limits 100 and 900 clamp")
            << 100 << 900 << -1 << Readings{50, 500, 950}
            << QStringList{"applied 0", "applied 500", "applied 1024"} << 128;
    QTest::newRow("raw at the limits")
            << 20 << 1000 << -1 << Readings{20, 21, 1000}
            << QStringList{"applied 0", "applied 21", "deferred 1024"} << 128;
    QTest::newRow("same alpha keeps the position")
            << 0 << 1024 << -1 << Readings{500, 503} << QStringList{"applied 500", "unchanged 500"}
            << 62;
    QTest::newRow("a jump of 600 applies, 601 waits")
            << 0 << 1024 << -1 << Readings{100, 700, 99}
            << QStringList{"applied 100", "applied 700", "deferred 99"} << 12;
    QTest::newRow("first reading of 600 or more waits")
            << 0 << 1024 << -1 << Readings{600} << QStringList{"deferred 600"} << 75;
    QTest::newRow("a later reading replaces a waiting one")
            << 0 << 1024 << -1 << Readings{100, 900, 910}
            << QStringList{"applied 100", "deferred 900", "applied 910"} << 113;
    QTest::newRow("held at the bottom of int")
            << 0 << 1024 << IntMin << Readings{512} << QStringList{"deferred 512"} << 64;
    QTest::newRow("held at the top of int")
            << 0 << 1024 << IntMax << Readings{0} << QStringList{"deferred 0"} << 0;
    QTest::newRow("limits beyond each other") << 900 << 100 << -1 << Readings{500, 950}
                                              << QStringList{"applied 0", "deferred 1024"} << 128;
}

void tst_TbarTracker::keyReadings()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, held);
    QFETCH(Readings, readings);
    QFETCH(QStringList, results);
    QFETCH(int, alpha);

    static const char *const names[] = {"unchanged", "deferred", "applied"};
    TbarTracker tbar;
    tbar.calibrate(max, min);
    tbar.setTakeNum(held);
    QStringList got;
    for (const int raw : readings) {
        const int result = int(tbar.keyReading(raw));
        got << QStringLiteral("%1 %2").arg(names[result]).arg(tbar.takeNum());
    }
    QCOMPARE(got, results);
    QCOMPARE(tbar.alphaValue(), alpha);
    QCOMPARE(tbar.deferred(), results.last().startsWith("deferred"));
}

void tst_TbarTracker::checkTimeout_data()
{
    QTest::addColumn<int>("reading");
    QTest::addColumn<bool>("tbarProcess");
    QTest::addColumn<int>("connectType");
    QTest::addColumn<bool>("announced");

    QTest::newRow("waiting, T-bar process") << 900 << true << 2 << true;
    QTest::newRow("waiting, connect type 1") << 900 << false << 1 << true;
    QTest::newRow("waiting, other connect type") << 900 << false << 0 << false;
    QTest::newRow("nothing waiting") << 100 << true << 1 << false;
}

// The check timer announces a waiting jump once; the position stays either way.
void tst_TbarTracker::checkTimeout()
{
    QFETCH(int, reading);
    QFETCH(bool, tbarProcess);
    QFETCH(int, connectType);
    QFETCH(bool, announced);

    TbarTracker tbar;
    tbar.keyReading(reading);
    QCOMPARE(tbar.checkTimeout(tbarProcess, connectType), announced);
    QCOMPARE(tbar.checkTimeout(tbarProcess, connectType), false);
    QCOMPARE(tbar.takeNum(), reading);
}

QTEST_GUILESS_MAIN(tst_TbarTracker)
#include "tst_tbartracker.moc"
