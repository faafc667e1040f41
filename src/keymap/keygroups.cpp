#include "keygroups.h"

namespace {

struct Group
{
    int id;
    int firstKey;
    int idKeys; // keys that report this group id
    int firstSlot; // remap slot of the first key
};

const Group Groups[] = {
        {1, 105, 16, 0}, {2, 203, 13, 16}, {3, 313, 16, 48}, {5, 505, 16, 32}, {6, 403, 16, 64},
};

const Group *groupOfKey(int keyValue)
{
    for (const Group &group : Groups) {
        if (keyValue >= group.firstKey && keyValue < group.firstKey + KeyGroups::KeysPerGroup)
            return &group;
    }
    return nullptr;
}

} // namespace

int KeyGroups::groupId(int keyValue)
{
    const Group *group = groupOfKey(keyValue);
    return group && keyValue < group->firstKey + group->idKeys ? group->id : 0;
}

int KeyGroups::slotIndex(int keyValue)
{
    const Group *group = groupOfKey(keyValue);
    return group ? group->firstSlot + keyValue - group->firstKey : -1;
}

int KeyGroups::firstKey(int groupId)
{
    for (const Group &group : Groups) {
        if (group.id == groupId)
            return group.firstKey;
    }
    return -1;
}
