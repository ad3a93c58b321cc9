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

}  // namespace mivo
