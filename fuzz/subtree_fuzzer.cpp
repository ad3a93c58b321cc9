// needs: model/MivoFile.h
// The subtree reader (a copied attribute subtree coming back) on arbitrary
// lines. An attribute it returns is pasted into a model and evaluated, as
// the paste command does.
#include "fuzz/FuzzInput.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/Xml.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    XmlHeader = std::string(XmlUtf8Header);
    fuzz::Guarded([&] {
        std::unique_ptr<TMivoAttribute> attribute = ReadSubtree(lines);
        if (!attribute) return;
        TMivoModel model;
        model.AddOption("A");
        model.Root()->AddInput(std::move(attribute));
        model.Changed();
        model.Reevaluate();
    });
    return 0;
}
