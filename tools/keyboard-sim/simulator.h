#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "hostsession.h"
#include "trace.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <cstdio>
#include <memory>

class QQmlEngine;
class SignalRecorder;
class UiprocDealKeyPress_Vorn_Desktop;

// Plays the host around one processor object: runs a host session, creates the
// processor from QML when the trace first needs it, and replays the trace through the
// business object's real signal.
// Everything the processor emits, every trace call and every host take call is
// written to the output as one JSON line.
class Simulator
{
public:
    explicit Simulator(FILE *output);
    ~Simulator();

    // Runs a valid trace to its end; false when the processor cannot be created.
    bool run(const Trace &trace);

private:
    bool ensureProcessor();
    void execute(const TraceLine &line);
    void invoke(const TraceLine &line);
    void setHost(const TraceLine &line);
    void writeIni(const TraceLine &line);
    void waitForInput();
    void writeLine(const QByteArray &line);

    FILE *m_output;
    HostSession m_host;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<SignalRecorder> m_recorder;
    std::unique_ptr<UiprocDealKeyPress_Vorn_Desktop> m_processor;
};

#endif // SIMULATOR_H
