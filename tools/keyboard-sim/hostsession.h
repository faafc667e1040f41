#ifndef HOSTSESSION_H
#define HOSTSESSION_H

#include <model_protocoldata.h>
#include <model_vornparam.h>
#include <uiprocmain_vorn_desktop.h>
#include <uiproctake.h>

#include <QtCore/QMutex>
#include <QtCore/QThread>

#include <functional>

// The host's side of a session: its keyboard model and mutex, its message sources and
// its take handling, handed to the library and the stand-ins' static pointers for as
// long as the session lives.
class HostSession
{
public:
    // Where the business and USB objects live and emit their messages from.
    enum MessageThread { GuiThread, WorkerThread };

    explicit HostSession(MessageThread messageThread = GuiThread);
    ~HostSession();

    // Hands a message out through the business object's signal, as the host does, and
    // delivers the queued slot calls while the message is still alive.
    void send(const model_Protocoldata &message);
    void sendThroughUsb(const model_Protocoldata &message);

    // Told on this thread of each message the session hands out: before it is emitted
    // (handled false) and once the library has handled it (handled true), so that what
    // the library emitted in between belongs to that message.
    using MessageObserver = std::function<void(const model_Protocoldata &message, bool handled)>;
    void setMessageObserver(MessageObserver observer) { m_observer = std::move(observer); }

    Model_VOrnParam model;
    QMutex mutex;
    BizCmdsWork biz;
    CoreUSB usb;
    UiprocTake take;

private:
    void emitAndDeliver(const model_Protocoldata &message, QObject *source,
                        const std::function<void()> &emission);

    QThread m_worker;
    MessageObserver m_observer;
};

// A message as the host's business object hands it out.
model_Protocoldata hostMessage(uchar command, uchar subCommand, uchar dataA = 0, uchar byte29 = 0,
                               uchar byte2A = 0, const QByteArray &payload = QByteArray(),
                               quint32 messageClass = 0x400000);
// A key event: data byte B travels as the sub-command.
model_Protocoldata keyEvent(quint16 key, uchar subCommand = 0, uchar dataA = 0);

#endif // HOSTSESSION_H
