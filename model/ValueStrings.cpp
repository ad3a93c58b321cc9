#include "model/ValueStrings.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "model/RunTime.h"

namespace mivo {

namespace {

// The sanitizers watch the heap; under them every block comes from it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapOnly = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kHeapOnly = true;
#else
constexpr bool kHeapOnly = false;
#endif
#else
constexpr bool kHeapOnly = false;
#endif

// Huge pages are 2 MB; blocks of at least one are mapped on their own,
// starting at a huge-page boundary. Only the whole huge pages of a block
// can be huge: the rest of it stays in small pages, so no block takes more
// memory than it asks for.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

bool IsMapped(std::size_t bytes) {
#if defined(__linux__)
    return !kHeapOnly && bytes >= kHugePage;
#else
    (void)bytes;
    return false;
#endif
}

#if defined(__linux__)
// The block's length in whole small pages.
std::size_t MappedLength(std::size_t bytes) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}
#endif

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
    if (!IsMapped(bytes)) return ::operator new(bytes);
#if defined(__linux__)
    // Mapped one huge page longer, then cut to start at a huge-page
    // boundary and end with the block.
    const std::size_t length = MappedLength(bytes);
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto first = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t last = first + length + kHugePage;
    const std::uintptr_t start = (first + kHugePage - 1) / kHugePage * kHugePage;
    if (start > first) ::munmap(mapped, start - first);
    if (last > start + length) ::munmap(reinterpret_cast<void*>(start + length), last - (start + length));
#if defined(MADV_HUGEPAGE)
    ::madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);  // a hint: without it, small pages
#endif
    return reinterpret_cast<void*>(start);
#endif
}

void AdviseHugePages(const void* data, std::size_t bytes) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (kHeapOnly || !data) return;
    const auto first = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t start = (first + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t end = (first + bytes) / kHugePage * kHugePage;
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
    if (!block) return;
    if (!IsMapped(bytes)) return ::operator delete(block);
#if defined(__linux__)
    ::munmap(block, MappedLength(bytes));
#endif
}

TValueStrings::TValueStrings(std::initializer_list<std::string_view> values) {
    reserve(values.size());
    for (std::string_view value : values) push_back(value);
}

TValueStrings::TValueStrings(const std::vector<std::string>& values) {
    reserve(values.size());
    for (const std::string& value : values) push_back(value);
}

std::vector<std::string> TValueStrings::ToVector() const {
    std::vector<std::string> out;
    out.reserve(size());
    for (std::string_view value : *this) out.emplace_back(value);
    return out;
}

std::size_t TValueStrings::LongIndex(const Slot& slot) {
    std::size_t index = Tag(slot) - kLongTag;
    for (int k = 2; k >= 0; --k) index = (index << 8) | static_cast<unsigned char>(slot.data[k]);
    return index;
}

TValueStrings::Slot TValueStrings::Storage::MakeLongSlot(std::string_view value) {
    Slot slot;
    // Copied first: the value may be a view into this very list.
    std::string text(value);
    std::size_t index = 0;
    if (!free_longs.empty()) {
        index = free_longs.back();
        long_values[index] = std::move(text);
        free_longs.pop_back();
    } else {
        if (long_values.size() >= kMaxLong) throw ERangeError();
        index = long_values.size();
        long_values.push_back(std::move(text));
    }
    for (int k = 0; k < 3; ++k) slot.data[k] = static_cast<char>((index >> (8 * k)) & 0xFF);
    slot.data[3] = static_cast<char>(kLongTag + (index >> 24));
    return slot;
}

void TValueStrings::Storage::Release(const Slot& slot) noexcept {
    if (!IsLong(slot)) return;
    const std::size_t index = LongIndex(slot);
    std::string().swap(long_values[index]);
    try {
        free_longs.push_back(index);
    } catch (...) {
        // Out of memory: the place stays unused, nothing is lost.
    }
}

void TValueStrings::Storage::ReleaseRange(std::size_t first, std::size_t last) noexcept {
    for (std::size_t i = first; i < last; ++i) Release(entries[i]);
}

TValueStrings::Storage& TValueStrings::Write() {
    if (!data_) data_ = std::make_shared<Storage>();
    else if (data_.use_count() > 1) data_ = std::make_shared<Storage>(*data_);
    return *data_;
}

std::string_view TValueStrings::Aside(std::size_t i) const { return data_->aside.at(i); }

void TValueStrings::Storage::Widen() {
    if (wide) return;
    TLargeVector<Slot> wide_slots;
    wide_slots.reserve(std::max(bytes.capacity(), bytes.size()));
    std::vector<std::string> wide_longs;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = bytes[i];
        if (byte == kEmpty) {
            wide_slots.push_back(Slot{});
        } else if (byte > kAside) {
            wide_slots.push_back(ShortSlot(std::string_view(reinterpret_cast<const char*>(&bytes[i]), 1)));
        } else {
            std::string& text = aside.at(i);
            if (text.size() <= MaxShortSize) {
                wide_slots.push_back(ShortSlot(text));
                continue;
            }
            // The side list grows from empty here: no place is free.
            const std::size_t index = wide_longs.size();
            if (index >= kMaxLong) throw ERangeError();
            Slot slot;
            for (int k = 0; k < 3; ++k) slot.data[k] = static_cast<char>((index >> (8 * k)) & 0xFF);
            slot.data[3] = static_cast<char>(kLongTag + (index >> 24));
            wide_longs.push_back(text);
            wide_slots.push_back(slot);
        }
    }
    entries.swap(wide_slots);
    long_values.swap(wide_longs);
    free_longs.clear();
    TLargeVector<unsigned char>().swap(bytes);
    aside.clear();
    wide = true;
}

void TValueStrings::Storage::ShiftAside(std::size_t from, std::ptrdiff_t delta) {
    if (aside.empty() || delta == 0) return;
    std::unordered_map<std::size_t, std::string> moved;
    moved.reserve(aside.size());
    for (auto& [index, text] : aside) {
        if (index < from) {
            moved.emplace(index, std::move(text));
        } else if (delta > 0 || index >= from + static_cast<std::size_t>(-delta)) {
            moved.emplace(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(index) + delta), std::move(text));
        }
    }
    aside.swap(moved);
}

void TValueStrings::SetSlow(std::size_t i, std::string_view value) {
    // A view into a storage about to be copied stays valid: the old
    // storage lives on in the other lists that share it. A view into this
    // very list is read before anything is changed.
    Storage& s = Write();
    if (!s.wide) {
        unsigned char& byte = s.bytes[i];
        if (IsNarrow(value)) {
            const unsigned char narrow = NarrowByte(value);
            if (byte == kAside) s.aside.erase(i);
            byte = narrow;
            return;
        }
        std::string text(value);
        if (byte == kAside || !s.WantsWide()) {
            s.aside.insert_or_assign(i, std::move(text));
            byte = kAside;
            return;
        }
        s.Widen();
        return SetSlow(i, text);
    }
    Slot& old = s.entries[i];
    if (IsLong(old) && value.size() > MaxShortSize) {
        // A long value over a long one keeps its place in the side list.
        s.long_values[LongIndex(old)] = std::string(value);
        return;
    }
    const Slot slot = s.MakeSlot(value);
    s.Release(old);
    old = slot;
}

void TValueStrings::PushBackSlow(std::string_view value) {
    Storage& s = Write();
    if (!s.wide) {
        if (IsNarrow(value)) {
            s.bytes.push_back(NarrowByte(value));
            return;
        }
        if (!s.WantsWide()) {
            const std::size_t index = s.bytes.size();
            s.aside.insert_or_assign(index, std::string(value));
            try {
                s.bytes.push_back(kAside);
            } catch (...) {
                s.aside.erase(index);
                throw;
            }
            return;
        }
        const std::string text(value);
        s.Widen();
        return PushBackSlow(text);
    }
    const Slot slot = s.MakeSlot(value);
    try {
        s.entries.push_back(slot);
    } catch (...) {
        s.Release(slot);
        throw;
    }
}

void TValueStrings::resize(std::size_t n) {
    if (n == size()) return;
    Storage& s = Write();
    if (!s.wide) {
        if (n < s.bytes.size()) std::erase_if(s.aside, [n](const auto& entry) { return entry.first >= n; });
        s.bytes.resize(n, kEmpty);
        return;
    }
    if (n < s.entries.size()) s.ReleaseRange(n, s.entries.size());
    s.entries.resize(n);
}

void TValueStrings::reserve(std::size_t n) {
    if (n <= size()) return;
    Storage& s = Write();
    if (s.wide) s.entries.reserve(n);
    else s.bytes.reserve(n);
}

void TValueStrings::insert(std::size_t i, std::string_view value) {
    CheckIndex(i, size() + 1);
    Storage& s = Write();
    if (!s.wide) {
        const std::string text(value);
        s.bytes.insert(s.bytes.begin() + static_cast<std::ptrdiff_t>(i), kEmpty);
        s.ShiftAside(i, 1);
        return SetSlow(i, text);
    }
    const Slot slot = s.MakeSlot(value);
    try {
        s.entries.insert(s.entries.begin() + static_cast<std::ptrdiff_t>(i), slot);
    } catch (...) {
        s.Release(slot);
        throw;
    }
}

void TValueStrings::erase(std::size_t i) {
    CheckIndex(i, size());
    erase(i, i + 1);
}

void TValueStrings::erase(std::size_t first, std::size_t last) {
    if (first > last || last > size()) throw ERangeError();
    if (first == last) return;
    Storage& s = Write();
    if (!s.wide) {
        s.bytes.erase(s.bytes.begin() + static_cast<std::ptrdiff_t>(first),
                      s.bytes.begin() + static_cast<std::ptrdiff_t>(last));
        s.ShiftAside(first, -static_cast<std::ptrdiff_t>(last - first));
        return;
    }
    s.ReleaseRange(first, last);
    s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(first),
                  s.entries.begin() + static_cast<std::ptrdiff_t>(last));
}

void TValueStrings::SwapEntries(std::size_t a, std::size_t b) {
    CheckIndex(a, size());
    CheckIndex(b, size());
    if (a == b) return;
    Storage& s = Write();
    if (s.wide) return std::swap(s.entries[a], s.entries[b]);
    std::swap(s.bytes[a], s.bytes[b]);
    auto at_a = s.aside.extract(a);
    auto at_b = s.aside.extract(b);
    if (at_a) {
        at_a.key() = b;
        s.aside.insert(std::move(at_a));
    }
    if (at_b) {
        at_b.key() = a;
        s.aside.insert(std::move(at_b));
    }
}

bool operator==(const TValueStrings& a, const TValueStrings& b) {
    if (a.size() != b.size()) return false;
    if (a.data_ == b.data_) return true;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a.Get(i) != b.Get(i)) return false;
    return true;
}

bool operator==(const TValueStrings& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a.Get(i) != b[i]) return false;
    return true;
}

}  // namespace mivo
