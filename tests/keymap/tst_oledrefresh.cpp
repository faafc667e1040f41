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
};

void tst_OledRefresh::everyKeyFromItsRecord()
{
    ProcessorHost host;
    host.start();
    // Every record different: display model and icon from its number, a first line of
    // local 8-bit text (Latin-1 here) with bytes after its NUL, and a third line never sent.
    for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
        OledKeyRecord record(host.model, i);
        record.setDisplayModel(uchar(i));
        record.setIcon(uchar(i >> 8));
        record.copyText(
                OledKeyRecord::FirstLine,
                QByteArray("K\xe4se " + QByteArray::number(i) + '\0' + "rest").toStdString());
        record.copyText(OledKeyRecord::SecondLine, "second " + std::to_string(i));
        record.copyText(OledKeyRecord::ThirdLine, "never sent");
    }
    // A line without NUL ends at its field.
    OledKeyRecord(host.model, 0).copyText(OledKeyRecord::FirstLine, std::string(31, 'F'));
    // The remap plays no part.
    host.model.keyMap.insert(105, 403);

    QStringList expected;
    const auto show = [&](int key, int index) {
        const QString first = index ? QStringLiteral("Käse %1").arg(index) : QString(31, 'F');
        expected << QStringLiteral("sig_updateOledShow(%1, %2, %3, \"%4\", \"second %5\")")
                            .arg(QString::number(key), QString::number(index & 0xff),
                                 QString::number(index >> 8), first, QString::number(index));
    };
    for (const auto &[firstKey, firstRecord] :
         {std::pair(105, 0), {203, 80}, {505, 320}, {313, 160}, {403, 400}}) {
        for (int slot = 0; slot < 16; ++slot)
            show(firstKey + slot, firstRecord + slot);
    }
    for (const int key : {100, 200, 300, 400, 500, 58, 59, 60, 61})
        show(key, 480 + key);

    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    QMetaObject::invokeMethod(host.processor.get(), "getVirturalKeyBoardAllOLED");
    QCOMPARE(expected.size(), 89);
    QCOMPARE(host.takeEmissions(), expected);
}

QTEST_GUILESS_MAIN(tst_OledRefresh)
#include "tst_oledrefresh.moc"
