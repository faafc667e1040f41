#include "hostsession.h"
#include "measured.h"
#include "tbarrecord.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <benchmark/benchmark.h>

#include <QtCore/QFile>
#include <QtCore/QSharedMemory>
#include <QtCore/QTemporaryDir>

#include <cstring>
#include <memory>

namespace {

using Processor = UiprocDealKeyPress_Vorn_Desktop;

const QString SegmentKey = QStringLiteral("VTbar");
const int HeldPosition = 512;

// A polling processor on a host session, with the segment's key in a temporary directory
// of its own. When present, the segment holds the position the processor already knows:
// the steady state of the 10 ms poll.
struct Bench
{
    explicit Bench(bool present)
    {
        qputenv("TMPDIR", QFile::encodeName(tempDir.path()));
        segment.setKey(SegmentKey);
        uiprocmain_VORN_Desktop::setBootArgv1(QString());
        processor = std::make_unique<Processor>();
        if (present) {
            const QByteArray record
                    = TbarRecord::segment(TbarRecord::text(TbarRecord::TbarKeyCode, HeldPosition));
            segment.create(record.size());
            segment.lock();
            std::memcpy(segment.data(), record.constData(), size_t(record.size()));
            segment.unlock();
            processor->setTbarTakeNum(HeldPosition);
        }
    }

    QTemporaryDir tempDir;
    HostSession session;
    QSharedMemory segment;
    std::unique_ptr<Processor> processor;
};

// One poll of the processor's reader.
void poll(benchmark::State &state, bool present)
{
    Bench bench(present);
    for (auto _ : Measured::loop(state))
        benchmark::DoNotOptimize(bench.processor->readShareMemory());
}

// The floor: attach, lock, copy, unlock and detach of the same segment, nothing else.
void pollFloor(benchmark::State &state, bool present)
{
    Bench bench(present);
    QSharedMemory reader;
    reader.setKey(SegmentKey);
    for (auto _ : Measured::loop(state)) {
        if (!reader.attach(QSharedMemory::ReadWrite))
            continue;
        reader.lock();
        QByteArray content(static_cast<const char *>(reader.constData()), reader.size());
        reader.unlock();
        reader.detach();
        benchmark::DoNotOptimize(content);
    }
}

} // namespace

BENCHMARK_CAPTURE(poll, absent, false)->Apply(Measured::runs<1000>);
BENCHMARK_CAPTURE(pollFloor, absent, false)->Apply(Measured::runs<1000>);
BENCHMARK_CAPTURE(poll, present, true)->Apply(Measured::runs<1000>);
BENCHMARK_CAPTURE(pollFloor, present, true)->Apply(Measured::runs<1000>);
