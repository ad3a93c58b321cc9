// The two container classes on which the model and the report engine rest.
//
//  - `TObject`: the common polymorphic base of everything a list can hold;
//    it knows its class name (used in messages).
//  - `TObjList`: an indexable list of objects that may own them, may be
//    kept sorted with a compare function and has a policy for duplicates.
//  - `TStrList`: a list of texts, each with an optional attached object,
//    with its own string and object compare functions; it holds the rules
//    of a decision table.
//
// Ownership verbs, the same for both lists:
//   Free     always destroys the object (the slot stays, empty);
//   Release  destroys only when the list owns its objects (slot stays, empty);
//   Extract  hands the object to the caller and keeps the slot, empty;
//   Take     hands the object to the caller and removes the slot;
//   Delete   releases and removes the slot.
// The list is the owner: its destructor releases every object, and every
// destruction goes through one place that first empties the slot and then
// destroys, so an object is never destroyed twice by the list. Destroying an
// object that sits in several slots empties all of them.
//
// Both lists raise `EListError`: "List index out of bounds (%d)" for an
// index outside 0..Count-1, "%s: undefined CompareObj method" for a sort or
// search without a compare function.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/RunTime.h"

namespace mivo {

// Base of every object held by the lists.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;

    // The unqualified name of the concrete class ("TMivoAttribute").
    virtual std::string ClassName() const;
};

// A checked downcast of a list item failed: "Invalid class typecast".
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Invalid class typecast") {}
};

// Policy for adding an item equal to one already in a sorted list.
enum TDuplicates : std::uint8_t {
    dupIgnore = 0,  // nothing is inserted; the index of the equal item is returned
    dupAccept = 1,  // inserted before all equal items
    dupError = 2,   // EListError, the list is unchanged
};

// Compare function of two objects: negative, 0 or positive.
using TObjCompare = int (*)(const TObject* a, const TObject* b);
// Compare function of two texts: negative, 0 or positive.
using TStrCompare = int (*)(const std::string& a, const std::string& b);

// Raises EListError "List index out of bounds (%d)".
[[noreturn]] void ListIndexError(int index);

// ---------------------------------------------------------------------------

class TObjList : public TObject {
public:
    // The system creates every list unsorted with duplicates accepted.
    explicit TObjList(bool ownsObjects = false, TDuplicates duplicates = dupAccept, bool sorted = false);
    // ReleaseAll, then the slots go.
    ~TObjList() override;

    TObjList(const TObjList&) = delete;
    TObjList& operator=(const TObjList&) = delete;

    // --- settings ---
    bool OwnsObjects() const { return owns_objects_; }
    virtual void SetOwnsObjects(bool owns);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool Sorted() const { return sorted_; }
    // No change when equal; switching on sorts first, switching off only
    // clears the flag.
    void SetSorted(bool sorted);
    TObjCompare CompareFunc() const { return compare_; }
    void SetCompareFunc(TObjCompare compare) { compare_ = compare; }

    // --- access ---
    int Count() const { return static_cast<int>(items_.size()); }
    bool ValidIndex(int i) const { return i >= 0 && i < Count(); }
    virtual TObject* Get(int i) const;
    // ReleaseItem(i), then stores the object (sorted order not checked).
    // Storing the object that is already in slot i does nothing.
    virtual void Put(int i, TObject* object);
    // Slot of the first occurrence (by identity), -1 when absent.
    int IndexOf(const TObject* object) const;
    bool Contains(const TObject* object) const { return IndexOf(object) >= 0; }

    // --- adding and rearranging ---
    // Unsorted: appended. Sorted: placed by Find, with the Duplicates policy
    // (dupIgnore returns the equal item's index and does not take the object;
    // the caller keeps it).
    int Add(TObject* object);
    // Add unless already contained; the index of the object either way.
    int AddIfAbsent(TObject* object);
    // Insert, Exchange and Move switch Sorted off first (without sorting).
    void Insert(int i, TObject* object);
    void Exchange(int i, int j);
    void Move(int from, int to);

    // --- removing ---
    void Delete(int i);                  // ReleaseItem(i), remove the slot
    void DeleteObject(TObject* object);  // Delete at the object's index (absent: index error -1)
    void Remove(TObject* object);        // Delete when present, else nothing
    virtual void Clear();                // ReleaseAll, remove all slots

    // Free: always destroys, the slot stays empty.
    virtual void FreeItem(int i);
    virtual void FreeObject(TObject* object);
    virtual void FreeAll();
    // Release: destroys only when owning, the slot stays empty.
    virtual void ReleaseItem(int i);
    virtual void ReleaseObject(TObject* object);
    virtual void ReleaseAll();
    // Extract: hands the object over, the slot stays empty.
    virtual TObject* ExtractItem(int i);
    virtual TObject* ExtractObject(TObject* object);
    // Take: hands the object over, the slot is removed.
    virtual TObject* TakeItem(int i);
    virtual TObject* TakeObject(TObject* object);

    // --- order ---
    // The compare function's result; without one EListError
    // "%s: undefined CompareObj method" with the list's class name.
    virtual int Compare(const TObject* a, const TObject* b) const;
    // Binary search over the whole list; `index` is the found item (with
    // dupAccept the first equal one) or the insertion position.
    virtual bool Find(const TObject* object, int& index) const;
    // When not Sorted and at least 2 items: QuickSort(0, Count-1).
    virtual void Sort();
    // Not stable; recurses on the smaller part only.
    virtual void QuickSort(int first, int last);

protected:
    // What happened to an item, for descendants that track their items.
    enum class TListNotification {
        Added,      // the item entered the list
        Extracted,  // the item was handed over to a caller
        Deleted,    // the list let go of the item (destroyed when owning)
    };
    virtual void Notify(TObject* item, TListNotification action);

    // Items in slot order (empty slots are nullptr).
    const std::vector<TObject*>& Items() const { return items_; }

private:
    int IndexOrError(const TObject* object) const;
    void CheckSlot(int i) const;
    // Empties every slot holding the object, then destroys it.
    void Destroy(TObject* object);
    // Empties every slot in index order, destroying each object once when
    // `destroy` is set.
    void ReleaseSlots(bool destroy);

    bool owns_objects_;
    TDuplicates duplicates_;
    bool sorted_;
    TObjCompare compare_ = nullptr;
    std::vector<TObject*> items_;
};

// ---------------------------------------------------------------------------

class TStrList : public TObject {
public:
    // The system creates it unsorted, not owning, duplicates accepted.
    explicit TStrList(bool ownsObjects = false, TDuplicates duplicates = dupAccept, bool sorted = false);
    // ReleaseAllObjects, then the lines go.
    ~TStrList() override;

    TStrList(const TStrList&) = delete;
    TStrList& operator=(const TStrList&) = delete;

    // --- settings ---
    bool OwnsObjects() const { return owns_objects_; }
    void SetOwnsObjects(bool owns) { owns_objects_ = owns; }
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool Sorted() const { return sorted_; }
    // Switching on sorts first; switching off only clears the flag.
    void SetSorted(bool sorted);
    TStrCompare StrCompareFunc() const { return str_compare_; }
    // When the list is not empty, Sorted is switched off first (no
    // re-sorting); nullptr restores the default comparison.
    void SetStrCompareFunc(TStrCompare compare);
    TObjCompare ObjCompareFunc() const { return obj_compare_; }
    void SetObjCompareFunc(TObjCompare compare) { obj_compare_ = compare; }

    // --- change notifications and batched updates ---
    // OnChanging before and OnChange after every change, once per batch.
    std::function<void()> OnChanging;
    std::function<void()> OnChange;
    void BeginUpdate();
    void EndUpdate();

    // --- access ---
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& Get(int i) const;
    // Replaces the text of line i ("Operation not allowed on sorted string
    // list" on a sorted list).
    void Put(int i, const std::string& text);
    TObject* GetObject(int i) const;
    // Attaches an object to line i; the previous one is not released.
    void PutObject(int i, TObject* object);
    // Unsorted: the first line for which CompareStrings gives 0, else -1;
    // sorted: Find, -1 when not found.
    virtual int IndexOf(const std::string& text) const;
    // First line carrying the object (by identity), -1 when absent.
    int IndexOfObject(const TObject* object) const;
    // Binary search with CompareStrings (rules of TObjList::Find).
    virtual bool Find(const std::string& text, int& index) const;

    // --- adding and rearranging ---
    // Sorted: placed by Find with the Duplicates policy ("String list does
    // not allow duplicates" for dupError); unsorted: appended.
    int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    // On a sorted list: "Operation not allowed on sorted string list".
    void Insert(int i, const std::string& text);
    void InsertObject(int i, const std::string& text, TObject* object);
    void Exchange(int i, int j);
    // Moves a line with its object (meant for unsorted lists).
    virtual void Move(int from, int to);

    // --- removing ---
    virtual void Delete(int i);  // ReleaseObjectAt(i), remove the line
    virtual void Clear();        // ReleaseAllObjects, remove all lines

    // --- copying ---
    // Nothing for nullptr or itself. A TStrList source: Clear, owning off,
    // Sorted and Duplicates copied, then every line with its object. Any
    // other object: EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(const TObject* source);
    // Assign, then the object references are dropped (never destroyed).
    virtual void AssignStrings(const TStrList* source);

    // --- order ---
    // The string compare function's result, else CompareText (letter case
    // ignored).
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    // The object compare function's result; without one EListError
    // "%s: undefined CompareObj method".
    virtual int CompareObjects(const TObject* a, const TObject* b) const;
    // Nothing when Sorted or fewer than 2 lines; otherwise QuickSortStrings.
    // The list does not become Sorted.
    virtual void Sort();
    // Sorted off, then QuickSortObjects (fewer than 2 lines: nothing).
    virtual void SortByObjects();
    virtual void QuickSortStrings(int first, int last);
    virtual void QuickSortObjects(int first, int last);

    // --- attached objects ---
    virtual void FreeObjectAt(int i);               // destroys, detaches
    virtual void FreeObject(TObject* object);       // at its first line
    virtual void FreeAllObjects();
    virtual void ReleaseObjectAt(int i);            // destroys when owning, detaches
    virtual void ReleaseObject(TObject* object);
    virtual void ReleaseAllObjects();
    // Returns the object of line i and removes the line.
    virtual TObject* ExtractObject(int i);

private:
    struct Line {
        std::string text;
        TObject* object = nullptr;
    };

    // Announces changes; nested batches announce once.
    class Batch {
    public:
        explicit Batch(TStrList& list) : list_(list) { list_.BeginUpdate(); }
        ~Batch() { list_.EndUpdate(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TStrList& list_;
    };

    void CheckLine(int i) const;
    void CheckUnsorted() const;
    void InsertLine(int i, const std::string& text, TObject* object);
    // Detaches the object from every line carrying it, then destroys it.
    void Destroy(TObject* object);
    // Detaches every object in line order, destroying each once when
    // `destroy` is set.
    void ReleaseObjects(bool destroy);
    template <typename Less>
    void QuickSortLines(int first, int last, const Less& compare);

    bool owns_objects_;
    TDuplicates duplicates_;
    bool sorted_;
    TStrCompare str_compare_ = nullptr;
    TObjCompare obj_compare_ = nullptr;
    int update_count_ = 0;
    std::vector<Line> lines_;
};

}  // namespace mivo
