#include "oledkeyrecord.h"
#include "processorhost.h"

#include <QtCore/QTextCodec>
#include <QtTest/QtTest>

// The full OLED refresh: 89 keys in a fixed order, each from its own record.
class tst_OledRefresh : public QObject
{
    Q_OBJECT
private slots:
    void everyKeyFromItsRecord();
    void emptyModel();
    void texts_data();
    void texts();
};

namespace {

// Key value and record of each announcement, in order.
QVector<QPair<int, int>> refreshOrder()
{
    QVector<QPair<int, int>> order;
    const QPair<int, int> groups[] = {{105, 0}, {203, 80}, {505, 320}, {313, 160}, {403, 400}};
    for (const auto &group : groups) {
        for (int slot = 0; slot < 16; ++slot)
            order.append({group.first + slot, group.second + slot});
    }
    for (const int key : {100, 200, 300, 400, 500, 58, 59, 60, 61})
        order.append({key, 480 + key});
    return order;
}

QString oledShow(int key, int displayModel, int icon, const QString &first, const QString &second)
{
    return QStringLiteral("sig_updateOledShow(%1, %2, %3, \"%4\", \"%5\")")
            .arg(key)
            .arg(displayModel)
            .arg(icon)
            .arg(first, second);
}

QStringList refresh(ProcessorHost &host)
{
    QMetaObject::invokeMethod(host.processor.get(), "getVirturalKeyBoardAllOLED");
    return host.takeEmissions();
}

} // namespace

void tst_OledRefresh::everyKeyFromItsRecord()
{
    ProcessorHost host;
    host.start();
    // Every record different: model and icon from its number, texts naming it.
    for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
        OledKeyRecord record(host.model, i);
        record.setDisplayModel(uchar(i));
        record.setIcon(uchar(i >> 8));
        record.writeTerminatedText(OledKeyRecord::FirstLine,
                                   QByteArray("first " + QByteArray::number(i)).toStdString(), 31);
        record.writeTerminatedText(OledKeyRecord::SecondLine,
                                   QByteArray("second " + QByteArray::number(i)).toStdString(), 31);
        record.writeTerminatedText(OledKeyRecord::ThirdLine, "never sent", 31);
    }
    // The remap plays no part.
    host.model.keyMap.insert(105, 403);

    QStringList expected;
    for (const auto &[key, index] : refreshOrder()) {
        expected << oledShow(key, index & 0xff, index >> 8, QStringLiteral("first %1").arg(index),
                             QStringLiteral("second %1").arg(index));
    }
    QCOMPARE(expected.size(), 89);
    QCOMPARE(refresh(host), expected);
}

void tst_OledRefresh::emptyModel()
{
    ProcessorHost host;
    host.start();
    const QStringList emissions = refresh(host);
    QCOMPARE(emissions.size(), 89);
    for (int i = 0; i < emissions.size(); ++i)
        QCOMPARE(emissions.at(i), oledShow(refreshOrder().at(i).first, 0, 0, "", ""));
}

void tst_OledRefresh::texts_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QByteArray>("first"); // 31 bytes of record 0's first field
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("shownFirst");
    QTest::addColumn<QString>("shownSecond");

    const QByteArray full(31, 'F');
    QTest::newRow("no NUL: the field's 31 bytes")
            << QByteArray("UTF-8") << full << QByteArray(31, 'S') << QString(31, 'F')
            << QString(31, 'S');
    QTest::newRow("up to the first NUL")
            << QByteArray("UTF-8") << QByteArray("ab\0cd", 5) << QByteArray("\0x", 2) << "ab"
            << "";
    QTest::newRow("local 8-bit: Latin-1")
            << QByteArray("ISO-8859-1") << QByteArray("K\xe4se") << QByteArray("Gr\xc3\xbcn")
            << QStringLiteral("Käse") << QStringLiteral("Gr\u00c3\u00bcn");
    QTest::newRow("local 8-bit: UTF-8") << QByteArray("UTF-8") << QByteArray("Gr\xc3\xbcn")
                                        << QByteArray() << QStringLiteral("Grün") << "";
}

void tst_OledRefresh::texts()
{
    QFETCH(QByteArray, locale);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QString, shownFirst);
    QFETCH(QString, shownSecond);

    ProcessorHost host;
    host.start();
    OledKeyRecord record(host.model, 0);
    record.copyText(OledKeyRecord::FirstLine, first.leftJustified(31, '\0').toStdString());
    record.copyText(OledKeyRecord::SecondLine, second.leftJustified(31, '\0').toStdString());
    record.copyText(OledKeyRecord::ThirdLine, std::string(31, 'T'));

    QTextCodec *const systemCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(locale));
    const QStringList emissions = refresh(host);
    QTextCodec::setCodecForLocale(systemCodec);
    QCOMPARE(emissions.at(0), oledShow(105, 0, 0, shownFirst, shownSecond));
}

QTEST_GUILESS_MAIN(tst_OledRefresh)
#include "tst_oledrefresh.moc"
