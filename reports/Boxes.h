// Layout boxes: the measured and placed form of one report element for one
// formatting run. Every element makes its box (TRpt::CreateBox); a group's
// box holds the boxes of its children. Boxes compute their natural size
// through the formatter's measuring primitives, take their final size from
// the element's measures, share free space among stretchable children,
// align children across the main axis, place them, and draw themselves
// through the formatter's drawing primitives.
//
// Coordinates are 32-bit device units; rectangles are inclusive
// (Right = Left + Width - 1). Positions are relative to the parent box
// until the page is finished (MoveTo), then absolute. Layout arithmetic
// raises "Integer overflow" instead of wrapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reports/Measures.h"

namespace mivo {

namespace detail {

// The memory of boxes and of their lists of children (TBox::operator new).
void* TakeBoxMemory(std::size_t bytes);
void GiveBoxMemory(void* pointer, std::size_t bytes) noexcept;
// Gives the memory kept for boxes back when no box is left (the formatter
// calls it at the end of every run).
void ReleaseUnusedBoxMemory() noexcept;
// The bytes kept for boxes, in use or free.
std::size_t KeptBoxMemory() noexcept;

template <class T>
struct TBoxAllocator {
    using value_type = T;
    TBoxAllocator() = default;
    template <class U>
    TBoxAllocator(const TBoxAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(TakeBoxMemory(n * sizeof(T))); }
    void deallocate(T* pointer, std::size_t n) noexcept { GiveBoxMemory(pointer, n * sizeof(T)); }
    friend bool operator==(const TBoxAllocator&, const TBoxAllocator&) { return true; }
};

}  // namespace detail

class TBoxGroup;
class TDeferredBox;
class TTreeBox;
class TFormatter;
class TRpt;
class TRptDraw;
class TRptLiner;
class TRptText;
class TRptTree;

class TBox : public TAligned {
public:
    // Copies the element's placement and alignment, and its page-break mode
    // when it is a group. A null element fails with the assertion
    // "Creating TBox with nil TRpt".
    explicit TBox(TRpt* element);
    virtual ~TBox();
    TBox(const TBox&) = delete;
    TBox& operator=(const TBox&) = delete;

    // A long report makes and frees boxes by the hundred thousand, chunk
    // after chunk: they come from free lists of their sizes, which keep the
    // memory for the next ones, rather than from the general allocator one
    // by one (under the address sanitizer they do come from it).
    static void* operator new(std::size_t size);
    static void operator delete(void* pointer, std::size_t size) noexcept;

    TRpt* Element() const { return element_; }
    void SetElement(TRpt* element);
    // The formatter of the element's report; boxes exist only while a
    // formatter works on the report.
    TFormatter& Formatter() const;

    std::int32_t PageBreakMode = 0;

    // --- geometry ---
    TPoint Position() const { return pos_; }
    void SetPosition(TPoint position) { pos_ = position; }
    TPoint Size() const { return size_; }
    void SetSize(TPoint size) { size_ = size; }
    TPoint GetNaturalSize() const { return natural_; }
    void SetNaturalSize(TPoint size) { natural_ = size; }

    std::int32_t Left() const { return pos_.X; }
    std::int32_t Top() const { return pos_.Y; }
    std::int32_t Width() const { return size_.X; }
    std::int32_t Height() const { return size_.Y; }
    void SetLeft(std::int32_t v) { pos_.X = v; }
    void SetTop(std::int32_t v) { pos_.Y = v; }
    void SetWidth(std::int32_t v) { size_.X = v; }
    void SetHeight(std::int32_t v) { size_.Y = v; }
    std::int32_t Right() const;
    std::int32_t Bottom() const;
    TRect BoundsRect() const;
    std::int32_t NaturalWidth() const { return natural_.X; }
    std::int32_t NaturalHeight() const { return natural_.Y; }

    // Offset of the content (natural size) inside the box on an axis, by
    // the box's alignment: 0, (size - natural) div 2 or size - natural.
    std::int32_t ContentOffset(int axis) const;
    std::int32_t ContentLeft() const;
    std::int32_t ContentTop() const;
    std::int32_t ContentRight() const;
    std::int32_t ContentBottom() const;
    TRect ContentRect() const;

    // --- layout ---
    // Number of lines for progress counts: 1, or 1 + the children's.
    virtual int LineCount() const { return 1; }
    // Natural size := the content's size.
    virtual void Measure();
    // Natural size := the bounding box of the children (leaves: Measure).
    virtual void Bounds();
    // Position := point (groups: children too, making them absolute).
    virtual void MoveTo(TPoint point);
    // SizeFromMeasures, Measure, ResolveProportional.
    virtual void SizeToNatural();
    // SizeToNatural, then width := w.
    virtual void SetFixedWidth(std::int32_t width);
    virtual void Draw() {}
    // The formatter's frame around the content (box outlines are off in
    // this system; kept for layout debugging).
    virtual void DrawOutline();

    // Size := the measures converted by the formatter (a proportional
    // measure gives -1), with the element as current element.
    void SizeFromMeasures();
    // A negative size on an axis with a proportional measure becomes the
    // natural size times the measure's value, rounded.
    void ResolveProportional();
    void TakeNaturalSize() { size_ = natural_; }
    // With the element as current element: the outline when enabled, then
    // Draw.
    void Paint();

    // Box outlines are switched off in this system.
    static constexpr bool ShowOutlines = false;

    // A copy of the box and of every box it owns, as built and laid out;
    // null where the box, or a box inside it, is not copied (liners, which
    // their elements point at, drawings, deferred boxes, bands, pages and
    // groups holding boxes they do not own). A box built the same way
    // every time can so be built once and copied (the key columns of a
    // section in chunks, TRptChunkedSection).
    virtual std::unique_ptr<TBox> Clone() const { return nullptr; }

    // The box as a group or as a deferred box, or null: what the page flow
    // asks of every box, without a cast.
    virtual const TBoxGroup* AsGroup() const { return nullptr; }
    TBoxGroup* AsGroup() { return const_cast<TBoxGroup*>(std::as_const(*this).AsGroup()); }
    virtual TTreeBox* AsTree() { return nullptr; }
    virtual TDeferredBox* AsDeferred() { return nullptr; }
    virtual const TDeferredBox* AsDeferred() const { return nullptr; }

protected:
    // For Clone: the fields of `other`.
    struct TCopy {};
    TBox(const TBox& other, TCopy);
    // The element went away: its formatter is no longer known.
    void SetElementGone() { formatter_ = nullptr; }

    TRpt* element_;
    TPoint pos_;
    TPoint size_;
    TPoint natural_;

private:
    // The element's formatter as last found, while no report has changed
    // its formatter since.
    mutable TFormatter* formatter_ = nullptr;
    mutable std::uint32_t formatterChanges_ = 0;
};

// The box of a bare element, an empty fill: it measures 0 x 0 and shows
// nothing, but tells the formatter where it lies (DrawFill), so that tab
// output keeps the texts on either side apart.
class TFillBox : public TBox {
public:
    using TBox::TBox;
    void Draw() override;
    std::unique_ptr<TBox> Clone() const override;

private:
    TFillBox(const TFillBox& other, TCopy copy) : TBox(other, copy) {}
};

// The box of a liner: zero natural width, the rule's thickness high. The
// begin marker's box draws the rules up to its partner's box.
class TLinerBox : public TBox {
public:
    explicit TLinerBox(TRptLiner* liner);
    ~TLinerBox() override;
    TRptLiner& Liner() const;
    // The end marker's box this begin marker's box draws to, where the same
    // liner has boxes in several places at once (a table laid out in chunks
    // of columns); without one, the box last made for the partner.
    void SetPartnerBox(TLinerBox* box) { partnerBox_ = box; }
    void Measure() override;
    void Draw() override;

private:
    TLinerBox* partnerBox_ = nullptr;
    friend class TRptLiner;
    // The liner is being freed before its box.
    void DetachLiner() {
        element_ = nullptr;
        SetElementGone();
    }
};

// A text, or the part of it from Start (1-based characters) for Length
// characters (-1: to the end).
class TTextBox : public TBox {
public:
    explicit TTextBox(TRptText* text);
    TRptText& Text() const;

    void SetRange(std::int32_t start, std::int32_t length) {
        start_ = start;
        length_ = length;
    }
    std::int32_t Start() const { return start_; }
    std::int32_t Length() const { return length_; }
    // A text shown before the box's part of the element's text (an
    // ellipsis where the start is cut off).
    void SetLead(std::string lead) {
        if (lead.empty()) lead_.reset();
        else lead_ = std::make_unique<std::string>(std::move(lead));
    }

    // The lead and the box's part of the text; line breaks in the part show
    // as one blank between its lines (LineBreaks.h), so no drawn text holds
    // a CR or an LF.
    virtual std::string GetDisplayText();
    void Measure() override;
    void Draw() override;
    std::unique_ptr<TBox> Clone() const override;

protected:
    TTextBox(const TTextBox& other, TCopy copy);

private:
    std::int32_t start_ = 1;
    std::int32_t length_ = -1;
    std::unique_ptr<std::string> lead_;  // held apart: few boxes have one
};

// A tree-line prefix: the tree width of its text, as high as the box.
// Compressed, it is narrower than its tree width and its levels share the
// width it has. Extended, it reaches further down than its line (beside
// the rest of a taller row) and draws only the lines that go on there.
class TTreeBox : public TTextBox {
public:
    explicit TTreeBox(TRptTree* tree);
    TRptTree& Tree() const;
    // Each level `width` wide from now on, where that is narrower than its
    // own (negative: the tree width).
    void CompressLevels(std::int32_t width);
    // At most `width` wide in all from now on (negative: no limit); a
    // prefix narrower than its levels shows its innermost ones.
    void LimitWidth(std::int32_t width);
    // The drawing reaches `height` further down than the box's line.
    void ExtendDown(std::int32_t height);
    std::int32_t Extension() const { return extension_; }
    void Measure() override;
    void Draw() override;
    // The part of the drawing between the absolute rows top..bottom (a
    // row continued on another page).
    void DrawRows(std::int32_t top, std::int32_t bottom);
    std::unique_ptr<TBox> Clone() const override;
    TTreeBox* AsTree() override { return this; }

private:
    TTreeBox(const TTreeBox& other, TCopy copy);
    // The rows of the line itself, and those below it.
    TRect LineRect() const;
    TRect ExtensionRect() const;
    // The keys drawn below the line, and the rectangle they take (one more
    // cell for the stem).
    std::string ExtensionKeys();
    std::int32_t KeyWidth();

    std::int32_t levelWidth_ = -1;
    std::int32_t mostWidth_ = -1;
    std::int32_t extension_ = 0;
};

// An owner-drawn graphic: its content is the box itself.
class TDrawBox : public TBox {
public:
    explicit TDrawBox(TRptDraw* draw);
    TRptDraw& Drawing() const;
    void Measure() override;
    void Draw() override;
};

// A box holding child boxes along a main axis.
class TBoxGroup : public TBox {
public:
    using TBox::TBox;
    ~TBoxGroup() override;

    int Count() const { return static_cast<int>(items_.size()); }
    // Child i (null for a slot emptied by ExtractBox); "Range check error"
    // outside 0..Count-1.
    TBox* GetItem(int index) const;
    // Puts the box in place of child i, freeing an owned old box.
    void SetItem(int index, std::unique_ptr<TBox> box);
    void Add(std::unique_ptr<TBox> box);
    void Insert(int index, std::unique_ptr<TBox> box);
    // Hands child i over to the caller; the slot stays, empty.
    std::unique_ptr<TBox> ExtractBox(int index);
    // Hands child i over to the caller and removes its slot.
    std::unique_ptr<TBox> TakeBox(int index);

    virtual int MainAxis() const = 0;
    const TBoxGroup* AsGroup() const override { return this; }
    void ResetPositions();
    // Shares the free space on the main axis (which may be negative) among
    // the children with stretch placement on it; leftover units go to
    // children picked at random by the formatter. Shrinking stops at size 0.
    void Stretch();
    // Places every child across the main axis by its placement.
    void AlignCross();
    // Lines the children up along the main axis from the content offset.
    void PlaceChildren();

    int LineCount() const override;
    void Measure() override;
    void Bounds() override;
    void MoveTo(TPoint point) override;
    void SizeToNatural() override;
    void SetFixedWidth(std::int32_t width) override;
    void Draw() override;
    void DrawOutline() override;

    // Room for `count` children.
    void Reserve(int count);

protected:
    TBoxGroup(const TBoxGroup& other, TCopy copy) : TBox(other, copy) {}
    // Copies of the children into `copy` (an empty group); false where one
    // is not copied or not owned.
    bool CloneItemsInto(TBoxGroup& copy) const;
    // A child that the group does not own (the page box's children belong
    // to the report's box tree or to the formatter).
    void AddReference(TBox& box);
    void Clear() { items_.clear(); }
    // ResetPositions, Stretch, AlignCross, PlaceChildren.
    void Relayout();

private:
    struct Slot {
        std::unique_ptr<TBox> owned;
        TBox* box = nullptr;
    };
    std::vector<Slot, detail::TBoxAllocator<Slot>> items_;
};

class THorizontalBox : public TBoxGroup {
public:
    using TBoxGroup::TBoxGroup;
    int MainAxis() const override { return HorzAxis; }
    std::unique_ptr<TBox> Clone() const override;

private:
    THorizontalBox(const THorizontalBox& other, TCopy copy) : TBoxGroup(other, copy) {}
};

class TVerticalBox : public TBoxGroup {
public:
    using TBoxGroup::TBoxGroup;
    int MainAxis() const override { return VertAxis; }
    std::unique_ptr<TBox> Clone() const override;

private:
    TVerticalBox(const TVerticalBox& other, TCopy copy) : TBoxGroup(other, copy) {}
};

// A box that stands for one built only when it is needed, so that a long
// report does not hold the boxes of all its pages at once. The box is
// built once when this one is made, to learn its size, natural size,
// placement, page-break mode, line count and whether a box inside it
// always starts a new page, and freed. The page flow builds it again when
// it reaches it and frees it once its pages are done (TFormatter::FlowBox);
// inside a group placed whole it is built when drawn and freed right after.
// The builder must give the same box every time. A measurer, where one is
// given, builds in place of the builder the box that is measured when this
// one is made: a box of the same placement, page-break mode, size, natural
// size, line count and forced breaks, made more cheaply (it is never
// drawn, so it may hold stand-ins, TStandInBox).
class TDeferredBox : public TBox {
public:
    using TBuilder = std::function<std::unique_ptr<TBox>()>;
    TDeferredBox(TRpt* element, TBuilder build, const TBuilder& measure = nullptr);

    // The box built anew, at this box's size and position.
    std::unique_ptr<TBox> Build() const;
    // A box inside the built box always starts a new page.
    bool HasForcedBreak() const { return forcedBreak_; }
    TDeferredBox* AsDeferred() override { return this; }
    const TDeferredBox* AsDeferred() const override { return this; }

    int LineCount() const override { return lines_; }
    // The size and natural size are those of the built box.
    void Measure() override {}
    void Bounds() override {}
    void SizeToNatural() override {}
    void SetFixedWidth(std::int32_t width) override { size_.X = width; }
    void Draw() override;

private:
    TBuilder build_;
    int lines_ = 1;
    bool forcedBreak_ = false;
};

// A box standing for another one that is only measured, never drawn: it
// keeps the placement, page-break mode, size, natural size and line count
// of the box it was made from, whatever its group does with it.
class TStandInBox : public TBox {
public:
    explicit TStandInBox(const TBox& box);
    int LineCount() const override { return lines_; }
    void Measure() override {}
    void Bounds() override {}
    void SizeToNatural() override {}
    void SetFixedWidth(std::int32_t width) override { size_.X = width; }

private:
    int lines_;
};

// A band across a box too tall for a page (a table row of many lines): the
// rows of the box from `top` (relative to the box) for `height` units,
// placed and drawn as a box of its own on a page. It draws what lies in the
// band, tree lines cut to it. The box stays with its owner; the bands of
// one box share the record of the positions of its children in their
// parents (RecordPositions), so that each band can place it anew.
class TBandBox : public TBox {
public:
    // `positions`: RecordPositions of the whole box, its own first.
    TBandBox(TBox& whole, std::int32_t top, std::int32_t height,
             std::shared_ptr<const std::vector<TPoint>> positions);
    void Measure() override { natural_ = size_; }
    void MoveTo(TPoint point) override;
    void Draw() override;

private:
    TBox& whole_;
    std::int32_t top_;
    std::shared_ptr<const std::vector<TPoint>> positions_;
};

// The positions of the box and of every box below it, in pre-order.
std::vector<TPoint> RecordPositions(const TBox& box);
// The rows (top, bottom) of the content of every box below `box` that
// cannot be cut (all but groups and tree prefixes), relative to its top.
std::vector<std::pair<std::int32_t, std::int32_t>> UncutRows(const TBox& box);
// The lowest height at most `limit` at which the box can be cut without
// cutting through any of `rows` (UncutRows); `from` or less when no such
// height lies above `limit` beyond `from`.
std::int32_t BandCut(const std::vector<std::pair<std::int32_t, std::int32_t>>& rows, std::int32_t from,
                     std::int32_t limit);

// The page being filled by a formatter. Its children are not owned.
class TPageBox : public TVerticalBox {
public:
    using TVerticalBox::TVerticalBox;

    // Places a box on the page (not owned).
    void Add(TBox& box) { AddReference(box); }
    void Add(std::unique_ptr<TBox>) = delete;
    void Insert(int, std::unique_ptr<TBox>) = delete;
    void SetItem(int, std::unique_ptr<TBox>) = delete;

    // Empties the page (the boxes are not freed); position := origin,
    // size := page size.
    void SetPage(TPoint origin, TPoint size);
    // Lays the page out (children with vertical stretch placement take the
    // rest of the height; no cross alignment), makes positions absolute and
    // draws it.
    void FinishPage();
    std::unique_ptr<TBox> Clone() const override { return nullptr; }
};

}  // namespace mivo
