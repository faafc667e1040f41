#ifndef TBARTRACKER_H
#define TBARTRACKER_H

#include <QtCore/QtGlobal>

#include <optional>

// The T-bar as one process knows it: the calibration limits, the last accepted position
// (0..1024) and its alpha (0..128), and whether a large jump waits for the check timer.
// Positions from other processes and from QML may be any int; the arithmetic stays
// defined for all of them.
class TbarTracker
{
public:
    // Clamps a raw reading: 0 up to and including min, the reading between the limits,
    // FullScale from max up.
    static int position(int raw, int min, int max);
    // position / 8 for positions 0..1024, computed the way the take handling expects.
    static int alpha(int position);

    enum : int { FullScale = 1024, DefaultMin = 0, DefaultMax = FullScale };

    // Takes the limits the calibration file holds. A limit once read stays, also when a
    // later read finds it missing.
    void calibrate(std::optional<int> max, std::optional<int> min);
    int max() const { return m_max.value_or(DefaultMax); }
    int min() const { return m_min.value_or(DefaultMin); }

    enum class Reading {
        Unchanged, // same alpha as before: nothing happens
        Deferred, // a large jump, stored; the check timer applies it
        Applied // stored and to be applied now
    };
    // A reading of the T-bar key. Any earlier deferred jump is dropped.
    Reading keyReading(int raw);
    // The check timer's turn: true when a deferred jump waited and is to be announced
    // now, which only the T-bar process or a keyboard of connect type 1 does. The jump
    // no longer waits either way.
    bool checkTimeout(bool tbarProcess, int connectType);
    // A position another process wrote: false when it is the one already held.
    bool channelValue(int value);

    int takeNum() const { return m_takeNum; }
    void setTakeNum(int value) { m_takeNum = value; }
    int alphaValue() const { return m_alpha; }
    bool deferred() const { return m_deferred; }

private:
    std::optional<int> m_max;
    std::optional<int> m_min;
    int m_alpha = -1;
    int m_takeNum = -1;
    bool m_deferred = false;
};

#endif // TBARTRACKER_H
