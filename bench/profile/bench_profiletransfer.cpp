#include "configfiles.h"
#include "inidocument.h"
#include "keygroups.h"
#include "measured.h"
#include "oledconfigstore.h"
#include "profiledisk.h"
#include "regularfile.h"

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryDir>

#include <fcntl.h>

namespace {

// A profile as large as a real one gets: OLED settings on each of the 89 OLED keys, both
// lines 30 bytes of text outside ASCII (10 CJK characters), which the file holds escaped.
struct Profile
{
    Profile()
    {
        QDir().mkpath(QFileInfo(local).path());
        QDir().mkpath(folder);
        QList<int> keys{100, 200, 300, 400, 500, 58, 59, 60, 61};
        for (const int group : {1, 2, 3, 5, 6}) {
            for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot)
                keys << KeyGroups::firstKey(group) + slot;
        }
        const QString text = QString::fromUtf8("\u6e32\u67d3\u8f93\u5165\u8f93\u51fa\u5207\u6362"
                                               "\u753b\u9762");
        for (const int key : keys)
            OledConfigStore(local).write(key, 44, key % 100, text, text);
        QFile::copy(local, target);
    }

    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("local/VORN_UpdateOled_Config.ini"));
    const QString folder = dir.filePath(QStringLiteral("root/disk/V_ORN"));
    const QString target = QDir(folder).filePath(QStringLiteral("VORN_KeyBoard_Config.ini"));
    const ProfileDisk disk{dir.filePath(QStringLiteral("root")), local};
};

// An export or an import of the profile.
void transfer(benchmark::State &state, bool (ProfileDisk::*operation)(const QString &) const)
{
    const Profile profile;
    for (auto _ : Measured::loop(state)) {
        if (!(profile.disk.*operation)(profile.folder))
            state.SkipWithError("the transfer failed");
    }
    state.counters["profileBytes"] = QFileInfo(profile.local).size();
}

// The floor: the profile read whole and written whole through QSaveFile.
void transferFloor(benchmark::State &state)
{
    const Profile profile;
    for (auto _ : Measured::loop(state)) {
        QFile in(profile.target);
        QSaveFile out(profile.local);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)
            || out.write(in.readAll()) < 0 || !out.commit())
            state.SkipWithError("the copy failed");
    }
}

// What an import adds to the floor: the profile read through its checked descriptor, and
// parsed to check that the library reads every line of it.
void profileChecks(benchmark::State &state)
{
    const Profile profile;
    const QByteArray target = QFile::encodeName(profile.target);
    for (auto _ : Measured::loop(state)) {
        const RegularFile file = RegularFile::read(AT_FDCWD, target, ConfigFiles::SizeLimit,
                                                   RegularFile::RefuseLinks);
        if (!IniDocument(file.content()).unreadLines().isEmpty())
            state.SkipWithError("the profile was refused");
    }
}

} // namespace

BENCHMARK_CAPTURE(transfer, export, &ProfileDisk::exportTo)->Apply(Measured::runs<20>);
BENCHMARK_CAPTURE(transfer, import, &ProfileDisk::importFrom)->Apply(Measured::runs<20>);
BENCHMARK(transferFloor)->Apply(Measured::runs<20>);
BENCHMARK(profileChecks)->Apply(Measured::runs<200>);
