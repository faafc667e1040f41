#include "configfiles.h"
#include "inidocument.h"
#include "keygroups.h"
#include "keymapstore.h"
#include "measured.h"
#include "oledconfigstore.h"
#include "oledpagetable.h"
#include "profiledisk.h"
#include "regularfile.h"

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>
#include <QtCore/QSettings>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryDir>

#include <fcntl.h>

#include <utility>

// The longest single call the GUI thread makes on each configuration file path, at the
// largest file the library accepts (ConfigFiles::SizeLimit) and at the largest file a
// real keyboard produces. Each run reports its longest call as max_gui_block_ms.

namespace {

// Ten characters outside ASCII: 30 bytes of UTF-8, a whole 30-byte OLED line, and the
// text QSettings writes at greatest length (each character escaped).
const QString LongText = QString::fromUtf8("\u6e32\u67d3\u8f93\u5165\u8f93\u51fa\u5207\u6362"
                                           "\u753b\u9762");

// The keys a keyboard has OLEDs on: the five groups and nine single keys.
QList<int> oledKeys()
{
    QList<int> keys;
    for (const int group : {1, 2, 3, 5, 6}) {
        for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot)
            keys << KeyGroups::firstKey(group) + slot;
    }
    return keys << 100 << 200 << 300 << 400 << 500 << 58 << 59 << 60 << 61;
}

// Keyboard file: each key acts as itself, with its five OLED pages; the page groups are
// listed in "Modify/btnKey"; the T-bar limits.
void writeKeyboardFile(const QString &path, const QList<int> &keys)
{
    QFile::remove(path);
    QSettings settings(path, QSettings::IniFormat);
    QStringList pages;
    for (const int key : keys) {
        settings.setValue(QStringLiteral("KeyMap/%1").arg(key), QString::number(key));
        for (int page = 0; page < KeyGroups::PagesPerKey; ++page) {
            const QString group = KeyMapStore::pageGroup(key, page);
            pages << group;
            settings.beginGroup(group);
            settings.setValue(QStringLiteral("displayModel"), page + 1);
            settings.setValue(QStringLiteral("oledIconIndex"), key % 100);
            settings.setValue(QStringLiteral("oled1stText"), LongText);
            settings.setValue(QStringLiteral("oled2ndText"), LongText);
            settings.endGroup();
        }
    }
    settings.setValue(QStringLiteral("Modify/btnKey"), pages.join(QLatin1Char(';')));
    settings.setValue(QStringLiteral("Tbar/Max"), 1000);
    settings.setValue(QStringLiteral("Tbar/Min"), 20);
}

// OLED file (the profile): each key's settings, as OledConfigStore writes them.
void writeOledFile(const QString &path, const QList<int> &keys)
{
    QFile::remove(path);
    QSettings settings(path, QSettings::IniFormat);
    QStringList listed{QString()};
    for (const int key : keys) {
        listed << QString::number(key);
        settings.beginGroup(QString::number(key));
        settings.setValue(QStringLiteral("isModify"), true);
        settings.setValue(QStringLiteral("displayModel"), 44);
        settings.setValue(QStringLiteral("oled1stText"), LongText.toUtf8());
        settings.setValue(QStringLiteral("oled2ndText"), LongText.toUtf8());
        settings.setValue(QStringLiteral("oledIconIndex"), key % 100);
        settings.endGroup();
    }
    settings.setValue(QStringLiteral("Modify/btnKey"), listed.join(QLatin1Char(';')));
}

// Keyboard file of remaps only, each key acting as the next, as QSettings writes it: the
// most remaps a file holds.
void writeRemapFile(const QString &path, const QList<int> &keys)
{
    QByteArray content("[KeyMap]\n");
    for (const int key : keys)
        content += QByteArray::number(key) + '=' + QByteArray::number(key + 1) + '\n';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

using Writer = void (*)(const QString &, const QList<int> &);

// Writes the file for as many keys (from 0 up) as stay within the size limit.
void writeLargest(const QString &path, Writer write)
{
    const auto sizeFor = [&](int count) {
        QList<int> keys;
        for (int key = 0; key < count; ++key)
            keys << key;
        write(path, keys);
        return QFileInfo(path).size();
    };
    int fits = 0;
    int tooMany = 1;
    while (sizeFor(tooMany) <= ConfigFiles::SizeLimit)
        fits = std::exchange(tooMany, tooMany * 2);
    while (tooMany - fits > 1) {
        const int middle = (fits + tooMany) / 2;
        (sizeFor(middle) <= ConfigFiles::SizeLimit ? fits : tooMany) = middle;
    }
    sizeFor(fits);
}

// The configuration files and a removable disk in a temporary directory.
struct Files
{
    explicit Files(bool largest)
    {
        QDir().mkpath(profileFolder);
        QDir().mkpath(QFileInfo(remaps).path());
        if (largest) {
            writeLargest(keyboard, writeKeyboardFile);
            writeLargest(oled, writeOledFile);
            writeLargest(remaps, writeRemapFile);
        } else {
            writeKeyboardFile(keyboard, oledKeys().mid(0, 5 * KeyGroups::KeysPerGroup));
            writeOledFile(oled, oledKeys());
        }
        QFile::copy(oled, diskProfile);
    }

    QTemporaryDir dir;
    const QString keyboard = dir.filePath(QStringLiteral("VORN_KeyBoard_Config.ini"));
    const QString oled = dir.filePath(QStringLiteral("VORN_UpdateOled_Config.ini"));
    const QString remaps = dir.filePath(QStringLiteral("remaps/VORN_KeyBoard_Config.ini"));
    const QString profileFolder = dir.filePath(QStringLiteral("root/disk/V_ORN"));
    const QString diskProfile
            = QDir(profileFolder).filePath(QStringLiteral("VORN_KeyBoard_Config.ini"));
    const ProfileDisk disk{dir.filePath(QStringLiteral("root")), oled};
};

void pageTableRead(const Files &files)
{
    benchmark::DoNotOptimize(OledPageTable::read(files.keyboard));
}

void remapLoad(const Files &files)
{
    benchmark::DoNotOptimize(KeyMapStore(files.keyboard).load());
}

void remapOnlyLoad(const Files &files)
{
    benchmark::DoNotOptimize(KeyMapStore(files.remaps).load());
}

void tbarLimits(const Files &files)
{
    benchmark::DoNotOptimize(KeyMapStore(files.keyboard).tbarLimits());
}

// writeOledIni of a key already set, with its settings unchanged: a read and a write of
// the whole file that leaves it as it was.
void oledWrite(const Files &files)
{
    OledConfigStore(files.oled).write(1, 44, 1, LongText, LongText);
}

// What an import checks before it writes: the disk's profile read through its checked
// descriptor and parsed, every line of it read.
void profileCheck(const Files &files)
{
    const RegularFile file = RegularFile::read(AT_FDCWD, QFile::encodeName(files.diskProfile),
                                               ConfigFiles::SizeLimit, RegularFile::RefuseLinks);
    if (!IniDocument(file.content()).unreadLines().isEmpty())
        qFatal("the profile was refused");
}

void profileImport(const Files &files)
{
    if (!files.disk.importFrom(files.profileFolder))
        qFatal("the import failed");
}

void profileExport(const Files &files)
{
    if (!files.disk.exportTo(files.profileFolder))
        qFatal("the export failed");
}

// One call per operation; max_gui_block_ms is the longest, fileBytes the size of the file
// the call reads.
void guiBlock(benchmark::State &state, bool largest, void (*call)(const Files &),
              const QString Files::*file)
{
    const Files files(largest);
    qint64 longest = 0;
    QElapsedTimer clock;
    for (auto _ : Measured::loop(state)) {
        clock.start();
        call(files);
        longest = qMax(longest, clock.nsecsElapsed());
    }
    state.counters["max_gui_block_ms"] = double(longest) / 1e6;
    state.counters["fileBytes"] = double(QFileInfo(files.*file).size());
}

void largest(benchmark::State &state, void (*call)(const Files &), const QString Files::*file)
{
    guiBlock(state, true, call, file);
}

void realMaximal(benchmark::State &state, void (*call)(const Files &), const QString Files::*file)
{
    guiBlock(state, false, call, file);
}

} // namespace

// clang-format off
BENCHMARK_CAPTURE(largest, pageTableRead, pageTableRead, &Files::keyboard)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, remapLoad, remapLoad, &Files::keyboard)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, remapOnlyLoad, remapOnlyLoad, &Files::remaps)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, tbarLimits, tbarLimits, &Files::keyboard)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, oledWrite, oledWrite, &Files::oled)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, profileCheck, profileCheck, &Files::oled)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, profileImport, profileImport, &Files::oled)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(largest, profileExport, profileExport, &Files::oled)->UseRealTime()->Apply(Measured::runs<1>);
BENCHMARK_CAPTURE(realMaximal, pageTableRead, pageTableRead, &Files::keyboard)->UseRealTime()->Apply(Measured::runs<20>);
BENCHMARK_CAPTURE(realMaximal, profileImport, profileImport, &Files::oled)->UseRealTime()->Apply(Measured::runs<20>);
// clang-format on
