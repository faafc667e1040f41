#include "sessionrecorder.h"

#include "configfiles.h"
#include "logging.h"
#include "regularfile.h"

#include <model_protocoldata.h>
#include <uiproctake.h>
#include <utility_manage.h>

#include <QtCore/QDateTime>
#include <QtCore/QEvent>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

SessionRecorder *SessionRecorder::s_active = nullptr;

namespace {

const char EnvironmentVariable[] = "VORN_KEYBOARD_RECORD";
const quint32 DefaultMessageClass = 0x400000;
const uchar KeyEventCommand = 0xa0;
const int TbarKey = 10;
const int MinQuotedRun = 3; // shorter printable runs stay numbers
const int MinZeroRun = 4;
const qint64 MaxWaitMs = 3600 * 1000; // the longest wait a trace line holds
const int ClockPeriodMs = 24 * 3600 * 1000;
const int MaxSessionFiles = 100000;

bool started = false;
std::unique_ptr<SessionRecorder> recorder; // until the process exits or finish()

// The escape a byte or character needs in a quoted trace string, or none. Control
// characters are escaped so that no recorded text can start a trace line of its own; in a
// byte string so is every byte above 0x7f.
QByteArray escape(uint code, bool bytes)
{
    switch (code) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    }
    if (code < 0x20 || (code >= 0x7f && code < (bytes ? 0x100u : 0xa0u)))
        return "\\x" + QByteArray::number(code, 16).rightJustified(2, '0');
    return QByteArray();
}

QByteArray quotedBytes(const QByteArray &bytes)
{
    QByteArray token = "\"";
    for (const char c : bytes) {
        const QByteArray escaped = escape(uchar(c), true);
        token += escaped.isEmpty() ? QByteArray(1, c) : escaped;
    }
    return token + '"';
}

// Text as UTF-8, surrogate pairs included, with its escapes; half a surrogate pair, which
// UTF-8 cannot hold, as "\uXXXX".
QByteArray quotedText(const QString &text)
{
    QByteArray token = "\"";
    QString run;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        QByteArray escaped = escape(c.unicode(), false);
        if (c.isSurrogate() && !pair)
            escaped = "\\u" + QByteArray::number(c.unicode(), 16);
        if (escaped.isEmpty()) {
            run += pair ? text.mid(i++, 2) : QString(c);
            continue;
        }
        token += run.toUtf8() + escaped;
        run.clear();
    }
    return token + run.toUtf8() + '"';
}

bool printable(uchar byte)
{
    return escape(byte, true).isEmpty();
}

QByteArray payloadTokens(const QByteArray &payload)
{
    QByteArray tokens;
    for (int i = 0; i < payload.size();) {
        int run = i;
        while (run < payload.size() && printable(uchar(payload.at(run))))
            ++run;
        if (run - i >= MinQuotedRun) {
            tokens += ' ' + quotedBytes(payload.mid(i, run - i));
            i = run;
            continue;
        }
        run = i;
        while (run < payload.size() && payload.at(run) == 0)
            ++run;
        if (run - i >= MinZeroRun) {
            tokens += " zeros:" + QByteArray::number(run - i);
            i = run;
            continue;
        }
        tokens += ' ' + QByteArray::number(uchar(payload.at(i++)));
    }
    return tokens;
}

QByteArray hex(uchar byte)
{
    return "0x" + QByteArray::number(byte, 16).rightJustified(2, '0');
}

// A key event as the simulator's "key" or "tbar" line, anything else as a "msg" line.
QByteArray messageLine(const model_Protocoldata &message)
{
    if (message.command == KeyEventCommand && message.messageClass == DefaultMessageClass
        && message.payload.isEmpty()) {
        const int key = message.byte2A << 8 | message.byte29;
        if (key == TbarKey)
            return "tbar " + QByteArray::number(message.dataA << 8 | message.subCommand);
        QByteArray line = "key " + QByteArray::number(key);
        if (message.dataA)
            line += " a=" + QByteArray::number(message.dataA);
        if (message.subCommand)
            line += " b=" + QByteArray::number(message.subCommand);
        return line;
    }
    QByteArray line = "msg " + hex(message.command) + ' ' + hex(message.subCommand) + ' '
            + QByteArray::number(message.dataA) + ' ' + QByteArray::number(message.byte29) + ' '
            + QByteArray::number(message.byte2A);
    if (message.messageClass != DefaultMessageClass)
        line += " class=0x" + QByteArray::number(message.messageClass, 16);
    if (!message.payload.isEmpty())
        line += " payload" + payloadTokens(message.payload);
    return line;
}

QByteArray argumentToken(const QVariant &argument)
{
    switch (argument.userType()) {
    case QMetaType::Bool:
        return argument.toBool() ? "true" : "false";
    case QMetaType::QString:
        return quotedText(argument.toString());
    default:
        return QByteArray::number(argument.toInt());
    }
}

QByteArray onOff(bool on)
{
    return on ? "on" : "off";
}

} // namespace

bool SessionRecorder::HostSettings::operator==(const HostSettings &other) const
{
    return deviceType == other.deviceType && connectType == other.connectType
            && debug == other.debug && toneVersion == other.toneVersion
            && tbarMode == other.tbarMode;
}

// The file a session records to: the path asked for when it is free, else the first free
// one of NAME-2.SUFFIX, NAME-3.SUFFIX, ... beside it; never a file that exists.
int SessionRecorder::createSessionFile(const QString &requested, QString *path)
{
    const QFileInfo file(requested);
    const QString suffix = file.suffix().isEmpty() ? QString() : QLatin1Char('.') + file.suffix();
    for (int session = 1; session <= MaxSessionFiles; ++session) {
        *path = session == 1 ? requested
                             : QStringLiteral("%1/%2-%3%4").arg(file.path(), file.completeBaseName(),
                                                                QString::number(session), suffix);
        const int fd = ::open(QFile::encodeName(*path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SessionRecorder::startIfRequested(bool tbarProcess)
{
    if (started || !qEnvironmentVariableIsSet(EnvironmentVariable))
        return;
    started = true;
    QString requested = qEnvironmentVariable(EnvironmentVariable);
    if (tbarProcess) {
        const QFileInfo file(requested);
        const QString suffix = file.suffix();
        requested = file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1String(".tbar")
                + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
    QString path;
    const int fd = createSessionFile(requested, &path);
    if (fd < 0) {
        qCWarning(lcKeyboard, "DealKeyPress: cannot record to %s: %s; recording is off", qPrintable(path),
                 strerror(errno));
        return;
    }
    recorder.reset(new SessionRecorder(fd, path));
    s_active = recorder.get();
    s_active->writeHeader();
}

void SessionRecorder::finish()
{
    recorder.reset();
    started = false;
}

SessionRecorder::SessionRecorder(int fd, const QString &path) : m_fd(fd), m_path(path)
{
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, [this] { m_clockBase += ClockPeriodMs; });
    m_clock.start(ClockPeriodMs);
}

SessionRecorder::~SessionRecorder()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (s_active == this)
        s_active = nullptr;
}

// Milliseconds since the recording started on the clock that runs the library's timers:
// the event dispatcher answers a timer's remaining time on it. Without a dispatcher time
// stands still.
qint64 SessionRecorder::dispatcherTime() const
{
    const int remaining = m_clock.remainingTime();
    return m_clockBase + (remaining < 0 ? 0 : ClockPeriodMs - remaining);
}

SessionRecorder::HostSettings SessionRecorder::hostSettings()
{
    HostSettings settings;
    settings.deviceType = Utility_Manage::getDeviceType();
    settings.connectType = Utility_Manage::getConnectType();
    settings.debug = Utility_Manage::getDbgList(1, 2);
    settings.toneVersion = Utility_Manage::getToneProcVer();
    settings.tbarMode = Public_Desktop::puiTake && Public_Desktop::puiTake->getIsTbarMode();
    return settings;
}

// Both configuration files as the bytes they hold, so that the replay reads the same.
void SessionRecorder::writeHeader()
{
    writeRaw(HeaderStart + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8()
             + " by libUI_Proc_VORN_TaskCmdProcess_Desktop " VORN_LIBRARY_VERSION "\n");
    QByteArray header = hostChanges(true);
    const struct
    {
        const char *name;
        QString path;
    } files[] = {{"keyboard", ConfigFiles::keyboardConfigPath()},
                 {"oled", ConfigFiles::oledConfigPath()}};
    for (const auto &file : files) {
        // Byte for byte, so the replay reads what this process read, garbled lines too.
        const RegularFile content = RegularFile::read(AT_FDCWD, QFile::encodeName(file.path),
                                                      ConfigFiles::SizeLimit,
                                                      RegularFile::FollowLinks);
        if (content.isRead())
            header += "ini " + QByteArray(file.name) + ' ' + quotedBytes(content.content())
                    + ":bytes\n";
    }
    writeRaw(header);
}

QByteArray SessionRecorder::hostChanges(bool all)
{
    const HostSettings now = hostSettings();
    const HostSettings before = all ? HostSettings() : m_host;
    QByteArray lines;
    if (all || now.deviceType != before.deviceType)
        lines += "host device-type " + QByteArray::number(now.deviceType) + '\n';
    if (all || now.connectType != before.connectType)
        lines += "host connect-type " + QByteArray::number(now.connectType) + '\n';
    if (all || now.debug != before.debug)
        lines += "host debug " + onOff(now.debug) + '\n';
    if (all || now.toneVersion != before.toneVersion)
        lines += "host tone-version " + quotedText(now.toneVersion) + '\n';
    if (all || now.tbarMode != before.tbarMode)
        lines += "host tbar-mode " + onOff(now.tbarMode) + '\n';
    m_host = now;
    return lines;
}

void SessionRecorder::message(const void *record, const model_Protocoldata &message)
{
    // A connection made n times delivers each message n times in a row; the replay
    // makes the same connections.
    if (record == m_lastRecord && m_deliveries < qMax(1, m_connections)) {
        ++m_deliveries;
        return;
    }
    m_lastRecord = record;
    m_deliveries = 1;
    writeLine(messageLine(message));
}

void SessionRecorder::messageHandled()
{
    m_host = hostSettings();
}

void SessionRecorder::call(const char *name, const QVariantList &arguments)
{
    const QByteArray method(name);
    if (method == "connectBIZ") {
        ++m_connections;
        if (!std::exchange(m_connected, true))
            return;
    }
    if (method == "disconnectBIZ") {
        m_connections = 0;
        m_heldDisconnects.append(placeLine());
        return;
    }
    QByteArray line = "call " + method;
    for (const QVariant &argument : arguments)
        line += ' ' + argumentToken(argument);
    writeLine(line);
}

void SessionRecorder::timerStarted(QTimer *timer)
{
    if (!m_deadlines.contains(timer)) {
        timer->installEventFilter(this);
        connect(timer, &QObject::destroyed, this, [this, timer] { m_deadlines.remove(timer); });
    }
    m_deadlines.insert(timer, m_now + timer->interval());
}

bool SessionRecorder::eventFilter(QObject *watched, QEvent *event)
{
    auto *timer = static_cast<QTimer *>(watched);
    if (event->type() == QEvent::Timer && s_active == this
        && static_cast<QTimerEvent *>(event)->timerId() == timer->timerId())
        timerFiring(timer);
    return false;
}

// Called before the timer's handler runs. What the host answers now is what the handler
// reads: in the replay it changes before the timer fires.
void SessionRecorder::timerFiring(QTimer *timer)
{
    const auto deadline = m_deadlines.find(timer);
    if (deadline == m_deadlines.end())
        return;
    const qint64 due = deadline.value();
    if (!(hostSettings() == m_host)) {
        const qint64 at = placeLine();
        writeHeldDisconnects();
        writeAt(hostChanges(false), at);
    }
    m_now = qMax(m_now, due);
    m_deadlines.insert(timer, due + timer->interval());
}

// The replay time of a line handled now: not before the timer firings so far, before every
// deadline still pending, otherwise the dispatcher's time. A line handled while a timer
// was overdue comes just before its deadline.
qint64 SessionRecorder::placeLine()
{
    qint64 latest = std::numeric_limits<qint64>::max();
    for (auto it = m_deadlines.cbegin(); it != m_deadlines.cend(); ++it) {
        if (it.key()->isActive())
            latest = qMin(latest, it.value() - 1);
    }
    m_now = qMax(m_now, qMin(dispatcherTime(), latest));
    return m_now;
}

void SessionRecorder::processorDestroyed()
{
    const qint64 end = placeLine();
    if (!m_heldDisconnects.isEmpty())
        m_heldDisconnects.removeLast();
    writeHeldDisconnects();
    writeAt(QByteArray(), end);
    m_connected = false;
    m_connections = 0;
}

// Before the line: the host settings that changed, at the same time.
void SessionRecorder::writeLine(const QByteArray &line)
{
    const qint64 at = placeLine();
    writeHeldDisconnects();
    writeAt(hostChanges(false) + line + '\n', at);
}

// disconnectBIZ calls that turned out not to be the last.
void SessionRecorder::writeHeldDisconnects()
{
    for (const qint64 at : std::exchange(m_heldDisconnects, {}))
        writeAt("call disconnectBIZ\n", at);
}

// The lines after the waits that bring the replay to `at`.
void SessionRecorder::writeAt(const QByteArray &lines, qint64 at)
{
    QByteArray text;
    for (qint64 idle = at - m_written; idle > 0; idle -= MaxWaitMs)
        text += "wait " + QByteArray::number(qMin(idle, MaxWaitMs)) + '\n';
    m_written = qMax(m_written, at);
    if (!text.isEmpty() || !lines.isEmpty())
        writeRaw(text + lines);
}

void SessionRecorder::writeRaw(const QByteArray &bytes)
{
    if (m_fd < 0)
        return;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n
                = ::write(m_fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            qCWarning(lcKeyboard, "DealKeyPress: recording to %s stopped: %s", qPrintable(m_path),
                     n < 0 ? strerror(errno) : "nothing written");
            ::close(m_fd);
            m_fd = -1;
            s_active = nullptr;
            return;
        }
        written += n;
    }
}
