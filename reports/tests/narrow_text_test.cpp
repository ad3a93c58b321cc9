// Plain text at any width: over small models with long names in several
// scripts, deep chains, long value names and long option names, every
// report with a tree column, the rule tables and the weights, saved as text 40, 60, 80 and
// 132 characters wide keeps every line within the width (in display
// columns), writes no text beyond the cell it is drawn in (so that no
// column overprints the next) and shows every attribute name, in order.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/MivoScale.h"
#include "reports/DisplayWidth.h"
#include "reports/TextFormatter.h"
#include "reports/tests/LongNameModels.h"
#include "reports/tests/ReportFixture.h"
#include "reports/tests/ReportTestKit.h"

namespace mivo {
namespace {

using namespace longnames;
using namespace testing;

const std::string ThreeLines = "First line of the description.\r\nSecond line.\r\nThird line.";

// Single words of over 100 letters, value names of 30 to 50 letters (long
// "value:count" items in the functions summary), a rule table of seven
// inputs and option names of 60 letters without a blank.
std::unique_ptr<TMivoModel> LongWordModel() {
    auto model = std::make_unique<TMivoModel>();
    auto scale = [](const std::string& stem, int values) {
        auto s = std::make_unique<TMivoDiscreteScale>();
        s->AddValue("unacceptable" + stem + "unacceptable" + stem);
        if (values > 2) s->AddValue("acceptable" + stem);
        s->AddValue("excellent" + stem + "excellent" + stem + "excellent");
        s->DefaultBounds();
        return s;
    };
    model->Settings.ShowWeights = true;
    model->Settings.ShowNum = true;
    model->Settings.ComplexRules = true;
    auto top = std::make_unique<TMivoAttribute>(std::string(110, 'W'));
    top->SetScale(scale("Top", 3));
    TMivoAttribute* aggregate = model->Root()->AddInput(std::move(top));
    for (int i = 0; i < 7; ++i) {
        auto input = std::make_unique<TMivoAttribute>("Input" + std::to_string(i) + std::string(100, 'a' + i));
        input->SetScale(scale(std::to_string(i), 2));
        aggregate->AddInput(std::move(input));
    }
    GiveTables(*aggregate);
    for (int o = 0; o < 6; ++o) model->AddOption(std::string(60, static_cast<char>('A' + o)));
    for (TMivoAttribute* attribute : model->Attributes())
        if (attribute->InpCount() == 0)
            for (int o = 0; o < 6; ++o) attribute->SetOptValueIndex(o, o % 3);
    model->Reevaluate();
    return model;
}

struct TModelCase {
    const char* label;
    std::unique_ptr<TMivoModel> (*build)();
};

const TModelCase ModelCases[] = {
    {"64 CJK, 25-level chain",
     [] { return LongNameModel({TScript::Cjk, 64, 2, 2, 25, 3, ThreeLines}); }},
    {"120 Latin, 25-level chain",
     [] { return LongNameModel({TScript::Latin, 120, 2, 2, 25, 3, ThreeLines}); }},
    {"60 Greek, 4 levels", [] { return LongNameModel({TScript::Greek, 60, 4, 2, 0, 3, ThreeLines}); }},
    {"short names, 25-level chain", [] { return LongNameModel({TScript::Cyrillic, 3, 1, 2, 25, 3, ""}); }},
    {"long words and values", LongWordModel},
};

const int Widths[] = {40, 60, 80, 132};

// A text formatter that notes every text written past the right edge of
// its rectangle or of the page.
class TCheckedTextFormatter : public TTextFormatter {
public:
    using TTextFormatter::TTextFormatter;

    void TextOut(const TRect& rect, const std::string& text) override {
        Check(rect, rect.Left, rect.Right, text);
        TTextFormatter::TextOut(rect, text);
    }
    void TextRect(const TRect& rect, const TRect& clip, const std::string& text) override {
        Check(rect, std::max(rect.Left, clip.Left), std::min(rect.Right, clip.Right), text);
        TTextFormatter::TextRect(rect, clip, text);
    }

    std::vector<std::string> Overruns;

private:
    void Check(const TRect& rect, std::int32_t left, std::int32_t right, const std::string& text) {
        const auto end = static_cast<std::int64_t>(rect.Left) + DisplayColumns(text) - 1;
        if (text.find_first_not_of(' ') == std::string::npos) return;
        if (end > right && end >= left)
            Overruns.push_back(text + " (at " + std::to_string(rect.Left) + ", to " + std::to_string(right) + ")");
        else if (right >= PageSize().X && end >= PageSize().X)
            Overruns.push_back(text + " (past the page at " + std::to_string(rect.Left) + ")");
    }
};

std::vector<std::pair<std::string, std::unique_ptr<TReport>>> Reports(TMivoModel& model) {
    std::vector<std::pair<std::string, std::unique_ptr<TReport>>> reports;
    auto part = [&](int member) {
        TValueSet parts;
        parts.set(static_cast<std::size_t>(member));
        return BuildModelReport(&model, parts, ReportFont(), ReportPen());
    };
    reports.emplace_back("attribute tree", part(rpAttributeTree));
    reports.emplace_back("functions", part(rpFunctionSummary));
    reports.emplace_back("rule tables", part(rpRuleTables));
    reports.emplace_back("weights", part(rpWeights));
    reports.emplace_back("evaluation", part(rpEvaluationResults));
    std::vector<int> options;
    for (int o = 0; o < model.OptionCount(); ++o) options.push_back(o);
    reports.emplace_back("comparison", BuildComparisonReport(&model, options, ReportFont(), ReportPen()));
    TAnalysisList list;
    std::vector<std::string> lower, higher;
    model.Root()->Inputs(0)->PlusMinusOne(0, list, lower, higher);
    reports.emplace_back("+/-1", BuildPlusMinusReport(&model, 0, list, lower, higher, ReportFont(), ReportPen()));
    reports.emplace_back("explanation", BuildSelectiveExplanationReport(&model, 0, ReportFont(), ReportPen()));
    return reports;
}

// The characters of `name` (blanks apart) appear in `text` in their order,
// from `from` on; returns where the last one is, or npos.
std::size_t FindInOrder(const std::u32string& text, const std::string& name, std::size_t from) {
    std::size_t at = from;
    for (char32_t c : DecodeCodePoints(name)) {
        if (c == U' ') continue;
        at = text.find(c, at);
        if (at == std::u32string::npos) return at;
        ++at;
    }
    return at;
}

class NarrowText : public ::testing::Test {
protected:
    NarrowText() : scope_(&host) {}
    StubHost host;

private:
    HostScope scope_;
};

TEST_F(NarrowText, EveryLineStaysWithinTheWidthAndNoColumnOverprintsTheNext) {
    for (const TModelCase& c : ModelCases) {
        auto model = c.build();
        for (auto& [name, report] : Reports(*model)) {
            for (int width : Widths) {
                const std::string label = std::string(c.label) + ", " + name + ", width " + std::to_string(width);
                SCOPED_TRACE(label);
                TCheckedTextFormatter formatter(*report, {0, 0}, {width, 0});
                formatter.Run();
                const std::string text = formatter.ToText();
                int over = 0;
                for (const std::string& row : Lines(text))
                    if (DisplayColumns(row) > width && over++ < 3) ADD_FAILURE() << row;
                for (std::size_t i = 0; i < formatter.Overruns.size() && i < 3; ++i) ADD_FAILURE() << formatter.Overruns[i];
                // The tree and the functions summary list every attribute
                // in the model's order, each name whole.
                if (name != "attribute tree" && name != "functions") continue;
                const std::u32string shown = DecodeCodePoints(text);
                std::size_t at = 0;
                for (TMivoAttribute* attribute : model->Attributes()) {
                    const std::size_t found = FindInOrder(shown, attribute->GetName(), at);
                    if (found == std::u32string::npos) {
                        ADD_FAILURE() << "missing or out of order: " << attribute->GetName();
                        break;
                    }
                    at = found;
                }
            }
        }
    }
}

}  // namespace
}  // namespace mivo
