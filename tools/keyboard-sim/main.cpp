#include "simulator.h"
#include "trace.h"

#include "configfiles.h"

#include <uiprocmain_vorn_desktop.h>

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cstdio>

namespace {

const int UsageError = 2;

int usageError(const QCommandLineParser &parser, const QString &reason)
{
    fprintf(stderr, "keyboard-sim: %s\n%s", qPrintable(reason),
            qPrintable(parser.helpText().section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n')));
    return UsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Plays the host around the keyboard processor and replays a trace "
                           "(none: the built-in demo; -: standard input), one JSON line per "
                           "signal, call and host call.\n\nTrace lines:\n")
            + Trace::lineKindsHelp());
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption bootArgOption(QStringLiteral("boot-arg"),
                                           QStringLiteral("What getBootArgv1() returns; Tbar "
                                                          "makes this the T-bar process."),
                                           QStringLiteral("ARG"));
    const QCommandLineOption freshOption(
            QStringLiteral("fresh"),
            QStringLiteral("Removes the Keyboard/ folder under the application directory first."));
    parser.addOption(bootArgOption);
    parser.addOption(freshOption);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("The trace file, or -."),
                                 QStringLiteral("[TRACE | -]"));
    if (!parser.parse(app.arguments()))
        return usageError(parser, parser.errorText());
    if (parser.isSet(helpOption)) {
        fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.positionalArguments().size() > 1)
        return usageError(parser, QStringLiteral("more than one trace given"));

    const QString tracePath = parser.positionalArguments().value(0);
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

    if (parser.isSet(freshOption))
        QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
    uiprocmain_VORN_Desktop::setBootArgv1(parser.value(bootArgOption));

    Simulator simulator(stdout);
    const bool ran = simulator.run(trace);
    fflush(stdout);
    return ran ? 0 : 1;
}
