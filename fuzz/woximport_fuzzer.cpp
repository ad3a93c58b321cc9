// needs: model/WoxImport.h
// The Wox import on arbitrary lines. A model it reads is evaluated and,
// unless its tables are very large, exported, and the export must import
// again.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/WoxImport.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    TMivoModel model;
    bool read = false;
    fuzz::Guarded([&] {
        ReadWox(model, lines, "fuzz.wox");
        read = true;
    });
    if (!read) return 0;
    fuzz::Guarded([&] { model.Reevaluate(); });

    // A few lines can ask for a table of up to a million rules. Reading it
    // is linear work, but the export and second import of such a table take
    // a minute under the sanitizers; they are checked on large tables by a
    // regression test, so the fuzzer spends its time on smaller models.
    std::int64_t rules = 0;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        if (a->Funct() != nullptr) rules += a->Funct()->RuleCount();
    });
    if (rules > (1 << 16)) return 0;

    const std::vector<std::string> exported = WoxLines(model);
    TMivoModel again;
    try {
        ReadWox(again, exported, "again.wox");
    } catch (const Exception& e) {
        std::fprintf(stderr, "exported Wox does not import again: %s\n", e.Message().c_str());
        std::abort();
    }
    return 0;
}
