// Rule text: the written forms, reading back every form, and the lines that
// reading skips.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/RuleText.h"
#include "model/SafeFile.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

using fixture::TTable;

std::vector<std::string> RuleStrings(const TMivoFunction& f) {
    std::vector<std::string> out;
    for (int r = 0; r < f.RuleCount(); ++r) out.push_back(f.Rules().Get(r));
    return out;
}

TMivoDiscreteScale& ScaleOf(TMivoAttribute& a) { return dynamic_cast<TMivoDiscreteScale&>(*a.Scale()); }

void NameValues(TMivoAttribute& a, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) ScaleOf(a).SetValueName(static_cast<int>(i), names[i]);
}

TMivoSettings Form(int dataType, bool all, int formatType) {
    TMivoSettings s;
    s.FncDataType = static_cast<std::uint8_t>(dataType);
    s.FncDataAll = all;
    s.FncFormatType = static_cast<std::uint8_t>(formatType);
    return s;
}

// The cells after the input cells of a rule line.
std::string Tail(const std::string& line, int inputs) {
    std::size_t pos = 0;
    for (int tabs = 0; tabs <= inputs; ++tabs) pos = line.find('\t', pos) + 1;
    return line.substr(pos);
}

class TMemoryClipboard : public TClipboard {
public:
    std::string GetText() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

// in0 (2 values) and in1 (3 values) into an output of three values, with
// names, some rules entered.
struct TNamedTable {
    TTable t{{{2}, {3}}, {3}};
    TNamedTable() {
        t.Root().SetName("goal");
        NameValues(t.Root(), {"bad", "ok", "good"});
        NameValues(*t.Root().Inputs(0), {"no", "yes"});
        NameValues(*t.Root().Inputs(1), {"low", "mid", "high"});
        t.Enter("00", 0);
        t.Enter("02", 1, 2);
        t.Enter("11", 1);
        t.F().SetRuleHigh(t.Find("10"), 1);  // 0..1 not entered
    }
    TMivoFunction& F() { return t.F(); }
};

// --- writing ----------------------------------------------------------------------

TEST(RulesToText, SignFormWithNames) {
    TNamedTable nt;
    const std::vector<std::string> lines = RulesToText(nt.F(), Form(2, true, 2));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "\tin0\tin1\tgoal");
    EXPECT_EQ(lines[1], "1\tno\tlow\tbad\t+");
    EXPECT_EQ(lines[2], "2\tno\tmid\t*\t-");
    EXPECT_EQ(lines[3], "3\tno\thigh\t>=ok\t+");
    EXPECT_EQ(lines[4], "4\tyes\tlow\t<=ok\t-");
    EXPECT_EQ(lines[5], "5\tyes\tmid\tok\t+");
}

TEST(RulesToText, ResultFormsPerSetting) {
    TNamedTable nt;
    struct Case {
        int data, format;
        std::vector<std::string> tails;  // rules 1..4
    };
    const Case cases[] = {
        {0, 0, {"0\t0\t+", "0\t2\t-", "1\t2\t+", "0\t1\t-"}},
        {1, 1, {"1\t+", "1:3\t-", "2:3\t+", "1:2\t-"}},
        {1, 2, {"1\t+", "*\t-", ">=2\t+", "<=2\t-"}},
        {2, 1, {"bad\t+", "bad:good\t-", "ok:good\t+", "bad:ok\t-"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines = RulesToText(nt.F(), Form(c.data, true, c.format));
        for (std::size_t r = 0; r < c.tails.size(); ++r)
            EXPECT_EQ(Tail(lines[r + 1], 2), c.tails[r]) << c.data << "/" << c.format << " rule " << r + 1;
    }
    // Input cells follow the data type too.
    EXPECT_EQ(RulesToText(nt.F(), Form(0, true, 1))[6].substr(0, 5), "6\t1\t2");
    EXPECT_EQ(RulesToText(nt.F(), Form(1, true, 1))[6].substr(0, 5), "6\t2\t3");
}

TEST(RulesToText, SignFormWritesInnerIntervalAsRange) {
    TTable t({{2}}, {4});
    t.Enter("0", 1, 2);
    EXPECT_EQ(Tail(RulesToText(t.F(), Form(1, true, 2))[1], 1), "2:3\t+");
    EXPECT_EQ(Tail(RulesToText(t.F(), Form(1, true, 1))[1], 1), "2:3\t+");
}

TEST(RulesToText, EnteredOnlyWithoutFlagCell) {
    TNamedTable nt;
    const std::vector<std::string> lines = RulesToText(nt.F(), Form(1, false, 1));
    EXPECT_EQ(lines, (std::vector<std::string>{"\tin0\tin1\tgoal", "1\t1\t1\t1", "3\t1\t3\t2:3", "5\t2\t2\t2"}));
}

TEST(RulesToText, FunctionWithoutAttributeWritesNothing) {
    TMivoFunction f;
    EXPECT_TRUE(RulesToText(f, TMivoSettings()).empty());
    EXPECT_EQ(ImportStrings(f, {"1\t1\t+"}, TMivoSettings()).Imported, 0);
}

// --- reading back -------------------------------------------------------------------

TEST(ImportStrings, TextJustWrittenLeavesTableUnchangedInEveryForm) {
    for (int data = 0; data <= 2; ++data) {
        for (int format = 0; format <= 2; ++format) {
            for (bool all : {true, false}) {
                TNamedTable nt;
                const TMivoSettings form = Form(data, all, format);
                const std::vector<std::string> before = RuleStrings(nt.F());
                const std::vector<std::string> lines = RulesToText(nt.F(), form);

                const TRuleImport counts = ImportStrings(nt.F(), lines, form);
                const std::string where = std::to_string(data) + "/" + std::to_string(format) + (all ? " all" : "");
                EXPECT_EQ(counts.Imported, static_cast<int>(lines.size()) - 1) << where;
                EXPECT_EQ(counts.Changed, 0) << where;
                EXPECT_EQ(RuleStrings(nt.F()), before) << where;

                // Into a fresh table: every written rule arrives as it was.
                TNamedTable fresh;
                for (int r = 0; r < fresh.F().RuleCount(); ++r) fresh.F().ClearRule(r);
                const TRuleImport into_fresh = ImportStrings(fresh.F(), lines, form);
                EXPECT_EQ(into_fresh.Imported, counts.Imported) << where;
                for (int r = 0; r < nt.F().RuleCount(); ++r) {
                    if (all || nt.F().RuleEntered(r)) {
                        EXPECT_EQ(fresh.F().Rules().Get(r), before[static_cast<std::size_t>(r)]) << where;
                    }
                }
            }
        }
    }
}

TEST(ImportStrings, WithoutFlagCellsEveryImportedRuleBecomesEntered) {
    TTable t({{2}, {2}}, {3});
    const TMivoSettings form = Form(1, false, 1);
    const TRuleImport counts =
        ImportStrings(t.F(), {"\tin0\tin1\tgoal", "2\t1\t2\t1:3", "4\t2\t2\t2"}, form);
    EXPECT_EQ(counts.Imported, 2);
    EXPECT_EQ(counts.Changed, 2);  // 0..2 entered: only the flag changed
    EXPECT_EQ(RuleStrings(t.F()), (std::vector<std::string>{"0002-", "0102+", "1002-", "1111+"}));
}

TEST(ImportStrings, RuleNumberAloneIdentifiesRuleWhenCellCountDiffers) {
    TTable t({{2}, {2}}, {3});
    const TRuleImport counts = ImportStrings(t.F(), {"3\t2:3", "4\t9\t2\t-"}, Form(1, true, 1));
    EXPECT_EQ(counts.Imported, 2);
    EXPECT_EQ(RuleStrings(t.F()), (std::vector<std::string>{"0002-", "0102-", "1012+", "1111-"}));
}

TEST(ImportStrings, SkipsLinesThatFailATest) {
    const std::vector<std::string> bad = {
        "",                      // no cell
        "\tin0\tin1\tgoal",      // header: empty first cell
        "   \t1\t1\t1",          // blank first cell
        "x\t1\t1\t1\t+",         // not a number
        "1.5\t1\t1\t1",          // not an integer
        "0\t1\t1\t1",            // rule numbers start at 1
        "5\t1\t1\t1",            // beyond the table
        "99999999999\t1\t1\t1",  // beyond any integer
        "1",                     // one cell
        "1\t+",                  // nothing left for the result
        "1\t1\t1\t4",            // result outside the scale
        "1\t1\t1\t3:2",          // low above high
        "1\t1\t1\tgood",         // no such value name
        "1\t2\t1\t1",            // input cells name another rule
        "2\t1\t1\t1",            // the same, the other input
    };
    TTable t({{2}, {2}}, {3});
    const std::vector<std::string> before = RuleStrings(t.F());
    for (const std::string& line : bad) {
        const TRuleImport counts = ImportStrings(t.F(), {line}, Form(1, true, 1));
        EXPECT_EQ(counts.Imported, 0) << line;
    }
    EXPECT_EQ(RuleStrings(t.F()), before);

    // The two-cell form needs two result cells after the rule number.
    EXPECT_EQ(ImportStrings(t.F(), {"1\t1\t+"}, Form(1, true, 0)).Imported, 0);
    EXPECT_EQ(ImportStrings(t.F(), {"1\t1\t2\t+"}, Form(1, true, 0)).Imported, 1);
    EXPECT_EQ(t.Interval("00"), "01");
}

TEST(ImportStrings, EveryIntervalFormIsReadWhateverTheFormatSetting) {
    struct Case {
        std::string cell;
        std::string interval;
    };
    const Case cases[] = {
        {"*", "03"}, {">=2", "13"}, {"<=3", "02"}, {"2:3", "12"}, {"4", "33"}, {" 2 ", "11"}, {"mid", "11"},
    };
    for (int format : {1, 2}) {
        for (const Case& c : cases) {
            TTable t({{2}}, {4});
            NameValues(t.Root(), {"v0", "mid", "v2", "v3"});
            EXPECT_EQ(ImportStrings(t.F(), {"2\t" + c.cell}, Form(1, true, format)).Imported, 1) << c.cell;
            EXPECT_EQ(t.Interval("1"), c.interval) << c.cell;
        }
    }
}

TEST(ImportStrings, ValueCellsByNameOrNumberInTheOrderOfTheDataType) {
    // Names that are numbers: for the Text type a name comes first, else the
    // number does; a number 0-based for Zero and Text, 1-based for One.
    struct Case {
        int data;
        std::string cell;
        std::string interval;
    };
    const Case cases[] = {{2, "2", "00"}, {1, "2", "11"}, {0, "2", "22"}, {2, "7", ""}, {1, "x", ""}, {0, "1:2", "12"}};
    for (const Case& c : cases) {
        TTable fresh({{2}}, {3});
        NameValues(fresh.Root(), {"2", "0", "1"});
        const int imported = ImportStrings(fresh.F(), {"1\t" + c.cell}, Form(c.data, true, 1)).Imported;
        EXPECT_EQ(imported, c.interval.empty() ? 0 : 1) << c.data << " " << c.cell;
        if (imported) {
            EXPECT_EQ(fresh.Interval("0"), c.interval) << c.data << " " << c.cell;
        }
    }
}

TEST(ImportStrings, AnIntegerIsANumberForZeroAndOneWhateverItsValue) {
    // An integer outside the scale is not looked up as a value name: the
    // line is skipped. Any other cell still may name a value.
    struct Case {
        std::vector<std::string> output;
        std::vector<std::string> input;
        int data;
        std::string line;
        int imported;
    };
    const Case cases[] = {
        {{"a", "0"}, {"x", "y"}, 1, "1\t0", 0},            // 0 - 1 is no value of One
        {{"lo", "hi"}, {"10", "20"}, 0, "2\t20\t1", 0},   // input cell 20 is no index
        {{"lo", "hi"}, {"10", "20"}, 0, "2\t 1 \t1", 1},  // blanks around an integer
        {{"lo", "hi"}, {"10", "20"}, 0, "2\t99999999999\t1", 0},
        {{"a", "0"}, {"x", "y"}, 0, "1\tx\ta", 1},        // not integers: names
    };
    for (const Case& c : cases) {
        TTable t({{2}}, {2});
        NameValues(t.Root(), c.output);
        NameValues(*t.Root().Inputs(0), c.input);
        const std::vector<std::string> before = RuleStrings(t.F());
        const TRuleImport counts = ImportStrings(t.F(), {c.line}, Form(c.data, true, 1));
        EXPECT_EQ(counts.Imported, c.imported) << c.line;
        if (c.imported == 0) {
            EXPECT_EQ(RuleStrings(t.F()), before) << c.line;
        }
    }
}

TEST(ImportStrings, NamesThatLookLikeIntervalFormsReadBack) {
    TTable t({{2}, {3}}, {4});
    NameValues(t.Root(), {"a:b", ">=x", "<=y", "c"});
    NameValues(*t.Root().Inputs(1), {"p:q", ">=r", "s"});
    // Every interval of the output scale, once in each form.
    int r = 0;
    for (int low = 0; low < 4; ++low)
        for (int high = low; high < 4 && r < t.F().RuleCount(); ++high, ++r) {
            t.F().SetRuleLow(r, low);
            t.F().SetRuleHigh(r, high);
            t.F().SetRuleEntered(r, r % 2 == 0);
        }
    const std::vector<std::string> before = RuleStrings(t.F());
    for (int format = 0; format <= 2; ++format) {
        const TMivoSettings form = Form(2, true, format);
        const std::vector<std::string> lines = RulesToText(t.F(), form);
        for (int k = 0; k < t.F().RuleCount(); ++k) t.F().ClearRule(k);
        const TRuleImport counts = ImportStrings(t.F(), lines, form);
        EXPECT_EQ(counts.Imported, t.F().RuleCount()) << format;
        EXPECT_EQ(RuleStrings(t.F()), before) << format;
    }
}

TEST(ImportStrings, ExactNameWinsOverIntervalFormsForTheTextType) {
    struct Case {
        int data;
        std::string cell;
        std::string interval;
    };
    const Case cases[] = {
        {2, ">=c", "11"}, {2, "<=c", "22"}, {2, "c:d", "44"},  // the names themselves
        {1, ">=c", "04"}, {1, "<=c", "00"}, {1, "c:d", "03"},  // numbers first: interval forms of names
    };
    for (const Case& c : cases) {
        TTable t({{2}}, {5});
        NameValues(t.Root(), {"c", ">=c", "<=c", "d", "c:d"});
        ASSERT_EQ(ImportStrings(t.F(), {"1\t" + c.cell}, Form(c.data, true, 1)).Imported, 1) << c.cell;
        EXPECT_EQ(t.Interval("0"), c.interval) << c.data << " " << c.cell;
    }
}

// --- files and the clipboard --------------------------------------------------------------

TEST(RuleTextFiles, ExportThenImportRoundTrip) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ruletext_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "rules.tab").string();

    TNamedTable nt;
    const TMivoSettings form = Form(2, true, 2);
    ExportFile(nt.F(), file, form);
    const std::string text = ReadFile(file);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "\tin0\tin1\tgoal\n");
    EXPECT_EQ(text.find('\r'), std::string::npos);

    TNamedTable target;
    for (int r = 0; r < target.F().RuleCount(); ++r) target.F().ClearRule(r);
    const TRuleImport counts = ImportFile(target.F(), file, form);
    EXPECT_EQ(counts.Imported, 6);
    EXPECT_EQ(counts.Changed, 4);
    EXPECT_EQ(RuleStrings(target.F()), RuleStrings(nt.F()));

    EXPECT_THROW(ImportFile(target.F(), (dir / "missing.tab").string(), form), EFileError);
    std::filesystem::remove_all(dir);
}

TEST(RuleTextClipboard, CopyEndsLinesWithCrLfAndPasteReadsItBack) {
    TNamedTable nt;
    TMemoryClipboard clipboard;
    const TMivoSettings form = Form(0, true, 0);
    CopyToClipboard(nt.F(), clipboard, form);
    const std::string text = clipboard.GetText();
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "\tin0\tin1\tgoal\r\n");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    TNamedTable target;
    for (int r = 0; r < target.F().RuleCount(); ++r) target.F().ClearRule(r);
    const TRuleImport counts = PasteFromClipboard(target.F(), clipboard, form);
    EXPECT_EQ(counts.Imported, 6);
    EXPECT_EQ(RuleStrings(target.F()), RuleStrings(nt.F()));

    clipboard.SetText("");
    EXPECT_EQ(PasteFromClipboard(target.F(), clipboard, form).Imported, 0);
}

}  // namespace
}  // namespace mivo
