// Decision tables: weights of the inputs estimated by least squares, and
// the linear model that fills not-entered rules from required weights.
//
// Floating-point errors are never silent: an unsolvable or non-finite
// least-squares system gives zero weights, and a fit that cannot be
// computed is recorded as failed (ModelState -1, UseWeights off).
#include <algorithm>
#include <cmath>

#include "model/Cholesky.h"
#include "model/LinearFit.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoUtl.h"

namespace mivo {

namespace {

// Midpoint of a rule's result interval.
double MidValue(const TMivoFunction& funct, int rule) {
    return (static_cast<double>(funct.RuleLow(rule)) + static_cast<double>(funct.RuleHigh(rule))) / 2.0;
}

bool Used(const TMivoFunction& funct, int rule, bool allRules) { return allRules || funct.RuleEntered(rule); }

// Weights that sum to 100, one per input, all equal.
TFloatList EqualWeights(int n) {
    TFloatList weights(static_cast<std::size_t>(n), 1.0);
    NormalizeSum(weights, 100.0);
    return weights;
}

}  // namespace

void TMivoFunction::ComputeWeights(bool allRules) {
    const int n = ArgCount();
    const std::size_t unknowns = static_cast<std::size_t>(n) + 1;

    // Normal equations of mid(r) ≈ w(0)·x(0,r) + ... + w(n-1)·x(n-1,r) + w(n);
    // only the upper triangle is filled. The constant term is column n.
    TMatrix normal(n + 1);
    TFloatList rightSide(unknowns, 0.0);
    std::vector<double> x(unknowns, 1.0);
    for (int r = 0; r < RuleCount(); ++r) {
        if (!Used(*this, r, allRules)) continue;
        for (int k = 0; k < n; ++k) x[static_cast<std::size_t>(k)] = ArgValue(k, r);
        const double mid = MidValue(*this, r);
        for (int i = 0; i <= n; ++i) {
            const double xi = x[static_cast<std::size_t>(i)];
            for (int j = i; j <= n; ++j) normal(i, j) += xi * x[static_cast<std::size_t>(j)];
            rightSide[static_cast<std::size_t>(i)] += mid * xi;
        }
    }

    TFloatList w(unknowns, 0.0);
    if (!CholeskySolve(normal, w, rightSide)) {
        std::fill(ActualWeights.begin(), ActualWeights.end(), 0.0);
        std::fill(NormWeights.begin(), NormWeights.end(), 0.0);
        return;
    }
    ActualWeights.assign(static_cast<std::size_t>(n), 0.0);
    NormWeights.assign(static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < n; ++k) {
        const double weight = std::fabs(w[static_cast<std::size_t>(k)]);
        const double norm = weight * static_cast<double>(attribute_->Inputs(k)->ScaleSize());
        ActualWeights[static_cast<std::size_t>(k)] = weight;
        NormWeights[static_cast<std::size_t>(k)] = std::isfinite(norm) ? norm : 0.0;
    }
    NormalizeSum(ActualWeights, 100.0);
    NormalizeSum(NormWeights, 100.0);
}

void TMivoFunction::FitLinearModel(bool allRules) {
    const int n = ArgCount();
    if (RequiredWeights.size() != static_cast<std::size_t>(n)) RequiredWeights = EqualWeights(n);

    TFloatList h, mid;
    for (int r = 0; r < RuleCount(); ++r) {
        if (!Used(*this, r, allRules)) continue;
        double sum = 0;
        for (int k = 0; k < n; ++k) sum += ArgValue(k, r) * RequiredWeights[static_cast<std::size_t>(k)];
        h.push_back(sum);
        mid.push_back(MidValue(*this, r));
    }

    if (const auto fit = FitLine(h, mid)) {
        K = fit->K;
        C = fit->C;
        ModelState = 1;
    } else {
        // No used rule, every used rule with the same weighted sum, or a
        // value that is not finite: the fit fails and weights go off.
        K = 0;
        C = 0;
        ModelState = -1;
        UseWeights = false;
    }
    fit_current_ = ModelState == 1;
    fit_all_rules_ = allRules;
    fit_weights_ = RequiredWeights;
}

bool TMivoFunction::HasCurrentFit() const { return fit_current_ && fit_weights_ == RequiredWeights; }

double TMivoFunction::LinearValue(int rule) const {
    // Inputs beyond the required weights (a list of the wrong length, as
    // read from a file) contribute nothing.
    const int n = std::min(ArgCount(), static_cast<int>(RequiredWeights.size()));
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += ArgValue(k, rule) * RequiredWeights[static_cast<std::size_t>(k)];
    return K * sum + C;
}

int TMivoFunction::RoundedValue(int rule) const { return RoundToScale(LinearValue(rule), Rounding, OutputSize()); }

void TMivoFunction::FillFromWeights(bool keepInside) {
    if (!UseWeights) return;
    const int top = std::max(OutputSize() - 1, 0);
    for (int r = 0; r < RuleCount(); ++r) {
        if (RuleEntered(r)) continue;
        const int low = keepInside ? RuleLow(r) : 0;
        const int high = keepInside ? RuleHigh(r) : top;
        SetRuleValue(r, std::min(std::max(RoundedValue(r), low), high));
    }
}

}  // namespace mivo
