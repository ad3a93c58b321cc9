// The printer and page-record formatter: page sizes and margins at the
// printer's resolution or 300 dots per inch, one page metafile per wanted
// page, and the primitives as recorded operations. Text is measured with
// fixed metrics: at 300 dots per inch a 10-point font is 42 pixels, every
// character 21 wide and a line 52 high.
#include <gtest/gtest.h>

#include "platform/FakePrinter.h"
#include "reports/PrintFormatter.h"
#include "reports/Reports.h"

namespace mivo {
namespace {

TMeasure Mm(float v) { return MakeMeasure(mkMillimetres, v); }

void UseFont(TReport& report, int size = 10) {
    TFont font;
    font.Name = "Arial";
    font.Size = size;
    report.SetFont(font);
}

template <typename R>
std::vector<R> RecordsOf(const TPageMetafile& mf) {
    std::vector<R> out;
    for (const TMetaRecord& r : mf.Records())
        if (auto* p = std::get_if<R>(&r)) out.push_back(*p);
    return out;
}

// Texts with the font height each was recorded in.
struct TPlacedText {
    TCanvasPoint At;
    std::string Text;
    std::int32_t FontHeight;
    TFontStyles Style;
    bool operator==(const TPlacedText&) const = default;
};
std::vector<TPlacedText> TextsOf(const TPageMetafile& mf) {
    std::vector<TPlacedText> out;
    TCanvasFont font;
    for (const TMetaRecord& r : mf.Records()) {
        if (auto* f = std::get_if<TMetaSetFont>(&r)) font = f->Font;
        if (auto* t = std::get_if<TMetaText>(&r)) out.push_back({t->At, t->Text, font.Height, font.Style});
    }
    return out;
}

TPageMetafile& BaseRecording(TPrintFormatter& f) { return dynamic_cast<TMetafileCanvas&>(f.BaseCanvas()).Metafile(); }

TEST(PrintFormatter, PageAreaAt300DotsPerInch) {
    struct Case {
        std::uint8_t orientation;
        float left, right, top, bottom;
        TPoint origin, size;
    } cases[] = {
        {0, 0, 0, 0, 0, {0, 0}, {2480, 3508}},
        {1, 0, 0, 0, 0, {0, 0}, {3508, 2480}},
        // 25 mm = 295 dots, 20 mm = 236 dots.
        {0, 25, 20, 20, 20, {295, 236}, {1949, 3036}},
        {1, 25, 20, 20, 20, {295, 236}, {2977, 2008}},
        // Margins larger than the page: a page area of 0, not a negative one.
        {0, 150, 150, 200, 200, {1772, 2362}, {0, 0}},
    };
    for (const Case& c : cases) {
        TReport report;
        UseFont(report);
        report.PageOrientation = c.orientation;
        TPrintFormatter f(report, nullptr, Mm(c.left), Mm(c.right), Mm(c.top), Mm(c.bottom));
        EXPECT_EQ(f.Resolution(), 300);
        EXPECT_EQ(f.PageOrigin(), c.origin) << c.left << " " << int(c.orientation);
        EXPECT_EQ(f.PageSize(), c.size) << c.left << " " << int(c.orientation);
        EXPECT_EQ(f.PageWidth(), c.orientation ? 3508 : 2480);
        EXPECT_EQ(f.CellText(), "X");
    }
}

TEST(PrintFormatter, MarginsInFontMeasuresUseTheReportsFont) {
    TReport report;
    UseFont(report);
    // 1 line = 52, 2 digits = 42, 1 em = 21, 1 inch = 300.
    TPrintFormatter f(report, nullptr, MakeMeasure(mkDigits, 2), MakeMeasure(mkInches, 1), MakeMeasure(mkLines, 1),
                      MakeMeasure(mkEms, 1));
    EXPECT_EQ(f.PageOrigin(), (TPoint{42, 52}));
    EXPECT_EQ(f.PageSize(), (TPoint{2480 - 300 - 42, 3508 - 21 - 52}));
}

TEST(PrintFormatter, WithAPrinterUsesItsResolutionPageAndOrientation) {
    TReport report;
    UseFont(report);
    report.PageOrientation = 1;
    TFakePrinter printer(600, 4960, 7016);
    {
        TPrintFormatter f(report, &printer, Mm(0), Mm(0), Mm(25.4f), Mm(0));
        EXPECT_EQ(printer.Orientation(), TPrinterOrientation::Landscape);
        EXPECT_EQ(f.Resolution(), 600);
        EXPECT_EQ(f.PageWidth(), 7016);
        EXPECT_EQ(f.PageSize(), (TPoint{7016, 4960 - 600}));
        EXPECT_EQ(&f.BaseCanvas(), &printer.Canvas());
        EXPECT_EQ(printer.Canvas().Font().Height, -83);  // 10 points at 600 dots per inch
        report.NewLine()->AddText("on the printer's pages");
        f.Run();
        ASSERT_EQ(f.PageCount(), 1);
        EXPECT_EQ(f.GetPageMetafile(1).Width(), 7016);
        EXPECT_EQ(f.GetPageMetafile(1).Resolution(), 600);
    }
    EXPECT_TRUE(printer.Log().empty());  // formatting never prints

    // A device that cannot be reached gives 300 dots per inch.
    printer.SetUnreachable(true);
    TPrintFormatter f(report, &printer, Mm(0), Mm(0), Mm(0), Mm(0));
    EXPECT_EQ(f.Resolution(), 300);
}

TEST(PrintFormatter, MeasuresConvertAtTheResolution) {
    TReport report;
    UseFont(report);
    TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
    f.PushReport(&report);
    struct Case {
        std::uint8_t kind;
        float value;
        std::int32_t device;
    } cases[] = {{mkDevice, 12.5f, 12}, {mkDeviceUnits, 13.5f, 14}, {mkNatural, 1, -1},    {mkLines, 2, 104},
                 {mkMillimetres, 25.4f, 300}, {mkInches, 0.5f, 150}, {mkPoints, 72.27f, 300}, {mkDigits, 2, 42},
                 {mkEms, 3, 63}};
    for (const Case& c : cases) EXPECT_EQ(f.MeasureToDevice(MakeMeasure(c.kind, c.value)), c.device) << int(c.kind);
    EXPECT_THROW(f.MeasureToDevice(MakeMeasure(mkInches, 1e9f)), ERangeError);
    EXPECT_EQ(f.TreeWidth("\u251C\u2500"), 21 * 2 * 2);
    f.PopReport();
}

TEST(PrintFormatter, RecordsTextsAtTheirPositionsOnePagePerPage) {
    TReport report;
    UseFont(report);
    report.Header().NewLine()->AddText("HEAD");
    TRptLine* line = report.NewLine();
    line->AddText("left");
    line->AddFill();
    line->AddText("right");
    report.NewLine()->AddText("bold")->SetBold(true);
    TRptSection* next = report.NewSection("second");
    next->PageBreakMode = pbNewPage;
    next->NewLine()->AddText("page 2");
    // 10 mm margins: 118 dots.
    TPrintFormatter f(report, nullptr, Mm(10), Mm(10), Mm(10), Mm(10));
    f.Run();
    ASSERT_EQ(f.PageCount(), 2);
    const TPageMetafile& page1 = f.GetPageMetafile(1);
    EXPECT_EQ(page1.Width(), 2480);
    EXPECT_EQ(page1.Height(), 3508);
    EXPECT_EQ(TextsOf(page1), (std::vector<TPlacedText>{
                                  {{118, 118}, "HEAD", -42, 0},
                                  {{118, 170}, "left", -42, 0},
                                  {{2362 - 105, 170}, "right", -42, 0},  // flush right: 5 characters
                                  {{118, 222}, "bold", -42, fsBold},
                              }));
    EXPECT_EQ(TextsOf(f.GetPageMetafile(2)),
              (std::vector<TPlacedText>{{{118, 118}, "HEAD", -42, 0}, {{118, 170}, "page 2", -42, 0}}));
    // Text is drawn without background.
    auto brushes = RecordsOf<TMetaSetBrush>(page1);
    ASSERT_FALSE(brushes.empty());
    EXPECT_EQ(brushes[0].Brush.Style, TCanvasBrushStyle::Clear);

    // The pages go to the caller; the formatter keeps none.
    auto pages = f.ClearPages();
    EXPECT_EQ(pages.size(), 2u);
    EXPECT_EQ(f.PageCount(), 0);
    EXPECT_THROW(f.GetPageMetafile(1), ERangeError);
}

TEST(PrintFormatter, UnwantedPagesLeaveNoMetafile) {
    TReport report;
    UseFont(report);
    for (int i = 1; i <= 3; ++i) {
        TRptSection* s = report.NewSection("s");
        s->PageBreakMode = pbNewPage;
        s->NewLine()->AddText("page " + std::to_string(i));
    }
    TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
    f.SetFirstWantedPage(2);
    f.SetLastWantedPage(2);
    f.Run();
    ASSERT_EQ(f.PageCount(), 1);
    EXPECT_EQ(TextsOf(f.GetPageMetafile(1)).at(0).Text, "page 2");
    // A new run starts with an empty page list.
    f.SetLastWantedPage(-1);
    f.Run();
    EXPECT_EQ(f.PageCount(), 2);
}

TEST(PrintFormatter, ApplyResolutionKeepsTheFontSize) {
    for (int size : {10, 143, 144, 200}) {
        TReport report;
        UseFont(report);
        TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
        TCanvasFont& font = f.BaseCanvas().Font();
        font.PixelsPerInch = 96;
        font.SetSize(size);
        f.ApplyResolution();
        EXPECT_EQ(font.PixelsPerInch, 300);
        EXPECT_EQ(font.Size(), size);
        EXPECT_EQ(font.Height, -static_cast<std::int32_t>(std::lround(size * 300 / 72.0)));
    }
}

TEST(PrintFormatter, CaptionedFrameLeavesTheCaptionFontUntilTheNextText) {
    TReport report;
    UseFont(report);
    TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
    f.PushReport(&report);
    f.TextOut(TRect{0, 0, 99, 51}, "before");
    f.DrawFrame(TRect{100, 200, 299, 399}, 2, true, "Cap");
    EXPECT_EQ(f.Canvas().Font().Size(), 5);
    EXPECT_EQ(f.Canvas().Font().Style, fsItalic);
    EXPECT_EQ(f.Canvas().Pen().Style, TCanvasPenStyle::Dot);
    f.TextOut(TRect{0, 500, 99, 551}, "after");
    f.DrawLine(0, 0, 10, 10);
    f.PopReport();

    const TPageMetafile& mf = BaseRecording(f);
    auto texts = TextsOf(mf);
    ASSERT_EQ(texts.size(), 3u);
    // 5 points: 21 pixels, characters 11 wide; centred on x = 199.
    EXPECT_EQ(texts[1], (TPlacedText{{199 - 33 / 2, 200}, "Cap", -21, fsItalic}));
    EXPECT_EQ(texts[2], (TPlacedText{{0, 500}, "after", -42, 0}));
    auto rounded = RecordsOf<TMetaRoundRect>(mf);
    ASSERT_EQ(rounded.size(), 1u);
    EXPECT_EQ(rounded[0], (TMetaRoundRect{{100, 200, 300, 400}, 26, 26}));  // corner: half the height of "X"
    // The next line primitive restores the element's solid pen.
    auto pens = RecordsOf<TMetaSetPen>(mf);
    EXPECT_EQ(pens.back().Pen.Style, TCanvasPenStyle::Solid);
}

TEST(PrintFormatter, RulesAndTreeLines) {
    TReport report;
    UseFont(report);
    TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
    f.PushReport(&report);
    f.DrawRules(TRect{10, 100, 9, 151}, TRect{500, 100, 499, 151}, 0);  // none
    f.DrawRules(TRect{10, 100, 9, 151}, TRect{500, 100, 499, 151}, 2);
    // Tee then horizontal, 42 dots a cell.
    f.DrawTree(TRect{0, 300, 83, 351}, "\u251C\u2500");
    f.DrawTree(TRect{0, 300, 83, 351}, "");
    f.SetTreeStyle(2);
    f.DrawTree(TRect{0, 400, 83, 451}, "\u2514\u2500");
    f.PopReport();
    // No cells per level would divide by zero; the glyphs are drawn alone.
    {
        TPrintFormatter g(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
        g.PushReport(&report);
        g.SetCellsPerTreeLevel(0);
        g.SetTreeStyle(2);
        g.DrawTree(TRect{0, 0, 83, 51}, "\u251C");
        EXPECT_EQ(TextsOf(BaseRecording(g)).size(), 1u);
        g.PopReport();
    }

    const TPageMetafile& mf = BaseRecording(f);
    EXPECT_EQ(RecordsOf<TMetaLine>(mf), (std::vector<TMetaLine>{
                                            {{10, 100}, {499, 100}},
                                            {{10, 126}, {499, 126}},
                                            {{21, 298}, {21, 325}},
                                            {{21, 325}, {21, 353}},
                                            {{21, 325}, {42, 325}},
                                            {{42, 325}, {84, 325}},
                                        }));
    auto texts = TextsOf(mf);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].At, (TCanvasPoint{0, 400}));
    EXPECT_EQ(texts[0].Text, "+");
    EXPECT_EQ(texts[1].At, (TCanvasPoint{21, 400}));  // the corner's fill, one sub-cell on
    EXPECT_EQ(texts[1].Text, "-");
    EXPECT_EQ(texts[2].At, (TCanvasPoint{42, 400}));
    EXPECT_EQ(texts[2].Text, "-");
}

TEST(PrintFormatter, GraphicsDrawOnTheCanvasAndLeaveItsStateAlone) {
    TReport report;
    UseFont(report);
    TRect seen{};
    report.NewLine()->AddDraw(
        [&](TDrawSurface& surface, const TRect& rect, const TParam* param) {
            seen = rect;
            EXPECT_EQ(param->Value, 7);
            surface.SetBrushColor(0x00FF00);
            surface.FillRect(TRect{rect.Left, rect.Top, rect.Left + 10, rect.Top + 10});
            TCanvas& canvas = dynamic_cast<TCanvasDrawSurface&>(surface).Canvas();
            canvas.Font().SetSize(30);
            canvas.Pen().Width = 9;
        },
        std::make_unique<TParam>(7));
    report.NewLine()->AddText("text after");
    TPrintFormatter f(report, nullptr, Mm(0), Mm(0), Mm(0), Mm(0));
    f.Run();
    ASSERT_EQ(f.PageCount(), 1);
    const TPageMetafile& page = f.GetPageMetafile(1);
    auto fills = RecordsOf<TMetaFillRect>(page);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Rect, (TCanvasRect{seen.Left, seen.Top, seen.Left + 10, seen.Top + 10}));
    auto texts = TextsOf(page);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].FontHeight, -42);
    // The text after the graphic has no background again.
    auto brushes = RecordsOf<TMetaSetBrush>(page);
    EXPECT_EQ(brushes.back().Brush.Style, TCanvasBrushStyle::Clear);
}

}  // namespace
}  // namespace mivo
