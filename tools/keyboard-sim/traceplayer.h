#ifndef TRACEPLAYER_H
#define TRACEPLAYER_H

#include "hostsession.h"
#include "trace.h"

#include <QtCore/QObject>
#include <QtCore/QTimer>
#include <QtCore/QVariant>

#include <functional>
#include <memory>

class QSocketNotifier;
class UiprocDealKeyPress_Vorn_Desktop;

// Plays a trace the way the host drives the processor: messages through the business
// object's signal, calls as QML makes them, settings on the host's stand-ins. The
// processor is created when the first line needs it (configuration lines come before
// it), or at the end when none does. On a virtual clock (VirtualClock) a `wait` line moves
// the clock on at once; otherwise `wait` and `pause` lines hand control back to the event
// loop and play on when their time or their input comes, so timers fire and a window keeps
// drawing meanwhile.
class TracePlayer : public QObject
{
    Q_OBJECT
public:
    // Creates the processor from QML; nullptr when it cannot.
    using ProcessorFactory = std::function<UiprocDealKeyPress_Vorn_Desktop *()>;

    TracePlayer(HostSession &host, ProcessorFactory createProcessor);
    ~TracePlayer() override;

    // Starts playing from the event loop; finished() follows the last line.
    void play(const Trace &trace);
    // Runs one line other than wait and pause at once, and delivers what it queued;
    // false when the processor cannot be created.
    bool execute(const TraceLine &line);

    UiprocDealKeyPress_Vorn_Desktop *processor() const { return m_processor; }

signals:
    // The processor exists; connectBIZ follows.
    void processorStarted(UiprocDealKeyPress_Vorn_Desktop *processor);
    // A call line ran; an invalid result stands for void.
    void called(const QByteArray &method, const QVariant &result);
    // The trace has ended; false when the processor could not be created.
    void finished(bool started);
    // A dump line asks to show state.
    void dumpRequested(TraceLine::DumpTarget target);

private:
    void playOn();
    bool ensureProcessor();
    void invoke(const TraceLine &line);
    void setHost(const TraceLine &line);
    void writeIni(const TraceLine &line);
    void waitForInput();
    void readInput();

    HostSession &m_host;
    ProcessorFactory m_createProcessor;
    UiprocDealKeyPress_Vorn_Desktop *m_processor = nullptr;
    QVector<TraceLine> m_lines;
    int m_next = 0;
    QTimer m_wait;
    std::unique_ptr<QSocketNotifier> m_input;
};

#endif // TRACEPLAYER_H
