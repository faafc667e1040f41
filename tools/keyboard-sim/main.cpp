#include "simulator.h"
#include "trace.h"

#include "configfiles.h"

#include <uiprocmain_vorn_desktop.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStringList>

#include <cstdio>

namespace {

const int UsageError = 2;

int usage()
{
    fputs("usage: keyboard-sim [--boot-arg ARG] [--fresh] [TRACE | -]\n", stderr);
    return UsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QString bootArgument;
    bool fresh = false;
    QString tracePath;
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--boot-arg") && i + 1 < arguments.size())
            bootArgument = arguments.at(++i);
        else if (argument == QLatin1String("--fresh"))
            fresh = true;
        else if ((argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-')))
                 && tracePath.isEmpty())
            tracePath = argument;
        else
            return usage();
    }

    QFile traceFile(tracePath.isEmpty() ? QStringLiteral(":/demo.trace") : tracePath);
    const bool opened = tracePath == QLatin1String("-") ? traceFile.open(stdin, QIODevice::ReadOnly)
                                                        : traceFile.open(QIODevice::ReadOnly);
    const QString traceName = tracePath.isEmpty() ? QStringLiteral("demo.trace") : tracePath;
    if (!opened) {
        fprintf(stderr, "%s: %s\n", qPrintable(traceName), qPrintable(traceFile.errorString()));
        return UsageError;
    }
    const Trace trace = Trace::parse(QString::fromUtf8(traceFile.readAll()));
    if (!trace.isValid()) {
        fprintf(stderr, "%s:%d: %s\n", qPrintable(traceName), trace.errorLine(),
                qPrintable(trace.errorReason()));
        return UsageError;
    }

    if (fresh)
        QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
    uiprocmain_VORN_Desktop::setBootArgv1(bootArgument);

    Simulator simulator(stdout);
    const bool ran = simulator.run(trace);
    fflush(stdout);
    return ran ? 0 : 1;
}
