// The search over the attributes of a model: the stored search of the find
// dialog and the tests and walks that "Find" and "Find next" make with it,
// in the attribute tree (all attributes in pre-order) and in the rows of
// the evaluation grid.
//
// Texts are compared by containment; a search that is not case-sensitive
// folds the case of both texts first (FoldCase, model/Locale.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mivo {

class TMivoAttribute;

// The stored search, in the order the find dialog keeps it. A fresh search
// looks for nothing, in names only, case-blind.
struct TFindSearch {
    std::string FindText;
    bool FindName = true;   // attribute names
    bool FindDesc = false;  // attribute descriptions
    bool FindScale = false; // value names of the attribute's scale
    bool FindCase = false;  // case-sensitive

    // A text to look for and at least one place to look in.
    bool Usable() const { return !FindText.empty() && (FindName || FindDesc || FindScale); }
    bool operator==(const TFindSearch&) const = default;
};

// The text contains the search text (after folding the case of both unless
// the search is case-sensitive). An empty search text matches nothing.
bool TextMatches(const TFindSearch& search, std::string_view text);

// The attribute's name, description or one of its scale's value names (as
// the search asks) passes the text test; false without an attribute.
bool AttributeMatches(const TFindSearch& search, const TMivoAttribute* attribute);

// The next attribute after `selected` in `preorder` that matches, going on
// from the first after the last; `selected` itself is never tested. Null
// when nothing else matches, when the list is empty or without a selected
// attribute in it.
TMivoAttribute* FindNextAttribute(const TFindSearch& search, const std::vector<TMivoAttribute*>& preorder,
                                  const TMivoAttribute* selected);

// The next row index after `current` (an index into `rows`) that matches,
// going on from the first after the last; the current row itself is not
// tested. A current index before the first row tests every row once from
// the first; one past the end counts as the last row. -1 when nothing
// matches.
int FindNextRow(const TFindSearch& search, const std::vector<TMivoAttribute*>& rows, int current);

}  // namespace mivo
