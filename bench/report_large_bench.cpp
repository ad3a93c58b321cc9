// Large reports: the evaluation results or the comparison of options of a
// model of about 2,000 attributes (20 top attributes, each over 10
// aggregates of 9 basic attributes) and N options, paginated on A4 pages
// at 300 dots per inch as the print preview does without a printer, and
// saved as .txt at 80 columns. Prints the time of each stage, the pages,
// the memory the page metafiles hold and the process's peak resident size
// (after paginating, and in all).
//
// One case per process, so that the peak belongs to it:
//   bench_report_large_bench eval|comp [options=500] [long]
// "long" gives attributes names of 60 and options names of 50 characters.
// bench/report_large.sh runs the series of 50, 100, 250 and 500 options.
// With REPORT_LARGE_SAVE set to a path prefix the .txt and the .tab output
// are written to PREFIX.txt and PREFIX.tab, so that two builds can be
// compared byte for byte, and the records of every page metafile (texts,
// positions, fonts, pens, lines) are hashed into PREFIX.pages, a line a
// page; with REPORT_LARGE_DUMP set too, the records themselves go to
// PREFIX.dump. The report's clock stands still while saving, so that the
// outputs of two runs are the same. REPORT_LARGE_PAGINATE_ONLY skips the
// text (to profile the pagination alone).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "reports/MivoRpt.h"
#include "reports/PrintFormatter.h"
#include "reports/Reports.h"

namespace {

using namespace mivo;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of the process so far (user and system), which a busy
// machine disturbs less than the wall time.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

std::string Named(const std::string& base, bool longNames, std::size_t length) {
    std::string name = base;
    if (longNames)
        while (name.size() < length) name += " and more of the same";
    return longNames ? name.substr(0, length) : name;
}

TMivoAttribute* AddAttribute(TMivoAttribute* parent, const std::string& name, int values) {
    static const char* names[] = {"poor", "fair", "good", "very good", "excellent"};
    auto scale = std::make_unique<TMivoDiscreteScale>();
    for (int v = 0; v < values; ++v) scale->AddValue(names[v]);
    scale->DefaultBounds();
    auto attribute = std::make_unique<TMivoAttribute>(name);
    attribute->SetScale(std::move(scale));
    return parent->AddInput(std::move(attribute));
}

// The model with its options; every attribute gets a value (now and then a
// set of two) so that no evaluation is needed.
std::unique_ptr<TMivoModel> BuildModel(int options, bool longNames) {
    auto model = std::make_unique<TMivoModel>();
    for (int t = 0; t < 20; ++t) {
        TMivoAttribute* top = AddAttribute(model->Root(), Named("Top " + std::to_string(t + 1), longNames, 60), 5);
        for (int a = 0; a < 10; ++a) {
            TMivoAttribute* aggregate =
                AddAttribute(top, Named("Aggregate " + std::to_string(t + 1) + "." + std::to_string(a + 1), longNames, 60), 4);
            for (int b = 0; b < 9; ++b)
                AddAttribute(aggregate,
                             Named("Basic " + std::to_string(t + 1) + "." + std::to_string(a + 1) + "." +
                                       std::to_string(b + 1),
                                   longNames, 60),
                             3 + b % 3);
        }
    }
    model->ReserveOptions(options);
    for (int o = 0; o < options; ++o) model->AddOption(Named("Option " + std::to_string(o + 1), longNames, 50));
    unsigned seed = 12345;
    for (TMivoAttribute* attribute : model->Attributes()) {
        const int count = dynamic_cast<TMivoDiscreteScale*>(attribute->Scale())->Count();
        for (int o = 0; o < options; ++o) {
            seed = seed * 1103515245u + 12345u;
            const int v = static_cast<int>((seed >> 16) % static_cast<unsigned>(count));
            std::string value(1, static_cast<char>('0' + v));
            if ((seed >> 8) % 7 == 0 && v + 1 < count) value += static_cast<char>('0' + v + 1);
            attribute->SetOptValue(o, value);
        }
    }
    return model;
}

// The main window as the report builders see it: one model window, no
// charts.
class TBenchHost : public TReportHost {
public:
    bool HasActiveModelWindow() const override { return true; }
    std::string ActiveFileName() const override { return "/home/user/models/large.mvo"; }
    TChartPanel* ChartPanel(TChartId) const override { return nullptr; }
};

std::unique_ptr<TReport> BuildReport(TMivoModel& model, bool comparison) {
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    if (comparison) {
        std::vector<int> options(static_cast<std::size_t>(model.OptionCount()));
        std::iota(options.begin(), options.end(), 0);
        return BuildComparisonReport(&model, options, font, TPen{});
    }
    TValueSet parts;
    parts.set(7);  // evaluation results
    return BuildModelReport(&model, parts, font, TPen{});
}

// The records of a page as text, one a line.
std::string DumpPage(const TPageMetafile& page) {
    std::ostringstream out;
    out << "page " << page.Width() << "x" << page.Height() << "@" << page.Resolution() << "\n";
    auto rect = [&](const TCanvasRect& r) { out << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom; };
    for (const TMetaRecord& record : page.Records()) {
        std::visit(
            [&](const auto& r) {
                using T = std::decay_t<decltype(r)>;
                if constexpr (std::is_same_v<T, TMetaSetFont>) {
                    out << "font " << r.Font.Name << " " << r.Font.Height << " " << r.Font.PixelsPerInch << " "
                        << int(r.Font.Style) << " " << r.Font.Color;
                } else if constexpr (std::is_same_v<T, TMetaSetPen>) {
                    out << "pen " << r.Pen.Color << " " << r.Pen.Width << " " << int(r.Pen.Style);
                } else if constexpr (std::is_same_v<T, TMetaSetBrush>) {
                    out << "brush " << r.Brush.Color << " " << int(r.Brush.Style);
                } else if constexpr (std::is_same_v<T, TMetaText>) {
                    out << "text " << r.At.X << "," << r.At.Y << " ";
                    if (r.Clipped) {
                        out << "clip ";
                        rect(r.Clip);
                        out << " ";
                    }
                    out << r.Text;
                } else if constexpr (std::is_same_v<T, TMetaLine>) {
                    out << "line " << r.From.X << "," << r.From.Y << " " << r.To.X << "," << r.To.Y;
                } else if constexpr (std::is_same_v<T, TMetaPolygon>) {
                    out << "polygon";
                    for (const auto& p : r.Points) out << " " << p.X << "," << p.Y;
                } else if constexpr (std::is_same_v<T, TMetaPicture>) {
                    out << "picture ";
                    rect(r.Dest);
                } else if constexpr (std::is_same_v<T, TMetaRoundRect>) {
                    out << "roundrect ";
                    rect(r.Rect);
                    out << " " << r.CornerWidth << " " << r.CornerHeight;
                } else if constexpr (std::is_same_v<T, TMetaRectangle>) {
                    out << "rectangle ";
                    rect(r.Rect);
                } else if constexpr (std::is_same_v<T, TMetaEllipse>) {
                    out << "ellipse ";
                    rect(r.Rect);
                } else {
                    out << "fillrect ";
                    rect(r.Rect);
                }
            },
            record);
        out << "\n";
    }
    return out.str();
}

std::uint64_t Fnv1a(const std::string& text, std::uint64_t hash = 14695981039346656037ull) {
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

int main(int argc, char** argv) {
    const bool comparison = argc > 1 && std::strcmp(argv[1], "comp") == 0;
    const int options = argc > 2 ? std::max(2, std::atoi(argv[2])) : 500;
    const bool longNames = argc > 3 && std::strcmp(argv[3], "long") == 0;

    TBenchHost host;
    SetReportHost(&host);
    // Saved output is compared between runs: the report's time stands still.
    if (std::getenv("REPORT_LARGE_SAVE")) SetReportClock([] { return TDateTime{}; });
    auto start = Clock::now();
    auto model = BuildModel(options, longNames);
    auto report = BuildReport(*model, comparison);
    const double build = Seconds(start);
    const long builtPeak = PeakMegabytes();

    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    auto printed = std::make_unique<TPrintFormatter>(*report, nullptr, margin, margin, margin, margin);
    // Saved output is compared between builds: the clock stands still.
    const bool saving = std::getenv("REPORT_LARGE_SAVE") != nullptr;
    const TClock fixedClock = [] { return TDateTime{}; };
    if (saving) printed->SetClock(fixedClock);
    start = Clock::now();
    double cpu = CpuSeconds();
    printed->Run();
    const double paginate = Seconds(start);
    const double paginateCpu = CpuSeconds() - cpu;
    const long paginatedPeak = PeakMegabytes();
    std::vector<std::unique_ptr<TPageMetafile>> pages = printed->ClearPages();
    printed.reset();
    std::size_t pageBytes = 0;
    for (const auto& page : pages) pageBytes += page->MemoryUsed();
    if (const char* prefix = std::getenv("REPORT_LARGE_SAVE")) {
        std::ofstream hashes(std::string(prefix) + ".pages", std::ios::binary);
        std::ofstream dump;
        if (std::getenv("REPORT_LARGE_DUMP")) dump.open(std::string(prefix) + ".dump", std::ios::binary);
        std::uint64_t all = 14695981039346656037ull;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const std::string text = DumpPage(*pages[i]);
            const std::uint64_t hash = Fnv1a(text);
            all = Fnv1a(text, all);
            hashes << i + 1 << " " << pages[i]->RecordCount() << " " << std::hex << hash << std::dec << "\n";
            if (dump.is_open()) dump << text;
        }
        hashes << "all " << std::hex << all << std::dec << "\n";
    }

    start = Clock::now();
    cpu = CpuSeconds();
    std::size_t textBytes = 0;
    // REPORT_LARGE_PAGINATE_ONLY: no text (to profile the pagination).
    if (!std::getenv("REPORT_LARGE_PAGINATE_ONLY")) {
        TTextFormatter text(*report, {0, 0}, {80, 0});
        if (saving) text.SetClock(fixedClock);
        text.Run();
        textBytes = text.ToText().size();
        if (const char* prefix = std::getenv("REPORT_LARGE_SAVE")) {
            std::ofstream out(std::string(prefix) + ".txt", std::ios::binary);
            text.WriteToFile(out);
        }
    }
    const double saveText = Seconds(start);
    const double saveTextCpu = CpuSeconds() - cpu;

    if (const char* prefix = std::getenv("REPORT_LARGE_SAVE")) {
        TDataFormatter tab(*report, {0, 0}, {0, 0});
        tab.SetClock(fixedClock);
        tab.Run();
        std::ofstream out(std::string(prefix) + ".tab", std::ios::binary);
        tab.WriteToFile(out);
    }

    std::printf("%s, %zu attributes x %d options%s\n", comparison ? "comparison of options" : "evaluation results",
                model->Attributes().size(), options, longNames ? ", long names" : "");
    std::printf("  build model and report  %8.2f s  (peak %ld MB)\n", build, builtPeak);
    std::printf("  paginate on A4          %8.2f s  (cpu %.2f s, %zu pages, %.1f KB a page, peak %ld MB)\n", paginate,
                paginateCpu, pages.size(),
                pages.empty() ? 0.0 : static_cast<double>(pageBytes) / 1024.0 / static_cast<double>(pages.size()),
                paginatedPeak);
    std::printf("  save as .txt, 80 cols   %8.2f s  (cpu %.2f s, %zu bytes)\n", saveText, saveTextCpu, textBytes);
    std::printf("  peak resident size      %8ld MB\n", PeakMegabytes());
    return 0;
}
