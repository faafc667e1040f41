#include "configfiles.h"
#include "oledconfigstore.h"
#include "processorhost.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTextCodec>
#include <QtTest/QtTest>

struct OledWrite
{
    int keyValue;
    int displayModel;
    int iconIndex;
    QString firstText;
    QString secondText;
};
Q_DECLARE_METATYPE(QList<OledWrite>)

class tst_OledConfigStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void write_data();
    void write();
    void processorWritesTheOledConfigFile();
};

namespace {

// A key group as QSettings writes it; texts in byte-array notation.
QByteArray group(int key, bool modified, int model, const QByteArray &first,
                 const QByteArray &second, int icon)
{
    return QStringLiteral("[%1]\ndisplayModel=%2\nisModify=%3\noled1stText=@ByteArray(%4)\n"
                          "oled2ndText=@ByteArray(%5)\noledIconIndex=%6\n\n")
            .arg(key)
            .arg(model)
            .arg(modified ? "true" : "false", QString::fromLatin1(first),
                 QString::fromLatin1(second))
            .arg(icon)
            .toLatin1();
}

QByteArray modifiedKeys(const QByteArray &stored)
{
    return "[Modify]\nbtnKey=" + stored + "\n";
}

} // namespace

void tst_OledConfigStore::initTestCase()
{
    // Texts are stored in the local 8-bit encoding; pin it so the bytes are known.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
}

void tst_OledConfigStore::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QList<OledWrite>>("writes");
    QTest::addColumn<QByteArray>("after");

    const OledWrite set105{105, 2, 7, QStringLiteral("S\u00fcd"), QStringLiteral("Cam 2")};
    const OledWrite set203{203, 1, 3, QStringLiteral("PGM"), QString()};
    const OledWrite reset105{105, -1, 9, QStringLiteral("x"), QStringLiteral("y")};
    const QByteArray group105 = group(105, true, 2, "S\\xfc\\x64", "Cam 2", 7);
    const QByteArray group203 = group(203, true, 1, "PGM", "", 3);
    const QByteArray reset = group(105, false, 0, "x", "y", 0);

    QTest::newRow("set on an empty file: the list starts with an empty element")
            << QByteArray() << QList<OledWrite>{set105} << group105 + modifiedKeys("\";105\"");
    QTest::newRow("repeated set with display model 0: list kept, values overwritten")
            << QByteArray() << QList<OledWrite>{set105, {105, 0, 1, "new", "line"}}
            << group(105, true, 0, "new", "line", 1) + modifiedKeys("\";105\"");
    QTest::newRow("reset after set keeps the group with the reset texts")
            << QByteArray() << QList<OledWrite>{set105, reset105} << reset + modifiedKeys("");
    QTest::newRow("second reset leaves the group and other keys alone")
            << QByteArray() << QList<OledWrite>{set203, set105, reset105, {105, -1, 5, "z", "w"}}
            << reset + group203 + modifiedKeys("\";203\"");
    QTest::newRow("reset of a never-set key writes the list only")
            << QByteArray() << QList<OledWrite>{reset105} << modifiedKeys("");
    QTest::newRow("reset takes out the first occurrence only")
            << modifiedKeys("\"105;203;105\"") << QList<OledWrite>{reset105}
            << modifiedKeys("\"203;105\"");
}

void tst_OledConfigStore::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QList<OledWrite>, writes);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QFile file(dir.filePath(QStringLiteral("oled.ini")));
    if (!before.isEmpty()) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
        file.close();
    }
    const OledConfigStore store(file.fileName());
    for (const OledWrite &w : writes)
        store.write(w.keyValue, w.displayModel, w.iconIndex, w.firstText, w.secondText);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLatin1(file.readAll()), QString::fromLatin1(after));
}

void tst_OledConfigStore::processorWritesTheOledConfigFile()
{
    ProcessorHost host;
    host.start();
    host.processor->writeOledIni(313, 1, 2, QStringLiteral("Layer"), QStringLiteral("A"));

    QSettings settings(ConfigFiles::oledConfigPath(), QSettings::IniFormat);
    QCOMPARE(settings.value("313/oled1stText").toByteArray(), QByteArray("Layer"));
    QCOMPARE(host.takeEmissions(), QStringList());
}

QTEST_GUILESS_MAIN(tst_OledConfigStore)
#include "tst_oledconfigstore.moc"
