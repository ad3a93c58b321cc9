// Compact rules for the function report: one search per output value over
// tables of about the model window's largest size (1000 rules). Without
// remembering explored boxes these searches grow exponentially with the
// number of inputs and values.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "model/CompactRules.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::unique_ptr<mivo::TMivoDiscreteScale> MakeScale(int size) {
    auto scale = std::make_unique<mivo::TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue("v" + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

// A monotone table: the result grows with the sum of the input values; with
// `wide` every third rule gets an interval of two values.
void Run(int inputs, int size, int outputs, bool wide) {
    mivo::TMivoAttribute top("top");
    top.SetScale(MakeScale(outputs));
    for (int k = 0; k < inputs; ++k) {
        auto input = std::make_unique<mivo::TMivoAttribute>("in" + std::to_string(k));
        input->SetScale(MakeScale(size));
        top.AddInput(std::move(input));
    }
    mivo::TMivoFunction* f = top.CreateFunction();
    const int max_sum = inputs * (size - 1);
    for (int r = 0; r < f->RuleCount(); ++r) {
        int sum = 0;
        for (int k = 0; k < inputs; ++k) sum += f->ArgValue(k, r);
        const int value = sum * (outputs - 1) / max_sum;
        f->SetRuleValue(r, value);
        if (wide && r % 3 == 0 && value + 1 < outputs) f->SetRuleHigh(r, value + 1);
        f->SetRuleEntered(r, true);
    }
    const mivo::TMivoSettings settings;
    const auto start = Clock::now();
    std::size_t boxes = 0;
    for (int v = 0; v < outputs; ++v) boxes += mivo::CompactRules(*f, v, settings).size();
    std::printf("%d inputs x %2d values (%5d rules), %d outputs%s: %6zu boxes in %.3fs\n", inputs, size,
                f->RuleCount(), outputs, wide ? ", intervals" : "          ", boxes, Seconds(start));
}

}  // namespace

int main() {
    for (bool wide : {false, true}) {
        Run(3, 10, 5, wide);
        Run(4, 6, 5, wide);
        Run(5, 4, 4, wide);
        Run(6, 3, 3, wide);
        Run(10, 2, 3, wide);
    }
}
