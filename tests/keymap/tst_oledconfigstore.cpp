#include "configfiles.h"
#include "processorhost.h"
#include "testfiles.h"

#include <QtCore/QTextCodec>
#include <QtTest/QtTest>

#include <tuple>

// Key value, display model, icon index, first and second text line.
using OledWrite = std::tuple<int, int, int, QString, QString>;
Q_DECLARE_METATYPE(QList<OledWrite>)

// The OLED configuration file as the processor's writeOledIni leaves it.
class tst_OledConfigStore : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
};

namespace {

// A key group as QSettings writes it; texts in byte-array notation.
QByteArray group(int key, bool modified, int model, const char *first, const char *second, int icon)
{
    return QString::asprintf("[%d]\ndisplayModel=%d\nisModify=%s\noled1stText=@ByteArray(%s)\n"
                             "oled2ndText=@ByteArray(%s)\noledIconIndex=%d\n\n",
                             key, model, modified ? "true" : "false", first, second, icon)
            .toLatin1();
}

QByteArray modifiedKeys(const QByteArray &stored)
{
    return "[Modify]\nbtnKey=" + stored + "\n";
}

} // namespace

void tst_OledConfigStore::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QList<OledWrite>>("writes");
    QTest::addColumn<QByteArray>("after");

    const OledWrite set105{105, 2, 7, QStringLiteral("S\u00fcd"), QStringLiteral("Cam 2")};
    const OledWrite set203{203, 1, 3, QStringLiteral("PGM"), QString()};
    const OledWrite reset105{105, -1, 9, QStringLiteral("x"), QStringLiteral("y")};

    QTest::newRow("set on an empty file: the list starts with an empty element")
            << QByteArray() << QList<OledWrite>{set105}
            << group(105, true, 2, "S\\xfc\\x64", "Cam 2", 7) + modifiedKeys("\";105\"");
    QTest::newRow("repeated set with display model 0: list kept, values overwritten")
            << QByteArray() << QList<OledWrite>{set105, {105, 0, 1, "new", "line"}}
            << group(105, true, 0, "new", "line", 1) + modifiedKeys("\";105\"");
    QTest::newRow("reset after set, then again: the first reset's group stays, other keys alone")
            << QByteArray() << QList<OledWrite>{set203, set105, reset105, {105, -1, 5, "z", "w"}}
            << group(105, false, 0, "x", "y", 0) + group(203, true, 1, "PGM", "", 3)
                    + modifiedKeys("\";203\"");
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

    // Texts are stored in the local 8-bit encoding; pin it so the bytes are known.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    ProcessorHost host;
    QVERIFY(before.isEmpty() || TestFiles::writeFile(ConfigFiles::oledConfigPath(), before));
    host.start();
    for (const OledWrite &w : writes)
        std::apply([&host](auto... args) { host.processor->writeOledIni(args...); }, w);
    QCOMPARE(TestFiles::readFile(ConfigFiles::oledConfigPath()), after);
    QCOMPARE(host.takeEmissions(), QStringList());
}

QTEST_GUILESS_MAIN(tst_OledConfigStore)
#include "tst_oledconfigstore.moc"
