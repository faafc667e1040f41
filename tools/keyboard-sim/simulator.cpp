#include "simulator.h"

#include "configfiles.h"
#include "jsonlines.h"
#include "signalrecorder.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QSettings>
#include <QtCore/QSocketNotifier>
#include <QtCore/QTimer>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>

#include <unistd.h>

namespace {

const QByteArray ProcessorQml = "import vorn.UiprocDealKeyPress 1.0\nDealKeyPress {}\n";

} // namespace

Simulator::Simulator(FILE *output) : m_output(output)
{
    QObject::connect(&m_host.take, &UiprocTake::tbarDealt,
                     [this](int alpha) { writeLine(JsonLines::dealTbarLine(alpha)); });
}

Simulator::~Simulator() = default;

bool Simulator::run(const Trace &trace)
{
    for (const TraceLine &line : trace.lines()) {
        if (line.needsProcessor() && !ensureProcessor())
            return false;
        execute(line);
        // Deliver what the line queued (the host's messages) before the next line.
        QCoreApplication::sendPostedEvents();
    }
    // The host always starts the processor and disconnects it when it shuts down.
    if (!ensureProcessor())
        return false;
    m_processor->disconnectBIZ();
    return true;
}

bool Simulator::ensureProcessor()
{
    if (m_processor)
        return true;
    m_engine.reset(new QQmlEngine);
    QQmlComponent component(m_engine.get());
    component.setData(ProcessorQml, QUrl());
    QObject *object = component.create();
    m_processor.reset(qobject_cast<UiprocDealKeyPress_Vorn_Desktop *>(object));
    if (!m_processor) {
        delete object;
        fprintf(stderr, "cannot create the processor: %s\n", qPrintable(component.errorString()));
        return false;
    }
    m_recorder.reset(
            new SignalRecorder([this](const QMetaMethod &signal, const QVariantList &args) {
                writeLine(JsonLines::signalLine(signal, args));
            }));
    m_recorder->attach(m_processor.get());
    m_processor->connectBIZ();
    return true;
}

void Simulator::execute(const TraceLine &line)
{
    switch (line.kind) {
    case TraceLine::Message:
        m_host.send(line.message);
        break;
    case TraceLine::Call:
        invoke(line);
        break;
    case TraceLine::Wait: {
        QEventLoop loop;
        QTimer::singleShot(line.milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        break;
    }
    case TraceLine::Host:
        setHost(line);
        break;
    case TraceLine::Ini:
        writeIni(line);
        break;
    case TraceLine::Pause:
        waitForInput();
        break;
    }
}

void Simulator::invoke(const TraceLine &line)
{
    const QMetaMethod method = m_processor->metaObject()->method(line.methodIndex);
    QGenericArgument arguments[10];
    for (int i = 0; i < line.arguments.size(); ++i)
        arguments[i] = QGenericArgument(line.arguments.at(i).typeName(),
                                        line.arguments.at(i).constData());
    QVariant result;
    if (method.returnType() != QMetaType::Void)
        result = QVariant(method.returnType(), nullptr);
    const QGenericReturnArgument returnArgument(method.typeName(), result.data());
    method.invoke(m_processor.get(), Qt::DirectConnection,
                  result.isValid() ? returnArgument : QGenericReturnArgument(), arguments[0],
                  arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
                  arguments[6], arguments[7], arguments[8], arguments[9]);
    writeLine(JsonLines::callLine(method.name(), result));
}

void Simulator::setHost(const TraceLine &line)
{
    switch (line.hostSetting) {
    case TraceLine::DeviceType:
        Utility_Manage::setDeviceType(line.value.toInt());
        break;
    case TraceLine::ConnectType:
        Utility_Manage::setConnectType(line.value.toInt());
        break;
    case TraceLine::Debug:
        Utility_Manage::setDebugEnabled(line.value.toBool());
        break;
    case TraceLine::ToneVersion:
        Utility_Manage::setToneProcVer(line.value.toString());
        break;
    case TraceLine::TbarMode:
        m_host.take.setIsTbarMode(line.value.toBool());
        break;
    }
}

void Simulator::writeIni(const TraceLine &line)
{
    const QString path = line.iniFile == TraceLine::KeyboardConfig
            ? ConfigFiles::keyboardConfigPath()
            : ConfigFiles::oledConfigPath();
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(line.iniPath, line.value);
}

// Runs the event loop until a line or the end arrives on standard input, so another
// process can tell this one when to go on.
void Simulator::waitForInput()
{
    QEventLoop loop;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&loop] {
        char c = 0;
        if (::read(STDIN_FILENO, &c, 1) <= 0 || c == '\n')
            loop.quit();
    });
    loop.exec();
}

// Every line goes out at once: another process may be waiting for it.
void Simulator::writeLine(const QByteArray &line)
{
    fwrite(line.constData(), 1, size_t(line.size()), m_output);
    fputc('\n', m_output);
    fflush(m_output);
}
