// Inputs found by fuzzing the Wox import, kept so they stay answered.
#include <gtest/gtest.h>

#include <string>

#include "model/Limits.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/WoxImport.h"

using namespace mivo;

// A 2 KB file whose function sits on an attribute with many inputs: its
// table has 472392 rules, within the rule limit. Import and export
// must finish (the fuzzer first reported it as a hang under the sanitizers)
// with every table within the limit.
TEST(WoxFuzzRegression, SmallFileWithALargeTableIsReadAndWrittenWithinTheLimit) {
    TMivoModel model;
    const std::string warnings = ImportWox(model, std::string(MIVO_TEST_DATA) + "/fuzz/wox_small_file_large_table.wox");
    std::int64_t largest = 0;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        if (a->Funct() != nullptr) largest = std::max<std::int64_t>(largest, a->Funct()->RuleCount());
    });
    EXPECT_GT(largest, 0);
    EXPECT_LE(largest, limits::RuleCount);
    const std::vector<std::string> lines = WoxLines(model);
    TMivoModel again;
    ReadWox(again, lines, "again.wox");
    EXPECT_EQ(again.Statistics(), model.Statistics());
}
