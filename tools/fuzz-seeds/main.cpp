#include "fuzzinput.h"
#include "fuzzsteps.h"

#include "tbarrecord.h"
#include "tbartracker.h"
#include "trace.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <iterator>

// Turns keyboard traces into seed inputs for the fuzz targets, so that fuzzing starts
// from the sessions the golden traces describe:
//   fuzz-seeds CORPUS_DIR TRACE...
// writes CORPUS_DIR/<target>/<trace name> (and -2, -3... for more than one seed).
namespace {

using namespace FuzzSteps;

void putValue(QByteArray &out, const QVariant &value)
{
    if (value.userType() == QMetaType::Bool)
        FuzzInput::put(out, uchar(value.toBool()));
    else if (value.userType() == QMetaType::QString)
        FuzzInput::putChunk(out, value.toString().toUtf8());
    else
        FuzzInput::put(out, quint32(value.toInt()));
}

void putMessage(QByteArray &out, const model_Protocoldata &message)
{
    for (const uchar byte :
         {message.command, message.subCommand, message.dataA, message.byte29, message.byte2A})
        FuzzInput::put(out, byte);
    const int classIndex = int(
            std::find(std::begin(MessageClasses), std::end(MessageClasses), message.messageClass)
            - std::begin(MessageClasses));
    FuzzInput::put(out, uchar(classIndex << 2 | Business));
    if (classIndex == 2)
        FuzzInput::put(out, message.messageClass);
    FuzzInput::putChunk(out, message.payload);
}

// A trace line as the steps that do what the simulator does for it.
void putStep(QByteArray &out, const TraceLine &line)
{
    const int method = callableMethods().indexOf(
            UiprocDealKeyPress_Vorn_Desktop::staticMetaObject.method(line.methodIndex));
    switch (line.kind) {
    case TraceLine::Message:
        FuzzInput::put(out, uchar(Message));
        return putMessage(out, line.message);
    case TraceLine::Call:
        if (method < 0)
            return;
        FuzzInput::put(out, uchar(Call));
        FuzzInput::put(out, uchar(method));
        for (const QVariant &value : line.arguments)
            putValue(out, value);
        return;
    case TraceLine::Wait:
        FuzzInput::put(out, uchar(Wait));
        return FuzzInput::put(out, quint16(qMin(line.milliseconds, int(MaxWait))));
    case TraceLine::Pause:
        FuzzInput::put(out, uchar(Timers));
        return FuzzInput::put(out, uchar(KeyRate | TbarCheck | TbarRead));
    case TraceLine::Host:
        FuzzInput::put(out, uchar(Host));
        FuzzInput::put(out, uchar(line.hostSetting));
        return putValue(out, line.value);
    case TraceLine::Ini:
        if (line.wholeFile)
            return;
        FuzzInput::put(out, uchar(Ini));
        FuzzInput::put(out, uchar(line.iniFile));
        FuzzInput::putChunk(out, line.iniPath.toUtf8());
        return FuzzInput::putChunk(out, line.value.toString().toUtf8());
    case TraceLine::Dump:
        return;
    }
}

QByteArrayList messageSeeds(const Trace &trace)
{
    QByteArray seed;
    for (const TraceLine &line : trace.lines())
        putStep(seed, line);
    return {seed};
}

// The records a T-bar process would write for the positions the trace sets.
QByteArrayList segmentSeeds(const Trace &trace)
{
    QByteArrayList seeds;
    for (const TraceLine &line : trace.lines()) {
        const model_Protocoldata &key = line.message;
        const bool tbarKey = line.kind == TraceLine::Message && key.command == 0xa0
                && key.byte29 == TbarRecord::TbarKeyCode && key.byte2A == 0;
        const bool setter = line.kind == TraceLine::Call
                && UiprocDealKeyPress_Vorn_Desktop::staticMetaObject.method(line.methodIndex).name()
                        == "setTbarTakeNum";
        const int position = tbarKey
                ? TbarTracker::position(key.dataA << 8 | key.subCommand, 0, TbarTracker::FullScale)
                : line.arguments.value(0).toInt();
        if (tbarKey || setter)
            seeds << TbarRecord::segment(TbarRecord::text(TbarRecord::TbarKeyCode, position));
    }
    return seeds;
}

// The configuration files that the trace's configuration lines make.
QByteArrayList configSeeds(const Trace &trace)
{
    const QTemporaryDir dir;
    const QString paths[] = {dir.filePath(QStringLiteral("keyboard.ini")),
                             dir.filePath(QStringLiteral("oled.ini"))};
    bool any = false;
    for (const TraceLine &line : trace.lines()) {
        if (line.kind != TraceLine::Ini)
            continue;
        QFile file(paths[line.iniFile]);
        if (!line.wholeFile)
            QSettings(file.fileName(), QSettings::IniFormat).setValue(line.iniPath, line.value);
        else if (file.open(QIODevice::WriteOnly))
            file.write(line.value.toByteArray());
        any = true;
    }
    QByteArray seed;
    for (const QString &path : paths) {
        QFile file(path);
        FuzzInput::putChunk(seed, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return any ? QByteArrayList{seed} : QByteArrayList();
}

bool writeSeeds(const QDir &dir, const QString &name, const QByteArrayList &seeds)
{
    for (int i = 0; i < seeds.size(); ++i) {
        QFile file(dir.filePath(name + (i ? QStringLiteral("-%1").arg(i + 1) : QString())));
        if (!QDir().mkpath(dir.path()) || !file.open(QIODevice::WriteOnly)
            || file.write(seeds.at(i)) != seeds.at(i).size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2) {
        fputs("usage: fuzz-seeds CORPUS_DIR TRACE...\n", stderr);
        return 2;
    }
    const QDir corpus(arguments.first());
    for (const QString &path : arguments.mid(1)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray text = file.readAll();
        const Trace trace = Trace::parse(text);
        const QString name = QFileInfo(path).completeBaseName();
        const bool written = writeSeeds(corpus.filePath(QStringLiteral("trace")), name, {text})
                && (!trace.isValid()
                    || (writeSeeds(corpus.filePath(QStringLiteral("messages")), name,
                                   messageSeeds(trace))
                        && writeSeeds(corpus.filePath(QStringLiteral("tbarsegment")), name,
                                      segmentSeeds(trace))
                        && writeSeeds(corpus.filePath(QStringLiteral("configfiles")), name,
                                      configSeeds(trace))));
        if (!written)
            return 1;
    }
    return 0;
}
