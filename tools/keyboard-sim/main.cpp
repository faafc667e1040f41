#include "sessionoptions.h"
#include "simulator.h"

#include <QtCore/QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    SessionOptions options(parser,
                           QStringLiteral("Plays the host around the keyboard processor and "
                                          "replays a trace (none: the built-in demo; -: standard "
                                          "input), one JSON line per signal, call and host call."));
    Trace trace;
    int exitStatus = 0;
    if (!options.prepare(app.arguments(), &trace, &exitStatus))
        return exitStatus;

    Simulator simulator(stdout, options.messageThread());
    const bool ran = simulator.run(trace);
    fflush(stdout);
    return ran ? 0 : 1;
}
