#include "oledkeyrecord.h"

#include "keygroups.h"

#include <QtCore/QtGlobal>

#include <algorithm>

namespace {

enum Offset : int {
    DisplayModelOffset = 3,
    IconOffset = 4,
    TextLengthOffset = 5, // one byte per line
    TextOffset = 8 // one field per line
};

int fieldBound(int count)
{
    return qBound(0, count, int(OledKeyRecord::TextFieldSize));
}

} // namespace

int OledKeyRecord::groupIndex(int group, int page, int slot)
{
    if (group < 1 || group > GroupCount || page < 0 || page >= PageCount || slot < 0
        || slot >= SlotCount)
        return -1;
    return ((group - 1) * PageCount + page) * SlotCount + slot;
}

int OledKeyRecord::keyIndex(int keyValue)
{
    return keyValue >= 0 && keyValue < KeyValueLimit ? FirstKeyRecord + keyValue : -1;
}

int OledKeyRecord::keyValueIndex(int keyValue)
{
    const int group = KeyGroups::groupId(keyValue);
    return group ? groupIndex(group, 0, keyValue - KeyGroups::firstKey(group)) : keyIndex(keyValue);
}

OledKeyRecord::OledKeyRecord(Model_VOrnParam &model, int index)
    : m_bytes(index >= 0 && index < Model_VOrnParam::OledKeyRecordCount
                      ? model.oledKeyRecords[index]
                      : nullptr)
{ }

uchar OledKeyRecord::byteAt(int offset) const
{
    return m_bytes ? m_bytes[offset] : 0;
}

void OledKeyRecord::setByteAt(int offset, uchar value)
{
    if (m_bytes)
        m_bytes[offset] = value;
}

uchar OledKeyRecord::displayModel() const
{
    return byteAt(DisplayModelOffset);
}

void OledKeyRecord::setDisplayModel(uchar value)
{
    setByteAt(DisplayModelOffset, value);
}

uchar OledKeyRecord::icon() const
{
    return byteAt(IconOffset);
}

void OledKeyRecord::setIcon(uchar value)
{
    setByteAt(IconOffset, value);
}

uchar OledKeyRecord::textLength(Line line) const
{
    return byteAt(TextLengthOffset + line);
}

void OledKeyRecord::setTextLength(Line line, uchar length)
{
    setByteAt(TextLengthOffset + line, length);
}

char *OledKeyRecord::field(Line line) const
{
    return reinterpret_cast<char *>(m_bytes + TextOffset + line * TextFieldSize);
}

std::string_view OledKeyRecord::text(Line line, int maxBytes) const
{
    if (!m_bytes)
        return std::string_view();
    const char *bytes = field(line);
    const int bound = fieldBound(maxBytes);
    return std::string_view(bytes, std::find(bytes, bytes + bound, '\0') - bytes);
}

void OledKeyRecord::copyText(Line line, std::string_view bytes)
{
    if (m_bytes)
        std::copy_n(bytes.data(), std::min(bytes.size(), size_t(TextFieldSize)), field(line));
}

void OledKeyRecord::writeTerminatedText(Line line, std::string_view bytes, int limit)
{
    if (!m_bytes)
        return;
    const size_t bound = size_t(fieldBound(limit));
    char *target = field(line);
    if (bytes.size() < bound) {
        std::copy_n(bytes.data(), bytes.size(), target);
        target[bytes.size()] = '\0';
    } else {
        std::copy_n(bytes.data(), bound, target);
    }
}

void OledKeyRecord::clearText(Line line)
{
    if (m_bytes)
        std::fill_n(field(line), int(TextFieldSize), '\0');
}
