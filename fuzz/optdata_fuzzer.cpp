// The option-data reader on arbitrary text, in every form a user can feed
// it: tab-separated and comma-separated files, the clipboard and lines of
// items; normal and transposed; values as indices from 0, from 1 or names;
// names plain or indented by level. The first byte picks the form. A text
// that reads is then stored into the model, which evaluates every option.
#include <memory>

#include "fuzz/FuzzInput.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoOptData.h"
#include "model/MivoScale.h"

using namespace mivo;

namespace {

std::unique_ptr<TMivoDiscreteScale> Scale(int size, const char* prefix) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue(prefix + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

TMivoAttribute* Add(TMivoAttribute* parent, const std::string& name, int values, const char* prefix = "v") {
    auto attribute = std::make_unique<TMivoAttribute>(name);
    if (values > 0) attribute->SetScale(Scale(values, prefix));
    return parent->AddInput(std::move(attribute));
}

// Car (3 values, a decision table) over Price (3) and Comfort (12 values,
// so indices of two digits occur), a second top attribute Tech without a
// scale over Safety (2, value names "a0" "a1") and a second "Price" that
// links to the first; options A and B.
void BuildModel(TMivoModel& model) {
    TMivoAttribute* car = Add(model.Root(), "Car", 3);
    Add(car, "Price", 3);
    Add(car, "Comfort", 12);
    car->CreateFunction();
    TMivoAttribute* tech = Add(model.Root(), "Tech", 0);
    Add(tech, "Safety", 2, "a");
    Add(tech, "Price", 3);
    model.AddOption("A");
    model.AddOption("B");
    model.Changed();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    const unsigned form = fuzz::TakeByte(text);

    TMivoModel model;
    BuildModel(model);
    model.Settings.OptDataType = static_cast<std::uint8_t>(form % 3);
    model.Settings.OptTranspose = (form & 4) != 0;
    model.Settings.OptLevels = (form & 8) != 0;
    model.Settings.OptDataAll = (form & 16) != 0;

    TMivoOptData table;
    fuzz::Guarded([&] {
        switch ((form >> 5) & 3) {
            case 0: table.ImportTab(fuzz::WriteScratch(text, ".tab"), &model); break;
            case 1: table.ImportCsv(fuzz::WriteScratch(text, ".csv"), &model); break;
            case 2: table.PasteText(text, &model); break;
            default: table.LoadFromStrings(fuzz::Lines(text), &model); break;
        }
        table.StoreToModel((form & 128) != 0);
        // What was stored reads back out of the model.
        TMivoOptData out;
        out.LoadFromModel(&model);
        out.SaveToStrings();
    });
    return 0;
}
