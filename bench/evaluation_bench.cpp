// Evaluating many options: the cost per option must not grow with the
// number of rules of the tables (matching rules are found directly).
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::unique_ptr<mivo::TMivoDiscreteScale> MakeScale(int size) {
    auto scale = std::make_unique<mivo::TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

// One aggregate over `inputs` basic attributes of `size` values each, with
// `options` options of single values (and every 10th a set of two).
void Run(int inputs, int size, int options) {
    mivo::TMivoAttribute root("Root");
    auto* top = root.AddInput(std::make_unique<mivo::TMivoAttribute>("top"));
    top->SetScale(MakeScale(5));
    std::mt19937 rng(1);
    for (int k = 0; k < inputs; ++k) {
        auto input = std::make_unique<mivo::TMivoAttribute>("in" + std::to_string(k));
        input->SetScale(MakeScale(size));
        std::vector<std::string> values(static_cast<std::size_t>(options));
        for (int o = 0; o < options; ++o) {
            std::string v(1, mivo::ValueChar(static_cast<int>(rng() % static_cast<unsigned>(size))));
            if (o % 10 == 0) v += mivo::ValueChar(static_cast<int>(rng() % static_cast<unsigned>(size)));
            values[static_cast<std::size_t>(o)] = v;
        }
        input->SetValues(mivo::TValueStrings(values));
        top->AddInput(std::move(input));
    }
    auto start = Clock::now();
    mivo::TMivoFunction* f = top->CreateFunction();
    for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, static_cast<int>(rng() % 5));
    const double built = Seconds(start);
    start = Clock::now();
    root.EvaluateAll(options);
    std::printf("%d inputs x %d values (%7d rules), %7d options: build %.3fs, evaluate %.3fs\n", inputs, size,
                f->RuleCount(), options, built, Seconds(start));
}

}  // namespace

int main() {
    Run(3, 5, 1000000);
    Run(4, 10, 1000000);
    Run(4, 32, 1000000);
    return 0;
}
