#include "configfiles.h"
#include "oledkeyrecord.h"
#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QTextCodec>
#include <QtTest/QtTest>

#include <cstring>
#include <memory>

using Records = QMap<int, QString>; // record -> describeRecord()
using KeyMap = QMap<int, int>;
using Seen = QSet<QString>;

// OLED content messages into the host model and out to the interface, through the
// host's message signal (the newer key-value layout, which nothing dispatches, by direct
// call). Local 8-bit text is Latin-1 here, so that it differs from UTF-8.
class tst_ModelUpdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void groupMessage_data();
    void groupMessage();
    void configurationPages_data();
    void configurationPages();
    void keyValueMessage_data();
    void keyValueMessage();
    void newLayoutMessage_data();
    void newLayoutMessage();
    void hostChangesSurvive_data();
    void hostChangesSurvive();
};

namespace {

const QString ThreeLines = QStringLiteral("1.03"); // tone processor of three-line messages
const QString TwoLines;
const OledKeyRecord::Line Lines[]
        = {OledKeyRecord::FirstLine, OledKeyRecord::SecondLine, OledKeyRecord::ThirdLine};
// What a directly connected receiver finds while a key is announced.
const QString OldModel = QStringLiteral("unlocked, old model");
const QString NewModel = QStringLiteral("unlocked, new model");

// A processor over a model whose every OLED record reads "238 238 238/238/238
// old|old|old", so that any write shows.
struct Host : ProcessorHost
{
    Host(const QString &tone, quint64 lineLength)
    {
        Utility_Manage::setToneProcVer(tone);
        Model_VOrnParam::gOledLength = lineLength;
        start();
        for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
            OledKeyRecord record(model, i);
            record.setDisplayModel(238);
            record.setIcon(238);
            for (const auto line : Lines) {
                record.setTextLength(line, 238);
                record.copyText(line, std::string_view("old", 4));
            }
        }
        before = std::make_unique<Model_VOrnParam>(model);
        QObject::connect(
                processor.get(), &UiprocDealKeyPress_Vorn_Desktop::sig_updateOledShow,
                processor.get(),
                [this] {
                    const bool unlocked = mutex.tryLock();
                    if (unlocked)
                        mutex.unlock();
                    seen << QStringLiteral("%1, %2 model")
                                    .arg(unlocked ? "unlocked" : "locked",
                                         touchedRecords().isEmpty() ? "old" : "new");
                },
                Qt::DirectConnection);
    }

    QList<int> touchedRecords() const
    {
        QList<int> touched;
        for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
            if (std::memcmp(model.oledKeyRecords[i], before->oledKeyRecords[i],
                            Model_VOrnParam::OledKeyRecordSize))
                touched.append(i);
        }
        return touched;
    }

    // The records touched are those of `records`, with that content, and `count` more
    // from `first` on.
    void checkRecords(const Records &records, int first = 0, int count = 0);

    std::unique_ptr<Model_VOrnParam> before;
    Seen seen; // by a receiver connected directly, at each announcement
};

// "model icon length1/length2/length3 text1|text2|text3", texts as Latin-1.
QString describeRecord(Model_VOrnParam &model, int index)
{
    const OledKeyRecord record(model, index);
    QStringList lengths, texts;
    for (const auto line : Lines) {
        const std::string_view text = record.text(line);
        lengths << QString::number(record.textLength(line));
        texts << QString::fromLatin1(text.data(), int(text.size()));
    }
    return QStringLiteral("%1 %2 %3 %4")
            .arg(QString::number(record.displayModel()), QString::number(record.icon()),
                 lengths.join('/'), texts.join('|'));
}

void Host::checkRecords(const Records &records, int first, int count)
{
    QList<int> expected;
    for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
        if (records.contains(i))
            QCOMPARE(describeRecord(model, i), records.value(i));
        if (records.contains(i) || (i >= first && i < first + count))
            expected.append(i);
    }
    QCOMPARE(touchedRecords(), expected);
}

QString oledShow(int key, int displayModel, int icon, const QString &first, const QString &second)
{
    return QStringLiteral("sig_updateOledShow(%1, %2, %3, \"%4\", \"%5\")")
            .arg(QString::number(key), QString::number(displayModel), QString::number(icon), first,
                 second);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(char(value));
    return result;
}

QByteArray padded(const QByteArray &text, int width)
{
    return text.leftJustified(width, '\0', true);
}

// Entry i: display model 10 + i, icon 20 + i, a first line all of letter 'A' + i, then
// lines "s<i>" and "t<i>".
QByteArray groupPayload(int entries, bool threeLines, int lineWidth)
{
    QByteArray payload;
    for (int i = 0; i < entries; ++i) {
        payload += bytes({10 + i, 20 + i}) + QByteArray(lineWidth, char('A' + i))
                + padded("s" + QByteArray::number(i), lineWidth);
        if (threeLines)
            payload += padded("t" + QByteArray::number(i), lineWidth);
    }
    return payload;
}

// An entry of the newer layout: key value, display model, icon, lengths and texts.
QByteArray newEntry(int key, int displayModel, int icon, const QByteArray &first,
                    const QByteArray &second = QByteArray(), const QByteArray &third = QByteArray())
{
    return bytes({key >> 8, key & 0xff, displayModel, icon, first.size(), second.size(),
                  third.size()})
            + first + second + third;
}

QByteArray iniPage(const QString &group, int displayModel, int icon, const QString &first,
                   const QString &second)
{
    return QStringLiteral(
                   "[%1]\ndisplayModel=%2\noledIconIndex=%3\noled1stText=%4\noled2ndText=%5\n")
            .arg(group, QString::number(displayModel), QString::number(icon), first, second)
            .toLatin1();
}

// `others` and the same content in each of `records`.
Records same(std::initializer_list<int> records, const QString &content, Records others = {})
{
    for (const int record : records)
        others.insert(record, content);
    return others;
}

} // namespace

void tst_ModelUpdate::initTestCase()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
}

void tst_ModelUpdate::groupMessage_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<int>("version"); // of the keyboard
    QTest::addColumn<int>("entries"); // complete ones, followed by half an entry
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("firstKey");
    QTest::addColumn<int>("firstRecord");
    QTest::addColumn<int>("announced");

    const QString tone102 = QStringLiteral("1.02");
    QTest::newRow("bank keys, L 10") << TwoLines << 10ull << 0 << 16 << 1 << 105 << 0 << 16;
    QTest::newRow("output keys, L 31, tone 1.02")
            << tone102 << 31ull << 0 << 16 << 5 << 505 << 320 << 16;
    QTest::newRow("shortcut keys, version 605: 13")
            << TwoLines << 10ull << 605 << 16 << 2 << 203 << 80 << 13;
    QTest::newRow("shortcut keys, version 604: 16")
            << TwoLines << 30ull << 604 << 16 << 2 << 203 << 80 << 16;
    QTest::newRow("group 0") << TwoLines << 10ull << 0 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("group 4 names no keys") << TwoLines << 10ull << 0 << 16 << 4 << 0 << 0 << 0;
    QTest::newRow("group 7") << TwoLines << 10ull << 0 << 16 << 7 << 0 << 0 << 0;
    QTest::newRow("three entries") << TwoLines << 10ull << 0 << 3 << 1 << 105 << 0 << 3;
    QTest::newRow("input keys, L 30, 17 entries: 16 read")
            << TwoLines << 30ull << 0 << 17 << 6 << 403 << 400 << 16;
    QTest::newRow("L 0: ignored") << TwoLines << 0ull << 0 << 16 << 1 << 0 << 0 << 0;
    QTest::newRow("L 32: ignored") << TwoLines << 32ull << 0 << 16 << 1 << 0 << 0 << 0;
    QTest::newRow("three lines: shortcut keys, version 605: 13")
            << ThreeLines << 10ull << 605 << 16 << 2 << 203 << 80 << 13;
    QTest::newRow("three lines: output keys, two entries")
            << ThreeLines << 30ull << 0 << 2 << 5 << 505 << 320 << 2;
    QTest::newRow("three lines: group 4") << ThreeLines << 30ull << 0 << 16 << 4 << 0 << 0 << 0;
    QTest::newRow("three lines: group 255") << ThreeLines << 30ull << 0 << 16 << 255 << 0 << 0 << 0;
}

void tst_ModelUpdate::groupMessage()
{
    QFETCH(QString, tone);
    QFETCH(qulonglong, lineLength);
    QFETCH(int, version);
    QFETCH(int, entries);
    QFETCH(int, group);
    QFETCH(int, firstKey);
    QFETCH(int, firstRecord);
    QFETCH(int, announced);

    Host host(tone, lineLength);
    host.model.keyBoardVersion = version;
    const bool threeLines = tone == ThreeLines;
    const int width = threeLines ? 30 : int(lineLength);
    const int entrySize = 2 + (threeLines ? 3 : 2) * width;
    if (threeLines)
        QTest::ignoreMessage(
                QtDebugMsg,
                qPrintable("updateModelDataByGroupID_3R groupId=  " + QString::number(group)));
    host.send(hostMessage(0xf1, 0x41, uchar(group), 0, 0,
                          groupPayload(entries + 1, threeLines, width)
                                  .left(entries * entrySize + entrySize / 2)));

    // Two-line messages never show the last byte of a line.
    const int shown = threeLines ? 30 : int(lineLength) - 1;
    QStringList expected;
    for (int i = 0; i < announced; ++i) {
        expected << oledShow(firstKey + i, 10 + i, 20 + i, QString(shown, QChar('A' + i)),
                             QStringLiteral("s%1").arg(i));
    }
    QCOMPARE(host.takeEmissions(), expected);
    host.checkRecords(Records(), firstRecord, announced);
    QCOMPARE(host.seen, announced ? Seen{OldModel} : Seen());
}

void tst_ModelUpdate::configurationPages_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<int>("group");
    QTest::addColumn<KeyMap>("keyMap");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("announced"); // for `slot`
    QTest::addColumn<Records>("records"); // besides page 0 of the group, which the message writes

    // Page 0 has a text over L and numbers over a byte.
    QByteArray fivePages = iniPage("313_0", 300, -1, "Twelve bytes", "L0");
    for (int p = 1; p < 5; ++p)
        fivePages += iniPage(QStringLiteral("313_%1").arg(p), 40 + p, 50 + p,
                             QStringLiteral("Layer p%1").arg(p), QStringLiteral("L%1").arg(p));
    // L bytes without a NUL over the message's 30: the rest of the message's line shows.
    const QString overMessage = QStringLiteral("Camera inp") + QString(20, 'A');

    QTest::newRow("layer key acting as itself: five pages; L bytes stored, L - 1 shown")
            << TwoLines << 10ull << 3 << KeyMap{{313, 313}} << fivePages << 0
            << oledShow(313, 10, 20, "Twelve by", "L0")
            << Records{{160, "44 255 12/2/238 Twelve byt|L0|old"},
                       {176, "41 51 8/2/238 Layer p1|L1|old"},
                       {192, "42 52 8/2/238 Layer p2|L2|old"},
                       {208, "43 53 8/2/238 Layer p3|L3|old"},
                       {224, "44 54 8/2/238 Layer p4|L4|old"}};
    QTest::newRow("layer key without remap entry: file not read")
            << TwoLines << 10ull << 3 << KeyMap{{314, 314}} << fivePages << 0
            << oledShow(313, 10, 20, "AAAAAAAAA", "s0")
            << Records{{160, "10 20 238/238/238 AAAAAAAAAA|s0|old"}};
    QTest::newRow("remapped layer key: its page 0 on all five pages")
            << TwoLines << 10ull << 3 << KeyMap{{314, 105}}
            << iniPage("314_0", 7, 8, "Key", "Remapped") + "[314_1]\noled1stText=unused\n"
            << 1 << oledShow(314, 11, 21, "Key", "Remapped")
            << same({161, 177, 193, 209, 225}, "7 8 3/8/238 Key|Remapped|old");
    QTest::newRow("UTF-8 from the file, shown as local 8-bit; groups without the values")
            << TwoLines << 30ull << 3 << KeyMap{{313, 313}}
            << QByteArray("[313_0]\noled1stText=Gr\\xfcn\n[313_1]\n\n[313_2]\nisModify=true\n"
                          "[313_3]\ndisplayModel=text\n")
            << 0 << oledShow(313, 10, 20, QStringLiteral("Gr\u00c3\u00bcn"), "")
            << Records{{160, QStringLiteral("0 0 5/0/238 Gr\u00c3\u00bcn||old")},
                       {192, "0 0 0/0/238 ||old"},
                       {208, "0 0 0/0/238 ||old"}};
    QTest::newRow("two lines: pages only on layer keys")
            << TwoLines << 10ull << 1 << KeyMap{{105, 105}} << iniPage("105_0", 1, 2, "Bank", "")
            << 0 << oledShow(105, 10, 20, "AAAAAAAAA", "s0") << Records();
    QTest::newRow("three lines: shortcut 205 acting as itself, page 1; L 64 stays in the field")
            << ThreeLines << 64ull << 2 << KeyMap{{205, 205}}
            << iniPage("205_1", 3, 4, QString(40, 'z'), "Page 1") << 2
            << oledShow(205, 12, 22, QString(30, 'C'), "s2")
            << Records{{98, "3 4 40/6/238 " + QString(31, 'z') + "|Page 1|old"}};
    QTest::newRow("three lines: remapped input key, page texts take L bytes")
            << ThreeLines << 10ull << 6 << KeyMap{{403, 1}}
            << iniPage("403_0", 5, 6, "Camera input one", "x") << 0
            << oledShow(403, 10, 20, overMessage, "x")
            << same({416, 432, 448, 464}, "5 6 16/1/238 Camera inp|x|old",
                    {{400, "5 6 16/1/238 " + overMessage + "|x|t0"}});
}

void tst_ModelUpdate::configurationPages()
{
    QFETCH(QString, tone);
    QFETCH(qulonglong, lineLength);
    QFETCH(int, group);
    QFETCH(KeyMap, keyMap);
    QFETCH(QByteArray, ini);
    QFETCH(int, slot);
    QFETCH(QString, announced);
    QFETCH(Records, records);

    Host host(tone, lineLength);
    host.model.keyMap = keyMap;
    QVERIFY(QDir().mkpath(QFileInfo(ConfigFiles::keyboardConfigPath()).path()));
    QFile file(ConfigFiles::keyboardConfigPath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
    file.close();
    const bool threeLines = tone == ThreeLines;
    if (threeLines)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("groupId="));
    host.send(hostMessage(0xf1, 0x41, uchar(group), 0, 0,
                          groupPayload(16, threeLines, threeLines ? 30 : int(lineLength))));

    const QStringList emissions = host.takeEmissions();
    QCOMPARE(emissions.size(), 16);
    QCOMPARE(emissions.at(slot), announced);
    host.checkRecords(records, (group - 1) * 80, 16); // page 0 of the group from the message
    QCOMPARE(host.model.keyMap, keyMap);
    QCOMPARE(host.seen, Seen{OldModel});
}

void tst_ModelUpdate::keyValueMessage_data()
{
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("texts"); // after the key value, display model and icon
    QTest::addColumn<int>("record"); // -1: ignored
    QTest::addColumn<QString>("stored"); // "first|second" in the record
    QTest::addColumn<QString>("shown");

    const QByteArray abc = padded("abc", 10) + padded("de", 10);
    const QString de = QStringLiteral("abc|de");
    QTest::newRow("bank 105: record 0") << 10ull << 105 << abc << 0 << de << de;
    QTest::newRow("bank 120: record 15") << 10ull << 120 << abc << 15 << de << de;
    QTest::newRow("shortcut 215: record 92") << 10ull << 215 << abc << 92 << de << de;
    QTest::newRow("shortcut 216: a key of its own") << 10ull << 216 << abc << 696 << de << de;
    QTest::newRow("input 405: record 402") << 10ull << 405 << abc << 402 << de << de;
    QTest::newRow("output 505: record 320") << 10ull << 505 << abc << 320 << de << de;
    QTest::newRow("key 100: record 580") << 10ull << 100 << abc << 580 << de << de;
    QTest::newRow("key 599: the last record") << 10ull << 599 << abc << 1079 << de << de;
    QTest::newRow("key 600: ignored") << 10ull << 600 << abc << -1 << de << de;
    QTest::newRow("longer payload: the rest unread")
            << 10ull << 105 << abc + "xyz" << 0 << de << de;
    QTest::newRow("L bytes of text: L - 1 shown")
            << 10ull << 105 << QByteArray("0123456789abcdefghij") << 0
            << QStringLiteral("0123456789|abcdefghij") << QStringLiteral("012345678|abcdefghi");
    QTest::newRow("L 30, local 8-bit text, NUL text")
            << 30ull << 313 << padded("Gr\xfcn", 60) << 160 << QStringLiteral("Gr\u00fcn|")
            << QStringLiteral("Gr\u00fcn|");
    QTest::newRow("one byte short: ignored")
            << 30ull << 105 << QByteArray(59, 'x') << -1 << de << de;
    QTest::newRow("L 2^32 + 10: ignored") << (1ull << 32) + 10 << 105 << abc << -1 << de << de;
}

void tst_ModelUpdate::keyValueMessage()
{
    QFETCH(qulonglong, lineLength);
    QFETCH(int, key);
    QFETCH(QByteArray, texts);
    QFETCH(int, record);
    QFETCH(QString, stored);
    QFETCH(QString, shown);

    Host host(TwoLines, lineLength);
    host.model.keyMap.insert(105, 403); // a remapped key still writes its own record
    host.send(hostMessage(0xf1, 0x43, 0, 0, 0, bytes({key >> 8, key & 0xff, 1, 2}) + texts));

    const QStringList lines = shown.split('|');
    QCOMPARE(host.takeEmissions(),
             record < 0 ? QStringList() : QStringList{oledShow(key, 1, 2, lines[0], lines[1])});
    host.checkRecords(record < 0 ? Records()
                                 : Records{{record, "1 2 238/238/238 " + stored + "|old"}});
    QCOMPARE(host.seen, record < 0 ? Seen() : Seen{NewModel});
}

void tst_ModelUpdate::newLayoutMessage_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<Records>("records"); // every record touched

    const QByteArray layer313 = newEntry(313, 2, 3, "ABC");
    const QByteArray bank105 = newEntry(105, 5, 6, "xyz");
    const QStringList shown313{oledShow(313, 2, 3, "ABC", "")};
    const Records stored313{{160, "2 3 3/0/0 ABC||"}};
    QTest::newRow("layer key 313") << '\1' + layer313 << shown313 << stored313;
    QTest::newRow("bank key 105: announced, not stored")
            << '\1' + bank105 << QStringList{oledShow(105, 5, 6, "", "")} << Records();
    QTest::newRow("a key without record shows the texts before it")
            << '\2' + layer313 + bank105 << shown313 + QStringList{oledShow(105, 5, 6, "ABC", "")}
            << stored313;
    QTest::newRow("three texts, the third not sent")
            << '\1' + newEntry(328, 1, 2, "ab", "cde", "FGHI")
            << QStringList{oledShow(328, 1, 2, "ab", "cde")}
            << Records{{175, "1 2 2/3/4 ab|cde|FGHI"}};
    QTest::newRow("a shorter text clears the longer one")
            << '\2' + newEntry(313, 0, 0, "Longer") + newEntry(313, 0, 0, "OK")
            << QStringList{oledShow(313, 0, 0, "Longer", ""), oledShow(313, 0, 0, "OK", "")}
            << Records{{160, "0 0 2/0/0 OK||"}};
    QTest::newRow("text of 40 bytes: 30 stored, length 40")
            << '\1' + newEntry(313, 0, 0, QByteArray(40, 'W'))
            << QStringList{oledShow(313, 0, 0, QString(30, 'W'), "")}
            << Records{{160, "0 0 40/0/0 " + QString(30, 'W') + "||"}};
    QTest::newRow("second entry short: the first stands")
            << '\2' + layer313 + newEntry(314, 0, 0, "abcd").chopped(1) << shown313 << stored313;
    QTest::newRow("second header incomplete")
            << '\2' + layer313 + bank105.left(6) << shown313 << stored313;
    QTest::newRow("count 0") << '\0' + layer313 << QStringList() << Records();
    QTest::newRow("empty payload") << QByteArray() << QStringList() << Records();
}

void tst_ModelUpdate::newLayoutMessage()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, announced);
    QFETCH(Records, records);

    Host host(TwoLines, 10);
    host.processor->updateModelDataByKeyValue_New(hostMessage(0xf1, 0x43, 0, 0, 0, payload));

    QCOMPARE(host.takeEmissions(), announced);
    host.checkRecords(records);
    QCOMPARE(host.seen, announced.isEmpty() ? Seen() : Seen{OldModel});
}

void tst_ModelUpdate::hostChangesSurvive_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<model_Protocoldata>("message"); // no command: the newer layout, called
    QTest::addColumn<int>("record"); // the message writes its display model 10

    QTest::newRow("group") << TwoLines
                           << hostMessage(0xf1, 0x41, 1, 0, 0, groupPayload(2, false, 10)) << 0;
    QTest::newRow("three-line group")
            << ThreeLines << hostMessage(0xf1, 0x41, 1, 0, 0, groupPayload(2, true, 30)) << 0;
    QTest::newRow("key value") << TwoLines
                               << hostMessage(0xf1, 0x43, 0, 0, 0,
                                              bytes({0, 105, 10, 0}) + QByteArray(20, 'k'))
                               << 0;
    QTest::newRow("newer layout") << TwoLines
                                  << hostMessage(0, 0, 0, 0, 0,
                                                 bytes({1}) + newEntry(313, 10, 0, "n"))
                                  << 160;
}

// What the host changes in its model while the update announces keys stays: another
// field, another record (also one of the group the message leaves alone) and the key
// remap.
void tst_ModelUpdate::hostChangesSurvive()
{
    QFETCH(QString, tone);
    QFETCH(model_Protocoldata, message);
    QFETCH(int, record);

    Host host(tone, 10);
    QObject::connect(
            host.processor.get(), &UiprocDealKeyPress_Vorn_Desktop::sig_updateOledShow,
            host.processor.get(),
            [&host] {
                host.model.reserved0[0] = 0x5a;
                OledKeyRecord(host.model, 1000).setDisplayModel(0x5b);
                OledKeyRecord(host.model, 15).setDisplayModel(0x5c);
                host.model.keyMap.insert(999, 1);
            },
            Qt::DirectConnection);
    if (tone == ThreeLines)
        QTest::ignoreMessage(QtDebugMsg, "updateModelDataByGroupID_3R groupId=  1");
    if (message.command)
        host.send(message);
    else
        host.processor->updateModelDataByKeyValue_New(message);

    QCOMPARE(OledKeyRecord(host.model, record).displayModel(), uchar(10));
    QCOMPARE(host.model.reserved0[0], uchar(0x5a));
    QCOMPARE(OledKeyRecord(host.model, 1000).displayModel(), uchar(0x5b));
    QCOMPARE(OledKeyRecord(host.model, 15).displayModel(), uchar(0x5c));
    QCOMPARE(host.model.keyMap.value(999), 1);
}

QTEST_GUILESS_MAIN(tst_ModelUpdate)
#include "tst_modelupdate.moc"
