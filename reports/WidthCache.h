// Widths of report elements remembered while a formatter builds the box
// tree of its report, so that the layout may ask for a cell's width as
// often as it needs (column widths, column floors, chunks of columns) and
// the cell is measured once. Outside that build nothing is remembered: the
// element tree may change between runs, and other formatters measure in
// other units.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace mivo {

class TRpt;

class TWidthCache {
public:
    enum TKind { wkNatural, wkMinimum, wkWord };

    // The width remembered for the element, or the one `measure` gives
    // (remembered while the cache is on).
    template <class TMeasureFn>
    std::int32_t Get(const TRpt& element, TKind kind, TMeasureFn&& measure) {
        if (!on_) return measure();
        auto& widths = widths_[kind];
        if (auto it = widths.find(&element); it != widths.end()) return it->second;
        const std::int32_t width = measure();
        widths.emplace(&element, width);
        return width;
    }

    // Remembers from now on.
    void Start() { on_ = true; }
    // Forgets everything and remembers nothing more.
    void Stop() {
        on_ = false;
        for (auto& widths : widths_) widths = {};
    }

    // Switched on for the lifetime of the scope.
    class TScope {
    public:
        explicit TScope(TWidthCache& cache) : cache_(cache) { cache_.Start(); }
        ~TScope() { cache_.Stop(); }
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

    private:
        TWidthCache& cache_;
    };

private:
    bool on_ = false;
    std::unordered_map<const TRpt*, std::int32_t> widths_[3];
};

}  // namespace mivo
