// Creating and destroying many model objects: the registry must stay linear
// in the number of objects, whatever the order of destruction.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/MivoObject.h"
#include "model/MivoScale.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Run(int n, const char* order) {
    auto start = Clock::now();
    std::vector<std::unique_ptr<mivo::TMivoScaleValue>> values;
    values.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) values.push_back(mivo::CreateScaleValue("v", ""));
    double created = Seconds(start);
    start = Clock::now();
    if (order[0] == 'f') {
        for (auto& value : values) value.reset();
    } else if (order[0] == 'l') {
        for (auto it = values.rbegin(); it != values.rend(); ++it) it->reset();
    } else {
        for (std::size_t i = 0; i < values.size(); i += 2) values[i].reset();
        for (std::size_t i = 1; i < values.size(); i += 2) values[i].reset();
    }
    std::printf("%8d objects, destroyed %-11s create %.3fs destroy %.3fs\n", n, order, created, Seconds(start));
}

void RunOwningList(int n) {
    auto start = Clock::now();
    {
        mivo::TMivoScaleValueList list;
        for (int i = 0; i < n; ++i) list.Add(new mivo::TMivoScaleValue("v", ""));
    }
    std::printf("%8d objects in an owning list, fill and destroy %.3fs\n", n, Seconds(start));
}

}  // namespace

int main() {
    for (int n : {100000, 1000000}) {
        Run(n, "first-first");
        Run(n, "last-first");
        Run(n, "interleaved");
        RunOwningList(n);
    }
    return 0;
}
