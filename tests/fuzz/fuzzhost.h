#ifndef FUZZHOST_H
#define FUZZHOST_H

#include <QtCore/QByteArrayList>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the application it runs in, made on first use with the
// library's log turned off, and its two entry points.
void fuzzApplication();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The inputs a target makes from a keyboard trace, for its seed corpus.
QByteArrayList fuzzSeeds(const QByteArray &traceText);

#endif // FUZZHOST_H
