#include "fuzztarget.h"
#include "testfiles.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <cstdio>

// Runs every file of the folders or files given (default: the target's committed corpus)
// through the fuzz target once, as libFuzzer replays a corpus.
int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
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
