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
