#include "traceplayer.h"

#include "configfile.h"
#include "configfiles.h"
#include "durablefile.h"
#include "typedvariant.h"
#include "uiprocdealkeypress_vorn_desktop.h"
#include "virtualclock.h"

#include <utility_manage.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QMetaMethod>
#include <QtCore/QSocketNotifier>

#include <unistd.h>

TracePlayer::TracePlayer(HostSession &host, ProcessorFactory createProcessor)
    : m_host(host), m_createProcessor(std::move(createProcessor))
{
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer);
    connect(&m_wait, &QTimer::timeout, this, &TracePlayer::playOn);
}

TracePlayer::~TracePlayer() = default;

void TracePlayer::play(const Trace &trace)
{
    m_lines = trace.lines();
    m_next = 0;
    QTimer::singleShot(0, this, &TracePlayer::playOn);
}

void TracePlayer::playOn()
{
    while (m_next < m_lines.size()) {
        const TraceLine &line = m_lines.at(m_next++);
        if (line.kind == TraceLine::Wait) {
            if (VirtualClock *clock = VirtualClock::current()) {
                clock->advance(line.milliseconds);
                continue;
            }
            m_wait.start(line.milliseconds);
            return;
        }
        if (line.kind == TraceLine::Pause) {
            waitForInput();
            return;
        }
        if (!execute(line)) {
            emit finished(false);
            return;
        }
    }
    // The host always starts the processor.
    emit finished(ensureProcessor());
}

bool TracePlayer::execute(const TraceLine &line)
{
    if (line.needsProcessor() && !ensureProcessor())
        return false;
    switch (line.kind) {
    case TraceLine::Message:
        m_host.send(line.message);
        break;
    case TraceLine::Call:
        invoke(line);
        break;
    case TraceLine::Host:
        setHost(line);
        break;
    case TraceLine::Ini:
        writeIni(line);
        break;
    case TraceLine::Dump:
        emit dumpRequested(line.dumpTarget);
        break;
    case TraceLine::Wait:
    case TraceLine::Pause:
        break; // played by playOn, from the event loop
    }
    // Deliver what the line queued (the host's messages) before the next line.
    QCoreApplication::sendPostedEvents();
    return true;
}

bool TracePlayer::ensureProcessor()
{
    if (m_processor)
        return true;
    m_processor = m_createProcessor();
    if (!m_processor)
        return false;
    emit processorStarted(m_processor);
    m_processor->connectBIZ();
    return true;
}

void TracePlayer::invoke(const TraceLine &line)
{
    if (line.hostMethod == TraceLine::WriteOledIni) {
        const QVariantList &a = line.arguments;
        m_processor->writeOledIni(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toString(),
                                  a[4].toString());
        emit called("writeOledIni", QVariant());
        return;
    }
    const QMetaMethod method = m_processor->metaObject()->method(line.methodIndex);
    QGenericArgument arguments[10];
    for (int i = 0; i < line.arguments.size(); ++i)
        arguments[i] = QGenericArgument(line.arguments.at(i).typeName(),
                                        line.arguments.at(i).constData());
    QVariant result;
    if (method.returnType() != QMetaType::Void)
        result = typedVariant(method.returnType(), nullptr);
    const QGenericReturnArgument returnArgument(method.typeName(), result.data());
    method.invoke(m_processor, Qt::DirectConnection,
                  result.isValid() ? returnArgument : QGenericReturnArgument(), arguments[0],
                  arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
                  arguments[6], arguments[7], arguments[8], arguments[9]);
    emit called(method.name(), result);
}

void TracePlayer::setHost(const TraceLine &line)
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
        Utility_Manage::presetToneProcVer(line.value.toString());
        break;
    case TraceLine::TbarMode:
        m_host.take.setIsTbarMode(line.value.toBool());
        break;
    }
}

// Through the library's own parse and durable write, as the library writes its files.
void TracePlayer::writeIni(const TraceLine &line)
{
    const QString path = line.iniFile == TraceLine::KeyboardConfig
            ? ConfigFiles::keyboardConfigPath()
            : ConfigFiles::oledConfigPath();
    if (line.wholeFile) {
        DurableFile(path).replace(line.value.toByteArray());
        return;
    }
    ConfigFile file(path, ConfigFile::ReadWrite);
    file.document().setValue(line.iniPath, line.value);
    file.commit();
}

// Plays on when a line or the end arrives on standard input, so another process can
// tell this one when to go on.
void TracePlayer::waitForInput()
{
    if (!m_input) {
        m_input.reset(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read));
        connect(m_input.get(), &QSocketNotifier::activated, this, &TracePlayer::readInput);
    }
    m_input->setEnabled(true);
}

void TracePlayer::readInput()
{
    char c = 0;
    if (::read(STDIN_FILENO, &c, 1) > 0 && c != '\n')
        return;
    m_input->setEnabled(false);
    playOn();
}
