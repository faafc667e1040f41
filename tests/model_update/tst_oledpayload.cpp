#include "oledpayload.h"

#include <QtTest/QtTest>

using Entries = QVector<QStringList>;

// The entry layouts of OLED content messages, including payloads cut short.
class tst_OledPayload : public QObject
{
    Q_OBJECT
private slots:
    void lineLength_data();
    void lineLength();
    void groupEntries_data();
    void groupEntries();
    void keyValueEntry_data();
    void keyValueEntry();
    void keyValueEntries_data();
    void keyValueEntries();
};

namespace {

QString bytes(std::string_view view)
{
    return QString::fromLatin1(QByteArray(view.data(), int(view.size())).toHex());
}

// An entry as "key model icon line1 line2 line3", the lines in hexadecimal.
QStringList describe(const OledEntry &entry)
{
    return {QString::number(entry.keyValue), QString::number(entry.displayModel),
            QString::number(entry.icon),     bytes(entry.lines[0]),
            bytes(entry.lines[1]),           bytes(entry.lines[2])};
}

// A group payload of `count` entries whose every byte tells entry and position.
QByteArray groupPayload(int count, const OledPayload::GroupLayout &layout)
{
    QByteArray payload;
    for (int entry = 0; entry < count; ++entry) {
        for (int i = 0; i < layout.entrySize(); ++i)
            payload.append(char(entry * 16 + i % 16));
    }
    return payload;
}

} // namespace

void tst_OledPayload::lineLength_data()
{
    QTest::addColumn<quint64>("length");
    QTest::addColumn<bool>("valid");
    QTest::newRow("0") << quint64(0) << false;
    QTest::newRow("1") << quint64(1) << true;
    QTest::newRow("10") << quint64(10) << true;
    QTest::newRow("30") << quint64(30) << true;
    QTest::newRow("31, a whole field") << quint64(31) << true;
    QTest::newRow("32") << quint64(32) << false;
    QTest::newRow("2^32 + 10") << (quint64(1) << 32) + 10 << false;
}

void tst_OledPayload::lineLength()
{
    QFETCH(quint64, length);
    QFETCH(bool, valid);
    QCOMPARE(OledPayload::isValidLineLength(length), valid);
}

void tst_OledPayload::groupEntries_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<int>("count");

    QTest::newRow("two lines of 10, full group") << 2 << 10 << 352 << 16;
    QTest::newRow("two lines of 10, one byte short") << 2 << 10 << 351 << 15;
    QTest::newRow("two lines of 30, full group") << 2 << 30 << 992 << 16;
    QTest::newRow("two lines of 30, one entry") << 2 << 30 << 62 << 1;
    QTest::newRow("three lines of 30, full group") << 3 << 30 << 1472 << 16;
    QTest::newRow("three lines of 30, 91 bytes") << 3 << 30 << 91 << 0;
    QTest::newRow("empty payload") << 2 << 10 << 0 << 0;
}

void tst_OledPayload::groupEntries()
{
    QFETCH(int, lineCount);
    QFETCH(int, lineWidth);
    QFETCH(int, payloadSize);
    QFETCH(int, count);

    const OledPayload::GroupLayout layout
            = lineCount == 3 ? OledPayload::ThreeLineGroup : OledPayload::twoLineGroup(lineWidth);
    QCOMPARE(layout.entrySize(), 2 + lineCount * lineWidth);
    const QByteArray payload = groupPayload(17, layout).left(payloadSize);
    QCOMPARE(OledPayload::groupEntryCount(payload, layout), count);
    for (int index = 0; index < count; ++index) {
        const OledEntry entry = OledPayload::groupEntry(payload, layout, index);
        const QByteArray bytes = payload.mid(index * layout.entrySize(), layout.entrySize());
        QStringList expected{"0", QString::number(uchar(bytes.at(0))),
                             QString::number(uchar(bytes.at(1)))};
        for (int line = 0; line < 3; ++line) {
            expected << QString::fromLatin1(
                    line < lineCount ? bytes.mid(2 + line * lineWidth, lineWidth).toHex()
                                     : QByteArray());
        }
        QCOMPARE(describe(entry), expected);
    }
}

void tst_OledPayload::keyValueEntry_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<QStringList>("entry"); // empty: rejected

    const QByteArray ten = QByteArray::fromHex("0195"
                                               "0104")
            + QByteArray("Graphics\0\0", 10) + QByteArray("4K", 2) + QByteArray(8, '\0');
    QTest::newRow("L 10, key 405, high byte first")
            << ten << 10
            << QStringList{"405", "1", "4", "47726170686963730000", "344b0000000000000000", ""};
    QTest::newRow("L 10, longer payload")
            << ten + "xyz" << 10
            << QStringList{"405", "1", "4", "47726170686963730000", "344b0000000000000000", ""};
    QTest::newRow("L 10, one byte short") << ten.left(23) << 10 << QStringList();
    QTest::newRow("L 30 needs 64 bytes") << ten + QByteArray(39, 'x') << 30 << QStringList();
    QTest::newRow("L 1") << QByteArray::fromHex("ffff0203"
                                                "4142")
                         << 1 << QStringList{"65535", "2", "3", "41", "42", ""};
    QTest::newRow("empty payload") << QByteArray() << 10 << QStringList();
}

void tst_OledPayload::keyValueEntry()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, lineLength);
    QFETCH(QStringList, entry);

    OledEntry read;
    QCOMPARE(OledPayload::keyValueEntry(payload, lineLength, &read), !entry.isEmpty());
    if (!entry.isEmpty())
        QCOMPARE(describe(read), entry);
}

void tst_OledPayload::keyValueEntries_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<Entries>("entries");

    const QByteArray first = QByteArray::fromHex("0139"
                                                 "0203"
                                                 "030100"
                                                 "414243"
                                                 "44");
    const QByteArray second = QByteArray::fromHex("0069"
                                                  "0506"
                                                  "000002"
                                                  "5a5a");
    const QStringList firstEntry{"313", "2", "3", "414243", "44", ""};
    const QStringList secondEntry{"105", "5", "6", "", "", "5a5a"};
    QTest::newRow("empty payload") << QByteArray() << Entries();
    QTest::newRow("count 0") << QByteArray(1, '\0') + first << Entries();
    QTest::newRow("one entry") << '\x01' + first << Entries{firstEntry};
    QTest::newRow("entries follow one another")
            << '\x02' + first + second << Entries{firstEntry, secondEntry};
    QTest::newRow("count below the entries") << '\x01' + first + second << Entries{firstEntry};
    QTest::newRow("count above the entries")
            << '\x03' + first + second << Entries{firstEntry, secondEntry};
    QTest::newRow("second entry one byte short")
            << '\x02' + first + second.chopped(1) << Entries{firstEntry};
    QTest::newRow("second header incomplete")
            << '\x02' + first + second.left(6) << Entries{firstEntry};
    QTest::newRow("first entry short") << '\x01' + first.chopped(1) << Entries();

    const QByteArray longText(40, 'L');
    QTest::newRow("text of 40 bytes kept whole")
            << QByteArray::fromHex("01"
                                   "0141"
                                   "0000"
                                   "280000")
                    + longText
            << Entries{{"321", "0", "0", QString::fromLatin1(longText.toHex()), "", ""}};
}

void tst_OledPayload::keyValueEntries()
{
    QFETCH(QByteArray, payload);
    QFETCH(Entries, entries);

    Entries read;
    for (const OledEntry &entry : OledPayload::keyValueEntries(payload))
        read.append(describe(entry));
    QCOMPARE(read, entries);
}

QTEST_GUILESS_MAIN(tst_OledPayload)
#include "tst_oledpayload.moc"
