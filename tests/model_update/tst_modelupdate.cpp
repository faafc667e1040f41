#include "configfiles.h"
#include "oledkeyrecord.h"
#include "processorhost.h"

#include <utility_manage.h>

#include <QtCore/QSettings>
#include <QtCore/QTextCodec>
#include <QtTest/QtTest>

#include <cstring>
#include <memory>

using Records = QMap<int, QString>;
using IniValues = QVariantMap;
using KeyMap = QMap<int, int>;

// OLED content messages into the host model and out to the interface, through the
// host's message signal as in the host (the newer key-value layout by direct call).
class tst_ModelUpdate : public QObject
{
    Q_OBJECT
private slots:
    void groupMessage_data();
    void groupMessage();
    void configurationPages_data();
    void configurationPages();
    void configurationSectionWithoutKeys();
    void encodings_data();
    void encodings();
    void keyValueMessage_data();
    void keyValueMessage();
    void newLayoutMessage_data();
    void newLayoutMessage();
    void receiverDuringEmission_data();
    void receiverDuringEmission();
};

namespace {

const QString ThreeLineTone = QStringLiteral("1.03");
const uchar Old = 238;

// A host whose tone processor and OLED line length are set before the processor starts,
// and whose every OLED record reads "238 238 238/238/238 old|old|old", so that any
// write shows.
struct Host : ProcessorHost
{
    Host(const QString &toneVersion, quint64 lineLength)
    {
        if (!toneVersion.isEmpty())
            Utility_Manage::setToneProcVer(toneVersion);
        Model_VOrnParam::gOledLength = lineLength;
        start();
        for (int i = 0; i < Model_VOrnParam::OledKeyRecordCount; ++i) {
            OledKeyRecord record(model, i);
            record.setDisplayModel(Old);
            record.setIcon(Old);
            for (const auto line :
                 {OledKeyRecord::FirstLine, OledKeyRecord::SecondLine, OledKeyRecord::ThirdLine}) {
                record.setTextLength(line, Old);
                record.copyText(line, std::string_view("old", 4));
            }
        }
        before = std::make_unique<Model_VOrnParam>(model);
    }

    // Records whose bytes differ from the model when the host started.
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

    std::unique_ptr<Model_VOrnParam> before;
};

void writeIni(const IniValues &values)
{
    QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        settings.setValue(value.key(), value.value());
}

QString field(const OledKeyRecord &record, OledKeyRecord::Line line)
{
    const std::string_view text = record.text(line);
    return QString::fromLatin1(text.data(), int(text.size()));
}

// "model icon length1/length2/length3 text1|text2|text3", texts as Latin-1.
QString describeRecord(Model_VOrnParam &model, int index)
{
    const OledKeyRecord record(model, index);
    return QStringLiteral("%1 %2 %3/%4/%5 %6|%7|%8")
            .arg(record.displayModel())
            .arg(record.icon())
            .arg(record.textLength(OledKeyRecord::FirstLine))
            .arg(record.textLength(OledKeyRecord::SecondLine))
            .arg(record.textLength(OledKeyRecord::ThirdLine))
            .arg(field(record, OledKeyRecord::FirstLine), field(record, OledKeyRecord::SecondLine),
                 field(record, OledKeyRecord::ThirdLine));
}

QString oledShow(int key, int displayModel, int icon, const QString &first, const QString &second)
{
    return QStringLiteral("sig_updateOledShow(%1, %2, %3, \"%4\", \"%5\")")
            .arg(key)
            .arg(displayModel)
            .arg(icon)
            .arg(first, second);
}

QByteArray padded(const QByteArray &text, int width)
{
    return text.leftJustified(width, '\0', true);
}

// Entry i of a group message: display model 10 + i, icon 20 + i, a first line of
// letter 'A' + i filling all its bytes, lines "s<i>" and "t<i>" after it.
QByteArray groupEntry(int i, int lineCount, int lineWidth)
{
    QByteArray entry;
    entry.append(char(10 + i)).append(char(20 + i));
    entry.append(QByteArray(lineWidth, char('A' + i)));
    entry.append(padded("s" + QByteArray::number(i), lineWidth));
    if (lineCount == 3)
        entry.append(padded("t" + QByteArray::number(i), lineWidth));
    return entry;
}

QByteArray groupPayload(int entries, int lineCount, int lineWidth)
{
    QByteArray payload;
    for (int i = 0; i < entries; ++i)
        payload.append(groupEntry(i, lineCount, lineWidth));
    return payload;
}

model_Protocoldata groupOledMessage(int group, const QByteArray &payload)
{
    return hostMessage(0xf1, 0x41, uchar(group), 0, 0, payload);
}

model_Protocoldata keyValueOledMessage(const QByteArray &payload)
{
    return hostMessage(0xf1, 0x43, 0, 0, 0, payload);
}

QByteArray keyValuePayload(int key, int displayModel, int icon, const QByteArray &first,
                           const QByteArray &second, int lineLength)
{
    QByteArray payload;
    payload.append(char(key >> 8)).append(char(key & 0xff));
    payload.append(char(displayModel)).append(char(icon));
    return payload + padded(first, lineLength) + padded(second, lineLength);
}

QList<int> range(int first, int count)
{
    QList<int> values;
    for (int i = 0; i < count; ++i)
        values.append(first + i);
    return values;
}

} // namespace

void tst_ModelUpdate::groupMessage_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<int>("keyboardVersion");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("entries"); // complete entries in the payload
    QTest::addColumn<int>("extraBytes"); // of an incomplete entry after them
    QTest::addColumn<int>("firstKey");
    QTest::addColumn<int>("firstRecord");
    QTest::addColumn<int>("announced");

    const QString twoLines;
    QTest::newRow("bank keys, L 10") << twoLines << 10ull << 0 << 1 << 16 << 0 << 105 << 0 << 16;
    QTest::newRow("bank keys, L 30") << twoLines << 30ull << 0 << 1 << 16 << 0 << 105 << 0 << 16;
    QTest::newRow("bank keys, L 31") << twoLines << 31ull << 0 << 1 << 16 << 0 << 105 << 0 << 16;
    QTest::newRow("shortcut keys, version 605: 13 keys")
            << twoLines << 10ull << 605 << 2 << 16 << 0 << 203 << 80 << 13;
    QTest::newRow("shortcut keys, version 604: 16 keys")
            << twoLines << 10ull << 604 << 2 << 16 << 0 << 203 << 80 << 16;
    QTest::newRow("layer keys, no remap")
            << twoLines << 30ull << 0 << 3 << 16 << 0 << 313 << 160 << 16;
    QTest::newRow("group 4 names no keys") << twoLines << 10ull << 0 << 4 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("output keys") << twoLines << 10ull << 0 << 5 << 16 << 0 << 505 << 320 << 16;
    QTest::newRow("input keys") << twoLines << 30ull << 0 << 6 << 16 << 0 << 403 << 400 << 16;
    QTest::newRow("group 0") << twoLines << 10ull << 0 << 0 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("group 7") << twoLines << 10ull << 0 << 7 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("group 255") << twoLines << 10ull << 0 << 255 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("three entries and a part")
            << twoLines << 10ull << 0 << 1 << 3 << 21 << 105 << 0 << 3;
    QTest::newRow("17 entries: 16 read")
            << twoLines << 10ull << 0 << 6 << 17 << 0 << 403 << 400 << 16;
    QTest::newRow("empty payload") << twoLines << 10ull << 0 << 1 << 0 << 0 << 105 << 0 << 0;
    QTest::newRow("L 0: ignored") << twoLines << 0ull << 0 << 1 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("L 32: ignored") << twoLines << 32ull << 0 << 1 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("tone 1.02 keeps two lines")
            << QStringLiteral("1.02") << 30ull << 0 << 5 << 16 << 0 << 505 << 320 << 16;

    QTest::newRow("three lines: bank keys")
            << ThreeLineTone << 10ull << 0 << 1 << 16 << 0 << 105 << 0 << 16;
    QTest::newRow("three lines: shortcut keys, version 605")
            << ThreeLineTone << 30ull << 605 << 2 << 16 << 0 << 203 << 80 << 13;
    QTest::newRow("three lines: shortcut keys, version 0")
            << ThreeLineTone << 30ull << 0 << 2 << 16 << 0 << 203 << 80 << 16;
    QTest::newRow("three lines: layer keys")
            << ThreeLineTone << 30ull << 0 << 3 << 16 << 0 << 313 << 160 << 16;
    QTest::newRow("three lines: group 4")
            << ThreeLineTone << 30ull << 0 << 4 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("three lines: output keys")
            << ThreeLineTone << 30ull << 0 << 5 << 16 << 0 << 505 << 320 << 16;
    QTest::newRow("three lines: input keys")
            << ThreeLineTone << 10ull << 0 << 6 << 16 << 0 << 403 << 400 << 16;
    QTest::newRow("three lines: group 0")
            << ThreeLineTone << 30ull << 0 << 0 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("three lines: group 9")
            << ThreeLineTone << 30ull << 0 << 9 << 16 << 0 << 0 << 0 << 0;
    QTest::newRow("three lines: two entries and a part")
            << ThreeLineTone << 30ull << 0 << 6 << 2 << 91 << 403 << 400 << 2;
    QTest::newRow("three lines: any L, 64")
            << ThreeLineTone << 64ull << 0 << 1 << 16 << 0 << 105 << 0 << 16;
}

void tst_ModelUpdate::groupMessage()
{
    QFETCH(QString, tone);
    QFETCH(qulonglong, lineLength);
    QFETCH(int, keyboardVersion);
    QFETCH(int, group);
    QFETCH(int, entries);
    QFETCH(int, extraBytes);
    QFETCH(int, firstKey);
    QFETCH(int, firstRecord);
    QFETCH(int, announced);

    Host host(tone, lineLength);
    host.model.keyBoardVersion = keyboardVersion;
    host.before->keyBoardVersion = keyboardVersion;
    const bool threeLines = tone == ThreeLineTone;
    const int lineCount = threeLines ? 3 : 2;
    const int width = threeLines ? 30 : int(lineLength);
    const QByteArray payload = groupPayload(entries + 1, lineCount, width)
                                       .left(entries * (2 + lineCount * width) + extraBytes);
    if (threeLines) {
        QTest::ignoreMessage(
                QtDebugMsg,
                qPrintable(QStringLiteral("updateModelDataByGroupID_3R groupId=  %1").arg(group)));
    }

    host.send(groupOledMessage(group, payload));

    // Two-line messages never show the last byte of a line.
    const int shown = threeLines ? 30 : int(lineLength) - 1;
    QStringList expected;
    for (int i = 0; i < announced; ++i) {
        expected << oledShow(firstKey + i, 10 + i, 20 + i, QString(shown, QChar('A' + i)),
                             QStringLiteral("s%1").arg(i));
    }
    QCOMPARE(host.takeEmissions(), expected);
    QCOMPARE(host.touchedRecords(), range(firstRecord, announced));
    if (announced > 0) {
        const QString third = threeLines ? QStringLiteral("t0") : QStringLiteral("old");
        QCOMPARE(describeRecord(host.model, firstRecord),
                 QStringLiteral("10 20 238/238/238 %1|s0|%2").arg(QString(width, 'A'), third));
    }
}

void tst_ModelUpdate::configurationPages_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<int>("group");
    QTest::addColumn<KeyMap>("keyMap");
    QTest::addColumn<IniValues>("ini");
    QTest::addColumn<QString>("announced"); // the emission for slot `slot`
    QTest::addColumn<int>("slot");
    QTest::addColumn<Records>("records"); // every record touched beyond page 0

    const QString twoLines;
    const auto page = [](const QString &group, int displayModel, int icon, const QString &first,
                         const QString &second) {
        return IniValues{{group + "/displayModel", displayModel},
                         {group + "/oledIconIndex", icon},
                         {group + "/oled1stText", first},
                         {group + "/oled2ndText", second}};
    };
    IniValues fivePages;
    for (int p = 0; p < 5; ++p)
        fivePages.insert(page(QStringLiteral("313_%1").arg(p), 40 + p, 50 + p,
                              QStringLiteral("Layer p%1").arg(p), QStringLiteral("L%1").arg(p)));

    QTest::newRow("layer key acting as itself: five pages")
            << twoLines << 10ull << 3 << KeyMap{{313, 313}} << fivePages
            << oledShow(313, 10, 20, "Layer p0", "L0") << 0
            << Records{{160, "40 50 8/2/238 Layer p0|L0|old"},
                       {176, "41 51 8/2/238 Layer p1|L1|old"},
                       {192, "42 52 8/2/238 Layer p2|L2|old"},
                       {208, "43 53 8/2/238 Layer p3|L3|old"},
                       {224, "44 54 8/2/238 Layer p4|L4|old"}};
    QTest::newRow("layer key without remap entry: file not read")
            << twoLines << 10ull << 3 << KeyMap{{314, 314}} << fivePages
            << oledShow(313, 10, 20, "AAAAAAAAA", "s0") << 0
            << Records{{160, "10 20 238/238/238 AAAAAAAAAA|s0|old"}};
    QTest::newRow("remapped layer key: page 0 group on all five pages")
            << twoLines << 10ull << 3 << KeyMap{{314, 105}}
            << IniValues{{"314_0/displayModel", 7},
                         {"314_0/oledIconIndex", 8},
                         {"314_0/oled1stText", "Key"},
                         {"314_0/oled2ndText", "Remapped"},
                         {"314_1/oled1stText", "unused"}}
            << oledShow(314, 11, 21, "Key", "Remapped") << 1
            << Records{{161, "7 8 3/8/238 Key|Remapped|old"},
                       {177, "7 8 3/8/238 Key|Remapped|old"},
                       {193, "7 8 3/8/238 Key|Remapped|old"},
                       {209, "7 8 3/8/238 Key|Remapped|old"},
                       {225, "7 8 3/8/238 Key|Remapped|old"}};
    QTest::newRow("text longer than L: L bytes stored, full length, L - 1 shown")
            << twoLines << 10ull << 3 << KeyMap{{313, 313}}
            << page(QStringLiteral("313_0"), 300, -1, "Twelve bytes", "")
            << oledShow(313, 10, 20, "Twelve by", "") << 0
            << Records{{160, "44 255 12/0/238 Twelve byt||old"}};
    QTest::newRow("group of other keys only: defaults")
            << twoLines << 30ull << 3 << KeyMap{{313, 313}}
            << IniValues{{"313_2/isModify", true}, {"313_3/displayModel", "text"}}
            << oledShow(313, 10, 20, QString(29, 'A'), "s0") << 0
            << Records{{160, QStringLiteral("10 20 238/238/238 %1|s0|old").arg(QString(30, 'A'))},
                       {192, "0 0 0/0/238 ||old"},
                       {208, "0 0 0/0/238 ||old"}};
    QTest::newRow("two lines: pages only on layer keys")
            << twoLines << 10ull << 1 << KeyMap{{105, 105}}
            << page(QStringLiteral("105_0"), 1, 2, "Bank", "")
            << oledShow(105, 10, 20, "AAAAAAAAA", "s0") << 0
            << Records{{0, "10 20 238/238/238 AAAAAAAAAA|s0|old"}};

    QTest::newRow("three lines: shortcut 205 acting as itself, page 1")
            << ThreeLineTone << 30ull << 2 << KeyMap{{205, 205}}
            << page(QStringLiteral("205_1"), 3, 4, "Shortcut", "Page 1")
            << oledShow(205, 12, 22, QString(30, 'C'), "s2") << 2
            << Records{{98, "3 4 8/6/238 Shortcut|Page 1|old"}};
    QTest::newRow("three lines: output 505, page 0 text")
            << ThreeLineTone << 30ull << 5 << KeyMap{{505, 505}}
            << IniValues{{"505_0/oled1stText", "Program"}} << oledShow(505, 10, 20, "Program", "")
            << 0 << Records{{320, "0 0 7/0/238 Program||t0"}};
    // L bytes without a NUL over the message's 30: the message's rest still shows.
    const QString overMessage = QStringLiteral("Camera inp") + QString(20, 'A');
    QTest::newRow("three lines: page texts take L bytes")
            << ThreeLineTone << 10ull << 6 << KeyMap{{403, 1}}
            << page(QStringLiteral("403_0"), 5, 6, "Camera input one", "x")
            << oledShow(403, 10, 20, overMessage, "x") << 0
            << Records{{400, QStringLiteral("5 6 16/1/238 %1|x|t0").arg(overMessage)},
                       {416, "5 6 16/1/238 Camera inp|x|old"},
                       {432, "5 6 16/1/238 Camera inp|x|old"},
                       {448, "5 6 16/1/238 Camera inp|x|old"},
                       {464, "5 6 16/1/238 Camera inp|x|old"}};
    QTest::newRow("three lines: L 64 stays inside the field")
            << ThreeLineTone << 64ull << 1 << KeyMap{{120, 120}}
            << page(QStringLiteral("120_4"), 1, 1, QString(40, 'z'), "")
            << oledShow(120, 25, 35, QString(30, 'P'), "s15") << 15
            << Records{{79, QStringLiteral("1 1 40/0/238 %1||old").arg(QString(31, 'z'))}};
}

void tst_ModelUpdate::configurationPages()
{
    QFETCH(QString, tone);
    QFETCH(qulonglong, lineLength);
    QFETCH(int, group);
    QFETCH(KeyMap, keyMap);
    QFETCH(IniValues, ini);
    QFETCH(QString, announced);
    QFETCH(int, slot);
    QFETCH(Records, records);

    Host host(tone, lineLength);
    host.model.keyMap = keyMap;
    writeIni(ini);
    const bool threeLines = tone == ThreeLineTone;
    if (threeLines)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("groupId="));
    const int lineCount = threeLines ? 3 : 2;
    host.send(groupOledMessage(group,
                               groupPayload(16, lineCount, threeLines ? 30 : int(lineLength))));

    const QStringList emissions = host.takeEmissions();
    QCOMPARE(emissions.size(), 16);
    QCOMPARE(emissions.at(slot), announced);
    const int pageZero = (group - 1) * 80;
    QList<int> touched = range(pageZero, 16);
    for (const int record : records.keys()) {
        if (!touched.contains(record))
            touched.append(record);
        QCOMPARE(describeRecord(host.model, record), records.value(record));
    }
    std::sort(touched.begin(), touched.end());
    QCOMPARE(host.touchedRecords(), touched);
    QCOMPARE(host.model.keyMap, keyMap);
}

void tst_ModelUpdate::configurationSectionWithoutKeys()
{
    Host host(QString(), 10);
    host.model.keyMap.insert(313, 313);
    QDir().mkpath(QFileInfo(ConfigFiles::keyboardConfigPath()).path());
    QFile file(ConfigFiles::keyboardConfigPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[313_0]\n\n[313_1]\ndisplayModel=9\n");
    file.close();

    host.send(groupOledMessage(3, groupPayload(16, 2, 10)));

    QCOMPARE(host.takeEmissions().at(0), oledShow(313, 10, 20, "AAAAAAAAA", "s0"));
    QCOMPARE(describeRecord(host.model, 160),
             QStringLiteral("10 20 238/238/238 AAAAAAAAAA|s0|old"));
    QCOMPARE(describeRecord(host.model, 176), QStringLiteral("9 0 0/0/238 ||old"));
}

void tst_ModelUpdate::encodings_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("pageText");
    QTest::addColumn<QByteArray>("messageText");
    QTest::addColumn<QByteArray>("stored"); // the page text in the record
    QTest::addColumn<QString>("shownPage");
    QTest::addColumn<QString>("shownMessage");

    QTest::newRow("UTF-8 locale") << QByteArray("UTF-8") << QStringLiteral("Grün")
                                  << QByteArray("Gr\xc3\xbcn") << QByteArray("Gr\xc3\xbcn")
                                  << QStringLiteral("Grün") << QStringLiteral("Grün");
    QTest::newRow("Latin-1 locale: page bytes are UTF-8, shown as Latin-1")
            << QByteArray("ISO-8859-1") << QStringLiteral("Grün") << QByteArray("Gr\xfcn")
            << QByteArray("Gr\xc3\xbcn") << QStringLiteral("Gr\u00c3\u00bcn")
            << QStringLiteral("Grün");
}

void tst_ModelUpdate::encodings()
{
    QFETCH(QByteArray, locale);
    QFETCH(QString, pageText);
    QFETCH(QByteArray, messageText);
    QFETCH(QByteArray, stored);
    QFETCH(QString, shownPage);
    QFETCH(QString, shownMessage);

    QTextCodec *const systemCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(locale));
    Host host(QString(), 10);
    host.model.keyMap.insert(313, 313);
    writeIni({{"313_0/oled1stText", pageText}});
    QByteArray payload;
    for (int i = 0; i < 16; ++i)
        payload += QByteArray(2, '\1') + padded(messageText, 10) + padded(messageText, 10);
    host.send(groupOledMessage(3, payload));
    const QStringList emissions = host.takeEmissions();
    QTextCodec::setCodecForLocale(systemCodec);

    // The page has no second text: it clears the message's.
    QCOMPARE(emissions.at(0), oledShow(313, 1, 1, shownPage, QString()));
    QCOMPARE(emissions.at(1), oledShow(314, 1, 1, shownMessage, shownMessage));
    const std::string_view text = OledKeyRecord(host.model, 160).text(OledKeyRecord::FirstLine);
    QCOMPARE(QByteArray(text.data(), int(text.size())), stored);
    QCOMPARE(int(OledKeyRecord(host.model, 160).textLength(OledKeyRecord::FirstLine)),
             stored.size());
}

void tst_ModelUpdate::keyValueMessage_data()
{
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<Records>("records"); // every record touched

    const QByteArray abc("abc");
    QTest::newRow("bank 105: record 0") << 10ull << keyValuePayload(105, 1, 2, abc, "de", 10)
                                        << QStringList{oledShow(105, 1, 2, "abc", "de")}
                                        << Records{{0, "1 2 238/238/238 abc|de|old"}};
    QTest::newRow("bank 120: record 15") << 10ull << keyValuePayload(120, 1, 2, abc, "", 10)
                                         << QStringList{oledShow(120, 1, 2, "abc", "")}
                                         << Records{{15, "1 2 238/238/238 abc||old"}};
    QTest::newRow("shortcut 215: record 92") << 10ull << keyValuePayload(215, 3, 4, abc, "", 10)
                                             << QStringList{oledShow(215, 3, 4, "abc", "")}
                                             << Records{{92, "3 4 238/238/238 abc||old"}};
    QTest::newRow("shortcut 216: a key of its own, record 696")
            << 10ull << keyValuePayload(216, 3, 4, abc, "", 10)
            << QStringList{oledShow(216, 3, 4, "abc", "")}
            << Records{{696, "3 4 238/238/238 abc||old"}};
    QTest::newRow("layer 328: record 175") << 30ull << keyValuePayload(328, 0, 0, abc, "", 30)
                                           << QStringList{oledShow(328, 0, 0, "abc", "")}
                                           << Records{{175, "0 0 238/238/238 abc||old"}};
    QTest::newRow("input 405: record 402")
            << 30ull << keyValuePayload(405, 1, 4, "Graphics", "4K", 30)
            << QStringList{oledShow(405, 1, 4, "Graphics", "4K")}
            << Records{{402, "1 4 238/238/238 Graphics|4K|old"}};
    QTest::newRow("output 505: record 320") << 10ull << keyValuePayload(505, 255, 254, abc, "", 10)
                                            << QStringList{oledShow(505, 255, 254, "abc", "")}
                                            << Records{{320, "255 254 238/238/238 abc||old"}};
    QTest::newRow("key 100: record 580") << 10ull << keyValuePayload(100, 1, 1, abc, "", 10)
                                         << QStringList{oledShow(100, 1, 1, "abc", "")}
                                         << Records{{580, "1 1 238/238/238 abc||old"}};
    QTest::newRow("key 0: record 480") << 10ull << keyValuePayload(0, 1, 1, abc, "", 10)
                                       << QStringList{oledShow(0, 1, 1, "abc", "")}
                                       << Records{{480, "1 1 238/238/238 abc||old"}};
    QTest::newRow("key 599: the last record") << 10ull << keyValuePayload(599, 1, 1, abc, "", 10)
                                              << QStringList{oledShow(599, 1, 1, "abc", "")}
                                              << Records{{1079, "1 1 238/238/238 abc||old"}};
    QTest::newRow("key 600: ignored")
            << 10ull << keyValuePayload(600, 1, 1, abc, "", 10) << QStringList() << Records();
    QTest::newRow("key 65535: ignored")
            << 10ull << keyValuePayload(65535, 1, 1, abc, "", 10) << QStringList() << Records();
    QTest::newRow("L bytes of text: L - 1 shown")
            << 10ull << keyValuePayload(105, 1, 2, "0123456789", "abcdefghij", 10)
            << QStringList{oledShow(105, 1, 2, "012345678", "abcdefghi")}
            << Records{{0, "1 2 238/238/238 0123456789|abcdefghij|old"}};
    QTest::newRow("NUL texts: empty strings")
            << 30ull << keyValuePayload(105, 1, 2, "", "", 30)
            << QStringList{oledShow(105, 1, 2, "", "")} << Records{{0, "1 2 238/238/238 ||old"}};
    QTest::newRow("one byte short: ignored")
            << 10ull << keyValuePayload(105, 1, 2, abc, "", 10).chopped(1) << QStringList()
            << Records();
    QTest::newRow("L 10 payload under L 30: ignored")
            << 30ull << keyValuePayload(105, 1, 2, abc, "", 10) << QStringList() << Records();
    QTest::newRow("longer payload: the rest unread")
            << 10ull << keyValuePayload(105, 1, 2, abc, "", 10) + "trailing"
            << QStringList{oledShow(105, 1, 2, "abc", "")}
            << Records{{0, "1 2 238/238/238 abc||old"}};
    QTest::newRow("L 0: ignored") << 0ull << keyValuePayload(105, 1, 2, "", "", 0) << QStringList()
                                  << Records();
    QTest::newRow("L 40: ignored")
            << 40ull << keyValuePayload(105, 1, 2, abc, "", 40) << QStringList() << Records();
}

void tst_ModelUpdate::keyValueMessage()
{
    QFETCH(qulonglong, lineLength);
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, announced);
    QFETCH(Records, records);

    Host host(QString(), lineLength);
    // A remapped key still writes its own record.
    host.model.keyMap.insert(105, 403);
    host.send(keyValueOledMessage(payload));

    QCOMPARE(host.takeEmissions(), announced);
    QCOMPARE(host.touchedRecords(), records.keys());
    for (const int record : records.keys())
        QCOMPARE(describeRecord(host.model, record), records.value(record));
}

void tst_ModelUpdate::newLayoutMessage_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<Records>("records"); // every record touched

    const QByteArray layer313 = QByteArray::fromHex("0139"
                                                    "0203"
                                                    "030000")
            + "ABC";
    const QByteArray bank105 = QByteArray::fromHex("0069"
                                                   "0506"
                                                   "010101")
            + "xyz";
    QTest::newRow("layer key 313")
            << '\x01' + layer313 << QStringList{oledShow(313, 2, 3, "ABC", "")}
            << Records{{160, "2 3 3/0/0 ABC||"}};
    QTest::newRow("bank key 105: announced, not stored")
            << '\x01' + bank105 << QStringList{oledShow(105, 5, 6, "", "")} << Records();
    QTest::newRow("a key without record shows the texts before it")
            << '\x02' + layer313 + bank105
            << QStringList{oledShow(313, 2, 3, "ABC", ""), oledShow(105, 5, 6, "ABC", "")}
            << Records{{160, "2 3 3/0/0 ABC||"}};
    QTest::newRow("three texts, the third not sent") << QByteArray::fromHex("01"
                                                                            "0148"
                                                                            "0102"
                                                                            "020304")
                    + "abcdeFGHI" << QStringList{oledShow(328, 1, 2, "ab", "cde")}
                                                     << Records{{175, "1 2 2/3/4 ab|cde|FGHI"}};
    QTest::newRow("a shorter text clears the old one")
            << QByteArray::fromHex("02"
                                   "0139"
                                   "0000"
                                   "060000")
                    + "Longer"
                    + QByteArray::fromHex("0139"
                                          "0000"
                                          "020000")
                    + "OK"
            << QStringList{oledShow(313, 0, 0, "Longer", ""), oledShow(313, 0, 0, "OK", "")}
            << Records{{160, "0 0 2/0/0 OK||"}};
    QTest::newRow("text of 40 bytes: 30 stored, length 40")
            << QByteArray::fromHex("01"
                                   "0139"
                                   "0000"
                                   "280000")
                    + QByteArray(40, 'W')
            << QStringList{oledShow(313, 0, 0, QString(30, 'W'), "")}
            << Records{{160, QStringLiteral("0 0 40/0/0 %1||").arg(QString(30, 'W'))}};
    QTest::newRow("second entry short: first stands") << '\x02' + layer313
                    + QByteArray::fromHex("013a"
                                          "0000"
                                          "050000")
                    + "abcd" << QStringList{oledShow(313, 2, 3, "ABC", "")}
                                                      << Records{{160, "2 3 3/0/0 ABC||"}};
    QTest::newRow("count 0") << '\0' + layer313 << QStringList() << Records();
    QTest::newRow("empty payload") << QByteArray() << QStringList() << Records();
}

void tst_ModelUpdate::newLayoutMessage()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, announced);
    QFETCH(Records, records);

    Host host(QString(), 10);
    host.processor->updateModelDataByKeyValue_New(hostMessage(0xf1, 0x43, 0, 0, 0, payload));

    QCOMPARE(host.takeEmissions(), announced);
    QCOMPARE(host.touchedRecords(), records.keys());
    for (const int record : records.keys())
        QCOMPARE(describeRecord(host.model, record), records.value(record));
}

void tst_ModelUpdate::receiverDuringEmission_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<model_Protocoldata>("message");
    QTest::addColumn<bool>("newLayout");
    QTest::addColumn<QString>("seen"); // record 160's first text while announced

    QByteArray twoLine;
    for (int i = 0; i < 16; ++i)
        twoLine += QByteArray(2, '\0') + padded("new", 10) + padded("", 10);
    QByteArray threeLine;
    for (int i = 0; i < 16; ++i)
        threeLine += QByteArray(2, '\0') + padded("new", 30) + padded("", 60);
    const QByteArray newLayout = QByteArray::fromHex("01"
                                                     "0139"
                                                     "0000"
                                                     "030000")
            + "new";

    QTest::newRow("group message: before it")
            << QString() << groupOledMessage(3, twoLine) << false << QStringLiteral("old");
    QTest::newRow("three-line group message: before it")
            << ThreeLineTone << groupOledMessage(3, threeLine) << false << QStringLiteral("old");
    QTest::newRow("key-value message: after it")
            << QString() << keyValueOledMessage(keyValuePayload(313, 0, 0, "new", "", 10)) << false
            << QStringLiteral("new");
    QTest::newRow("newer key-value layout: before it")
            << QString() << hostMessage(0xf1, 0x43, 0, 0, 0, newLayout) << true
            << QStringLiteral("old");
}

void tst_ModelUpdate::receiverDuringEmission()
{
    QFETCH(QString, tone);
    QFETCH(model_Protocoldata, message);
    QFETCH(bool, newLayout);
    QFETCH(QString, seen);

    Host host(tone, 10);
    QStringList observed;
    QObject::connect(
            host.processor.get(), &UiprocDealKeyPress_Vorn_Desktop::sig_updateOledShow,
            host.processor.get(),
            [&](int key) {
                if (key != 313)
                    return;
                const bool lockFree = host.mutex.tryLock();
                if (lockFree)
                    host.mutex.unlock();
                observed << (lockFree ? QStringLiteral("unlocked") : QStringLiteral("locked"))
                         << field(OledKeyRecord(host.model, 160), OledKeyRecord::FirstLine);
            },
            Qt::DirectConnection);
    if (tone == ThreeLineTone)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("groupId="));

    if (newLayout)
        host.processor->updateModelDataByKeyValue_New(message);
    else
        host.send(message);

    QCOMPARE(observed, (QStringList{QStringLiteral("unlocked"), seen}));
    QCOMPARE(field(OledKeyRecord(host.model, 160), OledKeyRecord::FirstLine),
             QStringLiteral("new"));
}

QTEST_GUILESS_MAIN(tst_ModelUpdate)
#include "tst_modelupdate.moc"
