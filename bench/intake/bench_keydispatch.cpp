#include "countingreceiver.h"
#include "measured.h"
#include "hostsession.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <benchmark/benchmark.h>

#include <QtCore/QTemporaryDir>

#include <utility_manage.h>

#include <memory>

namespace {

using Processor = UiprocDealKeyPress_Vorn_Desktop;

const quint16 ShortcutKey = 203;
const quint16 BankKey = 105;

// A processor on a host session, with every signal connected to a counting receiver.
// With remap, the shortcut key acts as the first bank key among 80 remapped keys.
struct Bench
{
    explicit Bench(bool remap)
    {
        processor = std::make_unique<Processor>();
        receiver = std::make_unique<CountingReceiver>(processor.get());
        if (remap) {
            for (int slot = 0; slot < 16; ++slot) {
                for (int group : {105, 203, 313, 403, 505})
                    model.keyMap.insert(group + slot, group + (slot + 1) % 16);
            }
            model.keyMap.insert(ShortcutKey, BankKey);
        }
        processor->setModel(model);
        message.messageClass = 0x400000;
        message.command = 0xa0;
        message.byte29 = uchar(ShortcutKey & 0xff);
        message.byte2A = uchar(ShortcutKey >> 8);
    }

    HostSession session;
    Model_VOrnParam &model = session.model;
    std::unique_ptr<Processor> processor;
    std::unique_ptr<CountingReceiver> receiver;
    model_Protocoldata message;
};

// One key event through the processor's message slot; the key-rate guard is idle
// before each, so every event arms it.
void keyEvent(benchmark::State &state, bool remap)
{
    Bench bench(remap);
    for (auto _ : Measured::loop(state)) {
        Processor::keyFlag = true;
        bench.processor->taskCmdProcess(&bench.message);
    }
    Processor::keyTimer.stop();
    benchmark::DoNotOptimize(bench.receiver->count);
}

// The floor: the same emissions made directly, one start of the guard's timer, and the
// host calls every key event makes: the key from its two bytes, the device type for the
// device key lock.
void keyEventFloor(benchmark::State &state, bool remap)
{
    Bench bench(remap);
    Processor *processor = bench.processor.get();
    const model_Protocoldata &message = bench.message;
    for (auto _ : Measured::loop(state)) {
        Processor::keyFlag = true;
        const int key = quint16(Utility_Manage::combineTwoByte(message.byte2A, message.byte29));
        benchmark::DoNotOptimize(Utility_Manage::getDeviceType());
        Processor::keyTimer.start(500);
        Processor::keyFlag = false;
        emit processor->sigKeyValueForTest(key, 0, 0);
        if (remap) {
            emit processor->sig_keyBoradValue(BankKey);
            emit processor->sig_changeBank(0);
        } else {
            emit processor->sig_keyBoradValue(ShortcutKey);
            emit processor->sig_shortCut(0);
        }
    }
    Processor::keyTimer.stop();
    benchmark::DoNotOptimize(bench.receiver->count);
}

// The same key event with the flight recorder on, writing each message to a file; the
// recording ends with the bench's host session.
void keyEventRecorded(benchmark::State &state)
{
    QTemporaryDir dir;
    qputenv("VORN_KEYBOARD_RECORD", QFile::encodeName(dir.filePath(QStringLiteral("bench.trace"))));
    keyEvent(state, false);
    qunsetenv("VORN_KEYBOARD_RECORD");
}

} // namespace

BENCHMARK_CAPTURE(keyEvent, shortcut, false)->Apply(Measured::runs<5000>);
BENCHMARK_CAPTURE(keyEventFloor, shortcut, false)->Apply(Measured::runs<5000>);
BENCHMARK_CAPTURE(keyEvent, remapped, true)->Apply(Measured::runs<5000>);
BENCHMARK_CAPTURE(keyEventFloor, remapped, true)->Apply(Measured::runs<5000>);
BENCHMARK(keyEventRecorded)->Apply(Measured::runs<5000>);
