#include "model/ValueStrings.h"

#include <utility>

#include "model/RunTime.h"

namespace mivo {

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

void TValueStrings::Set(std::size_t i, std::string_view value) {
    CheckIndex(i, size());
    // A view into a storage about to be copied stays valid: the old
    // storage lives on in the other lists that share it.
    Storage& s = Write();
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

void TValueStrings::push_back(std::string_view value) {
    Storage& s = Write();
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
    if (n < s.entries.size()) s.ReleaseRange(n, s.entries.size());
    s.entries.resize(n);
}

void TValueStrings::reserve(std::size_t n) {
    if (n <= size()) return;
    Write().entries.reserve(n);
}

void TValueStrings::insert(std::size_t i, std::string_view value) {
    CheckIndex(i, size() + 1);
    Storage& s = Write();
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
    s.ReleaseRange(first, last);
    s.entries.erase(s.entries.begin() + static_cast<std::ptrdiff_t>(first),
                  s.entries.begin() + static_cast<std::ptrdiff_t>(last));
}

void TValueStrings::SwapEntries(std::size_t a, std::size_t b) {
    CheckIndex(a, size());
    CheckIndex(b, size());
    if (a == b) return;
    Storage& s = Write();
    std::swap(s.entries[a], s.entries[b]);
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
