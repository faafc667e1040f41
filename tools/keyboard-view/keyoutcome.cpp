#include "keyoutcome.h"

#include "keynames.h"

#include <QtCore/QStringList>

#include <algorithm>

namespace {

const int LockKey = 65;
const int FnKey = 83;
const int FnHeld = 5; // data byte B of the FN key while it is held
const int FunctionTabKey = 87;
const int DeviceLockKey = 214;
const int TbarKey = 10;

using Emissions = QVector<KeyOutcome::Emission>;

const KeyOutcome::Emission *find(const Emissions &emissions, const char *signal)
{
    const auto found
            = std::find_if(emissions.begin(), emissions.end(),
                           [signal](const KeyOutcome::Emission &e) { return e.signal == signal; });
    return found == emissions.end() ? nullptr : &*found;
}

// A key past the lock and the modifier: the device key lock, the key-rate guard, the
// remap and the key's action.
QString pastModifiers(const KeyOutcome::Event &event, const Emissions &emissions,
                      KeyOutcome::State &state)
{
    const QString key = KeyNames::described(event.key);
    // Only the device key lock leaves such a key without any signal; the T-bar passes it.
    if (event.key != TbarKey)
        state.deviceLock = emissions.isEmpty();
    if (emissions.isEmpty()) {
        if (event.key == DeviceLockKey)
            return QStringLiteral("%1 set the device key lock: every key but the T-bar is "
                                  "dropped until it is pressed again")
                    .arg(key);
        return QStringLiteral("%1 dropped: the device key lock is on (%2 releases it)")
                .arg(key, KeyNames::described(DeviceLockKey));
    }
    QStringList notices;
    if (find(emissions, "sig_warrFreqMsg"))
        notices << QStringLiteral("%1 came within 500 ms of a guarded key: the key-rate guard "
                                  "warned (sig_warrFreqMsg) and the key still acted")
                           .arg(key);
    const KeyOutcome::Emission *value = find(emissions, "sig_keyBoradValue");
    const bool remapped = value && value->argument != event.key;
    const bool noAction = value && value == &emissions.constLast();
    if (remapped)
        notices << QStringLiteral("%1 acts as %2 (remapped)%3")
                           .arg(key, KeyNames::described(value->argument),
                                noAction ? QStringLiteral(", which has no action") : QString());
    else if (noAction)
        notices << QStringLiteral("%1 has no action").arg(key);
    else if (!find(emissions, "sigKeyValueForTest") && event.remapped)
        notices << QStringLiteral("%1 acted as a direct key of the version-2 layout, which its "
                                  "remap does not reach")
                           .arg(key);
    else if (!value && !find(emissions, "sig_changeAlpha") && find(emissions, "sigKeyValueForTest"))
        notices << QStringLiteral("%1: no T-bar change announced (the same alpha as before, or a "
                                  "jump of 601 or more held back for 120 ms)")
                           .arg(key);
    return notices.join(QStringLiteral("; "));
}

} // namespace

KeyOutcome KeyOutcome::judge(const Event &event, const QVector<Emission> &emissions,
                             const State &before)
{
    KeyOutcome outcome;
    outcome.state = before;
    State &state = outcome.state;
    const QString key = KeyNames::described(event.key);
    if (find(emissions, "sig_lock")) {
        state.locked = !before.locked;
    } else if (find(emissions, "sig_updateLockState")) {
        state.locked = true;
        outcome.notice = QStringLiteral("%1 refused: the keyboard is locked (%2 unlocks it)")
                                 .arg(key, KeyNames::described(LockKey));
    } else if (event.key == FnKey) {
        state.fnHeld = event.dataB == FnHeld;
    } else if (before.fnHeld) {
        if (event.key != FunctionTabKey)
            outcome.notice = QStringLiteral("%1 ignored: FN is held, only %2 acts (%3 again "
                                            "releases it)")
                                     .arg(key, KeyNames::described(FunctionTabKey),
                                          KeyNames::described(FnKey));
    } else {
        outcome.notice = pastModifiers(event, emissions, state);
    }
    return outcome;
}
