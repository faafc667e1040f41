#include "configfiles.h"
#include "keygroups.h"
#include "oledkeyrecord.h"
#include "oledpages.h"
#include "oledpayload.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QDebug>
#include <QtCore/QMutexLocker>

namespace {

using Line = OledKeyRecord::Line;

const int ShortcutGroup = 2;
const int LayerGroup = 3;
// This keyboard version has only 13 shortcut keys.
const qint32 ThirteenShortcutsVersion = 605;
const int ThirteenShortcuts = 13;
// Longest text a line takes from the newer key-value layout: it leaves room for the NUL.
const int MaxNewLayoutText = OledKeyRecord::TextFieldSize - 1;

// How group messages of one tone-processor generation are laid out and shown.
struct GroupMessage
{
    OledPayload::GroupLayout layout;
    int shownBytes; // bytes of each line the interface sees
    int pageTextLimit; // text bytes a configuration page writes
    bool pagesOnEveryGroup; // else on the layer keys only
};

Model_VOrnParam lockedCopy(QMutex *mutex, const Model_VOrnParam &model)
{
    QMutexLocker locker(mutex);
    return model;
}

int textLimit(quint64 lineLength)
{
    return int(qMin<quint64>(lineLength, OledKeyRecord::TextFieldSize));
}

QString shownText(const OledKeyRecord &record, Line line, int maxBytes)
{
    const std::string_view bytes = record.text(line, maxBytes);
    return QString::fromLocal8Bit(bytes.data(), int(bytes.size()));
}

std::string_view bytesOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

int groupSlotCount(int group, const Model_VOrnParam &model)
{
    if (KeyGroups::firstKey(group) < 0)
        return 0;
    if (group == ShortcutGroup && model.keyBoardVersion == ThirteenShortcutsVersion)
        return ThirteenShortcuts;
    return KeyGroups::KeysPerGroup;
}

// A key with a remap entry takes the user's pages from the configuration file into its
// records of pages 0 to 4.
void applyOledPages(Model_VOrnParam &model, OledPages &pages, int group, int slot, int textLimit)
{
    const int key = KeyGroups::firstKey(group) + slot;
    const auto target = model.keyMap.constFind(key);
    if (target == model.keyMap.constEnd())
        return;
    OledPages::Page content;
    for (int page = 0; page < OledKeyRecord::PageCount; ++page) {
        if (!pages.read(OledPages::groupName(key, target.value(), page), &content))
            continue;
        OledKeyRecord record(model, OledKeyRecord::groupIndex(group, page, slot));
        record.setDisplayModel(content.displayModel);
        record.setIcon(content.icon);
        record.writeTerminatedText(OledKeyRecord::FirstLine, bytesOf(content.firstText), textLimit);
        record.setTextLength(OledKeyRecord::FirstLine, uchar(content.firstText.size()));
        record.writeTerminatedText(OledKeyRecord::SecondLine, bytesOf(content.secondText),
                                   textLimit);
        record.setTextLength(OledKeyRecord::SecondLine, uchar(content.secondText.size()));
    }
}

// Writes each slot's entry into page 0 of the group, lets the user's pages override it
// and announces the key, slot by slot.
template<typename Announce>
void applyGroupMessage(Model_VOrnParam &model, OledPages &pages, const model_Protocoldata &message,
                       const GroupMessage &kind, Announce announce)
{
    const int group = message.dataA;
    const int slotCount = qMin(groupSlotCount(group, model),
                               OledPayload::groupEntryCount(message.payload, kind.layout));
    for (int slot = 0; slot < slotCount; ++slot) {
        const OledEntry entry = OledPayload::groupEntry(message.payload, kind.layout, slot);
        OledKeyRecord record(model, OledKeyRecord::groupIndex(group, 0, slot));
        record.setDisplayModel(entry.displayModel);
        record.setIcon(entry.icon);
        for (int line = 0; line < kind.layout.lineCount; ++line)
            record.copyText(Line(line), entry.lines[line]);
        if (kind.pagesOnEveryGroup || group == LayerGroup)
            applyOledPages(model, pages, group, slot, kind.pageTextLimit);
        announce(KeyGroups::firstKey(group) + slot, entry,
                 shownText(record, OledKeyRecord::FirstLine, kind.shownBytes),
                 shownText(record, OledKeyRecord::SecondLine, kind.shownBytes));
    }
}

// Announces a key's OLED content to the interface.
auto oledShow(UiprocDealKeyPress_Vorn_Desktop *processor)
{
    return [processor](int keyValue, const OledEntry &entry, const QString &first,
                       const QString &second) {
        emit processor->sig_updateOledShow(keyValue, entry.displayModel, entry.icon, first, second);
    };
}

} // namespace

// The interface is told before the model is written back, so a receiver that reads the
// model meanwhile still finds the content from before the message.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID(model_Protocoldata const &message)
{
    const quint64 lineLength = Model_VOrnParam::gOledLength;
    if (!OledPayload::isValidLineLength(lineLength))
        return;
    const int length = int(lineLength);
    Model_VOrnParam snapshot = lockedCopy(m_mutex, *m_model);
    OledPages pages(ConfigFiles::keyboardConfigPath());
    // The last byte of each line is never shown.
    const GroupMessage kind{OledPayload::twoLineGroup(length), length - 1, length, false};
    applyGroupMessage(snapshot, pages, message, kind, oledShow(this));
    setModel(snapshot);
}

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID_3R(model_Protocoldata const &message)
{
    Model_VOrnParam snapshot = lockedCopy(m_mutex, *m_model);
    OledPages pages(ConfigFiles::keyboardConfigPath());
    qDebug() << "updateModelDataByGroupID_3R groupId= " << int(message.dataA);
    const OledPayload::GroupLayout layout = OledPayload::ThreeLineGroup;
    const GroupMessage kind{layout, layout.lineWidth, textLimit(Model_VOrnParam::gOledLength),
                            true};
    applyGroupMessage(snapshot, pages, message, kind, oledShow(this));
    setModel(snapshot);
}

// Here the model is written back first: a receiver already finds the new content.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue(model_Protocoldata const &message)
{
    const quint64 lineLength = Model_VOrnParam::gOledLength;
    OledEntry entry;
    if (!OledPayload::isValidLineLength(lineLength)
        || !OledPayload::keyValueEntry(message.payload, int(lineLength), &entry))
        return;
    const int index = OledKeyRecord::keyValueIndex(entry.keyValue);
    if (index < 0)
        return;

    Model_VOrnParam snapshot = lockedCopy(m_mutex, *m_model);
    OledKeyRecord record(snapshot, index);
    record.setDisplayModel(entry.displayModel);
    record.setIcon(entry.icon);
    record.copyText(OledKeyRecord::FirstLine, entry.lines[OledKeyRecord::FirstLine]);
    record.copyText(OledKeyRecord::SecondLine, entry.lines[OledKeyRecord::SecondLine]);
    const int shownBytes = int(lineLength) - 1;
    const QString first = shownText(record, OledKeyRecord::FirstLine, shownBytes);
    const QString second = shownText(record, OledKeyRecord::SecondLine, shownBytes);
    setModel(snapshot);
    oledShow(this)(entry.keyValue, entry, first, second);
}

// Only the layer keys take the content; every entry is announced, a key without a
// record with the texts last shown in this message.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue_New(
        model_Protocoldata const &message)
{
    Model_VOrnParam snapshot = lockedCopy(m_mutex, *m_model);
    QString shown[2];
    const QVector<OledEntry> entries = OledPayload::keyValueEntries(message.payload);
    for (const OledEntry &entry : entries) {
        if (KeyGroups::groupId(entry.keyValue) == LayerGroup) {
            OledKeyRecord record(snapshot, OledKeyRecord::keyValueIndex(entry.keyValue));
            record.setDisplayModel(entry.displayModel);
            record.setIcon(entry.icon);
            for (const Line line :
                 {OledKeyRecord::FirstLine, OledKeyRecord::SecondLine, OledKeyRecord::ThirdLine}) {
                const std::string_view text = entry.lines[line].substr(0, MaxNewLayoutText);
                record.setTextLength(line, uchar(entry.lines[line].size()));
                record.clearText(line);
                record.copyText(line, text);
                if (line != OledKeyRecord::ThirdLine)
                    shown[line] = shownText(record, line, int(text.size()));
            }
        }
        oledShow(this)(entry.keyValue, entry, shown[0], shown[1]);
    }
    setModel(snapshot);
}
