// needs: model/Pelk.h
// The Pelk import on arbitrary lines. A model it reads is evaluated and
// exported; an export the format can hold must import again.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "model/MivoModel.h"
#include "model/Pelk.h"
#include "model/Xml.h"
#include "model/XmlHeaderScope.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    TMivoModel model;
    bool read = false;
    fuzz::Guarded([&] {
        ImportPelkLines(model, lines, "fuzz.xml");
        read = true;
    });
    if (!read) return 0;

    fuzz::Guarded([&] { model.Reevaluate(); });
    std::unique_ptr<TXmlItem> tree;
    fuzz::Guarded([&] { tree = PelkTree(model); });  // names it cannot write
    if (!tree) return 0;

    std::vector<std::string> exported;
    {
        TXmlHeaderScope plain("");  // the file form: no header line, 8-bit text
        tree->SaveToStrings(exported);
    }
    TMivoModel again;
    try {
        ImportPelkLines(again, exported, "again.xml");
    } catch (const Exception& e) {
        std::fprintf(stderr, "exported Pelk file does not import again: %s\n", e.Message().c_str());
        std::abort();
    }
    return 0;
}
