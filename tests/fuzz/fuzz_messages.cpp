#include "configfile.h"
#include "configfiles.h"
#include "fuzzsteps.h"
#include "fuzztarget.h"
#include "processorhost.h"
#include "sessionrecorder.h"
#include "trace.h"
#include "traceplayer.h"
#include "virtualclock.h"

#include <uiprocmain_vorn_desktop.h>
#include <utility_manage.h>

#include <QtCore/QDir>
#include <QtCore/QEventLoop>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

// A session with the processor, on the simulator's virtual clock and with the flight
// recorder on: each step of the input is a host message, a call of the processor's timer
// slots, a QML call, a change of what the host answers, a configuration value written to
// disk, or time passing. The processor is made at the first step that needs it. The
// recording must then be a valid trace that the trace player replays.
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
    ConfigFile file(flag(in) ? ConfigFiles::oledConfigPath() : ConfigFiles::keyboardConfigPath(),
                    ConfigFile::ReadWrite);
    const QString path = text(in);
    file.document().setValue(path, text(in));
    file.commit();
}

void wait(ProcessorHost &, FuzzInput &in)
{
    VirtualClock::current()->advance(in.take<quint16>() & MaxWait);
}

const Step Steps[StepCount] = {deliver, runTimers, call, setHost, writeIni, wait};

void replay(const QString &recording)
{
    QFile file(recording);
    const Trace trace
            = Trace::parse(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    if (!trace.isValid()) {
        fprintf(stderr, "recording line %d: %s\n", trace.errorLine(),
                qPrintable(trace.errorReason()));
        abort();
    }
    ProcessorHost host;
    TracePlayer player(host, [&host] {
        host.processor.reset(new Processor);
        return host.processor.get();
    });
    QEventLoop loop;
    QObject::connect(&player, &TracePlayer::finished, &loop, &QEventLoop::quit);
    player.play(trace);
    loop.exec();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!QCoreApplication::instance())
        QCoreApplication::setEventDispatcher(new VirtualClock);
    fuzzApplication();
    const QString recording = QDir::temp().filePath(QStringLiteral("session.trace"));
    QFile::remove(recording);
    qputenv("VORN_KEYBOARD_RECORD", QFile::encodeName(recording));
    {
        FuzzInput in(data, size);
        ProcessorHost host; // the recording ends with the session
        while (!in.atEnd())
            Steps[in.take<uchar>() % std::size(Steps)](host, in);
    }
    qunsetenv("VORN_KEYBOARD_RECORD");
    replay(recording);
    return 0;
}
