#include "keygroups.h"

#include <iterator>

namespace {

struct Range
{
    int first;
    int last;
    int value; // group id, or the slot index of the first key
};

template<int N>
const Range *find(const Range (&ranges)[N], int keyValue)
{
    for (const Range &range : ranges) {
        if (keyValue >= range.first && keyValue <= range.last)
            return &range;
    }
    return nullptr;
}

} // namespace

int KeyGroups::groupId(int keyValue)
{
    static const Range groups[] = {
            {105, 120, 1}, {203, 215, 2}, {313, 328, 3}, {505, 520, 5}, {403, 418, 6},
    };
    const Range *range = find(groups, keyValue);
    return range ? range->value : 0;
}

int KeyGroups::slotIndex(int keyValue)
{
    static const Range slots[] = {
            {105, 120, 0}, {203, 218, 16}, {505, 520, 32}, {313, 328, 48}, {403, 418, 64},
    };
    const Range *range = find(slots, keyValue);
    return range ? range->value + keyValue - range->first : -1;
}

int KeyGroups::firstKey(int groupId)
{
    static const int firstKeys[] = {-1, 105, 203, 313, -1, 505, 403};
    return groupId >= 0 && groupId < int(std::size(firstKeys)) ? firstKeys[groupId] : -1;
}
