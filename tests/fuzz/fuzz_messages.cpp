#include "configfiles.h"
#include "fuzzsteps.h"
#include "fuzztarget.h"
#include "processorhost.h"

#include <uiprocmain_vorn_desktop.h>
#include <utility_manage.h>

#include <QtCore/QSettings>

#include <algorithm>
#include <iterator>

// A session with the processor: each step of the input is a host message, a run of the
// processor's timers, a QML call, a change of what the host answers, or a configuration
// value written to disk. The processor is made at the first step that needs it.
namespace {

using namespace FuzzSteps;
using Processor = UiprocDealKeyPress_Vorn_Desktop;
using Step = void (*)(ProcessorHost &, FuzzInput &);

Processor *processorOf(ProcessorHost &host)
{
    return host.processor ? host.processor.get() : host.start();
}

int integer(FuzzInput &in)
{
    return int(in.take<quint32>());
}

bool flag(FuzzInput &in)
{
    return in.take<uchar>() & 1;
}

QString text(FuzzInput &in)
{
    return QString::fromUtf8(in.chunk());
}

using Route = void (*)(ProcessorHost &, const model_Protocoldata &);
const Route Routes[RouteCount] = {
        [](ProcessorHost &host, const model_Protocoldata &m) { host.send(m); },
        [](ProcessorHost &host, const model_Protocoldata &m) { host.sendThroughUsb(m); },
        [](ProcessorHost &host, const model_Protocoldata &m) {
            processorOf(host)->updateModelDataByKeyValue_New(m);
        },
        [](ProcessorHost &host, const model_Protocoldata &) {
            processorOf(host)->taskCmdProcess(nullptr);
        },
};

void deliver(ProcessorHost &host, FuzzInput &in)
{
    processorOf(host); // listening before the host sends
    model_Protocoldata message;
    for (uchar *byte :
         {&message.command, &message.subCommand, &message.dataA, &message.byte29, &message.byte2A})
        *byte = in.take<uchar>();
    const uchar how = in.take<uchar>();
    const uchar classIndex = (how >> 2) & 3;
    message.messageClass = classIndex < 2 ? MessageClasses[classIndex] : in.take<quint32>();
    message.payload = in.chunk();
    Routes[(how & 3) % std::size(Routes)](host, message);
}

void runTimers(ProcessorHost &host, FuzzInput &in)
{
    const uchar timers = in.take<uchar>();
    if (timers & KeyRate)
        processorOf(host)->updateKeyTimer();
    if (timers & TbarCheck)
        processorOf(host)->updateTimerCheckTbar();
    if (timers & TbarRead)
        processorOf(host)->updateTimerReadTbar();
}

void call(ProcessorHost &host, FuzzInput &in)
{
    const QMetaMethod method = callableMethods().value(in.take<uchar>() % callableMethods().size());
    QVariantList values;
    for (int i = 0; i < method.parameterCount(); ++i) {
        const int type = method.parameterType(i);
        if (type == QMetaType::Int)
            values << integer(in);
        else if (type == QMetaType::Bool)
            values << flag(in);
        else
            values << text(in);
    }
    QGenericArgument args[10];
    for (int i = 0; i < values.size(); ++i)
        args[i] = QGenericArgument(values.at(i).typeName(), values.at(i).constData());
    method.invoke(processorOf(host), Qt::DirectConnection, args[0], args[1], args[2], args[3],
                  args[4], args[5], args[6], args[7], args[8], args[9]);
}

void writeOledIni(ProcessorHost &host, FuzzInput &in)
{
    const int key = integer(in);
    const int displayModel = integer(in);
    const int icon = integer(in);
    const QString first = text(in);
    processorOf(host)->writeOledIni(key, displayModel, icon, first, text(in));
}

const Step HostSteps[HostSettingCount] = {
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setDeviceType(integer(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setConnectType(integer(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setDebugEnabled(flag(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::presetToneProcVer(text(in)); },
        [](ProcessorHost &host, FuzzInput &in) { host.take.setIsTbarMode(flag(in)); },
        [](ProcessorHost &, FuzzInput &in) { Model_VOrnParam::gOledLength = in.take<quint64>(); },
        [](ProcessorHost &, FuzzInput &in) {
            uiprocmain_VORN_Desktop::setBootArgv1(flag(in) ? "Tbar" : "");
        },
        [](ProcessorHost &host, FuzzInput &) { host.processor.reset(); }, // QML makes a new one
        writeOledIni,
};

void setHost(ProcessorHost &host, FuzzInput &in)
{
    HostSteps[in.take<uchar>() % std::size(HostSteps)](host, in);
}

void writeIni(ProcessorHost &, FuzzInput &in)
{
    QSettings settings(flag(in) ? ConfigFiles::oledConfigPath() : ConfigFiles::keyboardConfigPath(),
                       QSettings::IniFormat);
    const QString path = text(in);
    settings.setValue(path, text(in));
}

const Step Steps[StepCount] = {deliver, runTimers, call, setHost, writeIni};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication();
    FuzzInput in(data, size);
    ProcessorHost host;
    while (!in.atEnd())
        Steps[in.take<uchar>() % std::size(Steps)](host, in);
    return 0;
}
