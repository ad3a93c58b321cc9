// The rule editor on a table of 100,000 rules (five ascending inputs of ten
// values, an output of five): opening the editor, and each change (refit,
// update, refresh of the grid and the status), undo and redo, with the
// weights model on and off. A model file may carry tables far larger than
// the model window would create; each step should stay under 0.2 s.
// History states keep only interval ends and flags (3 bytes per rule).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "desktop/tests/FunctTestKit.h"  // the in-memory services of the tests
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "platform/Help.h"
#include "reports/Report.h"
#include "reports/ReportViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QPushButton>

#include "desktop/FunctForm.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::unique_ptr<mivo::TMivoDiscreteScale> MakeScale(int size) {
    auto scale = std::make_unique<mivo::TMivoDiscreteScale>();
    for (int v = 0; v < size; ++v) scale->AddValue("value " + std::to_string(v));
    scale->DefaultBounds();
    return scale;
}

double worst = 0;

void Report(const char* step, double ms) {
    worst = std::max(worst, ms);
    std::printf("%-44s %9.1f ms%s\n", step, ms, ms > 200 ? "   (over 0.2 s)" : "");
}

// Runs one user action and the repaint that follows it.
template <class F>
void Step(const char* name, mivo::TFunctForm& form, F&& action) {
    const auto start = Clock::now();
    action();
    form.grab();
    Report(name, Millis(start));
}

}  // namespace

int main() {
    mivo::EnsureGuiApplication();
    mivo::TMivoModel model;
    auto* top = model.Root()->AddInput(std::make_unique<mivo::TMivoAttribute>("Top"));
    top->SetScale(MakeScale(5));
    for (int k = 0; k < 5; ++k) {
        auto* input = top->AddInput(std::make_unique<mivo::TMivoAttribute>("Input " + std::to_string(k + 1)));
        input->SetScale(MakeScale(10));
    }
    mivo::TMivoFunction* stored = top->CreateFunction();
    // A few entered rules spread over the table.
    for (int r = 0; r < stored->RuleCount(); r += 997) {
        int sum = 0;
        for (int k = 0; k < 5; ++k) sum += stored->ArgValue(k, r);
        stored->SetRuleValue(r, sum * 4 / 45);
        stored->SetRuleEntered(r, true);
    }
    std::printf("table: %d rules, %d entered\n", stored->RuleCount(), stored->EnteredCount());

    mivo::testkit::TMemoryClipboard clipboard;
    mivo::TScriptedPrompts prompts;
    mivo::testkit::TKeepingViewer viewer;
    mivo::testkit::THelpRecorder help;
    const mivo::TFunctServices services{clipboard, prompts, viewer, help};
    mivo::TFunctForm form(model, services);
    form.resize(800, 600);

    auto start = Clock::now();
    form.LoadAttribute(*top);
    form.show();
    form.grab();
    Report("open (load, refresh, first paint)", Millis(start));

    Step("set a value (list entry)", form, [&] {
        form.SelectRule(50000);
        Q_EMIT form.ValueEdit()->activated(2);
    });
    Step("set a value far down (key)", form, [&] {
        form.SelectRule(99998);
        Q_EMIT form.ValueEdit()->activated(4);
    });
    Step("delete a rule", form, [&] { form.FncDelBtn()->click(); });
    Step("use weights on (fit, fill)", form, [&] { form.FncWeiChk()->click(); });
    Step("set a value with weights on", form, [&] {
        form.SelectRule(12345);
        Q_EMIT form.ValueEdit()->activated(1);
    });
    Step("use scale orders off", form, [&] { form.FncCstChk()->click(); });
    Step("undo", form, [&] { form.UndoBtn()->click(); });
    Step("redo", form, [&] { form.RedoBtn()->click(); });
    Step("copy as rule text", form, [&] { form.FncCopyBtn()->click(); });
    prompts.ExpectMessage(mivo::TMsgAnswer::Ok);
    Step("paste the copied text", form, [&] { form.FncPasteBtn()->click(); });
    for (int i = 0; i < 25; ++i) {
        form.SelectRule(i * 3000);
        Q_EMIT form.ValueEdit()->activated(i % 5);
    }
    const auto& history = form.History();
    std::size_t bytes = 0;
    for (int i = 0; i < history.Count(); ++i) bytes += history.State(i).Bytes();
    std::printf("history: %d states, %.1f MB kept (%.1f bytes per rule and state)\n", history.Count(),
                static_cast<double>(bytes) / 1e6,
                static_cast<double>(bytes) / history.Count() / form.Funct()->RuleCount());
    std::printf("slowest step: %.1f ms\n", worst);
    form.hide();
    return 0;
}
