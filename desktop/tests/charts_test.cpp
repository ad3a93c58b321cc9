// The chart widgets: painting, the panels the reports draw, and copying a
// chart or the four-chart panel to the clipboard.
#include "reports/tests/ChartFixture.h"

#include <gtest/gtest.h>

#include <QImage>

#include "desktop/ChartWidget.h"
#include "desktop/PanelBitmap.h"
#include "platform/EmfWriter.h"
#include "platform/MetafileCanvas.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"
#include "reports/ChartPaint.h"
#include "reports/PrintFormatter.h"

namespace mivo {
namespace {

using testing::AddAttribute;
using testing::Values;

// A clipboard that keeps what it was given; it may refuse pictures.
class RecordingClipboard : public TClipboard {
public:
    bool acceptsPictures = true;
    std::string text = "before";
    std::string emf, png;
    int pictures = 0;

    std::string GetText() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    bool SetPicture(const std::string& e, const std::string& p) override {
        if (!acceptsPictures) return false;
        emf = e;
        png = p;
        text.clear();
        ++pictures;
        return true;
    }
};

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(b.at(at + k));
    return v;
}

// What every reader of an Enhanced Metafile relies on: the header first
// with its signature, size and record count, records of sizes that are
// multiples of 4 within the file, the end-of-file record last.
void ExpectEmfStructure(const std::string& b) {
    ASSERT_GE(b.size(), 128u);
    EXPECT_EQ(U32(b, 0), emrHeader);
    EXPECT_EQ(U32(b, 40), EmfSignature);
    EXPECT_EQ(U32(b, 48), b.size());
    std::size_t at = 0, count = 0;
    std::uint32_t last = 0;
    while (at < b.size()) {
        const std::uint32_t size = U32(b, at + 4);
        ASSERT_GE(size, 8u);
        ASSERT_EQ(size % 4, 0u);
        ASSERT_LE(at + size, b.size());
        last = U32(b, at);
        at += size;
        ++count;
    }
    EXPECT_EQ(count, U32(b, 52));
    EXPECT_EQ(last, emrEof);
}

QImage FromPng(const std::string& png) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
    return image;
}

bool HasColour(const QImage& image, TColor colour) {
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF)) return true;
    return false;
}

struct ChartModel {
    TMivoModel model;
    TMivoAttribute* top;
    TMivoAttribute* price;
    TMivoAttribute* look;
    ChartModel() {
        EnsureGuiApplication();
        top = AddAttribute(model.Root(), "Overall", {"bad", "fair", "great"});
        price = AddAttribute(top, "Price", {"high", "medium", "low", "free"});
        look = AddAttribute(top, "Look", {"ugly", "plain", "nice"});
        for (int i = 0; i < 4; ++i) {
            model.AddOption("Option " + std::to_string(i));
            top->SetOptValue(i, Values({i % 3}));
            price->SetOptValue(i, Values({i, 3}));
            look->SetOptValue(i, Values({(i + 1) % 3}));
        }
    }
};

TEST(ChartWidget, PaintsItsChart) {
    ChartModel m;
    TChartWidget widget;
    widget.resize(400, 250);
    widget.SetPicture(BuildBarChart(m.model, *m.price, {}));
    const QImage image = widget.grab().toImage();
    EXPECT_TRUE(HasColour(image, ChartBadColor));
    EXPECT_TRUE(HasColour(image, ChartGoodColor));
    EXPECT_TRUE(HasColour(image, ChartNeutralColor));
}

TEST(ChartWidget, ThePanelsReportTheirOwnShownStateAndDrawTheirChart) {
    ChartModel m;
    TChartWidget widget;  // never shown on screen
    widget.resize(300, 200);
    widget.SetPicture(BuildBarChart(m.model, *m.price, {}));
    TChartWidgetPanel panel(widget);
    EXPECT_FALSE(panel.Visible());
    widget.SetChartShown(true);
    EXPECT_TRUE(panel.Visible());
    EXPECT_FALSE(widget.isVisible());
    EXPECT_EQ(panel.Width(), 300);
    EXPECT_EQ(panel.Height(), 200);

    TPageMetafile page(1000, 1000);
    TFixedFontSource fonts;
    TMetafileCanvas canvas(page, fonts);
    TCanvasDrawSurface surface(canvas);
    panel.Draw(surface, {0, 0, 599, 399});
    ASSERT_FALSE(page.Empty());

    // The four-chart panel draws its four charts into the quarters.
    TFourChartPanel four;
    four.resize(401, 301);
    for (int k = 0; k < 4; ++k) four.Chart(k).SetPicture(BuildRadarChart(m.model, {m.top, m.price, m.look}, k, {}));
    EXPECT_EQ(TFourChartPanel::QuarterRect(3, 401, 301), QRect(201, 151, 200, 150));
    EXPECT_EQ(TFourChartPanel::QuarterRect(0, 401, 301), QRect(0, 0, 200, 150));
    TPageMetafile fourPage(1000, 1000);
    TMetafileCanvas fourCanvas(fourPage, fonts);
    TCanvasDrawSurface fourSurface(fourCanvas);
    TFourChartPanelPanel(four).Draw(fourSurface, {0, 0, 799, 599});
    int discs = 0;
    TCanvasBrush brush;
    for (const TMetaRecord& r : fourPage.Records()) {
        if (auto* b = std::get_if<TMetaSetBrush>(&r)) brush = b->Brush;
        if (std::holds_alternative<TMetaEllipse>(r) && brush.Color == ChartRadarDiscColor) ++discs;
    }
    EXPECT_EQ(discs, 4);
}

TEST(ChartCopy, ACopyHoldsAnEnhancedMetafileAndAPng) {
    ChartModel m;
    RecordingClipboard clipboard;
    TScriptedPrompts prompts;
    const TChartPicture charts[] = {BuildBarChart(m.model, *m.price, {}),
                                    BuildPlaneChart(m.model, *m.price, *m.look, {}),
                                    BuildRadarChart(m.model, {m.top, m.price, m.look}, 1, {})};
    for (const TChartPicture& chart : charts) {
        ASSERT_TRUE(CopyChart(chart, 420, 260, clipboard, prompts));
        ExpectEmfStructure(clipboard.emf);
        const QImage image = FromPng(clipboard.png);
        EXPECT_EQ(image.size(), QSize(420, 260));
    }
    EXPECT_EQ(clipboard.pictures, 3);
    EXPECT_TRUE(prompts.Log().empty());
}

TEST(ChartCopy, AnEmptyChartOrARefusingClipboardLeavesTheClipboardAlone) {
    ChartModel m;
    TScriptedPrompts prompts;
    RecordingClipboard clipboard;
    prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_FALSE(CopyChart(BuildBarChart(m.model, *m.price, {}), 0, 200, clipboard, prompts));
    RecordingClipboard refusing;
    refusing.acceptsPictures = false;
    prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_FALSE(CopyChart(BuildBarChart(m.model, *m.price, {}), 200, 200, refusing, prompts));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{MsgNoChartToCopy, MsgChartNotCopied}));
    EXPECT_EQ(clipboard.text, "before");
    EXPECT_EQ(clipboard.pictures, 0);
    EXPECT_TRUE(prompts.Failures().empty());
}

TEST(PanelBitmap, TheFourChartsInTheirQuarters) {
    ChartModel m;
    TFourChartPanel panel;
    panel.resize(500, 400);
    for (int k = 0; k < 2; ++k) panel.Chart(k).SetPicture(BuildRadarChart(m.model, {m.top, m.price, m.look}, k, {}));
    const QImage image = PanelToBitmap(panel);
    ASSERT_EQ(image.size(), QSize(500, 400));
    const QRgb silver = qRgb(0xC0, 0xC0, 0xC0);
    // The first two quarters hold a radar's silver disc, the others none.
    auto quarterHasSilver = [&](int k) {
        const QRect r = TFourChartPanel::QuarterRect(k, 500, 400);
        return (image.pixel(r.center()) & 0xFFFFFF) == (silver & 0xFFFFFF) ||
               HasColour(image.copy(r), ChartRadarDiscColor);
    };
    EXPECT_TRUE(quarterHasSilver(0));
    EXPECT_TRUE(quarterHasSilver(1));
    EXPECT_FALSE(quarterHasSilver(2));
    EXPECT_FALSE(quarterHasSilver(3));

    RecordingClipboard clipboard;
    TScriptedPrompts prompts;
    ASSERT_TRUE(CopyFourCharts(panel, clipboard, prompts));
    EXPECT_TRUE(clipboard.emf.empty());
    EXPECT_EQ(FromPng(clipboard.png).size(), QSize(500, 400));
}

TEST(PanelBitmap, AnEmptyPanelGivesAMessageAndNoCopy) {
    EnsureGuiApplication();
    TFourChartPanel panel;
    panel.resize(0, 0);
    EXPECT_TRUE(PanelToBitmap(panel).isNull());
    RecordingClipboard clipboard;
    TScriptedPrompts prompts;
    prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_FALSE(CopyFourCharts(panel, clipboard, prompts));
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{MsgNoChartToCopy});
    EXPECT_EQ(clipboard.pictures, 0);
    EXPECT_EQ(clipboard.text, "before");

    panel.resize(300, 200);
    clipboard.acceptsPictures = false;
    prompts.ExpectMessage(TMsgAnswer::Ok);
    EXPECT_FALSE(CopyFourCharts(panel, clipboard, prompts));
    EXPECT_EQ(prompts.Messages().back(), MsgChartNotCopied);
}

}  // namespace
}  // namespace mivo
