#include <gtest/gtest.h>

#include <sstream>

#include "evaluator/EvalArgs.h"

using namespace mivo;

namespace {

struct EvalRun {
    TEvalState state;
    TMivoSettings settings;
    std::ostringstream out;
    TEvalArgs args{state};
    EvalRun() {
        state.Out = &out;
        state.Settings = &settings;
    }
    void Parse(std::vector<std::string> a) { args.Parse(a); }
    std::string ParseAndCheck(std::vector<std::string> a) {
        try {
            args.Parse(a);
            if (!state.HelpShown) args.Check();
        } catch (const EMivoEvalError& e) {
            return e.Message();
        }
        return "";
    }
};

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(EvalArgs, HelpIsPrintedOnceAndDoesNotStopParsing) {
    EvalRun r;
    EXPECT_EQ(r.ParseAndCheck({"-?", "-?"}), "");
    EXPECT_EQ(CountOf(r.out.str(), "Usage: MivoEval"), 1);
    EvalRun r2;
    EXPECT_EQ(r2.ParseAndCheck({"-help", "-"}), "Empty format setting");
    EXPECT_TRUE(r2.state.HelpShown);
    PrintUsage(r2.state);
    EXPECT_EQ(CountOf(r2.out.str(), "Usage: MivoEval"), 1);
}

TEST(EvalArgs, UsageTextLayout) {
    EvalRun r;
    PrintUsage(r.state);
    std::istringstream in(r.out.str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "MivoEval: Mivo command-line batch option evaluator v2.0");
    EXPECT_EQ(lines[19], " -v0 or -base0:      use \"base 0\" value format");
    EXPECT_EQ(lines[26], " -on or -normal:     use normal data-table orientation (attributes \\ options)");
    for (int i : {11, 12, 13, 14, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29})
        EXPECT_NE(lines[i][21], ' ') << lines[i];  // explanations begin in column 22
    EXPECT_EQ(lines[30].substr(0, 22), std::string(21, ' ') + "v");
}

TEST(EvalArgs, CommandLineErrors) {
    struct Case { std::vector<std::string> args; std::string message; };
    std::vector<Case> cases = {
        {{}, "Input required: Mivo model file"},
        {{"-l"}, "Input required: Mivo model file"},
        {{"m.mvo"}, "Input required: Options data file"},
        {{"-"}, "Empty format setting"},
        {{"-  ", "m.mvo"}, "Empty format setting"},
        {{"-SAVE", "m.mvo", "in.tab"}, "Unknown format setting: -save"},
        {{"-Help", "m.mvo", "in.tab"}, "Unknown format setting: -help"},
        {{"m.mvo", "-xyz", "in.tab"}, "Unknown format setting: -xyz"},
        {{"-save", "m.mvo"}, ""},
        {{"-TAB", "m.mvo", "in.csv"}, ""},
        {{"m.mvo", "-transposed", "in.tab", "-transposes", "out.tab"}, ""},
    };
    for (const auto& c : cases) {
        EvalRun r;
        EXPECT_EQ(r.ParseAndCheck(c.args), c.message) << ::testing::PrintToString(c.args);
    }
}

TEST(EvalArgs, SettingsBelongToTheNextFileAndTrailingOnesToTheModel) {
    EvalRun r;
    ASSERT_EQ(r.ParseAndCheck({"-ot", "m.mvo", "in.tab", "out.csv", "-vt"}), "");
    EXPECT_EQ(r.args.Files, (std::vector<std::string>{"m.mvo", "in.tab", "out.csv"}));
    EXPECT_EQ(r.args.Settings, (std::vector<std::string>{"ot vt", "tab", "csv"}));
    EvalRun x;
    ASSERT_EQ(x.ParseAndCheck({"m.mvo", "in.TAB", "-v0", "out.txt"}), "");
    EXPECT_EQ(x.args.Settings, (std::vector<std::string>{"", "tab", "v0"}));
}

TEST(EvalArgs, FormatStateCarriesOverFromFileToFile) {
    EvalRun r;
    r.settings.OptDataType = 2;
    r.settings.OptTranspose = false;
    ASSERT_EQ(r.ParseAndCheck({"m.mvo", "in.csv", "-tab", "out1.txt", "out2.txt", "-ab", "-ot", "-r", "out3.tab"}), "");
    SaveDefaultFormat(r.state);
    EXPECT_EQ(FormatText(r.state), "-csv -text -all -normal -indent");
    ApplySettings(r.state, r.args, 1);
    EXPECT_EQ(FormatText(r.state), "-csv -text -all -normal -indent");
    ApplySettings(r.state, r.args, 2);
    EXPECT_EQ(FormatText(r.state), "-tab -text -all -normal -indent");
    ApplySettings(r.state, r.args, 3);
    EXPECT_EQ(FormatText(r.state), "-tab -text -all -normal -indent");
    // out3.tab: "tab" from its extension first, then "ab ot r": reset comes last.
    EXPECT_EQ(r.args.FileSettings(4), "tab ab ot r");
    ApplySettings(r.state, r.args, 4);
    EXPECT_EQ(FormatText(r.state), "-csv -text -all -normal -indent");
}

TEST(EvalArgs, ModelWordsApplyBeforeEveryDataFile) {
    EvalRun r;
    ASSERT_EQ(r.ParseAndCheck({"-ot", "m.mvo", "in.tab", "out.csv"}), "");
    SaveDefaultFormat(r.state);
    ApplySettings(r.state, r.args, 1);
    EXPECT_EQ(FormatText(r.state), "-tab -base1 -all -transpose -indent");
    ApplySettings(r.state, r.args, 2);
    EXPECT_EQ(FormatText(r.state), "-csv -base1 -all -transpose -indent");
}

TEST(EvalArgs, IndividualResetWords) {
    EvalRun r;
    ASSERT_EQ(r.ParseAndCheck({"m.mvo", "-v0", "-ab", "-in", "-ot", "in.tab", "-rv", "-a", "-ri", "-o", "out.tab"}), "");
    SaveDefaultFormat(r.state);
    ApplySettings(r.state, r.args, 1);
    EXPECT_EQ(FormatText(r.state), "-tab -base0 -basic -transpose -noindent");
    ApplySettings(r.state, r.args, 2);
    EXPECT_EQ(FormatText(r.state), "-tab -base1 -all -normal -indent");
    r.settings.OptDataType = 9;
    EXPECT_EQ(FormatText(r.state), "-tab -unknown -all -normal -indent");
}

// "transposed" and "transposes" are further forms of "transpose": the check
// accepts both, and both switch the orientation when applied.
TEST(EvalArgs, TransposeSynonymsInBothSteps) {
    for (const char* word : {"-ot", "-transpose", "-transposed", "-transposes", "-TRANSPOSED"}) {
        EvalRun r;
        ASSERT_EQ(r.ParseAndCheck({"m.mvo", word, "in.tab", "-on", "out.tab"}), "") << word;
        SaveDefaultFormat(r.state);
        ApplySettings(r.state, r.args, 1);
        EXPECT_TRUE(r.settings.OptTranspose) << word;
        ApplySettings(r.state, r.args, 2);
        EXPECT_FALSE(r.settings.OptTranspose) << word;
    }
    EvalRun r;
    EXPECT_EQ(r.ParseAndCheck({"m.mvo", "-transposer", "in.tab"}), "Unknown format setting: -transposer");
}

TEST(EvalArgs, PrintListsFilesAsTyped) {
    EvalRun r;
    ASSERT_EQ(r.ParseAndCheck({"m.mvo", "-vt", "in.csv"}), "");
    std::ostringstream out;
    r.args.Print(out);
    EXPECT_EQ(out.str(), " 1. m.mvo: \n 2. in.csv: csv vt\n");
}
