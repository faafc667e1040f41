#include "simulator.h"

#include "configfiles.h"
#include "jsonlines.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QEventLoop>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>

namespace {

const QByteArray ProcessorQml = "import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {}\n";

} // namespace

Simulator::Simulator(FILE *output, HostSession::MessageThread messageThread)
    : m_output(output)
    , m_host(messageThread)
    , m_recorder([this](const QMetaMethod &signal, const QVariantList &args) {
        writeLine(JsonLines::signalLine(signal, args));
    })
    , m_player(m_host, [this] { return createProcessor(); })
    , m_dump(m_host.model)
{
    announceHostCalls();
    QObject::connect(&m_player, &TracePlayer::dumpRequested,
                     [this](TraceLine::DumpTarget target) { dump(target); });
    QObject::connect(
            &m_player, &TracePlayer::processorStarted,
            [this](UiprocDealKeyPress_Vorn_Desktop *processor) { m_recorder.attach(processor); });
    QObject::connect(&m_player, &TracePlayer::called,
                     [this](const QByteArray &method, const QVariant &result) {
                         writeLine(JsonLines::callLine(method, result));
                     });
}

Simulator::~Simulator() = default;

bool Simulator::run(const Trace &trace)
{
    QEventLoop loop;
    bool started = false;
    QObject::connect(&m_player, &TracePlayer::finished, &loop, [&](bool processorStarted) {
        started = processorStarted;
        loop.quit();
    });
    m_player.play(trace);
    loop.exec();
    // The host disconnects the processor when it shuts down.
    if (started)
        m_processor->disconnectBIZ();
    return started;
}

UiprocDealKeyPress_Vorn_Desktop *Simulator::createProcessor()
{
    m_engine.reset(new QQmlEngine);
    QQmlComponent component(m_engine.get());
    component.setData(ProcessorQml, QUrl());
    QObject *object = component.create();
    m_processor.reset(qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(object));
    if (!m_processor) {
        delete object;
        fprintf(stderr, "cannot create the processor: %s\n", qPrintable(component.errorString()));
    }
    return m_processor.get();
}

// What the library asks of the host's stand-ins. The probe outlives the simulator: its
// connections go with the signal recorder.
void Simulator::announceHostCalls()
{
    const UtilityProbe *probe = Utility_Manage::probe();
    QObject::connect(&m_host.take, &UiprocTake::tbarDealt,
                     [this](int alpha) { writeLine(JsonLines::dealTbarLine(alpha)); });
    QObject::connect(probe, &UtilityProbe::connectToneFlagSet, &m_recorder, [this](bool flag) {
        writeLine(JsonLines::hostLine("setConnectToneFlag", {{"flag", flag}}));
    });
    QObject::connect(probe, &UtilityProbe::toneProcVerSet, &m_recorder,
                     [this](const QString &version) {
                         writeLine(JsonLines::hostLine("setToneProcVer", {{"version", version}}));
                     });
    QObject::connect(probe, &UtilityProbe::qmlDebugLogWritten, &m_recorder,
                     [this](int type, int channel) {
                         writeLine(JsonLines::hostLine("writeLogToQmlDebug",
                                                       {{"type", type}, {"channel", channel}}));
                     });
    QObject::connect(
            probe, &UtilityProbe::tbarTestLogWritten, &m_recorder,
            [this](int type, const QString &log) {
                writeLine(JsonLines::hostLine("writeLog_testTbar", {{"type", type}, {"log", log}}));
            });
}

void Simulator::dump(TraceLine::DumpTarget target)
{
    QList<QByteArray> lines;
    switch (target) {
    case TraceLine::Records:
        lines = m_dump.changedRecords();
        break;
    case TraceLine::KeyboardIni:
        lines = StateDump::iniFile("keyboard", ConfigFiles::keyboardConfigPath());
        break;
    case TraceLine::OledIni:
        lines = StateDump::iniFile("oled", ConfigFiles::oledConfigPath());
        break;
    }
    for (const QByteArray &line : lines)
        writeLine(line);
}

// Every line goes out at once: another process may be waiting for it.
void Simulator::writeLine(const QByteArray &line)
{
    fwrite(line.constData(), 1, size_t(line.size()), m_output);
    fputc('\n', m_output);
    fflush(m_output);
}
