#include "keymapstore.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <sys/stat.h>

// A file the stores cannot read whole, and a write the disk refuses. What the stores write
// otherwise is shown by the remap, OLED configuration and storage golden traces.
class tst_KeyMapStore : public QObject
{
    Q_OBJECT
private slots:
    void unreadableOrUnwritable_data();
    void unreadableOrUnwritable();
    void warningPerVersion();
};

void tst_KeyMapStore::unreadableOrUnwritable_data()
{
    QTest::addColumn<QByteArray>("content"); // null: a FIFO
    QTest::addColumn<int>("sizeLimit"); // of a file written, in bytes; 0: none
    QTest::addColumn<QString>("warnings"); // expected in this order, '|' between them
    QTest::addColumn<QByteArray>("saved"); // after saving 106 as 107; null: as it was

    const QByteArray keyMap = "[KeyMap]\n105=203\n";
    const QByteArray variant = "107=@Variant(\\0\\0\\0\\t\\x18\\x18\\x18\\x18)\n";
    const QByteArray garbled = keyMap + variant + "[Tbar]\nMax=900\n";
    const QString cannotWrite = QStringLiteral("cannot write .*File too large \\(write\\)");
    const QString unread = QStringLiteral("has lines the library does not read: 3;");
    QTest::newRow("a write the disk refuses") << keyMap << 20 << cannotWrite << QByteArray();
    QTest::newRow("a value of another form stays")
            << garbled << 0 << unread << keyMap + "106=107\n" + variant + "[Tbar]\nMax=900\n";
    QTest::newRow("the same on a full disk") << garbled << 20 << unread + '|' + cannotWrite
                                             << QByteArray();
    QTest::newRow("a FIFO") << QByteArray() << 0 << "is not a regular file.*not written over"
                            << QByteArray();
}

// The readable part reads and is kept; a file that cannot be read is never written over.
// One warning per file, however often it is read.
void tst_KeyMapStore::unreadableOrUnwritable()
{
    QFETCH(QByteArray, content);
    QFETCH(int, sizeLimit);
    QFETCH(QString, warnings);
    QFETCH(QByteArray, saved);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("keyboard.ini"));
    QVERIFY(content.isNull() ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                             : TestFiles::writeFile(path, content));
    for (const QString &warning : warnings.split(QLatin1Char('|')))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DealKeyPress: .*" + warning));

    const KeyMapStore store(path);
    QCOMPARE(store.load().value(105), content.isNull() ? 0 : 203);
    QCOMPARE(store.tbarLimits().max.value_or(0), content.contains("Max") ? 900 : 0);
    const TestFiles::FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
    store.save({{106, 107}});
    QCOMPARE(QFileInfo(path).isFile() ? TestFiles::readFile(path) : QByteArray(),
             saved.isNull() ? content : saved);
}

// A file's lines the library does not read are warned about once per version of the file,
// again after the file was fixed and garbled once more.
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
