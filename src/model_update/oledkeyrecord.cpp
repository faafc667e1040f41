#include "oledkeyrecord.h"

#include "keygroups.h"

#include <QtCore/QtGlobal>

#include <algorithm>

namespace {

int fieldBound(int count)
{
    return qBound(0, count, int(OledKeyRecord::TextFieldSize));
}

} // namespace

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

std::string_view OledKeyRecord::text(Line line, int maxBytes) const
{
    if (!m_bytes)
        return std::string_view();
    const char *bytes = fieldData(line);
    const int bound = fieldBound(maxBytes);
    return std::string_view(bytes, std::find(bytes, bytes + bound, '\0') - bytes);
}
