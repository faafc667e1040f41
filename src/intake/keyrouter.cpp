#include "keyrouter.h"

#include "combinebytes.h"
#include "keyremapcache.h"

#include <algorithm>
#include <iterator>

namespace {

using S = KeySignal;

const int LockKey = 0x41;
const int GroupModifierKey = 0x53;
const int GroupModifierHeld = 5;
const int DeviceLockKey = 214;
const int FirstDigitKey = 20;
const int LastDigitKey = 29;
const int DirectKeysVersion = 2;

// Device types whose key 214 locks and unlocks the other keys.
const int LockingDeviceTypes[2] = {0xA00000, 0x800000};

// How a key table row fills its signal's arguments.
enum class Args : uchar {
    Nothing, // the row emits nothing
    None,
    Index, // key - first + base
    Key, // the key value itself
    Letter, // base is the character of a one-letter text
    RockerStep, // index; the 16-bit step of data bytes A and B; then a test signal
    RockerBytes // index; data bytes A and B; then a test signal
};

struct KeyRow
{
    quint16 first;
    quint16 last;
    S::Name signal;
    Args args;
    int base;
};

// Rows sorted by key value; a value without a row goes out as an "other" key.
// clang-format off
constexpr KeyRow KeyRows[] = {
        {13, 16, S::Rocker, Args::RockerStep, 0},
        {17, 18, S::Rocker, Args::RockerBytes, 8},
        {20, 29, S::NumberKey, Args::Index, 0},
        {31, 31, S::Enter, Args::None, 0},
        {32, 32, S::DeleteNum, Args::None, 0},
        {56, 56, S::DoTake, Args::None, 0},
        {57, 57, S::DoCut, Args::None, 0},
        {58, 58, S::Dimmer, Args::None, 0},
        {59, 59, S::Black, Args::None, 0},
        {60, 60, S::Wipe, Args::None, 0},
        {61, 61, S::Mix, Args::None, 0},
        {62, 62, S::MatchPGM, Args::None, 0},
        {63, 63, S::FreezePST, Args::None, 0},
        {64, 64, S::FreezePGM, Args::None, 0},
        {65, 65, S::OtherKeyBoradValue, Args::Nothing, 0},
        {66, 66, S::Sel, Args::None, 0},
        {79, 79, S::OtherKeyBoradValue, Args::Nothing, 0},
        {80, 80, S::DeleteNum, Args::None, 0},
        {86, 86, S::Enter, Args::None, 0},
        {87, 87, S::Tab, Args::None, 0},
        {100, 100, S::Sync, Args::None, 0},
        {101, 101, S::BankPageUp, Args::None, 0},
        {102, 102, S::BankPageDown, Args::None, 0},
        {103, 103, S::BankSave, Args::None, 0},
        {104, 104, S::BankClear, Args::None, 0},
        {105, 120, S::ChangeBank, Args::Index, 0},
        {200, 200, S::ShortCutUserDefine, Args::None, 0},
        {201, 201, S::ShortCutUp, Args::None, 0},
        {202, 202, S::ShortCutDown, Args::None, 0},
        {203, 218, S::ShortCut, Args::Index, 0},
        {219, 219, S::TestPattern, Args::None, 0},
        {300, 300, S::ChangeSelect, Args::None, 0},
        {301, 301, S::LayerPageUp, Args::None, 0},
        {302, 302, S::LayerPageDown, Args::None, 0},
        {303, 303, S::AllLayers, Args::None, 0},
        {304, 304, S::DeleteLayer, Args::None, 0},
        {305, 305, S::SetScale, Args::Key, 0},
        {306, 306, S::Maximize, Args::None, 0},
        {307, 307, S::SetPos, Args::Key, 0},
        {308, 308, S::SetCrop, Args::None, 0},
        {309, 309, S::LayerAttribute, Args::Letter, 'X'},
        {310, 310, S::LayerAttribute, Args::Letter, 'Y'},
        {311, 311, S::LayerAttribute, Args::Letter, 'H'},
        {312, 312, S::LayerAttribute, Args::Letter, 'V'},
        {313, 328, S::CreatNewLayer, Args::Index, 0},
        {400, 400, S::InputUser, Args::None, 0},
        {401, 401, S::InputPageUp, Args::None, 0},
        {402, 402, S::InputPageDown, Args::None, 0},
        {403, 418, S::ChangeInput, Args::Index, 0},
        {500, 500, S::OutputUser, Args::None, 0},
        {501, 501, S::OutputPageUp, Args::None, 0},
        {502, 502, S::OutputPageDown, Args::None, 0},
        {503, 503, S::AllOutPut, Args::None, 0},
        {504, 504, S::ClearOutput, Args::None, 0},
        {505, 520, S::ChangeOutput, Args::Index, 0},
        {601, 604, S::Rocker, Args::RockerBytes, 4},
};

// Keys that the version-2 keyboard layout serves directly, before the remap.
constexpr KeyRow DirectKeyRows[] = {
        {67, 78, S::ShortCut, Args::Index, 0},
        {96, 99, S::Move, Args::Index, 0},
        {203, 218, S::Container, Args::Index, 0},
        {611, 618, S::Knob, Args::Index, 0},
};
// clang-format on

// The rows of a table by key value, looked up by index: every key value below the limit
// names its row, or none. Built at compile time.
template<std::size_t N>
class RowIndex
{
public:
    constexpr explicit RowIndex(const KeyRow (&rows)[N]) : m_rows(rows)
    {
        for (int key = 0; key < KeyLimit; ++key)
            m_index[key] = NoRow;
        for (std::size_t row = 0; row < N; ++row) {
            for (int key = rows[row].first; key <= rows[row].last; ++key)
                m_index[key] = uchar(row);
        }
    }

    const KeyRow *find(int key) const
    {
        if (key < 0 || key >= KeyLimit || m_index[key] == NoRow)
            return nullptr;
        return &m_rows[m_index[key]];
    }

private:
    enum : int { KeyLimit = 620 }; // above every key of the tables
    static constexpr uchar NoRow = 0xff;
    const KeyRow (&m_rows)[N];
    uchar m_index[KeyLimit] = {};
};

constexpr RowIndex KeyTable(KeyRows);
constexpr RowIndex DirectKeyTable(DirectKeyRows);

Q_ALWAYS_INLINE void addAction(KeyRoute &route, const KeyRow &row, const KeyRouter::Event &event)
{
    const int index = event.key - row.first + row.base;
    switch (row.args) {
    case Args::Nothing:
        break;
    case Args::None:
        route.add(row.signal);
        break;
    case Args::Index:
        route.add(row.signal, index);
        break;
    case Args::Key:
        route.add(row.signal, event.key);
        break;
    case Args::Letter:
        route.add(row.signal, row.base);
        break;
    case Args::RockerStep: {
        const int step = combineBytes(uchar(event.dataA), uchar(event.dataB));
        route.add(row.signal, index, step, 0);
        route.add(S::KeyValueForTest, event.key, step, 0);
        break;
    }
    case Args::RockerBytes:
        route.add(row.signal, index, event.dataA, event.dataB);
        route.add(S::KeyValueForTest, event.key, event.dataA, event.dataB);
        break;
    }
}

bool isLockingDevice(int deviceType)
{
    return deviceType == LockingDeviceTypes[0] || deviceType == LockingDeviceTypes[1];
}

bool armsGuard(int key)
{
    return key != KeyRouter::TbarKey && (key < FirstDigitKey || key > LastDigitKey);
}

// keyPress(), inlined into keyEvent() as well.
Q_ALWAYS_INLINE KeyRoute press(KeyRouter::Event event, const KeyState &state,
                               const KeyRouter::Context &context)
{
    using namespace KeyRouter;
    KeyRoute route;
    route.state = state;
    if (isLockingDevice(context.deviceType)) {
        if (event.key == DeviceLockKey)
            route.state.keysBlocked = !state.keysBlocked;
        if (event.key != TbarKey && route.state.keysBlocked)
            return route;
    }

    if (context.guardArmed)
        route.add(S::WarrFreqMsg);
    else
        route.armGuard = armsGuard(event.key);

    if (context.keyboardVersion == DirectKeysVersion) {
        if (const KeyRow *row = DirectKeyTable.find(event.key)) {
            addAction(route, *row, event);
            return route;
        }
    }

    route.add(S::KeyValueForTest, event.key, 0, 0);
    const std::optional<int> target = context.remapCache
            ? context.remapCache->target(context.keyMap, event.key)
            : KeyRemap::target(context.keyMap, event.key);
    const int key = quint16(target.value_or(event.key));
    if (key == TbarKey) {
        route.tbar = true;
        route.tbarRaw = combineBytes(uchar(event.dataA), uchar(event.dataB));
        return route;
    }
    route.add(S::KeyBoradValue, key);
    const Event mapped{key, event.dataA, event.dataB};
    if (const KeyRow *row = KeyTable.find(key))
        addAction(route, *row, mapped);
    else
        route.add(S::OtherKeyBoradValue, key);
    return route;
}

} // namespace

KeyRoute KeyRouter::keyEvent(Event event, const KeyState &state, const Context &context)
{
    if (state.locked || event.key == LockKey) {
        KeyRoute route;
        route.state = state;
        if (event.key == LockKey) {
            route.state.locked = !state.locked;
            route.add(S::Lock);
        } else {
            route.add(S::UpdateLockState, event.key);
        }
        return route;
    }
    if (event.key == GroupModifierKey || state.groupKeyMode) {
        KeyRoute route;
        route.state = state;
        if (event.key == GroupModifierKey) {
            route.state.groupKeyMode = event.dataB == GroupModifierHeld;
        } else {
            route.groupKey = true;
            if (event.key == FunctionTabKey)
                route.add(S::FnTab);
        }
        return route;
    }
    return press(event, state, context);
}

KeyRoute KeyRouter::keyPress(Event event, const KeyState &state, const Context &context)
{
    return press(event, state, context);
}
