// Every limit of model/Limits.h at its edge: input exactly at the limit is
// read, one step beyond it is refused with the reader's error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/Limits.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/Pelk.h"
#include "model/WoxImport.h"

using namespace mivo;

namespace {

template <typename E, typename F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no error>";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// `depth` nested elements <e>..</e>, all on one line.
std::vector<std::string> NestedXml(int depth) {
    std::string line;
    for (int i = 0; i < depth; ++i) line += "<e>";
    for (int i = 0; i < depth; ++i) line += "</e>";
    return {std::string(XmlUtf8Header), line};
}

// A model file whose one attribute has a scale of `values` values.
std::vector<std::string> ModelWithScale(int values) {
    std::vector<std::string> lines = {std::string(XmlUtf8Header), "<Mivo>", "<SETTINGS/>", "<ATTRIBUTE>",
                                      "<NAME>big</NAME>", "<SCALE>"};
    for (int v = 0; v < values; ++v) lines.push_back("<SCALEVALUE><NAME>v" + std::to_string(v) + "</NAME></SCALEVALUE>");
    for (const char* end : {"</SCALE>", "</ATTRIBUTE>", "</Mivo>"}) lines.push_back(end);
    return lines;
}

// A Wox file whose attributes form one chain `levels` deep, the deepest
// with a scale (which the model file nests three levels further).
std::vector<std::string> WoxChain(int levels) {
    std::vector<std::string> lines = {" Zut I1.5", " DKB chain"};
    for (int level = 1; level <= levels; ++level) {
        lines.push_back(" ATT a" + std::to_string(level));
        lines.push_back("L" + std::to_string(level) + " I" + std::to_string(level));
    }
    lines.insert(lines.end(), {" DOM D+", "Nlo Nhi"});
    return lines;
}

// A Pelk file whose attributes form one chain `levels` deep, the deepest
// with a scale.
std::vector<std::string> PelkChain(int levels) {
    std::vector<std::string> lines = {"<MODEL>", "<NAME>chain</NAME>",
                                      "<SCALE><NAME>S</NAME><SCALEVALUE><NAME>lo</NAME></SCALEVALUE>"
                                      "<SCALEVALUE><NAME>hi</NAME></SCALEVALUE></SCALE>"};
    for (int level = 1; level <= levels; ++level) {
        std::string parent = level == 1 ? "" : "<PARENT>a" + std::to_string(level - 1) + "</PARENT>";
        std::string scale = level == levels ? "<SCALE>S</SCALE>" : "";
        lines.push_back("<ATTRIBUTE><NAME>a" + std::to_string(level) + "</NAME>" + parent + scale + "</ATTRIBUTE>");
    }
    lines.push_back("</MODEL>");
    return lines;
}

// Every copy of the model reads back: the model file, the snapshot lines
// and the subtree text of the whole tree and of the top attribute.
void ExpectEveryCopyReadsBack(TMivoModel& model, int levels) {
    const std::string path = ::testing::TempDir() + "/limits_" + std::to_string(getpid()) + ".mvo";
    SaveToFile(model, path);
    TMivoModel reopened;
    LoadFromFile(reopened, path);
    std::remove(path.c_str());
    EXPECT_EQ(reopened.Statistics().Attributes, levels);

    std::vector<std::string> lines;
    SaveToStrings(model, lines);
    TMivoModel restored;
    LoadFromStrings(restored, lines);
    EXPECT_EQ(restored.Statistics().Attributes, levels);

    EXPECT_NE(DuplicateSubtree(model, nullptr), nullptr);
    EXPECT_NE(DuplicateSubtree(model, model.FirstAttribute()), nullptr);
}

// An attribute over `inputs` inputs of `size` values each.
std::unique_ptr<TMivoAttribute> Aggregate(int inputs, int size) {
    auto attribute = std::make_unique<TMivoAttribute>("goal");
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->AddValue("lo");
    scale->AddValue("hi");
    attribute->SetScale(std::move(scale));
    for (int k = 0; k < inputs; ++k) {
        auto input = std::make_unique<TMivoAttribute>("in" + std::to_string(k));
        auto in_scale = std::make_unique<TMivoDiscreteScale>();
        for (int v = 0; v < size; ++v) in_scale->AddValue("v" + std::to_string(v));
        input->SetScale(std::move(in_scale));
        attribute->AddInput(std::move(input));
    }
    return attribute;
}

}  // namespace

TEST(Limits, XmlNestingDepth) {
    TXmlItem at_limit;
    at_limit.LoadFromStrings(NestedXml(limits::XmlDepth));
    EXPECT_EQ(at_limit.Name, "e");

    TXmlItem beyond;
    EXPECT_TRUE(Contains(ErrorOf<EXmlError>([&] { beyond.LoadFromStrings(NestedXml(limits::XmlDepth + 1)); }),
                         "nested deeper than 1000 levels"));
}

TEST(Limits, ScaleValuesWhenAScaleGrowsAndInTheModelFile) {
    TMivoDiscreteScale scale;
    for (int v = 0; v < limits::ScaleValues; ++v) scale.AddValue("v" + std::to_string(v));
    EXPECT_EQ(scale.Count(), 208);
    EXPECT_NE(ErrorOf<EMivoError>([&] { scale.AddValue("one more"); }), "<no error>");
    EXPECT_EQ(scale.Count(), 208);

    TMivoModel read;
    LoadFromStrings(read, ModelWithScale(limits::ScaleValues));
    EXPECT_EQ(read.FirstAttribute()->ScaleSize(), 208);
    TMivoModel refused;
    EXPECT_EQ(ErrorOf<EMivoError>([&] { LoadFromStrings(refused, ModelWithScale(limits::ScaleValues + 1)); }),
              "Attribute \"big\": the scale has more than 208 values");
}

TEST(Limits, RuleCountOfOneTable) {
    // 2^20 rules exactly: built.
    auto at_limit = Aggregate(20, 2);
    ASSERT_NE(at_limit->CreateFunction(), nullptr);
    EXPECT_EQ(at_limit->Funct()->RuleCount(), limits::RuleCount);

    // 2^21 and 208^3 rules: refused before anything is allocated, with the
    // rule count written out.
    auto beyond = Aggregate(21, 2);
    EXPECT_EQ(ErrorOf<EMivoError>([&] { beyond->CreateFunction(); }),
              "The decision table of attribute \"goal\" would have 2097152 rules; at most 1048576 rules are allowed");
    auto wide = Aggregate(3, 208);
    EXPECT_TRUE(Contains(ErrorOf<EMivoError>([&] { wide->CreateFunction(); }), "would have 8998912 rules"));
}

TEST(Limits, AttributeDepthOfTheImports) {
    // The deepest tree the model file holds imports, saves and reopens; one
    // level more is refused with the tree editor's message.
    const std::string too_deep = Format(STreeTooDeep, limits::AttributeLevels + 1, limits::AttributeLevels);

    TMivoModel wox_ok;
    ReadWox(wox_ok, WoxChain(limits::AttributeLevels), "chain.wox");
    EXPECT_EQ(wox_ok.Statistics().Attributes, limits::AttributeLevels);
    ExpectEveryCopyReadsBack(wox_ok, limits::AttributeLevels);
    TMivoModel wox_deep;
    const std::string wox_error =
        ErrorOf<EMivoError>([&] { ReadWox(wox_deep, WoxChain(limits::AttributeLevels + 1), "chain.wox"); });
    EXPECT_TRUE(wox_error.starts_with("Error reading WOX around line ")) << wox_error;
    EXPECT_TRUE(wox_error.ends_with(too_deep)) << wox_error;

    TMivoModel pelk_ok;
    ImportPelkLines(pelk_ok, PelkChain(limits::AttributeLevels), "chain.xml");
    EXPECT_EQ(pelk_ok.Statistics().Attributes, limits::AttributeLevels);
    ExpectEveryCopyReadsBack(pelk_ok, limits::AttributeLevels);
    TMivoModel pelk_deep;
    EXPECT_EQ(ErrorOf<EMivoError>(
                  [&] { ImportPelkLines(pelk_deep, PelkChain(limits::AttributeLevels + 1), "chain.xml"); }),
              too_deep);
}

TEST(Limits, OptionValuesOfAnEvaluatedModel) {
    const std::int64_t cells = limits::ValueCells;
    struct Case { std::int64_t attributes, options; bool refused; };
    for (Case c : {Case{1, cells, false}, {1, cells + 1, true}, {cells, 1, false}, {2, cells / 2, false},
                   {2, cells / 2 + 1, true}, {500, 1000000, true}, {25, 1000000, false}, {0, cells * 4, false}}) {
        if (c.refused) {
            EXPECT_THROW(CheckValueCells(c.attributes, c.options), EMivoError) << c.attributes << " " << c.options;
        } else {
            EXPECT_NO_THROW(CheckValueCells(c.attributes, c.options)) << c.attributes << " " << c.options;
        }
    }
    try {
        CheckValueCells(500, 1000000);
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), "The model is too large to evaluate: 500 attributes and 1000000 options make more "
                               "than 134217728 option values");
    }
}
