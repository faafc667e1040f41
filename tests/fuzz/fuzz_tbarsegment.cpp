#include "fuzzinput.h"
#include "processorhost.h"
#include "tbarrecord.h"
#include "tbarscale.h"
#include "trace.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QSharedMemory>

#include <cstring>

// The T-bar segment as another process may leave it: the input is its whole content, of
// any size. The processor polls it twice, then the T-bar key moves from both ends of its
// scale and the check timer runs, all against the position the poll took over.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication();
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    QSharedMemory segment(QStringLiteral("VTbar"));
    if (segment.create(qMax(1, int(size))) && segment.lock()) {
        std::memcpy(segment.data(), data, size);
        segment.unlock();
    }
    processor->updateTimerReadTbar();
    processor->updateTimerReadTbar();
    for (const quint16 raw : {0, 0xffff, 0}) {
        host.send(keyEvent(TbarRecord::TbarKeyCode, uchar(raw & 0xff), uchar(raw >> 8)));
        processor->updateTimerCheckTbar();
    }
    return 0;
}

// The records a T-bar process would write for the positions the trace sets.
QByteArrayList fuzzSeeds(const QByteArray &traceText)
{
    QByteArrayList seeds;
    const Trace trace = Trace::parse(QString::fromUtf8(traceText));
    for (const TraceLine &line : trace.lines()) {
        const model_Protocoldata &key = line.message;
        const bool tbarKey = line.kind == TraceLine::Message && key.command == 0xa0
                && key.byte29 == TbarRecord::TbarKeyCode && key.byte2A == 0;
        const bool setter = line.kind == TraceLine::Call
                && UiprocDealKeyPress_Vorn_Desktop::staticMetaObject.method(line.methodIndex).name()
                        == "setTbarTakeNum";
        const int position = tbarKey
                ? TbarScale::position(key.dataA << 8 | key.subCommand, 0, TbarScale::FullScale)
                : line.arguments.value(0).toInt();
        if (tbarKey || setter)
            seeds << TbarRecord::segment(TbarRecord::text(TbarRecord::TbarKeyCode, position));
    }
    return seeds;
}
