#include "profiledisk.h"
#include "profilefiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

using namespace ProfileFiles;

class tst_ProfileDisk : public QObject
{
    Q_OBJECT
private slots:
    void profileDirectory_data();
    void profileDirectory();
    void replaceWithCopy_data();
    void replaceWithCopy();
};

void tst_ProfileDisk::profileDirectory_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QString>("disk");

    QTest::newRow("no root folder") << QStringList() << QString();
    QTest::newRow("empty root") << QStringList{"root/"} << QString();
    QTest::newRow("files and hidden folders are no disks")
            << QStringList{"root/disk.img", "root/.trash/"} << QString();
    QTest::newRow("B and a: a, case ignored")
            << QStringList{"root/B/", "root/a/"} << QStringLiteral("a");
    QTest::newRow("digits first, after a hidden folder and a file")
            << QStringList{"root/.0/", "root/0.txt", "root/usb/", "root/2nd/"}
            << QStringLiteral("2nd");
}

void tst_ProfileDisk::profileDirectory()
{
    QFETCH(QStringList, layout);
    QFETCH(QString, disk);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(createLayout(dir.path(), layout));
    const QStringList before = entriesUnder(dir.path());

    const QString expected
            = disk.isEmpty() ? QString() : dir.filePath(QStringLiteral("root/%1/V_ORN").arg(disk));
    QCOMPARE(ProfileDisk(dir.filePath(QStringLiteral("root/"))).profileDirectory(), expected);
    QCOMPARE(entriesUnder(dir.path()), before);
}

void tst_ProfileDisk::replaceWithCopy_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("targetName");
    QTest::addColumn<bool>("copied");

    const QByteArray missing;
    QByteArray large(200 * 1024, Qt::Uninitialized);
    for (int i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + i / 251);

    QTest::newRow("new target") << QByteArray("new") << missing << "out/profile.ini" << true;
    QTest::newRow("longer target replaced whole")
            << QByteArray("new") << QByteArray("older and longer") << "out/profile.ini" << true;
    QTest::newRow("empty source") << QByteArray("") << QByteArray("old") << "out/profile.ini"
                                  << true;
    QTest::newRow("source over several buffers")
            << large << QByteArray("old") << "out/profile.ini" << true;
    QTest::newRow("missing source keeps the target")
            << missing << QByteArray("old") << "out/profile.ini" << false;
    QTest::newRow("target folder missing")
            << QByteArray("new") << missing << "absent/profile.ini" << false;
}

// A failed copy leaves the target as it was, and no copy leaves a stray file behind.
void tst_ProfileDisk::replaceWithCopy()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, target);
    QFETCH(QString, targetName);
    QFETCH(bool, copied);

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
    const QString sourcePath = dir.filePath(QStringLiteral("source.ini"));
    const QString targetPath = dir.filePath(targetName);
    QVERIFY(source.isNull() || writeFile(sourcePath, source));
    QVERIFY(target.isNull() || writeFile(targetPath, target));
    QStringList after = entriesUnder(dir.path());
    if (copied && target.isNull()) {
        after.append(targetName);
        after.sort();
    }

    QCOMPARE(ProfileDisk::replaceWithCopy(sourcePath, targetPath), copied);
    QCOMPARE(readFile(targetPath), copied ? source : target.isNull() ? "<missing>" : target);
    QCOMPARE(entriesUnder(dir.path()), after);
}

QTEST_GUILESS_MAIN(tst_ProfileDisk)
#include "tst_profiledisk.moc"
