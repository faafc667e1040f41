#ifndef SESSIONOPTIONS_H
#define SESSIONOPTIONS_H

#include "hostsession.h"
#include "trace.h"

#include <QtCore/QCommandLineOption>
#include <QtCore/QCommandLineParser>

// The command line the keyboard tools share: --help, --version, --boot-arg, --fresh,
// --host-thread and the trace (none: the built-in demo trace; -: standard input). A tool
// adds its own options to the parser before prepare().
class SessionOptions
{
public:
    static const int UsageError = 2;

    // summary: what the tool does, followed in the help by the trace line kinds.
    SessionOptions(QCommandLineParser &parser, const QString &summary);

    // Parses the command line, reads and checks the trace, and makes the session see
    // --fresh and --boot-arg (call it before the host session starts). False when the
    // tool must stop with *exitStatus: after --help or --version, a usage error or an
    // unreadable trace, each printed.
    bool prepare(const QStringList &arguments, Trace *trace, int *exitStatus);

    // The thread the host session's message sources live in (--host-thread).
    HostSession::MessageThread messageThread() const;

private:
    bool parse(const QStringList &arguments, int *exitStatus);
    bool loadTrace(Trace *trace) const;
    void apply() const;
    int usageError(const QString &reason) const;

    QCommandLineParser &m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_bootArg;
    QCommandLineOption m_fresh;
    QCommandLineOption m_hostThread;
};

#endif // SESSIONOPTIONS_H
