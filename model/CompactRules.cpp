// Compact rules: maximal boxes of rules that allow one output value, found
// by a depth-first search from each rule still to be covered.
#include "model/CompactRules.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/Lists.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/RunTime.h"

namespace mivo {

namespace {

// The byte value of a value code, for comparisons by code.
unsigned Code(char c) { return static_cast<unsigned char>(c); }

// The input part (first n bytes) lies inside the box lo..hi.
bool Inside(const std::string& inputs, const std::string& lo, const std::string& hi) {
    for (std::size_t k = 0; k < lo.size(); ++k) {
        const unsigned x = Code(inputs[k]);
        if (x < Code(lo[k]) || x > Code(hi[k])) return false;
    }
    return true;
}

class TBoxSearch {
public:
    TBoxSearch(const TMivoFunction& funct, int v) {
        const TMivoAttribute* attribute = funct.Attribute();
        const int n = funct.ArgCount();
        for (int k = 0; k < n; ++k) sizes_.push_back(attribute->Inputs(k)->ScaleSize());
        // A box holds exactly when none of the rules lacking v lies inside
        // it, so only those rules need testing.
        for (int r = 0; r < funct.RuleCount(); ++r) {
            if (funct.RuleLow(r) <= v && v <= funct.RuleHigh(r)) continue;
            blocking_.push_back(InputPart(funct, r));
        }
    }

    static std::string InputPart(const TMivoFunction& funct, int rule) {
        const std::string& text = funct.Rules().Get(rule);
        const std::size_t n = static_cast<std::size_t>(funct.ArgCount());
        if (text.size() < n) throw ERangeError();
        return text.substr(0, n);
    }

    // Grows the box lo..hi depth-first and lists the maximal boxes reached;
    // returns whether the box holds. Each box is explored once: a box met
    // again returns what it gave the first time (its maximal boxes are
    // listed already, since every extension is a larger box and so the
    // search never meets a box while still exploring it).
    bool Grow(std::string& lo, std::string& hi) {
        std::string key = lo + hi;
        if (const auto seen = explored_.find(key); seen != explored_.end()) return seen->second;
        const bool holds = Holds(lo, hi);
        explored_.emplace(key, holds);
        if (!holds) return false;

        bool extended = false;
        for (std::size_t k = 0; k < hi.size(); ++k) {
            if (CharValue(hi[k]) >= sizes_[k] - 1) continue;
            hi[k] = ValueChar(CharValue(hi[k]) + 1);
            if (Grow(lo, hi)) extended = true;
            hi[k] = ValueChar(CharValue(hi[k]) - 1);
        }
        for (std::size_t k = 0; k < lo.size(); ++k) {
            if (lo[k] <= '0') continue;
            lo[k] = ValueChar(CharValue(lo[k]) - 1);
            if (Grow(lo, hi)) extended = true;
            lo[k] = ValueChar(CharValue(lo[k]) + 1);
        }
        if (!extended && listed_.insert(key).second) boxes_.push_back(std::move(key));
        return true;
    }

    const std::vector<std::string>& Boxes() const { return boxes_; }
    std::vector<std::string> TakeBoxes() { return std::move(boxes_); }

private:
    bool Holds(const std::string& lo, const std::string& hi) const {
        for (const std::string& rule : blocking_)
            if (Inside(rule, lo, hi)) return false;
        return true;
    }

    std::vector<int> sizes_;
    std::vector<std::string> blocking_;
    std::unordered_map<std::string, bool> explored_;
    std::unordered_set<std::string> listed_;
    std::vector<std::string> boxes_;
};

// The input parts of the rules to cover, in the string lists' default
// sorted order.
void CollectSeeds(const TMivoFunction& funct, int v, bool enteredOnly, TStrList& seeds) {
    seeds.SetSorted(true);
    for (int r = 0; r < funct.RuleCount(); ++r) {
        if (funct.RuleLow(r) > v || v > funct.RuleHigh(r)) continue;
        if (enteredOnly && !funct.RuleEntered(r)) continue;
        seeds.Add(TBoxSearch::InputPart(funct, r));
    }
}

// Drops the seeds inside the boxes listed from `first` on (seeds inside
// earlier boxes are gone already).
void DropCovered(const std::vector<std::string>& boxes, std::size_t first, TStrList& seeds) {
    for (std::size_t b = first; b < boxes.size() && seeds.Count() > 0; ++b) {
        const std::string& box = boxes[b];
        const std::size_t n = box.size() / 2;
        const std::string lo = box.substr(0, n);
        const std::string hi = box.substr(n);
        for (int s = seeds.Count() - 1; s >= 0; --s)
            if (Inside(seeds.Get(s), lo, hi)) seeds.Delete(s);
    }
}

}  // namespace

std::vector<std::string> CompactRules(const TMivoFunction& funct, int v, const TMivoSettings& settings) {
    const TMivoAttribute* attribute = funct.Attribute();
    if (!attribute || !attribute->CanHaveFunction()) return {};

    TStrList seeds;
    CollectSeeds(funct, v, settings.EnteredOnly, seeds);
    if (seeds.Count() == 0) return {};

    TBoxSearch search(funct, v);
    while (seeds.Count() > 0) {
        const std::string seed = seeds.Get(0);
        const std::size_t listed_before = search.Boxes().size();
        std::string lo = seed;
        std::string hi = seed;
        search.Grow(lo, hi);
        DropCovered(search.Boxes(), listed_before, seeds);
        // A seed always holds in a complete table (no other rule shares its
        // inputs); in a table holding two rules with the same inputs it may
        // not, and would otherwise be taken again and again.
        if (seeds.Count() > 0 && seeds.Get(0) == seed) seeds.Delete(0);
    }
    return search.TakeBoxes();
}

}  // namespace mivo
