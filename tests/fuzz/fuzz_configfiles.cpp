#include "configfiles.h"
#include "fuzztarget.h"
#include "processorhost.h"
#include "testfiles.h"

#include <utility_manage.h>

#include <QtCore/QDateTime>
#include <QtCore/QFile>

// The two configuration files as a user may leave them: the input holds the keyboard
// configuration (key remap, page groups, T-bar limits) and the OLED configuration as two
// chunks, then pairs of key values to remap, reset and configure. The processor starts on
// them and runs every operation that reads them.
namespace {

const int KeysTried = 4;
const int GroupPayloadSize = 16 * (2 + 3 * 30);

// Each write gets a modification time of its own: QSettings would otherwise take a file
// of the same size and time for the one it read before.
void writeFile(const QString &path, const QByteArray &content)
{
    static qint64 writes = 0;
    QFile file(path);
    if (TestFiles::writeFile(path, content) && file.open(QIODevice::Append))
        file.setFileTime(QDateTime::fromSecsSinceEpoch(++writes),
                         QFileDevice::FileModificationTime);
}

void sendGroups(ProcessorHost &host, const char *toneVersion)
{
    Utility_Manage::presetToneProcVer(QString::fromLatin1(toneVersion));
    for (uchar group = 1; group <= 6; ++group)
        host.send(hostMessage(0xf1, 0x41, group, 0, 0, QByteArray(GroupPayloadSize, 'x')));
}

void useKey(ProcessorHost &host, int key, int target)
{
    UiprocDealKeyPress_Vorn_Desktop *processor = host.processor.get();
    processor->readIsModify(key);
    processor->readModifiedIndex(key);
    processor->updateKeyTimer();
    host.send(keyEvent(quint16(key)));
    processor->writeOledIni(key, target, target, QStringLiteral("a"), QStringLiteral("b"));
    processor->writeOledIni(key, -1, 0, QString(), QString());
    processor->addModifyValue(key, target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzApplication();
    FuzzInput in(data, size);
    ProcessorHost host;
    writeFile(ConfigFiles::keyboardConfigPath(), in.chunk());
    writeFile(ConfigFiles::oledConfigPath(), in.chunk());
    UiprocDealKeyPress_Vorn_Desktop *processor = host.start();
    for (const quint16 raw : {0, 512, 0xffff})
        host.send(keyEvent(10, uchar(raw & 0xff), uchar(raw >> 8)));
    sendGroups(host, "1.02");
    sendGroups(host, "1.03");
    processor->getVirturalKeyBoardAllOLED();
    const QList<int> remapped = host.model.keyMap.keys().mid(0, KeysTried);
    for (const int key : remapped)
        useKey(host, key, host.model.keyMap.value(key));
    while (!in.atEnd()) {
        const int key = int(in.take<quint32>());
        useKey(host, key, int(in.take<quint32>()));
    }
    for (const int key : remapped)
        processor->resetButton(key);
    processor->disconnectBIZ();
    processor->readTbarIni();
    return 0;
}
