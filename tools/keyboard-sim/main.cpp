#include "sessionoptions.h"
#include "simulator.h"
#include "statelocation.h"
#include "virtualclock.h"

#include <QtCore/QCoreApplication>

int main(int argc, char *argv[])
{
    auto *clock = new VirtualClock;
    QCoreApplication::setEventDispatcher(clock);
    QCoreApplication app(argc, argv);
    StateLocation::choose(QStringLiteral(VORN_INSTALLED_TOOLS_DIR));

    QCommandLineParser parser;
    SessionOptions options(parser,
                           QStringLiteral("Plays the host around the keyboard processor and "
                                          "replays a trace (none: the built-in demo; -: standard "
                                          "input), one JSON line per signal, call and host call."));
    const QCommandLineOption realTimeOption(
            QStringLiteral("real-time"),
            QStringLiteral("Waits in real time, for a pause or another process; by default a "
                           "wait moves a virtual clock on at once and fires the timers due."));
    parser.addOption(realTimeOption);
    Trace trace;
    int exitStatus = 0;
    if (!options.prepare(app.arguments(), &trace, &exitStatus))
        return exitStatus;
    if (parser.isSet(realTimeOption))
        clock->followWallClock();

    Simulator simulator(stdout, options.messageThread());
    const bool ran = simulator.run(trace);
    fflush(stdout);
    return ran ? 0 : 1;
}
