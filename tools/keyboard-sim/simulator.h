#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "hostsession.h"
#include "signalrecorder.h"
#include "statedump.h"
#include "trace.h"
#include "traceplayer.h"

#include <cstdio>
#include <memory>

class QQmlEngine;
class UiprocDealKeyPress_Vorn_Desktop;

// Plays the host around one processor object, created from QML, and replays a trace
// through the business object's real signal. Everything the processor emits, every
// trace call and every host take call is written to the output as one JSON line.
class Simulator
{
public:
    Simulator(FILE *output, HostSession::MessageThread messageThread);
    ~Simulator();

    // Runs a valid trace to its end; false when the processor cannot be created.
    bool run(const Trace &trace);

private:
    UiprocDealKeyPress_Vorn_Desktop *createProcessor();
    void writeLine(const QByteArray &line);
    void dump(TraceLine::DumpTarget target);
    void announceHostCalls();

    FILE *m_output;
    HostSession m_host;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<UiprocDealKeyPress_Vorn_Desktop> m_processor;
    SignalRecorder m_recorder;
    TracePlayer m_player;
    StateDump m_dump;
};

#endif // SIMULATOR_H
