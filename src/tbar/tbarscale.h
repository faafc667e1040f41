#ifndef TBARSCALE_H
#define TBARSCALE_H

// The T-bar's position scale (0..1024 between the calibration limits) and the alpha
// (0..128) derived from a position.
namespace TbarScale {

const int FullScale = 1024;

// 0 up to and including min, the raw value between the limits, FullScale from max up.
int position(int raw, int min, int max);

// position / 8 for positions 0..1024, computed the way the take handling expects.
int alpha(int position);

} // namespace TbarScale

#endif // TBARSCALE_H
