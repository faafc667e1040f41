#include "keymapstore.h"
#include "oledpagetable.h"
#include "testfiles.h"

#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Change = std::function<void(const QString &path)>;

// The page table a processor keeps between messages must equal a fresh read of the file
// after every kind of change.
class tst_OledPageTable : public QObject
{
    Q_OBJECT
private slots:
    void freshAfterEveryChange();
};

namespace {

// Pages 0..4 of keys 313 and 314, each acting as itself and as another key.
QStringList describe(const OledPageTable &table)
{
    QStringList pages;
    for (const int key : {313, 314}) {
        for (const int target : {key, 105}) {
            const OledPageTable::KeyPages found = table.find(key, target);
            for (const OledPageTable::Page *page : found.page) {
                pages << (page ? QStringLiteral("%1 %2 %3/%4 %5|%6")
                                          .arg(page->displayModel)
                                          .arg(page->icon)
                                          .arg(page->textLength[0])
                                          .arg(page->textLength[1])
                                          .arg(QString::fromUtf8(page->text[0], 31),
                                               QString::fromUtf8(page->text[1], 31))
                               : QStringLiteral("-"));
            }
        }
    }
    return pages;
}

void writeSettings(const QString &path, const QVariantMap &values)
{
    QSettings settings(path, QSettings::IniFormat);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        settings.setValue(value.key(), value.value());
}

// Runs a write, then gives the file its earlier inode, size and modification time back,
// as a write in place within the clock's resolution may leave them: only the content
// tells the generations apart.
void keepingIdentity(const QString &path, const std::function<void()> &write)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray held = name + ".held";
    struct stat before;
    QVERIFY(::stat(name, &before) == 0 && ::link(name, held) == 0);
    write();
    const QByteArray content = TestFiles::readFile(path);
    QVERIFY(content.size() <= before.st_size);
    QVERIFY(TestFiles::writeFile(QFile::decodeName(held),
                                 content + QByteArray(before.st_size - content.size(), '\n')));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, held, times, 0) == 0 && ::rename(held, name) == 0);
}

} // namespace

void tst_OledPageTable::freshAfterEveryChange()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const QString path = dir.filePath(QStringLiteral("Keyboard/VORN_KeyBoard_Config.ini"));
    const QString other = dir.filePath(QStringLiteral("other.ini"));
    const KeyMapStore store(path);

    const QList<QPair<const char *, Change>> changes{
            {"never present", [](const QString &) {}},
            {"written by another program",
             [](const QString &path) {
                 writeSettings(path,
                               {{"313_0/displayModel", 2},
                                {"313_1/oled1stText", "Two"},
                                {"314_0/oled2ndText", "Four"}});
             }},
            {"rewritten in place, longer",
             [](const QString &path) {
                 QVERIFY(TestFiles::writeFile(path,
                                              "[313_0]\noled1stText=Rewritten in place\n"
                                              "[314_3]\noledIconIndex=300\n"));
             }},
            {"replaced by a copy, as an import does",
             [&other](const QString &path) {
                 writeSettings(other, {{"314_0/displayModel", 9}, {"313_4/oled2ndText", "Copied"}});
                 QSaveFile target(path);
                 QVERIFY(target.open(QIODevice::WriteOnly));
                 target.write(TestFiles::readFile(other));
                 QVERIFY(target.commit());
             }},
            {"page groups cleared by a remap, in place",
             [&store](const QString &path) {
                 keepingIdentity(path, [&store] { store.clearPageGroups(313); });
             }},
            {"a key reset, in place",
             [&store](const QString &path) {
                 keepingIdentity(path, [&store] { store.resetKey(314); });
             }},
            {"written again, then everything reset",
             [&store](const QString &path) {
                 writeSettings(path, {{"313_2/oled1stText", "Again"}});
                 store.clear();
             }},
            {"written again, then removed",
             [](const QString &path) {
                 writeSettings(path, {{"313_2/oled1stText", "Again"}});
                 QVERIFY(QFile::remove(path));
             }},
    };
    OledPageCache cache(path);
    for (const auto &[name, change] : changes) {
        change(path);
        const QStringList fresh = describe(OledPageTable::read(path));
        QVERIFY2(describe(cache.table()) == fresh, name);
        QVERIFY2(describe(cache.table()) == fresh, name);
    }
}

QTEST_GUILESS_MAIN(tst_OledPageTable)
#include "tst_oledpagetable.moc"
