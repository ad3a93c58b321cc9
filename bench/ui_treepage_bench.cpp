// Timings of the Model page on large trees: filling a tree of 10,000 and of
// 20,000 attributes and one 900 levels deep, and each tree command on the
// tree of 10,000 (the paste of a subtree of 1,000 attributes included),
// shrink, expand and one keystroke in the name edit. Goals: a fill under
// 1 s, each command under 100 ms, 20,000 attributes at most about twice
// the time of 10,000. The last line gives the slowest command with undo on
// (each then takes a snapshot of the whole model) and off.
//   bench_ui_treepage
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

#include <QApplication>

#include "bench/BenchShell.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/TreePage.h"
#include "platform/ScriptedPrompts.h"

namespace {

using namespace mivo;

using bench::TMemoryClipboard;
using bench::TNoHelp;

std::unique_ptr<TMivoDiscreteScale> Scale3() {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const char* name : {"low", "mid", "high"}) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

// A tree of `count` attributes, each aggregate with `fan` inputs, filled
// breadth first; every attribute has a scale of three values.
void WriteBroadModel(const std::string& path, int count, int fan) {
    TMivoModel model;
    std::deque<TMivoAttribute*> open;
    TMivoAttribute* top = model.Root()->AddInput(std::make_unique<TMivoAttribute>("A0"));
    top->SetScale(Scale3());
    open.push_back(top);
    int made = 1;
    while (made < count && !open.empty()) {
        TMivoAttribute* parent = open.front();
        open.pop_front();
        for (int i = 0; i < fan && made < count; ++i) {
            TMivoAttribute* input = parent->AddInput(std::make_unique<TMivoAttribute>("A" + std::to_string(made++)));
            input->SetScale(Scale3());
            open.push_back(input);
        }
    }
    SaveToFile(model, path);
}

void WriteDeepModel(const std::string& path, int levels) {
    TMivoModel model;
    TMivoAttribute* at = model.Root();
    for (int level = 1; level <= levels; ++level) {
        at = at->AddInput(std::make_unique<TMivoAttribute>("L" + std::to_string(level)));
        at->SetScale(Scale3());
    }
    SaveToFile(model, path);
}

double Millis(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The attribute with the most attributes in its subtree of at most `limit`.
TMivoAttribute* SubtreeOfAbout(TMivoModel& model, int limit) {
    TMivoAttribute* best = nullptr;
    int best_size = 0;
    for (TMivoAttribute* a : model.Attributes()) {
        TMivoAttributeList below;
        a->CollectDescendants(below);
        const int size = below.Count() + 1;
        if (size <= limit && size > best_size) {
            best = a;
            best_size = size;
        }
        if (best_size == limit) break;
    }
    return best;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mivo-treepage-bench";
    std::filesystem::create_directories(folder);
    const std::string broad = (folder / "broad10k.mvo").string();
    const std::string broader = (folder / "broad20k.mvo").string();
    const std::string deep = (folder / "deep900.mvo").string();
    WriteBroadModel(broad, 10000, 10);
    WriteBroadModel(broader, 20000, 10);
    WriteDeepModel(deep, 900);

    TScriptedPrompts prompts;
    TNoHelp help;
    TMemoryClipboard clipboard;
    TMainForm main(prompts, help, clipboard);
    main.resize(1200, 800);
    main.show();

    const auto fill = [&](const std::string& path, const char* what) {
        TModelForm* form = main.OpenModelWindow(path);
        auto& page = dynamic_cast<TTreePage&>(form->Page(TModelPage::Model));
        const double ms = Millis([&] {
            form->FillTree();
            page.ModelReplaced();
            form->UpdateControls();
            QApplication::processEvents();
        });
        std::printf("fill %-28s %8.1f ms\n", what, ms);
        return form;
    };
    fill(deep, "900 levels deep")->Model().Modified = false;
    fill(broader, "20,000 attributes")->Model().Modified = false;
    TModelForm* form = fill(broad, "10,000 attributes");
    auto& page = dynamic_cast<TTreePage&>(form->Page(TModelPage::Model));
    TMivoModel& model = form->Model();

    // The slowest of the tree commands proper (not of their parts) in the
    // current round.
    double slowest = 0;
    const char* slowest_name = "";
    const auto command = [&](const char* what, const std::function<void()>& run) {
        const double ms = Millis([&] {
            run();
            QApplication::processEvents();
        });
        std::printf("%-36s %8.1f ms\n", what, ms);
        if (what[0] != ' ' && ms > slowest) {
            slowest = ms;
            slowest_name = what;
        }
    };
    const auto select = [&](TMivoAttribute* a) {
        page.SelectNode(a);
        form->UpdateControls();
    };

    // Every command ends with an undo point, a snapshot of the whole model;
    // the second round runs with undo off to show the page's own share.
    const auto round = [&](bool undo) {
        model.Settings.Undoing = undo;
        slowest = 0;
        std::printf("-- commands, undo %s\n", undo ? "on" : "off");
        TMivoAttribute* big = SubtreeOfAbout(model, 1200);
        TMivoAttributeList below;
        big->CollectDescendants(below);
        std::printf("(subtree for copy and paste: %d attributes)\n", below.Count() + 1);
        TMivoAttribute* leaf = model.FirstAttribute();
        while (leaf->InpCount() > 0) leaf = leaf->Inputs(leaf->InpCount() - 1);

        // The parts every command ends with.
        command("  model changed (relink)", [&] { model.Changed(); });
        command("  undo point (snapshot)", [&] { form->Undo().PushModelUndo(); });
        command("  attribute lists rebuilt", [&] { form->State().StructureChanged(); });
        command("  refresh (UpdateControls)", [&] { form->UpdateControls(); });
        select(leaf);
        command("name edit keystroke", [&] { page.AtrNameEditChange("renamed"); });
        command("add", [&] { page.ModAddBtnClick(); });
        select(big);
        command("copy (1,000 attributes)", [&] { page.ModCopyBtnClick(); });
        select(leaf->Parent());
        const int before = model.Statistics().Attributes;
        command("paste (1,000 attributes)", [&] { page.ModPasteBtnClick(); });
        std::printf("(pasted %d attributes)\n", model.Statistics().Attributes - before);
        select(big);
        command("duplicate (1,000 attributes)", [&] { page.ModDupBtnClick(); });
        select(model.FirstAttribute()->Inputs(1));
        command("move up", [&] { page.ModUpBtnClick(); });
        command("move down", [&] { page.ModDnBtnClick(); });
        select(model.Root()->Inputs(1));
        command("drop on empty space", [&] { page.DropCurrentOn(nullptr); });
        select(model.Attributes().back());
        command("delete (basic)", [&] {
            prompts.ExpectMessage(TMsgAnswer::Yes);
            page.ModDelBtnClick();
        });
        select(model.Root()->Inputs(1));
        command("delete (subtree of 1,000)", [&] {
            prompts.ExpectMessage(TMsgAnswer::Yes);
            page.ModDelBtnClick();
        });
        command("shrink one level", [&] { page.CollapseClick(); });
        command("shrink one level", [&] { page.CollapseClick(); });
        command("expand one level", [&] { page.ExpandClick(); });
        command("expand one level", [&] { page.ExpandClick(); });
    };
    round(true);
    const double slowest_with_undo = slowest;
    const std::string slowest_with_undo_name = slowest_name;
    round(false);
    std::printf("slowest tree command on 10,000 attributes, undo on: %.1f ms (%s; goal 100 ms), undo off: %.1f ms\n",
                slowest_with_undo, slowest_with_undo_name.c_str(), slowest);

    for (const std::string& failure : prompts.Failures()) std::printf("unexpected: %s\n", failure.c_str());
    for (TModelForm* f : main.ModelForms()) f->Model().Modified = false;
    std::filesystem::remove_all(folder);
    return 0;
}
