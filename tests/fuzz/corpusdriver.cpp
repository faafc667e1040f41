#include "fuzzinput.h"
#include "testfiles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cstdio>

namespace {

// Writes the seeds of each trace as OUTDIR/NAME, or NAME-2, NAME-3... after the first.
bool writeSeeds(const QDir &outDir, const QStringList &traces)
{
    for (const QString &trace : traces) {
        const QByteArrayList seeds = fuzzSeeds(TestFiles::readFile(trace));
        for (int i = 0; i < seeds.size(); ++i) {
            const QString suffix = i ? QStringLiteral("-%1").arg(i + 1) : QString();
            if (!TestFiles::writeFile(outDir.filePath(QFileInfo(trace).completeBaseName() + suffix),
                                      seeds.at(i)))
                return false;
        }
    }
    return true;
}

} // namespace

// Runs every file of the folders or files given (default: the target's committed corpus)
// through the fuzz target once, as libFuzzer replays a corpus. "--seeds OUTDIR TRACE..."
// writes the seeds the target makes from the traces instead.
int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    if (args.value(0) == QLatin1String("--seeds"))
        return writeSeeds(QDir(args.value(1)), args.mid(2)) ? 0 : 1;
    if (args.isEmpty())
        args << QStringLiteral(FUZZ_CORPUS);
    int count = 0;
    for (const QString &arg : args) {
        const QFileInfo info(arg);
        const QStringList names = info.isDir() ? QDir(arg).entryList(QDir::Files, QDir::Name)
                                               : QStringList(info.fileName());
        for (const QString &name : names) {
            const QString path = info.isDir() ? QDir(arg).filePath(name) : arg;
            fprintf(stderr, "%s\n", qPrintable(path));
            const QByteArray input = TestFiles::readFile(path);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                                   size_t(input.size()));
            ++count;
        }
    }
    printf("%d inputs ran\n", count);
    return count > 0 ? 0 : 1;
}
