#include "desktop/WeightSlider.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionSlider>

namespace mivo {

namespace {

const QColor MarkerColour{0, 0, 128};  // navy, as the current weights' texts
constexpr int MarkerSize = 5;

}  // namespace

TWeightSlider::TWeightSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 100);
    setPageStep(10);
    setSingleStep(1);
    setTickInterval(10);
    setTickPosition(QSlider::TicksAbove);
}

void TWeightSlider::SetMarker(int value) {
    const int marker = value < 0 ? -1 : std::min(value, 100);
    if (marker == marker_) return;
    marker_ = marker;
    update();
}

void TWeightSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (marker_ < 0) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    const int x = groove.left() + handle.width() / 2 +
                  QStyle::sliderPositionFromValue(minimum(), maximum(), marker_, span, option.upsideDown);
    const int y = std::min(height() - 1, handle.bottom() + 1);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(x, y - MarkerSize);
    triangle.lineTo(x - MarkerSize, y);
    triangle.lineTo(x + MarkerSize, y);
    triangle.closeSubpath();
    painter.fillPath(triangle, MarkerColour);
}

}  // namespace mivo
