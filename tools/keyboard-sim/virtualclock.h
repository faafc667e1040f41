#ifndef VIRTUALCLOCK_H
#define VIRTUALCLOCK_H

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QAtomicInt>
#include <QtCore/QElapsedTimer>
#include <QtCore/QVector>

// The simulator's event dispatcher: the timers of its thread run on a clock of its own.
// The clock is virtual until followWallClock(): time moves only through advance(), which
// fires every timer at its exact deadline whatever the machine's load, and a wait costs no
// wall time. Posted events, socket notifiers and wake-ups from other threads are served
// as by Qt's own dispatcher, on either clock. Install it before the application object
// (QCoreApplication::setEventDispatcher), which then owns it.
class VirtualClock : public QAbstractEventDispatcher
{
    Q_OBJECT
public:
    VirtualClock();
    ~VirtualClock() override;

    // The current thread's dispatcher while it is a virtual clock, else null.
    static VirtualClock *current();

    // From now on timers run on the monotonic wall clock.
    void followWallClock();
    // Moves the clock on by `milliseconds`, firing on the way every timer that falls due at
    // its deadline, in deadline order (timers due together in the order they were
    // scheduled), and delivering the events each firing posts before the next one.
    void advance(qint64 milliseconds);

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    using Interval = int;
    bool hasPendingEvents() override;
    void flush() override;
#else
    using Interval = qint64;
#endif
    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
    void registerSocketNotifier(QSocketNotifier *notifier) override;
    void unregisterSocketNotifier(QSocketNotifier *notifier) override;
    void registerTimer(int timerId, Interval interval, Qt::TimerType timerType,
                       QObject *object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject *object) override;
    QList<TimerInfo> registeredTimers(QObject *object) const override;
    int remainingTime(int timerId) override;
    void wakeUp() override;
    void interrupt() override;

private:
    struct Timer
    {
        int id;
        qint64 interval;
        Qt::TimerType type;
        QObject *object;
        qint64 deadline;
        quint64 order; // when it was scheduled, among timers due together
        qint64 lastFired;
        bool firing;
    };

    static bool firesBefore(const Timer &a, const Timer &b);
    qint64 now() const;
    Timer *find(int timerId);
    int nextDue(qint64 until) const;
    void fire(int timerId);
    void fireDueTimers();
    template<typename Predicate>
    bool removeTimers(Predicate matches);
    int pollTimeout() const;

    QVector<Timer> m_timers;
    QVector<QSocketNotifier *> m_notifiers;
    int m_wakeFd;
    QAtomicInt m_interrupted;
    qint64 m_virtualNow = 0;
    quint64 m_nextOrder = 0;
    bool m_wallClock = false;
    QElapsedTimer m_wallTime;
};

#endif // VIRTUALCLOCK_H
