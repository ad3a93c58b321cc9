#include "platform/PageMetafile.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "model/RunTime.h"

namespace mivo {

namespace {

// Maps page coordinates to canvas coordinates: p' = origin + p * scale.
struct TMapping {
    double OriginX = 0;
    double OriginY = 0;
    double ScaleX = 1;
    double ScaleY = 1;
    bool Identity = true;

    static std::int32_t Round(double v) {
        double r = std::nearbyint(v);
        if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
            throw ERangeError();
        return static_cast<std::int32_t>(r);
    }

    std::int32_t X(std::int32_t x) const { return Identity ? x : Round(OriginX + x * ScaleX); }
    std::int32_t Y(std::int32_t y) const { return Identity ? y : Round(OriginY + y * ScaleY); }
    TCanvasPoint Point(TCanvasPoint p) const { return {X(p.X), Y(p.Y)}; }
    TCanvasRect Rect(const TCanvasRect& r) const { return {X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)}; }
    std::int32_t Width(std::int32_t w) const { return Identity ? w : Round(w * ScaleX); }
    std::int32_t Height(std::int32_t h) const { return Identity ? h : Round(h * ScaleY); }

    TCanvasFont Font(TCanvasFont font) const {
        if (Identity || font.Height == 0) return font;
        std::int32_t h = Round(font.Height * ScaleY);
        if (h == 0) h = font.Height < 0 ? -1 : 1;
        font.Height = h;
        return font;
    }

    TCanvasPen Pen(TCanvasPen pen) const {
        if (Identity || pen.Width <= 0) return pen;
        std::int32_t w = Round(pen.Width * (ScaleX + ScaleY) / 2);
        pen.Width = w < 1 ? 1 : w;
        return pen;
    }
};

void PlayRecord(const TMetaRecord& record, TCanvas& canvas, const TMapping& map) {
    std::visit(
        [&](const auto& r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, TMetaSetFont>) {
                canvas.Font() = map.Font(r.Font);
            } else if constexpr (std::is_same_v<R, TMetaSetPen>) {
                canvas.Pen() = map.Pen(r.Pen);
            } else if constexpr (std::is_same_v<R, TMetaSetBrush>) {
                canvas.Brush() = r.Brush;
            } else if constexpr (std::is_same_v<R, TMetaText>) {
                if (r.Clipped)
                    canvas.TextRect(map.Rect(r.Clip), map.X(r.At.X), map.Y(r.At.Y), r.Text);
                else
                    canvas.TextOut(map.X(r.At.X), map.Y(r.At.Y), r.Text);
            } else if constexpr (std::is_same_v<R, TMetaLine>) {
                canvas.MoveTo(map.X(r.From.X), map.Y(r.From.Y));
                canvas.LineTo(map.X(r.To.X), map.Y(r.To.Y));
            } else if constexpr (std::is_same_v<R, TMetaRectangle>) {
                canvas.Rectangle(map.Rect(r.Rect));
            } else if constexpr (std::is_same_v<R, TMetaRoundRect>) {
                canvas.RoundRect(map.Rect(r.Rect), map.Width(r.CornerWidth), map.Height(r.CornerHeight));
            } else if constexpr (std::is_same_v<R, TMetaEllipse>) {
                canvas.Ellipse(map.Rect(r.Rect));
            } else if constexpr (std::is_same_v<R, TMetaPolygon>) {
                std::vector<TCanvasPoint> points;
                points.reserve(r.Points.size());
                for (TCanvasPoint p : r.Points) points.push_back(map.Point(p));
                canvas.Polygon(points);
            } else if constexpr (std::is_same_v<R, TMetaFillRect>) {
                canvas.FillRect(map.Rect(r.Rect));
            } else if constexpr (std::is_same_v<R, TMetaPicture>) {
                if (r.Picture) canvas.StretchDraw(map.Rect(r.Dest), *r.Picture);
            }
        },
        record);
}

// A size that must fit the 32 bits (30 for a record's place) the compact
// store keeps of it.
std::uint32_t Checked32(std::size_t value, std::size_t limit = 0xFFFFFFFFu) {
    if (value > limit) throw ERangeError();
    return static_cast<std::uint32_t>(value);
}

}  // namespace

TPageMetafile::TPageMetafile(std::int32_t width, std::int32_t height, std::int32_t resolution)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height), resolution_(resolution) {
    if (resolution < 1) throw ERangeError();
}

template <class F>
void TPageMetafile::ForEachRecord(F&& f) const {
    for (const TEntry& entry : order_) {
        switch (entry.Store) {
            case stFont:
                f(TMetaRecord{TMetaSetFont{fonts_[entry.Index]}});
                break;
            case stText: {
                const TText& t = texts_[entry.Index];
                TMetaText text{t.At, characters_.substr(t.Start, t.Length), t.Clip >= 0, {}};
                if (t.Clip >= 0) text.Clip = clips_[static_cast<std::size_t>(t.Clip)];
                f(TMetaRecord{std::move(text)});
                break;
            }
            case stLine:
                f(TMetaRecord{lines_[entry.Index]});
                break;
            default:
                f(others_[entry.Index]);
                break;
        }
    }
}

std::vector<TMetaRecord> TPageMetafile::Records() const {
    std::vector<TMetaRecord> records;
    records.reserve(order_.size());
    ForEachRecord([&](const TMetaRecord& record) { records.push_back(record); });
    return records;
}

void TPageMetafile::AppendEntry(TStore store, std::size_t index) {
    order_.push_back(TEntry{store, Checked32(index, (1u << 30) - 1)});
}

std::uint32_t TPageMetafile::FontIndex(const TCanvasFont& font) {
    // A page uses a handful of fonts; the latest ones are the likeliest.
    for (std::size_t i = fonts_.size(); i > 0; --i)
        if (fonts_[i - 1] == font) return static_cast<std::uint32_t>(i - 1);
    fonts_.push_back(font);
    return Checked32(fonts_.size() - 1);
}

void TPageMetafile::Append(TMetaRecord record) {
    if (auto* font = std::get_if<TMetaSetFont>(&record)) {
        AppendEntry(stFont, FontIndex(font->Font));
    } else if (auto* text = std::get_if<TMetaText>(&record)) {
        std::int32_t clip = -1;
        if (text->Clipped) {
            clips_.push_back(text->Clip);
            clip = static_cast<std::int32_t>(Checked32(clips_.size() - 1, 0x7FFFFFFFu));
        }
        texts_.push_back(TText{text->At, Checked32(characters_.size()), Checked32(text->Text.size()), clip});
        characters_ += text->Text;
        AppendEntry(stText, texts_.size() - 1);
    } else if (auto* line = std::get_if<TMetaLine>(&record)) {
        lines_.push_back(*line);
        AppendEntry(stLine, lines_.size() - 1);
    } else {
        others_.push_back(std::move(record));
        AppendEntry(stOther, others_.size() - 1);
    }
}

void TPageMetafile::Clear() {
    order_.clear();
    fonts_.clear();
    texts_.clear();
    characters_.clear();
    clips_.clear();
    lines_.clear();
    others_.clear();
}

void TPageMetafile::ShrinkToFit() {
    order_.shrink_to_fit();
    fonts_.shrink_to_fit();
    texts_.shrink_to_fit();
    characters_.shrink_to_fit();
    clips_.shrink_to_fit();
    lines_.shrink_to_fit();
    others_.shrink_to_fit();
}

std::size_t TPageMetafile::MemoryUsed() const {
    std::size_t bytes = order_.capacity() * sizeof(TEntry) + fonts_.capacity() * sizeof(TCanvasFont) +
                        texts_.capacity() * sizeof(TText) +
                        clips_.capacity() * sizeof(TCanvasRect) + lines_.capacity() * sizeof(TMetaLine) +
                        others_.capacity() * sizeof(TMetaRecord);
    if (characters_.capacity() > 15) bytes += characters_.capacity() + 1;
    for (const TCanvasFont& font : fonts_)
        if (font.Name.capacity() > 15) bytes += font.Name.capacity() + 1;
    return bytes;
}

void TPageMetafile::Play(TCanvas& canvas) const {
    const TMapping map;
    ForEachRecord([&](const TMetaRecord& record) { PlayRecord(record, canvas, map); });
}

void TPageMetafile::PlayScaled(TCanvas& canvas, const TCanvasRect& dest) const {
    if (width_ <= 0 || height_ <= 0) return;
    TMapping map;
    map.OriginX = dest.Left;
    map.OriginY = dest.Top;
    map.ScaleX = static_cast<double>(dest.Width()) / width_;
    map.ScaleY = static_cast<double>(dest.Height()) / height_;
    map.Identity = dest.Left == 0 && dest.Top == 0 && dest.Width() == width_ && dest.Height() == height_;
    TCanvasStateSaver saver(canvas);
    ForEachRecord([&](const TMetaRecord& record) { PlayRecord(record, canvas, map); });
}

}  // namespace mivo
