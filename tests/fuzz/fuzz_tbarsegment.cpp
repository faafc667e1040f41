#include "fuzztarget.h"
#include "processorhost.h"
#include "tbarrecord.h"

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
