#include "virtualclock.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QSocketNotifier>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
Q_CORE_EXPORT uint qGlobalPostedEventsCount();
#endif

namespace {

const qint64 NeverFired = LLONG_MIN;

short pollEvents(QSocketNotifier::Type type)
{
    static const short events[] = {POLLIN, POLLOUT, POLLPRI}; // Read, Write, Exception
    return events[type];
}

} // namespace

VirtualClock::VirtualClock() : m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) { }

VirtualClock::~VirtualClock()
{
    ::close(m_wakeFd);
}

VirtualClock *VirtualClock::current()
{
    auto *clock = qobject_cast<VirtualClock *>(QAbstractEventDispatcher::instance());
    return clock && !clock->m_wallClock ? clock : nullptr;
}

void VirtualClock::followWallClock()
{
    m_wallClock = true;
    m_wallTime.start();
}

qint64 VirtualClock::now() const
{
    return m_virtualNow + (m_wallClock ? m_wallTime.elapsed() : 0);
}

void VirtualClock::advance(qint64 milliseconds)
{
    const qint64 until = m_virtualNow + milliseconds;
    for (;;) {
        const int id = nextDue(until);
        if (id < 0 && m_virtualNow == until)
            return;
        if (id < 0) {
            m_virtualNow = until; // zero-interval timers fire once more here
            continue;
        }
        m_virtualNow = qMax(m_virtualNow, find(id)->deadline);
        fire(id);
        QCoreApplication::sendPostedEvents();
    }
}

bool VirtualClock::firesBefore(const Timer &a, const Timer &b)
{
    return a.deadline < b.deadline || (a.deadline == b.deadline && a.order < b.order);
}

VirtualClock::Timer *VirtualClock::find(int timerId)
{
    const auto timer = std::find_if(m_timers.begin(), m_timers.end(),
                                    [timerId](const Timer &t) { return t.id == timerId; });
    return timer == m_timers.end() ? nullptr : &*timer;
}

// The timer to fire next up to `until`; a zero-interval timer fires once per point in time
// the clock stops at.
int VirtualClock::nextDue(qint64 until) const
{
    const Timer *next = nullptr;
    for (const Timer &t : m_timers) {
        if (t.firing || t.deadline > until || (t.interval == 0 && t.lastFired == m_virtualNow))
            continue;
        if (!next || firesBefore(t, *next))
            next = &t;
    }
    return next ? next->id : -1;
}

// Reschedules the timer as Qt does (a timer late by more than its interval skips the
// deadlines it missed) and sends its event; a timer does not fire again while its event is
// being handled.
void VirtualClock::fire(int timerId)
{
    Timer *timer = find(timerId);
    const qint64 at = now();
    timer->lastFired = at;
    timer->deadline += timer->interval;
    if (timer->deadline < at)
        timer->deadline = at + timer->interval;
    timer->order = m_nextOrder++;
    timer->firing = true;
    QTimerEvent event(timerId);
    QCoreApplication::sendEvent(timer->object, &event);
    if (Timer *after = find(timerId))
        after->firing = false;
}

// Fires once each the timers due when the pass starts.
void VirtualClock::fireDueTimers()
{
    const qint64 at = now();
    const quint64 passStart = m_nextOrder;
    QVector<Timer> due;
    for (const Timer &t : qAsConst(m_timers)) {
        if (!t.firing && t.deadline <= at)
            due.append(t);
    }
    std::sort(due.begin(), due.end(), firesBefore);
    for (const Timer &t : qAsConst(due)) {
        const Timer *timer = find(t.id);
        if (timer && !timer->firing && timer->order < passStart)
            fire(t.id);
    }
}

// How long a pass may block: until the next deadline on the wall clock; on the virtual
// clock not at all while a timer is due, else until something else happens.
int VirtualClock::pollTimeout() const
{
    const qint64 at = now();
    qint64 timeout = -1;
    for (const Timer &t : m_timers) {
        if (t.firing)
            continue;
        const qint64 wait = qMax<qint64>(0, t.deadline - at);
        if (wait == 0 || m_wallClock)
            timeout = timeout < 0 ? wait : qMin(timeout, wait);
    }
    return int(qMin<qint64>(timeout, INT_MAX));
}

bool VirtualClock::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    m_interrupted.storeRelaxed(0);
    emit awake();
    QCoreApplication::sendPostedEvents();

    QVector<pollfd> fds{{m_wakeFd, POLLIN, 0}};
    const QVector<QSocketNotifier *> notifiers = flags & QEventLoop::ExcludeSocketNotifiers
            ? QVector<QSocketNotifier *>()
            : m_notifiers;
    for (QSocketNotifier *notifier : notifiers)
        fds.append({int(notifier->socket()), pollEvents(notifier->type()), 0});
    const bool wait = flags & QEventLoop::WaitForMoreEvents && !m_interrupted.loadRelaxed();
    if (wait)
        emit aboutToBlock();
    const int ready = ::poll(fds.data(), nfds_t(fds.size()), wait ? pollTimeout() : 0);
    if (ready > 0 && fds.first().revents) {
        quint64 wakeUps;
        (void)!::read(m_wakeFd, &wakeUps, sizeof wakeUps);
    }
    if (m_interrupted.loadRelaxed())
        return false;

    bool handled = false;
    for (int i = 1; ready > 0 && i < fds.size(); ++i) {
        QSocketNotifier *notifier = notifiers.at(i - 1);
        if (fds.at(i).revents && m_notifiers.contains(notifier)) {
            QEvent event(QEvent::SockAct);
            QCoreApplication::sendEvent(notifier, &event);
            handled = true;
        }
    }
    if (!(flags & QEventLoop::X11ExcludeTimers)) {
        const quint64 before = m_nextOrder;
        fireDueTimers();
        handled = handled || m_nextOrder != before;
    }
    return handled;
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
bool VirtualClock::hasPendingEvents()
{
    return qGlobalPostedEventsCount() > 0;
}

void VirtualClock::flush() { }
#endif

void VirtualClock::registerSocketNotifier(QSocketNotifier *notifier)
{
    m_notifiers.append(notifier);
}

void VirtualClock::unregisterSocketNotifier(QSocketNotifier *notifier)
{
    m_notifiers.removeAll(notifier);
}

void VirtualClock::registerTimer(int timerId, Interval interval, Qt::TimerType timerType,
                                 QObject *object)
{
    m_timers.append({timerId, interval, timerType, object, now() + interval, m_nextOrder++,
                     NeverFired, false});
}

template<typename Predicate>
bool VirtualClock::removeTimers(Predicate matches)
{
    const auto kept = std::remove_if(m_timers.begin(), m_timers.end(), matches);
    const bool removed = kept != m_timers.end();
    m_timers.erase(kept, m_timers.end());
    return removed;
}

bool VirtualClock::unregisterTimer(int timerId)
{
    return removeTimers([timerId](const Timer &t) { return t.id == timerId; });
}

bool VirtualClock::unregisterTimers(QObject *object)
{
    return removeTimers([object](const Timer &t) { return t.object == object; });
}

QList<QAbstractEventDispatcher::TimerInfo> VirtualClock::registeredTimers(QObject *object) const
{
    QList<TimerInfo> timers;
    for (const Timer &t : m_timers) {
        if (t.object == object)
            timers.append(TimerInfo(t.id, int(t.interval), t.type));
    }
    return timers;
}

int VirtualClock::remainingTime(int timerId)
{
    const Timer *timer = find(timerId);
    return timer ? int(qMax<qint64>(0, timer->deadline - now())) : -1;
}

void VirtualClock::wakeUp()
{
    const quint64 one = 1;
    (void)!::write(m_wakeFd, &one, sizeof one);
}

void VirtualClock::interrupt()
{
    m_interrupted.storeRelaxed(1);
    wakeUp();
}
