#include "oledpayload.h"

#include "combinebytes.h"
#include "oledkeyrecord.h"

namespace {

enum : int {
    KeyValueHeaderSize = 4, // key value (2), display model, icon
    NewEntryHeaderSize = 7 // key value (2), display model, icon, three text lengths
};

uchar byteAt(const QByteArray &payload, int offset)
{
    return uchar(payload.at(offset));
}

std::string_view bytesAt(const QByteArray &payload, int offset, int count)
{
    return std::string_view(payload.constData() + offset, size_t(count));
}

} // namespace

bool OledPayload::isValidLineLength(quint64 lineLength)
{
    return lineLength >= 1 && lineLength <= OledKeyRecord::TextFieldSize;
}

OledPayload::GroupLayout OledPayload::twoLineGroup(int lineLength)
{
    return GroupLayout{2, lineLength};
}

int OledPayload::groupEntryCount(const QByteArray &payload, const GroupLayout &layout)
{
    return payload.size() / layout.entrySize();
}

bool OledPayload::keyValueEntry(const QByteArray &payload, int lineLength, OledEntry *entry)
{
    if (lineLength < 0 || payload.size() < KeyValueHeaderSize + 2 * lineLength)
        return false;
    entry->keyValue = combineBytes(byteAt(payload, 0), byteAt(payload, 1));
    entry->displayModel = byteAt(payload, 2);
    entry->icon = byteAt(payload, 3);
    entry->lines[0] = bytesAt(payload, KeyValueHeaderSize, lineLength);
    entry->lines[1] = bytesAt(payload, KeyValueHeaderSize + lineLength, lineLength);
    entry->lines[2] = std::string_view();
    return true;
}

QVector<OledEntry> OledPayload::keyValueEntries(const QByteArray &payload)
{
    QVector<OledEntry> entries;
    const int count = payload.isEmpty() ? 0 : byteAt(payload, 0);
    int start = 1;
    while (entries.size() < count && start + NewEntryHeaderSize <= payload.size()) {
        const int lengths[3] = {byteAt(payload, start + 4), byteAt(payload, start + 5),
                                byteAt(payload, start + 6)};
        if (start + NewEntryHeaderSize + lengths[0] + lengths[1] + lengths[2] > payload.size())
            break;
        OledEntry entry;
        entry.keyValue = combineBytes(byteAt(payload, start), byteAt(payload, start + 1));
        entry.displayModel = byteAt(payload, start + 2);
        entry.icon = byteAt(payload, start + 3);
        int offset = start + NewEntryHeaderSize;
        for (int line = 0; line < 3; ++line) {
            entry.lines[line] = bytesAt(payload, offset, lengths[line]);
            offset += lengths[line];
        }
        entries.append(entry);
        start = offset;
    }
    return entries;
}
