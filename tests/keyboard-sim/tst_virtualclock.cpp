#include "virtualclock.h"

#include <QtCore/QCoreApplication>
#include <QtTest/QtTest>

// The order in which the virtual clock fires timers as a wait moves it on: the order a
// trace's output depends on.
class tst_VirtualClock : public QObject
{
    Q_OBJECT
private slots:
    void sameMillisecondInStartOrder();
    void dueAtTheEndOfAWait();
    void startedByAFiringTimer();

private:
    // Starts the timer; each time it fires, its name goes to m_fired.
    void start(QTimer &timer, const QString &name, int milliseconds, bool singleShot = true);
    static void wait(int milliseconds) { VirtualClock::current()->advance(milliseconds); }

    QStringList m_fired;
};

void tst_VirtualClock::start(QTimer &timer, const QString &name, int milliseconds, bool singleShot)
{
    timer.setSingleShot(singleShot);
    connect(&timer, &QTimer::timeout, this, [this, name] { m_fired.append(name); });
    timer.start(milliseconds);
}

// A periodic timer is scheduled anew each time it fires.
void tst_VirtualClock::sameMillisecondInStartOrder()
{
    m_fired.clear();
    QTimer periodic, late, early, later;
    start(periodic, QStringLiteral("periodic"), 10, false);
    start(late, QStringLiteral("late"), 30);
    wait(5);
    start(early, QStringLiteral("early"), 15);
    wait(5);
    start(later, QStringLiteral("later"), 20);
    wait(20);
    QCOMPARE(m_fired, QStringList({"periodic", "early", "periodic", "late", "later", "periodic"}));
}

void tst_VirtualClock::dueAtTheEndOfAWait()
{
    m_fired.clear();
    QTimer timer;
    start(timer, QStringLiteral("timer"), 10);
    wait(9);
    QVERIFY(m_fired.isEmpty());
    wait(1);
    QCOMPARE(m_fired, QStringList{"timer"});
}

// What a firing timer posts is delivered before the next timer fires; a timer it starts
// for the same millisecond fires after those started before it, within the same wait.
void tst_VirtualClock::startedByAFiringTimer()
{
    m_fired.clear();
    QTimer first, second, chained;
    start(first, QStringLiteral("first"), 10);
    start(second, QStringLiteral("second"), 10);
    connect(&first, &QTimer::timeout, this, [&] {
        QMetaObject::invokeMethod(
                this, [this] { m_fired.append(QStringLiteral("posted")); }, Qt::QueuedConnection);
        start(chained, QStringLiteral("chained"), 0);
    });
    wait(10);
    QCOMPARE(m_fired, QStringList({"first", "posted", "second", "chained"}));
}

int main(int argc, char *argv[])
{
    QCoreApplication::setEventDispatcher(new VirtualClock);
    QCoreApplication app(argc, argv);
    tst_VirtualClock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_virtualclock.moc"
