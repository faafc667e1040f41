#include "configfiles.h"
#include "jsonlines.h"
#include "keyboardview.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <utility_manage.h>

#include <QtCore/QProcess>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtTest/QtTest>

// The view in a real window: what it shows after a trace, what its keys send and save,
// and its screenshot.
class tst_KeyboardView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void clicks();
    void replay_data();
    void replay();
    void screenshot();
    void withoutDisplay_data();
    void withoutDisplay();

private:
    QTemporaryDir m_dir;
};

namespace {

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Shows the window and plays the trace to its end, its last notice shown.
bool play(KeyboardView &view, const QString &trace)
{
    if (!view.load())
        return false;
    view.window()->show();
    QSignalSpy finished(&view.player(), &TracePlayer::finished);
    view.player().play(Trace::parse(trace));
    const bool played = QTest::qWaitForWindowExposed(view.window())
            && (!finished.isEmpty() || finished.wait());
    view.panelState().flush();
    return played;
}

void click(KeyboardView &view, const QString &name, QPointF at = QPointF(0.5, 0.5))
{
    const QQuickItem *item = view.item(name);
    QVERIFY2(item, qPrintable(name));
    const QPointF point
            = item->mapToScene(QPointF(at.x() * item->width(), at.y() * item->height()));
    QTest::mouseClick(view.window(), Qt::LeftButton, Qt::NoModifier, point.toPoint());
}

} // namespace

// Every view starts as the host does: no configuration, the host's answers and the
// key-rate guard, which all processors share, as they are at start.
void tst_KeyboardView::init()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
    Utility_Manage::reset();
    UiprocDealKeyPress_Vorn_Desktop::keyTimer.stop();
    UiprocDealKeyPress_Vorn_Desktop::keyFlag = true;
}

// Keys that never arm the key-rate guard before the last one, so that the simulator's
// replay does not depend on how fast the clicks came.
void tst_KeyboardView::clicks()
{
    KeyboardView view;
    QVERIFY(play(view, QString()));
    const QString saved = m_dir.filePath(QStringLiteral("pressed.trace"));
    QVERIFY(view.keyInput().saveTo(saved));
    QStringList viewSignals;
    SignalRecorder recorder([&](const QMetaMethod &signal, const QVariantList &arguments) {
        viewSignals.append(QString::fromUtf8(JsonLines::signalLine(signal, arguments)));
    });
    recorder.attach(view.player().processor());

    for (const char *name : {"key27", "key65", "key406", "key65"})
        click(view, QLatin1String(name));
    click(view, QStringLiteral("tbar.track"), QPointF(0.5, 0.75));
    click(view, QStringLiteral("rocker13.up"));

    // The fader's lower quarter: a raw value the processor applies at once.
    const QRegularExpressionMatch pressed
            = QRegularExpression(QStringLiteral("^key 27\nkey 65\nkey 406\nkey 65\ntbar "
                                                "(2\\d\\d)\nkey 13 b=1\n$"))
                      .match(readFile(saved).remove(
                              QRegularExpression(QStringLiteral("wait \\d+\n"))));
    QVERIFY2(pressed.hasMatch(), qPrintable(readFile(saved)));
    QCOMPARE(view.shownText(QStringLiteral("tbar.position")), pressed.captured(1));
    view.panelState().flush();
    QCOMPARE(
            view.shownText(QStringLiteral("notice")),
            QStringLiteral("INPUT 4 (406) refused: the keyboard is locked (LOCK (65) unlocks it)"));
    QCOMPARE(view.shownText(QStringLiteral("lock")), QStringLiteral("unlocked"));

    QProcess sim;
    sim.start(QStringLiteral(KEYBOARD_SIM), {QStringLiteral("--fresh"), saved});
    QVERIFY2(sim.waitForFinished(120000) && sim.exitCode() == 0, sim.readAllStandardError());
    const QStringList simSignals
            = QString::fromUtf8(sim.readAllStandardOutput())
                      .split(QLatin1Char('\n'))
                      .filter(QRegularExpression(QStringLiteral("^.\"signal\"")));
    QCOMPARE(viewSignals, simSignals);
}

void tst_KeyboardView::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(VIEW_TESTS_DIR));
    for (const QString &trace : dir.entryList({QStringLiteral("*.trace")}))
        QTest::newRow(qPrintable(trace)) << dir.filePath(trace);
}

// NAME.expected: one shown item a line, its objectName and its text.
void tst_KeyboardView::replay()
{
    QFETCH(QString, path);
    KeyboardView view;
    QVERIFY(play(view, readFile(path)));
    const QString expected = readFile(path.chopped(5) + QStringLiteral("expected"));
    QVERIFY(!expected.isEmpty());
    for (const QString &line : expected.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString name = line.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(name + QLatin1Char(' ') + view.shownText(name), line);
    }
}

void tst_KeyboardView::screenshot()
{
    KeyboardView view;
    QVERIFY(view.load());
    const QString png = m_dir.filePath(QStringLiteral("view.png"));
    QProcess process;
    process.start(QStringLiteral(KEYBOARD_VIEW),
                  {QStringLiteral("--fresh"), QStringLiteral("--screenshot"), png,
                   QStringLiteral(VIEW_TESTS_DIR "/replay.trace")});
    QVERIFY2(process.waitForFinished(120000) && process.exitCode() == 0,
             process.readAllStandardError());
    const QImage image(png);
    QCOMPARE(image.size(), view.window()->size());
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 64, qPrintable(QString::number(colours.size())));
}

// What the view answers where no window can be shown or grabbed.
void tst_KeyboardView::withoutDisplay_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // a pattern for stdout and stderr together

    QTest::newRow("help") << "xcb" << QStringList{"--help"} << 0 << "^Usage: .*--screenshot";
    QTest::newRow("version") << "xcb" << QStringList{"--version"} << 0 << "^keyboard-view 1\\.";
    QTest::newRow("usage error") << "xcb" << QStringList{"a", "b"} << 2
                                 << "more than one trace given";
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Qt 6's offscreen platform grabs the window.
    QTest::newRow("empty grab")
            << "offscreen" << QStringList{"--fresh", "--screenshot", "view.png"} << 1
            << "view.png: the window grab came back empty: Qt's \"offscreen\" platform";
#endif
}

void tst_KeyboardView::withoutDisplay()
{
    QFETCH(QString, platform);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(KEYBOARD_VIEW), arguments);
    QVERIFY(process.waitForFinished(120000));
    const QString printed = QString::fromUtf8(process.readAll());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(printed));
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(printed.contains(QRegularExpression(output,
                                                 QRegularExpression::DotMatchesEverythingOption
                                                         | QRegularExpression::MultilineOption)),
             qPrintable(printed));
}

QTEST_MAIN(tst_KeyboardView)
#include "tst_keyboardview.moc"
