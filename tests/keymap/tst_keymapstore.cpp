#include "keymapstore.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <sys/stat.h>

// The warnings about a file the stores cannot read whole. What the stores read and write
// otherwise is shown by the remap, OLED configuration and storage golden traces, failed
// writes by tst_durablefile.
class tst_KeyMapStore : public QObject
{
    Q_OBJECT
private slots:
    void fifoNeverWritten();
    void warningPerVersion();
};

// A FIFO reads as missing and is never written over, with one warning.
void tst_KeyMapStore::fifoNeverWritten()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("keyboard.ini"));
    QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a regular file.*not written over"));
    const KeyMapStore store(path);
    QVERIFY(store.load().isEmpty() && !store.tbarLimits().max);
    store.save({{106, 107}});
    QVERIFY(!QFileInfo(path).isFile());
}

// The lines a file holds that the library does not read are warned about once per
// version of the file: again after the file was fixed and garbled once more.
void tst_KeyMapStore::warningPerVersion()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("keyboard.ini"));
    const QByteArray garbled = "[Tbar]\nMax=@Rect(1 2 3 4)\n";
    static int warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &) { warnings += type == QtWarningMsg; });
    const QList<QPair<QByteArray, int>> steps{{garbled, 1}, {garbled, 1}, {"[Tbar]\nMax=1\n", 1}, {garbled, 2}};
    for (const auto &[content, warned] : steps) {
        QVERIFY(TestFiles::writeFile(path, content));
        KeyMapStore(path).tbarLimits();
        QCOMPARE(warnings, warned);
    }
    qInstallMessageHandler(previous);
}

QTEST_GUILESS_MAIN(tst_KeyMapStore)
#include "tst_keymapstore.moc"
