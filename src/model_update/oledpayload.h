#ifndef OLEDPAYLOAD_H
#define OLEDPAYLOAD_H

#include <QtCore/QByteArray>
#include <QtCore/QVector>

#include <string_view>

// One key's OLED content as a host message carries it. The lines point into the
// message payload, which must outlive the entry.
struct OledEntry
{
    quint16 keyValue = 0; // messages addressed by key value only
    uchar displayModel = 0;
    uchar icon = 0;
    std::string_view lines[3];
};

// The entry layouts of the OLED content messages. Readers return only complete entries.
namespace OledPayload {

// Group messages: one entry per slot of the group, a display model, an icon and
// `lineCount` text lines of `lineWidth` bytes each, NUL-padded.
struct GroupLayout
{
    int lineCount;
    int lineWidth;
    int entrySize() const { return 2 + lineCount * lineWidth; }
};

// Two lines of the host's OLED line length, which must fit a 31-byte text field.
bool isValidLineLength(quint64 lineLength);
GroupLayout twoLineGroup(int lineLength);
const GroupLayout ThreeLineGroup{3, 30};

// How many complete entries the payload holds.
int groupEntryCount(const QByteArray &payload, const GroupLayout &layout);
// Entry `index`, which must be below groupEntryCount().
inline OledEntry groupEntry(const QByteArray &payload, const GroupLayout &layout, int index)
{
    Q_ASSERT(index >= 0 && index < groupEntryCount(payload, layout));
    const char *start = payload.constData() + index * layout.entrySize();
    OledEntry entry;
    entry.displayModel = uchar(start[0]);
    entry.icon = uchar(start[1]);
    for (int line = 0; line < layout.lineCount; ++line)
        entry.lines[line] = std::string_view(start + 2 + line * layout.lineWidth,
                                             size_t(layout.lineWidth));
    return entry;
}

// A message for one key: its key value (high byte first), display model, icon and two
// lines of `lineLength` bytes. False when the payload is shorter than that.
bool keyValueEntry(const QByteArray &payload, int lineLength, OledEntry *entry);

// The newer layout for keys by key value: a count byte, then that many entries one after
// another, each a key value (high byte first), display model, icon, three text lengths
// and the three texts without terminator. The list ends at the first entry that runs
// past the payload.
QVector<OledEntry> keyValueEntries(const QByteArray &payload);

} // namespace OledPayload

#endif // OLEDPAYLOAD_H
