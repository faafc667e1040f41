#include "benchmarkrun.h"
#include "keyboardview.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <benchmark/benchmark.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QHash>
#include <QtGui/QGuiApplication>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>

#include <algorithm>

#include <time.h>

// The view under the heaviest stream a host could send: a key event every millisecond
// and new content on every key OLED every 100 ms, for ten seconds. Reports the view's
// frame times and whether every signal reached it. The floor is the same window
// redrawing with no stream at all. viewHeavyFrame draws the stream's heaviest frame, the
// same each time, for a count that does not depend on the machine's load: under callgrind,
// collecting only inside the render loop's renderWindow, its instructions per frame.

namespace {

const int StreamMilliseconds = 10000;
const int RefreshMilliseconds = 100;
const int OledLength = 30; // tone processor 1.02
const int GroupFirstKeys[] = {105, 203, 313, 403, 505};
const int GroupIds[] = {1, 2, 3, 6, 5}; // in the order of GroupFirstKeys
const int SingleOledKeys[] = {100, 200, 300, 400, 500, 58, 59, 60, 61};
const int FullRefreshKeys = 80 + 9; // the keys getVirturalKeyBoardAllOLED announces

qint64 threadCpuNanoseconds()
{
    timespec time;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The time from each frame's update request to its swap, and between swaps.
class FrameClock : public QObject
{
public:
    explicit FrameClock(QQuickWindow *window) : m_window(window)
    {
        m_window->installEventFilter(this);
        connect(m_window, &QQuickWindow::frameSwapped, this, &FrameClock::swapped);
        m_clock.start();
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest && m_requested < 0) {
            m_requested = m_clock.nsecsElapsed();
            m_requestedCpu = threadCpuNanoseconds();
        }
        return false;
    }

    void reset()
    {
        frameTimes.clear();
        frameCpuTimes.clear();
        intervals.clear();
        m_lastSwap = -1;
    }

    // Milliseconds. The CPU times are the GUI thread's own, without the time other
    // processes took from it meanwhile.
    std::vector<double> frameTimes;
    std::vector<double> frameCpuTimes;
    std::vector<double> intervals;

private:
    void swapped()
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_requested >= 0) {
            frameTimes.push_back((now - m_requested) / 1e6);
            frameCpuTimes.push_back((threadCpuNanoseconds() - m_requestedCpu) / 1e6);
        }
        if (m_lastSwap >= 0)
            intervals.push_back((now - m_lastSwap) / 1e6);
        m_requested = -1;
        m_lastSwap = now;
    }

    QQuickWindow *m_window;
    QElapsedTimer m_clock;
    qint64 m_requested = -1;
    qint64 m_requestedCpu = 0;
    qint64 m_lastSwap = -1;
};

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(fraction * values.size())));
}

void reportFrames(benchmark::State &state, const FrameClock &clock, double seconds)
{
    state.counters["frames_per_s"] = clock.frameTimes.size() / seconds;
    state.counters["frame_ms_median"] = percentile(clock.frameTimes, 0.5);
    state.counters["frame_ms_p99"] = percentile(clock.frameTimes, 0.99);
    state.counters["frame_ms_max"] = percentile(clock.frameTimes, 1.0);
    state.counters["frame_cpu_ms_p99"] = percentile(clock.frameCpuTimes, 0.99);
    state.counters["frame_cpu_ms_max"] = percentile(clock.frameCpuTimes, 1.0);
    state.counters["interval_ms_max"] = percentile(clock.intervals, 1.0);
}

TraceLine line(const QString &text)
{
    return Trace::parse(text).lines().value(0);
}

QString oledText(int refresh, int key)
{
    return QStringLiteral("\"R%1 K%2\":%3 \"%4\":%3")
            .arg(refresh)
            .arg(key)
            .arg(OledLength)
            .arg(refresh);
}

// New content on every OLED key: one message per group, one per single key, then the
// full refresh the user interface can ask for.
QVector<TraceLine> refreshLines(int refresh)
{
    QVector<TraceLine> lines;
    for (int g = 0; g < 5; ++g) {
        QString text = QStringLiteral("msg 0xf1 0x41 %1 0 0 payload").arg(GroupIds[g]);
        for (int slot = 0; slot < 16; ++slot)
            text += QStringLiteral(" 1 %1 %2")
                            .arg(refresh % 8)
                            .arg(oledText(refresh, GroupFirstKeys[g] + slot));
        lines.append(line(text));
    }
    for (int key : SingleOledKeys) {
        lines.append(line(QStringLiteral("msg 0xf1 0x43 0 0 0 payload %1 %2 2 %3 %4")
                                  .arg(key >> 8)
                                  .arg(key & 0xff)
                                  .arg(refresh % 8)
                                  .arg(oledText(refresh, key))));
    }
    lines.append(line(QStringLiteral("call getVirturalKeyBoardAllOLED")));
    return lines;
}

// A key event of each of the 80 group keys.
QVector<TraceLine> groupKeys()
{
    QVector<TraceLine> keys;
    for (int first : GroupFirstKeys) {
        for (int slot = 0; slot < 16; ++slot)
            keys.append(line(QStringLiteral("key %1").arg(first + slot)));
    }
    return keys;
}

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// A shown view whose processor has started and which has drawn its OLEDs once, as a
// view running for a while has (the glyphs are cached).
bool startView(KeyboardView &view)
{
    if (!view.load())
        return false;
    view.player().play(Trace::parse(QStringLiteral("msg 0x9a 0xb1 0 1 2")));
    view.window()->show();
    runEventLoop(500);
    if (!view.player().processor() || !view.window()->isExposed())
        return false;
    for (const TraceLine &refresh : refreshLines(StreamMilliseconds / RefreshMilliseconds))
        view.player().execute(refresh);
    runEventLoop(200);
    return true;
}

void viewUnderStream(benchmark::State &state)
{
    KeyboardView view;
    if (!startView(view)) {
        state.SkipWithError("the view cannot start");
        return;
    }
    int emitted = 0;
    QHash<QByteArray, int> counts;
    SignalRecorder counter([&](const QMetaMethod &signal, const QVariantList &) {
        ++emitted;
        ++counts[signal.name()];
    });
    counter.attach(view.player().processor());
    const QVector<TraceLine> keys = groupKeys();
    FrameClock clock(view.window());
    const int logged = view.signalLog().total();

    int keysSent = 0;
    int refreshes = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QElapsedTimer elapsed;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = std::min<qint64>(elapsed.elapsed(), StreamMilliseconds);
            for (; keysSent < now; ++keysSent)
                view.player().execute(keys.at(keysSent % keys.size()));
            for (; refreshes * RefreshMilliseconds < now; ++refreshes) {
                for (const TraceLine &refresh : refreshLines(refreshes))
                    view.player().execute(refresh);
            }
            if (now == StreamMilliseconds)
                loop.quit();
        });
        clock.reset();
        elapsed.start();
        tick.start(1);
        loop.exec();
        state.SetIterationTime(elapsed.elapsed() / 1000.0);
        reportFrames(state, clock, elapsed.elapsed() / 1000.0);
    }
    view.signalLog().flush();
    const int last = refreshes - 1;
    const bool lastShown
            = view.shownText(QStringLiteral("key105.first")) == QStringLiteral("R%1 K105").arg(last)
            && view.shownText(QStringLiteral("key61.first")) == QStringLiteral("R%1 K61").arg(last);
    // Every key acts once, every OLED update is announced, the log saw every signal.
    const int oledUpdates = refreshes * 2 * FullRefreshKeys;
    state.counters["keys_sent"] = keysSent;
    state.counters["keys_dropped"] = keysSent - counts.value("sig_keyBoradValue");
    state.counters["oled_dropped"] = oledUpdates - counts.value("sig_updateOledShow");
    state.counters["signals_emitted"] = emitted;
    state.counters["signals_not_logged"] = emitted - (view.signalLog().total() - logged);
    state.counters["last_oled_shown"] = lastShown;
}

// The heaviest frame of the stream at 60 frames a second: new content on every OLED key,
// the keys of 16 ms with the key-rate guard armed, and the log's and the notice's
// interval ending.
void viewHeavyFrame(benchmark::State &state)
{
    KeyboardView view;
    if (!startView(view)) {
        state.SkipWithError("the view cannot start");
        return;
    }
    const QVector<TraceLine> keys = groupKeys();
    FrameClock clock(view.window());
    int refresh = 0;
    for (auto _ : state) {
        for (const TraceLine &line : refreshLines(refresh++))
            view.player().execute(line);
        for (int k = 0; k < 16; ++k)
            view.player().execute(keys.at((refresh * 16 + k) % keys.size()));
        view.signalLog().flush();
        view.panelState().flush();
        QEventLoop loop;
        QObject::connect(view.window(), &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state.counters["frame_ms_median"] = percentile(clock.frameTimes, 0.5);
    state.counters["frame_cpu_ms_median"] = percentile(clock.frameCpuTimes, 0.5);
}

void viewIdleFloor(benchmark::State &state)
{
    KeyboardView view;
    if (!startView(view)) {
        state.SkipWithError("the view cannot start");
        return;
    }
    FrameClock clock(view.window());
    for (auto _ : state) {
        QElapsedTimer elapsed;
        QTimer redraw;
        QObject::connect(&redraw, &QTimer::timeout, view.window(), &QQuickWindow::update);
        clock.reset();
        elapsed.start();
        redraw.start(1);
        runEventLoop(2000);
        state.SetIterationTime(elapsed.elapsed() / 1000.0);
        reportFrames(state, clock, elapsed.elapsed() / 1000.0);
    }
}

} // namespace

BENCHMARK(viewUnderStream)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(viewHeavyFrame)->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(viewIdleFloor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
