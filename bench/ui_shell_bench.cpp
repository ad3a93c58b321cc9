// The model window's undo and refresh on large models: a model snapshot
// and a model undo at 1,000 attributes by 1,000 options (about 27 MB of
// model text) should take under 0.5 s, an option snapshot and an option
// undo under 50 ms; at 10,000 attributes by 100 options StructureChanged
// and the enabling refresh (with the status line) under 10 ms. The snapshot
// read's figure is printed after the table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "desktop/Commands.h"
#include "desktop/ModelWindowEvents.h"
#include "desktop/ModelWindowState.h"
#include "desktop/UndoCommands.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace mivo;

double Millis(const std::function<void()>& step, int repeat = 1) {
    const auto start = Clock::now();
    for (int i = 0; i < repeat; ++i) step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / repeat;
}

class TNoWindow final : public TModelWindowEvents {
public:
    void ClearTree() override {}
    void ModelReplaced() override {}
    void OptionsReplaced(const TGridCells&) override {}
    void UpdateControls() override {}
};

std::unique_ptr<TMivoDiscreteScale> Scale3() {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const char* v : {"low", "medium", "high"}) scale->AddValue(v);
    scale->DefaultBounds();
    return scale;
}

// A tree of `attributes` attributes: aggregates of five inputs with
// decision tables, three-value scales everywhere, `options` options with
// random basic values, evaluated.
std::unique_ptr<TMivoModel> LargeModel(int attributes, int options) {
    auto model = std::make_unique<TMivoModel>();
    std::mt19937 rng(7);
    std::vector<TMivoAttribute*> open;  // aggregates still taking inputs
    auto add = [&](TMivoAttribute* parent, int n) {
        auto a = std::make_unique<TMivoAttribute>("a" + std::to_string(n));
        a->SetScale(Scale3());
        return parent->AddInput(std::move(a));
    };
    TMivoAttribute* top = add(model->Root(), 0);
    open.push_back(top);
    for (int n = 1; n < attributes; ++n) {
        TMivoAttribute* parent = open.front();
        TMivoAttribute* a = add(parent, n);
        if (parent->InpCount() == 5) open.erase(open.begin());
        open.push_back(a);
    }
    for (int o = 0; o < options; ++o) model->AddOption("option " + std::to_string(o));
    for (TMivoAttribute* a : model->Attributes()) {
        if (a->IsBasic()) {
            std::vector<std::string> values(static_cast<std::size_t>(options));
            for (std::string& v : values) v = std::string(1, static_cast<char>('0' + rng() % 3));
            a->SetValues(TValueStrings(values));
        } else {
            TMivoFunction* f = a->CreateFunction();
            for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, static_cast<int>(rng() % 3));
        }
    }
    model->Reevaluate();
    return model;
}

// The first of several runs pays for fresh memory; the later ones show the
// steady cost.
std::vector<double> Report(const char* what, const std::function<void()>& step, int runs) {
    std::vector<double> times;
    std::printf("  %-16s", what);
    for (int i = 0; i < runs; ++i) {
        times.push_back(Millis(step));
        std::printf(" %7.1f", times.back());
    }
    std::printf(" ms\n");
    return times;
}

void UndoFigures() {
    TModelWindowState state;
    TNoWindow window;
    TUndoCommands undo(state, window);
    state.ReplaceModel(LargeModel(1000, 1000));
    state.SelectFirstAttribute();

    TCompressedText text = TakeModelSnapshot(state.Model());
    std::printf("1000 attributes x 1000 options, model text %.1f MB, held in %.1f MB\n",
                static_cast<double>(text.TextSize()) / 1e6, static_cast<double>(text.StoredSize()) / 1e6);
    Report("model snapshot", [&] { text = TakeModelSnapshot(state.Model()); }, 3);
    const std::vector<double> reads = Report("snapshot read", [&] { (void)ReadModelSnapshot(text); }, 3);
    undo.ResetModelUndo();
    TMivoAttribute* top = state.Model().FirstAttribute();
    int edits = 0;
    Report("model push", [&] {
        state.Model().FirstAttribute()->SetDescription("edit " + std::to_string(++edits));
        undo.PushModelUndo();
    }, 3);
    (void)top;
    Report("model undo", [&] { undo.ModelUndo(); }, 3);
    Report("model redo", [&] { undo.ModelRedo(); }, 3);

    Report("option snapshot", [&] { (void)TakeOptionSnapshot(state.Model()); }, 3);
    Report("option push", [&] {
        TMivoAttribute* basic = state.BasicAttrs().front();
        basic->SetOptValue(0, basic->GetOptValue(0) == "0" ? "1" : "0");
        state.Model().Changed();
        state.Model().Reevaluate();
        undo.PushOptionUndo();
    }, 3);
    Report("option undo", [&] { undo.OptionUndo(); }, 3);
    Report("option redo", [&] { undo.OptionRedo(); }, 3);
    std::printf("snapshot read of 1000 x 1000: first %.1f ms, slowest %.1f ms (goal 500 ms)\n", reads.front(),
                *std::max_element(reads.begin(), reads.end()));
}

void RefreshFigures() {
    TModelWindowState state;
    state.ReplaceModel(LargeModel(10000, 100));
    state.SetCurrentAttribute(state.AllAttrs()[5000]);
    state.OptRow = 4000;
    state.OptCol = 50;
    const double structure = Millis([&] { state.StructureChanged(); }, 20);
    TEnablingFacts facts;
    std::size_t sink = 0;
    const double enabling = Millis(
        [&] {
            const TCommandStates s = CommandStates(state, facts);
            sink += s.Enabled(TCommandId::ModDel) + ModelStatusText(state.Model()).size() +
                    ModelCaption(state.Model(), "/m/large.mvo").size();
        },
        20);
    std::printf("10000 attributes x 100 options: StructureChanged %.2f ms, enabling with status line %.2f ms (%zu)\n",
                structure, enabling, sink % 10);
}

}  // namespace

int main() {
    UndoFigures();
    RefreshFigures();
}
