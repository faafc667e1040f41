#ifndef HOSTMODELTHREADS_H
#define HOSTMODELTHREADS_H

#include "hostsession.h"

#include <QtCore/QSemaphore>
#include <QtCore/QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QThread;

// The host's own threads beside a session, as a host runs them while its worker thread
// emits messages: writers and readers of the keyboard model, all under the host's mutex.
// Each notes what it finds wrong:
// - a reader, that the model changed while it held the mutex, or that a part a writer
//   owns or a record a stream message wrote (send()) is only half written;
// - a writer of parts the library never writes, that its last write is gone.
// A writer also writes the parts of the bank keys' records the library leaves alone: a
// write-back of those records may undo its write, never tear it. The threads go at the
// GUI thread's pace, one step for each letStep(), so that they cannot crowd it out of
// the mutex; when the GUI thread lets none take a step for ten seconds, it is stuck on
// the mutex, and they end the process.
class HostModelThreads
{
public:
    enum Part { Writers = 1, Readers = 2 };

    explicit HostModelThreads(HostSession &session);
    // Stops the threads.
    ~HostModelThreads();

    // Starts the writers (three threads) and the readers (two, and one on request).
    void start(int parts);
    // Each thread takes one more step, so that its last check sees the final model, and
    // ends.
    void stop();

    // Lets one of the threads take a step.
    void letStep();
    // Returns once a reader holds the host's mutex, having copied the model. Called on
    // the GUI thread just before the library writes the model, it has the write meet a
    // host thread holding the mutex, however the threads are scheduled.
    void holdMutexNow();

    // Sends message n of the stream the threads check and lets a thread take a step. The
    // stream is, in turn, a group OLED message for the bank keys and an OLED message for
    // key 58, both stamped with n (in decimal in both texts, its low byte as display
    // model), a key event and a T-bar reading from the USB object; the line length must
    // be 10.
    void send(int n);
    // Fills every part a writer writes with value: a model the readers take as whole.
    static void fillWrittenParts(Model_VOrnParam &model, uchar value);

    // The first few things found wrong.
    QStringList findings() const;
    int writes() const { return m_writes; }
    int checkedWrites() const { return m_checkedWrites; }
    int reads() const { return m_reads; }

private:
    struct Writer;
    static std::vector<Writer> writtenParts();

    void run(QSemaphore &turns, const std::function<void()> &step);
    void lock();
    void write(Writer &writer);
    void read(std::vector<uchar> &copy, QSemaphore *copied = nullptr);
    QString wrongIn(const uchar *plain) const;
    void found(const QString &what);

    HostSession &m_session;
    std::vector<Writer> m_writers;
    std::vector<std::unique_ptr<QThread>> m_threads;
    std::atomic<bool> m_stop{false};
    QSemaphore m_steps;
    QSemaphore m_holdRequests;
    QSemaphore m_holding;
    std::atomic<int> m_writes{0};
    std::atomic<int> m_checkedWrites{0};
    std::atomic<int> m_reads{0};
    mutable QMutex m_findingsLock;
    QStringList m_findings;
};

#endif // HOSTMODELTHREADS_H
