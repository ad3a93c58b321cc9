// The option-data reader on arbitrary text, in every form a user can feed
// it: tab-separated and comma-separated files, the clipboard and lines of
// items; normal and transposed; values as indices from 0, from 1 or names;
// names plain or indented by level. The first byte picks the form. A text
// that reads is then stored into the model, which evaluates every option.
// What was stored is written as a file of the same separator and read into
// a fresh model: it must give the same options with the same values (an
// undefined value comes back as "*", as both are written).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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
// scale over Safety (2, value names "a0" "a1"), a second "Price" that
// links to the first and Note without a scale; options A and B.
void BuildModel(TMivoModel& model) {
    TMivoAttribute* car = Add(model.Root(), "Car", 3);
    Add(car, "Price", 3);
    Add(car, "Comfort", 12);
    car->CreateFunction();
    TMivoAttribute* tech = Add(model.Root(), "Tech", 0);
    Add(tech, "Safety", 2, "a");
    Add(tech, "Price", 3);
    Add(tech, "Note", 0);
    model.AddOption("A");
    model.AddOption("B");
    model.Changed();
}

void Configure(TMivoModel& model, unsigned form) {
    BuildModel(model);
    model.Settings.OptDataType = static_cast<std::uint8_t>(form % 3);
    model.Settings.OptTranspose = (form & 4) != 0;
    model.Settings.OptLevels = (form & 8) != 0;
    model.Settings.OptDataAll = (form & 16) != 0;
}

// The values of the basic attributes without a link, "" read as "*".
std::vector<std::vector<std::string>> StoredValues(const TMivoModel& model) {
    std::vector<std::vector<std::string>> values;
    model.ForEachAttribute([&](TMivoAttribute* a) {
        if (!a->IsBasic() || a->Link()) return;
        auto& row = values.emplace_back();
        for (int i = 0; i < model.OptionCount(); ++i) {
            const std::string value = a->GetOptValue(i);
            row.push_back(value.empty() ? "*" : value);
        }
    });
    return values;
}

// Writes the model's options and reads them back into a fresh model.
void CheckReadsBack(const TMivoModel& model, unsigned form, bool csv) {
    TMivoOptData out;
    out.LoadFromModel(const_cast<TMivoModel*>(&model));
    const std::string& path = fuzz::ScratchPath(csv ? ".csv" : ".tab");
    csv ? out.ExportCsv(path) : out.ExportTab(path);
    TMivoModel copy;
    Configure(copy, form);
    copy.DeleteAllOptions();
    TMivoOptData in;
    csv ? in.ImportCsv(path, &copy) : in.ImportTab(path, &copy);
    in.StoreToModel();
    if (copy.Options() != model.Options() || StoredValues(copy) != StoredValues(model)) {
        std::fprintf(stderr, "the written option data does not read back\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    const unsigned form = fuzz::TakeByte(text);

    TMivoModel model;
    Configure(model, form);

    TMivoOptData table;
    const unsigned source = (form >> 5) & 3;
    const bool append = (form & 128) != 0;
    bool stored = false;
    fuzz::Guarded([&] {
        switch (source) {
            case 0: table.ImportTab(fuzz::WriteScratch(text, ".tab"), &model); break;
            case 1: table.ImportCsv(fuzz::WriteScratch(text, ".csv"), &model); break;
            case 2: table.PasteText(text, &model); break;
            default: table.LoadFromStrings(fuzz::Lines(text), &model); break;
        }
        table.StoreToModel(append);
        stored = true;
        // What was stored reads back out of the model.
        TMivoOptData out;
        out.LoadFromModel(&model);
        out.SaveToStrings();
    });
    // Appended columns may repeat a name, which reads back as one option.
    if (stored && !append) CheckReadsBack(model, form, source == 1);
    return 0;
}
