#include "configfiles.h"
#include "fuzztarget.h"
#include "inicheck.h"
#include "processorhost.h"
#include "testfiles.h"

#include <utility_manage.h>

#include <QtCore/QDateTime>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryFile>

// The two configuration files as a user may leave them: the input holds the keyboard
// configuration (key remap, page groups, T-bar limits) and the OLED configuration as two
// chunks, a third chunk of lines in Qt's value forms to add to them, then pairs of key
// values to remap, reset and configure. The processor starts on them and runs every
// operation that reads them. What the library lets QSettings read of them must read as
// texts or bytes.
namespace {

const int KeysTried = 4;
const int GroupPayloadSize = 16 * (2 + 3 * 30);
const char *const Forms[] = {"@Variant(", "@ByteArray(", "@Rect(", "@Size(", "@Point(",
                             "@DateTime("};
// A key of each group the library reads: [group] and key.
const char *const Keys[][2] = {{"KeyMap", "105"},       {"Tbar", "Max"},
                               {"Modify", "btnKey"},    {"313_0", "displayModel"},
                               {"313_0", "oled1stText"}, {"105", "isModify"}};

// Per line a byte choosing the file (bit 7), the form and the key, then the form's content
// as a chunk, written escaped as QSettings writes it.
void addForms(const QByteArray &lines, QByteArray (&files)[2])
{
    FuzzInput in(reinterpret_cast<const uint8_t *>(lines.constData()), size_t(lines.size()));
    while (!in.atEnd()) {
        const int choice = in.take<quint8>();
        const auto key = Keys[choice % std::size(Keys)];
        QByteArray &file = files[choice >> 7];
        file += QByteArray("\n[") + key[0] + "]\n" + key[1] + '='
                + Forms[choice / std::size(Keys) % std::size(Forms)];
        for (const char byte : in.chunk())
            file += "\\x" + QByteArray::number(uchar(byte), 16);
        file += ")\n";
    }
}

bool isTextOrBytes(const QVariant &value)
{
    const int type = value.userType();
    return type == QMetaType::QString || type == QMetaType::QStringList
            || type == QMetaType::QByteArray || !value.isValid();
}

// What the check lets through QSettings reads as texts and byte arrays only. A file of its
// own, as QSettings keeps what it read of a file until the file changes.
void checkReadable(const QByteArray &content)
{
    QTemporaryFile file;
    if (!file.open() || file.write(IniCheck(content).readable()) < 0 || !file.flush())
        return;
    const QSettings settings(file.fileName(), QSettings::IniFormat);
    for (const QString &key : settings.allKeys()) {
        const QVariant value = settings.value(key);
        const QVariantList items = value.userType() == QMetaType::QVariantList ? value.toList()
                                                                               : QVariantList{value};
        if (!std::all_of(items.begin(), items.end(), isTextOrBytes))
            qFatal("%s reads as %s", qPrintable(key), value.typeName());
    }
}

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
    QByteArray files[2] = {in.chunk(), in.chunk()};
    addForms(in.chunk(), files);
    for (const QByteArray &content : files)
        checkReadable(content);
    writeFile(ConfigFiles::keyboardConfigPath(), files[0]);
    writeFile(ConfigFiles::oledConfigPath(), files[1]);
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
