// Least-squares numerics of the weights model: a small dense symmetric
// matrix and its solution by the Cholesky factorisation A = Uᵀ·U.
//
// Only the upper triangle of the matrix is filled and read. The factor is
// refused (the system is reported singular) as soon as a pivot is not
// clearly positive: d <= Eps * max(1, A(i,i)). The test is relative to the
// diagonal element, so rounding residues of a dependent column are caught
// as well as zero and negative pivots, and NaN fails it too. A solution that
// is not finite is likewise reported as no solution: floating-point errors
// never come back as silent infinities.
#pragma once

#include <vector>

#include "model/Utils.h"

namespace mivo {

// A square matrix of doubles, row-major, every element 0 after creation.
// Element access is range-checked (ERangeError).
class TMatrix {
public:
    TMatrix() = default;
    explicit TMatrix(int size);

    int Size() const noexcept { return size_; }
    double& operator()(int row, int column);
    double operator()(int row, int column) const;

private:
    std::size_t Offset(int row, int column) const;

    int size_ = 0;
    std::vector<double> data_;
};

// Factors the upper triangle of `a` (first `size` rows and columns) into
// the upper triangular `u` with a = uᵀ·u. False when a pivot is not clearly
// positive (see above); `u` is then only partly filled.
bool CholeskyFactor(const TMatrix& a, int size, TMatrix& u);

// Solves uᵀ·y = b for the first y.size() components (y keeps its length).
// A diagonal element within Eps of 0 gives the component 0.
void ForwardSubstitution(const TMatrix& u, const TFloatList& b, TFloatList& y);

// Solves u·x = y for the first x.size() components (x keeps its length).
// A diagonal element within Eps of 0 gives the component 0.
void BackSubstitution(const TMatrix& u, const TFloatList& y, TFloatList& x);

// Solves a·x = b, of size s = min(x.size(), b.size()); the matrix must have
// at least s rows. True when solved with a finite solution; on false `x`
// holds no meaningful values.
bool CholeskySolve(const TMatrix& a, TFloatList& x, const TFloatList& b);

}  // namespace mivo
