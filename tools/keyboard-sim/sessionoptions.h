#ifndef SESSIONOPTIONS_H
#define SESSIONOPTIONS_H

#include "trace.h"

#include <QtCore/QCommandLineOption>
#include <QtCore/QCommandLineParser>

// The command line the keyboard tools share: --boot-arg, --fresh and the trace (none:
// the built-in demo trace; -: standard input). A tool adds its own options to the
// parser before parse().
class SessionOptions
{
public:
    static const int UsageError = 2;

    // summary: what the tool does, followed in the help by the trace line kinds.
    SessionOptions(QCommandLineParser &parser, const QString &summary);

    // Parses the command line; false when the tool must stop with *exitStatus (after
    // --help, or a usage error, both printed).
    bool parse(const QStringList &arguments, int *exitStatus);
    // Reads and checks the trace; prints why to stderr when it cannot.
    bool loadTrace(Trace *trace) const;
    // Makes the session see --fresh and --boot-arg; before the host session starts.
    void apply() const;

    int usageError(const QString &reason) const;

private:
    QCommandLineParser &m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_bootArg;
    QCommandLineOption m_fresh;
};

#endif // SESSIONOPTIONS_H
