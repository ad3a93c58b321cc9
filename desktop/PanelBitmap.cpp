#include "desktop/PanelBitmap.h"

#include <QPainter>

#include "desktop/ChartWidget.h"
#include "platform/QtCanvas.h"
#include "reports/ChartPaint.h"

namespace mivo {

QImage PanelToBitmap(const TFourChartPanel& panel) {
    const int width = panel.width(), height = panel.height();
    if (width < 1 || height < 1) return {};
    try {
        QImage image(width, height, QImage::Format_RGB32);
        if (image.isNull()) return {};
        image.fill(panel.palette().color(panel.backgroundRole()));
        QPainter painter(&image);
        TQtCanvas canvas(&painter);
        for (int k = 0; k < 4; ++k) {
            const QRect r = TFourChartPanel::QuarterRect(k, width, height);
            if (r.width() < 1 || r.height() < 1) continue;
            PaintChart(canvas, {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()},
                       panel.Chart(k).Picture());
        }
        painter.end();
        return image;
    } catch (const std::exception&) {
        return {};
    }
}

bool CopyFourCharts(const TFourChartPanel& panel, TClipboard& clipboard, TPrompts& prompts) {
    if (panel.width() < 1 || panel.height() < 1) {
        ShowError(prompts, MsgNoChartToCopy);
        return false;
    }
    const std::string png = PngBytes(PanelToBitmap(panel));
    if (png.empty() || !clipboard.SetPicture({}, png)) {
        ShowError(prompts, MsgChartNotCopied);
        return false;
    }
    return true;
}

}  // namespace mivo
