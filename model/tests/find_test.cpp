// The search of the find dialog: the text test with and without case, the
// attribute test over names, descriptions and scales, and the walks of
// "Find next" in the tree and in the evaluation grid's rows.
#include <gtest/gtest.h>

#include "model/Find.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

namespace mivo {
namespace {

TEST(Find, TheTextTest) {
    struct Case {
        std::string find;
        bool caseSensitive;
        std::string text;
        bool matches;
    } cases[] = {
        {"PRICE", false, "Total price", true},
        {"PRICE", true, "Total price", false},
        {"price", true, "Total price", true},
        {"", false, "anything", false},
        {"x", false, "", false},
        {"ČAS", false, "Dolgi čas", true},
        {"ΤΙΜΉ", false, "η τιμή", true},       // Greek
        {"ЦЕНА", false, "Общая цена", true},   // Cyrillic
        {"ЦЕНА", true, "Общая цена", false},
        {"ＡＢ", false, "ｘａｂ", true},          // fullwidth Latin
    };
    for (const Case& c : cases) {
        TFindSearch search;
        search.FindText = c.find;
        search.FindCase = c.caseSensitive;
        EXPECT_EQ(TextMatches(search, c.text), c.matches) << c.find << " in " << c.text;
    }
}

// Price (scale cheap; dear) with a description, Look, Total price.
struct FindModel {
    TMivoModel model;
    TMivoAttribute* total;
    TMivoAttribute* price;
    TMivoAttribute* look;
    FindModel() {
        total = model.Root()->AddInput(std::make_unique<TMivoAttribute>("Total price"));
        price = total->AddInput(std::make_unique<TMivoAttribute>("Price", "What it costs"));
        auto scale = std::make_unique<TMivoDiscreteScale>();
        scale->AddValue("cheap");
        scale->AddValue("dear");
        price->SetScale(std::move(scale));
        look = total->AddInput(std::make_unique<TMivoAttribute>("Look"));
    }
};

TEST(Find, TheAttributeTestLooksWhereTheSearchSays) {
    FindModel m;
    struct Case {
        std::string text;
        bool name, desc, scale;
        TMivoAttribute* attribute;
        bool matches;
    } cases[] = {
        {"price", true, false, false, m.price, true},
        {"costs", true, false, false, m.price, false},
        {"costs", false, true, false, m.price, true},
        {"DEAR", false, false, true, m.price, true},
        {"dear", true, true, false, m.price, false},
        {"dear", false, false, true, m.look, false},  // no scale
        {"Look", false, false, false, m.look, false},  // nowhere to look
        {"Look", true, false, false, nullptr, false},
    };
    for (const Case& c : cases) {
        TFindSearch search{c.text, c.name, c.desc, c.scale, false};
        EXPECT_EQ(AttributeMatches(search, c.attribute), c.matches) << c.text;
    }
    EXPECT_FALSE((TFindSearch{"", true, false, false, false}.Usable()));
    EXPECT_FALSE((TFindSearch{"x", false, false, false, false}.Usable()));
    EXPECT_TRUE((TFindSearch{"x", false, false, true, false}.Usable()));
}

TEST(Find, FindNextInTheTreeWrapsAndSkipsTheSelectedAttribute) {
    FindModel m;
    const std::vector<TMivoAttribute*> tree = m.model.Attributes();  // Total price, Price, Look
    TFindSearch search;
    search.FindText = "price";
    // Two matches alternate, wrapping from the last to the first.
    EXPECT_EQ(FindNextAttribute(search, tree, m.total), m.price);
    EXPECT_EQ(FindNextAttribute(search, tree, m.price), m.total);
    EXPECT_EQ(FindNextAttribute(search, tree, m.look), m.total);
    // A single match already selected: nothing.
    search.FindText = "look";
    EXPECT_EQ(FindNextAttribute(search, tree, m.look), nullptr);
    EXPECT_EQ(FindNextAttribute(search, tree, m.price), m.look);
    // No selection, or one not in the tree.
    EXPECT_EQ(FindNextAttribute(search, tree, nullptr), nullptr);
    TMivoAttribute stray("Look");
    EXPECT_EQ(FindNextAttribute(search, tree, &stray), nullptr);
    EXPECT_EQ(FindNextAttribute(search, {}, m.look), nullptr);
}

TEST(Find, FindNextRowFromAnyCurrentRow) {
    FindModel m;
    const std::vector<TMivoAttribute*> rows = m.model.Attributes();
    struct Case {
        std::string text;
        int current;
        int found;
    } cases[] = {
        {"price", -2, 0},   // the header rows: every row from the first
        {"price", -1, 0},
        {"look", -1, 2},
        {"price", 0, 1},
        {"price", 1, 0},    // wraps
        {"look", 2, -1},    // only the current row matches
        {"price", 3, 0},    // past the end counts as the last row
        {"price", 99, 0},
        {"look", 99, -1},
        {"nothing", -1, -1},
    };
    for (const Case& c : cases) {
        TFindSearch search;
        search.FindText = c.text;
        EXPECT_EQ(FindNextRow(search, rows, c.current), c.found) << c.text << " from " << c.current;
    }
    TFindSearch search;
    search.FindText = "price";
    EXPECT_EQ(FindNextRow(search, {}, 0), -1);
}

}  // namespace
}  // namespace mivo
