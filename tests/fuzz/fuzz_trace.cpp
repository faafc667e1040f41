#include "fuzztarget.h"
#include "trace.h"

// The simulator's trace parser on any text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication();
    Trace::parse(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
