// Inputs found by fuzzing the Wox import, kept so they stay answered.
#include <gtest/gtest.h>

#include <string>

#include "model/Limits.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/WoxImport.h"

using namespace mivo;

// 2 KB files whose function sits on an attribute with many inputs: their
// tables have 472392 and 552960 rules, within the rule limit. Import and
// export must finish (the fuzzer reported both as hangs under the
// sanitizers) with every table within the limit, and the export must give
// back every rule.
std::string AllRules(const TMivoFunction& function) {
    std::string text;
    for (int r = 0; r < function.Rules().Count(); ++r) text += function.Rules().Get(r) + '\n';
    return text;
}

TEST(WoxFuzzRegression, SmallFilesWithALargeTableAreReadAndWrittenWithinTheLimit) {
    for (const char* file : {"wox_small_file_large_table.wox", "wox_small_file_552960_rules.wox"}) {
        SCOPED_TRACE(file);
        TMivoModel model;
        ImportWox(model, std::string(MIVO_TEST_DATA) + "/fuzz/" + file);
        std::int64_t largest = 0;
        std::vector<std::string> rules;
        model.ForEachAttribute([&](TMivoAttribute* a) {
            if (a->Funct() == nullptr) return;
            largest = std::max<std::int64_t>(largest, a->Funct()->RuleCount());
            rules.push_back(AllRules(*a->Funct()));
        });
        EXPECT_GT(largest, 0);
        EXPECT_LE(largest, limits::RuleCount);
        const std::vector<std::string> lines = WoxLines(model);
        TMivoModel again;
        ReadWox(again, lines, "again.wox");
        EXPECT_EQ(again.Statistics(), model.Statistics());
        std::vector<std::string> rules_again;
        again.ForEachAttribute([&](TMivoAttribute* a) {
            if (a->Funct() != nullptr) rules_again.push_back(AllRules(*a->Funct()));
        });
        EXPECT_TRUE(rules_again == rules);
    }
}
