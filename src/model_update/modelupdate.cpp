#include "configfiles.h"
#include "keygroups.h"
#include "keyremapcache.h"
#include "logging.h"
#include "oledkeyrecord.h"
#include "oledpagetable.h"
#include "oledpayload.h"
#include "oledrecordbatch.h"
#include "uiprocdealkeypress_vorn_desktop.h"

#include <QtCore/QMutexLocker>

#include <algorithm>
#include <bitset>
#include <iterator>

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

    // A user's page 0 overwrites all that an entry writes into its record.
    bool pageReplacesEntry() const
    {
        return layout.lineCount <= 2 && pageTextLimit >= layout.lineWidth;
    }
};

// What an update reads of the model besides its records.
struct ModelFacts
{
    QMap<int, int> keyMap;
    qint32 keyBoardVersion;
};

// The user's pages of the group's slots, of which pages 1 to 4 go into their records when
// the update writes back: nothing reads those records during the update, so they need no
// working copy.
struct PageWrites
{
    int group = 0;
    int limit = 0;
    std::bitset<KeyGroups::KeysPerGroup> withPages; // the slots that have pages
    // Pages 1 to 4 of the slots that have pages (null where a page has no group); the
    // others are never read, so they are left unset.
    const OledPageTable::Page *pages[KeyGroups::KeysPerGroup][OledKeyRecord::PageCount - 1];
};

ModelFacts loadRecords(QMutex *mutex, const Model_VOrnParam &model, OledRecordBatch &batch)
{
    QMutexLocker locker(mutex);
    batch.load(model);
    return {model.keyMap, model.keyBoardVersion};
}

void setPage(OledKeyRecord record, const OledPageTable::Page &content, int limit)
{
    record.setContent(content.displayModel, content.icon, content.textLength, content.text, limit);
}

void writeRecords(QMutex *mutex, Model_VOrnParam &model, const OledRecordBatch &batch,
                  const PageWrites *pages = nullptr)
{
    QMutexLocker locker(mutex);
    batch.writeBack(model);
    if (!pages || pages->withPages.none())
        return;
    const int firstRecord = OledKeyRecord::groupIndex(pages->group, 0, 0);
    for (int slot = 0; slot < KeyGroups::KeysPerGroup; ++slot) {
        if (!pages->withPages.test(size_t(slot)))
            continue;
        for (int page = 1; page < OledKeyRecord::PageCount; ++page) {
            if (const OledPageTable::Page *content = pages->pages[slot][page - 1])
                setPage(OledKeyRecord(model, firstRecord + page * OledKeyRecord::SlotCount + slot),
                        *content, pages->limit);
        }
    }
}

// An entry's display model, icon and first lineCount texts into its record.
void setEntry(OledKeyRecord record, const OledEntry &entry, int lineCount)
{
    record.setDisplayModel(entry.displayModel);
    record.setIcon(entry.icon);
    for (int line = 0; line < lineCount; ++line)
        record.copyText(Line(line), entry.lines[line]);
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

int groupSlotCount(int group, qint32 keyBoardVersion)
{
    if (KeyGroups::firstKey(group) < 0)
        return 0;
    if (group == ShortcutGroup && keyBoardVersion == ThirteenShortcutsVersion)
        return ThirteenShortcuts;
    return KeyGroups::KeysPerGroup;
}

// A key with a remap entry takes the user's pages from the configuration file into its
// records of pages 0 to 4: pages 1 to 4 wait for the write-back; page 0, returned, is
// written now.
const OledPageTable::Page *takeOledPages(PageWrites &laterPages, const OledPageCache &pages,
                                         int slot, int key, int target)
{
    const OledPageTable::KeyPages found = pages.find(key, target);
    laterPages.withPages.set(size_t(slot));
    std::copy(std::begin(found.page) + 1, std::end(found.page), laterPages.pages[slot]);
    return found.page[0];
}

// Writes each slot's entry into page 0 of the group, lets the user's pages override it
// and announces the key, slot by slot.
template<typename Announce>
void applyGroupMessage(OledRecordBatch &batch, PageWrites &laterPages, const ModelFacts &facts,
                       KeyRemapCache &remap, OledPageCache &pages,
                       const model_Protocoldata &message, const GroupMessage &kind,
                       Announce announce)
{
    const int group = message.dataA;
    const QByteArray payload = message.payload; // a receiver may change the message
    const int slotCount = qMin(groupSlotCount(group, facts.keyBoardVersion),
                               OledPayload::groupEntryCount(payload, kind.layout));
    bool pagesRead = false; // the file is checked once, when a key first needs it
    const int firstKey = KeyGroups::firstKey(group);
    laterPages.group = group;
    laterPages.limit = kind.pageTextLimit;
    for (int slot = 0; slot < slotCount; ++slot) {
        const OledEntry entry = OledPayload::groupEntry(payload, kind.layout, slot);
        const int key = firstKey + slot;
        const OledKeyRecord record = batch.edit(OledKeyRecord::groupIndex(group, 0, slot));
        const std::optional<int> target = remap.target(facts.keyMap, key);
        const OledPageTable::Page *pageZero = nullptr;
        if (target && (kind.pagesOnEveryGroup || group == LayerGroup)) {
            if (!pagesRead) {
                pages.table();
                pagesRead = true;
            }
            pageZero = takeOledPages(laterPages, pages, slot, key, *target);
        }
        if (!pageZero || !kind.pageReplacesEntry())
            setEntry(record, entry, kind.layout.lineCount);
        if (pageZero)
            setPage(record, *pageZero, kind.pageTextLimit);
        announce(key, entry, shownText(record, OledKeyRecord::FirstLine, kind.shownBytes),
                 shownText(record, OledKeyRecord::SecondLine, kind.shownBytes));
    }
}

// Announces a key's OLED content to the interface.
auto oledShow(UiprocDealKeyPress_Vorn_Desktop *processor)
{
    return [processor](int keyValue, const OledEntry &entry, QString first, QString second) {
        emit processor->sig_updateOledShow(keyValue, entry.displayModel, entry.icon,
                                           std::move(first), std::move(second));
    };
}

// Loads page 0 of the message's group, applies the message and writes back what it
// edited.
template<typename Announce>
void updateGroup(QMutex *mutex, Model_VOrnParam &model, KeyRemapCache &remap,
                 OledPageCache &pages, const model_Protocoldata &message, const GroupMessage &kind,
                 Announce announce)
{
    const int group = message.dataA;
    OledRecordBatch batch(OledKeyRecord::groupIndex(group, 0, 0),
                          KeyGroups::firstKey(group) < 0 ? 0 : KeyGroups::KeysPerGroup);
    const ModelFacts facts = loadRecords(mutex, model, batch);
    PageWrites laterPages;
    applyGroupMessage(batch, laterPages, facts, remap, pages, message, kind, announce);
    writeRecords(mutex, model, batch, &laterPages);
}

} // namespace

// The interface is told before the records are written back, so a receiver that reads
// the model meanwhile still finds the content from before the message.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID(model_Protocoldata const &message)
{
    const quint64 lineLength = Model_VOrnParam::gOledLength;
    if (!OledPayload::isValidLineLength(lineLength) || !hostHas(HostModel | HostMutex))
        return;
    const int length = int(lineLength);
    // The last byte of each line is never shown.
    const GroupMessage kind{OledPayload::twoLineGroup(length), length - 1, length, false};
    updateGroup(m_mutex, *m_model, *m_keyRemap, *m_oledPages, message, kind, oledShow(this));
}

void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByGroupID_3R(model_Protocoldata const &message)
{
    qCDebug(lcKeyboard) << "updateModelDataByGroupID_3R groupId= " << int(message.dataA);
    if (!hostHas(HostModel | HostMutex))
        return;
    const OledPayload::GroupLayout layout = OledPayload::ThreeLineGroup;
    const GroupMessage kind{layout, layout.lineWidth, textLimit(Model_VOrnParam::gOledLength),
                            true};
    updateGroup(m_mutex, *m_model, *m_keyRemap, *m_oledPages, message, kind, oledShow(this));
}

// Here the record is written back first: a receiver already finds the new content.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue(model_Protocoldata const &message)
{
    const quint64 lineLength = Model_VOrnParam::gOledLength;
    const QByteArray payload = message.payload; // a receiver may change the message
    OledEntry entry;
    if (!OledPayload::isValidLineLength(lineLength)
        || !OledPayload::keyValueEntry(payload, int(lineLength), &entry))
        return;
    const int index = OledKeyRecord::keyValueIndex(entry.keyValue);
    if (index < 0 || !hostHas(HostModel | HostMutex))
        return;

    OledRecordBatch batch(index, 1);
    loadRecords(m_mutex, *m_model, batch);
    const OledKeyRecord record = batch.edit(index);
    setEntry(record, entry, 2);
    const int shownBytes = int(lineLength) - 1;
    const QString first = shownText(record, OledKeyRecord::FirstLine, shownBytes);
    const QString second = shownText(record, OledKeyRecord::SecondLine, shownBytes);
    writeRecords(m_mutex, *m_model, batch);
    oledShow(this)(entry.keyValue, entry, first, second);
}

// Only the layer keys take the content; every entry is announced, a key without a
// record with the texts last shown in this message.
void UiprocDealKeyPress_Vorn_Desktop::updateModelDataByKeyValue_New(
        model_Protocoldata const &message)
{
    if (!hostHas(HostModel | HostMutex))
        return;
    OledRecordBatch batch(OledKeyRecord::groupIndex(LayerGroup, 0, 0), KeyGroups::KeysPerGroup);
    loadRecords(m_mutex, *m_model, batch);
    QString shown[2];
    const QByteArray payload = message.payload; // a receiver may change the message
    const QVector<OledEntry> entries = OledPayload::keyValueEntries(payload);
    for (const OledEntry &entry : entries) {
        if (KeyGroups::groupId(entry.keyValue) == LayerGroup) {
            OledKeyRecord record = batch.edit(OledKeyRecord::keyValueIndex(entry.keyValue));
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
    writeRecords(m_mutex, *m_model, batch);
}
