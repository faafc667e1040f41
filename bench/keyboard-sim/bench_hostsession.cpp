#include "countingreceiver.h"
#include "measured.h"
#include "hostmodelthreads.h"
#include "hostsession.h"
#include "trace.h"
#include "traceplayer.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <benchmark/benchmark.h>

#include <QtCore/QElapsedTimer>

#include <memory>

namespace {

using Processor = UiprocDealKeyPress_Vorn_Desktop;

// One key line of a trace as the simulator plays it: the host session emits the key
// event from the business object, on the GUI thread or from the host's worker thread
// (--host-thread), and delivers the processor's queued slot call. The key-rate guard is
// idle before each event, so every event arms it. In wall-clock time: the GUI thread
// waits while the worker emits.
void keyLine(benchmark::State &state, HostSession::MessageThread messageThread)
{
    HostSession session(messageThread);
    std::unique_ptr<Processor> processor;
    TracePlayer player(session, [&processor] {
        processor = std::make_unique<Processor>();
        return processor.get();
    });
    const TraceLine line = Trace::parse(QStringLiteral("key 203\n")).lines().at(0);
    player.execute(line); // creates and connects the processor
    CountingReceiver receiver(processor.get());
    for (auto _ : Measured::loop(state)) {
        Processor::keyFlag = true;
        player.execute(line);
    }
    Processor::keyTimer.stop();
    benchmark::DoNotOptimize(receiver.count);
}

// The stress test's stream of messages from the host's worker thread (group and key
// OLED messages, key events, T-bar readings), while the host's threads write and read
// the model under the mutex, beside the same stream alone. "longest_ms" is the longest
// message: it holds the GUI thread's longest wait for the mutex.
void messageStream(benchmark::State &state, int hostThreads)
{
    HostSession session(HostSession::WorkerThread);
    Processor processor;
    processor.connectBIZ();
    CountingReceiver receiver(&processor);
    HostModelThreads threads(session);
    threads.start(hostThreads);
    qint64 longest = 0;
    int n = 0;
    QElapsedTimer clock;
    for (auto _ : Measured::loop(state)) {
        clock.start();
        threads.send(n++);
        longest = qMax(longest, clock.nsecsElapsed());
    }
    threads.stop();
    Processor::keyTimer.stop();
    state.SetItemsProcessed(state.iterations());
    state.counters["longest_ms"] = double(longest) / 1e6;
    state.counters["host_writes"] = threads.writes();
    if (!threads.findings().isEmpty())
        state.SkipWithError(qPrintable(threads.findings().join(QStringLiteral("; "))));
    benchmark::DoNotOptimize(receiver.count);
}

} // namespace

BENCHMARK_CAPTURE(keyLine, guiThread, HostSession::GuiThread)
        ->UseRealTime()
        ->Apply(Measured::runs<500>);
BENCHMARK_CAPTURE(keyLine, hostThread, HostSession::WorkerThread)
        ->UseRealTime()
        ->Apply(Measured::runs<500>);
BENCHMARK_CAPTURE(messageStream, alone, 0)
        ->UseRealTime()
        ->Apply(Measured::runs<500>);
BENCHMARK_CAPTURE(messageStream, withHostThreads,
                  HostModelThreads::Writers | HostModelThreads::Readers)
        ->UseRealTime()
        ->Apply(Measured::runs<500>);
