#ifndef SESSIONRECORDER_H
#define SESSIONRECORDER_H

#include <QtCore/QByteArray>
#include <QtCore/QElapsedTimer>
#include <QtCore/QString>
#include <QtCore/QVariantList>

class model_Protocoldata;

// The flight recorder: while the host's environment names a file in
// VORN_KEYBOARD_RECORD, everything the library receives is appended to it in the
// keyboard simulator's trace syntax, one line at a time, so that the simulator replays
// the session. A file that cannot be written stops the recording with one warning; the
// library goes on as before.
class SessionRecorder
{
public:
    // The recorder of this process, null while recording is off or stopped.
    static SessionRecorder *active() { return s_active; }

    // Starts recording when the environment asks for it and it has not started yet:
    // writes the header with the host's settings and both configuration files. The T-bar
    // process records to the file name with ".tbar" added before its suffix.
    static void startIfRequested(bool tbarProcess);

    void message(const model_Protocoldata &message);
    // The message has been handled: what it changed in the host's settings (the
    // tone-processor version) needs no line of its own.
    void messageHandled();
    // A slot or invokable called from outside; the arguments as QML passes them.
    void call(const char *name, const QVariantList &arguments = QVariantList());
    // What the host answers may have changed outside any recorded line.
    void noteHostSettings();
    // The processor goes: a last disconnectBIZ is the host's shutdown, which the
    // replaying simulator makes itself.
    void processorDestroyed();

    ~SessionRecorder();

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
    qint64 now() const;
    static HostSettings hostSettings();
    void writeHeader();
    void writeHostChanges(bool all);
    void writeLine(const QByteArray &line, qint64 at);
    void writeRaw(const QByteArray &bytes);

    static SessionRecorder *s_active;

    int m_fd;
    QString m_path;
    QElapsedTimer m_clock;
    qint64 m_lastLine = 0; // nanoseconds, when the last line was recorded
    HostSettings m_host;
    bool m_connected = false; // the first connectBIZ is the one the simulator makes
    QVector<qint64> m_pendingDisconnects; // held until another line follows
};

// Records a call of a slot or invokable made from outside the library.
template<typename... Arguments>
inline void recordCall(const char *name, const Arguments &...arguments)
{
    if (SessionRecorder *recorder = SessionRecorder::active())
        recorder->call(name, {QVariant(arguments)...});
}

#endif // SESSIONRECORDER_H
