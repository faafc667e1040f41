#ifndef TRACE_H
#define TRACE_H

#include <model_protocoldata.h>

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QVariantList>
#include <QtCore/QVector>

// One line of a keyboard trace, already checked.
struct TraceLine
{
    enum Kind { Message, Call, Wait, Host, Ini, Pause, Dump };
    enum HostSetting { DeviceType, ConnectType, Debug, ToneVersion, TbarMode };
    enum IniFile { KeyboardConfig, OledConfig };
    enum DumpTarget { Records, KeyboardIni, OledIni };

    Kind kind = Message;
    int lineNumber = 0;

    // Message: the record the host hands out
    model_Protocoldata message;

    // Call: the processor's method index, or the host method when it is none, and the
    // arguments, converted to the parameter types
    enum HostMethod { NoHostMethod, WriteOledIni };
    int methodIndex = -1;
    HostMethod hostMethod = NoHostMethod;
    QVariantList arguments;

    // Wait
    int milliseconds = 0;

    // Host and Ini
    HostSetting hostSetting = DeviceType;
    IniFile iniFile = KeyboardConfig;
    bool wholeFile = false; // Ini: the value is the file's bytes
    QString iniPath;
    QVariant value;

    // Dump
    DumpTarget dumpTarget = Records;

    // Lines that talk to the processor need it created first.
    bool needsProcessor() const { return kind == Message || kind == Call; }
};

// A whole trace: its lines, or the first malformed line and why.
class Trace
{
public:
    static constexpr int MaxWaitMilliseconds = 3600 * 1000;

    // Parses UTF-8 text; a NUL byte or a line that is not UTF-8 is malformed.
    static Trace parse(const QByteArray &text);
    static Trace parse(const QString &text) { return parse(text.toUtf8()); }
    // Every line kind's usage and effect, one indented pair of lines each.
    static QString lineKindsHelp();

    bool isValid() const { return m_errorLine == 0; }
    int errorLine() const { return m_errorLine; }
    QString errorReason() const { return m_errorReason; }
    const QVector<TraceLine> &lines() const { return m_lines; }

private:
    QVector<TraceLine> m_lines;
    int m_errorLine = 0;
    QString m_errorReason;
};

#endif // TRACE_H
