#include "processorhost.h"

#include "configfiles.h"
#include "signalrecorder.h"

#include <utility_manage.h>

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

void removeConfigFolder()
{
    QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
}

} // namespace

ProcessorHost::ProcessorHost(MessageThread messageThread) : HostSession(messageThread)
{
    removeConfigFolder();
    Utility_Manage::reset();
    Model_VOrnParam::gOledLength = 10;
    UiprocDealKeyPress_Vorn_Desktop::keyTimer.stop();
    UiprocDealKeyPress_Vorn_Desktop::keyFlag = true;
    uiprocmain_VORN_Desktop::setBootArgv1(QString());
}

ProcessorHost::~ProcessorHost()
{
    processor.reset();
    removeConfigFolder();
}

UiprocDealKeyPress_Vorn_Desktop *ProcessorHost::start()
{
    processor.reset(new UiprocDealKeyPress_Vorn_Desktop);
    m_recorder.reset(
            new SignalRecorder([this](const QMetaMethod &signal, const QVariantList &args) {
                m_emissions.append(SignalRecorder::describe(signal, args));
            }));
    m_recorder->attach(processor.get());
    m_recorder->attach(Utility_Manage::probe());
    m_recorder->attach(&take);
    processor->connectBIZ();
    return processor.get();
}

QStringList ProcessorHost::takeEmissions()
{
    QStringList emissions;
    emissions.swap(m_emissions);
    return emissions;
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
