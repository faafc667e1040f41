#include "fuzzhost.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLoggingCategory>

void fuzzApplication()
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
