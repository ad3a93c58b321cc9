#include "desktop/ChartWidget.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>

#include "platform/EmfWriter.h"
#include "platform/QtBitmap.h"
#include "platform/QtCanvas.h"
#include "platform/QtFontSource.h"
#include "reports/ChartPaint.h"

namespace mivo {

TChartWidget::TChartWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(40, 40);
}

void TChartWidget::SetPicture(TChartPicture picture) {
    picture_ = std::move(picture);
    update();
}

void TChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TQtCanvas canvas(&painter);
    PaintChart(canvas, {0, 0, width(), height()}, picture_);
}

// --- the four-chart panel --------------------------------------------------------

TFourChartPanel::TFourChartPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    for (auto& chart : charts_) chart = new TChartWidget(this);
    LayOut();
}

QRect TFourChartPanel::QuarterRect(int k, int width, int height) {
    const int w = width / 2, h = height / 2;
    const int x = (k % 2 == 0) ? 0 : w + 1;
    const int y = (k < 2) ? 0 : h + 1;
    return QRect(x, y, w, h);
}

void TFourChartPanel::LayOut() {
    for (int k = 0; k < 4; ++k) charts_[static_cast<std::size_t>(k)]->setGeometry(QuarterRect(k, width(), height()));
}

void TFourChartPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
    Q_EMIT Resized();
}

// --- chart panels of the reports -------------------------------------------------

void TChartWidgetPanel::Draw(TDrawSurface& surface, const TRect& rect) {
    if (prepare_) prepare_();
    DrawChartOnSurface(surface, rect, widget_.Picture());
}

void TFourChartPanelPanel::Draw(TDrawSurface& surface, const TRect& rect) {
    if (prepare_) prepare_();
    const std::int32_t c = (rect.Bottom - rect.Top + 1) / 2;
    const std::int32_t f = (rect.Right - rect.Left + 1) / 2;
    const TRect quarters[] = {{rect.Left, rect.Top, rect.Right - f, rect.Bottom - c},
                              {rect.Left + f + 1, rect.Top, rect.Right, rect.Bottom - c},
                              {rect.Left, rect.Top + c + 1, rect.Right - f, rect.Bottom},
                              {rect.Left + f + 1, rect.Top + c + 1, rect.Right, rect.Bottom}};
    for (int k = 0; k < 4; ++k) DrawChartOnSurface(surface, quarters[k], panel_.Chart(k).Picture());
}

// --- copying -----------------------------------------------------------------------

std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return {};
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool CopyChart(const TChartPicture& picture, int width, int height, TClipboard& clipboard, TPrompts& prompts) {
    if (width < 1 || height < 1) {
        ShowError(prompts, MsgNoChartToCopy);
        return false;
    }
    std::string emf, png;
    try {
        TQtFontSource fonts;
        auto page = RecordChart(picture, width, height, fonts);
        emf = EnhMetafileBytes(*page, &fonts);
        png = PngBytes(RenderMetafile(*page, width, height));
    } catch (const std::exception&) {
        emf.clear();
    }
    if (emf.empty() || png.empty() || !clipboard.SetPicture(emf, png)) {
        ShowError(prompts, MsgChartNotCopied);
        return false;
    }
    return true;
}

}  // namespace mivo
