// A compact list of value strings: the option values of an attribute and
// the cells of an option-data row.
//
// Nearly every value string is a single value (one byte), "*" or empty, so
// a list starts narrow: one byte per entry, the byte of a one-byte string
// itself, 0 for the empty string and 1 for any other string, which is kept
// aside by its index. A million entries cost 1 MB, not the 32 MB of a
// vector of std::string. Once strings kept aside grow common (more than
// one entry in sixteen), the list turns wide for good: one 4-byte slot per
// entry, up to three bytes of text and a tag byte with their number, a
// longer string going to a side list whose places are reused, so that it
// never outgrows the long strings actually held.
//
// Copies share their entries until one of them is changed, so handing a
// whole list from the option table to an attribute and back costs nothing.
//
// Entries are read as std::string_view: a view stays valid until the list
// is next changed. Operations follow std::vector, taking and yielding
// string views; indices outside the list raise ERangeError ("Range check
// error").
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/RunTime.h"

namespace mivo {

// Memory for large arrays: the entries of long value lists and the big
// arrays of the option-data table. A block of a few megabytes or more is
// mapped from the system on its own, in huge pages where the system has
// them, so that filling a list of a million values does not stop at every
// fourth kilobyte to map another page; smaller blocks come from the heap.
// `bytes` must be the same in both calls.
void* AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;
// Asks the same for the whole huge pages within a large array allocated
// elsewhere (a hint: nothing changes where the system has no huge pages).
void AdviseHugePages(const void* data, std::size_t bytes) noexcept;

template <typename T>
struct TLargeBlockAllocator {
    using value_type = T;

    TLargeBlockAllocator() = default;
    template <typename U>
    TLargeBlockAllocator(const TLargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLargeBlock(n * sizeof(T)));
    }
    void deallocate(T* block, std::size_t n) noexcept { FreeLargeBlock(block, n * sizeof(T)); }

    friend bool operator==(const TLargeBlockAllocator&, const TLargeBlockAllocator&) { return true; }
};

// A vector whose storage comes from large blocks when it is large.
template <typename T>
using TLargeVector = std::vector<T, TLargeBlockAllocator<T>>;

class TValueStrings {
public:
    // Steps through the entries, yielding each as a view.
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return list_->Get(index_); }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++index_;
            return old;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.list_ == b.list_ && a.index_ == b.index_;
        }

    private:
        friend class TValueStrings;
        const_iterator(const TValueStrings* list, std::size_t index) : list_(list), index_(index) {}
        const TValueStrings* list_ = nullptr;
        std::size_t index_ = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    // Longest string held inside its slot.
    static constexpr std::size_t MaxShortSize = 3;

    TValueStrings() = default;
    TValueStrings(std::initializer_list<std::string_view> values);
    explicit TValueStrings(const std::vector<std::string>& values);

    std::vector<std::string> ToVector() const;

    std::size_t size() const { return !data_ ? 0 : data_->wide ? data_->entries.size() : data_->bytes.size(); }
    bool empty() const { return size() == 0; }

    // Entry i (range error outside); valid until the list changes.
    std::string_view Get(std::size_t i) const {
        CheckIndex(i, size());
        const Storage& s = *data_;
        if (!s.wide) {
            const unsigned char& byte = s.bytes[i];
            if (byte > kAside) return {reinterpret_cast<const char*>(&byte), 1};
            return byte == kEmpty ? std::string_view() : Aside(i);
        }
        const Slot& slot = s.entries[i];
        if (IsLong(slot)) return s.long_values[LongIndex(slot)];
        return {slot.data, Tag(slot)};
    }
    std::string_view operator[](std::size_t i) const { return Get(i); }
    // Replaces entry i (range error outside). Set and push_back are kept
    // inline in the loops that fill whole lists.
    [[gnu::always_inline]] void Set(std::size_t i, std::string_view value) {
        CheckIndex(i, size());
        // Filling an unshared narrow list with single values, the common
        // case, writes in place.
        if (IsNarrow(value) && data_.use_count() == 1 && !data_->wide && data_->bytes[i] != kAside) {
            data_->bytes[i] = NarrowByte(value);
            return;
        }
        SetSlow(i, value);
    }

    [[gnu::always_inline]] void push_back(std::string_view value) {
        if (IsNarrow(value) && data_.use_count() == 1 && !data_->wide) {
            data_->bytes.push_back(NarrowByte(value));
            return;
        }
        PushBackSlow(value);
    }
    // New entries are empty strings.
    void resize(std::size_t n);
    void reserve(std::size_t n);
    // Inserts before entry i; i == size() appends (range error beyond).
    void insert(std::size_t i, std::string_view value = {});
    // Removes entry i / the entries first..last-1 (range error outside).
    void erase(std::size_t i);
    void erase(std::size_t first, std::size_t last);
    void clear() noexcept { data_.reset(); }
    // Exchanges entries a and b (range error outside).
    void SwapEntries(std::size_t a, std::size_t b);
    void swap(TValueStrings& other) noexcept { data_.swap(other.data_); }

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Equal entries in the same order (however they are stored).
    friend bool operator==(const TValueStrings& a, const TValueStrings& b);
    friend bool operator==(const TValueStrings& a, const std::vector<std::string>& b);

private:
    // data[0..2]: the text; data[3]: its length. A tag of kLongTag or more
    // marks a string in the side list: its index is (tag - kLongTag) * 2^24
    // plus the three text bytes read as a little-endian number. Unused
    // bytes are zero, so a zeroed slot is the empty string.
    struct Slot {
        char data[4] = {};
    };
    static constexpr unsigned kLongTag = 4;
    // Most strings the side list can hold.
    static constexpr std::uint64_t kMaxLong = (std::uint64_t{256} - kLongTag) << 24;

    // Narrow bytes: the empty string, a string kept aside, or else the
    // one-byte string of that byte.
    static constexpr unsigned char kEmpty = 0;
    static constexpr unsigned char kAside = 1;
    static bool IsNarrow(std::string_view value) {
        return value.empty() || (value.size() == 1 && static_cast<unsigned char>(value[0]) > kAside);
    }
    static unsigned char NarrowByte(std::string_view value) {
        return value.empty() ? kEmpty : static_cast<unsigned char>(value[0]);
    }

    static Slot ShortSlot(std::string_view value) {
        Slot slot;
        for (std::size_t k = 0; k < value.size(); ++k) slot.data[k] = value[k];
        slot.data[3] = static_cast<char>(value.size());
        return slot;
    }
    static unsigned Tag(const Slot& slot) { return static_cast<unsigned char>(slot.data[3]); }
    static bool IsLong(const Slot& slot) { return Tag(slot) >= kLongTag; }
    static std::size_t LongIndex(const Slot& slot);

    // The entries, shared by copies of the list until one of them changes.
    struct Storage {
        bool wide = false;
        // Narrow form.
        TLargeVector<unsigned char> bytes;
        std::unordered_map<std::size_t, std::string> aside;  // by index
        // Wide form.
        TLargeVector<Slot> entries;
        std::vector<std::string> long_values;
        std::vector<std::size_t> free_longs;  // unused places of long_values

        // The slot for a value; a long value takes a place in the side list.
        Slot MakeSlot(std::string_view value) {
            return value.size() > MaxShortSize ? MakeLongSlot(value) : ShortSlot(value);
        }
        Slot MakeLongSlot(std::string_view value);
        // Gives the side-list place of a long slot back.
        void Release(const Slot& slot) noexcept;
        void ReleaseRange(std::size_t first, std::size_t last) noexcept;
        // Turns the list wide.
        void Widen();
        // Whether one more string kept aside makes the wide form smaller.
        bool WantsWide() const { return aside.size() >= 8 && 16 * (aside.size() + 1) > bytes.size(); }
        // Moves the strings kept aside at `from` and beyond by `delta`
        // places; those that would land before `from` are dropped.
        void ShiftAside(std::size_t from, std::ptrdiff_t delta);
    };
    std::string_view Aside(std::size_t i) const;
    // The storage for a change: a list of its own, copied first when shared.
    Storage& Write();
    void SetSlow(std::size_t i, std::string_view value);
    void PushBackSlow(std::string_view value);

    std::shared_ptr<Storage> data_;  // absent for the empty list
};

}  // namespace mivo
