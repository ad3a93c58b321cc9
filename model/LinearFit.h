// The straight-line fit and the rounding behind the linear weights model.
//
// Floating-point errors are failures here, never silent infinities: a fit
// whose data or result is not finite, or whose slope is undetermined, is
// reported as no fit, and rounding clamps in floating point before it
// converts, so no value outside the scale or the integer range comes back.
#pragma once

#include <optional>

#include "model/Utils.h"

namespace mivo {

// Slope and intercept of y ≈ K·h + C.
struct TLineFit {
    double K = 0;
    double C = 0;
};

// Least-squares line through the points (h[i], y[i]), computed from centred
// sums. No fit when the lists differ in length or are empty, when a value or
// the result is not finite, or when the spread of h vanishes relative to its
// magnitude, Σ(h - mean h)² <= Eps²·Σh² (every h the same, up to rounding).
std::optional<TLineFit> FitLine(const TFloatList& h, const TFloatList& y);

// The value index nearest to `value` on a scale of `size` values: value +
// rounding·Eps rounded to the nearest integer, an exact half to the even
// neighbour, clamped to 0..size-1 (0 when the scale has fewer than one
// value or the value is NaN). A negative `rounding` thus turns a half
// downwards, a positive one upwards.
int RoundToScale(double value, int rounding, int size);

}  // namespace mivo
