// The main window on a large model: a model of 10,000 attributes (100 top
// attributes of 9 aggregates of 10 basic attributes each) by 100 options is
// opened into a model window with a filled tree; then the refresh after a
// command (a new node selected, as every tree command ends) is timed.
// Goals: open under 1 s, refresh under 10 ms.
//
// usage: bench_ui_mainform_bench [options=100]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include <QApplication>
#include <QTreeWidget>

#include "bench/BenchShell.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/TreeFill.h"
#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "platform/Help.h"
#include "platform/ScriptedPrompts.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::unique_ptr<mivo::TMivoDiscreteScale> ThreeValues() {
    auto scale = std::make_unique<mivo::TMivoDiscreteScale>();
    for (const char* name : {"low", "medium", "high"}) scale->AddValue(name);
    return scale;
}

// The model file of the benchmark, written once into the temporary folder.
std::string WriteModel(int options) {
    using namespace mivo;
    TMivoModel model;
    for (int o = 0; o < options; ++o) model.AddOption("Option " + std::to_string(o + 1));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> value(0, 2);
    for (int t = 0; t < 100; ++t) {
        auto* top = model.Root()->AddInput(std::make_unique<TMivoAttribute>("Top " + std::to_string(t)));
        top->SetScale(ThreeValues());
        for (int a = 0; a < 9; ++a) {
            auto* aggregate =
                top->AddInput(std::make_unique<TMivoAttribute>("Group " + std::to_string(t) + "." + std::to_string(a)));
            aggregate->SetScale(ThreeValues());
            for (int b = 0; b < 10; ++b) {
                auto* basic = aggregate->AddInput(std::make_unique<TMivoAttribute>(
                    "Basic " + std::to_string(t) + "." + std::to_string(a) + "." + std::to_string(b)));
                basic->SetScale(ThreeValues());
                for (int o = 0; o < options; ++o) basic->AppendOptValue(std::string(1, char('0' + value(random))));
            }
        }
    }
    const std::string file = (std::filesystem::temp_directory_path() / "mivo-ui-mainform-bench.mvo").string();
    SaveToFile(model, file);
    return file;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int options = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::string file = WriteModel(options);

    mivo::TScriptedPrompts prompts;
    mivo::bench::TNoHelp help;
    mivo::bench::TMemoryClipboard clipboard;
    mivo::TMainForm main(prompts, help, clipboard);
    main.resize(1200, 800);
    main.show();

    {
        // The parts of an open, for comparison.
        auto part = Clock::now();
        mivo::TMivoModel read;
        mivo::LoadFromFile(read, file);
        std::printf("  read the model file: %.1f ms\n", Milliseconds(part));
        part = Clock::now();
        QTreeWidget tree;
        mivo::FillTreeView(read, tree);
        std::printf("  fill a tree view: %.1f ms\n", Milliseconds(part));
        part = Clock::now();
        std::vector<std::string> lines;
        mivo::SaveToStrings(read, lines);
        std::printf("  model snapshot: %.1f ms\n", Milliseconds(part));
    }

    auto start = Clock::now();
    mivo::TModelForm* form = main.OpenModelWindow(file);
    QApplication::processEvents();
    const double open = Milliseconds(start);
    const auto statistics = form->Model().Statistics();
    std::printf("open %d attributes x %d options, tree filled: %.1f ms (goal < 1000 ms)\n", statistics.Attributes,
                statistics.Options, open);

    // Refresh after a command: select nodes down the tree, each selection
    // ending in UpdateControls.
    QTreeWidget* tree = form->ModTreeView();
    const int rounds = 200;
    double total = 0;
    double worst = 0;
    for (int i = 0; i < rounds; ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i % tree->topLevelItemCount())->child(i % 9);
        start = Clock::now();
        tree->setCurrentItem(node);
        const double took = Milliseconds(start);
        total += took;
        worst = std::max(worst, took);
    }
    std::printf("refresh after a command: %.2f ms mean, %.2f ms worst over %d (goal < 10 ms)\n", total / rounds,
                worst, rounds);

    form->Model().Modified = false;
    std::filesystem::remove(file);
    return 0;
}
