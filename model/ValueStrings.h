// A compact list of value strings: the option values of an attribute and
// the cells of an option-data row.
//
// Nearly every value string is short (one byte per member of the value
// set, "*" or empty; sets of more than three values are rare), so each
// entry is one 4-byte slot: up to three bytes of text and a tag byte with
// their number. A longer string goes to a side list and its slot holds the
// position there; the side list reuses the places of strings overwritten
// or removed, so it never outgrows the long strings actually held. A
// million entries cost 4 MB, not the 32 MB of a vector of std::string.
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
#include <string>
#include <string_view>
#include <vector>

#include "model/RunTime.h"

namespace mivo {

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

    std::size_t size() const { return data_ ? data_->entries.size() : 0; }
    bool empty() const { return size() == 0; }

    // Entry i (range error outside); valid until the list changes.
    std::string_view Get(std::size_t i) const {
        CheckIndex(i, size());
        const Slot& slot = data_->entries[i];
        if (IsLong(slot)) return data_->long_values[LongIndex(slot)];
        return {slot.data, Tag(slot)};
    }
    std::string_view operator[](std::size_t i) const { return Get(i); }
    // Replaces entry i (range error outside).
    void Set(std::size_t i, std::string_view value);

    void push_back(std::string_view value);
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

    static unsigned Tag(const Slot& slot) { return static_cast<unsigned char>(slot.data[3]); }
    static bool IsLong(const Slot& slot) { return Tag(slot) >= kLongTag; }
    static std::size_t LongIndex(const Slot& slot);

    // The entries, shared by copies of the list until one of them changes.
    struct Storage {
        std::vector<Slot> entries;
        std::vector<std::string> long_values;
        std::vector<std::size_t> free_longs;  // unused places of long_values

        // The slot for a value; a long value takes a place in the side list.
        Slot MakeSlot(std::string_view value) {
            if (value.size() > MaxShortSize) return MakeLongSlot(value);
            Slot slot;
            for (std::size_t k = 0; k < value.size(); ++k) slot.data[k] = value[k];
            slot.data[3] = static_cast<char>(value.size());
            return slot;
        }
        Slot MakeLongSlot(std::string_view value);
        // Gives the side-list place of a long slot back.
        void Release(const Slot& slot) noexcept;
        void ReleaseRange(std::size_t first, std::size_t last) noexcept;
    };
    // The storage for a change: a list of its own, copied first when shared.
    Storage& Write();

    std::shared_ptr<Storage> data_;  // absent for the empty list
};

}  // namespace mivo
