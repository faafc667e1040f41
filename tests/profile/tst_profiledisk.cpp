#include "profiledisk.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

using namespace TestFiles;

// The profile transfer on a disk root and a local profile in a temporary folder: the
// disk choice, both directions and the safe copy.
class tst_ProfileDisk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void transfer_data();
    void transfer();
    void replaceWithCopy_data();
    void replaceWithCopy();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ProfileDisk::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
}

void tst_ProfileDisk::transfer_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<bool>("importing");
    QTest::addColumn<QString>("profileDirectory"); // empty: no disk
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QStringList>("created");

    const QString profile = QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini");
    const QStringList local{"local/profile.ini"};
    QTest::newRow("no root folder") << local << false << "" << false << QStringList();
    QTest::newRow("empty root") << QStringList{"root/", local[0]} << false << "" << false
                                << QStringList();
    QTest::newRow("hidden folders and files are no disks; a before B, case ignored")
            << QStringList{"root/.0/", "root/0.txt", "root/B/", "root/a/", local[0]} << false
            << "root/a/V_ORN" << true << QStringList{"root/a/V_ORN/", profile};
    QTest::newRow("export over an earlier profile")
            << QStringList{profile, local[0]} << false << "root/a/V_ORN" << true << QStringList();
    QTest::newRow("import from a disk without a profile")
            << QStringList{"root/a/", local[0]} << true << "root/a/V_ORN" << false
            << QStringList{"root/a/V_ORN/"};
    QTest::newRow("import on a fresh install") << QStringList{profile} << true << "root/a/V_ORN"
                                               << true << QStringList{"local/", local[0]};
}

// The target becomes a copy of the source only on success.
void tst_ProfileDisk::transfer()
{
    QFETCH(QStringList, layout);
    QFETCH(bool, importing);
    QFETCH(QString, profileDirectory);
    QFETCH(bool, copied);
    QFETCH(QStringList, created);

    QVERIFY(createLayout(m_dir->path(), layout));
    const QString localPath = m_dir->filePath(QStringLiteral("local/profile.ini"));
    const QString diskPath
            = m_dir->filePath(QStringLiteral("root/a/V_ORN/VORN_KeyBoard_Config.ini"));
    const QByteArray local = readFile(localPath);
    const QByteArray disk = readFile(diskPath);
    QStringList entries = entriesUnder(m_dir->path()) + created;
    entries.removeDuplicates();
    entries.sort();

    const ProfileDisk transfer(m_dir->filePath(QStringLiteral("root/")), localPath);
    const QString directory = transfer.profileDirectory();
    QCOMPARE(directory, profileDirectory.isEmpty() ? QString() : m_dir->filePath(profileDirectory));
    if (!directory.isEmpty())
        QCOMPARE(importing ? transfer.importFrom(directory) : transfer.exportTo(directory), copied);
    QCOMPARE(readFile(localPath), importing && copied ? disk : local);
    QCOMPARE(readFile(diskPath), !importing && copied ? local : disk);
    QCOMPARE(entriesUnder(m_dir->path()), entries);
}

void tst_ProfileDisk::replaceWithCopy_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("copied");

    QByteArray large(200 * 1024, Qt::Uninitialized);
    for (int i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + i / 251);
    QTest::newRow("source over several buffers") << large.left(100 * 1024) << "target" << true;
    QTest::newRow("missing source") << QByteArray() << "target" << false;
    QTest::newRow("target folder missing") << large.left(10) << "absent/target" << false;
    QTest::newRow("source over the file size limit") << large << "target" << false;
}

// A failed copy leaves the target as it was, and no copy leaves a stray file behind.
void tst_ProfileDisk::replaceWithCopy()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, target);
    QFETCH(bool, copied);

    QVERIFY(source.isNull() || writeFile(m_dir->filePath(QStringLiteral("source")), source));
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("target")), "older and longer"));
    const QStringList entries = entriesUnder(m_dir->path());

    bool result;
    {
        const FileSizeLimit limit(128 * 1024);
        result = ProfileDisk::replaceWithCopy(m_dir->filePath(QStringLiteral("source")),
                                              m_dir->filePath(target));
    }

    QCOMPARE(result, copied);
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("target"))),
             copied ? source : QByteArray("older and longer"));
    QCOMPARE(entriesUnder(m_dir->path()), entries);
}

QTEST_GUILESS_MAIN(tst_ProfileDisk)
#include "tst_profiledisk.moc"
