#include "configfiles.h"
#include "keymapstore.h"
#include "oledconfigstore.h"
#include "processorhost.h"
#include "testfiles.h"

#include <QtTest/QtTest>

using KeyMap = QMap<int, int>;

class tst_KeyMapStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void loadHandWrittenFile_data();
    void loadHandWrittenFile();
    void saveKeepsEntriesOnlyInFile();
    void resetKey_data();
    void resetKey();

    void remapThroughProcessor_data();
    void remapThroughProcessor();
    void modifiedIndex_data();
    void modifiedIndex();
    void resetButtonIsNotUndoneBySave();
    void resetAllButton();
    void tableLoadedAtStartSavedAtDisconnect();
    void failedWritesKeepTheFile();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("keyboard.ini")); }
    void writeFile(const QByteArray &content) const;
    QVariant value(const QString &key) const;

    QTemporaryDir m_dir;
};

namespace {

const QByteArray PageGroupsOf105 = "[105_0]\ndisplayModel=1\n[105_4]\noled1stText=A\n"
                                   "[106_0]\ndisplayModel=2\n"
                                   "[Modify]\nbtnKey=\"105_0;105_4;106_0\"\n";

QStringList groups(const QString &path)
{
    return QSettings(path, QSettings::IniFormat).childGroups();
}

} // namespace

void tst_KeyMapStore::init()
{
    QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
    QFile::remove(path());
}

void tst_KeyMapStore::writeFile(const QByteArray &content) const
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QVariant tst_KeyMapStore::value(const QString &key) const
{
    return QSettings(path(), QSettings::IniFormat).value(key);
}

void tst_KeyMapStore::loadHandWrittenFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<KeyMap>("keyMap");
    QTest::newRow("missing file") << QByteArray() << KeyMap();
    QTest::newRow("entries") << QByteArray("[KeyMap]\n105=403\n203=203\n[Tbar]\nMax=900\n")
                             << KeyMap{{105, 403}, {203, 203}};
    QTest::newRow("quoted text value") << QByteArray("[KeyMap]\n105=\"56\"\n") << KeyMap{{105, 56}};
    QTest::newRow("name not a number is key 0, value not a number is 0")
            << QByteArray("[KeyMap]\nabc=105\n106=x\n") << KeyMap{{0, 105}, {106, 0}};
    QTest::newRow("later key 0 replaces the earlier one")
            << QByteArray("[KeyMap]\nabc=105\nxyz=106\n") << KeyMap{{0, 106}};
    QTest::newRow("no KeyMap group") << QByteArray("[105_0]\ndisplayModel=1\n") << KeyMap();
    QTest::newRow("garbled") << QByteArray::fromHex("00ff5b5b3d0a013d020a") << KeyMap();
}

void tst_KeyMapStore::loadHandWrittenFile()
{
    QFETCH(QByteArray, content);
    QFETCH(KeyMap, keyMap);
    if (!content.isNull())
        writeFile(content);
    QCOMPARE(KeyMapStore(path()).load(), keyMap);
}

void tst_KeyMapStore::saveKeepsEntriesOnlyInFile()
{
    writeFile("[KeyMap]\n105=403\n106=404\n");
    KeyMapStore(path()).save(KeyMap{{105, 56}, {203, 203}});
    QCOMPARE(KeyMapStore(path()).load(), (KeyMap{{105, 56}, {106, 404}, {203, 203}}));
}

void tst_KeyMapStore::resetKey_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("modified");
    QTest::addColumn<QStringList>("groupsLeft");

    QTest::newRow("no list: stored empty")
            << QByteArray("[KeyMap]\n105=403\n") << QString() << QStringList{"KeyMap", "Modify"};
    QTest::newRow("first occurrence of each page goes")
            << QByteArray("[Modify]\nbtnKey=\"105_0;105_0;105_2\"\n") << QString("105_0")
            << QStringList{"KeyMap", "Modify"};
    QTest::newRow("empty parts and other keys stay")
            << QByteArray("[Modify]\nbtnKey=\";106_0;105_1;;1050_1\"\n")
            << QString(";106_0;;1050_1") << QStringList{"KeyMap", "Modify"};
    QTest::newRow("page groups of the key go, others stay")
            << PageGroupsOf105 << QString("106_0") << QStringList{"106_0", "KeyMap", "Modify"};
}

void tst_KeyMapStore::resetKey()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, modified);
    QFETCH(QStringList, groupsLeft);

    writeFile(content + "[KeyMap]\n105=403\n106=404\n");
    KeyMapStore(path()).resetKey(105);
    QCOMPARE(value("Modify/btnKey").toString(), modified);
    QCOMPARE(KeyMapStore(path()).load(), (KeyMap{{106, 404}}));
    QCOMPARE(groups(path()), groupsLeft);
}

// The processor works on the file under its application directory.
void tst_KeyMapStore::remapThroughProcessor_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QStringList>("groupsLeft");

    QTest::newRow("onto itself: page groups stay")
            << 105 << false << QStringList{"105_0", "105_4", "106_0", "KeyMap", "Modify"};
    QTest::newRow("onto another key: its page groups go")
            << 403 << true << QStringList{"106_0", "KeyMap", "Modify"};
}

void tst_KeyMapStore::remapThroughProcessor()
{
    QFETCH(int, target);
    QFETCH(bool, modified);
    QFETCH(QStringList, groupsLeft);

    ProcessorHost host;
    const QString file = ConfigFiles::keyboardConfigPath();
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(PageGroupsOf105);
    }
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    processor->addModifyValue(105, target);

    QCOMPARE(host.model.keyMap, (KeyMap{{105, target}}));
    QCOMPARE(processor->readIsModify(105), modified);
    QCOMPARE(processor->readIsModify(106), false);
    QCOMPARE(processor->readModifiedIndex(106), -1);
    const QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value("KeyMap/105").toString(), QString::number(target));
    QCOMPARE(settings.value("Modify/btnKey").toString(), QString("105_0;105_4;106_0"));
    QCOMPARE(settings.childGroups(), groupsLeft);
}

void tst_KeyMapStore::modifiedIndex_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("index");
    const int rows[][2] = {{104, -1}, {105, 0},  {120, 15}, {203, 16}, {218, 31},
                           {219, -1}, {505, 32}, {520, 47}, {313, 48}, {328, 63},
                           {403, 64}, {418, 79}, {56, -1},  {0, -1},   {-105, -1}};
    for (const auto &row : rows)
        QTest::addRow("target %d", row[0]) << row[0] << row[1];
}

void tst_KeyMapStore::modifiedIndex()
{
    QFETCH(int, target);
    QFETCH(int, index);
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    QCOMPARE(processor->readModifiedIndex(600), -1);
    processor->addModifyValue(600, target);
    QCOMPARE(processor->readModifiedIndex(600), index);
}

void tst_KeyMapStore::resetButtonIsNotUndoneBySave()
{
    ProcessorHost host;
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    processor->addModifyValue(105, 403);
    processor->addModifyValue(106, 404);
    processor->resetButton(105);
    QCOMPARE(host.model.keyMap, (KeyMap{{106, 404}}));
    QCOMPARE(processor->readIsModify(105), false);
    processor->disconnectBIZ();
    const QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
    QCOMPARE(settings.allKeys(), (QStringList{"KeyMap/106", "Modify/btnKey"}));
}

void tst_KeyMapStore::resetAllButton()
{
    ProcessorHost host;
    {
        QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
        settings.setValue("Tbar/Max", 900);
        settings.setValue("105_0/displayModel", 1);
    }
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    processor->addModifyValue(105, 403);
    processor->resetAllButton();
    QCOMPARE(host.model.keyMap, KeyMap());
    QCOMPARE(QSettings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat).allKeys(),
             QStringList());
}

void tst_KeyMapStore::tableLoadedAtStartSavedAtDisconnect()
{
    ProcessorHost host;
    {
        QSettings settings(ConfigFiles::keyboardConfigPath(), QSettings::IniFormat);
        settings.setValue("KeyMap/203", "105");
    }
    host.model.keyMap = KeyMap{{999, 1}};
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    QCOMPARE(host.model.keyMap, (KeyMap{{203, 105}}));

    host.model.keyMap.insert(313, 403);
    processor->disconnectBIZ();
    QCOMPARE(KeyMapStore(ConfigFiles::keyboardConfigPath()).load(),
             (KeyMap{{203, 105}, {313, 403}}));
}

// A write that the disk refuses leaves a warning and the file as it was, in both files.
void tst_KeyMapStore::failedWritesKeepTheFile()
{
    const QByteArray before = "[KeyMap]\n105=203\n";
    writeFile(before);
    KeyMap large;
    for (int key = 0; key < 100; ++key)
        large.insert(key, key + 1000);
    const QRegularExpression warning(QStringLiteral("^DealKeyPress: cannot write .*keyboard.ini"));
    QTest::ignoreMessage(QtWarningMsg, warning);
    QTest::ignoreMessage(QtWarningMsg, warning);
    {
        const TestFiles::FileSizeLimit limit(before.size() + 8);
        KeyMapStore(path()).save(large);
        OledConfigStore(path()).write(105, 1, 2, QStringLiteral("a long first line"),
                                      QStringLiteral("and a second one"));
    }
    QCOMPARE(TestFiles::readFile(path()), before);
}

QTEST_GUILESS_MAIN(tst_KeyMapStore)
#include "tst_keymapstore.moc"
