#include "model/Lists.h"

#include <algorithm>
#include <typeinfo>
#include <unordered_set>
#include <utility>

#if defined(__GNUG__)
#include <cxxabi.h>
#include <cstdlib>
#endif

#include "model/Locale.h"

namespace mivo {

namespace {

const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SUndefinedCompare = "%s: undefined CompareObj method";
const char* const SObjDuplicates = "Object list does not allow duplicates";
const char* const SStrDuplicates = "String list does not allow duplicates";
const char* const SSortedListError = "Operation not allowed on sorted string list";
const char* const SAssignError = "Cannot assign a %s to a %s";

// Binary search shared by both lists: `compare(i)` compares item i with the
// target. Returns the found item (with dupAccept the first equal one) or the
// insertion position in `index`.
template <typename CompareAt>
bool BinarySearch(int count, TDuplicates duplicates, const CompareAt& compare, int& index) {
    bool found = false;
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        int c = compare(middle);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (duplicates != dupAccept) low = middle;
            }
        }
    }
    index = low;
    return found;
}

// Quicksort of positions first..last. `less_than_pivot(i, p)` etc. are
// expressed through `compare(i, pivot_value)`; `pick(i)` copies the pivot
// value and `exchange(i, j)` swaps two items. Recursion goes into the
// smaller part and the loop continues with the larger one, so the stack
// depth stays logarithmic.
template <typename Pick, typename Compare, typename Exchange>
void QuickSortRange(int first, int last, const Pick& pick, const Compare& compare, const Exchange& exchange) {
    while (first < last) {
        int i = first;
        int j = last;
        auto pivot = pick(first + (last - first) / 2);
        do {
            // The bounds only matter for an inconsistent compare function;
            // with a consistent one the pivot's value stops both scans.
            while (i < last && compare(i, pivot) < 0) ++i;
            while (j > first && compare(j, pivot) > 0) --j;
            if (i <= j) {
                if (i != j) exchange(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        // Parts first..j and i..last remain.
        if (j - first < last - i) {
            if (first < j) QuickSortRange(first, j, pick, compare, exchange);
            first = i;
        } else {
            if (i < last) QuickSortRange(i, last, pick, compare, exchange);
            last = j;
        }
    }
}

// Whether any non-null pointer occurs twice.
template <typename Pointers>
bool HasDuplicatePointers(Pointers pointers) {
    std::erase(pointers, nullptr);
    std::sort(pointers.begin(), pointers.end());
    return std::adjacent_find(pointers.begin(), pointers.end()) != pointers.end();
}

// Lets go of every slot in index order: `take(i)` empties slot i and
// returns what it held; `destroy` decides per object whether it is
// destroyed (`let_go` runs for every object first). An object that sits in
// several slots is destroyed once, and is not touched again afterwards.
template <typename Take, typename LetGo>
void LetGoOfSlots(int count, bool destroy, bool may_have_duplicates, const Take& take, const LetGo& let_go) {
    std::unordered_set<TObject*> destroyed;
    for (int i = 0; i < count; ++i) {
        TObject* object = take(i);
        if (!object) continue;
        if (destroy && may_have_duplicates && !destroyed.insert(object).second) continue;
        let_go(object);
        if (destroy) delete object;
    }
}

}  // namespace

std::string TObject::ClassName() const {
    const char* raw = typeid(*this).name();
    std::string name = raw;
#if defined(__GNUG__)
    int status = 0;
    char* demangled = abi::__cxa_demangle(raw, nullptr, nullptr, &status);
    if (status == 0 && demangled) name = demangled;
    std::free(demangled);
#endif
    auto colon = name.rfind("::");
    if (colon != std::string::npos) name.erase(0, colon + 2);
    auto blank = name.rfind(' ');  // "class X" on some compilers
    if (blank != std::string::npos) name.erase(0, blank + 1);
    return name;
}

void ListIndexError(int index) { throw EListError(Format(SListIndexError, index)); }

// ===========================================================================
// TObjList

TObjList::TObjList(bool ownsObjects, TDuplicates duplicates, bool sorted)
    : owns_objects_(ownsObjects), duplicates_(duplicates), sorted_(sorted) {}

TObjList::~TObjList() {
    // Descendants are already gone here, so this is the base ReleaseAll.
    TObjList::ReleaseAll();
}

void TObjList::SetOwnsObjects(bool owns) { owns_objects_ = owns; }

void TObjList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TObjList::CheckSlot(int i) const {
    if (!ValidIndex(i)) ListIndexError(i);
}

TObject* TObjList::Get(int i) const {
    CheckSlot(i);
    return items_[static_cast<std::size_t>(i)];
}

void TObjList::Put(int i, TObject* object) {
    CheckSlot(i);
    if (items_[static_cast<std::size_t>(i)] == object) return;
    ReleaseItem(i);
    items_[static_cast<std::size_t>(i)] = object;
    if (object) Notify(object, TListNotification::Added);
}

int TObjList::IndexOf(const TObject* object) const {
    auto it = std::find(items_.begin(), items_.end(), object);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TObjList::IndexOrError(const TObject* object) const {
    int i = IndexOf(object);
    if (i < 0) ListIndexError(i);
    return i;
}

int TObjList::Add(TObject* object) {
    int index = Count();
    if (sorted_) {
        if (Find(object, index)) {
            if (duplicates_ == dupIgnore) return index;
            if (duplicates_ == dupError) throw EListError(SObjDuplicates);
        }
    }
    items_.insert(items_.begin() + index, object);
    if (object) Notify(object, TListNotification::Added);
    return index;
}

int TObjList::AddIfAbsent(TObject* object) {
    int i = IndexOf(object);
    return i >= 0 ? i : Add(object);
}

void TObjList::Insert(int i, TObject* object) {
    sorted_ = false;
    if (i < 0 || i > Count()) ListIndexError(i);
    items_.insert(items_.begin() + i, object);
    if (object) Notify(object, TListNotification::Added);
}

void TObjList::Exchange(int i, int j) {
    sorted_ = false;
    CheckSlot(i);
    CheckSlot(j);
    std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
}

void TObjList::Move(int from, int to) {
    sorted_ = false;
    CheckSlot(from);
    CheckSlot(to);
    if (from == to) return;
    auto begin = items_.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else
        std::rotate(begin + to, begin + from, begin + from + 1);
}

void TObjList::Delete(int i) {
    ReleaseItem(i);
    // Destroying the item may have changed the list; remove slot i if it is
    // still there.
    if (ValidIndex(i)) items_.erase(items_.begin() + i);
}

void TObjList::DeleteObject(TObject* object) { Delete(IndexOrError(object)); }

void TObjList::Remove(TObject* object) {
    int i = IndexOf(object);
    if (i >= 0) Delete(i);
}

void TObjList::Clear() {
    ReleaseAll();
    items_.clear();
}

void TObjList::Destroy(TObject* object) {
    // Empty every other slot that holds the same object before it goes.
    for (auto& item : items_)
        if (item == object) item = nullptr;
    delete object;
}

void TObjList::FreeItem(int i) {
    CheckSlot(i);
    TObject* item = std::exchange(items_[static_cast<std::size_t>(i)], nullptr);
    if (!item) return;
    Notify(item, TListNotification::Deleted);
    Destroy(item);
}

void TObjList::FreeObject(TObject* object) { FreeItem(IndexOrError(object)); }

void TObjList::ReleaseSlots(bool destroy) {
    bool duplicates = destroy && HasDuplicatePointers(items_);
    LetGoOfSlots(
        Count(), destroy, duplicates,
        [&](int i) { return ValidIndex(i) ? std::exchange(items_[static_cast<std::size_t>(i)], nullptr) : nullptr; },
        [&](TObject* object) { Notify(object, TListNotification::Deleted); });
}

void TObjList::FreeAll() { ReleaseSlots(true); }

void TObjList::ReleaseItem(int i) {
    if (owns_objects_) {
        FreeItem(i);
        return;
    }
    CheckSlot(i);
    TObject* item = std::exchange(items_[static_cast<std::size_t>(i)], nullptr);
    if (item) Notify(item, TListNotification::Deleted);
}

void TObjList::ReleaseObject(TObject* object) { ReleaseItem(IndexOrError(object)); }

void TObjList::ReleaseAll() { ReleaseSlots(owns_objects_); }

TObject* TObjList::ExtractItem(int i) {
    CheckSlot(i);
    TObject* item = std::exchange(items_[static_cast<std::size_t>(i)], nullptr);
    if (item) Notify(item, TListNotification::Extracted);
    return item;
}

TObject* TObjList::ExtractObject(TObject* object) { return ExtractItem(IndexOrError(object)); }

TObject* TObjList::TakeItem(int i) {
    TObject* item = ExtractItem(i);
    items_.erase(items_.begin() + i);
    return item;
}

TObject* TObjList::TakeObject(TObject* object) { return TakeItem(IndexOrError(object)); }

int TObjList::Compare(const TObject* a, const TObject* b) const {
    if (!compare_) throw EListError(Format(SUndefinedCompare, ClassName()));
    return compare_(a, b);
}

bool TObjList::Find(const TObject* object, int& index) const {
    return BinarySearch(
        Count(), duplicates_, [&](int i) { return Compare(items_[static_cast<std::size_t>(i)], object); }, index);
}

void TObjList::Sort() {
    if (!sorted_ && Count() >= 2) QuickSort(0, Count() - 1);
}

void TObjList::QuickSort(int first, int last) {
    if (first < 0 || last >= Count()) ListIndexError(first < 0 ? first : last);
    QuickSortRange(
        first, last, [&](int i) { return items_[static_cast<std::size_t>(i)]; },
        [&](int i, const TObject* pivot) { return Compare(items_[static_cast<std::size_t>(i)], pivot); },
        [&](int i, int j) { std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]); });
}

void TObjList::Notify(TObject*, TListNotification) {}

// ===========================================================================
// TStrList

TStrList::TStrList(bool ownsObjects, TDuplicates duplicates, bool sorted)
    : owns_objects_(ownsObjects), duplicates_(duplicates), sorted_(sorted) {}

TStrList::~TStrList() {
    OnChanging = nullptr;
    OnChange = nullptr;
    ReleaseObjects(owns_objects_);
}

void TStrList::ReleaseObjects(bool destroy) {
    bool duplicates = false;
    if (destroy) {
        std::vector<TObject*> objects;
        objects.reserve(lines_.size());
        for (const auto& line : lines_) objects.push_back(line.object);
        duplicates = HasDuplicatePointers(std::move(objects));
    }
    LetGoOfSlots(
        Count(), destroy, duplicates,
        [&](int i) { return i < Count() ? std::exchange(lines_[static_cast<std::size_t>(i)].object, nullptr) : nullptr; },
        [](TObject*) {});
}

void TStrList::BeginUpdate() {
    if (update_count_++ == 0 && OnChanging) OnChanging();
}

void TStrList::EndUpdate() {
    if (--update_count_ == 0 && OnChange) OnChange();
}

void TStrList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStrList::SetStrCompareFunc(TStrCompare compare) {
    if (!lines_.empty()) sorted_ = false;
    str_compare_ = compare;
}

void TStrList::CheckLine(int i) const {
    if (i < 0 || i >= Count()) ListIndexError(i);
}

void TStrList::CheckUnsorted() const {
    if (sorted_) throw EListError(SSortedListError);
}

const std::string& TStrList::Get(int i) const {
    CheckLine(i);
    return lines_[static_cast<std::size_t>(i)].text;
}

void TStrList::Put(int i, const std::string& text) {
    CheckUnsorted();
    CheckLine(i);
    Batch batch(*this);
    lines_[static_cast<std::size_t>(i)].text = text;
}

TObject* TStrList::GetObject(int i) const {
    CheckLine(i);
    return lines_[static_cast<std::size_t>(i)].object;
}

void TStrList::PutObject(int i, TObject* object) {
    CheckLine(i);
    Batch batch(*this);
    lines_[static_cast<std::size_t>(i)].object = object;
}

int TStrList::IndexOf(const std::string& text) const {
    if (sorted_) {
        int index = -1;
        return Find(text, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(lines_[static_cast<std::size_t>(i)].text, text) == 0) return i;
    return -1;
}

int TStrList::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (lines_[static_cast<std::size_t>(i)].object == object) return i;
    return -1;
}

bool TStrList::Find(const std::string& text, int& index) const {
    return BinarySearch(
        Count(), duplicates_,
        [&](int i) { return CompareStrings(lines_[static_cast<std::size_t>(i)].text, text); }, index);
}

void TStrList::InsertLine(int i, const std::string& text, TObject* object) {
    Batch batch(*this);
    lines_.insert(lines_.begin() + i, Line{text, object});
}

int TStrList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStrList::AddObject(const std::string& text, TObject* object) {
    int index = Count();
    if (sorted_ && Find(text, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError(SStrDuplicates);
    }
    InsertLine(index, text, object);
    return index;
}

void TStrList::Insert(int i, const std::string& text) { InsertObject(i, text, nullptr); }

void TStrList::InsertObject(int i, const std::string& text, TObject* object) {
    CheckUnsorted();
    if (i < 0 || i > Count()) ListIndexError(i);
    InsertLine(i, text, object);
}

void TStrList::Exchange(int i, int j) {
    CheckLine(i);
    CheckLine(j);
    Batch batch(*this);
    std::swap(lines_[static_cast<std::size_t>(i)], lines_[static_cast<std::size_t>(j)]);
}

void TStrList::Move(int from, int to) {
    if (from == to) return;
    // Checked before the line is taken out, so a refused move loses nothing.
    CheckUnsorted();
    CheckLine(from);
    CheckLine(to);
    Batch batch(*this);
    std::string text = lines_[static_cast<std::size_t>(from)].text;
    TObject* object = ExtractObject(from);
    InsertObject(to, text, object);
}

void TStrList::Delete(int i) {
    CheckLine(i);
    Batch batch(*this);
    ReleaseObjectAt(i);
    if (i < Count()) lines_.erase(lines_.begin() + i);
}

void TStrList::Clear() {
    Batch batch(*this);
    ReleaseAllObjects();
    lines_.clear();
}

void TStrList::Assign(const TObject* source) {
    if (!source || source == this) return;
    const auto* other = dynamic_cast<const TStrList*>(source);
    if (!other) throw EConvertError(Format(SAssignError, source->ClassName(), ClassName()));
    Batch batch(*this);
    Clear();
    owns_objects_ = false;
    sorted_ = other->sorted_;
    duplicates_ = other->duplicates_;
    lines_ = other->lines_;
}

void TStrList::AssignStrings(const TStrList* source) {
    Batch batch(*this);
    Assign(source);
    ReleaseAllObjects();
}

int TStrList::CompareStrings(const std::string& a, const std::string& b) const {
    return str_compare_ ? str_compare_(a, b) : CompareText(a, b);
}

int TStrList::CompareObjects(const TObject* a, const TObject* b) const {
    if (!obj_compare_) throw EListError(Format(SUndefinedCompare, ClassName()));
    return obj_compare_(a, b);
}

void TStrList::Sort() {
    if (sorted_ || Count() < 2) return;
    Batch batch(*this);
    QuickSortStrings(0, Count() - 1);
}

void TStrList::SortByObjects() {
    if (Count() < 2) return;
    Batch batch(*this);
    sorted_ = false;
    QuickSortObjects(0, Count() - 1);
}

template <typename Compare>
void TStrList::QuickSortLines(int first, int last, const Compare& compare) {
    if (first < 0 || last >= Count()) ListIndexError(first < 0 ? first : last);
    QuickSortRange(
        first, last, [&](int i) { return lines_[static_cast<std::size_t>(i)]; },
        [&](int i, const Line& pivot) { return compare(lines_[static_cast<std::size_t>(i)], pivot); },
        [&](int i, int j) { std::swap(lines_[static_cast<std::size_t>(i)], lines_[static_cast<std::size_t>(j)]); });
}

void TStrList::QuickSortStrings(int first, int last) {
    QuickSortLines(first, last, [&](const Line& a, const Line& b) { return CompareStrings(a.text, b.text); });
}

void TStrList::QuickSortObjects(int first, int last) {
    QuickSortLines(first, last, [&](const Line& a, const Line& b) { return CompareObjects(a.object, b.object); });
}

void TStrList::Destroy(TObject* object) {
    for (auto& line : lines_)
        if (line.object == object) line.object = nullptr;
    delete object;
}

void TStrList::FreeObjectAt(int i) {
    CheckLine(i);
    Batch batch(*this);
    TObject* object = std::exchange(lines_[static_cast<std::size_t>(i)].object, nullptr);
    if (object) Destroy(object);
}

void TStrList::FreeObject(TObject* object) {
    int i = IndexOfObject(object);
    if (i < 0) ListIndexError(i);
    FreeObjectAt(i);
}

void TStrList::FreeAllObjects() {
    Batch batch(*this);
    ReleaseObjects(true);
}

void TStrList::ReleaseObjectAt(int i) {
    CheckLine(i);
    Batch batch(*this);
    TObject* object = std::exchange(lines_[static_cast<std::size_t>(i)].object, nullptr);
    if (object && owns_objects_) Destroy(object);
}

void TStrList::ReleaseObject(TObject* object) {
    int i = IndexOfObject(object);
    if (i < 0) ListIndexError(i);
    ReleaseObjectAt(i);
}

void TStrList::ReleaseAllObjects() {
    Batch batch(*this);
    ReleaseObjects(owns_objects_);
}

TObject* TStrList::ExtractObject(int i) {
    CheckLine(i);
    Batch batch(*this);
    TObject* object = lines_[static_cast<std::size_t>(i)].object;
    lines_.erase(lines_.begin() + i);
    return object;
}

}  // namespace mivo
