// needs: model/MivoFile.h
// The model file reader on arbitrary lines (the form of undo snapshots and
// of a model file's text). A model it accepts is evaluated, saved and must
// read again: what the program saves is what it has read.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/Xml.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    XmlHeader = std::string(XmlUtf8Header);
    TMivoModel model;
    bool read = false;
    fuzz::Guarded([&] {
        LoadFromStrings(model, lines);
        read = true;
    });
    if (!read) return 0;

    fuzz::Guarded([&] { model.Reevaluate(); });
    std::vector<std::string> saved;
    SaveToStrings(model, saved);
    TMivoModel again;
    try {
        LoadFromStrings(again, saved);
    } catch (const Exception& e) {
        std::fprintf(stderr, "saved model does not read back: %s\n", e.Message().c_str());
        std::abort();
    }
    return 0;
}
