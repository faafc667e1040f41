#include "configfiles.h"
#include "oledkeyrecord.h"
#include "processorhost.h"
#include "testfiles.h"

#include <utility_manage.h>

#include <QtTest/QtTest>

#include <cstring>
#include <memory>

using Records = QMap<int, QString>; // record -> describeRecord()

// What OLED content messages leave in the host model, as far as the golden traces cannot
// show it: what a directly connected receiver finds, line lengths the host sets out of
// range, the encodings, the newer key-value layout (no message leads to it) and the
// host's own changes. Local 8-bit text is UTF-8 here, so other bytes show as U+FFFD.
class tst_ModelUpdate : public QObject
{
    Q_OBJECT
private slots:
    void messages_data();
    void messages();
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

// A processor over a model whose every OLED record reads "238 238 238/238/238
// old|old|old", so that any write shows. A receiver connected directly notes at each
// announcement whether the mutex is free and whether the model has changed yet.
struct Host : ProcessorHost
{
    Host(const QString &tone, quint64 lineLength)
    {
        Utility_Manage::presetToneProcVer(tone);
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

    Records touched()
    {
        Records records;
        for (const int index : touchedRecords()) {
            const OledKeyRecord record(model, index);
            QStringList lengths, texts;
            for (const auto line : Lines) {
                const std::string_view text = record.text(line);
                lengths << QString::number(record.textLength(line));
                texts << QString::fromLatin1(text.data(), int(text.size()));
            }
            records.insert(index,
                           QStringLiteral("%1 %2 %3 %4")
                                   .arg(record.displayModel())
                                   .arg(record.icon())
                                   .arg(lengths.join('/'), texts.join('|')));
        }
        return records;
    }

    std::unique_ptr<Model_VOrnParam> before;
    QSet<QString> seen;
};

QString oledShow(int key, int displayModel, int icon, const QString &first, const QString &second)
{
    return QStringLiteral("sig_updateOledShow(%1, %2, %3, \"%4\", \"%5\")")
            .arg(key)
            .arg(displayModel)
            .arg(icon)
            .arg(first, second);
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

// An entry of the newer layout: key value, display model, icon, lengths and texts.
QByteArray newEntry(int key, int displayModel, int icon, const QByteArray &first,
                    const QByteArray &second = QByteArray(), const QByteArray &third = QByteArray())
{
    return bytes({key >> 8, key & 0xff, displayModel, icon, int(first.size()),
                  int(second.size()), int(third.size())})
            + first + second + third;
}

} // namespace

void tst_ModelUpdate::messages_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<qulonglong>("lineLength");
    QTest::addColumn<model_Protocoldata>("message");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<Records>("records");
    QTest::addColumn<QString>("seen");

    const model_Protocoldata group
            = hostMessage(0xf1, 0x41, 3, 0, 0, bytes({1, 2}) + padded("Gr\xfcn", 60));
    const model_Protocoldata keyValue
            = hostMessage(0xf1, 0x43, 0, 0, 0, bytes({1, 0x39, 1, 2}) + padded("Gr\xfcn", 60));
    QTest::newRow("group: the interface first, the page's UTF-8 shown as local 8-bit")
            << TwoLines << 30ull << group
            << QStringList{oledShow(313, 1, 2, QStringLiteral("Gr\u00fcn"), "")}
            << Records{{160, QStringLiteral("0 0 5/0/238 Gr\u00c3\u00bcn||old")}}
            << "unlocked, old model";
    QTest::newRow("three lines: the interface first")
            << ThreeLines << 30ull
            << hostMessage(0xf1, 0x41, 3, 0, 0, bytes({1, 2}) + padded("Gr\xfcn", 90))
            << QStringList{oledShow(313, 1, 2, QStringLiteral("Gr\u00fcn"), "")}
            << Records{{160, QStringLiteral("0 0 5/0/238 Gr\u00c3\u00bcn||")}}
            << "unlocked, old model";
    QTest::newRow("key value: the model first, local 8-bit text")
            << TwoLines << 30ull << keyValue
            << QStringList{oledShow(313, 1, 2, QStringLiteral("Gr\ufffdn"), "")}
            << Records{{160, QStringLiteral("1 2 238/238/238 Gr\u00fcn||old")}}
            << "unlocked, new model";
    // Payloads long enough for a line length of 32.
    const QByteArray entries = bytes({1, 2}) + QByteArray(126, 'x');
    for (const quint64 length : {0ull, 32ull, (1ull << 32) + 10}) {
        QTest::addRow("group, L %llu: ignored", length)
                << TwoLines << length << hostMessage(0xf1, 0x41, 3, 0, 0, entries) << QStringList()
                << Records() << "";
        QTest::addRow("key value, L %llu: ignored", length)
                << TwoLines << length
                << hostMessage(0xf1, 0x43, 0, 0, 0, bytes({1, 0x39}) + entries) << QStringList()
                << Records() << "";
    }
}

void tst_ModelUpdate::messages()
{
    QFETCH(QString, tone);
    QFETCH(qulonglong, lineLength);
    QFETCH(model_Protocoldata, message);
    QFETCH(QStringList, announced);
    QFETCH(Records, records);
    QFETCH(QString, seen);

    Host host(tone, lineLength);
    QVERIFY(TestFiles::writeFile(ConfigFiles::keyboardConfigPath(),
                                 "[313_0]\noled1stText=Gr\\xfcn\n"));
    host.model.keyMap.insert(313, 313);
    if (tone == ThreeLines)
        QTest::ignoreMessage(QtDebugMsg, "updateModelDataByGroupID_3R groupId=  3");
    host.send(message);

    QCOMPARE(host.takeEmissions(), announced);
    QCOMPARE(host.touched(), records);
    QCOMPARE(host.seen, seen.isEmpty() ? QSet<QString>() : QSet<QString>{seen});
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
    QTest::newRow("a key without record shows the texts before it, stores nothing")
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
    QCOMPARE(host.touched(), records);
    QCOMPARE(host.seen,
             announced.isEmpty() ? QSet<QString>() : QSet<QString>{"unlocked, old model"});
}

void tst_ModelUpdate::hostChangesSurvive_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<model_Protocoldata>("message"); // no command: the newer layout, called
    QTest::addColumn<int>("record"); // the message writes its display model 10

    const QByteArray twoEntries
            = bytes({10, 0}) + QByteArray(20, 'a') + bytes({11, 0}) + QByteArray(20, 'b');
    QTest::newRow("group") << TwoLines << hostMessage(0xf1, 0x41, 1, 0, 0, twoEntries) << 0;
    QTest::newRow("three-line group")
            << ThreeLines << hostMessage(0xf1, 0x41, 1, 0, 0, bytes({10, 0}) + QByteArray(90, 'a'))
            << 0;
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
