#include "hostsession.h"

#include "public_vorn_taskcmdprocess_desktop.h"
#include "sessionrecorder.h"

#include <QtCore/QCoreApplication>

#include <mutex>

HostSession::HostSession()
{
    uiprocmain_VORN_Desktop::biz_cmdswork = &biz;
    uiprocmain_VORN_Desktop::icoreUSB = &usb;
    Public_Desktop::puiTake = &take;
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(&model, &mutex);
    // The host registers the QML type once, when it starts; every registration stays.
    static std::once_flag registration;
    std::call_once(registration,
                   &Public_Vorn_TaskCmdProcess_Desktop::initRegisterType_Vorn_Desktop);
}

HostSession::~HostSession()
{
    SessionRecorder::finish();
    Public_Vorn_TaskCmdProcess_Desktop::setKeyBoardVar(nullptr, nullptr);
    Public_Desktop::puiTake = nullptr;
    uiprocmain_VORN_Desktop::icoreUSB = nullptr;
    uiprocmain_VORN_Desktop::biz_cmdswork = nullptr;
}

void HostSession::send(const model_Protocoldata &message)
{
    model_Protocoldata held = message;
    emit biz.signalSendReceiveMessage(&held);
    QCoreApplication::sendPostedEvents();
}

void HostSession::sendThroughUsb(const model_Protocoldata &message)
{
    model_Protocoldata held = message;
    emit usb.sigRecvTbar(&held);
    QCoreApplication::sendPostedEvents();
}
