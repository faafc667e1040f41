#include "profiledisk.h"
#include "testfiles.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace TestFiles;

// The disk choice and the safe copy on plain folders, for what the transfer test in its
// mount namespace cannot show cheaply and for where that test cannot run.
class tst_ProfileDisk : public QObject
{
    Q_OBJECT
private slots:
    void profileDirectory();
    void replaceWithCopy_data();
    void replaceWithCopy();
};

// Hidden folders and files are no disks; the first folder by name, case ignored, is.
void tst_ProfileDisk::profileDirectory()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(createLayout(dir.path(), {"root/.0/", "root/0.txt", "root/B/", "root/a/"}));
    QCOMPARE(ProfileDisk(dir.filePath(QStringLiteral("root/"))).profileDirectory(),
             dir.filePath(QStringLiteral("root/a/V_ORN")));
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

    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    QVERIFY(source.isNull() || writeFile(dir.filePath(QStringLiteral("source")), source));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("target")), "older and longer"));
    const QStringList entries = entriesUnder(dir.path());

    // Files may not grow past 128 KiB while copying, so larger copies fail as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit lowered{128 * 1024, limit.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const bool result = ProfileDisk::replaceWithCopy(dir.filePath(QStringLiteral("source")),
                                                     dir.filePath(target));
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);

    QCOMPARE(result, copied);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("target"))),
             copied ? source : QByteArray("older and longer"));
    QCOMPARE(entriesUnder(dir.path()), entries);
}

QTEST_GUILESS_MAIN(tst_ProfileDisk)
#include "tst_profiledisk.moc"
