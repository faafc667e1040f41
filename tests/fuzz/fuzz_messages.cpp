#include "configfiles.h"
#include "fuzzhost.h"
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

enum Step : uchar { Message, Timers, Call, Host, Ini, StepCount };
// The first five in the order of the trace's host settings.
enum HostStep : uchar {
    DeviceType,
    ConnectType,
    Debug,
    ToneVersion,
    TbarMode,
    OledLength,
    TbarProcess,
    Recreate,
    WriteOledIni,
    HostStepCount
};
// How a message arrives: bits 0-1 the route, bits 2-3 the class (2 and 3: 32 bits follow).
enum Route : uchar { Business, Usb, KeyValueNewLayout, NoRecord, RouteCount };
const quint32 MessageClasses[] = {0x400000, 0x400100};
enum Timer : uchar { KeyRate = 1, TbarCheck = 2, TbarRead = 4 };

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

Processor *processorOf(ProcessorHost &host)
{
    return host.processor ? host.processor.get() : host.start();
}

void deliver(ProcessorHost &host, FuzzInput &in)
{
    processorOf(host); // listening before the host sends
    model_Protocoldata message;
    message.command = in.take<uchar>();
    message.subCommand = in.take<uchar>();
    message.dataA = in.take<uchar>();
    message.byte29 = in.take<uchar>();
    message.byte2A = in.take<uchar>();
    const uchar how = in.take<uchar>();
    const uchar classIndex = (how >> 2) & 3;
    message.messageClass = classIndex < 2 ? MessageClasses[classIndex] : in.take<quint32>();
    message.payload = in.chunk();
    switch ((how & 3) % RouteCount) {
    case Business:
        return host.send(message);
    case Usb:
        return host.sendThroughUsb(message);
    case KeyValueNewLayout:
        return processorOf(host)->updateModelDataByKeyValue_New(message);
    case NoRecord:
        return processorOf(host)->taskCmdProcess(nullptr);
    }
}

void call(Processor *processor, FuzzInput &in)
{
    const QMetaMethod method = callableMethods().value(in.take<uchar>() % callableMethods().size());
    QVariantList values;
    for (int i = 0; i < method.parameterCount(); ++i) {
        if (method.parameterType(i) == QMetaType::Int)
            values << int(in.take<quint32>());
        else if (method.parameterType(i) == QMetaType::Bool)
            values << bool(in.take<uchar>() & 1);
        else
            values << QString::fromUtf8(in.chunk());
    }
    QGenericArgument args[10];
    for (int i = 0; i < values.size(); ++i)
        args[i] = QGenericArgument(values.at(i).typeName(), values.at(i).constData());
    method.invoke(processor, Qt::DirectConnection, args[0], args[1], args[2], args[3], args[4],
                  args[5], args[6], args[7], args[8], args[9]);
}

void setHost(ProcessorHost &host, FuzzInput &in)
{
    switch (in.take<uchar>() % HostStepCount) {
    case DeviceType:
        return Utility_Manage::setDeviceType(int(in.take<quint32>()));
    case ConnectType:
        return Utility_Manage::setConnectType(int(in.take<quint32>()));
    case Debug:
        return Utility_Manage::setDebugEnabled(in.take<uchar>() & 1);
    case ToneVersion:
        return Utility_Manage::setToneProcVer(QString::fromUtf8(in.chunk()));
    case TbarMode:
        return host.take.setIsTbarMode(in.take<uchar>() & 1);
    case OledLength:
        Model_VOrnParam::gOledLength = in.take<quint64>();
        return;
    case TbarProcess:
        return uiprocmain_VORN_Desktop::setBootArgv1(in.take<uchar>() & 1 ? "Tbar" : "");
    case Recreate:
        return host.processor.reset();
    case WriteOledIni: {
        const int key = int(in.take<quint32>());
        const int displayModel = int(in.take<quint32>());
        const int icon = int(in.take<quint32>());
        const QString first = QString::fromUtf8(in.chunk());
        const QString second = QString::fromUtf8(in.chunk());
        return processorOf(host)->writeOledIni(key, displayModel, icon, first, second);
    }
    }
}

void writeIni(FuzzInput &in)
{
    QSettings settings(in.take<uchar>() & 1 ? ConfigFiles::oledConfigPath()
                                            : ConfigFiles::keyboardConfigPath(),
                       QSettings::IniFormat);
    const QString path = QString::fromUtf8(in.chunk());
    settings.setValue(path, QString::fromUtf8(in.chunk()));
}

void runTimers(Processor *processor, uchar timers)
{
    if (timers & KeyRate)
        processor->updateKeyTimer();
    if (timers & TbarCheck)
        processor->updateTimerCheckTbar();
    if (timers & TbarRead)
        processor->updateTimerReadTbar();
}

// The timers a wait of this long lets fire (key rate 500 ms, check 120 ms, poll 10 ms).
uchar timersWithin(int milliseconds)
{
    return (milliseconds >= 500 ? KeyRate : 0) | (milliseconds >= 120 ? TbarCheck : 0)
            | (milliseconds >= 10 ? TbarRead : 0);
}

void putMessage(QByteArray &out, const model_Protocoldata &message)
{
    for (const uchar byte :
         {message.command, message.subCommand, message.dataA, message.byte29, message.byte2A})
        FuzzInput::put(out, byte);
    const int classIndex = int(
            std::find(std::begin(MessageClasses), std::end(MessageClasses), message.messageClass)
            - std::begin(MessageClasses));
    FuzzInput::put(out, uchar(classIndex << 2 | Business));
    if (classIndex == 2)
        FuzzInput::put(out, message.messageClass);
    FuzzInput::putChunk(out, message.payload);
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

void putLine(QByteArray &out, const TraceLine &line)
{
    switch (line.kind) {
    case TraceLine::Message:
        FuzzInput::put(out, uchar(Message));
        return putMessage(out, line.message);
    case TraceLine::Call: {
        const int index
                = callableMethods().indexOf(Processor::staticMetaObject.method(line.methodIndex));
        if (index < 0)
            return;
        FuzzInput::put(out, uchar(Call));
        FuzzInput::put(out, uchar(index));
        for (const QVariant &value : line.arguments)
            putValue(out, value);
        return;
    }
    case TraceLine::Wait:
    case TraceLine::Pause:
        FuzzInput::put(out, uchar(Timers));
        FuzzInput::put(out,
                       line.kind == TraceLine::Wait ? timersWithin(line.milliseconds)
                                                    : KeyRate | TbarCheck | TbarRead);
        return;
    case TraceLine::Host:
        FuzzInput::put(out, uchar(Host));
        FuzzInput::put(out, uchar(line.hostSetting));
        return putValue(out, line.value);
    case TraceLine::Ini:
        FuzzInput::put(out, uchar(Ini));
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
    while (!in.atEnd()) {
        switch (in.take<uchar>() % StepCount) {
        case Message:
            deliver(host, in);
            break;
        case Timers:
            runTimers(processorOf(host), in.take<uchar>());
            break;
        case Call:
            call(processorOf(host), in);
            break;
        case Host:
            setHost(host, in);
            break;
        case Ini:
            writeIni(in);
            break;
        }
    }
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
