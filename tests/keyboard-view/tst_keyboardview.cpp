#include "configfiles.h"
#include "jsonlines.h"
#include "keyboardview.h"
#include "uiprocdealkeypress_vorn_desktop.h"

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
    void replay();
    void screenshot();

private:
    QTemporaryDir m_dir;
};

namespace {

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Shows the window and plays the trace to its end.
bool play(KeyboardView &view, const QString &trace)
{
    if (!view.load())
        return false;
    view.window()->show();
    QSignalSpy finished(&view.player(), &TracePlayer::finished);
    view.player().play(Trace::parse(trace));
    return QTest::qWaitForWindowExposed(view.window()) && (!finished.isEmpty() || finished.wait());
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

void tst_KeyboardView::init()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    QDir(QFileInfo(ConfigFiles::keyboardConfigPath()).absolutePath()).removeRecursively();
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
    QCOMPARE(view.shownText(QStringLiteral("refused")), QStringLiteral("refused key 406"));
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

// replay.expected: one shown item a line, its objectName and its text.
void tst_KeyboardView::replay()
{
    KeyboardView view;
    QVERIFY(play(view, readFile(QStringLiteral(VIEW_TESTS_DIR "/replay.trace"))));
    const QString expected = readFile(QStringLiteral(VIEW_TESTS_DIR "/replay.expected"));
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

QTEST_MAIN(tst_KeyboardView)
#include "tst_keyboardview.moc"
