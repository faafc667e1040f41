#include "keymapstore.h"
#include "oledconfigstore.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// A write the disk refuses, in both configuration files. What the stores write otherwise
// is shown by the remap and OLED configuration golden traces.
class tst_KeyMapStore : public QObject
{
    Q_OBJECT
private slots:
    void failedWritesKeepTheFile();
};

// A warning, and the file as it was.
void tst_KeyMapStore::failedWritesKeepTheFile()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("keyboard.ini"));
    const QByteArray before = "[KeyMap]\n105=203\n";
    QVERIFY(TestFiles::writeFile(path, before));
    QMap<int, int> large;
    for (int key = 0; key < 100; ++key)
        large.insert(key, key + 1000);
    const QRegularExpression warning(QStringLiteral("^DealKeyPress: cannot write .*keyboard.ini"));
    QTest::ignoreMessage(QtWarningMsg, warning);
    QTest::ignoreMessage(QtWarningMsg, warning);
    {
        const TestFiles::FileSizeLimit limit(before.size() + 8);
        KeyMapStore(path).save(large);
        OledConfigStore(path).write(105, 1, 2, QStringLiteral("a long first line"),
                                    QStringLiteral("and a second one"));
    }
    QCOMPARE(TestFiles::readFile(path), before);
}

QTEST_GUILESS_MAIN(tst_KeyMapStore)
#include "tst_keymapstore.moc"
