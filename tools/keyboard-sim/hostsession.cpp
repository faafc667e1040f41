#include "hostsession.h"

#include "public_vorn_taskcmdprocess_desktop.h"
#include "sessionrecorder.h"

#include <QtCore/QCoreApplication>

#include <mutex>

HostSession::HostSession(MessageThread messageThread)
{
    uiprocmain_VORN_Desktop::biz_cmdswork = &biz;
    uiprocmain_VORN_Desktop::icoreUSB = &usb;
    Public_Desktop::puiTake = &take;
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(&model, &mutex);
    // The host registers the QML type once, when it starts; every registration stays.
    static std::once_flag registration;
    std::call_once(registration,
                   &Public_Vorn_TaskCmdProcess_Desktop::initRegisterType_Vorn_Desktop);
    if (messageThread == WorkerThread) {
        m_worker.setObjectName(QStringLiteral("host messages"));
        biz.moveToThread(&m_worker);
        usb.moveToThread(&m_worker);
        m_worker.start();
    }
}

HostSession::~HostSession()
{
    if (m_worker.isRunning()) {
        QThread *home = QThread::currentThread();
        QMetaObject::invokeMethod(
                &biz,
                [this, home] {
                    biz.moveToThread(home);
                    usb.moveToThread(home);
                },
                Qt::BlockingQueuedConnection);
        m_worker.quit();
        m_worker.wait();
    }
    SessionRecorder::finish();
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(nullptr, nullptr);
    Public_Desktop::puiTake = nullptr;
    uiprocmain_VORN_Desktop::icoreUSB = nullptr;
    uiprocmain_VORN_Desktop::biz_cmdswork = nullptr;
}

void HostSession::send(const model_Protocoldata &message)
{
    model_Protocoldata held = message;
    emitAndDeliver(held, &biz, [this, &held] { emit biz.signalSendReceiveMessage(&held); });
}

void HostSession::sendThroughUsb(const model_Protocoldata &message)
{
    model_Protocoldata held = message;
    emitAndDeliver(held, &usb, [this, &held] { emit usb.sigRecvTbar(&held); });
}

// From the worker the emission returns once the library's queued connections have
// posted their slot calls to this thread, so delivering the posted events runs each of
// them: no waiting for time, whatever drives this thread's event loop.
void HostSession::emitAndDeliver(const model_Protocoldata &message, QObject *source,
                                 const std::function<void()> &emission)
{
    if (m_observer)
        m_observer(message, false);
    if (m_worker.isRunning())
        QMetaObject::invokeMethod(source, emission, Qt::BlockingQueuedConnection);
    else
        emission();
    QCoreApplication::sendPostedEvents();
    if (m_observer)
        m_observer(message, true);
}

model_Protocoldata hostMessage(uchar command, uchar subCommand, uchar dataA, uchar byte29,
                               uchar byte2A, const QByteArray &payload, quint32 messageClass)
{
    model_Protocoldata message;
    message.command = command;
    message.subCommand = subCommand;
    message.dataA = dataA;
    message.byte29 = byte29;
    message.byte2A = byte2A;
    message.payload = payload;
    message.messageClass = messageClass;
    return message;
}

model_Protocoldata keyEvent(quint16 key, uchar subCommand, uchar dataA)
{
    return hostMessage(0xa0, subCommand, dataA, uchar(key & 0xff), uchar(key >> 8));
}
