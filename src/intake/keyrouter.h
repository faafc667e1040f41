#ifndef KEYROUTER_H
#define KEYROUTER_H

#include <QtCore/QMap>
#include <QtCore/QObject>

class KeyRemapCache;

// A signal of the processor that a key event leads to, with its arguments. The names
// are the signals' names without their "sig_"/"sig" prefix.
struct KeySignal
{
    Q_GADGET
public:
    enum Name : uchar {
        // clang-format off
        KeyValueForTest, KeyBoradValue, OtherKeyBoradValue, WarrFreqMsg, Lock, UpdateLockState,
        FnTab, ChangeBank, BankPageUp, BankPageDown, Sync, BankSave, BankClear, ShortCut,
        ShortCutUp, ShortCutDown, ShortCutUserDefine, Black, TestPattern, ChangeOutput,
        OutputPageUp, OutputPageDown, OutputUser, AllOutPut, ClearOutput, CreatNewLayer,
        LayerPageUp, LayerPageDown, ChangeSelect, DeleteLayer, AllLayers, Maximize, SetScale,
        SetPos, SetCrop, LayerAttribute, ChangeInput, InputPageUp, InputPageDown, InputUser,
        DeleteNum, Tab, NumberKey, Enter, Rocker, DoTake, DoCut, MatchPGM, FreezePST, FreezePGM,
        Sel, Dimmer, Wipe, Mix, Container, Knob, Move,
        // clang-format on
    };
    Q_ENUM(Name)

    Name name;
    int args[3]; // LayerAttribute: the character of its one-letter text
};

// What key events change of the processor.
struct KeyState
{
    bool locked = false; // the keyboard lock: only the lock key acts
    bool groupKeyMode = false; // the group-key modifier is held
    bool keysBlocked = false; // the device key lock of some device types
};

// What one key event does: the signals to emit in order, whether it arms the key-rate
// guard, and whether the T-bar takes a reading.
struct KeyRoute
{
    KeyState state; // the state after the event
    bool groupKey = false; // the event went to the group-key handling
    bool armGuard = false; // start the key-rate guard
    bool tbar = false; // the T-bar takes tbarRaw
    int tbarRaw = 0;
    int count = 0;
    KeySignal emissions[5];

    void add(KeySignal::Name name, int a = 0, int b = 0, int c = 0)
    {
        emissions[count++] = KeySignal{name, {a, b, c}};
    }
};

// Turns key events (command 0xa0) into routes. Nothing here has effects: the caller
// emits, stores the state and drives the timers.
namespace KeyRouter {

struct Event
{
    int key; // 16-bit key value
    int dataA; // data byte A
    int dataB; // data byte B, the sub-command byte
};

struct Context
{
    bool guardArmed; // a guarded key came during the last 500 ms
    int deviceType;
    int keyboardVersion;
    const QMap<int, int> &keyMap; // the user's key remap
    KeyRemapCache *remapCache = nullptr; // the caller's flat copy of keyMap, if it keeps one
};

// The whole key event: keyboard lock, group-key modifier, then keyPress.
KeyRoute keyEvent(Event event, const KeyState &state, const Context &context);
// A key press past the lock and modifier: device key lock, key-rate guard, the direct
// keys of the version-2 layout, the remap and the key table.
KeyRoute keyPress(Event event, const KeyState &state, const Context &context);

const int TbarKey = 10;
const int FunctionTabKey = 87;

} // namespace KeyRouter

#endif // KEYROUTER_H
