// The chart widgets of the charts page: one chart painted from its chart
// data (reports/ChartData.h) by the painters of reports/ChartPaint.h, the
// panel of four radar charts, the chart panels the report builders draw
// (reports/ReportHost.h), and copying a chart to the clipboard.
//
// Whether a chart is shown is the page's own state (`ChartShown`), not the
// widget's visibility: the widgets of a page in a hidden tab report that
// they are not visible, yet the report still draws the chart the page
// shows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <QWidget>

#include "model/Clipboard.h"
#include "platform/Prompts.h"
#include "reports/ChartData.h"
#include "reports/ReportHost.h"

namespace mivo {

// Messages of the chart copy.
inline constexpr const char* MsgNoChartToCopy = "There is no chart to copy.";
inline constexpr const char* MsgChartNotCopied = "The chart could not be copied to the clipboard.";

class TChartWidget : public QWidget {
    Q_OBJECT
public:
    explicit TChartWidget(QWidget* parent = nullptr);

    // The chart painted; the widget repaints.
    void SetPicture(TChartPicture picture);
    const TChartPicture& Picture() const { return picture_; }

    bool ChartShown() const { return shown_; }
    void SetChartShown(bool shown) { shown_ = shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TChartPicture picture_;
    bool shown_ = false;
};

// Four charts in the quarters of the panel: with w = width div 2 and
// h = height div 2, every chart is w x h, at (0, 0), (w + 1, 0), (0, h + 1)
// and (w + 1, h + 1).
class TFourChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit TFourChartPanel(QWidget* parent = nullptr);

    TChartWidget& Chart(int k) const { return *charts_.at(static_cast<std::size_t>(k)); }
    bool ChartShown() const { return shown_; }
    void SetChartShown(bool shown) { shown_ = shown; }

    // The quarter of chart k (0..3) for a panel of the given size.
    static QRect QuarterRect(int k, int width, int height);

Q_SIGNALS:
    // After the charts were laid out anew.
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    std::array<TChartWidget*, 4> charts_{};  // children, owned by the panel
    bool shown_ = false;
};

// Brings a chart up to date with its model before a report draws it.
using TChartPrepare = std::function<void()>;

// A chart widget as the reports see it.
class TChartWidgetPanel : public TChartPanel {
public:
    explicit TChartWidgetPanel(const TChartWidget& widget, TChartPrepare prepare = {})
        : widget_(widget), prepare_(std::move(prepare)) {}
    bool Visible() const override { return widget_.ChartShown(); }
    std::int32_t Width() const override { return widget_.width(); }
    std::int32_t Height() const override { return widget_.height(); }
    void Draw(TDrawSurface& surface, const TRect& rect) override;

private:
    const TChartWidget& widget_;
    TChartPrepare prepare_;
};

// The four-chart panel as the reports see it; drawing it draws the four
// charts into the quarters of the rectangle.
class TFourChartPanelPanel : public TChartPanel {
public:
    explicit TFourChartPanelPanel(const TFourChartPanel& panel, TChartPrepare prepare = {})
        : panel_(panel), prepare_(std::move(prepare)) {}
    bool Visible() const override { return panel_.ChartShown(); }
    std::int32_t Width() const override { return panel_.width(); }
    std::int32_t Height() const override { return panel_.height(); }
    void Draw(TDrawSurface& surface, const TRect& rect) override;

private:
    const TFourChartPanel& panel_;
    TChartPrepare prepare_;
};

// Copies a chart of width x height pixels to the clipboard as an Enhanced
// Metafile and as PNG. An empty size or a failure shows a message and
// leaves the clipboard as it was; returns whether the chart was copied.
bool CopyChart(const TChartPicture& picture, int width, int height, TClipboard& clipboard, TPrompts& prompts);

// The PNG bytes of an image; empty when it cannot be encoded.
std::string PngBytes(const QImage& image);

}  // namespace mivo
