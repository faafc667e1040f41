#include "sessionrecorder.h"

#include "configfiles.h"
#include "configsettings.h"

#include <model_protocoldata.h>
#include <uiproctake.h>
#include <utility_manage.h>

#include <QtCore/QDateTime>
#include <QtCore/QDebug>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSettings>
#include <QtCore/QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

SessionRecorder *SessionRecorder::s_active = nullptr;

namespace {

const char EnvironmentVariable[] = "VORN_KEYBOARD_RECORD";
const quint32 DefaultMessageClass = 0x400000;
const uchar KeyEventCommand = 0xa0;
const int TbarKey = 10;
const int MinQuotedRun = 3; // shorter printable runs stay numbers
const int MinZeroRun = 4;

bool printable(uchar byte)
{
    return byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\';
}

// A quoted trace string holding `text`; `bytes` tells how characters above 0x7f are
// meant: as bytes (\xNN) or as text (kept, UTF-8).
QByteArray quoted(const QString &text, bool bytes)
{
    QByteArray token = "\"";
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '"' || u == '\\')
            token += '\\' + QByteArray(1, char(u));
        else if (u == '\n')
            token += "\\n";
        else if (u == '\t')
            token += "\\t";
        else if (u < 0x20 || u == 0x7f || (bytes && u > 0x7f))
            token += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            token += QString(c).toUtf8();
    }
    return token + '"';
}

QByteArray payloadTokens(const QByteArray &payload)
{
    QByteArray tokens;
    for (int i = 0; i < payload.size();) {
        int run = i;
        while (run < payload.size() && printable(uchar(payload.at(run))))
            ++run;
        if (run - i >= MinQuotedRun) {
            tokens += ' ' + quoted(QString::fromLatin1(payload.mid(i, run - i)), false);
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
        return quoted(argument.toString(), false);
    default:
        return QByteArray::number(argument.toInt());
    }
}

// The value as the simulator's "ini" line writes it back: text, or bytes for a byte array.
QByteArray valueToken(const QVariant &value)
{
    if (value.userType() == QMetaType::QByteArray)
        return quoted(QString::fromLatin1(value.toByteArray()), true) + ":bytes";
    if (value.userType() == QMetaType::QStringList)
        return quoted(value.toStringList().join(QStringLiteral(", ")), false);
    return quoted(value.toString(), false);
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

void SessionRecorder::startIfRequested(bool tbarProcess)
{
    static bool started = false;
    if (started || !qEnvironmentVariableIsSet(EnvironmentVariable))
        return;
    started = true;
    QString path = qEnvironmentVariable(EnvironmentVariable);
    if (tbarProcess) {
        const QFileInfo file(path);
        const QString suffix = file.suffix();
        path = file.path() + QLatin1Char('/') + file.completeBaseName() + QLatin1String(".tbar")
                + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        qWarning("DealKeyPress: cannot record to %s: %s; recording is off", qPrintable(path),
                 strerror(errno));
        return;
    }
    // Owned until the process exits; stays behind, closed, when recording stops.
    static std::unique_ptr<SessionRecorder> recorder;
    recorder.reset(new SessionRecorder(fd, path));
    s_active = recorder.get();
    s_active->writeHeader();
}

SessionRecorder::SessionRecorder(int fd, const QString &path) : m_fd(fd), m_path(path)
{
    m_clock.start();
}

SessionRecorder::~SessionRecorder()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (s_active == this)
        s_active = nullptr;
}

qint64 SessionRecorder::now() const
{
    return m_clock.nsecsElapsed();
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

void SessionRecorder::writeHeader()
{
    writeRaw("# keyboard session recorded "
             + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8()
             + " by libUI_Proc_VORN_TaskCmdProcess_Desktop " VORN_LIBRARY_VERSION "\n");
    m_host = hostSettings();
    writeHostChanges(true);
    const struct
    {
        const char *name;
        QString path;
    } files[] = {{"keyboard", ConfigFiles::keyboardConfigPath()},
                 {"oled", ConfigFiles::oledConfigPath()}};
    for (const auto &file : files) {
        const ConfigSettings settings(file.path);
        const QStringList keys = settings.allKeys();
        for (const QString &key : keys) {
            writeRaw("ini " + QByteArray(file.name) + ' ' + key.toUtf8() + ' '
                     + valueToken(settings.value(key)) + '\n');
        }
    }
}

void SessionRecorder::writeHostChanges(bool all)
{
    const HostSettings now = hostSettings();
    const HostSettings before = all ? HostSettings() : m_host;
    if (all || now.deviceType != before.deviceType)
        writeRaw("host device-type " + QByteArray::number(now.deviceType) + '\n');
    if (all || now.connectType != before.connectType)
        writeRaw("host connect-type " + QByteArray::number(now.connectType) + '\n');
    if (all || now.debug != before.debug)
        writeRaw("host debug " + onOff(now.debug) + '\n');
    if (all || now.toneVersion != before.toneVersion)
        writeRaw("host tone-version " + quoted(now.toneVersion, false) + '\n');
    if (all || now.tbarMode != before.tbarMode)
        writeRaw("host tbar-mode " + onOff(now.tbarMode) + '\n');
    m_host = now;
}

void SessionRecorder::noteHostSettings()
{
    if (!(hostSettings() == m_host))
        writeHostChanges(false);
}

void SessionRecorder::message(const model_Protocoldata &message)
{
    writeLine(messageLine(message), now());
}

void SessionRecorder::messageHandled()
{
    m_host = hostSettings();
}

void SessionRecorder::call(const char *name, const QVariantList &arguments)
{
    const qint64 at = now();
    const QByteArray method(name);
    if (method == "connectBIZ" && !m_connected) {
        m_connected = true;
        return;
    }
    if (method == "disconnectBIZ") {
        m_pendingDisconnects.append(at);
        return;
    }
    QByteArray line = "call " + method;
    for (const QVariant &argument : arguments)
        line += ' ' + argumentToken(argument);
    writeLine(line, at);
}

void SessionRecorder::processorDestroyed()
{
    if (!m_pendingDisconnects.isEmpty())
        m_pendingDisconnects.removeLast();
    const QVector<qint64> pending = std::exchange(m_pendingDisconnects, {});
    for (const qint64 at : pending)
        writeLine("call disconnectBIZ", at);
    m_connected = false;
}

// Before the line: disconnectBIZ calls that turned out not to be the last, the host
// settings that changed, and the time since the line before.
void SessionRecorder::writeLine(const QByteArray &line, qint64 at)
{
    const QVector<qint64> pending = std::exchange(m_pendingDisconnects, {});
    for (const qint64 disconnected : pending)
        writeLine("call disconnectBIZ", disconnected);
    noteHostSettings();
    const qint64 waitedMs = (at - m_lastLine + 500000) / 1000000;
    m_lastLine = at;
    QByteArray text;
    if (waitedMs > 0)
        text = "wait " + QByteArray::number(waitedMs) + '\n';
    writeRaw(text + line + '\n');
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
            qWarning("DealKeyPress: recording to %s stopped: %s", qPrintable(m_path),
                     n < 0 ? strerror(errno) : "nothing written");
            ::close(m_fd);
            m_fd = -1;
            s_active = nullptr;
            return;
        }
        written += n;
    }
}
