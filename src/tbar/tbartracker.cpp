#include "tbartracker.h"

namespace {

// A position this far from the last one waits for the check timer.
const qint64 JumpThreshold = 601;
const int AnnouncingConnectType = 1;

} // namespace

int TbarTracker::position(int raw, int min, int max)
{
    if (min >= raw)
        return 0;
    if (raw < max)
        return raw;
    return FullScale;
}

int TbarTracker::alpha(int position)
{
    const float fraction = static_cast<float>(position * 0.0009765625);
    return static_cast<int>(fraction * 128.0f);
}

void TbarTracker::calibrate(std::optional<int> max, std::optional<int> min)
{
    if (max)
        m_max = max;
    if (min)
        m_min = min;
}

TbarTracker::Reading TbarTracker::keyReading(int raw)
{
    const int reached = position(raw, min(), max());
    const int reachedAlpha = alpha(reached);
    if (reachedAlpha == m_alpha)
        return Reading::Unchanged;
    // In 64 bits: the position held may be any int.
    m_deferred = qAbs(qint64(m_takeNum) - reached) >= JumpThreshold;
    m_alpha = reachedAlpha;
    m_takeNum = reached;
    return m_deferred ? Reading::Deferred : Reading::Applied;
}

bool TbarTracker::checkTimeout(bool tbarProcess, int connectType)
{
    const bool waited = m_deferred;
    m_deferred = false;
    return waited && (tbarProcess || connectType == AnnouncingConnectType);
}

bool TbarTracker::channelValue(int value)
{
    if (value == m_takeNum)
        return false;
    m_takeNum = value;
    m_alpha = alpha(value);
    return true;
}
