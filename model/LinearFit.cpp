#include "model/LinearFit.h"

#include <algorithm>
#include <cmath>

#include "model/MivoUtl.h"

namespace mivo {

namespace {

double Mean(const TFloatList& list) {
    double sum = 0;
    for (double v : list) sum += v;
    return sum / static_cast<double>(list.size());
}

}  // namespace

std::optional<TLineFit> FitLine(const TFloatList& h, const TFloatList& y) {
    if (h.empty() || h.size() != y.size()) return std::nullopt;
    for (std::size_t i = 0; i < h.size(); ++i)
        if (!std::isfinite(h[i]) || !std::isfinite(y[i])) return std::nullopt;

    // Centred sums, taken about the first point first: when every h is the
    // same up to rounding, the deviations are then pure rounding residues
    // whatever the number of points.
    TFloatList dh(h.size()), dy(y.size());
    for (std::size_t i = 0; i < h.size(); ++i) {
        dh[i] = h[i] - h[0];
        dy[i] = y[i] - y[0];
    }
    const double dhMean = Mean(dh);
    const double dyMean = Mean(dy);
    double sxx = 0, sxy = 0, shh = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
        const double ch = dh[i] - dhMean;
        sxx += ch * ch;
        sxy += ch * (dy[i] - dyMean);
        shh += h[i] * h[i];
    }
    // The spread of h (its root mean square deviation) must exceed Eps times
    // its magnitude (its root mean square). Written as "not greater" so that
    // an overflowed sum fails as well.
    if (!std::isfinite(shh) || !(sxx > Eps * Eps * shh)) return std::nullopt;

    const double hMean = h[0] + dhMean;
    const double yMean = y[0] + dyMean;
    TLineFit fit;
    fit.K = sxy / sxx;
    fit.C = yMean - fit.K * hMean;
    if (!std::isfinite(fit.K) || !std::isfinite(fit.C)) return std::nullopt;
    return fit;
}

int RoundToScale(double value, int rounding, int size) {
    if (size < 1 || std::isnan(value)) return 0;
    const double high = static_cast<double>(size - 1);
    // Clamp first: the rounded value then always fits the scale and an int.
    const double shifted = std::clamp(value + static_cast<double>(rounding) * Eps, -1.0, high + 1.0);
    const double rounded = RoundHalfEven(shifted);
    return static_cast<int>(std::clamp(rounded, 0.0, high));
}

}  // namespace mivo
