// Tolerant floating-point equality and normalisation of weight lists.
#pragma once

#include "model/Utils.h"

namespace mivo {

// The one floating-point tolerance of the system.
inline constexpr double Eps = 1e-12;

// True when |a - b| < Eps (absolute tolerance).
bool SameValue(double a, double b);

// Scales the list so that it sums to `total`; unchanged when the sum is 0.
void NormalizeSum(TFloatList& list, double total);

// Scales the list so that its (signed) maximum equals `top`; unchanged when
// the list is empty or its maximum is 0.
void NormalizeMax(TFloatList& list, double top);

// x rounded to the nearest integer, an exact half to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). The result stays a double, so every
// finite value rounds without overflow; NaN and infinities come back as
// they are, and a result of zero is never negative.
double RoundHalfEven(double x);

// RoundHalfEven(x) held within lo..hi (lo <= hi): a value beyond either end
// gives that end, NaN gives lo.
int RoundClamped(double x, int lo, int hi);

}  // namespace mivo
