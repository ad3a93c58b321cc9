// The print preview on a long report: formatting 500 pages, then paging
// and zooming with a repaint per step (the target is under 50 ms a step),
// and the time from a Cancel to the end of formatting those pages in the
// preview window (the target is under a quarter of a second).
//
// usage: bench_ui_preview_bench [pages=500]
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTimer>

#include "platform/ScriptedPrompts.h"
#include "reports/Reports.h"
#include "reports/ui/PreviewForm.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// `pages` sections, each on a page of its own, of 40 lines under a header
// with the page number.
std::unique_ptr<mivo::TReport> LongReport(int pages) {
    using namespace mivo;
    auto report = std::make_unique<TReport>();
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    report->SetFont(font);
    report->SetTitle("Benchmark");
    TRptLine* header = report->Header().NewLine();
    header->AddText("Benchmark, page ");
    header->AddMacro("PAGE");
    for (int p = 1; p <= pages; ++p) {
        TRptSection* section = report->NewSection("Section " + std::to_string(p));
        section->PageBreakMode = pbNewPage;
        for (int l = 1; l <= 40; ++l)
            section->NewLine()->AddText("Line " + std::to_string(l) + " of section " + std::to_string(p) +
                                        ": the quick brown fox jumps over the lazy dog");
    }
    return report;
}

struct TStats {
    double mean = 0;
    double max = 0;
};

template <class F>
TStats TimeSteps(int steps, F&& step) {
    TStats s;
    for (int i = 0; i < steps; ++i) {
        const auto start = Clock::now();
        step(i);
        const double ms = Ms(Clock::now() - start);
        s.mean += ms;
        s.max = std::max(s.max, ms);
    }
    s.mean /= steps;
    return s;
}

// The clipboard is not used here.
class TNoClipboard : public mivo::TClipboard {
public:
    std::string GetText() const override { return {}; }
    void SetText(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    mivo::TScriptedPrompts prompts;
    TNoClipboard clipboard;
    mivo::TPreviewForm form(prompts, clipboard, nullptr);
    form.setWindowState(Qt::WindowNoState);
    form.resize(1280, 900);
    form.show();
    QApplication::processEvents();
    mivo::TPrintPreview& preview = form.Preview();
    QWidget& box = preview.PaintBox();

    auto report = LongReport(pages);
    auto start = Clock::now();
    preview.AddReport(std::move(report));
    std::printf("formatting %d pages: %.0f ms (%d pages made)\n", pages, Ms(Clock::now() - start),
                preview.PageCount());
    form.FormShow();
    QApplication::processEvents();

    // Paging: each step moves one page on and paints the page shown.
    const int steps = std::min(preview.PageCount() - 1, 200);
    TStats paging = TimeSteps(steps, [&](int) {
        form.NextBtnClick();
        box.repaint();
    });
    preview.GoToPage(preview.PageCount() / 2);
    TStats jumping = TimeSteps(steps, [&](int i) {
        preview.GoToPage(i % 2 ? 1 : preview.PageCount());
        box.repaint();
    });
    // Zooming: the zoom box's percentages in turn, and the fits.
    TStats zooming = TimeSteps(100, [&](int i) {
        form.ZoomBoxSelect(i % mivo::TPreviewForm::ZoomItemCount);
        box.repaint();
    });
    std::printf("paging:  %.2f ms a step (max %.2f) over %d steps\n", paging.mean, paging.max, steps);
    std::printf("jumping: %.2f ms a step (max %.2f) between the first and the last page\n", jumping.mean,
                jumping.max);
    std::printf("zooming: %.2f ms a step (max %.2f), zoom 200%% to whole page\n", zooming.mean, zooming.max);

    // Cancel: the report is formatted anew and Cancel pressed, once at the
    // start (it waits for the box tree to be built and acts at the first
    // progress report) and once half way (it waits at most for the next
    // time the window lets messages through).
    auto cancelAfter = [&](int delayMs) {
        preview.Clear();
        auto again = LongReport(pages);
        Clock::time_point pressed{};
        QTimer::singleShot(delayMs, &form, [&] {
            pressed = Clock::now();
            form.CancelBtnClick();
        });
        const auto begun = Clock::now();
        preview.AddReport(std::move(again));
        const auto ended = Clock::now();
        const double due = std::min(Ms(ended - begun), static_cast<double>(delayMs));
        if (pressed == Clock::time_point{})
            std::printf("cancel after %d ms: formatting ended first (%.0f ms)\n", delayMs, Ms(ended - begun));
        else
            std::printf("cancel after %d ms: formatting ended %.1f ms after Cancel was due "
                        "(%.1f ms after it was handled; %d of %d pages made)\n",
                        delayMs, Ms(ended - begun) - due, Ms(ended - pressed), preview.PageCount(), pages);
        QApplication::processEvents();
    };
    preview.Clear();
    report = LongReport(pages);
    const auto timed = Clock::now();
    preview.AddReport(std::move(report));
    const int full = static_cast<int>(Ms(Clock::now() - timed));
    cancelAfter(0);
    cancelAfter(full / 2);
    return 0;
}
