#include "keyboardview.h"
#include "sessionoptions.h"
#include "statelocation.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtQuick/QQuickWindow>

#include <cstdio>

namespace {

// Renders the window once more, with every signal and notice of the trace shown, and
// writes that frame; then quits.
void saveScreenshotAndQuit(KeyboardView &view, const QString &path)
{
    view.signalLog().flush();
    view.panelState().flush();
    QQuickWindow *window = view.window();
    QObject::connect(
            window, &QQuickWindow::frameSwapped, window,
            [window, path] {
                const QImage frame = window->grabWindow();
                const bool saved = !frame.isNull() && frame.save(path, "PNG");
                if (frame.isNull())
                    fprintf(stderr,
                            "%s: the window grab came back empty: Qt's \"%s\" platform cannot "
                            "grab windows; run the view on a display or under xvfb-run -a\n",
                            qPrintable(path), qPrintable(QGuiApplication::platformName()));
                else if (!saved)
                    fprintf(stderr, "%s: cannot write the screenshot\n", qPrintable(path));
                QCoreApplication::exit(saved ? 0 : 1);
            },
            Qt::QueuedConnection);
    window->update();
}

} // namespace

int main(int argc, char *argv[])
{
    QCommandLineParser parser;
    SessionOptions options(parser,
                           QStringLiteral("Shows the control keyboard as the keyboard processor's "
                                          "signals draw it, replays a trace (none: the built-in "
                                          "demo; -: standard input) and sends the keys pressed "
                                          "on screen."));
    const QCommandLineOption saveOption(QStringLiteral("save"),
                                        QStringLiteral("Saves the keys pressed on screen as a "
                                                       "trace."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Replays the trace, writes the "
                                                             "window as a PNG and exits."),
                                              QStringLiteral("FILE"));
    parser.addOption(saveOption);
    parser.addOption(screenshotOption);

    // The command line is read before the window system is reached, so that --help,
    // --version, usage errors and unreadable traces need no display. Options only Qt's GUI
    // knows (-platform, -display, ...) leave that to the GUI application, which takes them.
    Trace trace;
    int exitStatus = 0;
    bool prepared = false;
    {
        QCoreApplication commandLine(argc, argv);
        StateLocation::choose(QStringLiteral(VORN_INSTALLED_TOOLS_DIR));
        if (parser.parse(commandLine.arguments()) || parser.unknownOptionNames().isEmpty()) {
            if (!options.prepare(commandLine.arguments(), &trace, &exitStatus))
                return exitStatus;
            prepared = true;
        }
    }
    QGuiApplication app(argc, argv);
    if (!prepared && !options.prepare(app.arguments(), &trace, &exitStatus))
        return exitStatus;

    KeyboardView view(options.messageThread());
    if (!view.load())
        return 1;
    if (parser.isSet(saveOption) && !view.keyInput().saveTo(parser.value(saveOption))) {
        fprintf(stderr, "%s: %s\n", qPrintable(parser.value(saveOption)),
                qPrintable(view.keyInput().errorString()));
        return SessionOptions::UsageError;
    }
    QObject::connect(&view.player(), &TracePlayer::finished, &app, [&](bool started) {
        if (!started)
            QCoreApplication::exit(1);
        else if (parser.isSet(screenshotOption))
            saveScreenshotAndQuit(view, parser.value(screenshotOption));
    });
    view.window()->show();
    view.player().play(trace);
    return app.exec();
}
