#include "oledkeyrecord.h"

#include <QtTest/QtTest>

#include <cstring>
#include <functional>
#include <memory>

using Write = std::function<void(OledKeyRecord &)>;
Q_DECLARE_METATYPE(Write)

// The record's fields at the model offsets the host shares, and text reads and writes
// that stay inside their 31-byte field whatever they are given.
class tst_OledKeyRecord : public QObject
{
    Q_OBJECT
private slots:
    void writes_data();
    void writes();
    void readStaysInTheField();
};

namespace {

const int Record = 500;
const int RecordOffset = 24 + Record * 101;

// Plain model bytes each differing from their neighbours, so any stray write shows.
QByteArray pattern()
{
    QByteArray bytes(Model_VOrnParam::PlainBlockSize, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 1);
    return bytes;
}

std::unique_ptr<Model_VOrnParam> patternedModel()
{
    auto model = std::make_unique<Model_VOrnParam>();
    std::memcpy(static_cast<void *>(model.get()), pattern().constData(), size_t(pattern().size()));
    return model;
}

} // namespace

void tst_OledKeyRecord::writes_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("offset"); // in the record
    QTest::addColumn<QByteArray>("bytes"); // found there afterwards; nothing else changes

    using R = OledKeyRecord;
    const QByteArray y40(40, 'y');
    QTest::newRow("display model at 3")
            << Write([](R &r) { r.setDisplayModel(0xd0); }) << 3 << QByteArray("\xd0");
    QTest::newRow("icon at 4") << Write([](R &r) { r.setIcon(0xd1); }) << 4 << QByteArray("\xd1");
    QTest::newRow("third length at 7")
            << Write([](R &r) { r.setTextLength(R::ThirdLine, 0xd4); }) << 7 << QByteArray("\xd4");
    QTest::newRow("third line cut at the record's end")
            << Write([y40](R &r) { r.copyText(R::ThirdLine, y40.toStdString()); }) << 70
            << y40.left(31);
    QTest::newRow("clear: the whole field")
            << Write([](R &r) { r.clearText(R::ThirdLine); }) << 70 << QByteArray(31, '\0');
}

void tst_OledKeyRecord::writes()
{
    QFETCH(Write, write);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);

    auto model = patternedModel();
    OledKeyRecord record(*model, Record);
    write(record);

    const QByteArray expected = pattern().replace(RecordOffset + offset, bytes.size(), bytes);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(model.get()), expected.size()), expected);
}

void tst_OledKeyRecord::readStaysInTheField()
{
    auto model = patternedModel();
    OledKeyRecord record(*model, Record);
    record.copyText(OledKeyRecord::SecondLine, std::string(31, 'x')); // no NUL; a field follows
    const std::string_view text = record.text(OledKeyRecord::SecondLine, 200);
    QCOMPARE(QByteArray(text.data(), int(text.size())), QByteArray(31, 'x'));
    QVERIFY(record.text(OledKeyRecord::SecondLine, -1).empty());
}

QTEST_GUILESS_MAIN(tst_OledKeyRecord)
#include "tst_oledkeyrecord.moc"
