#include "model/Cholesky.h"

#include <algorithm>
#include <cmath>

#include "model/MivoUtl.h"
#include "model/RunTime.h"

namespace mivo {

TMatrix::TMatrix(int size)
    : size_(CheckedCast<int>(std::max(size, 0))),
      data_(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_), 0.0) {}

std::size_t TMatrix::Offset(int row, int column) const {
    CheckIndex(row, size_);
    CheckIndex(column, size_);
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(size_) +
           static_cast<std::size_t>(column);
}

double& TMatrix::operator()(int row, int column) { return data_[Offset(row, column)]; }

double TMatrix::operator()(int row, int column) const { return data_[Offset(row, column)]; }

namespace {

// A diagonal element too close to 0 to divide by.
bool NearZero(double d) { return std::fabs(d) < Eps; }

bool AllFinite(const TFloatList& list) {
    return std::all_of(list.begin(), list.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

bool CholeskyFactor(const TMatrix& a, int size, TMatrix& u) {
    u = TMatrix(size);
    for (int i = 0; i < size; ++i) {
        double d = a(i, i);
        for (int k = 0; k < i; ++k) d -= u(k, i) * u(k, i);
        // Written as "not greater" so that NaN is refused as well.
        if (!(d > Eps * std::max(1.0, a(i, i)))) return false;
        const double pivot = std::sqrt(d);
        u(i, i) = pivot;
        for (int j = i + 1; j < size; ++j) {
            double s = a(i, j);
            for (int k = 0; k < i; ++k) s -= u(k, i) * u(k, j);
            u(i, j) = s / pivot;
        }
    }
    return true;
}

void ForwardSubstitution(const TMatrix& u, const TFloatList& b, TFloatList& y) {
    const int size = CheckedCast<int>(y.size());
    for (int i = 0; i < size; ++i) {
        double s = At(b, i);
        for (int k = 0; k < i; ++k) s -= u(k, i) * y[static_cast<std::size_t>(k)];
        const double diagonal = u(i, i);
        y[static_cast<std::size_t>(i)] = NearZero(diagonal) ? 0.0 : s / diagonal;
    }
}

void BackSubstitution(const TMatrix& u, const TFloatList& y, TFloatList& x) {
    const int size = CheckedCast<int>(x.size());
    for (int i = size - 1; i >= 0; --i) {
        double s = At(y, i);
        for (int k = i + 1; k < size; ++k) s -= u(i, k) * x[static_cast<std::size_t>(k)];
        const double diagonal = u(i, i);
        x[static_cast<std::size_t>(i)] = NearZero(diagonal) ? 0.0 : s / diagonal;
    }
}

bool CholeskySolve(const TMatrix& a, TFloatList& x, const TFloatList& b) {
    const std::size_t size = std::min(x.size(), b.size());
    const int s = CheckedCast<int>(size);
    if (a.Size() < s) throw ERangeError();
    TMatrix u;
    if (!CholeskyFactor(a, s, u)) return false;
    TFloatList y(size, 0.0);
    ForwardSubstitution(u, b, y);
    TFloatList solution(size, 0.0);
    BackSubstitution(u, y, solution);
    if (!AllFinite(solution)) return false;
    std::copy(solution.begin(), solution.end(), x.begin());
    return true;
}

}  // namespace mivo
