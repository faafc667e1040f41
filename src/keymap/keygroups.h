#ifndef KEYGROUPS_H
#define KEYGROUPS_H

// The five groups of sixteen keys that carry an OLED and can be remapped onto: bank 1,
// shortcut 2, layer 3, output 5 and input 6 (group 4 has no keys).
namespace KeyGroups {

const int KeysPerGroup = 16;
// OLED pages of each key: page 0 shows what the host sends, pages 0..4 the user's own.
const int PagesPerKey = 5;

// Group id of a key value, 0 for none. The shortcut group stops at 215 here: the
// keyboard sends 216..218 as keys of their own.
int groupId(int keyValue);

// Remap slot of a target key value: banks 0..15, shortcuts 16..31, outputs 32..47,
// layers 48..63, inputs 64..79; -1 for any other value.
int slotIndex(int keyValue);

// Key value of the first of the sixteen keys of a group id; -1 for a group without keys.
int firstKey(int groupId);

} // namespace KeyGroups

#endif // KEYGROUPS_H
