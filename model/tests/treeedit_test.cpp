// Checks of structural edits: the deepest tree every copy of a model reads
// back, the size of a new table, and value lists of pasted subtrees.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "model/TreeEdit.h"
#include "model/Xml.h"
#include "model/tests/TableFixture.h"

namespace mivo {
namespace {

// A chain of `levels` attributes below the root, each with a scale of two
// named values and a description of two lines, the deepest one included.
TMivoAttribute* BuildChain(TMivoModel& model, int levels) {
    TMivoAttribute* at = model.Root();
    for (int level = 1; level <= levels; ++level) {
        at = at->AddInput(std::make_unique<TMivoAttribute>("L" + std::to_string(level), "first\r\nsecond"));
        at->SetScale(fixture::MakeScale({2}));
    }
    return at;
}

TEST(TreeEditDepth, HeightAndLevel) {
    TMivoModel model;
    TMivoAttribute* deepest = BuildChain(model, 5);
    TMivoAttribute* top = model.FirstAttribute();
    EXPECT_EQ(SubtreeHeight(*top), 5);
    EXPECT_EQ(SubtreeHeight(*deepest), 1);
    EXPECT_EQ(LevelAsInput(*deepest, *top), 10);  // a copy of the chain below its end
    EXPECT_EQ(LevelAsInput(*model.Root(), *deepest), 1);
}

TEST(TreeEditDepth, TheDeepestAllowedModelReadsBackEverywhere) {
    const std::string path = ::testing::TempDir() + "deepest.mvo";
    TMivoModel model;
    TMivoAttribute* deepest = BuildChain(model, MaxAttributeLevel);
    EXPECT_EQ(deepest->Level(), MaxAttributeLevel);
    TMivoAttribute leaf("one more");
    EXPECT_FALSE(FitsDepth(*deepest, leaf));
    EXPECT_TRUE(FitsDepth(*deepest->Parent(), leaf));

    SaveToFile(model, path);
    TMivoModel back;
    ASSERT_NO_THROW(LoadFromFile(back, path));
    EXPECT_EQ(back.Statistics().Attributes, MaxAttributeLevel);
    std::vector<std::string> lines;
    SaveToStrings(back, lines);
    TMivoModel snapshot;
    ASSERT_NO_THROW(LoadFromStrings(snapshot, lines));
    EXPECT_NE(DuplicateSubtree(back, nullptr), nullptr);  // the whole tree
    std::remove(path.c_str());
}

TEST(TreeEditDepth, OneLevelMoreNoLongerReadsBack) {
    // One level beyond: the whole-tree copy fails; two beyond: the file.
    TMivoModel model;
    BuildChain(model, MaxAttributeLevel + 1);
    EXPECT_THROW(DuplicateSubtree(model, nullptr), EXmlError);

    TMivoModel deeper;
    BuildChain(deeper, MaxAttributeLevel + 2);
    std::vector<std::string> lines;
    SaveToStrings(deeper, lines);
    TMivoModel back;
    EXPECT_THROW(LoadFromStrings(back, lines), EXmlError);
}

TEST(TreeEditTableSize, Limits) {
    const struct {
        std::int64_t rules;
        TTableSize size;
    } cases[] = {{1, TTableSize::Accepted},   {200, TTableSize::Accepted},  {201, TTableSize::Large},
                 {1000, TTableSize::Large},   {1001, TTableSize::TooLarge}, {2147483647, TTableSize::TooLarge}};
    for (const auto& c : cases) EXPECT_EQ(CheckTableSize(c.rules), c.size) << c.rules;
    EXPECT_EQ(Format(STooLargeTable, 1001, "Car").substr(0, 59),
              "The newly created table would consist of 1001 rules, which ");
}

TEST(TreeEditValues, PastedSubtreeValuesAreCut) {
    TMivoModel model;
    BuildChain(model, 3);
    for (TMivoAttribute* a : model.Attributes()) a->SetValues(TValueStrings{"0", "1", "01", "*"});
    CutValuesToOptions(*model.FirstAttribute(), 2);
    for (TMivoAttribute* a : model.Attributes())
        EXPECT_EQ(a->Values().ToVector(), (std::vector<std::string>{"0", "1"})) << a->GetName();
    CutValuesToOptions(*model.FirstAttribute(), 0);
    for (TMivoAttribute* a : model.Attributes()) EXPECT_EQ(a->ValueCount(), 0);
}

}  // namespace
}  // namespace mivo
