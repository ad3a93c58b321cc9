// The options, evaluation and charts pages on a large model: 10,000
// options by 100 basic attributes under ten aggregates with decision
// tables. Prints the time of a page fill with re-evaluation, one value
// change (with the undo point, refresh and repaint), adding, moving and
// deleting an option, scrolling, and a chart of all options redrawn.
// Runs offscreen.
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QScrollBar>

#include "desktop/ChartsPage.h"
#include "desktop/EvalPage.h"
#include "bench/BenchShell.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/OptionsPage.h"
#include "model/Clipboard.h"
#include "platform/Help.h"
#include "platform/ScriptedPrompts.h"

using namespace mivo;

namespace {

std::unique_ptr<TMivoDiscreteScale> Scale3() {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (const char* name : {"low", "mid", "high"}) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

std::unique_ptr<TMivoModel> LargeModel(int options, int groups, int perGroup) {
    auto model = std::make_unique<TMivoModel>();
    TMivoAttribute* top = model->Root()->AddInput(std::make_unique<TMivoAttribute>("Overall"));
    top->SetScale(Scale3());
    for (int g = 0; g < groups; ++g) {
        TMivoAttribute* group = top->AddInput(std::make_unique<TMivoAttribute>("Group " + std::to_string(g)));
        group->SetScale(Scale3());
        for (int b = 0; b < perGroup; ++b) {
            TMivoAttribute* basic =
                group->AddInput(std::make_unique<TMivoAttribute>("Basic " + std::to_string(g) + "." + std::to_string(b)));
            basic->SetScale(Scale3());
            TValueStrings values;
            for (int i = 0; i < options; ++i) values.push_back(std::string(1, static_cast<char>('0' + (i + b + g) % 3)));
            basic->SetValues(std::move(values));
        }
        group->CreateFunction();
    }
    for (int i = 0; i < options; ++i) model->AddOption("Option " + std::to_string(i));
    model->Changed();
    return model;
}

double Millis(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    QCoreApplication::processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TScriptedPrompts prompts;
    mivo::bench::TNoHelp help;
    mivo::bench::TMemoryClipboard clipboard;
    TMainForm main(prompts, help, clipboard);
    main.resize(1200, 800);
    main.show();
    TModelForm* form = main.OpenModelWindow({});
    form->State().ReplaceModel(LargeModel(10000, 10, 10));
    form->Model().Settings.Undoing = true;
    form->ModelReplaced();
    form->Undo().ResetModelUndo();
    std::printf("model: %d options x %zu basic attributes, %zu attributes\n", form->Model().OptionCount(),
                form->State().BasicAttrs().size(), form->State().AllAttrs().size());

    auto& options = dynamic_cast<TOptionsPage&>(form->Page(TModelPage::Options));
    auto& eval = dynamic_cast<TEvalPage&>(form->Page(TModelPage::Evaluation));
    auto& charts = dynamic_cast<TChartsPage&>(form->Page(TModelPage::Charts));

    std::printf("evaluation page fill with re-evaluation: %.1f ms\n",
                Millis([&] { form->SetCurrentPage(TModelPage::Evaluation); }));
    eval.SetCurrentCell(3, 5000);
    std::printf("evaluation value change (box): %.1f ms\n", Millis([&] {
                    eval.EvalValEditChange(2);
                    eval.EvalGrid->repaint();
                }));
    std::printf("options page fill: %.1f ms\n", Millis([&] { form->SetCurrentPage(TModelPage::Options); }));
    options.SetCurrentCell(2, 5000);
    std::printf("options value change (box): %.1f ms\n", Millis([&] {
                    options.OptValEditChange(1);
                    options.OptGrid->repaint();
                }));
    std::printf("scroll a page: %.1f ms\n", Millis([&] {
                    QScrollBar* bar = options.OptGrid->horizontalScrollBar();
                    bar->setValue(bar->value() + bar->pageStep());
                    options.OptGrid->repaint();
                }));
    std::printf("add option: %.1f ms\n", Millis([&] { options.OptAddBtnClick(true); }));
    std::printf("move option right: %.1f ms\n", Millis([&] { options.OptRightBtnClick(); }));
    std::printf("move option left: %.1f ms\n", Millis([&] { options.OptLeftBtnClick(); }));
    prompts.ExpectMessage(TMsgAnswer::Yes);
    std::printf("delete option: %.1f ms\n", Millis([&] { options.OptDelBtnClick(); }));

    std::printf("charts page fill: %.1f ms\n", Millis([&] { form->SetCurrentPage(TModelPage::Charts); }));
    TMivoAttribute* first = form->State().BasicAttrs()[0];
    std::printf("bar chart of all options, built and painted: %.1f ms\n", Millis([&] {
                    charts.ToggleAttribute(first);
                    const_cast<TChartWidget&>(charts.Chart(TChartId::Chart1)).repaint();
                }));
    std::printf("bar chart redrawn: %.1f ms\n", Millis([&] {
                    charts.RedrawCharts();
                    const_cast<TChartWidget&>(charts.Chart(TChartId::Chart1)).repaint();
                }));
    TMivoAttribute* second = form->State().BasicAttrs()[1];
    std::printf("bubble chart of all options, built and painted: %.1f ms\n", Millis([&] {
                    charts.ToggleAttribute(second);
                    const_cast<TChartWidget&>(charts.Chart(TChartId::Chart2)).repaint();
                }));
    form->Model().Modified = false;
    return 0;
}
