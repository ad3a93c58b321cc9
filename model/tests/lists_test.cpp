#include "model/Lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace mivo {
namespace {

// An object that records how often it was destroyed.
class Probe : public TObject {
public:
    Probe(int key, int* destroyed) : key(key), destroyed_(destroyed) {}
    ~Probe() override {
        if (destroyed_) ++*destroyed_;
    }
    int key;

private:
    int* destroyed_;
};

int CompareProbes(const TObject* a, const TObject* b) {
    return static_cast<const Probe*>(a)->key - static_cast<const Probe*>(b)->key;
}

std::vector<int> Keys(const TObjList& list) {
    std::vector<int> keys;
    for (int i = 0; i < list.Count(); ++i) {
        auto* probe = static_cast<Probe*>(list.Get(i));
        keys.push_back(probe ? probe->key : -1);
    }
    return keys;
}

std::vector<std::string> Lines(const TStrList& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
    return lines;
}

template <typename F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

class NamedList : public TObjList {};

// --- TObjList --------------------------------------------------------------

TEST(ObjList, IndexErrorsAndAbsentObjects) {
    TObjList list;
    Probe a(1, nullptr);
    Probe absent(2, nullptr);
    list.Add(&a);
    EXPECT_EQ(ErrorOf([&] { list.Get(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { list.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_THROW(list.Get(5), EListError);
    EXPECT_EQ(ErrorOf([&] { list.DeleteObject(&absent); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { list.ExtractObject(&absent); }), "List index out of bounds (-1)");
    list.Remove(&absent);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(list.Contains(&absent));
    EXPECT_EQ(list.AddIfAbsent(&a), 0);
    EXPECT_EQ(list.AddIfAbsent(&absent), 1);
    EXPECT_TRUE(list.ValidIndex(1));
    EXPECT_FALSE(list.ValidIndex(2));
}

TEST(ObjList, UnsortedListAcceptsTheSameObjectTwiceEvenWithErrorPolicy) {
    TObjList list(false, dupError, false);
    Probe a(1, nullptr);
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&a), 1);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ObjList, SortedAddFollowsTheDuplicatesPolicy) {
    int destroyed = 0;
    {
        TObjList ignore(true, dupIgnore, true);
        ignore.SetCompareFunc(CompareProbes);
        for (int k : {5, 1, 3}) ignore.Add(new Probe(k, &destroyed));
        EXPECT_EQ(Keys(ignore), (std::vector<int>{1, 3, 5}));
        auto equal = std::make_unique<Probe>(3, &destroyed);
        EXPECT_EQ(ignore.Add(equal.get()), 1);  // index of the existing item
        EXPECT_EQ(ignore.Count(), 3);
        EXPECT_FALSE(ignore.Contains(equal.get()));  // caller still owns it
    }
    EXPECT_EQ(destroyed, 4);

    TObjList accept(false, dupAccept, true);
    accept.SetCompareFunc(CompareProbes);
    Probe p1(1, nullptr), p3a(3, nullptr), p3b(3, nullptr), p3c(3, nullptr), p5(5, nullptr);
    for (Probe* p : {&p5, &p3a, &p1, &p3b}) accept.Add(p);
    EXPECT_EQ(accept.Add(&p3c), 1);  // before all equal items
    EXPECT_EQ(accept.Get(1), &p3c);
    int index = -1;
    EXPECT_TRUE(accept.Find(&p3a, index));
    EXPECT_EQ(index, 1);  // first of the equal items
    Probe p4(4, nullptr);
    EXPECT_FALSE(accept.Find(&p4, index));
    EXPECT_EQ(index, 4);  // insertion position

    TObjList error(false, dupError, true);
    error.SetCompareFunc(CompareProbes);
    error.Add(&p1);
    error.Add(&p3a);
    EXPECT_EQ(ErrorOf([&] { error.Add(&p3b); }), "Object list does not allow duplicates");
    EXPECT_EQ(error.Count(), 2);
}

TEST(ObjList, InsertSwitchesSortedOffAndSetSortedResorts) {
    TObjList list(true, dupAccept, true);
    list.SetCompareFunc(CompareProbes);
    for (int k : {4, 2, 6}) list.Add(new Probe(k, nullptr));
    list.Insert(0, new Probe(9, nullptr));
    EXPECT_FALSE(list.Sorted());
    EXPECT_EQ(Keys(list), (std::vector<int>{9, 2, 4, 6}));
    list.Exchange(1, 3);
    list.Move(0, 3);
    EXPECT_EQ(Keys(list), (std::vector<int>{6, 4, 2, 9}));
    list.SetSorted(true);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(Keys(list), (std::vector<int>{2, 4, 6, 9}));
    list.SetSorted(false);
    EXPECT_EQ(Keys(list), (std::vector<int>{2, 4, 6, 9}));
}

TEST(ObjList, CompareWithoutFunctionNamesTheListClass) {
    TObjList plain;
    NamedList named;
    Probe a(1, nullptr), b(2, nullptr);
    for (TObjList* list : {&plain, static_cast<TObjList*>(&named)}) {
        list->Add(&b);
        list->Add(&a);
    }
    EXPECT_EQ(ErrorOf([&] { plain.Sort(); }), "TObjList: undefined CompareObj method");
    EXPECT_EQ(ErrorOf([&] { named.SetSorted(true); }), "NamedList: undefined CompareObj method");
    EXPECT_FALSE(named.Sorted());
    int index;
    EXPECT_THROW(plain.Find(&a, index), EListError);
}

// Each ownership verb on an owning and a non-owning list: what happens to
// the object, to the slot, and what the caller gets back.
TEST(ObjList, OwnershipVerbs) {
    enum Verb { Free, Release, Extract, Take, Delete };
    struct Case {
        Verb verb;
        bool owns;
        bool destroyed;
        int count_after;  // of a list of two
        bool handed_over;
    };
    const Case cases[] = {
        {Free, false, true, 2, false},    {Free, true, true, 2, false},
        {Release, false, false, 2, false}, {Release, true, true, 2, false},
        {Extract, false, false, 2, true}, {Extract, true, false, 2, true},
        {Take, false, false, 1, true},    {Take, true, false, 1, true},
        {Delete, false, false, 1, false}, {Delete, true, true, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "verb " << c.verb << " owns " << c.owns);
        int destroyed = 0;
        auto* target = new Probe(1, &destroyed);
        TObject* handed = nullptr;
        {
            TObjList list(c.owns);
            list.Add(target);
            list.Add(nullptr);
            switch (c.verb) {
                case Free: list.FreeObject(target); break;
                case Release: list.ReleaseObject(target); break;
                case Extract: handed = list.ExtractObject(target); break;
                case Take: handed = list.TakeObject(target); break;
                case Delete: list.DeleteObject(target); break;
            }
            EXPECT_EQ(destroyed, c.destroyed ? 1 : 0);
            EXPECT_EQ(list.Count(), c.count_after);
            if (c.count_after == 2) {
                EXPECT_EQ(list.Get(0), nullptr);
            }
            EXPECT_EQ(handed, c.handed_over ? target : nullptr);
        }
        // The list's destruction never destroys the object a second time.
        EXPECT_EQ(destroyed, c.destroyed ? 1 : 0);
        if (!c.destroyed) delete target;
    }
}

TEST(ObjList, OwningListDestroysEachObjectOnceAndExtractKeepsOneAlive) {
    int destroyed = 0;
    std::unique_ptr<TObject> kept;
    {
        TObjList list(true);
        for (int k = 0; k < 5; ++k) list.Add(new Probe(k, &destroyed));
        kept.reset(list.ExtractItem(2));
        EXPECT_EQ(list.Count(), 5);
        EXPECT_EQ(list.Get(2), nullptr);
    }
    EXPECT_EQ(destroyed, 4);
    kept.reset();
    EXPECT_EQ(destroyed, 5);
}

TEST(ObjList, ObjectHeldInTwoSlotsOfAnOwningListIsDestroyedOnce) {
    int destroyed = 0;
    {
        TObjList list(true);
        auto* shared = new Probe(1, &destroyed);
        list.Add(shared);
        list.Add(new Probe(2, &destroyed));
        list.Add(shared);
        list.FreeItem(0);  // empties slot 2 as well
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(list.Get(2), nullptr);
        auto* again = new Probe(3, &destroyed);
        list.Put(0, again);
        list.Add(again);
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(ObjList, PutReleasesTheOldItemButNotTheSameOne) {
    int destroyed = 0;
    TObjList list(true);
    auto* first = new Probe(1, &destroyed);
    list.Add(first);
    list.Put(0, first);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(list.Get(0), first);
    EXPECT_EQ(static_cast<Probe*>(list.Get(0))->key, 1);
    list.Put(0, new Probe(2, &destroyed));
    EXPECT_EQ(destroyed, 1);
    list.Clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ObjList, QuickSortHandlesLargeOrderedReversedAndEqualRuns) {
    const int n = 100000;
    std::vector<std::vector<int>> inputs(4, std::vector<int>(n));
    std::iota(inputs[0].begin(), inputs[0].end(), 0);
    std::iota(inputs[1].rbegin(), inputs[1].rend(), 0);
    std::fill(inputs[2].begin(), inputs[2].end(), 7);
    std::mt19937 random(42);
    for (int& k : inputs[3]) k = static_cast<int>(random() % 50);
    for (const auto& keys : inputs) {
        std::vector<Probe> probes;
        probes.reserve(keys.size());
        for (int k : keys) probes.emplace_back(k, nullptr);
        TObjList list;
        list.SetCompareFunc(CompareProbes);
        for (auto& p : probes) list.Add(&p);
        list.Sort();
        std::vector<int> sorted = keys;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(Keys(list), sorted);
    }
}

// --- TStrList ----------------------------------------------------------------

int CompareBytes(const std::string& a, const std::string& b) { return a.compare(b); }

TEST(StrList, DefaultComparisonIgnoresLetterCase) {
    TStrList list;
    list.Add("xyz");
    list.Add("abc");
    EXPECT_EQ(list.IndexOf("ABC"), 1);
    EXPECT_EQ(list.IndexOf("abd"), -1);
    list.SetStrCompareFunc(CompareBytes);
    EXPECT_EQ(list.IndexOf("ABC"), -1);
    EXPECT_EQ(list.IndexOf("abc"), 1);
}

TEST(StrList, SortedListsPlaceLinesAndRefuseInserts) {
    TStrList list(false, dupError, true);
    for (const char* s : {"b", "D", "a", "c"}) list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "D"}));
    EXPECT_EQ(list.IndexOf("d"), 3);
    EXPECT_EQ(list.IndexOf("e"), -1);
    EXPECT_EQ(ErrorOf([&] { list.Add("B"); }), "String list does not allow duplicates");
    EXPECT_EQ(ErrorOf([&] { list.Insert(0, "z"); }), "Operation not allowed on sorted string list");
    // A refused move loses nothing.
    EXPECT_EQ(ErrorOf([&] { list.Move(0, 2); }), "Operation not allowed on sorted string list");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "D"}));

    list.SetDuplicates(dupIgnore);
    EXPECT_EQ(list.Add("C"), 2);
    EXPECT_EQ(list.Count(), 4);

    // A new compare function switches Sorted off without re-sorting.
    list.SetStrCompareFunc(CompareBytes);
    EXPECT_FALSE(list.Sorted());
    list.Sort();
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"D", "a", "b", "c"}));
    EXPECT_FALSE(list.Sorted());
}

TEST(StrList, SortByObjectsExchangesWholeLines) {
    Probe p1(1, nullptr), p2(2, nullptr), p3(3, nullptr);
    TStrList list;
    list.AddObject("three", &p3);
    list.AddObject("one", &p1);
    list.AddObject("two", &p2);
    EXPECT_EQ(ErrorOf([&] { list.SortByObjects(); }), "TStrList: undefined CompareObj method");
    list.SetObjCompareFunc(CompareProbes);
    list.SortByObjects();
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(list.GetObject(2), &p3);
    list.Move(2, 0);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"three", "one", "two"}));
    EXPECT_EQ(list.GetObject(0), &p3);
}

TEST(StrList, AssignCopiesReferencesAndAssignStringsDropsThem) {
    int destroyed = 0;
    TStrList source(true, dupIgnore, true);
    source.AddObject("b", new Probe(2, &destroyed));
    source.AddObject("a", new Probe(1, &destroyed));

    TStrList copy;
    copy.Assign(&source);
    EXPECT_FALSE(copy.OwnsObjects());
    EXPECT_TRUE(copy.Sorted());
    EXPECT_EQ(copy.Duplicates(), dupIgnore);
    EXPECT_EQ(Lines(copy), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(copy.GetObject(0), source.GetObject(0));

    {
        TStrList strings(true);
        strings.AddObject("old", new Probe(9, &destroyed));
        strings.AssignStrings(&source);
        EXPECT_EQ(destroyed, 1);  // the old owned object only
        EXPECT_EQ(Lines(strings), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(strings.GetObject(0), nullptr);
        EXPECT_EQ(strings.GetObject(1), nullptr);
    }
    EXPECT_EQ(destroyed, 1);

    copy.Assign(&copy);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Count(), 2);
    TObjList other;
    EXPECT_EQ(ErrorOf([&] { copy.Assign(&other); }), "Cannot assign a TObjList to a TStrList");
}

TEST(StrList, OwningListReleasesFreesAndExtractsObjects) {
    int destroyed = 0;
    std::unique_ptr<TObject> extracted;
    {
        TStrList list(true);
        auto* shared = new Probe(0, &destroyed);
        list.AddObject("a", shared);
        list.AddObject("b", new Probe(1, &destroyed));
        list.AddObject("c", new Probe(2, &destroyed));
        list.AddObject("d", new Probe(3, &destroyed));
        list.AddObject("e", shared);
        list.Delete(1);
        EXPECT_EQ(destroyed, 1);
        extracted.reset(list.ExtractObject(1));
        EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "d", "e"}));
        list.ReleaseObjectAt(1);
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(list.Count(), 3);
        list.SetOwnsObjects(false);
        Probe local(5, nullptr);
        list.PutObject(1, &local);
        list.ReleaseObject(&local);
        EXPECT_EQ(list.GetObject(1), nullptr);
        list.SetOwnsObjects(true);
    }
    EXPECT_EQ(destroyed, 3);  // the object on two lines went once
    extracted.reset();
    EXPECT_EQ(destroyed, 4);

    TStrList plain;
    auto* probe = new Probe(7, &destroyed);
    plain.AddObject("x", probe);
    plain.FreeObject(probe);
    EXPECT_EQ(destroyed, 5);
    EXPECT_EQ(plain.GetObject(0), nullptr);
    EXPECT_EQ(ErrorOf([&] { plain.Get(1); }), "List index out of bounds (1)");
}

TEST(StrList, ChangesAreAnnouncedOncePerBatch) {
    TStrList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&] { ++changing; };
    list.OnChange = [&] { ++changed; };
    list.Add("a");
    list.Add("b");
    list.Add("c");
    EXPECT_EQ(changed, 3);
    list.Move(0, 2);
    EXPECT_EQ(changed, 4);
    list.BeginUpdate();
    list.Clear();
    list.Add("x");
    list.EndUpdate();
    EXPECT_EQ(changing, 5);
    EXPECT_EQ(changed, 5);
}

}  // namespace
}  // namespace mivo
