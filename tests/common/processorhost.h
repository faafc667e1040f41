#ifndef PROCESSORHOST_H
#define PROCESSORHOST_H

#include "hostsession.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QStringList>

#include <memory>

class SignalRecorder;

// A host session around one processor under test, with the host's stand-in state
// reset and the configuration folder under the application directory removed before
// and after.
class ProcessorHost : public HostSession
{
public:
    explicit ProcessorHost(MessageThread messageThread = GuiThread);
    ~ProcessorHost();

    // Creates the processor (reading the configuration as it stands), records all its
    // signals and connects it to the message sources.
    UiprocDealKeyPress_Vorn_Desktop *start();

    // Emissions since the last call, as "name(arg, arg)", and in the same order the
    // host calls that the stand-ins announce (Utility_Manage::probe(), take handling).
    QStringList takeEmissions();

    std::unique_ptr<UiprocDealKeyPress_Vorn_Desktop> processor;

private:
    std::unique_ptr<SignalRecorder> m_recorder;
    QStringList m_emissions;
};

Q_DECLARE_METATYPE(model_Protocoldata)

#endif // PROCESSORHOST_H
