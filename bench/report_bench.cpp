// Formatting a long report: a table of N rows (default 10,000) in one
// flowing section, with a page header and footer and a heading repeated
// on every continuation page, laid out on 80 x 60 text pages and as
// tab-delimited text. Prints the time of each stage.
//
// usage: bench_report_bench [rows=10000]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "reports/Reports.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::unique_ptr<mivo::TReport> BuildReport(int rows) {
    using namespace mivo;
    auto report = std::make_unique<TReport>();
    TFont font;
    font.Size = 10;
    report->SetFont(font);
    report->SetTitle("Benchmark");
    TRptLine* header = report->Header().NewLine();
    header->BeginLiner(2);
    header->AddMacro("TITLE");
    header->AddFill();
    header->AddText("Page ");
    header->AddMacro("PAGE");
    header->EndLiner();
    report->Footer().NewLine()->AddMacro("DATE");

    TRptSection* section = report->NewSection("Rows");
    section->PageBreakMode = pbFlow;
    section->NewLine()->AddText("1 Rows")->SetBold(true);
    TRptTable* table = section->NewTable("Rows");
    table->PageBreakMode = pbFlow;
    for (const char* heading : {"No.", "Name", "Class", "Value"}) table->AddField(heading);
    table->GetField(0)->HorzAlign = alEnd;
    table->GetField(3)->HorzAlign = alEnd;
    table->HeadingGroup().NewLine()->AddMacro("TABLE TITLE");
    TRptRow* heading = table->NewRow();
    heading->SetBold(true);
    heading->BeginLiner(2);
    for (const char* h : {"No.", "Name", "Class", "Value"}) heading->NewCell()->AddText(h);
    heading->EndLiner();
    static const char* classes[] = {"city", "family", "utility", "leisure"};
    for (int i = 1; i <= rows; ++i) {
        TRptRow* row = table->NewRow();
        row->NewCell()->AddText(std::to_string(i));
        row->NewCell()->AddText("row number " + std::to_string(i) + " of the table");
        row->NewCell()->AddText(classes[i % 4]);
        row->NewCell()->AddText(std::to_string((i * 7919) % 100000));
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    auto start = Clock::now();
    auto report = BuildReport(rows);
    const double build = Seconds(start);

    mivo::TTextFormatter text(*report, {0, 0}, {80, 60});
    start = Clock::now();
    text.Run();
    const double format = Seconds(start);
    start = Clock::now();
    const std::string output = text.ToText();
    const double write = Seconds(start);

    mivo::TDataFormatter data(*report, {0, 0}, {0, 0});
    start = Clock::now();
    data.Run();
    const std::string tabbed = data.ToText();
    const double tab = Seconds(start);

    std::printf("report of %d table rows\n", rows);
    std::printf("  build element tree        %8.3f s\n", build);
    std::printf("  format as text, 80 x 60   %8.3f s  (%d pages)\n", format, text.PageCount());
    std::printf("  text output               %8.3f s  (%zu bytes)\n", write, output.size());
    std::printf("  format and write as .tab  %8.3f s  (%zu bytes)\n", tab, tabbed.size());
    return 0;
}
