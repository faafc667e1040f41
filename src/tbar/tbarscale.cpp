#include "tbarscale.h"

int TbarScale::position(int raw, int min, int max)
{
    if (min >= raw)
        return 0;
    if (raw < max)
        return raw;
    return FullScale;
}

int TbarScale::alpha(int position)
{
    const float fraction = static_cast<float>(position * 0.0009765625);
    return static_cast<int>(fraction * 128.0f);
}
