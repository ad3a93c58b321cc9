// Widths of report elements remembered while a formatter runs over its
// report, so that the layout may ask for a cell's width as often as it
// needs (column widths, column floors, chunks of columns, boxes built again
// during the page flow) and the cell is measured once. Outside a run
// nothing is remembered: the element tree may change between runs, and
// other formatters measure in other units.
//
// The widths live in a slot of the element itself (TWidthSlot), so that a
// lookup touches the element only; the cache keeps the slots it filled and
// empties them when it stops. The elements must outlive the build.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace mivo {

class TWidthCache;

// The widths an element keeps for the cache that measured it; empty while
// no cache remembers them.
class TWidthSlot {
public:
    TWidthSlot() = default;
    TWidthSlot(const TWidthSlot&) = delete;
    TWidthSlot& operator=(const TWidthSlot&) = delete;

private:
    friend class TWidthCache;
    const TWidthCache* owner_ = nullptr;
    std::uint8_t known_ = 0;  // a bit for each kind remembered
    std::array<std::int32_t, 3> widths_{};
};

class TWidthCache {
public:
    enum TKind { wkNatural, wkMinimum, wkWord };

    TWidthCache() = default;
    ~TWidthCache() { Stop(); }
    TWidthCache(const TWidthCache&) = delete;
    TWidthCache& operator=(const TWidthCache&) = delete;

    // The width remembered in the slot, or the one `measure` gives
    // (remembered while the cache is on).
    template <class TMeasureFn>
    std::int32_t Get(TWidthSlot& slot, TKind kind, TMeasureFn&& measure) {
        if (!on_) return measure();
        const auto bit = static_cast<std::uint8_t>(1u << kind);
        if (slot.owner_ == this && (slot.known_ & bit)) return slot.widths_[kind];
        const std::int32_t width = measure();
        if (slot.owner_ != this) {
            slot.owner_ = this;
            slot.known_ = 0;
            filled_.push_back(&slot);
        }
        slot.widths_[kind] = width;
        slot.known_ = static_cast<std::uint8_t>(slot.known_ | bit);
        return width;
    }
    // Remembers from now on.
    void Start() { on_ = true; }
    // Forgets everything and remembers nothing more.
    void Stop() {
        on_ = false;
        for (TWidthSlot* slot : filled_) slot->owner_ = nullptr;
        filled_ = {};
    }

    bool IsOn() const { return on_; }

    // Switched on for the lifetime of the scope; a scope inside another
    // leaves it to the outer one.
    class TScope {
    public:
        explicit TScope(TWidthCache& cache) : cache_(cache), outer_(cache.IsOn()) { cache_.Start(); }
        ~TScope() {
            if (!outer_) cache_.Stop();
        }
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

    private:
        TWidthCache& cache_;
        bool outer_;
    };

private:
    bool on_ = false;
    std::vector<TWidthSlot*> filled_;
};

}  // namespace mivo
