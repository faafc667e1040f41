#ifndef KEYGROUPS_H
#define KEYGROUPS_H

// The five groups of sixteen keys that carry an OLED and can be remapped onto.
namespace KeyGroups {

// Group id of a key value: 1 bank, 2 shortcut, 3 layer, 5 output, 6 input, 0 none.
// The shortcut group stops at 215 here.
int groupId(int keyValue);

// Remap slot of a target key value: banks 0..15, shortcuts 16..31, outputs 32..47,
// layers 48..63, inputs 64..79; -1 for any other value.
int slotIndex(int keyValue);

// Key value of the first of the sixteen keys of a group id; -1 for a group without keys.
int firstKey(int groupId);

const int KeysPerGroup = 16;
// OLED pages of each key: page 0 shows what the host sends, pages 0..4 the user's own.
const int PagesPerKey = 5;

} // namespace KeyGroups

#endif // KEYGROUPS_H
