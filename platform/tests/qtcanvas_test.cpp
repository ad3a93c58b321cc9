// The Qt canvas, font source and bitmaps.
#include <gtest/gtest.h>

#ifdef MIVO_HAVE_QT_PLATFORM

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <unistd.h>

#include "model/SafeFile.h"
#include "platform/MetafileCanvas.h"
#include "platform/QtApplication.h"
#include "platform/QtBitmap.h"
#include "platform/QtCanvas.h"
#include "platform/QtFontSource.h"
#include "platform/tests/ImageCompare.h"

namespace mivo {
namespace {

const std::string Reviewed = std::string(MIVO_TEST_DATA) + "/platform/";

TCanvasFont Arial(int points, int ppi = 300) {
    TCanvasFont f;
    f.Name = "Arial";
    f.PixelsPerInch = ppi;
    f.SetSize(points);
    return f;
}

// "Arial" must resolve to a face with its metrics (Liberation Sans), or no
// layout here matches what the reports were designed for.
TEST(QtFontSource, ArialMeasuresWithArialMetrics) {
    TQtFontSource fonts;
    TCanvasFont f = Arial(10);  // 42 pixels em
    // Advances of W and g in Arial: 1933 and 1139 of 2048 units per em.
    EXPECT_NEAR(fonts.TextWidth(f, "Wg"), (1933 + 1139) * 42.0 / 2048, 1.0);
    EXPECT_NEAR(fonts.TextHeight(f, "Wg"), (1854 + 434) * 42.0 / 2048, 1.5);
    EXPECT_EQ(fonts.TextWidth(f, ""), 0);
    // Measures scale with the pixel height.
    TCanvasFont big = Arial(20);
    EXPECT_NEAR(fonts.TextWidth(big, "Wg"), 2 * fonts.TextWidth(f, "Wg"), 2);
    TCanvasFont bold = f;
    bold.Style = fsBold;
    EXPECT_GT(fonts.TextWidth(bold, "mmmm"), fonts.TextWidth(f, "mmmm"));
}

// A page with text in two fonts, clipped text, lines, shapes and fills.
TPageMetafile SamplePage(TFontSource& fonts) {
    TPageMetafile page(2480, 3508);
    TMetafileCanvas c(page, fonts);
    c.Brush().Style = TCanvasBrushStyle::Clear;
    c.Font() = Arial(24);
    c.Font().Style = fsBold;
    c.TextOut(300, 250, "Sample page");
    c.Font() = Arial(12);
    c.Font().Color = CanvasRgb(0, 0, 160);
    c.TextOut(300, 450, "Text in Arial 12 points, blue.");
    c.TextRect({300, 600, 900, 700}, 300, 600, "Clipped text that runs on past its rectangle");
    c.Pen().Width = 6;
    c.MoveTo(300, 800);
    c.LineTo(2180, 800);
    c.Pen().Width = 1;
    c.Pen().Style = TCanvasPenStyle::Dot;
    c.MoveTo(300, 860);
    c.LineTo(2180, 860);
    c.Pen().Style = TCanvasPenStyle::Solid;
    c.Pen().Width = 4;
    c.Rectangle({300, 1000, 1100, 1600});
    c.RoundRect({1300, 1000, 2100, 1600}, 200, 200);
    c.Brush().Style = TCanvasBrushStyle::Solid;
    c.Brush().Color = CanvasRgb(255, 200, 0);
    c.Ellipse({300, 1800, 1100, 2600});
    const TCanvasPoint triangle[] = {{1700, 1800}, {2100, 2600}, {1300, 2600}};
    c.Brush().Color = CanvasRgb(0, 160, 0);
    c.Polygon(triangle);
    c.Brush().Color = CanvasRgb(200, 0, 0);
    c.FillRect({300, 2800, 2180, 2900});
    return page;
}

TEST(QtBitmap, ReplaysAPageLikeTheReviewedImage) {
    TQtFontSource fonts;
    TPageMetafile page = SamplePage(fonts);
    QImage image = RenderMetafile(page, 496, 702);
    EXPECT_TRUE(testing::MatchesReviewedImage(image, Reviewed + "sample_page.png"));
    // Spot checks that hold whatever the font rasteriser: the red fill, the
    // white paper, the green triangle's middle.
    EXPECT_EQ(image.pixelColor(200, 570), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(340, 480), QColor(0, 160, 0));
}

TEST(QtBitmap, SavesAWindowsBitmap) {
    EnsureGuiApplication();
    TQtFontSource fonts;
    TPageMetafile page = SamplePage(fonts);
    auto path = std::filesystem::temp_directory_path() / ("mivo_bmp_" + std::to_string(::getpid()) + ".bmp");
    SaveMetafileBitmap(page, 248, 351, path.string());
    std::string bytes = ReadFile(path.string());
    QImage back(QString::fromStdString(path.string()), "BMP");
    std::filesystem::remove(path);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(back.width(), 248);
    EXPECT_EQ(back.height(), 351);
    EXPECT_THROW(RenderMetafile(page, 0, 10), ERangeError);
    EXPECT_THROW(SaveMetafileBitmap(page, 10, 10, "/nonexistent-folder/x.bmp"), EFileError);
}

TEST(QtCanvas, DrawsOnlyWithAnActivePainter) {
    EnsureGuiApplication();
    TQtCanvas canvas;
    canvas.Font() = Arial(10);
    EXPECT_GT(canvas.TextWidth("abc"), 0);
    EXPECT_THROW(canvas.TextOut(0, 0, "x"), ECanvasError);
    EXPECT_THROW(canvas.FillRect({0, 0, 1, 1}), ECanvasError);

    // Text is placed by its cell's top-left corner, with the brush behind it
    // when the brush is solid.
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    canvas.SetPainter(&painter);
    canvas.Font() = Arial(20, 96);
    canvas.Brush().Color = CanvasRgb(0, 0, 255);
    canvas.TextOut(10, 20, "Hg");
    std::int32_t w = canvas.TextWidth("Hg"), h = canvas.TextHeight("Hg");
    canvas.Brush().Style = TCanvasBrushStyle::Clear;
    canvas.TextOut(100, 20, "Hg");
    painter.end();
    EXPECT_EQ(image.pixelColor(10, 20), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(10 + w - 1, 20 + h - 1), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(10 + w + 1, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(100, 20), QColor(Qt::white));
    bool inked = false;
    for (int y = 20; y < 20 + h; ++y)
        for (int x = 100; x < 100 + w; ++x) inked = inked || image.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_TRUE(inked);
}

TEST(QtCanvas, RectanglesCoverTheirPixelsLikeEveryDrawingSurface) {
    EnsureGuiApplication();
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TQtCanvas canvas(&painter);
    canvas.Brush().Style = TCanvasBrushStyle::Clear;
    canvas.Rectangle({2, 2, 10, 10});  // outline covers 2..9
    canvas.Brush().Style = TCanvasBrushStyle::Solid;
    canvas.Brush().Color = CanvasRgb(255, 0, 0);
    canvas.FillRect({12, 12, 15, 15});  // covers 12..14
    painter.end();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(9, 9), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(14, 14), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::white));
}

}  // namespace
}  // namespace mivo

#endif
