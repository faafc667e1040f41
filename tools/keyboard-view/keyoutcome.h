#ifndef KEYOUTCOME_H
#define KEYOUTCOME_H

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QVector>

// What one key event came to, judged from the signals the processor emitted for it:
// the state a person needs to see (the lock, the FN modifier, the device key lock) and
// a notice when the key did nothing, or something else than its own action.
struct KeyOutcome
{
    struct State
    {
        bool locked = false;
        bool fnHeld = false;
        bool deviceLock = false; // the device key lock of some device types drops keys
    };
    struct Event
    {
        int key;
        int dataB; // the sub-command byte: the FN key's state
        bool remapped; // the remap table names another key for it
    };
    struct Emission
    {
        QByteArray signal;
        int argument; // the first, when it is an int
    };

    static KeyOutcome judge(const Event &event, const QVector<Emission> &emissions,
                            const State &before);

    State state;
    QString notice; // empty when the key did what its own action says
};

#endif // KEYOUTCOME_H
