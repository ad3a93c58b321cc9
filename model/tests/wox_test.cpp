#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "model/tests/InterchangeFixture.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/SafeFile.h"
#include "model/TreeEdit.h"
#include "model/Wox.h"
#include "model/WoxImport.h"

using namespace mivo;
using namespace mivo::fixture;

namespace {

std::string TempFile(const std::string& name) {
    return ::testing::TempDir() + "/wox_" + std::to_string(getpid()) + "_" + name;
}

std::string DataFile(const std::string& name) { return std::string(MIVO_TEST_DATA) + "/wox/" + name; }

// The records of a text as "tag|item|item...".
std::vector<std::string> Records(const std::vector<std::string>& lines) {
    TWoxParser parser(lines);
    std::vector<std::string> records;
    while (parser.NextRecord()) {
        std::string r = parser.Section();
        for (const std::string& item : parser.Items()) r += "|" + item;
        records.push_back(r);
    }
    EXPECT_EQ(parser.Section(), "EOF");
    return records;
}

// The header and model records every test file starts with.
std::vector<std::string> WithHeader(const std::vector<std::string>& body) {
    std::vector<std::string> lines{" Zut I1.5", " DKB Test", "DA test model"};
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

// An aggregate "Goal" (values g1..g3) over "X" (x1, x2) and "Y" (y1..y3).
const std::vector<std::string> kTree{
    " ATT Goal", "L1 I1", " DOM D+", "Ng1", "Ng2", "Ng3",  //
    " ATT X",    "L2 I2", " DOM D+", "Nx1", "Nx2",         //
    " ATT Y",    "L2 I3", " DOM D+", "Ny1", "Ny2", "Ny3",
};

std::vector<std::string> WithTree(const std::vector<std::string>& rest) {
    std::vector<std::string> body = kTree;
    body.insert(body.end(), rest.begin(), rest.end());
    return WithHeader(body);
}

std::string MessageOf(const std::vector<std::string>& lines) {
    TMivoModel model;
    try {
        ReadWox(model, lines, "bad.wox");
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

// --- the record reader ---------------------------------------------------------

TEST(WoxParser, EmptyFileEndsAtOnce) {
    std::vector<std::string> lines;
    TWoxParser parser(lines);
    EXPECT_FALSE(parser.NextRecord());
    EXPECT_EQ(parser.Section(), "EOF");
    EXPECT_TRUE(parser.Eof());
    EXPECT_EQ(parser.ItemCount(), 0);
    EXPECT_EQ(parser.ItemCode(0), '\0');
}

TEST(WoxParser, RecordsSplitIntoItemsBySection) {
    std::vector<std::string> lines{
        " DKB My  model ",  // text section: the name kept whole
        "DA description",   // whole item
        "T3 t2 A10",        // words
        "",                 // adds nothing
        " ATT Two  words",
        "L2 I3",
        " DOM D-",
        "Bvery  bad",  // value names kept whole
        "Gok",
        "Dvalue text",
        "x y",
        " FNC DI I2",
        "S2 d1.000000",
        "R1 r1:2",
    };
    EXPECT_EQ(Records(lines), (std::vector<std::string>{
                                  "DKB| My  model |DA description|T3|t2|A10",
                                  "ATT| Two  words|L2|I3",
                                  "DOM|D-|Bvery  bad|Gok|Dvalue text|x|y",
                                  "FNC|DI|I2|S2|d1.000000|R1|r1:2",
                              }));
}

TEST(WoxParser, ItemAccessors) {
    std::vector<std::string> lines{" VAL G1 I12 *", "Vx"};
    TWoxParser parser(lines);
    ASSERT_TRUE(parser.NextRecord());
    EXPECT_EQ(parser.ItemCode(1), 'I');
    EXPECT_EQ(parser.ItemText(1), "12");
    EXPECT_EQ(parser.ItemInt(1), 12);
    EXPECT_EQ(parser.ItemText(2), "");
    EXPECT_THROW(parser.ItemInt(3), EConvertError);
    EXPECT_EQ(parser.ItemText(9), "");
}

TEST(WoxParser, UnknownTagsAreRejectedWithTheirLine) {
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    const Case cases[] = {
        {{" Zut I1.5", " XYZ a"}, "Error reading WOX around line 1: Unrecognized section \"XYZ\""},
        {{" Zut I1.5", "x", " att Name"}, "Error reading WOX around line 2: Unrecognized section \"att\""},
        // A description with a line break whose second line starts with a
        // blank becomes a record of its own.
        {{" ATT A", "Dfirst", " second line"}, "Error reading WOX around line 2: Unrecognized section \"seco\""},
    };
    for (const Case& c : cases) {
        TWoxParser parser(c.lines);
        try {
            while (parser.NextRecord()) {
            }
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EWoxError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // Leading parts of a tag and the empty tag pass.
    EXPECT_EQ(Records({" DK  x", "   "}), (std::vector<std::string>{"DK| x", "| "}));
}

// --- export ----------------------------------------------------------------------

TEST(WoxExport, WritesEveryRecordLayout) {
    TMivoModel model;
    TMivoAttribute* goal = AddAttribute(model.Root(), "Goal", soAscending, {"bad", "good"});
    AddAttribute(goal, "X", soAscending, {"lo", "hi"}, "the x");
    AddAttribute(goal, "Y", soDescending, {"a", "b"});
    TMivoFunction* f = goal->CreateFunction();
    // Canonical rules 00 01 10 11.
    f->SetRuleValue(0, 0);
    f->SetRuleEntered(0, true);
    f->SetRuleValue(2, 1);
    f->SetRuleEntered(2, true);
    f->SetRuleValue(3, 1);
    f->SetRuleEntered(3, true);
    model.AddOption("O1");
    model.Attributes()[1]->SetOptValue(0, "1");
    model.NeedsEvaluation = true;

    EXPECT_EQ(WoxLines(model), (std::vector<std::string>{
                                   " Zut I1.5", " DKB Goal", "DGoal", "T1 t2 A3 a1 b2 v2 G1 O1 o4",
                                   "PP- UDU MC* ME* MD*", "=4000",                   //
                                   " ATT Goal", "L1 I1", " DOM D+", "Bbad", "Ggood",  //
                                   " ATT X", "Dthe x", "L2 I2", " DOM D+", "Blo", "Ghi",
                                   " ATT Y", "L2 I3", " DOM D-", "Ga", "Bb",  //
                                   " GRP", " FNC DI I1", "S4 d0.750000 MC* ME* MD*",
                                   "R1 R2 r1:2 R2",  // the first input varies fastest
                                   " OPT O1", " VAL * G1 I0", " VAL E * G1 I1", " VAL G1 I2", "V2",
                                   " VAL * G1 I3",
                               }));
    // The export leaves the rules in canonical order.
    EXPECT_EQ(f->Rules().Get(1), "0101-");
}

TEST(WoxExport, EmptyModelAndTwelveRulesPerLine) {
    TMivoModel empty;
    std::vector<std::string> lines = WoxLines(empty);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], " DKB ");
    EXPECT_EQ(lines[2], "D");

    TMivoModel model;
    TMivoAttribute* goal = AddAttribute(model.Root(), "Goal", soAscending, {"no", "yes"});
    AddAttribute(goal, "In", soAscending, Names("v", 13));
    goal->CreateFunction();
    lines = WoxLines(model);
    auto fnc = std::find(lines.begin(), lines.end(), " FNC DI I1");
    ASSERT_NE(fnc, lines.end());
    EXPECT_EQ(fnc[1], "S13 d0.000000 MC* ME* MD*");
    EXPECT_EQ(fnc[2], "r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2 r1:2");
    EXPECT_EQ(fnc[3], "r1:2");
}

TEST(WoxExport, LineBreaksInTextsAreWrittenAsBlanks) {
    TMivoModel model;
    model.SetName("Two\r\nlines");
    model.SetDescription("Desc\nwith\tbreaks");
    TMivoAttribute* a = AddAttribute(model.Root(), "A\r B", soAscending, {"v\n1", "v2"}, "first\n ATT injected");
    DiscreteScale(a).SetValueDescription(0, "x\r\n DOM y");
    model.AddOption("Opt\n VAL");
    std::string path = TempFile("breaks.wox");
    ExportWox(model, path);
    EXPECT_EQ(ReadFile(path).find("\n ATT injected"), std::string::npos);

    TMivoModel back;
    EXPECT_EQ(ImportWox(back, path), "");
    EXPECT_EQ(back.GetName(), "Two  lines");
    EXPECT_EQ(back.GetDescription(), "Desc with breaks");
    ASSERT_EQ(back.Attributes().size(), 1u);
    TMivoAttribute* b = back.Attributes()[0];
    EXPECT_EQ(b->GetName(), "A  B");
    EXPECT_EQ(b->GetDescription(), "first  ATT injected");
    EXPECT_EQ(DiscreteScale(b).ValueName(0), "v 1");
    EXPECT_EQ(DiscreteScale(b).ValueDescription(0), "x   DOM y");
    EXPECT_EQ(back.OptionName(0), "Opt  VAL");
}

// --- round trips -------------------------------------------------------------------

TEST(WoxRoundTrip, KeepsWhatTheFormatCarries) {
    std::unique_ptr<TMivoModel> model = RichModel();
    std::string path = TempFile("rich.wox");
    ExportWox(*model, path);
    EXPECT_EQ(ReadFile(path).substr(0, 11), " Zut I1.5\r\n");

    TMivoModel back;
    EXPECT_EQ(ImportWox(back, path), "");
    EXPECT_EQ(back.GetName(), "Car choice");
    EXPECT_EQ(back.GetDescription(), "Which car to buy");
    ExpectSameTreeAndScales(*model, back);
    EXPECT_EQ(AllRules(back), AllRules(*model));  // intervals and entered flags
    EXPECT_EQ(back.Options(), model->Options());
    EXPECT_TRUE(back.NeedsEvaluation);

    // Option values: single values (10 and 11 on the twelve-value scale),
    // "*" and sets come back; undefined becomes "*".
    EXPECT_EQ(OptionValues(back, 0, true), OptionValues(*model, 0, true));
    EXPECT_EQ(OptionValues(back, 1, true), (std::vector<std::string>{"*", ";", "*", "*"}));
    EXPECT_EQ(OptionValues(back, 2, true), OptionValues(*model, 2, true));

    // Duplicate names link the same way once linking is on.
    back.Settings.Linking = true;
    back.Reevaluate();
    EXPECT_EQ(LinkPattern(back), LinkPattern(*model));
    EXPECT_EQ(OptionValues(back, 0, false), OptionValues(*model, 0, false));
}

TEST(WoxRoundTrip, SetsInSeveralOptionsKeepTheirValuesAndEvaluations) {
    // The example's only set is Studio Žižkov's Commute "medium;short";
    // two more, in earlier options, make the first set of the file one of
    // the added ones and leave the example's own set a later one.
    TMivoModel model;
    LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    const int studio = model.IndexOfOption("Studio Žižkov");
    ASSERT_GE(studio, 0);
    ASSERT_EQ(model.FindByName("Commute")->GetOptValue(studio), "12");
    model.FindByName("Nebenkosten")->SetOptValue(0, "01");
    model.FindByName("Commute")->SetOptValue(2, "01");
    model.Reevaluate();

    const std::string path = TempFile("sets.wox");
    ExportWox(model, path);
    TMivoModel back;
    EXPECT_EQ(ImportWox(back, path), "");
    back.Reevaluate();
    for (int k = 0; k < model.OptionCount(); ++k) {
        SCOPED_TRACE(model.OptionName(k));
        EXPECT_EQ(OptionValues(back, k, false), OptionValues(model, k, false));  // basic and evaluated
    }
    EXPECT_EQ(back.FindByName("Commute")->GetOptValue(studio), "12");
    EXPECT_EQ(back.FindByName("Nebenkosten")->GetOptValue(0), "01");
    std::remove(path.c_str());
}

TEST(WoxRoundTrip, WhatTheFormatDrops) {
    TMivoModel model;
    model.SetName("M");
    TMivoAttribute* top = AddAttribute(model.Root(), "Top", soAscending, {"a", "b", "c", "d"});
    TMivoAttribute* x = AddAttribute(top, "X", soAscending, {"x1", "x2"});
    TMivoDiscreteScale& s = DiscreteScale(top);
    s.Unit = "EUR";
    s.Interval = false;
    s.BGLow = 0.5;  // half-step bounds: come back on value indices
    s.BGHigh = 2.5;
    TMivoFunction* f = top->CreateFunction();
    f->UseWeights = true;
    f->Consist = false;
    f->Rounding = 1;
    f->SetDescription("how the top is rated");
    model.Settings.Linking = true;
    model.AddOption("O");
    model.AddOption("P");
    model.SetOptionSelected(1, false);
    x->SetOptValue(1, "01");  // a set: kept

    std::string path = TempFile("drops.wox");
    ExportWox(model, path);
    TMivoModel back;
    ImportWox(back, path);
    ExpectSameTreeAndScales(model, back);
    TMivoDiscreteScale& t = DiscreteScale(back.Attributes()[0]);
    EXPECT_EQ(t.Unit, "");
    EXPECT_TRUE(t.Interval);
    EXPECT_FALSE(t.Equal(&s));
    TMivoFunction* g = back.Attributes()[0]->Funct();
    ASSERT_NE(g, nullptr);
    EXPECT_FALSE(g->UseWeights);
    EXPECT_TRUE(g->Consist);
    EXPECT_EQ(g->Rounding, 0);
    EXPECT_EQ(g->GetDescription(), "");
    EXPECT_FALSE(back.Settings.Linking);
    EXPECT_TRUE(back.OptionSelected(1));
    EXPECT_EQ(back.GetDescription(), "Top");  // an empty description becomes the first attribute's name
    EXPECT_EQ(OptionValues(back, 0, true), std::vector<std::string>{"*"});  // undefined
    EXPECT_EQ(OptionValues(back, 1, true), std::vector<std::string>{"01"});  // the set
}

TEST(WoxRoundTrip, OwnFixtureFileReads) {
    TMivoModel model;
    std::string warnings = ImportWox(model, DataFile("holiday.wox"));
    EXPECT_EQ(warnings, MivoStr::SWoxManyGroups);
    EXPECT_EQ(model.GetName(), "Holiday");
    EXPECT_EQ(model.GetDescription(), "Where to go");
    std::vector<TMivoAttribute*> all = model.Attributes();
    ASSERT_EQ(all.size(), 5u);
    TMivoAttribute* trip = all[0];
    EXPECT_EQ(trip->GetDescription(), "How good the trip is");
    EXPECT_EQ(trip->InpCount(), 2);
    EXPECT_EQ(all[3]->Parent(), all[2]);        // Beach under Fun
    EXPECT_EQ(all[4]->Parent(), model.Root());  // Weather climbs back to the top
    EXPECT_EQ(DiscreteScale(all[2]).ValueDescription(2), "more than we hoped");
    ASSERT_NE(trip->Funct(), nullptr);
    // File order R1 R2 R2 R3 r2:3 R3 (first input fastest) in canonical order.
    std::vector<std::string> rules;
    for (int r = 0; r < trip->Funct()->RuleCount(); ++r) rules.push_back(trip->Funct()->Rules().Get(r));
    EXPECT_EQ(rules, (std::vector<std::string>{"0000+", "0111+", "0212-", "1011+", "1122+", "1222+"}));
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"Seaside", "Mountains"}));
    EXPECT_EQ(OptionValues(model, 0, true), (std::vector<std::string>{"1", "*", "01"}));
    EXPECT_EQ(OptionValues(model, 1, true), (std::vector<std::string>{"0", "", "01"}));
}

// --- import rules ------------------------------------------------------------------

TEST(WoxImport, ValueMarksBecomeBounds) {
    struct Case {
        std::string order;
        std::string marks;
        std::string bad;   // expected bad values
        std::string good;  // expected good values
    };
    const Case cases[] = {
        {"+", "BBNGG", "01", "34"}, {"+", "NNN", "", ""},  {"-", "GGNBB", "34", "01"},
        {"-", "NNB", "2", ""},      {"-", "GNN", "", "0"}, {"~", "BNG", "", ""},
        {"+", "BGN", "0", "12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order + c.marks);
        std::vector<std::string> body{" ATT A", "L1 I1", " DOM D" + c.order};
        for (char m : c.marks) body.push_back(std::string(1, m) + "v");
        TMivoModel model;
        ReadWox(model, WithHeader(body), "t.wox");
        const TMivoDiscreteScale& s = DiscreteScale(model.Attributes()[0]);
        std::string bad;
        std::string good;
        for (int v = 0; v < s.Count(); ++v) {
            if (s.IsBad(v)) bad += std::to_string(v);
            if (s.IsGood(v)) good += std::to_string(v);
        }
        EXPECT_EQ(bad, c.bad);
        EXPECT_EQ(good, c.good);
    }
}

TEST(WoxImport, LevelsPlaceAttributesAndNeverClimbPastTheRoot) {
    TMivoModel model;
    ReadWox(model,
            WithHeader({" ATT First", " ATT Child", "L2", " ATT Deep", "L9", " ATT Zero", "L0", " ATT Minus",
                        "L-5", " ATT Sibling", " ATT Up", "L2"}),
            "t.wox");
    std::vector<std::string> paths;
    model.ForEachAttribute([&](TMivoAttribute* a) { paths.push_back(a->Path()); });
    EXPECT_EQ(paths, (std::vector<std::string>{"\\Root\\First", "\\Root\\First\\Child", "\\Root\\First\\Child\\Deep",
                                               "\\Root\\Zero", "\\Root\\Minus", "\\Root\\Sibling",
                                               "\\Root\\Sibling\\Up"}));
}

TEST(WoxImport, FunctionsReadAndOddRecordsAreSkippedWithWarnings) {
    TMivoModel model;
    std::string warnings = ReadWox(model,
                                   WithTree({
                                       " GRP",
                                       " FNC DI I2", "R1",  // X is basic: skipped
                                       " FNC DI I0",        // no attribute has number 0
                                       " FNC DI", "R1",     // no number at all
                                       " FNC DI I1", "R1 R2",
                                       " FNC DI I1", "R3 r2:3",  // replaces the table before
                                   }),
                                   "t.wox");
    EXPECT_EQ(warnings, Format(SWoxFunctionNotPossible, 21, "X") + Format(SWoxFunctionWithoutAttribute, 23) +
                            Format(SWoxFunctionWithoutAttribute, 24));
    TMivoFunction* f = model.Attributes()[0]->Funct();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->RuleCount(), 6);
    EXPECT_EQ(f->Rules().Get(0), "0022+");  // file position 0: X=0, Y=0
    EXPECT_EQ(f->Rules().Get(3), "1012-");  // file position 1: X=1, Y=0
    EXPECT_EQ(f->Rules().Get(1), "0102-");  // not given: full interval, not entered
}

TEST(WoxImport, FirstNumberOfAFunctionRecordCounts) {
    TMivoModel model;
    std::string warnings =
        ReadWox(model, WithTree({" GRP", " FNC DI", "R2 r1:3 I1 I3", " FNC DI I3 I1"}), "t.wox");
    EXPECT_EQ(warnings, Format(SWoxFunctionNotPossible, 23, "Y"));
    TMivoFunction* f = model.Attributes()[0]->Funct();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Attribute(), model.Attributes()[0]);
    EXPECT_EQ(f->Rules().Get(0), "0011+");
    EXPECT_EQ(f->Rules().Get(3), "1002-");
}

TEST(WoxImport, SecondGroupOfFunctionsIsSkipped) {
    TMivoModel model;
    std::string warnings =
        ReadWox(model, WithTree({" GRP", " FNC DI I1", "R1", " GRP", " FNC DI I1", "R3", " GRP"}), "t.wox");
    EXPECT_EQ(warnings, MivoStr::SWoxManyGroups);
    EXPECT_EQ(model.Attributes()[0]->Funct()->RuleLow(0), 0);
}

TEST(WoxImport, OptionValues) {
    TMivoModel model;
    std::string warnings = ReadWox(model,
                                   WithTree({
                                       " OPT First",
                                       " VAL * G1 I0",
                                       " VAL G1 I2", "V2 V1",     // a set, sorted
                                       " VAL G1 I3", "V3 V1 V3",  // sorted, no repeats
                                       " VAL E G1 I1", "V2",      // aggregate values are kept
                                       " OPT",                    // no name
                                       " VAL G2 I2", "V1",        // other groups are ignored
                                       " VAL G1 I3", "V0 V4",     // nothing left inside the scale
                                       " VAL G1 I2", "V2 V9",     // the value outside is dropped
                                       " VAL * G1 I3",
                                   }),
                                   "t.wox");
    // Only the members outside the scale were lost, and only they warn.
    EXPECT_EQ(warnings, Format(SWoxValuesDropped, 31));
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"First", ""}));
    EXPECT_EQ(OptionValues(model, 0, false), (std::vector<std::string>{"1", "01", "02"}));
    EXPECT_EQ(OptionValues(model, 1, false), (std::vector<std::string>{"", "1", "*"}));
    EXPECT_TRUE(model.NeedsEvaluation);
}

TEST(WoxImport, AttributeNumbersAreBounded) {
    // A huge number costs nothing and can be referred to.
    TMivoModel model;
    ReadWox(model,
            WithHeader({" ATT A", "L1 I2000000000", " DOM D+", "Na", "Nb", " OPT O", " VAL G1 I2000000000",
                        "V2", " VAL G1 I5", "V1"}),
            "t.wox");
    EXPECT_EQ(OptionValues(model, 0, false), std::vector<std::string>{"1"});

    // Options of a model without attributes refer to entry 0, which exists.
    TMivoModel none;
    EXPECT_EQ(ReadWox(none, WithHeader({" OPT O", " VAL * G1 I0"}), "t.wox"), "");
}

TEST(WoxImport, RecordsOutOfPlaceEndTheImportWithAWarning) {
    TMivoModel model;
    std::string warnings =
        ReadWox(model, WithTree({" GRP", " OPT O", " VAL * G1 I1", " ATT Late", "L1 I4"}), "t.wox");
    EXPECT_EQ(warnings, Format(SWoxStoppedEarly, "ATT", 23));
    EXPECT_EQ(model.Attributes().size(), 3u);

    TMivoModel report;
    EXPECT_EQ(ReadWox(report, WithTree({" OPT O", " RPT something"}), "t.wox"), "");
}

TEST(WoxImport, HostileInputGivesClearErrors) {
    std::string unsupported = Format(MivoStr::SUnsupportedFileFormat, "bad.wox");
    std::vector<std::string> deep = WithHeader({});
    for (int i = 1; i <= MaxAttributeLevel + 1; ++i) deep.insert(deep.end(), {" ATT a", "L" + std::to_string(i)});
    std::vector<std::string> wide = WithHeader({" ATT A", "L1 I1", " DOM D+"});
    for (int i = 0; i <= MaxScaleValues; ++i) wide.push_back("Nv" + std::to_string(i));

    const std::string kAt21 = "Error reading WOX around line 21: ";

    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    const std::vector<Case> cases{
        {{}, unsupported},
        {{" DKB Model", " ATT A"}, unsupported},
        {{" Zut I1.5", " ATT First", "L1 I1"}, unsupported},  // the second record must be DKB
        {{" Zut I1.5"}, unsupported},
        {{"garbage line"}, "Error reading WOX around line 0: Unrecognized section \"garba\""},
        {WithHeader({" ATT A", "L1 I-1"}), "Error reading WOX around line 3: Invalid attribute number -1"},
        {WithTree({" OPT O", " VAL G1 I4", "V1"}), "Error reading WOX around line 21: Invalid attribute number 4"},
        {WithTree({" OPT O", " VAL * G1 I-3"}), "Error reading WOX around line 21: Invalid attribute number -3"},
        {WithTree({" GRP", " FNC DI I99"}), "Error reading WOX around line 21: Invalid attribute number 99"},
        {WithTree({" GRP", " FNC DI I1", "R0"}), kAt21 + Format(SWoxBadRule, 1, "Goal", "0", 3)},
        {WithTree({" GRP", " FNC DI I1", "R1 R4"}), kAt21 + Format(SWoxBadRule, 2, "Goal", "4", 3)},
        {WithTree({" GRP", " FNC DI I1", "R3:2"}), kAt21 + Format(SWoxBadRule, 1, "Goal", "3:2", 3)},
        {WithTree({" GRP", " FNC DI I1", "R1 R1 R1 R1 R1 R1 R1"}),
         kAt21 + Format(SWoxTooManyRules, "Goal", 6)},
        {WithTree({" GRP", " FNC DI I1", "R1:x"}), kAt21 + "'x' is not a valid integer value"},
        {WithHeader({" ATT A", "Lx"}), "Error reading WOX around line 3: 'x' is not a valid integer value"},
        {deep, "Error reading WOX around line 1993: " +
                    Format(STreeTooDeep, MaxAttributeLevel + 1, MaxAttributeLevel)},
        {wide, "Error reading WOX around line 5: " + Format(SWoxTooManyValues, "A", MaxScaleValues)},
    };
    for (const Case& c : cases) EXPECT_EQ(MessageOf(c.lines), c.message);

    // Error classes: structure EMivoError, numbers EConvertError.
    TMivoModel model;
    EXPECT_THROW(ReadWox(model, WithTree({" GRP", " FNC DI I1", "R0"}), "t.wox"), EMivoError);
    TMivoModel other;
    EXPECT_THROW(ReadWox(other, WithHeader({" ATT A", "Lx"}), "t.wox"), EConvertError);
}

TEST(WoxImport, TooLargeTableIsRefused) {
    std::vector<std::string> body{" ATT Goal", "L1 I1", " DOM D+", "Na", "Nb"};
    for (int k = 0; k < 4; ++k) {
        body.insert(body.end(), {" ATT In" + std::to_string(k), "L2 I" + std::to_string(k + 2), " DOM D+"});
        for (int v = 0; v < 40; ++v) body.push_back("Nv" + std::to_string(v));
    }
    body.insert(body.end(), {" GRP", " FNC DI I1", "R1"});
    TMivoModel model;
    EXPECT_THROW(ReadWox(model, WithHeader(body), "t.wox"), EMivoError);
    EXPECT_EQ(model.Attributes()[0]->Funct(), nullptr);
}

TEST(WoxImport, MissingFileIsAFileError) {
    TMivoModel model;
    EXPECT_THROW(ImportWox(model, TempFile("does-not-exist.wox")), EFileError);
}
