#include "platform/Canvas.h"

#include <cstdlib>

#include "platform/PageMetafile.h"

namespace mivo {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, as
// drawing surfaces scale font heights; 0 when c is 0.
std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return 0;
    std::int64_t num = std::int64_t{a} * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::int64_t q = (std::llabs(num) * 2 + den) / (den * 2);
    return static_cast<std::int32_t>(num < 0 ? -q : q);
}

}  // namespace

std::int32_t TCanvasFont::Size() const { return -MulDivRound(Height, 72, PixelsPerInch); }

void TCanvasFont::SetSize(std::int32_t points) { Height = -MulDivRound(points, PixelsPerInch, 72); }

std::int32_t TCanvasFont::PixelHeight() const { return Height < 0 ? -Height : Height; }

void TCanvas::LineTo(std::int32_t x, std::int32_t y) {
    TCanvasPoint to{x, y};
    DrawLine(pen_pos_, to);
    pen_pos_ = to;
}

void TCanvas::StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) {
    metafile.PlayScaled(*this, dest);
}

TCanvasStateSaver::TCanvasStateSaver(TCanvas& canvas)
    : canvas_(canvas), font_(canvas.Font()), pen_(canvas.Pen()), brush_(canvas.Brush()), pen_pos_(canvas.PenPos()) {}

TCanvasStateSaver::~TCanvasStateSaver() {
    canvas_.Font() = font_;
    canvas_.Pen() = pen_;
    canvas_.Brush() = brush_;
    canvas_.MoveTo(pen_pos_.X, pen_pos_.Y);
}

}  // namespace mivo
