#include "model/MivoUtl.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mivo {

bool SameValue(double a, double b) { return std::fabs(a - b) < Eps; }

void NormalizeSum(TFloatList& list, double total) {
    double sum = std::accumulate(list.begin(), list.end(), 0.0);
    if (SameValue(sum, 0.0)) return;
    for (double& x : list) x = x * total / sum;
}

void NormalizeMax(TFloatList& list, double top) {
    if (list.empty()) return;
    double maximum = *std::max_element(list.begin(), list.end());
    if (SameValue(maximum, 0.0)) return;
    for (double& x : list) x = x * top / maximum;
}

double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    double rounded = std::floor(x);
    const double fraction = x - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
    return rounded + 0.0;  // -0.0 becomes 0.0
}

int RoundClamped(double x, int lo, int hi) {
    if (std::isnan(x)) return lo;
    const double rounded = RoundHalfEven(x);
    if (rounded <= lo) return lo;
    if (rounded >= hi) return hi;
    return static_cast<int>(rounded);
}

}  // namespace mivo
