#include "oledkeyrecord.h"

#include "keygroups.h"

int OledKeyRecord::keyIndex(int keyValue)
{
    return keyValue >= 0 && keyValue < KeyValueLimit ? FirstKeyRecord + keyValue : -1;
}

int OledKeyRecord::keyValueIndex(int keyValue)
{
    const int group = KeyGroups::groupId(keyValue);
    return group ? groupIndex(group, 0, keyValue - KeyGroups::firstKey(group)) : keyIndex(keyValue);
}

