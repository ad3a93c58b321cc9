#include "reports/Groups.h"

#include <algorithm>
#include <vector>

#include "model/RunTime.h"
#include "reports/Utf8Text.h"
#include "reports/Boxes.h"
#include "reports/Formatter.h"
#include "reports/Report.h"

namespace mivo {

TRptGroup::TRptGroup(TRpt* owner) : TRpt(owner) { height_ = NaturalSize; }

TRptGroup::~TRptGroup() = default;

TRpt* TRptGroup::GetItem(int index) const { return At(children_, index).get(); }

namespace {

// An element that names another element as its owner belongs to it:
// taking it over would free it twice. It is left untouched (never freed
// here) and the assertion ends the operation.
void CheckNewChild(std::unique_ptr<TRpt>& element, const TRptGroup* group) {
    MIVO_ASSERT(element, "Adding nil TRpt");
    if (element->Owner() != nullptr && element->Owner() != group) {
        element.release();
        MIVO_ASSERT(false, "Adding TRpt that already has an owner");
    }
}

}  // namespace

void TRptGroup::SetItem(int index, std::unique_ptr<TRpt> element) {
    CheckNewChild(element, this);
    auto& slot = At(children_, index);
    if (slot.get() == openLiner_) openLiner_ = nullptr;
    element->SetOwner(this);
    slot = std::move(element);
}

int TRptGroup::Add(std::unique_ptr<TRpt> element) {
    CheckNewChild(element, this);
    element->SetOwner(this);
    children_.push_back(std::move(element));
    return Count() - 1;
}

std::unique_ptr<TBoxGroup> TRptGroup::CreateGroupBox() {
    if (Orientation() == orVertical) return std::make_unique<TVerticalBox>(this);
    return std::make_unique<THorizontalBox>(this);
}

std::unique_ptr<TBox> TRptGroup::CreateBox() { return CreateGroupBox(); }

namespace {

// Shortens the text box to at most `room`: an ellipsis, then as much of the
// end of the text as fits (one character at least).
void ShortenTextBox(TTextBox& box, std::int32_t room) {
    const std::string ellipsis = "\u2026";
    const auto length = CheckedCast<std::int32_t>(CodePointCount(box.Text().GetText()));
    auto widthShowing = [&](std::int32_t tail) {
        box.SetLead(ellipsis);
        box.SetRange(length - tail + 1, tail);
        box.SizeToNatural();
        return box.Width();
    };
    std::int32_t low = 1, high = length - 1;
    while (low < high) {
        const std::int32_t mid = low + (high - low + 1) / 2;
        if (widthShowing(mid) <= room) low = mid;
        else high = mid - 1;
    }
    widthShowing(std::max<std::int32_t>(low, 1));
}

// A line given a width too small for its texts shortens those that may be
// shortened (TRptText::ShortenAtStart), in order, until its texts fit with
// the width of two blanks at every fill between them.
void ShortenToFit(TRptGroup& line, TBoxGroup& box, std::int32_t width) {
    std::vector<TTextBox*> shortenable;
    std::int64_t needed = 0;
    int fills = 0;
    for (int i = 0; i < box.Count(); ++i) {
        TBox* child = box.GetItem(i);
        if (!child) continue;
        if (child->HorzPlacement == plStretch) ++fills;
        else needed += child->Width();
        auto* text = dynamic_cast<TTextBox*>(child);
        if (text && text->Text().ShortenAtStart && !dynamic_cast<TTreeBox*>(child)) shortenable.push_back(text);
    }
    if (shortenable.empty()) return;
    TFormatter& formatter = FormatterOf(line);
    formatter.PushReport(&line);
    needed += std::int64_t{fills} * formatter.TextWidth("  ");
    formatter.PopReport();
    for (TTextBox* text : shortenable) {
        if (needed <= width) break;
        const std::int32_t before = text->Width();
        if (CodePointCount(text->Text().GetText()) < 2) continue;
        const std::int64_t room = std::max<std::int64_t>(0, before - (needed - width));
        ShortenTextBox(*text, static_cast<std::int32_t>(room));
        needed -= before - text->Width();
    }
}

}  // namespace

std::unique_ptr<TBox> TRptGroup::BuildBox(bool forWidth, std::int32_t width) {
    EndLiner();
    auto box = CreateGroupBox();
    BeginBoxes();
    struct EndBoxesOnExit {
        TRptGroup& group;
        ~EndBoxesOnExit() { group.EndBoxes(); }
    } endBoxes{*this};
    bool childrenForWidth = forWidth && Orientation() == orVertical;
    for (int i = 0; i < Count(); ++i) {
        if (OnBuildItem) OnBuildItem(*this, i, Count());
        TRpt* child = children_[static_cast<std::size_t>(i)].get();
        box->Add(childrenForWidth ? child->CreateBoxForWidth(width) : child->CreateNaturalBox());
    }
    if (forWidth && width > 0 && Orientation() == orHorizontal) ShortenToFit(*this, *box, width);
    if (forWidth) box->SetFixedWidth(width);
    else box->SizeToNatural();
    return box;
}

std::unique_ptr<TBox> TRptGroup::CreateNaturalBox() { return BuildBox(false, 0); }

std::unique_ptr<TBox> TRptGroup::CreateBoxForWidth(std::int32_t width) { return BuildBox(true, width); }

// --- builder operations -----------------------------------------------------

TRptText* TRptGroup::AddText(std::string text) {
    auto* element = AddNew<TRptText>();
    element->SetText(std::move(text));
    return element;
}

TRptMacro* TRptGroup::AddMacro(std::string text) {
    auto* element = AddNew<TRptMacro>();
    element->SetText(std::move(text));
    return element;
}

TRptElement* TRptGroup::AddFill() {
    auto* element = AddNew<TRptElement>();
    element->SetWidthMeasure(MakeMeasure(mkDevice, 0.0f));
    element->HorzPlacement = plStretch;
    return element;
}

TRptTree* TRptGroup::AddTree(std::string text) {
    auto* element = AddNew<TRptTree>();
    element->SetText(std::move(text));
    return element;
}

TRptDraw* TRptGroup::AddDraw(TDrawCallback callback, std::unique_ptr<TParam> param) {
    auto* element = AddNew<TRptDraw>();
    element->SetCallback(std::move(callback));
    element->SetParam(std::move(param));
    return element;
}

TRptLinerBegin* TRptGroup::BeginLiner(std::uint8_t position) {
    EndLiner();
    auto* liner = AddNew<TRptLinerBegin>();
    liner->VertAlign = position;
    openLiner_ = liner;
    return liner;
}

TRptLinerEnd* TRptGroup::EndLiner() {
    if (!openLiner_) return nullptr;
    TRptLinerBegin* begin = openLiner_;
    openLiner_ = nullptr;
    auto* end = AddNew<TRptLinerEnd>();
    end->SetPartner(begin);
    end->RuleCount = begin->RuleCount;
    end->SetThickness(begin->GetThickness());
    end->VertAlign = begin->VertAlign;
    return end;
}

TRptLine* TRptGroup::NewLine() { return AddNew<TRptLine>(); }

TRptLine* TRptGroup::NewBlankLine() {
    TRptLine* line = NewLine();
    line->AddText(" ");
    return line;
}

TRptLine* TRptGroup::VerticalSpace(float f) {
    TRptLine* line = NewBlankLine();
    line->SetHeightMeasure(MakeMeasure(mkNatural, f));
    return line;
}

TRptParagraph* TRptGroup::NewParagraph() { return AddNew<TRptParagraph>(); }

TRptSection* TRptGroup::NewSection(std::string title) {
    sectionCounter_ = CheckedAdd(sectionCounter_, std::int32_t{1});
    auto* section = AddNew<TRptSection>();
    section->SetTitle(std::move(title));
    section->Number = sectionCounter_;
    return section;
}

TRptChunkedSection* TRptGroup::NewChunkedSection(std::string title) {
    sectionCounter_ = CheckedAdd(sectionCounter_, std::int32_t{1});
    auto* section = AddNew<TRptChunkedSection>();
    section->SetTitle(std::move(title));
    section->Number = sectionCounter_;
    return section;
}

TRptTable* TRptGroup::NewTable(std::string title) {
    auto* table = AddNew<TRptTable>();
    table->SetTitle(std::move(title));
    TReport* report = GetReport();
    table->Number = report ? report->NextTableNumber() : 0;
    return table;
}

// --- horizontal groups --------------------------------------------------------

void TRptHorizontalGroup::BeginBoxes() { FormatterOf(*this).BeginLineHeight(this); }

void TRptHorizontalGroup::EndBoxes() {
    if (TFormatter* formatter = GetFormatter()) formatter->EndLineHeight();
}

}  // namespace mivo
