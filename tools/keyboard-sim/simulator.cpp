#include "simulator.h"

#include "jsonlines.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QEventLoop>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>

namespace {

const QByteArray ProcessorQml = "import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {}\n";

} // namespace

Simulator::Simulator(FILE *output)
    : m_output(output)
    , m_recorder([this](const QMetaMethod &signal, const QVariantList &args) {
        writeLine(JsonLines::signalLine(signal, args));
    })
    , m_player(m_host, [this] { return createProcessor(); })
{
    QObject::connect(&m_host.take, &UiprocTake::tbarDealt,
                     [this](int alpha) { writeLine(JsonLines::dealTbarLine(alpha)); });
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

// Every line goes out at once: another process may be waiting for it.
void Simulator::writeLine(const QByteArray &line)
{
    fwrite(line.constData(), 1, size_t(line.size()), m_output);
    fputc('\n', m_output);
    fflush(m_output);
}
