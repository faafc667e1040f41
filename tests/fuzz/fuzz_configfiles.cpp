#include "configfiles.h"
#include "fuzztarget.h"
#include "processorhost.h"
#include "testfiles.h"

#include <utility_manage.h>


// The two configuration files as a user may leave them: the input holds the keyboard
// configuration (key remap, page groups, T-bar limits) and the OLED configuration as two
// chunks, a third chunk of lines in Qt's value forms to add to them, then pairs of key
// values to remap, reset and configure. The processor starts on them and runs every
// operation that reads them.
namespace {

const int KeysTried = 4;
const int GroupPayloadSize = 16 * (2 + 3 * 30);
const char *const Forms[] = {"@Variant(", "@ByteArray(", "@Rect(", "@Size(", "@Point(",
                             "@DateTime("};

// Per line a byte choosing the file (bit 7) and the form, then the form's content as a
// chunk, written escaped as QSettings writes it. The library reads every group of both
// files (the page groups and every write list them), so one key of each will do.
void addForms(const QByteArray &lines, QByteArray (&files)[2])
{
    FuzzInput in(reinterpret_cast<const uint8_t *>(lines.constData()), size_t(lines.size()));
    while (!in.atEnd()) {
        const int choice = in.take<quint8>();
        QByteArray &file = files[choice >> 7];
        file += QByteArray(choice >> 7 ? "\n[105]\noled1stText=" : "\n[313_0]\ndisplayModel=")
                + Forms[choice % std::size(Forms)];
        for (const char byte : in.chunk())
            file += "\\x" + QByteArray::number(uchar(byte), 16);
        file += ")\n";
    }
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
    QByteArray files[2] = {in.chunk(), in.chunk()};
    addForms(in.chunk(), files);
    TestFiles::writeFile(ConfigFiles::keyboardConfigPath(), files[0]);
    TestFiles::writeFile(ConfigFiles::oledConfigPath(), files[1]);
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
