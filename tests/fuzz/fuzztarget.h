#ifndef FUZZTARGET_H
#define FUZZTARGET_H

#include "fuzzinput.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLoggingCategory>

// The application a fuzz target runs in, made on first use, with the library's log off.
inline void fuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    new QCoreApplication(argc, argv);
    QLoggingCategory::setFilterRules(
            QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

#endif // FUZZTARGET_H
