// Report elements: the nodes of a report tree. The leaves are texts,
// macros (texts expanded while the report is formatted), tree-line
// prefixes, owner-drawn graphics, rule markers (liners) and empty fills;
// the inner nodes are groups (Groups.h, Report.h), whose root is the report
// document TReport.
//
// Every element knows its owner, its size measures and optionally its own
// font and pen; what it does not set it inherits from its owner. Elements
// never draw themselves: while a formatter lays the report out, each
// element makes a layout box (Boxes.h) that measures and draws it through
// the formatter's primitives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "reports/Graphics.h"
#include "reports/Measures.h"

namespace mivo {

class TBox;
class TFormatter;
class TLinerBox;
class TReport;
class TTextBox;

// Modes of the font changes: add to / subtract from the size (include /
// exclude styles), or set it.
enum TFontChange : int { fcAdd = 0, fcSubtract = 1, fcSet = 2 };

// The smallest font size (points) that a font change gives.
inline constexpr std::int32_t MinFontSize = 1;

// The base of every report element.
class TRpt : public TAligned {
public:
    // Fields to their defaults: natural width, one line high, no own font
    // or pen. The owner is the parent group (null only for a report).
    explicit TRpt(TRpt* owner);
    virtual ~TRpt();
    TRpt(const TRpt&) = delete;
    TRpt& operator=(const TRpt&) = delete;

    // The element's class name (captions of box outlines).
    virtual const char* ClassName() const { return "TRpt"; }

    TRpt* Owner() const { return owner_; }
    void SetOwner(TRpt* owner) { owner_ = owner; }

    // The root of the owner chain when it is a report, else null.
    TReport* GetReport() const;
    // The formatter formatting the report this element belongs to; null
    // outside a formatting run.
    virtual TFormatter* GetFormatter() const;
    // What the layout asks of every element it meets, answered without a
    // cast: the page-break mode the element's box takes (a group's own, 0
    // for any other element), and whether the element sets the context of
    // the formatter's report stack (a report, a section or a table).
    virtual std::int32_t BoxPageBreakMode() const { return 0; }
    virtual bool SetsContext() const { return false; }

    // Fonts and pens. Setting copies the given value (null: none of its
    // own); the effective one is the own one, else the owner's effective
    // one, else null.
    const TFont* GetOwnFont() const { return font_.get(); }
    void SetFont(const TFont* font);
    void SetFont(const TFont& font) { SetFont(&font); }
    const TFont* GetEffectiveFont() const;
    const TPen* GetOwnPen() const { return pen_.get(); }
    void SetPen(const TPen* pen);
    void SetPen(const TPen& pen) { SetPen(&pen); }
    const TPen* GetEffectivePen() const;

    TMeasure GetWidthMeasure() const { return width_; }
    void SetWidthMeasure(TMeasure measure) { width_ = measure; }
    TMeasure GetHeightMeasure() const { return height_; }
    void SetHeightMeasure(TMeasure measure) { height_ = measure; }
    bool WidthIsProportional() const { return width_.Kind == mkNatural; }
    bool HeightIsProportional() const { return height_.Kind == mkNatural; }

    // A new, unmeasured layout box for this element; the caller owns it.
    virtual std::unique_ptr<TBox> CreateBox() = 0;
    // CreateBox, sized to its natural size.
    virtual std::unique_ptr<TBox> CreateNaturalBox();
    // CreateBox, given a fixed width.
    virtual std::unique_ptr<TBox> CreateBoxForWidth(std::int32_t width);

    // Font changes used by the report builders. The first change gives the
    // element its own copy of the effective font, so later changes of the
    // owner's font no longer reach it. Without any font in the owner chain
    // they fail with the assertion "Report font is undefined".
    void EnsureFont();
    // Mode fcAdd adds value to the size, fcSubtract subtracts it, fcSet sets
    // it, never below MinFontSize; any other mode only makes sure of the own
    // font.
    void SetFontSize(int mode, std::int32_t value);
    // Mode fcAdd includes the styles, fcSubtract excludes them, fcSet
    // replaces the set; any other mode only makes sure of the own font.
    void SetFontStyle(int mode, TFontStyles styles);
    void SetBold(bool on);
    void SetFontColor(TColor color);

protected:
    TMeasure width_ = NaturalSize;
    TMeasure height_ = OneLine;

private:
    TRpt* owner_;
    // Held apart: most elements have neither of their own.
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
};

// A leaf element. A bare one is an empty fill: its box measures 0 x 0 and
// draws nothing, and with stretch placement it takes the free width of a
// line.
class TRptElement : public TRpt {
public:
    using TRpt::TRpt;
    const char* ClassName() const override { return "TRptElement"; }
    std::unique_ptr<TBox> CreateBox() override;
};

// A rule marker. A begin marker and its end marker (partners) sit among the
// children of one group; the begin marker's box draws RuleCount parallel
// rules from its own position to the end marker's. The begin marker's
// vertical alignment tells where the rule sits in its line (0 top,
// 1 middle, 2 bottom, the default).
class TRptLiner : public TRptElement {
public:
    explicit TRptLiner(TRpt* owner);
    ~TRptLiner() override;
    const char* ClassName() const override { return "TRptLiner"; }

    TRptLiner* GetPartner() const { return partner_; }
    // Unlinks the current partner, then links both ways with the new one
    // (null: none).
    void SetPartner(TRptLiner* partner);

    TMeasure GetThickness() const { return thickness_; }
    void SetThickness(TMeasure thickness) { thickness_ = thickness; }

    std::int32_t RuleCount = 1;

    // The box most recently made for this liner while it exists; null when
    // there is none.
    TLinerBox* Box() const { return box_; }

    std::unique_ptr<TBox> CreateBox() override;

private:
    friend class TLinerBox;  // keeps box_ up to date
    TRptLiner* partner_ = nullptr;
    TMeasure thickness_ = OneDeviceUnit;
    TLinerBox* box_ = nullptr;
};

class TRptLinerBegin : public TRptLiner {
public:
    using TRptLiner::TRptLiner;
    const char* ClassName() const override { return "TRptLinerBegin"; }
};

class TRptLinerEnd : public TRptLiner {
public:
    using TRptLiner::TRptLiner;
    const char* ClassName() const override { return "TRptLinerEnd"; }
};

// A text. With the clip flag set its box draws clipped to the box.
class TRptText : public TRptElement {
public:
    using TRptElement::TRptElement;
    const char* ClassName() const override { return "TRptText"; }

    virtual std::string GetText() { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    // The stored text, unexpanded.
    const std::string& RawText() const { return text_; }

    bool Clip = false;
    // In a line given a width too small for its texts, this one is shown
    // shortened, an ellipsis in place of its start, so that its end (the
    // file's own name in a long path) stays in view.
    bool ShortenAtStart = false;

    std::unique_ptr<TBox> CreateBox() override;

protected:
    std::string text_;
};

// A text expanded every time it is asked for (measured and drawn):
// "PAGE", "TITLE", "SECTION [TITLE|NUMBERS]", "TABLE [TITLE|NUMBERS]",
// "DATETIME [SHORT|LONG|format]", "DATE [...]", "TIME [...]"; anything
// else shows as "[text]". The stored text is trimmed and upper-cased on
// first use.
class TRptMacro : public TRptText {
public:
    using TRptText::TRptText;
    const char* ClassName() const override { return "TRptMacro"; }
    std::string GetText() override;
};

// A tree-line prefix over the key characters of Graphics.h. Stretches
// vertically so that the lines of consecutive rows join.
class TRptTree : public TRptText {
public:
    explicit TRptTree(TRpt* owner);
    const char* ClassName() const override { return "TRptTree"; }
    std::unique_ptr<TBox> CreateBox() override;

    // The item has inputs in the rows below it: beside the lines of its row
    // under its name, a line runs down to them from the first cell after
    // the prefix.
    bool Stem = false;
};

// The keys that go on beside the lines of a tree item below its first:
// the vertical lines of the prefix (a tee's line goes on to the next
// sibling, a corner's ends at its item), blanks elsewhere.
std::string TreeContinuation(const std::string& keys);

// A table column. Its heading box, made when the table's columns are
// computed, gives the column's width and position.
class TRptField : public TRptText {
public:
    explicit TRptField(TRpt* owner);
    ~TRptField() override;
    const char* ClassName() const override { return "TRptField"; }

    TTextBox* HeadingBox() const { return box_.get(); }
    // Frees the previous heading box and makes the field the new box's
    // element.
    void SetBox(std::unique_ptr<TTextBox> box);

private:
    std::unique_ptr<TTextBox> box_;
};

// An owner-drawn graphic: the formatter calls the callback with its
// surface, the content rectangle and the parameter.
class TRptDraw : public TRptElement {
public:
    using TRptElement::TRptElement;
    const char* ClassName() const override { return "TRptDraw"; }

    const TDrawCallback& GetCallback() const { return callback_; }
    void SetCallback(TDrawCallback callback) { callback_ = std::move(callback); }
    const TParam* GetParam() const { return param_.get(); }
    // The element owns the parameter from now on; the previous one is freed.
    void SetParam(std::unique_ptr<TParam> param) { param_ = std::move(param); }

    std::unique_ptr<TBox> CreateBox() override;

private:
    TDrawCallback callback_;
    std::unique_ptr<TParam> param_;
};

}  // namespace mivo
