#include "sessionoptions.h"

#include "configfiles.h"
#include "sessionrecorder.h"

#include <uiprocmain_vorn_desktop.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cstdio>

SessionOptions::SessionOptions(QCommandLineParser &parser, const QString &summary)
    : m_parser(parser)
    , m_help(parser.addHelpOption())
    , m_version(parser.addVersionOption())
    , m_bootArg(QStringLiteral("boot-arg"),
                QStringLiteral("What getBootArgv1() returns; Tbar makes this the T-bar process."),
                QStringLiteral("ARG"))
    , m_fresh(QStringLiteral("fresh"),
              QStringLiteral("Removes the Keyboard/ folder under the application directory "
                             "first."))
    , m_hostThread(QStringLiteral("host-thread"),
                   QStringLiteral("The business and USB objects live in a worker thread of "
                                  "their own and emit every message from there, as the host's "
                                  "do."))
{
    Q_INIT_RESOURCE(demo);
    QCoreApplication::setApplicationVersion(QStringLiteral(VORN_TOOLS_VERSION));
    parser.setApplicationDescription(summary + QStringLiteral("\n\nTrace lines:\n")
                                     + Trace::lineKindsHelp());
    parser.addOption(m_bootArg);
    parser.addOption(m_fresh);
    parser.addOption(m_hostThread);
    parser.addPositionalArgument(QStringLiteral("trace"), QStringLiteral("The trace file, or -."),
                                 QStringLiteral("[TRACE | -]"));
}

bool SessionOptions::prepare(const QStringList &arguments, Trace *trace, int *exitStatus)
{
    if (!parse(arguments, exitStatus))
        return false;
    if (!loadTrace(trace)) {
        *exitStatus = UsageError;
        return false;
    }
    apply();
    return true;
}

HostSession::MessageThread SessionOptions::messageThread() const
{
    return m_parser.isSet(m_hostThread) ? HostSession::WorkerThread : HostSession::GuiThread;
}

bool SessionOptions::parse(const QStringList &arguments, int *exitStatus)
{
    *exitStatus = 0;
    if (!m_parser.parse(arguments))
        *exitStatus = usageError(m_parser.errorText());
    else if (m_parser.isSet(m_help))
        fputs(qPrintable(m_parser.helpText()), stdout);
    else if (m_parser.isSet(m_version))
        printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
               qPrintable(QCoreApplication::applicationVersion()));
    else if (m_parser.positionalArguments().size() > 1)
        *exitStatus = usageError(QStringLiteral("more than one trace given"));
    else
        return true;
    return false;
}

bool SessionOptions::loadTrace(Trace *trace) const
{
    const QString path = m_parser.positionalArguments().value(0);
    QFile file(path.isEmpty() ? QStringLiteral(":/demo.trace") : path);
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                   : file.open(QIODevice::ReadOnly);
    const QString name = path.isEmpty() ? QStringLiteral("demo.trace") : path;
    if (!opened) {
        fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(file.errorString()));
        return false;
    }
    QByteArray text = file.readAll();
    // A recording ends each line as it writes it; one cut short replays up to the last
    // complete line.
    if (text.startsWith(SessionRecorder::HeaderStart) && !text.endsWith('\n')) {
        const int cut = text.lastIndexOf('\n') + 1;
        text.truncate(cut);
        fprintf(stderr, "%s:%d: the recording ends within this line; it replays up to the line before\n",
                qPrintable(name), int(text.count('\n')) + 1);
    }
    *trace = Trace::parse(text);
    if (!trace->isValid()) {
        fprintf(stderr, "%s:%d: %s\n", qPrintable(name), trace->errorLine(),
                qPrintable(trace->errorReason()));
        return false;
    }
    return true;
}

void SessionOptions::apply() const
{
    if (m_parser.isSet(m_fresh))
        QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
    uiprocmain_VORN_Desktop::setBootArgv1(m_parser.value(m_bootArg));
}

int SessionOptions::usageError(const QString &reason) const
{
    fprintf(stderr, "%s: %s\n%s", qPrintable(QCoreApplication::applicationName()),
            qPrintable(reason),
            qPrintable(m_parser.helpText().section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n')));
    return UsageError;
}
