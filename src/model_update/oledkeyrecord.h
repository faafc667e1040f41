#ifndef OLEDKEYRECORD_H
#define OLEDKEYRECORD_H

#include "keygroups.h"

#include <model_vornparam.h>

#include <QtCore/QtGlobal>

#include <algorithm>
#include <cstring>
#include <string_view>

// One 101-byte OLED key record of the keyboard model, and where each key's record is.
// Bytes 3 and 4 hold the display model and icon, bytes 5 to 7 the byte lengths of the
// three text lines, and three 31-byte text fields start at 8, 39 and 70. Every text
// read and write stays inside its field. A record made from an index outside the model
// is invalid: it reads as zeros and empty texts and ignores writes.
class OledKeyRecord
{
public:
    enum Line { FirstLine, SecondLine, ThirdLine };
    enum : int {
        TextFieldSize = 31,
        GroupCount = 6,
        PageCount = KeyGroups::PagesPerKey,
        SlotCount = KeyGroups::KeysPerGroup,
        FirstKeyRecord = GroupCount * PageCount * SlotCount, // 480: records of single keys
        KeyValueLimit = Model_VOrnParam::OledKeyRecordCount - FirstKeyRecord // 600
    };

    // Record of group 1..6, page 0..4, slot 0..15; -1 for anything else.
    static int groupIndex(int group, int page, int slot)
    {
        if (group < 1 || group > GroupCount || page < 0 || page >= PageCount || slot < 0
            || slot >= SlotCount)
            return -1;
        return ((group - 1) * PageCount + page) * SlotCount + slot;
    }
    // Record of a key outside the groups, 480 + key value; -1 outside 0..599.
    static int keyIndex(int keyValue);
    // Record a key-value message writes: page 0 of the key's group for the group ranges
    // (shortcuts 203..215 only), 480 + key value otherwise; -1 from 600 on.
    static int keyValueIndex(int keyValue);

    // A view on record `index` (0..1079) of the model.
    OledKeyRecord(Model_VOrnParam &model, int index)
        : m_bytes(index >= 0 && index < Model_VOrnParam::OledKeyRecordCount
                          ? model.oledKeyRecords[index]
                          : nullptr)
    { }
    // A view on a record's bytes held elsewhere; null gives an invalid record.
    explicit OledKeyRecord(uchar *bytes) : m_bytes(bytes) { }

    bool isValid() const { return m_bytes; }

    uchar displayModel() const { return byteAt(DisplayModelOffset); }
    void setDisplayModel(uchar value) { setByteAt(DisplayModelOffset, value); }
    uchar icon() const { return byteAt(IconOffset); }
    void setIcon(uchar value) { setByteAt(IconOffset, value); }
    uchar textLength(Line line) const { return byteAt(TextLengthOffset + line); }
    void setTextLength(Line line, uchar length) { setByteAt(TextLengthOffset + line, length); }

    // The line's bytes up to its first NUL, within its first maxBytes bytes (at most the
    // whole field; negative counts as 0).
    std::string_view text(Line line, int maxBytes = TextFieldSize) const
    {
        if (!m_bytes)
            return std::string_view();
        const char *bytes = fieldData(line);
        const size_t bound = size_t(qBound(0, maxBytes, int(TextFieldSize)));
        const void *nul = std::memchr(bytes, '\0', bound);
        return std::string_view(bytes, nul ? size_t(static_cast<const char *>(nul) - bytes) : bound);
    }
    // All bytes of the line's field, NUL bytes included.
    std::string_view field(Line line) const
    {
        return m_bytes ? std::string_view(fieldData(line), TextFieldSize) : std::string_view();
    }
    // Copies the bytes (as many as fit) to the start of the field; the rest stays.
    void copyText(Line line, std::string_view bytes)
    {
        if (m_bytes)
            copyField(fieldData(line), bytes.data(), std::min(bytes.size(), size_t(TextFieldSize)));
    }
    // Sets display model, icon and the first two lines with their lengths, copying
    // `count` bytes (at most the field) of each text.
    void setContent(uchar displayModel, uchar icon, const uchar (&lengths)[2],
                    const char (&texts)[2][TextFieldSize], int count)
    {
        if (!m_bytes)
            return;
        m_bytes[DisplayModelOffset] = displayModel;
        m_bytes[IconOffset] = icon;
        std::memcpy(m_bytes + TextLengthOffset, lengths, 2);
        const size_t bytes = size_t(qBound(0, count, int(TextFieldSize)));
        copyField(fieldData(FirstLine), texts[0], bytes);
        copyField(fieldData(SecondLine), texts[1], bytes);
    }
    // Fills the whole field with NUL bytes.
    void clearText(Line line)
    {
        if (m_bytes)
            std::memset(fieldData(line), 0, TextFieldSize);
    }

private:
    enum Offset : int {
        DisplayModelOffset = 3,
        IconOffset = 4,
        TextLengthOffset = 5, // one byte per line
        TextOffset = 8 // one field per line
    };

    // Copies count bytes, at most a field's, as two overlapping moves of a fixed size,
    // which the compiler inlines; a copy of a variable length becomes a loop or a call.
    static void copyField(char *to, const char *from, size_t count)
    {
        Q_ASSERT(count <= TextFieldSize);
        if (count >= 16) {
            std::memcpy(to, from, 16);
            std::memcpy(to + count - 16, from + count - 16, 16);
        } else if (count >= 8) {
            std::memcpy(to, from, 8);
            std::memcpy(to + count - 8, from + count - 8, 8);
        } else if (count >= 4) {
            std::memcpy(to, from, 4);
            std::memcpy(to + count - 4, from + count - 4, 4);
        } else if (count > 0) {
            to[0] = from[0];
            to[count / 2] = from[count / 2];
            to[count - 1] = from[count - 1];
        }
    }

    uchar byteAt(int offset) const { return m_bytes ? m_bytes[offset] : 0; }
    void setByteAt(int offset, uchar value)
    {
        if (m_bytes)
            m_bytes[offset] = value;
    }
    char *fieldData(Line line) const
    {
        return reinterpret_cast<char *>(m_bytes + TextOffset + line * TextFieldSize);
    }

    uchar *m_bytes = nullptr;
};

#endif // OLEDKEYRECORD_H
