#include "reports/Boxes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <typeinfo>
#include <vector>

#include "model/RunTime.h"
#include "reports/Elements.h"
#include "reports/Formatter.h"
#include "reports/Graphics.h"
#include "reports/Groups.h"
#include "reports/LineBreaks.h"
#include "reports/Report.h"
#include "reports/Utf8Text.h"

namespace mivo {

namespace {

std::int32_t Add32(std::int32_t a, std::int32_t b) { return CheckedAdd(a, b); }
std::int32_t Sub32(std::int32_t a, std::int32_t b) { return CheckedSub(a, b); }

// Last unit of an inclusive span starting at `from`.
std::int32_t LastOf(std::int32_t from, std::int32_t size) { return Sub32(Add32(from, size), 1); }

}  // namespace

// --- the boxes' memory -----------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
#define MIVO_BOX_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIVO_BOX_POOL 0
#endif
#endif
#ifndef MIVO_BOX_POOL
#define MIVO_BOX_POOL 1
#endif

namespace {

#if MIVO_BOX_POOL
// Free lists of blocks of 16, 32, ... 256 bytes, filled from slabs of 64 KB
// (the blocks go back to their list when their boxes are freed). Boxes are
// made and freed on one thread. Each slab counts its blocks in use, so that
// once a report is laid out the slabs its boxes took are given back
// (Release) instead of keeping the memory of the largest report so far; a
// few boxes that live on with their elements hold only their own slabs.
class TBoxPool {
public:
    static constexpr std::size_t Step = 16;
    static constexpr std::size_t Largest = 256;

    static std::size_t ClassOf(std::size_t size) { return (size + Step - 1) / Step; }

    void* Take(std::size_t size) {
        const std::size_t k = ClassOf(size);
        if (!free_[k]) Refill(k);
        TFree* block = free_[k];
        free_[k] = block->next;
        ++SlabOf(block).inUse;
        return block;
    }

    void Give(void* pointer, std::size_t size) noexcept {
        --SlabOf(pointer).inUse;
        Push(pointer, ClassOf(size));
    }

    std::size_t KeptBytes() const noexcept { return slabs_.size() * SlabBytes; }

    // Frees every slab none of whose blocks is in use.
    void Release() noexcept {
        const auto unused = [](const TSlabPointer& slab) { return slab->inUse == 0; };
        if (std::none_of(slabs_.begin(), slabs_.end(), unused)) return;
        for (TFree*& head : free_) {
            TFree** link = &head;
            while (*link) {
                if (SlabOf(*link).inUse == 0) *link = (*link)->next;
                else link = &(*link)->next;
            }
        }
        std::erase_if(slabs_, unused);
    }

private:
    struct TFree {
        TFree* next;
    };
    static constexpr std::size_t SlabBytes = 64 * 1024;
    // A slab starts with its count, its blocks after it; slabs are aligned
    // on their size, so a block finds its slab by its address.
    struct alignas(Step) TSlab {
        std::size_t inUse = 0;
    };
    struct TFreeSlab {
        void operator()(TSlab* slab) const noexcept { ::operator delete(slab, std::align_val_t{SlabBytes}); }
    };
    using TSlabPointer = std::unique_ptr<TSlab, TFreeSlab>;

    static TSlab& SlabOf(void* block) noexcept {
        return *reinterpret_cast<TSlab*>(reinterpret_cast<std::uintptr_t>(block) & ~std::uintptr_t{SlabBytes - 1});
    }

    void Push(void* pointer, std::size_t k) noexcept {
        auto* block = static_cast<TFree*>(pointer);
        block->next = free_[k];
        free_[k] = block;
    }

    void Refill(std::size_t k) {
        const std::size_t bytes = k * Step;
        TSlabPointer slab(new (::operator new(SlabBytes, std::align_val_t{SlabBytes})) TSlab);
        char* blocks = reinterpret_cast<char*>(slab.get());
        slabs_.push_back(std::move(slab));
        for (std::size_t at = sizeof(TSlab); at + bytes <= SlabBytes; at += bytes) Push(blocks + at, k);
    }

    std::array<TFree*, Largest / Step + 1> free_{};
    std::vector<TSlabPointer> slabs_;
};

TBoxPool& BoxPool() {
    // Never destroyed: a box freed late in the thread's life still finds
    // its list.
    thread_local TBoxPool* pool = new TBoxPool;
    return *pool;
}
#endif

}  // namespace

namespace detail {

void* TakeBoxMemory(std::size_t size) {
#if MIVO_BOX_POOL
    if (size > 0 && size <= TBoxPool::Largest) return BoxPool().Take(size);
#endif
    return ::operator new(size);
}

void GiveBoxMemory(void* pointer, std::size_t size) noexcept {
    if (!pointer) return;
#if MIVO_BOX_POOL
    if (size > 0 && size <= TBoxPool::Largest) {
        BoxPool().Give(pointer, size);
        return;
    }
#endif
    ::operator delete(pointer, size);
}

void ReleaseUnusedBoxMemory() noexcept {
#if MIVO_BOX_POOL
    BoxPool().Release();
#endif
}

std::size_t KeptBoxMemory() noexcept {
#if MIVO_BOX_POOL
    return BoxPool().KeptBytes();
#else
    return 0;
#endif
}

}  // namespace detail

void* TBox::operator new(std::size_t size) { return detail::TakeBoxMemory(size); }

void TBox::operator delete(void* pointer, std::size_t size) noexcept { detail::GiveBoxMemory(pointer, size); }

// --- TBox -------------------------------------------------------------------------

TBox::TBox(TRpt* element) : element_(element) {
    MIVO_ASSERT(element, "Creating TBox with nil TRpt");
    AssignAligned(*element);
    PageBreakMode = element->BoxPageBreakMode();
}

TBox::~TBox() = default;

TBox::TBox(const TBox& other, TCopy)
    : TAligned(other),
      PageBreakMode(other.PageBreakMode),
      element_(other.element_),
      pos_(other.pos_),
      size_(other.size_),
      natural_(other.natural_),
      formatter_(other.formatter_),
      formatterChanges_(other.formatterChanges_) {}

void TBox::SetElement(TRpt* element) {
    MIVO_ASSERT(element, "Creating TBox with nil TRpt");
    element_ = element;
    formatter_ = nullptr;
}

TFormatter& TBox::Formatter() const {
    // Asked for at every step of measuring and drawing: the answer is kept
    // until a report changes its formatter (TReport::FormatterChanges).
    const std::uint32_t changes = TReport::FormatterChanges();
    if (formatter_ && formatterChanges_ == changes) return *formatter_;
    MIVO_ASSERT(element_, "Creating TBox with nil TRpt");
    formatter_ = &FormatterOf(*element_);
    formatterChanges_ = changes;
    return *formatter_;
}

std::int32_t TBox::Right() const { return LastOf(pos_.X, size_.X); }
std::int32_t TBox::Bottom() const { return LastOf(pos_.Y, size_.Y); }
TRect TBox::BoundsRect() const { return TRect{Left(), Top(), Right(), Bottom()}; }

std::int32_t TBox::ContentOffset(int axis) const {
    switch (Alignment(axis)) {
        case alCentre: return Sub32(size_[axis], natural_[axis]) / 2;
        case alEnd: return Sub32(size_[axis], natural_[axis]);
        default: return 0;
    }
}

std::int32_t TBox::ContentLeft() const { return Add32(pos_.X, ContentOffset(HorzAxis)); }
std::int32_t TBox::ContentTop() const { return Add32(pos_.Y, ContentOffset(VertAxis)); }
std::int32_t TBox::ContentRight() const { return LastOf(ContentLeft(), natural_.X); }
std::int32_t TBox::ContentBottom() const { return LastOf(ContentTop(), natural_.Y); }
TRect TBox::ContentRect() const { return TRect{ContentLeft(), ContentTop(), ContentRight(), ContentBottom()}; }

void TBox::Measure() { natural_ = TPoint{}; }

void TBox::Bounds() { Measure(); }

void TBox::MoveTo(TPoint point) { pos_ = point; }

void TBox::SizeToNatural() {
    SizeFromMeasures();
    Measure();
    ResolveProportional();
}

void TBox::SetFixedWidth(std::int32_t width) {
    SizeToNatural();
    size_.X = width;
}

void TBox::DrawOutline() { Formatter().DrawFrame(ContentRect(), psSolid, false, ""); }

void TBox::SizeFromMeasures() {
    TFormatter& formatter = Formatter();
    formatter.PushReport(element_);
    size_.X = formatter.MeasureToDevice(element_->GetWidthMeasure());
    size_.Y = formatter.MeasureToDevice(element_->GetHeightMeasure());
    formatter.PopReport();
}

void TBox::ResolveProportional() {
    // Most measures are the natural size itself (times 1).
    auto times = [](std::int32_t natural, auto value) {
        return value == 1 ? natural : RoundToInt32(static_cast<double>(natural) * value);
    };
    if (size_.X < 0 && element_->WidthIsProportional()) size_.X = times(natural_.X, element_->GetWidthMeasure().Value);
    if (size_.Y < 0 && element_->HeightIsProportional()) size_.Y = times(natural_.Y, element_->GetHeightMeasure().Value);
}

void TBox::Paint() {
    TFormatter& formatter = Formatter();
    formatter.PushReport(element_);
    if (ShowOutlines) DrawOutline();
    Draw();
    formatter.PopReport();
}

// --- leaves -----------------------------------------------------------------------

void TFillBox::Draw() { Formatter().DrawFill(BoundsRect()); }

// A box of a class derived from the one that copies it is not copied: the
// copy would lose what the derived class adds.
std::unique_ptr<TBox> TFillBox::Clone() const {
    if (typeid(*this) != typeid(TFillBox)) return nullptr;
    return std::unique_ptr<TBox>(new TFillBox(*this, TCopy{}));
}

TLinerBox::TLinerBox(TRptLiner* liner) : TBox(liner) { liner->box_ = this; }

TLinerBox::~TLinerBox() {
    if (auto* liner = static_cast<TRptLiner*>(element_); liner && liner->box_ == this) liner->box_ = nullptr;
}

TRptLiner& TLinerBox::Liner() const { return *static_cast<TRptLiner*>(element_); }

void TLinerBox::Measure() {
    natural_.X = 0;
    natural_.Y = std::max<std::int32_t>(1, Formatter().MeasureToDevice(Liner().GetThickness()));
}

void TLinerBox::Draw() {
    TRptLiner& liner = Liner();
    if (!dynamic_cast<TRptLinerBegin*>(&liner)) return;
    if (partnerBox_) {
        Formatter().DrawRules(ContentRect(), partnerBox_->ContentRect(), liner.RuleCount);
        return;
    }
    TRptLiner* partner = liner.GetPartner();
    if (!partner || !partner->Box()) return;
    Formatter().DrawRules(ContentRect(), partner->Box()->ContentRect(), liner.RuleCount);
}

TTextBox::TTextBox(TRptText* text) : TBox(text) {}

TRptText& TTextBox::Text() const { return *static_cast<TRptText*>(element_); }

TTextBox::TTextBox(const TTextBox& other, TCopy copy)
    : TBox(other, copy),
      start_(other.start_),
      length_(other.length_),
      lead_(other.lead_ ? std::make_unique<std::string>(*other.lead_) : nullptr) {}

std::unique_ptr<TBox> TTextBox::Clone() const {
    if (typeid(*this) != typeid(TTextBox)) return nullptr;
    return std::unique_ptr<TBox>(new TTextBox(*this, TCopy{}));
}

std::string TTextBox::GetDisplayText() {
    TRptText& element = Text();
    std::string shown;
    // A text of these classes is its stored text (no class expands it):
    // the box's part of it is copied from there, not from a copy of it all.
    if (typeid(element) == typeid(TRptText) || typeid(element) == typeid(TRptTree)) {
        const std::string& text = element.RawText();
        shown = start_ > 1 || length_ >= 0 ? CopyTail(text, start_, length_) : text;
    } else {
        shown = element.GetText();
        if (start_ > 1 || length_ >= 0) shown = CopyTail(shown, start_, length_);
    }
    // The whole text, without line breaks (most boxes), is shown as it is.
    if (HasLineBreak(shown)) shown = JoinLines(shown);
    return lead_ ? *lead_ + shown : shown;
}

void TTextBox::Measure() {
    TFormatter& formatter = Formatter();
    formatter.PushReport(element_);
    std::string text = GetDisplayText();
    natural_ = text.empty() ? TPoint{} : TPoint{formatter.TextWidth(text), formatter.TextHeight(text)};
    formatter.PopReport();
}

namespace {

// A paragraph's prefix or suffix (never among its children).
bool IsParagraphAffix(const TRptText& text) {
    auto* paragraph = dynamic_cast<const TRptParagraph*>(text.Owner());
    if (!paragraph) return false;
    return &text == paragraph->FirstPrefixIfAny() || &text == paragraph->NextPrefixIfAny() ||
           &text == paragraph->LineSuffixIfAny() || paragraph->IsEmptyAffix(&text);
}

}  // namespace

void TTextBox::Draw() {
    std::string text = GetDisplayText();
    // An empty prefix or suffix leaves no trace, so that a paragraph's line
    // draws what a line of the same texts draws.
    if (text.empty() && IsParagraphAffix(Text())) return;
    if (Text().Clip) Formatter().TextRect(ContentRect(), BoundsRect(), text);
    else Formatter().TextOut(ContentRect(), text);
}

TTreeBox::TTreeBox(TRptTree* tree) : TTextBox(tree) {}

TRptTree& TTreeBox::Tree() const { return *static_cast<TRptTree*>(element_); }

TTreeBox::TTreeBox(const TTreeBox& other, TCopy copy)
    : TTextBox(other, copy),
      levelWidth_(other.levelWidth_),
      mostWidth_(other.mostWidth_),
      extension_(other.extension_) {}

std::unique_ptr<TBox> TTreeBox::Clone() const {
    if (typeid(*this) != typeid(TTreeBox)) return nullptr;
    return std::unique_ptr<TBox>(new TTreeBox(*this, TCopy{}));
}

void TTreeBox::CompressLevels(std::int32_t width) {
    levelWidth_ = width;
    Measure();
    size_.X = std::min(size_.X, natural_.X);
}

void TTreeBox::LimitWidth(std::int32_t width) {
    mostWidth_ = width;
    Measure();
    size_.X = std::min(size_.X, natural_.X);
}

void TTreeBox::ExtendDown(std::int32_t height) {
    // The box keeps the height of its line (which lays it out again at
    // will); only its drawing reaches further.
    if (height > 0) extension_ = CheckedAdd(extension_, height);
}

void TTreeBox::Measure() {
    TFormatter& formatter = Formatter();
    formatter.PushReport(element_);
    const std::string keys = GetDisplayText();
    std::int32_t width = formatter.TreeWidth(keys);
    if (levelWidth_ >= 0)
        width = std::min(width, CheckedMul(levelWidth_, CheckedCast<std::int32_t>(CodePointCount(keys))));
    if (mostWidth_ >= 0) width = std::min(width, mostWidth_);
    natural_ = TPoint{width, size_.Y};
    formatter.PopReport();
}

TRect TTreeBox::LineRect() const { return ContentRect(); }

TRect TTreeBox::ExtensionRect() const {
    TRect rect = ContentRect();
    rect.Top = CheckedAdd(rect.Bottom, std::int32_t{1});
    rect.Bottom = CheckedAdd(rect.Bottom, extension_);
    return rect;
}

std::string TTreeBox::ExtensionKeys() {
    std::string keys = TreeContinuation(GetDisplayText());
    if (Tree().Stem) keys += EncodeCodePoint(TreeKeyVertical);
    return keys;
}

std::int32_t TTreeBox::KeyWidth() {
    const std::size_t keys = CodePointCount(GetDisplayText());
    if (keys > 0) return Width() / static_cast<std::int32_t>(keys);
    TFormatter& formatter = Formatter();
    formatter.PushReport(element_);
    std::int32_t width = formatter.TreeWidth(EncodeCodePoint(TreeKeyVertical));
    formatter.PopReport();
    return levelWidth_ >= 0 ? std::min(width, levelWidth_) : width;
}

void TTreeBox::Draw() { DrawRows(ContentTop(), CheckedAdd(ContentBottom(), extension_)); }

void TTreeBox::DrawRows(std::int32_t top, std::int32_t bottom) {
    TFormatter& formatter = Formatter();
    const TRect line = LineRect();
    if (line.Top >= top && line.Bottom <= bottom) formatter.DrawTree(line, GetDisplayText());
    if (extension_ <= 0) return;
    TRect below = ExtensionRect();
    if (Tree().Stem) below.Right = CheckedAdd(below.Right, KeyWidth());
    below.Top = std::max(below.Top, top);
    below.Bottom = std::min(below.Bottom, bottom);
    if (below.Top <= below.Bottom) formatter.DrawTreeContinuation(below, ExtensionKeys());
}

TDrawBox::TDrawBox(TRptDraw* draw) : TBox(draw) {}

TRptDraw& TDrawBox::Drawing() const { return *static_cast<TRptDraw*>(element_); }

void TDrawBox::Measure() { natural_ = size_; }

void TDrawBox::Draw() {
    TRptDraw& drawing = Drawing();
    if (drawing.GetCallback()) Formatter().DrawGraphic(ContentRect(), drawing.GetCallback(), drawing.GetParam());
}

// --- TBoxGroup ----------------------------------------------------------------------

TBoxGroup::~TBoxGroup() = default;

TBox* TBoxGroup::GetItem(int index) const { return At(items_, index).box; }

void TBoxGroup::SetItem(int index, std::unique_ptr<TBox> box) {
    Slot& slot = At(items_, index);
    slot.box = box.get();
    slot.owned = std::move(box);
}

void TBoxGroup::Add(std::unique_ptr<TBox> box) {
    TBox* raw = box.get();
    items_.push_back(Slot{std::move(box), raw});
}

void TBoxGroup::Reserve(int count) {
    if (count > 0) items_.reserve(static_cast<std::size_t>(count));
}

bool TBoxGroup::CloneItemsInto(TBoxGroup& copy) const {
    copy.items_.reserve(items_.size());
    for (const Slot& s : items_) {
        if (!s.box) {
            copy.items_.push_back(Slot{});
            continue;
        }
        if (!s.owned) return false;
        std::unique_ptr<TBox> child = s.owned->Clone();
        if (!child) return false;
        TBox* raw = child.get();
        copy.items_.push_back(Slot{std::move(child), raw});
    }
    return true;
}

std::unique_ptr<TBox> THorizontalBox::Clone() const {
    if (typeid(*this) != typeid(THorizontalBox)) return nullptr;
    std::unique_ptr<THorizontalBox> copy(new THorizontalBox(*this, TCopy{}));
    if (!CloneItemsInto(*copy)) return nullptr;
    return copy;
}

std::unique_ptr<TBox> TVerticalBox::Clone() const {
    if (typeid(*this) != typeid(TVerticalBox)) return nullptr;
    std::unique_ptr<TVerticalBox> copy(new TVerticalBox(*this, TCopy{}));
    if (!CloneItemsInto(*copy)) return nullptr;
    return copy;
}

void TBoxGroup::Insert(int index, std::unique_ptr<TBox> box) {
    if (index < 0 || index > Count()) throw ERangeError();
    TBox* raw = box.get();
    items_.insert(items_.begin() + index, Slot{std::move(box), raw});
}

std::unique_ptr<TBox> TBoxGroup::ExtractBox(int index) {
    Slot& slot = At(items_, index);
    slot.box = nullptr;
    return std::move(slot.owned);
}

std::unique_ptr<TBox> TBoxGroup::TakeBox(int index) {
    std::unique_ptr<TBox> box = ExtractBox(index);
    items_.erase(items_.begin() + index);
    return box;
}

void TBoxGroup::AddReference(TBox& box) { items_.push_back(Slot{nullptr, &box}); }

int TBoxGroup::LineCount() const {
    int n = 1;
    for (const Slot& s : items_)
        if (s.box) n = CheckedAdd(n, s.box->LineCount());
    return n;
}

void TBoxGroup::Measure() {
    int m = MainAxis();
    int c = OtherAxis(m);
    TPoint natural;
    for (const Slot& s : items_) {
        if (!s.box) continue;
        natural[m] = Add32(natural[m], s.box->Size()[m]);
        natural[c] = std::max(natural[c], s.box->GetNaturalSize()[c]);
    }
    natural_ = natural;
}

void TBoxGroup::Bounds() {
    bool any = false;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    for (const Slot& s : items_) {
        if (!s.box) continue;
        TRect r = s.box->BoundsRect();
        if (!any) {
            left = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
            any = true;
        } else {
            left = std::min(left, r.Left), top = std::min(top, r.Top);
            right = std::max(right, r.Right), bottom = std::max(bottom, r.Bottom);
        }
    }
    natural_ = any ? TPoint{Add32(Sub32(right, left), 1), Add32(Sub32(bottom, top), 1)} : TPoint{};
}

void TBoxGroup::MoveTo(TPoint point) {
    pos_ = point;
    for (const Slot& s : items_)
        if (s.box) s.box->MoveTo(AddPoints(point, s.box->Position()));
}

void TBoxGroup::ResetPositions() {
    for (const Slot& s : items_)
        if (s.box) s.box->SetPosition(TPoint{});
}

void TBoxGroup::Stretch() {
    int m = MainAxis();
    std::int32_t free = Sub32(size_[m], natural_[m]);
    std::vector<TBox*> stretchable;
    for (const Slot& s : items_)
        if (s.box && s.box->Placement(m) == plStretch) stretchable.push_back(s.box);
    if (stretchable.empty()) return;
    auto count = static_cast<std::int32_t>(stretchable.size());
    // Negative free space shrinks the stretchable children, but never below
    // nothing: a negative size would make the following siblings overlap.
    auto grow = [m](TBox* box, std::int32_t by) {
        TPoint size = box->Size();
        size[m] = std::max<std::int32_t>(0, Add32(size[m], by));
        box->SetSize(size);
    };
    for (TBox* box : stretchable) grow(box, free / count);
    // Leftover units one at a time to children picked at random; a negative
    // remainder is dropped.
    for (std::int32_t r = free % count; r > 0; --r) grow(stretchable[static_cast<std::size_t>(Formatter().RandomIndex(count))], 1);
    for (TBox* box : stretchable)
        if (TBoxGroup* group = box->AsGroup()) group->Relayout();
    for (TBox* box : stretchable) box->Bounds();
    Measure();
}

void TBoxGroup::AlignCross() {
    int c = OtherAxis(MainAxis());
    for (const Slot& s : items_) {
        if (!s.box) continue;
        TPoint pos = s.box->Position();
        TPoint size = s.box->Size();
        switch (s.box->Placement(c)) {
            case plStretch:
                pos[c] = 0;
                size[c] = size_[c];
                break;
            case plCentre: pos[c] = Sub32(size_[c], size[c]) / 2; break;
            case plEnd: pos[c] = Sub32(size_[c], size[c]); break;
            default: pos[c] = 0; break;
        }
        s.box->SetPosition(pos);
        s.box->SetSize(size);
    }
    Measure();
}

void TBoxGroup::PlaceChildren() {
    int m = MainAxis();
    int c = OtherAxis(m);
    std::int32_t running = ContentOffset(m);
    std::int32_t cross = ContentOffset(c);
    for (const Slot& s : items_) {
        if (!s.box) continue;
        TPoint pos = s.box->Position();
        pos[m] = running;
        pos[c] = Add32(pos[c], cross);
        s.box->SetPosition(pos);
        running = Add32(running, s.box->Size()[m]);
    }
}

void TBoxGroup::Relayout() {
    ResetPositions();
    Stretch();
    AlignCross();
    PlaceChildren();
}

void TBoxGroup::SizeToNatural() {
    ResetPositions();
    SizeFromMeasures();
    Measure();
    ResolveProportional();
    Stretch();
    AlignCross();
    PlaceChildren();
}

void TBoxGroup::SetFixedWidth(std::int32_t width) {
    ResetPositions();
    TBox::SetFixedWidth(width);
    Stretch();
    AlignCross();
    PlaceChildren();
}

void TBoxGroup::Draw() {
    for (const Slot& s : items_)
        if (s.box) s.box->Paint();
}

void TBoxGroup::DrawOutline() { Formatter().DrawFrame(ContentRect(), psDot, true, element_->ClassName()); }

// --- TDeferredBox ---------------------------------------------------------------------

TDeferredBox::TDeferredBox(TRpt* element, TBuilder build, const TBuilder& measure)
    : TBox(element), build_(std::move(build)) {
    const std::unique_ptr<TBox> built = measure ? measure() : build_();
    static_cast<TAligned&>(*this) = static_cast<const TAligned&>(*built);
    PageBreakMode = built->PageBreakMode;
    size_ = built->Size();
    natural_ = built->GetNaturalSize();
    lines_ = built->LineCount();
    forcedBreak_ = Formatter().HasForcedBreakInside(*built);
}

std::unique_ptr<TBox> TDeferredBox::Build() const {
    std::unique_ptr<TBox> box = Formatter().BuildAside(build_);
    if (box->Width() != size_.X || box->Height() != size_.Y) {
        // The group this box is in gave it another size than its own.
        box->SetSize(size_);
        if (auto* group = dynamic_cast<TBoxGroup*>(box.get())) {
            group->ResetPositions();
            group->Stretch();
            group->AlignCross();
            group->PlaceChildren();
        }
    }
    box->SetPosition(pos_);
    return box;
}

void TDeferredBox::Draw() {
    // Drawn inside a group placed whole: its position is absolute by now.
    const std::unique_ptr<TBox> box = Build();
    box->MoveTo(pos_);
    box->Draw();
}

// --- TStandInBox -------------------------------------------------------------------------

TStandInBox::TStandInBox(const TBox& box) : TBox(box, TCopy{}), lines_(box.LineCount()) {}

// --- TPageBox -------------------------------------------------------------------------

void TPageBox::SetPage(TPoint origin, TPoint size) {
    Clear();
    pos_ = origin;
    size_ = size;
}

void TPageBox::FinishPage() {
    Measure();
    ResolveProportional();
    // An endless page is as tall as its content: there is no rest of the
    // page for stretchable boxes to take, and nothing may shrink below its
    // own height.
    if (size_.Y <= 0) size_.Y = natural_.Y;
    Stretch();
    PlaceChildren();
    MoveTo(pos_);
    Draw();
}

}  // namespace mivo

namespace mivo {

// --- bands of a box taller than a page --------------------------------------------------

namespace {

void RecordChildPositions(const TBox& box, std::vector<TPoint>& positions) {
    auto* group = dynamic_cast<const TBoxGroup*>(&box);
    if (!group) return;
    for (int i = 0; i < group->Count(); ++i) {
        if (const TBox* child = group->GetItem(i)) {
            positions.push_back(child->Position());
            RecordChildPositions(*child, positions);
        }
    }
}

void RestoreChildPositions(TBox& box, const std::vector<TPoint>& positions, std::size_t& next) {
    auto* group = dynamic_cast<TBoxGroup*>(&box);
    if (!group) return;
    for (int i = 0; i < group->Count(); ++i) {
        if (TBox* child = group->GetItem(i)) {
            child->SetPosition(positions.at(next++));
            RestoreChildPositions(*child, positions, next);
        }
    }
}

void CollectUncutRows(const TBox& box, std::int32_t offset, std::vector<std::pair<std::int32_t, std::int32_t>>& rows) {
    if (dynamic_cast<const TTreeBox*>(&box)) return;
    if (auto* group = dynamic_cast<const TBoxGroup*>(&box)) {
        for (int i = 0; i < group->Count(); ++i)
            if (const TBox* child = group->GetItem(i)) CollectUncutRows(*child, CheckedAdd(offset, child->Top()), rows);
        return;
    }
    const std::int32_t top = CheckedAdd(offset, box.ContentOffset(VertAxis));
    if (box.NaturalHeight() > 0) rows.emplace_back(top, CheckedAdd(top, box.NaturalHeight() - 1));
}

// Paints what of the box lies between the absolute rows top..bottom.
void PaintRows(TBox& box, std::int32_t top, std::int32_t bottom) {
    TFormatter& formatter = box.Formatter();
    if (auto* tree = dynamic_cast<TTreeBox*>(&box)) {
        formatter.PushReport(tree->Element());
        tree->DrawRows(top, bottom);
        formatter.PopReport();
        return;
    }
    if (auto* group = dynamic_cast<TBoxGroup*>(&box)) {
        formatter.PushReport(group->Element());
        for (int i = 0; i < group->Count(); ++i)
            if (TBox* child = group->GetItem(i)) PaintRows(*child, top, bottom);
        formatter.PopReport();
        return;
    }
    if (box.ContentTop() >= top && box.ContentBottom() <= bottom) box.Paint();
}

}  // namespace

std::vector<TPoint> RecordPositions(const TBox& box) {
    std::vector<TPoint> positions{box.Position()};
    RecordChildPositions(box, positions);
    return positions;
}

std::vector<std::pair<std::int32_t, std::int32_t>> UncutRows(const TBox& box) {
    std::vector<std::pair<std::int32_t, std::int32_t>> rows;
    if (auto* group = dynamic_cast<const TBoxGroup*>(&box)) {
        for (int i = 0; i < group->Count(); ++i)
            if (const TBox* child = group->GetItem(i)) CollectUncutRows(*child, child->Top(), rows);
    }
    return rows;
}

std::int32_t BandCut(const std::vector<std::pair<std::int32_t, std::int32_t>>& rows, std::int32_t from,
                     std::int32_t limit) {
    // Move the cut up to the top of every row it goes through, until it
    // goes through none.
    std::int32_t cut = limit;
    for (bool moved = true; moved && cut > from;) {
        moved = false;
        for (const auto& [top, bottom] : rows) {
            if (top < cut && bottom >= cut) {
                cut = top;
                moved = true;
            }
        }
    }
    return cut;
}

TBandBox::TBandBox(TBox& whole, std::int32_t top, std::int32_t height,
                   std::shared_ptr<const std::vector<TPoint>> positions)
    : TBox(whole.Element()), whole_(whole), top_(top), positions_(std::move(positions)) {
    VertPlacement = plStart;
    pos_ = TPoint{positions_->at(0).X, 0};
    size_ = TPoint{whole.Width(), height};
    natural_ = size_;
}

void TBandBox::MoveTo(TPoint point) {
    pos_ = point;
    std::size_t next = 1;
    RestoreChildPositions(whole_, *positions_, next);
    whole_.MoveTo(TPoint{point.X, CheckedSub(point.Y, top_)});
}

void TBandBox::Draw() { PaintRows(whole_, Top(), CheckedAdd(Top(), Height() - 1)); }

}  // namespace mivo
