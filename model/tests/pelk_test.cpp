#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/Pelk.h"
#include "model/SafeFile.h"
#include "model/TreeEdit.h"
#include "model/Xml.h"
#include "model/tests/InterchangeFixture.h"

using namespace mivo;
using namespace mivo::fixture;

namespace {

std::string TempFile(const std::string& name) {
    return ::testing::TempDir() + "/pelk_" + std::to_string(getpid()) + "_" + name;
}

std::string DataFile(const std::string& name) { return std::string(MIVO_TEST_DATA) + "/pelk/" + name; }

// --- building documents ---

std::string El(const std::string& name, const std::string& text) { return "<" + name + ">" + text + "</" + name + ">"; }

std::string Scale(const std::string& name, const std::vector<std::string>& values, const std::string& extra = "") {
    std::string body = El("NAME", name) + extra;
    for (const std::string& v : values) body += El("SCALEVALUE", El("NAME", v));
    return El("SCALE", body);
}

std::string Attr(const std::string& name, const std::string& parent, const std::string& scale) {
    std::string body = El("NAME", name);
    if (!parent.empty()) body += El("PARENT", parent);
    if (!scale.empty()) body += El("SCALE", scale);
    return El("ATTRIBUTE", body + El("FUNCTION", name));
}

std::string Rule(const std::string& condition, const std::string& result) {
    return El("RULE", El("CONDITION", condition) + El("RESULT", result));
}

std::string Function(const std::string& name, const std::string& list, const std::string& rules = "") {
    return El("FUNCTION", El("NAME", name) + El("ATTRLIST", list) + rules);
}

std::string OptionValue(const std::string& attribute, const std::string& value) {
    return El("OPTIONVALUE", El("ATTRIBUTE", attribute) + El("VALUE", value));
}

std::string Option(const std::string& name, const std::string& values) {
    return El("OPTION", El("NAME", name) + values);
}

// "G" (g1..g3) over "X" (x1, x2) and "Y" (y1..y3).
const std::string kTree = Scale("G", {"g1", "g2", "g3"}) + Scale("X", {"x1", "x2"}) +
                          Scale("Y", {"y1", "y2", "y3"}) + Attr("G", "", "G") + Attr("X", "G", "X") +
                          Attr("Y", "G", "Y");

void Read(TMivoModel& model, const std::string& body) {
    ImportPelkLines(model, {"<MODEL>", body, "</MODEL>"}, "test.xml");
}

std::string MessageOf(const std::vector<std::string>& lines) {
    TMivoModel model;
    try {
        ImportPelkLines(model, lines, "test.xml");
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

std::string Classes(const TMivoAttribute* a) {
    const TMivoDiscreteScale& s = DiscreteScale(a);
    std::string text;
    for (int v = 0; v < s.Count(); ++v) text += s.IsBad(v) ? 'B' : s.IsGood(v) ? 'G' : 'N';
    return text;
}

std::string MessageOfExport(const TMivoModel& model) {
    try {
        PelkTree(model);
    } catch (const EMivoError& e) {
        return e.what();
    }
    return "no error";
}

void ExpectDefaultXmlSettings() {
    EXPECT_EQ(XmlHeader, XmlUtf8Header);
    EXPECT_TRUE(XmlUtf8);
}

}  // namespace

// --- export ----------------------------------------------------------------------

TEST(PelkExport, WritesTheElementLayout) {
    TMivoModel model;
    model.SetName("M");
    TMivoAttribute* goal = AddAttribute(model.Root(), "Goal", soAscending, {"bad", "good"});
    AddAttribute(goal, "X", soAscending, {"lo", "hi"}, "the x");
    AddAttribute(goal, "Y", soAscending, {"lo", "hi"});  // equal to X's scale: shared
    TMivoFunction* f = goal->CreateFunction();
    f->SetRuleValue(3, 1);
    model.AddOption("O1");
    model.Attributes()[1]->SetOptValue(0, "1");

    std::string path = TempFile("layout.xml");
    ExportPelk(model, path);
    ExpectDefaultXmlSettings();
    std::vector<std::string> expected{
        "<MODEL>",
        "  <NAME>M</NAME>",
        "  <SCALE>",
        "    <NAME>Goal</NAME>",
        "    <ORDERED>YES</ORDERED>",
        "    <ORDER>ASC</ORDER>",
        "    <SCALEVALUE>",
        "      <NAME>bad</NAME>",
        "      <GROUP>BAD</GROUP>",
        "    </SCALEVALUE>",
        "    <SCALEVALUE>",
        "      <NAME>good</NAME>",
        "      <GROUP>GOOD</GROUP>",
        "    </SCALEVALUE>",
        "  </SCALE>",
        "  <SCALE>",
        "    <NAME>X</NAME>",
        "    <ORDERED>YES</ORDERED>",
        "    <ORDER>ASC</ORDER>",
        "    <SCALEVALUE>",
        "      <NAME>lo</NAME>",
        "      <GROUP>BAD</GROUP>",
        "    </SCALEVALUE>",
        "    <SCALEVALUE>",
        "      <NAME>hi</NAME>",
        "      <GROUP>GOOD</GROUP>",
        "    </SCALEVALUE>",
        "  </SCALE>",
        "  <ATTRIBUTE>",
        "    <NAME>Goal</NAME>",
        "    <SCALE>Goal</SCALE>",
        "    <FUNCTION>Goal</FUNCTION>",
        "  </ATTRIBUTE>",
        "  <ATTRIBUTE>",
        "    <NAME>X</NAME>",
        "    <DESCRIPTION>the x</DESCRIPTION>",
        "    <PARENT>Goal</PARENT>",
        "    <SCALE>X</SCALE>",
        "    <FUNCTION>X</FUNCTION>",
        "  </ATTRIBUTE>",
        "  <ATTRIBUTE>",
        "    <NAME>Y</NAME>",
        "    <PARENT>Goal</PARENT>",
        "    <SCALE>X</SCALE>",
        "    <FUNCTION>Y</FUNCTION>",
        "  </ATTRIBUTE>",
        "  <FUNCTION>",
        "    <NAME>Goal</NAME>",
        "    <ATTRLIST>X;Y</ATTRLIST>",
    };
    for (const char* condition : {"lo;lo", "lo;hi", "hi;lo", "hi;hi"}) {
        std::string result = condition == std::string("hi;hi") ? "good" : "bad";
        expected.insert(expected.end(), {"    <RULE>", "      <CONDITION>" + std::string(condition) + "</CONDITION>",
                                         "      <RESULT>" + result + "</RESULT>", "    </RULE>"});
    }
    expected.insert(expected.end(), {
                                        "  </FUNCTION>",
                                        "  <OPTION>",
                                        "    <NAME>O1</NAME>",
                                        "    <OPTIONVALUE>",
                                        "      <ATTRIBUTE>X</ATTRIBUTE>",
                                        "      <VALUE>hi</VALUE>",
                                        "    </OPTIONVALUE>",
                                        "    <OPTIONVALUE>",
                                        "      <ATTRIBUTE>Y</ATTRIBUTE>",
                                        "      <VALUE>*</VALUE>",
                                        "    </OPTIONVALUE>",
                                        "  </OPTION>",
                                        "</MODEL>",
                                    });
    std::string text;
    for (const std::string& line : expected) text += line + "\r\n";
    EXPECT_EQ(ReadFile(path), text);
}

TEST(PelkExport, ScaleNamesAreUniqueAndOrdersWritten) {
    TMivoModel model;
    TMivoAttribute* top = AddAttribute(model.Root(), "Cost", soDescending, {"low", "high"});
    AddAttribute(top, "Cost_1", soAscending, {"x", "y"});
    AddAttribute(top, "Cost", soUnordered, {"a", "b"});
    std::unique_ptr<TXmlItem> tree = PelkTree(model);
    std::vector<std::string> names;
    std::vector<std::string> orders;
    for (const auto& child : tree->Children()) {
        if (child->Name == "SCALE") {
            names.push_back(child->ChildText("NAME"));
            orders.push_back(child->ChildText("ORDERED") + "/" + child->ChildText("ORDER"));
        }
        if (child->Name == "ATTRIBUTE") names.push_back("->" + child->ChildText("SCALE"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Cost", "Cost_1", "Cost_2", "->Cost", "->Cost_1", "->Cost_2"}));
    EXPECT_EQ(orders, (std::vector<std::string>{"YES/DESC", "YES/ASC", "NO/"}));

    // Read back, each attribute has its own scale again.
    std::string path = TempFile("unique.xml");
    ExportPelk(model, path);
    TMivoModel back;
    ImportPelk(back, path);
    ExpectSameTreeAndScales(model, back);
}

TEST(PelkExport, NamesTheFileCannotReferToAreRefused) {
    struct Case {
        std::string parent, input, value;
        bool function;
        std::string message;
    };
    const Case cases[] = {
        {"", "X", "v", false, Format(SPelkParentUnnamed, "X")},
        {"G", "a;b", "v", true, Format(SPelkSemicolonInName, "a;b")},
        {"G", "X", "v;w", true, Format(SPelkSemicolonInValue, "X", "v;w")},
        {"G", "a;b", "v;w", false, ""},  // no function: no list is written
    };
    for (const Case& c : cases) {
        TMivoModel model;
        TMivoAttribute* top = AddAttribute(model.Root(), c.parent, soAscending, {"p", "q"});
        AddAttribute(top, c.input, soAscending, {c.value, "other"});
        if (c.function) top->CreateFunction();
        std::string path = TempFile("refused.xml");
        WriteFileAtomic(path, "old contents");
        try {
            ExportPelk(model, path);
            EXPECT_EQ(c.message, "");
        } catch (const EMivoError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(ReadFile(path), "old contents");
        }
        ExpectDefaultXmlSettings();
    }

    // An input named like its parent and followed by another input: the
    // other input's parent name would find the first input.
    TMivoModel model;
    TMivoAttribute* p = AddAttribute(model.Root(), "P", soAscending, {"a", "b"});
    AddAttribute(p, "P", soAscending, {"a", "b"});
    AddAttribute(p, "Q", soAscending, {"a", "b"});
    EXPECT_THROW(
        {
            try {
                PelkTree(model);
            } catch (const EMivoError& e) {
                EXPECT_EQ(std::string(e.what()), Format(SPelkParentAmbiguous, "Q", "P"));
                throw;
            }
        },
        EMivoError);
}

TEST(PelkExport, NamesThatWouldReadBackAsSomethingElseAreRefused) {
    // Each model has one option; "B" is a basic top attribute, "G" (g1, g2)
    // an aggregate over "X" with a full table.
    struct Case {
        std::vector<std::string> b_values;  // empty: no "B"
        std::string b_name, b_value;        // its name, its value for the option
        std::vector<std::string> g_values, x_values;
        std::string message;                // empty: exported
    };
    const std::vector<std::string> g = {"g1", "g2"};
    const std::vector<std::string> x = {"x1", "x2"};
    const Case cases[] = {
        {{"v", "v"}, "B", "1", g, x, Format(SPelkValueNotUnique, "B", "v")},
        {{}, "", "", g, {"x", "x"}, Format(SPelkValueNotUnique, "X", "x")},
        {{}, "", "", {"g", "g"}, x, Format(SPelkValueNotUnique, "G", "g")},
        {{"v", "w"}, "", "0", g, x, Format(SPelkBasicUnnamed, Format(SPelkTopPlace, 2))},
        {{"", "w"}, "B", "0", g, x, Format(SPelkValueUnnamed, "B", 1, "O")},
        {{"*", "w"}, "B", "0", g, x, Format(SPelkValueAny, "B", "O")},
        // What the file does not name reads back: an unused repeated,
        // empty or "*" value.
        {{"v", "v"}, "B", "0", g, x, ""},
        {{"", "*"}, "B", "", g, x, ""},
    };
    for (const Case& c : cases) {
        TMivoModel model;
        model.AddOption("O");
        TMivoAttribute* top = AddAttribute(model.Root(), "G", soAscending, c.g_values);
        AddAttribute(top, "X", soAscending, c.x_values);
        TMivoFunction* f = top->CreateFunction();
        f->SetRuleValue(1, 1);  // the second result value is named
        if (!c.b_values.empty()) AddAttribute(model.Root(), c.b_name, soAscending, c.b_values)->SetOptValue(0, c.b_value);

        const std::string path = TempFile("refused.xml");
        WriteFileAtomic(path, "old contents");
        try {
            ExportPelk(model, path);
            EXPECT_EQ(c.message, "");
            TMivoModel back;
            ImportPelk(back, path);
            EXPECT_EQ(back.Root()->Inputs(1)->GetOptValue(0), c.b_value.empty() ? "*" : c.b_value);
        } catch (const EMivoError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(ReadFile(path), "old contents");
        }
        ExpectDefaultXmlSettings();
    }

    // An input without a name is placed by its parent.
    TMivoModel model;
    model.AddOption("O");
    TMivoAttribute* top = AddAttribute(model.Root(), "G", soAscending, g);
    AddAttribute(top, "X", soAscending, x);
    AddAttribute(top, "", soAscending, x);
    EXPECT_EQ(MessageOfExport(model), Format(SPelkBasicUnnamed, Format(SPelkInputPlace, 2, "G")));
}

TEST(PelkExport, FunctionsOfSameNamedAttributesKeepTheirOwner) {
    // Both X could take a function over "In"; only the second has one, so it
    // is referred to by a name of its own.
    TMivoModel model;
    for (const char* top_name : {"T", "U"}) {
        TMivoAttribute* top = AddAttribute(model.Root(), top_name, soAscending, {"a", "b"});
        TMivoAttribute* x = AddAttribute(top, "X", soAscending, {"x1", "x2"});
        AddAttribute(x, "In", soAscending, {"i1", "i2"});
    }
    TMivoAttribute* second = model.Attributes()[4];
    TMivoFunction* f = second->CreateFunction();
    f->SetRuleValue(0, 1);
    f->SetRuleValue(1, 0);
    f->EnterRules(true);
    std::unique_ptr<TXmlItem> tree = PelkTree(model);
    EXPECT_EQ(tree->FindChild("FUNCTION")->ChildText("NAME"), "X_1");

    std::string path = TempFile("owner.xml");
    ExportPelk(model, path);
    TMivoModel back;
    ImportPelk(back, path);
    EXPECT_EQ(AllRules(back), AllRules(model));
}

TEST(PelkExport, LeavesTheModifiedMarkAsItIs) {
    std::unique_ptr<TMivoModel> model = RichModel();
    for (bool modified : {true, false}) {
        model->Modified = modified;
        ExportPelk(*model, TempFile("mark.xml"));
        EXPECT_EQ(model->Modified, modified);
    }
}

// --- round trips -------------------------------------------------------------------

TEST(PelkRoundTrip, KeepsWhatTheFormatCarries) {
    std::unique_ptr<TMivoModel> model = RichModel();
    std::string path = TempFile("rich.xml");
    ExportPelk(*model, path);
    EXPECT_EQ(ReadFile(path).substr(0, 9), "<MODEL>\r\n");  // no header line

    TMivoModel back;
    back.Modified = false;
    ImportPelk(back, path);
    ExpectDefaultXmlSettings();
    EXPECT_TRUE(back.Modified);
    EXPECT_TRUE(back.NeedsEvaluation);
    EXPECT_EQ(back.GetName(), "Car choice");
    EXPECT_EQ(back.GetDescription(), "Which car to buy");
    ExpectSameTreeAndScales(*model, back);
    EXPECT_EQ(back.Options(), model->Options());

    // Rules come back with the low end of their interval, all entered.
    std::vector<std::string> expected = AllRules(*model);
    for (std::string& line : expected) {
        for (std::size_t p = line.find(' '); p != std::string::npos; p = line.find(' ', p + 1)) {
            std::size_t end = line.find(' ', p + 1);
            if (end == std::string::npos) end = line.size();
            line[end - 2] = line[end - 3];
            line[end - 1] = '+';
        }
    }
    EXPECT_EQ(AllRules(back), expected);

    // Single values (10 and 11 on the twelve-value scale) come back;
    // undefined values and sets become "*".
    EXPECT_EQ(OptionValues(back, 0, true), OptionValues(*model, 0, true));
    EXPECT_EQ(OptionValues(back, 1, true), (std::vector<std::string>{"*", ";", "*", "*"}));
    EXPECT_EQ(OptionValues(back, 2, true), (std::vector<std::string>{"*", "0", "0", "0"}));

    back.Settings.Linking = true;
    back.Reevaluate();
    EXPECT_EQ(LinkPattern(back), LinkPattern(*model));
}

TEST(PelkRoundTrip, WhatTheFormatDrops) {
    TMivoModel model;
    TMivoAttribute* top = AddAttribute(model.Root(), "Top", soAscending, {"a", "b", "c"});
    AddAttribute(top, "X", soAscending, {"x1", "x2"});
    TMivoDiscreteScale& s = DiscreteScale(top);
    s.Unit = "EUR";
    s.Interval = false;
    TMivoFunction* f = top->CreateFunction();
    f->SetRuleLow(0, 1);  // 1..2, not entered
    f->UseWeights = true;
    f->Rounding = -1;
    f->Consist = false;
    f->SetDescription("how the top is rated");
    model.Settings.Linking = true;
    model.AddOption("O");
    model.AddOption("P");
    top->SetOptValue(0, "2");
    model.Attributes()[1]->SetOptValue(1, "01");

    std::string path = TempFile("drops.xml");
    ExportPelk(model, path);
    TMivoModel back;
    ImportPelk(back, path);
    ExpectSameTreeAndScales(model, back);
    TMivoAttribute* t = back.Attributes()[0];
    EXPECT_EQ(DiscreteScale(t).Unit, "");
    EXPECT_TRUE(DiscreteScale(t).Interval);
    ASSERT_NE(t->Funct(), nullptr);
    EXPECT_EQ(t->Funct()->Rules().Get(0), "011+");  // the interval's low end, entered
    EXPECT_FALSE(t->Funct()->UseWeights);
    EXPECT_EQ(t->Funct()->Rounding, 0);
    EXPECT_TRUE(t->Funct()->Consist);
    EXPECT_EQ(t->Funct()->GetDescription(), "");
    EXPECT_FALSE(back.Settings.Linking);
    EXPECT_EQ(OptionValues(back, 0, false), (std::vector<std::string>{"", "*"}));  // aggregate value, undefined
    EXPECT_EQ(OptionValues(back, 1, false), (std::vector<std::string>{"", "*"}));  // a set of two values
}

TEST(PelkLosses, CountSetsOfBasicValuesAndRuleIntervals) {
    // Top (a, b, c) over X (x1, x2): two rules, both single values unless
    // a case widens them; options O and P.
    struct Case {
        const char* what;
        std::function<void(TMivoModel&)> change;
        TPelkLosses losses;
    };
    auto value = [](int attribute, int option, const char* text) {
        return [=](TMivoModel& m) { m.Attributes()[attribute]->SetOptValue(option, text); };
    };
    auto interval = [](int rule, int low, int high, bool entered) {
        return [=](TMivoModel& m) {
            TMivoFunction* f = m.Attributes()[0]->Funct();
            f->SetRuleLow(rule, low);
            f->SetRuleHigh(rule, high);
            f->SetRuleEntered(rule, entered);
        };
    };
    const Case cases[] = {
        {"single values, any and undefined", value(1, 0, "1"), {0, 0}},
        {"any value", value(1, 1, "*"), {0, 0}},
        {"a set of two values", value(1, 1, "01"), {1, 0}},
        {"a set on the aggregate (not written)", value(0, 0, "12"), {0, 0}},
        {"an entered interval", interval(0, 1, 2, true), {0, 1}},
        {"a rule never entered", interval(1, 0, 2, false), {0, 1}},
        {"both",
         [&](TMivoModel& m) {
             value(1, 0, "01")(m);
             value(1, 1, "01")(m);
             interval(0, 0, 1, true)(m);
             interval(1, 1, 2, true)(m);
         },
         {2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMivoModel model;
        TMivoAttribute* top = AddAttribute(model.Root(), "Top", soAscending, {"a", "b", "c"});
        AddAttribute(top, "X", soAscending, {"x1", "x2"});
        TMivoFunction* f = top->CreateFunction();
        for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, r);
        model.AddOption("O");
        model.AddOption("P");
        c.change(model);
        EXPECT_EQ(PelkLosses(model), c.losses);
        EXPECT_EQ(PelkLosses(model).Any(), c.losses.SetValues + c.losses.RuleIntervals > 0);
    }
    EXPECT_FALSE(PelkLosses(TMivoModel()).Any());
}

TEST(PelkLosses, AreWhatTheRoundTripChanges) {
    std::unique_ptr<TMivoModel> model = RichModel();
    model->Attributes()[1]->SetOptValue(0, "02");  // Price: a second set
    const TPelkLosses losses = PelkLosses(*model);

    std::string path = TempFile("losses.xml");
    ExportPelk(*model, path);
    TMivoModel back;
    ImportPelk(back, path);
    std::vector<TMivoAttribute*> before = model->Attributes();
    std::vector<TMivoAttribute*> after = back.Attributes();
    ASSERT_EQ(after.size(), before.size());
    TPelkLosses changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        for (int k = 0; k < model->OptionCount() && before[i]->IsBasic(); ++k) {
            const std::string value = before[i]->GetOptValue(k);
            if (after[i]->GetOptValue(k) != value && value.size() > 1) ++changed.SetValues;
        }
        if (const TMivoFunction* f = before[i]->Funct()) {
            for (int r = 0; r < f->RuleCount(); ++r)
                if (after[i]->Funct()->RuleHigh(r) != f->RuleHigh(r)) ++changed.RuleIntervals;
        }
    }
    EXPECT_EQ(changed, losses);
    EXPECT_EQ(losses.SetValues, 2);
    EXPECT_GT(losses.RuleIntervals, 0);
}

TEST(PelkRoundTrip, RepeatedNamesFindTheirAttributes) {
    // A > X > (Y, X) and B > X > (Y, X): every name repeats, the two
    // aggregate X have functions with the same inputs but other rules.
    TMivoModel model;
    for (const char* top_name : {"A", "B"}) {
        TMivoAttribute* top = AddAttribute(model.Root(), top_name, soAscending, {"t1", "t2"});
        TMivoAttribute* x = AddAttribute(top, "X", soAscending, {"x1", "x2", "x3"});
        AddAttribute(x, "Y", soAscending, {"w1", "w2"});
        AddAttribute(x, "X", soAscending, {"u1", "u2"});
        top->CreateFunction();
        x->CreateFunction();
    }
    // Every rule single-valued and entered, with other values in the two X.
    std::vector<TMivoAttribute*> all = model.Attributes();  // A X Y X B X Y X
    int functions = 0;  // A, X, then B, X: the second pair shifted by one value
    for (TMivoAttribute* a : all) {
        TMivoFunction* f = a->Funct();
        if (!f) continue;
        int shift = functions++ < 2 ? 0 : 1;
        for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, (r + shift) % a->ScaleSize());
        f->EnterRules(true);
    }
    model.AddOption("O");
    model.AddOption("P");
    all[2]->SetOptValue(0, "0");
    all[3]->SetOptValue(0, "1");
    all[6]->SetOptValue(0, "1");
    all[7]->SetOptValue(0, "1");
    all[6]->SetOptValue(1, "0");

    std::string path = TempFile("repeated.xml");
    ExportPelk(model, path);
    TMivoModel back;
    ImportPelk(back, path);
    ExpectSameTreeAndScales(model, back);
    EXPECT_EQ(AllRules(back), AllRules(model));  // all rules single-valued and entered
    for (int k = 0; k < 2; ++k) {
        std::vector<std::string> values = OptionValues(back, k, true);
        for (std::string& v : values)
            if (v.empty()) v = "*";
        std::vector<std::string> original = OptionValues(model, k, true);
        for (std::string& v : original)
            if (v.empty()) v = "*";
        EXPECT_EQ(values, original) << "option " << k;
    }
}

TEST(PelkRoundTrip, EmptyNamesKeepTheirPlaceInLists) {
    TMivoModel model;
    TMivoAttribute* top = AddAttribute(model.Root(), "Top", soAscending, {"a", "b"});
    AddAttribute(top, "", soAscending, {"", "v"});
    AddAttribute(top, "Y", soAscending, {"y1", "y2"});
    TMivoFunction* f = top->CreateFunction();
    for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, r == 2 ? 1 : 0);
    f->EnterRules(true);

    std::unique_ptr<TXmlItem> tree = PelkTree(model);
    EXPECT_EQ(tree->FindChild("FUNCTION")->ChildText("ATTRLIST"), ";Y");
    std::string path = TempFile("empty-names.xml");
    ExportPelk(model, path);
    TMivoModel back;
    ImportPelk(back, path);
    ExpectSameTreeAndScales(model, back);
    EXPECT_EQ(AllRules(back), AllRules(model));
}

// --- import rules ------------------------------------------------------------------

TEST(PelkImport, OwnFixtureFileReads) {
    TMivoModel model;
    ImportPelk(model, DataFile("garden.xml"));
    EXPECT_EQ(model.GetName(), "Garden");
    EXPECT_EQ(model.GetDescription(), "Plants & places");
    std::vector<TMivoAttribute*> all = model.Attributes();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0]->GetName(), "Plot");
    EXPECT_EQ(all[1]->Parent(), all[0]);
    EXPECT_EQ(Classes(all[0]), "BNG");
    EXPECT_EQ(Classes(all[1]), "GB");  // descending
    EXPECT_EQ(DiscreteScale(all[2]).ValueDescription(0), "all day");
    ASSERT_NE(all[0]->Funct(), nullptr);
    EXPECT_EQ(all[0]->Funct()->Rules().Get(0), "0000+");
    EXPECT_EQ(all[0]->Funct()->Rules().Get(3), "1122+");
    EXPECT_EQ(all[0]->Funct()->Rules().Get(1), "0102-");
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"North", "South"}));
    EXPECT_EQ(OptionValues(model, 0, true), (std::vector<std::string>{"1", "*"}));
    EXPECT_EQ(OptionValues(model, 1, true), (std::vector<std::string>{"", "0"}));
}

TEST(PelkImport, ScaleOrdersAndGroups) {
    struct Case {
        std::string extra;
        std::vector<std::string> groups;  // per value: "", "BAD", "GOOD", "BADGOOD"
        std::uint8_t order;
        std::string classes;
    };
    const Case cases[] = {
        {"", {"BAD", "BAD", "", "GOOD", "GOOD"}, soAscending, "BBNGG"},
        {"", {"", "", ""}, soAscending, "NNN"},
        {El("ORDER", "ASC") + El("ORDERED", "NO"), {"BAD", "", "GOOD"}, soUnordered, "NNN"},
        {El("ORDERED", "NO") + El("ORDER", "ASC"), {"BAD", "", "GOOD"}, soAscending, "BNG"},
        {El("ORDER", "DESC"), {"GOOD", "GOOD", "", "BAD"}, soDescending, "GGNB"},
        {El("ORDER", "DESC"), {"", "", "BAD"}, soDescending, "NNB"},
        {El("ORDER", "DESC"), {"GOOD", "", ""}, soDescending, "GNN"},
        {El("ORDER", "down"), {"BAD", "GOOD"}, soAscending, "BG"},
        {"", {"BADGOOD", ""}, soAscending, "BG"},  // both marks on one value: bad, and good from there up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.classes);
        std::string values;
        for (const std::string& g : c.groups) {
            std::string body = El("NAME", "v");
            if (g == "BADGOOD") body += El("GROUP", "BAD") + El("GROUP", "GOOD");
            else if (!g.empty()) body += El("GROUP", g);
            values += El("SCALEVALUE", body);
        }
        TMivoModel model;
        Read(model, El("SCALE", El("NAME", "S") + c.extra + values) + Attr("A", "", "S"));
        EXPECT_EQ(model.Attributes()[0]->Scale()->Order, c.order);
        EXPECT_EQ(Classes(model.Attributes()[0]), c.classes);
    }
}

TEST(PelkImport, ParentsAndScalesAreLookedUpAsTheyStand) {
    TMivoModel model;
    Read(model, Scale("S", {"one", "two"}) + Scale("S", {"other"}) + Attr("A", "", "S") + Attr("B", "", "") +
                    Attr("Early", "Later", "S") + Attr("Later", "", "") + Attr("C", "A", "Nope") +
                    El("ATTRIBUTE", El("NAME", "D") + El("SCALE", "S") + El("SCALE", "Nope")) +
                    El("UNKNOWN", "skipped"));
    std::vector<std::string> paths;
    model.ForEachAttribute([&](TMivoAttribute* a) { paths.push_back(a->Path()); });
    EXPECT_EQ(paths, (std::vector<std::string>{"\\Root\\A", "\\Root\\A\\C", "\\Root\\B", "\\Root\\Early",
                                               "\\Root\\Later", "\\Root\\D"}));
    EXPECT_EQ(model.FindByName("A")->ScaleSize(), 2);  // the first scale of that name
    EXPECT_EQ(model.FindByName("C")->Scale(), nullptr);
    EXPECT_EQ(model.FindByName("D")->Scale(), nullptr);  // the last SCALE child decides
}

TEST(PelkImport, RulesAndRepeatedFunctions) {
    TMivoModel model;
    Read(model, kTree + Function("g", "X;Y", Rule("x1;y1", "g3") + Rule("x2;y3", "g1")) +
                    Function("G", "X;Y;ignored", Rule("x1;y2", "g2")));
    TMivoFunction* f = model.Attributes()[0]->Funct();
    ASSERT_NE(f, nullptr);
    // The second function replaced the first.
    std::vector<std::string> rules;
    for (int r = 0; r < f->RuleCount(); ++r) rules.push_back(f->Rules().Get(r));
    EXPECT_EQ(rules, (std::vector<std::string>{"0002-", "0111+", "0202-", "1002-", "1102-", "1202-"}));
}

TEST(PelkImport, OptionValuesLandOnTheirOption) {
    TMivoModel model;
    Read(model, kTree + Option("O1", OptionValue("X", "x2") + OptionValue("Y", "y3")) + Option("O2", "") +
                    Option("O3", OptionValue("Y", "y1") + OptionValue("X", "") + OptionValue("", "x1") +
                                     OptionValue("Nobody", "*") + OptionValue("X", "*")) +
                    Option("O4", OptionValue("G", "g2")));
    EXPECT_EQ(model.Options(), (std::vector<std::string>{"O1", "O2", "O3", "O4"}));
    TMivoAttribute* g = model.FindByName("G");
    TMivoAttribute* x = model.FindByName("X");
    TMivoAttribute* y = model.FindByName("Y");
    EXPECT_EQ(x->Values(), (std::vector<std::string>{"1", "", "*"}));
    EXPECT_EQ(y->Values(), (std::vector<std::string>{"2", "", "0"}));
    EXPECT_EQ(g->GetOptValue(3), "1");  // an aggregate named once takes its value too
}

TEST(PelkImport, RepeatedNamesResolveInPreOrderWhateverTheReadingOrder) {
    // The X under U is read before the X under T, which comes first in
    // pre-order; Z then turns the X under T into an aggregate.
    TMivoModel model;
    Read(model, Scale("S", {"v1", "v2"}) + Attr("T", "", "S") + Attr("U", "", "S") + Attr("X", "U", "S") +
                    Attr("X", "T", "S") + Attr("W", "", "S") +
                    Option("O0", OptionValue("X", "v2") + OptionValue("X", "v1")) + Attr("Z", "X", "S") +
                    Option("O1", OptionValue("X", "v2") + OptionValue("X", "v1")));
    std::vector<std::string> paths;
    model.ForEachAttribute([&](TMivoAttribute* a) { paths.push_back(a->Path()); });
    EXPECT_EQ(paths, (std::vector<std::string>{"\\Root\\T", "\\Root\\T\\X", "\\Root\\T\\X\\Z",
                                               "\\Root\\U", "\\Root\\U\\X", "\\Root\\W"}));
    std::vector<TMivoAttribute*> all = model.Attributes();
    TMivoAttribute* x_under_t = all[1];
    TMivoAttribute* x_under_u = all[4];
    // O0: both X basic, in pre-order. O1: the one basic X first, then the
    // first X in pre-order for the name's second value.
    EXPECT_EQ(x_under_t->Values(), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(x_under_u->Values(), (std::vector<std::string>{"0", "1"}));
}

TEST(PelkImport, HostileInputGivesClearErrors) {
    std::string deep = Scale("S", {"a", "b"}) + Attr("a0", "", "S");
    for (int i = 1; i < MaxAttributeLevel; ++i) deep += Attr("a" + std::to_string(i), "a" + std::to_string(i - 1), "");
    std::string too_deep = deep + Attr("last", "a" + std::to_string(MaxAttributeLevel - 1), "");
    std::vector<std::string> many;
    for (int i = 0; i <= MaxScaleValues; ++i) many.push_back("v" + std::to_string(i));
    std::string big = Scale("Big", Names("v", 40)) + Scale("Two", {"a", "b"}) + Attr("Goal", "", "Two");
    for (int k = 0; k < 4; ++k) big += Attr("In" + std::to_string(k), "Goal", "Big");

    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    auto doc = [](const std::string& body) { return std::vector<std::string>{"<MODEL>", body, "</MODEL>"}; };
    const std::vector<Case> cases{
        {{"<Mivo>", "</Mivo>"}, "Unsupported file format:\"test.xml\""},
        {{}, "Unsupported file format:\"test.xml\""},
        {doc(Function("Nope", "")), "Unknown function \"Nope\""},
        {doc(kTree + Function("G", "Y;X")), "Error in function parameters \"G\": \"Y;X\""},
        {doc(kTree + Function("X", "")), "Cannot create function \"X\""},
        {doc(kTree + Function("G", "X;Y", Rule("x1;y1", "zzz"))), "Unknown attribute value \"G\": \"zzz\""},
        {doc(kTree + Function("G", "X;Y", Rule("x1;y9", "g1"))), "Unknown attribute value \"Y\": \"y9\""},
        {doc(kTree + Option("O", OptionValue("X", "zzz"))), "Unknown attribute value \"X\": \"zzz\""},
        {doc(kTree + Option("O", OptionValue("Nobody", "x1"))), "Unknown attribute value \"NULL\": \"x1\""},
        {doc(too_deep), Format(STreeTooDeep, MaxAttributeLevel + 1, MaxAttributeLevel)},
        {doc(Scale("Wide", many)), Format(SPelkTooManyValues, "Wide", MaxScaleValues)},
        {doc(big + Function("Goal", "In0;In1;In2;In3")), Format(STooManyRules, "Goal", "2560000", 1048576)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf(c.lines), c.message);
        ExpectDefaultXmlSettings();
    }
    EXPECT_EQ(MessageOf(doc(deep)), "no error");

    // Malformed XML and a header line (none is expected) are the XML
    // module's errors.
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"<MODEL><NAME>x</MODEL>"},
          std::vector<std::string>{"<?xml version=\"1.0\"?>", "<MODEL></MODEL>"}}) {
        TMivoModel model;
        EXPECT_THROW(ImportPelkLines(model, lines, "test.xml"), EXmlError);
        ExpectDefaultXmlSettings();
    }
    TMivoModel model;
    EXPECT_THROW(ImportPelk(model, TempFile("missing.xml")), EFileError);
    ExpectDefaultXmlSettings();
}
