#ifndef SESSIONRECORDER_H
#define SESSIONRECORDER_H

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QTimer>
#include <QtCore/QVariantList>
#include <QtCore/QVector>

class model_Protocoldata;

// The flight recorder: while the host's environment names a file in
// VORN_KEYBOARD_RECORD, everything the library receives is written in the keyboard
// simulator's trace syntax, one complete line at a time, so that the simulator replays the
// session. Each session gets a file of its own, never one that exists: the file named, or
// NAME-2.SUFFIX, NAME-3.SUFFIX, ... when it is taken. A file that cannot be written stops
// the recording with one warning; the library goes on as before.
//
// Time in a recording is the replay's. The recorder follows the deadline each of the
// library's timers has in the replay, and places every line after the firings it came
// after and before the deadlines still pending, otherwise as near to the event
// dispatcher's time (the wall clock in a host, the simulator's clock in a replay) as
// that allows.
class SessionRecorder : public QObject
{
public:
    // How a recording starts: a replay knows a recording by it.
    static constexpr char HeaderStart[] = "# keyboard session recorded ";

    // The recorder of this process, null while recording is off or stopped.
    static SessionRecorder *active() { return s_active; }

    // Starts recording when the environment asks for it and it has not started yet:
    // writes the header with the host's settings and both configuration files. The T-bar
    // process records to the file name with ".tbar" added before its suffix.
    static void startIfRequested(bool tbarProcess);
    // Ends the recording; the next processor starts another one if the environment asks.
    // For processes that run several sessions one after another (tests, fuzz targets).
    static void finish();

    // A message handed to the processor; `record` is the host's, so that the deliveries
    // of one message over a connection made twice are recorded once.
    void message(const void *record, const model_Protocoldata &message);
    // The message has been handled: what it changed in the host's settings (the
    // tone-processor version) needs no line of its own.
    void messageHandled();
    // A slot or invokable called from outside; the arguments as QML passes them.
    void call(const char *name, const QVariantList &arguments = QVariantList());
    // One of the library's timers whose firings change what the processor does has been
    // started or restarted.
    void timerStarted(QTimer *timer);
    // The processor goes: a last disconnectBIZ is the host's shutdown, which the
    // replaying simulator makes itself; the timers that fired up to now are waited for.
    void processorDestroyed();

    ~SessionRecorder() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct HostSettings
    {
        int deviceType = 0;
        int connectType = 0;
        bool debug = false;
        QString toneVersion;
        bool tbarMode = false;
        bool operator==(const HostSettings &other) const;
    };

    SessionRecorder(int fd, const QString &path);
    static int createSessionFile(const QString &requested, QString *path);
    static HostSettings hostSettings();
    qint64 dispatcherTime() const;
    qint64 placeLine();
    void timerFiring(QTimer *timer);
    void writeHeader();
    QByteArray hostChanges(bool all);
    void writeLine(const QByteArray &line);
    void writeHeldDisconnects();
    void writeAt(const QByteArray &lines, qint64 at);
    void writeRaw(const QByteArray &bytes);

    static SessionRecorder *s_active;

    int m_fd;
    QString m_path;
    QTimer m_clock; // reads the dispatcher's time
    qint64 m_clockBase = 0;
    QHash<QTimer *, qint64> m_deadlines; // the library's timers, by their replay deadline
    qint64 m_now = 0; // replay time of the latest line or timer firing
    qint64 m_written = 0; // replay time of the last line written
    HostSettings m_host;
    bool m_connected = false; // the first connectBIZ is the one the simulator makes
    int m_connections = 0; // connectBIZ calls since the last disconnectBIZ
    const void *m_lastRecord = nullptr;
    int m_deliveries = 0; // of the last record
    QVector<qint64> m_heldDisconnects; // held until another line follows
};

// Records a call of a slot or invokable made from outside the library.
template<typename... Arguments>
inline void recordCall(const char *name, const Arguments &...arguments)
{
    if (SessionRecorder *recorder = SessionRecorder::active())
        recorder->call(name, {QVariant(arguments)...});
}

// Records that a timer of the library has been started.
inline void recordTimerStart(QTimer &timer)
{
    if (SessionRecorder *recorder = SessionRecorder::active())
        recorder->timerStarted(&timer);
}

#endif // SESSIONRECORDER_H
