// Report pages as drawn on the page metafile: the texts and the lines of
// each page of a report formatted on A4 with 20 mm margins at 300 dots per
// inch, measured with the fixed font metrics of the tests, and checks that
// nothing lies outside the printable area.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "platform/FontSource.h"
#include "platform/PageMetafile.h"
#include "reports/PrintFormatter.h"
#include "reports/Report.h"

namespace mivo {

// A4 at 300 dots per inch: 2480 wide, 236 dots of margin on either side.
constexpr std::int32_t PrintableLeft = 236;
constexpr std::int32_t PrintableRight = 2480 - 236;

constexpr std::int32_t PrintableTop = 236;
constexpr std::int32_t PrintableBottom = 3508 - 236;

struct TDrawnText {
    std::int32_t Left;
    std::int32_t Right;  // just past the last pixel
    std::int32_t Top;
    std::string Text;
    std::int32_t Bottom = 0;  // just past the last pixel
};

// The texts of one page metafile with their extent in the font each was
// drawn in.
inline std::vector<TDrawnText> DrawnTexts(const TPageMetafile& page) {
    std::vector<TDrawnText> out;
    TFixedFontSource metrics;
    TCanvasFont font;
    for (const TMetaRecord& record : page.Records()) {
        if (auto* f = std::get_if<TMetaSetFont>(&record)) font = f->Font;
        if (auto* t = std::get_if<TMetaText>(&record); t && !t->Text.empty()) {
            out.push_back({t->At.X, t->At.X + metrics.TextWidth(font, t->Text), t->At.Y, t->Text,
                           t->At.Y + metrics.TextHeight(font, t->Text)});
        }
    }
    return out;
}

// The lines of one page metafile.
inline std::vector<TMetaLine> DrawnLines(const TPageMetafile& page) {
    std::vector<TMetaLine> out;
    for (const TMetaRecord& record : page.Records())
        if (auto* line = std::get_if<TMetaLine>(&record)) out.push_back(*line);
    return out;
}

struct TPrintedPage {
    std::vector<TDrawnText> Texts;
    std::vector<TMetaLine> Lines;
};

// The report formatted on A4 pages with 20 mm margins.
inline std::vector<TPrintedPage> PrintPages(TReport& report) {
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter formatter(report, nullptr, margin, margin, margin, margin);
    formatter.Run();
    std::vector<TPrintedPage> pages;
    for (int p = 1; p <= formatter.PageCount(); ++p)
        pages.push_back({DrawnTexts(formatter.GetPageMetafile(p)), DrawnLines(formatter.GetPageMetafile(p))});
    return pages;
}

// The texts of each page.
inline std::vector<std::vector<TDrawnText>> PrintedPages(TReport& report) {
    std::vector<std::vector<TDrawnText>> pages;
    for (TPrintedPage& page : PrintPages(report)) pages.push_back(std::move(page.Texts));
    return pages;
}

// No text beyond the printable area's sides, above its top or below its
// foot.
inline void ExpectInsidePrintableArea(const std::vector<std::vector<TDrawnText>>& pages) {
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const TDrawnText& t : pages[p]) {
            EXPECT_GE(t.Left, PrintableLeft) << "page " << p + 1 << ": " << t.Text;
            EXPECT_LE(t.Right, PrintableRight) << "page " << p + 1 << ": " << t.Text;
            EXPECT_GE(t.Top, PrintableTop) << "page " << p + 1 << ": " << t.Text;
            EXPECT_LE(t.Bottom, PrintableBottom) << "page " << p + 1 << ": " << t.Text;
        }
    }
}

// Every text drawn on the pages, joined without separators.
inline std::string AllText(const std::vector<std::vector<TDrawnText>>& pages) {
    std::string out;
    for (const auto& page : pages)
        for (const TDrawnText& t : page) out += t.Text;
    return out;
}

}  // namespace mivo
