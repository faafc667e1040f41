#include "configfiles.h"
#include "fuzzinput.h"
#include "processorhost.h"
#include "trace.h"

#include <uiprocmain_vorn_desktop.h>
#include <utility_manage.h>

#include <QtCore/QMetaMethod>
#include <QtCore/QSettings>

#include <algorithm>
#include <iterator>

// A session with the processor: each step of the input is a host message, a run of the
// processor's timers, a QML call, a change of what the host answers, or a configuration
// value written to disk. The processor is made at the first step that needs it.
namespace {

using Processor = UiprocDealKeyPress_Vorn_Desktop;
using Step = void (*)(ProcessorHost &, FuzzInput &);

enum StepIndex : uchar { MessageStep, TimerStep, CallStep, HostStep, IniStep };
// A message's "how" byte: bits 0-1 its route, bits 2-3 its class (2, 3: 32 bits follow).
enum RouteIndex : uchar { BusinessRoute };
const quint32 MessageClasses[] = {0x400000, 0x400100};
enum Timer : uchar { KeyRate = 1, TbarCheck = 2, TbarRead = 4 };

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

// The slots and invokables QML calls, without the profile transfer (it reaches the real
// removable-disk root) and taskCmdProcess, which the messages reach.
const QVector<QMetaMethod> &callableMethods()
{
    static const QVector<QMetaMethod> methods = [] {
        const QByteArrayList excluded{"scanUdisk", "exportProfile", "importProfile",
                                      "taskCmdProcess"};
        QVector<QMetaMethod> list;
        const QMetaObject &meta = Processor::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() != QMetaMethod::Signal
                && !excluded.contains(meta.method(i).name()))
                list << meta.method(i);
        }
        return list;
    }();
    return methods;
}

using Route = void (*)(ProcessorHost &, const model_Protocoldata &);
const Route Routes[] = {
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

// What the host answers; the first five in the order of the trace's host settings.
const Step HostSteps[] = {
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setDeviceType(integer(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setConnectType(integer(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setDebugEnabled(flag(in)); },
        [](ProcessorHost &, FuzzInput &in) { Utility_Manage::setToneProcVer(text(in)); },
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

const Step Steps[] = {deliver, runTimers, call, setHost, writeIni};

// The timers a wait of this long lets fire (key rate 500 ms, check 120 ms, poll 10 ms).
uchar timersWithin(int milliseconds)
{
    return (milliseconds >= 500 ? KeyRate : 0) | (milliseconds >= 120 ? TbarCheck : 0)
            | (milliseconds >= 10 ? TbarRead : 0);
}

void putValue(QByteArray &out, const QVariant &value)
{
    if (value.type() == QVariant::Bool)
        FuzzInput::put(out, uchar(value.toBool()));
    else if (value.type() == QVariant::String)
        FuzzInput::putChunk(out, value.toString().toUtf8());
    else
        FuzzInput::put(out, quint32(value.toInt()));
}

void putMessage(QByteArray &out, const model_Protocoldata &message)
{
    for (const uchar byte :
         {message.command, message.subCommand, message.dataA, message.byte29, message.byte2A})
        FuzzInput::put(out, byte);
    const int classIndex = int(
            std::find(std::begin(MessageClasses), std::end(MessageClasses), message.messageClass)
            - std::begin(MessageClasses));
    FuzzInput::put(out, uchar(classIndex << 2 | BusinessRoute));
    if (classIndex == 2)
        FuzzInput::put(out, message.messageClass);
    FuzzInput::putChunk(out, message.payload);
}

// A trace line as the steps that do what the simulator does for it.
void putLine(QByteArray &out, const TraceLine &line)
{
    const int method
            = callableMethods().indexOf(Processor::staticMetaObject.method(line.methodIndex));
    switch (line.kind) {
    case TraceLine::Message:
        FuzzInput::put(out, uchar(MessageStep));
        return putMessage(out, line.message);
    case TraceLine::Call:
        if (method < 0)
            return;
        FuzzInput::put(out, uchar(CallStep));
        FuzzInput::put(out, uchar(method));
        for (const QVariant &value : line.arguments)
            putValue(out, value);
        return;
    case TraceLine::Wait:
    case TraceLine::Pause:
        FuzzInput::put(out, uchar(TimerStep));
        return FuzzInput::put(out,
                              uchar(line.kind == TraceLine::Wait ? timersWithin(line.milliseconds)
                                                                 : KeyRate | TbarCheck | TbarRead));
    case TraceLine::Host:
        FuzzInput::put(out, uchar(HostStep));
        FuzzInput::put(out, uchar(line.hostSetting));
        return putValue(out, line.value);
    case TraceLine::Ini:
        FuzzInput::put(out, uchar(IniStep));
        FuzzInput::put(out, uchar(line.iniFile));
        FuzzInput::putChunk(out, line.iniPath.toUtf8());
        return FuzzInput::putChunk(out, line.value.toString().toUtf8());
    }
}

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

QByteArrayList fuzzSeeds(const QByteArray &traceText)
{
    const Trace trace = Trace::parse(QString::fromUtf8(traceText));
    QByteArray seed;
    for (const TraceLine &line : trace.lines())
        putLine(seed, line);
    return trace.isValid() ? QByteArrayList{seed} : QByteArrayList();
}
