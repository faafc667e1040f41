#include "oledkeyrecord.h"

#include <QtTest/QtTest>

#include <memory>

using Line = OledKeyRecord::Line;
enum class Write { Copy, Terminated, Clear };
Q_DECLARE_METATYPE(Line)
Q_DECLARE_METATYPE(Write)

// Record indices, and reads and writes that must land on the record's own bytes only.
class tst_OledKeyRecord : public QObject
{
    Q_OBJECT
private slots:
    void groupIndex_data();
    void groupIndex();
    void keyValueIndex_data();
    void keyValueIndex();
    void fieldsAtTheirModelOffsets();
    void textRead_data();
    void textRead();
    void textWrites_data();
    void textWrites();
};

namespace {

const int Record = 500;
const int RecordOffset = 24 + Record * 101;

// A model whose every byte differs from its neighbours, so any stray write shows.
std::unique_ptr<Model_VOrnParam> patternedModel()
{
    auto model = std::make_unique<Model_VOrnParam>();
    auto *bytes = reinterpret_cast<uchar *>(model.get());
    for (int i = 0; i < Model_VOrnParam::PlainBlockSize; ++i)
        bytes[i] = uchar(i * 7 + 1);
    return model;
}

// The model offsets whose bytes differ from the pattern, with their new values.
QMap<int, int> changes(const Model_VOrnParam &model)
{
    QMap<int, int> changed;
    const auto *bytes = reinterpret_cast<const uchar *>(&model);
    for (int i = 0; i < Model_VOrnParam::PlainBlockSize; ++i) {
        if (bytes[i] != uchar(i * 7 + 1))
            changed.insert(i, bytes[i]);
    }
    return changed;
}

// Expected changes: `bytes` written at record offset `offset`.
QMap<int, int> written(int offset, const QByteArray &bytes)
{
    QMap<int, int> changed;
    for (int i = 0; i < bytes.size(); ++i) {
        if (uchar(bytes.at(i)) != uchar((RecordOffset + offset + i) * 7 + 1))
            changed.insert(RecordOffset + offset + i, uchar(bytes.at(i)));
    }
    return changed;
}

} // namespace

void tst_OledKeyRecord::groupIndex_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("index");
    QTest::newRow("first bank key") << 1 << 0 << 0 << 0;
    QTest::newRow("last bank key") << 1 << 0 << 15 << 15;
    QTest::newRow("bank page 1") << 1 << 1 << 0 << 16;
    QTest::newRow("shortcut group") << 2 << 0 << 0 << 80;
    QTest::newRow("layer key 314, page 4") << 3 << 4 << 1 << 225;
    QTest::newRow("shortcut 205, page 1") << 2 << 1 << 2 << 98;
    QTest::newRow("output group") << 5 << 0 << 0 << 320;
    QTest::newRow("last record of the groups") << 6 << 4 << 15 << 479;
    QTest::newRow("group 0") << 0 << 0 << 0 << -1;
    QTest::newRow("group 7") << 7 << 0 << 0 << -1;
    QTest::newRow("page 5") << 1 << 5 << 0 << -1;
    QTest::newRow("page -1") << 1 << -1 << 0 << -1;
    QTest::newRow("slot 16") << 1 << 0 << 16 << -1;
    QTest::newRow("slot -1") << 1 << 0 << -1 << -1;
}

void tst_OledKeyRecord::groupIndex()
{
    QFETCH(int, group);
    QFETCH(int, page);
    QFETCH(int, slot);
    QFETCH(int, index);
    QCOMPARE(OledKeyRecord::groupIndex(group, page, slot), index);
}

void tst_OledKeyRecord::keyValueIndex_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("keyValueIndex"); // by a key-value message
    QTest::addColumn<int>("keyIndex"); // as a single key
    QTest::newRow("bank 105") << 105 << 0 << 585;
    QTest::newRow("bank 120") << 120 << 15 << 600;
    QTest::newRow("shortcut 215, the 13th") << 215 << 92 << 695;
    QTest::newRow("shortcut 216 is no group key here") << 216 << 696 << 696;
    QTest::newRow("shortcut 218") << 218 << 698 << 698;
    QTest::newRow("layer 313") << 313 << 160 << 793;
    QTest::newRow("layer 328") << 328 << 175 << 808;
    QTest::newRow("input 403") << 403 << 400 << 883;
    QTest::newRow("output 505") << 505 << 320 << 985;
    QTest::newRow("output 520") << 520 << 335 << 1000;
    QTest::newRow("key 0") << 0 << 480 << 480;
    QTest::newRow("key 100") << 100 << 580 << 580;
    QTest::newRow("key 599, the last record") << 599 << 1079 << 1079;
    QTest::newRow("key 600") << 600 << -1 << -1;
    QTest::newRow("key 65535") << 65535 << -1 << -1;
    QTest::newRow("key -1") << -1 << -1 << -1;
}

void tst_OledKeyRecord::keyValueIndex()
{
    QFETCH(int, key);
    QFETCH(int, keyValueIndex);
    QFETCH(int, keyIndex);
    QCOMPARE(OledKeyRecord::keyValueIndex(key), keyValueIndex);
    QCOMPARE(OledKeyRecord::keyIndex(key), keyIndex);
}

void tst_OledKeyRecord::fieldsAtTheirModelOffsets()
{
    auto model = patternedModel();
    OledKeyRecord record(*model, Record);
    record.setDisplayModel(0xd0);
    record.setIcon(0xd1);
    record.setTextLength(OledKeyRecord::FirstLine, 0xd2);
    record.setTextLength(OledKeyRecord::SecondLine, 0xd3);
    record.setTextLength(OledKeyRecord::ThirdLine, 0xd4);
    record.copyText(OledKeyRecord::FirstLine, "A");
    record.copyText(OledKeyRecord::SecondLine, "B");
    record.copyText(OledKeyRecord::ThirdLine, "C");

    QMap<int, int> expected = written(3, "\xd0\xd1\xd2\xd3\xd4");
    expected.insert(written(8, "A"));
    expected.insert(written(39, "B"));
    expected.insert(written(70, "C"));
    QCOMPARE(changes(*model), expected);
    QCOMPARE(record.displayModel(), uchar(0xd0));
    QCOMPARE(record.icon(), uchar(0xd1));
    QCOMPARE(record.textLength(OledKeyRecord::ThirdLine), uchar(0xd4));
}

void tst_OledKeyRecord::textRead_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QByteArray>("text");

    const QByteArray full(31, 'x');
    QTest::newRow("up to the NUL") << QByteArray("abc\0def", 7) << 31 << QByteArray("abc");
    QTest::newRow("no NUL: the whole field, not the next") << full << 31 << full;
    QTest::newRow("no NUL, more asked") << full << 200 << full;
    QTest::newRow("cut before the NUL") << QByteArray("abcdef") << 3 << QByteArray("abc");
    QTest::newRow("NUL first") << QByteArray("\0abc", 4) << 31 << QByteArray();
    QTest::newRow("nothing asked") << QByteArray("abc") << 0 << QByteArray();
    QTest::newRow("negative count") << QByteArray("abc") << -1 << QByteArray();
}

void tst_OledKeyRecord::textRead()
{
    QFETCH(QByteArray, field);
    QFETCH(int, maxBytes);
    QFETCH(QByteArray, text);

    auto model = patternedModel();
    OledKeyRecord record(*model, Record);
    record.copyText(OledKeyRecord::SecondLine, std::string_view(field.constData(), field.size()));
    const std::string_view read = record.text(OledKeyRecord::SecondLine, maxBytes);
    QCOMPARE(QByteArray(read.data(), int(read.size())), text);
}

void tst_OledKeyRecord::textWrites_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<Line>("line");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray long40(40, 'y');
    QTest::newRow("copy: the rest stays") << Write::Copy << OledKeyRecord::FirstLine
                                          << QByteArray("ab") << 0 << 8 << QByteArray("ab");
    QTest::newRow("copy: cut at the field")
            << Write::Copy << OledKeyRecord::ThirdLine << long40 << 0 << 70 << long40.left(31);
    QTest::newRow("copy: NUL bytes copied")
            << Write::Copy << OledKeyRecord::SecondLine << QByteArray(3, '\0') << 0 << 39
            << QByteArray(3, '\0');
    QTest::newRow("terminated: shorter than the limit")
            << Write::Terminated << OledKeyRecord::FirstLine << QByteArray("abc") << 10 << 8
            << QByteArray("abc\0", 4);
    QTest::newRow("terminated: longer, no NUL")
            << Write::Terminated << OledKeyRecord::FirstLine << QByteArray("abcdefghijkl") << 10
            << 8 << QByteArray("abcdefghij");
    QTest::newRow("terminated: as long as the limit")
            << Write::Terminated << OledKeyRecord::SecondLine << QByteArray("abcdefghij") << 10
            << 39 << QByteArray("abcdefghij");
    QTest::newRow("terminated: empty text") << Write::Terminated << OledKeyRecord::SecondLine
                                            << QByteArray() << 10 << 39 << QByteArray(1, '\0');
    QTest::newRow("terminated: limit past the field")
            << Write::Terminated << OledKeyRecord::ThirdLine << long40 << 64 << 70
            << long40.left(31);
    QTest::newRow("terminated: 31 bytes, limit past the field")
            << Write::Terminated << OledKeyRecord::FirstLine << long40.left(31) << 64 << 8
            << long40.left(31);
    QTest::newRow("terminated: 30 bytes, limit past the field")
            << Write::Terminated << OledKeyRecord::FirstLine << long40.left(30) << 64 << 8
            << long40.left(30) + '\0';
    QTest::newRow("terminated: limit 0") << Write::Terminated << OledKeyRecord::FirstLine
                                         << QByteArray("abc") << 0 << 8 << QByteArray();
    QTest::newRow("clear") << Write::Clear << OledKeyRecord::ThirdLine << QByteArray() << 0 << 70
                           << QByteArray(31, '\0');
}

void tst_OledKeyRecord::textWrites()
{
    QFETCH(Write, write);
    QFETCH(Line, line);
    QFETCH(QByteArray, bytes);
    QFETCH(int, limit);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);

    auto model = patternedModel();
    OledKeyRecord record(*model, Record);
    const std::string_view view(bytes.constData(), size_t(bytes.size()));
    switch (write) {
    case Write::Copy:
        record.copyText(line, view);
        break;
    case Write::Terminated:
        record.writeTerminatedText(line, view, limit);
        break;
    case Write::Clear:
        record.clearText(line);
        break;
    }
    QCOMPARE(changes(*model), written(offset, expected));
}

QTEST_GUILESS_MAIN(tst_OledKeyRecord)
#include "tst_oledkeyrecord.moc"
