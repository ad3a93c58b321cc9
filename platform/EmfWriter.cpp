#include "platform/EmfWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <string_view>

#include "model/RunTime.h"
#include "model/SafeFile.h"

namespace mivo {

namespace {

// Stock objects: selecting them releases the objects the file created.
constexpr std::uint32_t StockWhiteBrush = 0x80000000;
constexpr std::uint32_t StockBlackPen = 0x80000007;
constexpr std::uint32_t StockSystemFont = 0x8000000D;

constexpr std::uint32_t MapModeText = 1;
constexpr std::uint32_t BkTransparent = 1;
constexpr std::uint32_t BkOpaque = 2;
constexpr std::uint32_t TextOptionClipped = 0x4;
constexpr std::uint32_t GraphicsModeCompatible = 1;
constexpr std::int32_t FontWeightNormal = 400;
constexpr std::int32_t FontWeightBold = 700;
constexpr std::uint8_t DefaultCharset = 1;
constexpr std::size_t FaceNameUnits = 32;

// Handle-table slots: each kind of object alternates between two slots, so
// the new object exists before the old one is deleted.
constexpr std::uint32_t PenSlots[2] = {1, 2};
constexpr std::uint32_t BrushSlots[2] = {3, 4};
constexpr std::uint32_t FontSlots[2] = {5, 6};
constexpr std::uint16_t HandleCount = 7;

constexpr std::size_t HeaderSize = 108;

// UTF-8 to UTF-16; code points above the first plane become surrogate
// pairs, bytes that do not form a character become U+FFFD.
std::u16string ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    auto cont = [&](std::size_t k) {
        return k < text.size() && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80;
    };
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if (b >= 0xC2 && b < 0xE0 && cont(i + 1)) {
            cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            len = 2;
        } else if (b >= 0xE0 && b < 0xF0 && cont(i + 1) && cont(i + 2)) {
            cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
        } else if (b >= 0xF0 && b < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            cp = ((b & 0x07u) << 18) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(text[i + 2]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(text[i + 3]) & 0x3Fu);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

// Byte length of each UTF-8 character of the text (as ToUtf16 cuts them),
// with the number of UTF-16 units it becomes.
struct TCharSpan {
    std::size_t Bytes;
    std::size_t Units;
};
std::vector<TCharSpan> CharSpans(std::string_view text) {
    std::vector<TCharSpan> spans;
    std::size_t i = 0;
    while (i < text.size()) {
        // Cut one character by decoding the shortest prefix that ToUtf16
        // treats as one unit sequence.
        std::size_t len = 1;
        unsigned char b = static_cast<unsigned char>(text[i]);
        auto cont = [&](std::size_t k) {
            return k < text.size() && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80;
        };
        if (b >= 0xC2 && b < 0xE0 && cont(i + 1))
            len = 2;
        else if (b >= 0xE0 && b < 0xF0 && cont(i + 1) && cont(i + 2))
            len = 3;
        else if (b >= 0xF0 && b < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3))
            len = 4;
        spans.push_back({len, ToUtf16(text.substr(i, len)).size()});
        i += len;
    }
    return spans;
}

// Inclusive bounds of what has been drawn.
struct TBounds {
    bool Any = false;
    std::int32_t Left = 0, Top = 0, Right = -1, Bottom = -1;

    void Add(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
        if (right < left || bottom < top) return;
        auto clamp = [](std::int64_t v) {
            return static_cast<std::int32_t>(
                std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        };
        if (!Any) {
            Any = true;
            Left = clamp(left), Top = clamp(top), Right = clamp(right), Bottom = clamp(bottom);
            return;
        }
        Left = std::min(Left, clamp(left));
        Top = std::min(Top, clamp(top));
        Right = std::max(Right, clamp(right));
        Bottom = std::max(Bottom, clamp(bottom));
    }
};

// The little-endian byte stream of the file.
class TEmfStream {
public:
    void U8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        I32(l), I32(t), I32(r), I32(b);
    }
    void Pad4() {
        while (bytes_.size() % 4 != 0) U8(0);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes_[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    }
    void PatchI32(std::size_t at, std::int32_t v) { PatchU32(at, static_cast<std::uint32_t>(v)); }
    std::size_t Size() const { return bytes_.size(); }

    // Starts a record of the type; EndRecord fills in its size.
    std::size_t BeginRecord(std::uint32_t type) {
        std::size_t start = bytes_.size();
        U32(type);
        U32(0);
        ++records_;
        return start;
    }
    void EndRecord(std::size_t start) {
        Pad4();
        PatchU32(start + 4, CheckedCast<std::uint32_t>(bytes_.size() - start));
    }
    std::uint32_t Records() const { return records_; }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
    std::uint32_t records_ = 0;
};

// A canvas that writes what is drawn on it as EMF records.
class TEmfCanvas : public TCanvas {
public:
    TEmfCanvas(const TPageMetafile& page, TFontSource* fonts) : page_(page), fonts_(fonts) {
        Font().PixelsPerInch = page.Resolution();
        Font().SetSize(10);
        WriteHeaderPlaceholder();
        Simple(emrSetMapMode, MapModeText);
        Simple(emrSetTextAlign, 0);  // top-left of the cell, no pen position update
    }

    std::string Finish() {
        ReleaseObjects();
        std::size_t eof = out_.BeginRecord(emrEof);
        out_.U32(0);   // palette entries
        out_.U32(16);  // offset of the (empty) palette
        out_.U32(20);  // this record's size again
        out_.EndRecord(eof);
        PatchHeader();
        return out_.Take();
    }

    std::int32_t TextWidth(std::string_view text) override { return Measurer().TextWidth(Font(), text); }
    std::int32_t TextHeight(std::string_view text) override { return Measurer().TextHeight(Font(), text); }

    void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override { Text(x, y, text, nullptr); }
    void TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override {
        Text(x, y, text, &clip);
    }

    void Rectangle(const TCanvasRect& r) override { Shape(emrRectangle, r, nullptr); }
    void Ellipse(const TCanvasRect& r) override { Shape(emrEllipse, r, nullptr); }
    void RoundRect(const TCanvasRect& r, std::int32_t cornerWidth, std::int32_t cornerHeight) override {
        TCanvasPoint corner{cornerWidth, cornerHeight};
        Shape(emrRoundRect, r, &corner);
    }

    void Polygon(std::span<const TCanvasPoint> points) override {
        if (points.size() < 2) return;
        SelectPen(Pen());
        SelectBrush(Brush());
        TBounds b;
        for (TCanvasPoint p : points) b.Add(p.X, p.Y, p.X, p.Y);
        AddPenBounds(b.Left, b.Top, b.Right, b.Bottom);
        std::size_t rec = out_.BeginRecord(emrPolygon);
        out_.Rect(b.Left, b.Top, b.Right, b.Bottom);
        out_.U32(CheckedCast<std::uint32_t>(points.size()));
        for (TCanvasPoint p : points) out_.I32(p.X), out_.I32(p.Y);
        out_.EndRecord(rec);
    }

    // A filled rectangle without outline: the brush with the null pen,
    // which fills one unit less on the right and bottom, hence the + 1.
    void FillRect(const TCanvasRect& r) override {
        if (r.Right <= r.Left || r.Bottom <= r.Top) return;
        SelectPen(TCanvasPen{0, 1, TCanvasPenStyle::Clear});
        SelectBrush(Brush());
        bounds_.Add(r.Left, r.Top, std::int64_t{r.Right} - 1, std::int64_t{r.Bottom} - 1);
        std::size_t rec = out_.BeginRecord(emrRectangle);
        out_.Rect(r.Left, r.Top, CheckedAdd(r.Right, 1), CheckedAdd(r.Bottom, 1));
        out_.EndRecord(rec);
    }

    // Pictures are flattened in place, clipped to their rectangle. The
    // device context is saved around them, so every object is released
    // before the save and again before the restore: nothing selected at
    // either point is an object the picture deletes.
    void StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) override {
        ReleaseObjects();
        Simple0(emrSaveDC);
        std::size_t rec = out_.BeginRecord(emrIntersectClipRect);
        out_.Rect(dest.Left, dest.Top, dest.Right, dest.Bottom);
        out_.EndRecord(rec);
        TCanvas::StretchDraw(dest, metafile);
        ReleaseObjects();
        Simple(emrRestoreDC, static_cast<std::uint32_t>(-1));
        text_color_.reset();
        bk_mode_.reset();
        bk_color_.reset();
    }

protected:
    void DrawLine(TCanvasPoint from, TCanvasPoint to) override {
        SelectPen(Pen());
        AddPenBounds(std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X), std::max(from.Y, to.Y));
        std::size_t rec = out_.BeginRecord(emrMoveToEx);
        out_.I32(from.X), out_.I32(from.Y);
        out_.EndRecord(rec);
        rec = out_.BeginRecord(emrLineTo);
        out_.I32(to.X), out_.I32(to.Y);
        out_.EndRecord(rec);
    }

private:
    TFontSource& Measurer() { return fonts_ ? *fonts_ : fixed_; }

    void Simple0(std::uint32_t type) { out_.EndRecord(out_.BeginRecord(type)); }
    void Simple(std::uint32_t type, std::uint32_t value) {
        std::size_t rec = out_.BeginRecord(type);
        out_.U32(value);
        out_.EndRecord(rec);
    }

    void AddPenBounds(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        std::int64_t half = Pen().Style == TCanvasPenStyle::Clear ? 0 : std::max(Pen().Width, 1) / 2;
        bounds_.Add(l - half, t - half, r + half, b + half);
    }

    void Shape(std::uint32_t type, const TCanvasRect& r, const TCanvasPoint* corner) {
        SelectPen(Pen());
        SelectBrush(Brush());
        AddPenBounds(r.Left, r.Top, std::int64_t{r.Right} - 1, std::int64_t{r.Bottom} - 1);
        std::size_t rec = out_.BeginRecord(type);
        out_.Rect(r.Left, r.Top, r.Right, r.Bottom);
        if (corner) out_.I32(corner->X), out_.I32(corner->Y);
        out_.EndRecord(rec);
    }

    void Text(std::int32_t x, std::int32_t y, std::string_view text, const TCanvasRect* clip) {
        if (text.empty()) return;
        SelectFont(Font());
        SyncTextState();
        std::u16string units = ToUtf16(text);
        std::int64_t w = Measurer().TextWidth(Font(), text);
        std::int64_t h = Measurer().TextHeight(Font(), text);
        std::int64_t l = x, t = y, r = x + w - 1, b = y + h - 1;
        if (clip) {
            l = std::max<std::int64_t>(l, clip->Left), t = std::max<std::int64_t>(t, clip->Top);
            r = std::min<std::int64_t>(r, std::int64_t{clip->Right} - 1);
            b = std::min<std::int64_t>(b, std::int64_t{clip->Bottom} - 1);
        }
        TBounds own;
        own.Add(l, t, r, b);
        if (own.Any) bounds_.Add(l, t, r, b);

        const std::uint32_t n = CheckedCast<std::uint32_t>(units.size());
        const std::uint32_t offString = 76;
        const std::uint32_t stringBytes = (2 * n + 3) / 4 * 4;
        const std::uint32_t offDx = fonts_ ? offString + stringBytes : 0;
        std::size_t rec = out_.BeginRecord(emrExtTextOutW);
        if (own.Any)
            out_.Rect(own.Left, own.Top, own.Right, own.Bottom);
        else
            out_.Rect(0, 0, -1, -1);
        out_.U32(GraphicsModeCompatible);
        out_.F32(static_cast<float>(2540.0 / page_.Resolution()));  // .01 mm per unit
        out_.F32(static_cast<float>(2540.0 / page_.Resolution()));
        out_.I32(x), out_.I32(y);
        out_.U32(n);
        out_.U32(offString);
        out_.U32(clip ? TextOptionClipped : 0);
        if (clip)
            out_.Rect(clip->Left, clip->Top, clip->Right, clip->Bottom);
        else
            out_.Rect(0, 0, -1, -1);
        out_.U32(offDx);
        for (char16_t u : units) out_.U16(static_cast<std::uint16_t>(u));
        out_.Pad4();
        if (fonts_) WriteAdvances(text);
        out_.EndRecord(rec);
    }

    // One advance per UTF-16 unit: the growth of the measured prefix, so the
    // advances add up to the width of the whole text; the second unit of a
    // surrogate pair advances by 0.
    void WriteAdvances(std::string_view text) {
        std::size_t prefix = 0;
        std::int32_t before = 0;
        for (const TCharSpan& span : CharSpans(text)) {
            prefix += span.Bytes;
            std::int32_t after = fonts_->TextWidth(Font(), text.substr(0, prefix));
            out_.I32(after - before);
            for (std::size_t k = 1; k < span.Units; ++k) out_.I32(0);
            before = after;
        }
    }

    void SyncTextState() {
        if (text_color_ != Font().Color) {
            Simple(emrSetTextColor, Font().Color);
            text_color_ = Font().Color;
        }
        bool opaque = Brush().Style == TCanvasBrushStyle::Solid;
        std::uint32_t mode = opaque ? BkOpaque : BkTransparent;
        if (bk_mode_ != mode) {
            Simple(emrSetBkMode, mode);
            bk_mode_ = mode;
        }
        if (opaque && bk_color_ != Brush().Color) {
            Simple(emrSetBkColor, Brush().Color);
            bk_color_ = Brush().Color;
        }
    }

    // Makes `slots[*current]` hold a new object (written by `create`),
    // selects it and deletes the one it replaces.
    template <typename Create>
    void Replace(const std::uint32_t (&slots)[2], std::optional<int>& current, Create create) {
        int next = current == 0 ? 1 : 0;
        create(slots[next]);
        Simple(emrSelectObject, slots[next]);
        if (current) Simple(emrDeleteObject, slots[*current]);
        current = next;
    }

    void SelectPen(const TCanvasPen& pen) {
        if (pen_ == pen) return;
        Replace(PenSlots, pen_slot_, [&](std::uint32_t slot) {
            std::size_t rec = out_.BeginRecord(emrCreatePen);
            out_.U32(slot);
            out_.U32(static_cast<std::uint32_t>(pen.Style));
            out_.I32(std::max(pen.Width, 0));
            out_.I32(0);
            out_.U32(pen.Color);
            out_.EndRecord(rec);
        });
        pen_ = pen;
    }

    void SelectBrush(const TCanvasBrush& brush) {
        if (brush_ == brush) return;
        Replace(BrushSlots, brush_slot_, [&](std::uint32_t slot) {
            std::size_t rec = out_.BeginRecord(emrCreateBrushIndirect);
            out_.U32(slot);
            out_.U32(static_cast<std::uint32_t>(brush.Style));
            out_.U32(brush.Color);
            out_.U32(0);  // hatch
            out_.EndRecord(rec);
        });
        brush_ = brush;
    }

    void SelectFont(const TCanvasFont& font) {
        if (font_ && font_->Name == font.Name && font_->Height == font.Height && font_->Style == font.Style) return;
        Replace(FontSlots, font_slot_, [&](std::uint32_t slot) {
            std::size_t rec = out_.BeginRecord(emrExtCreateFontIndirectW);
            out_.U32(slot);
            out_.I32(font.Height);
            out_.I32(0);  // width: the font's own
            out_.I32(0);  // escapement
            out_.I32(0);  // orientation
            out_.I32(font.Style & fsBold ? FontWeightBold : FontWeightNormal);
            out_.U8(font.Style & fsItalic ? 1 : 0);
            out_.U8(font.Style & fsUnderline ? 1 : 0);
            out_.U8(font.Style & TCanvasFont::StrikeOut ? 1 : 0);
            out_.U8(DefaultCharset);
            out_.U8(0);  // output precision
            out_.U8(0);  // clip precision
            out_.U8(0);  // quality
            out_.U8(0);  // pitch and family
            std::u16string face = ToUtf16(font.Name);
            if (face.size() > FaceNameUnits - 1) face.resize(FaceNameUnits - 1);
            face.resize(FaceNameUnits, u'\0');
            for (char16_t u : face) out_.U16(static_cast<std::uint16_t>(u));
            out_.EndRecord(rec);
        });
        font_ = font;
    }

    // Selects the stock objects and deletes every object the file created.
    void ReleaseObjects() {
        auto release = [&](const std::uint32_t (&slots)[2], std::optional<int>& current, std::uint32_t stock) {
            if (!current) return;
            Simple(emrSelectObject, stock);
            Simple(emrDeleteObject, slots[*current]);
            current.reset();
        };
        release(PenSlots, pen_slot_, StockBlackPen);
        release(BrushSlots, brush_slot_, StockWhiteBrush);
        release(FontSlots, font_slot_, StockSystemFont);
        pen_.reset();
        brush_.reset();
        font_.reset();
    }

    void WriteHeaderPlaceholder() {
        out_.BeginRecord(emrHeader);
        for (std::size_t i = 8; i < HeaderSize; i += 4) out_.U32(0);
        for (char16_t u : Description()) out_.U16(static_cast<std::uint16_t>(u));
        out_.Pad4();
    }

    static std::u16string Description() { return std::u16string(u"Mivo\0Report page\0\0", 19); }

    void PatchHeader() {
        const double res = page_.Resolution();
        const std::int32_t w = page_.Width(), h = page_.Height();
        auto round = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
        std::size_t headerBytes = HeaderSize + (Description().size() * 2 + 3) / 4 * 4;
        out_.PatchU32(4, CheckedCast<std::uint32_t>(headerBytes));
        out_.PatchI32(8, bounds_.Left);
        out_.PatchI32(12, bounds_.Top);
        out_.PatchI32(16, bounds_.Right);
        out_.PatchI32(20, bounds_.Bottom);
        out_.PatchI32(24, 0);
        out_.PatchI32(28, 0);
        out_.PatchI32(32, std::max(round(w * 2540.0 / res) - 1, 0));
        out_.PatchI32(36, std::max(round(h * 2540.0 / res) - 1, 0));
        out_.PatchU32(40, EmfSignature);
        out_.PatchU32(44, 0x00010000);
        out_.PatchU32(48, CheckedCast<std::uint32_t>(out_.Size()));
        out_.PatchU32(52, out_.Records());
        out_.PatchU32(56, HandleCount);  // handles (16 bits) and the reserved 16 bits
        out_.PatchU32(60, static_cast<std::uint32_t>(Description().size()));
        out_.PatchU32(64, static_cast<std::uint32_t>(HeaderSize));
        out_.PatchU32(68, 0);  // palette entries
        out_.PatchI32(72, std::max(w, 1));
        out_.PatchI32(76, std::max(h, 1));
        out_.PatchI32(80, std::max(round(w * 25.4 / res), 1));
        out_.PatchI32(84, std::max(round(h * 25.4 / res), 1));
        out_.PatchU32(88, 0);  // no pixel format
        out_.PatchU32(92, 0);
        out_.PatchU32(96, 0);  // no OpenGL records
        out_.PatchI32(100, std::max(round(w * 25400.0 / res), 1));
        out_.PatchI32(104, std::max(round(h * 25400.0 / res), 1));
    }

    const TPageMetafile& page_;
    TFontSource* fonts_;
    TFixedFontSource fixed_;
    TEmfStream out_;
    TBounds bounds_;
    std::optional<TCanvasPen> pen_;
    std::optional<TCanvasBrush> brush_;
    std::optional<TCanvasFont> font_;
    std::optional<int> pen_slot_, brush_slot_, font_slot_;
    std::optional<TColor> text_color_;
    std::optional<std::uint32_t> bk_mode_;
    std::optional<TColor> bk_color_;
};

}  // namespace

std::string EnhMetafileBytes(const TPageMetafile& page, TFontSource* fonts) {
    TEmfCanvas canvas(page, fonts);
    page.Play(canvas);
    return canvas.Finish();
}

void SaveEnhMetafile(const TPageMetafile& page, const std::string& fileName, TFontSource* fonts) {
    WriteFileAtomic(fileName, EnhMetafileBytes(page, fonts));
}

}  // namespace mivo
