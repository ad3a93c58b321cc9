#include "reports/Formatter.h"

#include <algorithm>

#include "model/RunTime.h"
#include "reports/Elements.h"
#include "reports/Report.h"

namespace mivo {

TFormatter& FormatterOf(const TRpt& element) {
    TFormatter* formatter = element.GetFormatter();
    MIVO_ASSERT(formatter, "Report is not being formatted");
    return *formatter;
}

TFormatter::TFormatter(TReport& report, TPoint origin, TPoint size)
    : report_(report),
      origin_(origin),
      size_(size),
      startTime_(Now()),
      pageBox_(std::make_unique<TPageBox>(&report)),
      dateFormats_(LocaleDateFormats()) {}

TFormatter::~TFormatter() {
    if (!reportGone_ && report_.GetFormatter() == this) report_.SetFormatter(nullptr);
}

void TFormatter::SetClock(TClock clock) {
    clock_ = std::move(clock);
    startTime_ = clock_ ? clock_() : Now();
}

void TFormatter::SetRandomSource(TRandomSource source) { random_ = std::move(source); }

int TFormatter::RandomIndex(int n) {
    if (n <= 1) return 0;
    ++randomDraws_;
    int index = random_ ? random_(n) : std::uniform_int_distribution<int>(0, n - 1)(generator_);
    // A faulty source must not pick a child that does not exist.
    return std::clamp(index, 0, n - 1);
}

// --- fonts, pens, line height ---------------------------------------------------------

void TFormatter::MeasureLineHeight() { lineHeight_ = TextHeight("Wg"); }

void TFormatter::EnsureFontApplied() {
    if (fontApplied_) return;
    ApplyFont(CurrentReport()->GetEffectiveFont());
    fontApplied_ = true;
}

void TFormatter::EnsurePenApplied() {
    if (penApplied_) return;
    ApplyPen(CurrentReport()->GetEffectivePen());
    penApplied_ = true;
}

void TFormatter::EnsureLineHeight() {
    if (lineHeight_ < 0) MeasureLineHeight();
}

void TFormatter::BeginLineHeight(TRpt* line) {
    const std::int32_t outer = lineHeight_;
    PushReport(line);
    MeasureLineHeight();
    PopReport();
    outerLineHeights_.push_back(outer);
}

void TFormatter::EndLineHeight() {
    const std::int32_t outer = outerLineHeights_.empty() ? -1 : outerLineHeights_.back();
    if (!outerLineHeights_.empty()) outerLineHeights_.pop_back();
    if (outer < 0) ResetLineHeight();
    else lineHeight_ = outer;
}

// --- report stack ---------------------------------------------------------------------------

void TFormatter::PushReport(TRpt* element) {
    TRpt* previous = stack_.empty() ? nullptr : stack_.back();
    stack_.push_back(element);
    if (element == previous) return;  // the context is the same
    if (element->GetOwnFont()) fontApplied_ = false;
    if (element->GetOwnPen()) penApplied_ = false;
    if (formatting_ && AffectsContext(element)) UpdateContext();
}

void TFormatter::PopReport() {
    MIVO_ASSERT(!stack_.empty(), "Formatter: Report stack underflow");
    TRpt* popped = stack_.back();
    stack_.pop_back();
    if (stack_.empty()) {
        fontApplied_ = false;
        penApplied_ = false;
    } else if (popped != stack_.back()) {
        if (popped->GetOwnFont()) fontApplied_ = false;
        if (popped->GetOwnPen()) penApplied_ = false;
    } else {
        return;  // the same element is still on top: the context is the same
    }
    if (formatting_ && AffectsContext(popped)) UpdateContext();
}

bool TFormatter::AffectsContext(const TRpt* element) const {
    return element->SetsContext() || IsPageFurniture(element);
}

void TFormatter::UpdateContext() {
    headerGroup_ = footerGroup_ = headingGroup_ = nullptr;
    currentSection_ = nullptr;
    currentTable_ = nullptr;
    for (TRpt* element : stack_) {
        if (IsPageFurniture(element)) {
            // The page's header, heading and footer were measured with the
            // section and table of their page's start; they are drawn with
            // them too, wherever the flow is when the page ends.
            currentSection_ = pageSection_;
            currentTable_ = pageTable_;
        } else if (auto* report = dynamic_cast<TReport*>(element)) {
            headerGroup_ = &report->Header();
            footerGroup_ = &report->Footer();
        } else if (auto* table = dynamic_cast<TRptTable*>(element)) {
            currentTable_ = table;
            headingGroup_ = &table->HeadingGroup();
        } else if (auto* section = dynamic_cast<TRptSection*>(element)) {
            currentSection_ = section;
            headingGroup_ = &section->HeadingGroup();
        }
    }
}

TRpt* TFormatter::CurrentReport() const {
    MIVO_ASSERT(!stack_.empty(), "Formatter: Undefined current report");
    return stack_.back();
}

// --- pagination -------------------------------------------------------------------------------

std::unique_ptr<TBox> TFormatter::MakeBox(TRpt* element) {
    return size_.X > 0 ? element->CreateBoxForWidth(size_.X) : element->CreateNaturalBox();
}

std::unique_ptr<TBox> TFormatter::BuildReportBox() {
    report_.SetFormatter(this);
    const TWidthCache::TScope remembering(widths_);
    auto box = MakeBox(&report_);
    totalLines_ = box->LineCount();
    return box;
}

std::unique_ptr<TBox> TFormatter::BuildAside(const std::function<std::unique_ptr<TBox>()>& build) {
    struct RestoreOnExit {
        bool& flag;
        bool value;
        ~RestoreOnExit() { flag = value; }
    } restore{formatting_, formatting_};
    formatting_ = false;
    return build();
}

void TFormatter::BuildProgress(int done, int total) {
    if (OnProgress) OnProgress(*this, 0, 0, done, total);
}

void TFormatter::BeginFormatting() {
    pageNumber_ = 0;
    startTime_ = clock_ ? clock_() : Now();
    headerGroup_ = &report_.Header();
    footerGroup_ = &report_.Footer();
    currentSection_ = nullptr;
    currentTable_ = nullptr;
    headingGroup_ = nullptr;
    fontApplied_ = false;
    penApplied_ = false;
    ResetLineHeight();
    linesDone_ = 0;
    formatting_ = true;
}

bool TFormatter::PageWanted() const {
    return pageNumber_ >= firstWantedPage_ && (lastWantedPage_ < 1 || lastWantedPage_ >= pageNumber_);
}

void TFormatter::NewPage() {
    pageNumber_ = CheckedAdd(pageNumber_, std::int32_t{1});
    pageBox_->SetPage(origin_, size_);
    remainingHeight_ = size_.Y;
    linesOnPage_ = 0;
    headerBox_.reset();
    footerBox_.reset();
    headingBox_.reset();
    // Building a box moves through the report stack, which recomputes the
    // context; the groups of this page are the ones current now.
    TRptGroup* header = headerGroup_;
    TRptGroup* heading = headingGroup_;
    TRptGroup* footer = footerGroup_;
    pageSection_ = currentSection_;
    pageTable_ = currentTable_;
    pageFurniture_ = {header, heading, footer};
    if (header) {
        headerBox_ = MakeBox(header);
        pageBox_->Add(*headerBox_);
        remainingHeight_ = CheckedSub(remainingHeight_, headerBox_->Height());
    }
    if (heading) {
        headingBox_ = MakeBox(heading);
        pageBox_->Add(*headingBox_);
        remainingHeight_ = CheckedSub(remainingHeight_, headingBox_->Height());
    }
    if (footer) {
        footerBox_ = MakeBox(footer);
        remainingHeight_ = CheckedSub(remainingHeight_, footerBox_->Height());
    }
    headerGroup_ = header;
    headingGroup_ = heading;
    footerGroup_ = footer;
    pageRoom_ = remainingHeight_;
    if (OnNewPage) OnNewPage(*this, pageNumber_, linesOnPage_, linesDone_, totalLines_);
}

void TFormatter::EndPage() {
    if (PageWanted()) {
        if (footerBox_) pageBox_->Add(*footerBox_);
        pageBox_->FinishPage();
    }
    // The page box must not keep pointers to the boxes freed here.
    pageBox_->SetPage(origin_, size_);
    headerBox_.reset();
    footerBox_.reset();
    headingBox_.reset();
    // What lay on this page only is done with.
    bands_.clear();
    flowed_.clear();
}

bool TFormatter::IsPageFurniture(const TRpt* element) const {
    return element && std::find(pageFurniture_.begin(), pageFurniture_.end(), element) != pageFurniture_.end();
}

void TFormatter::PageBreak() {
    if (linesOnPage_ > 0) {
        EndPage();
        NewPage();
    }
}

bool TFormatter::Fits(std::int32_t height) const { return size_.Y <= 0 || remainingHeight_ >= height; }

bool TFormatter::IsGroupBox(const TBox& box) const {
    const TBoxGroup* group = box.AsGroup();
    return group && group->MainAxis() == VertAxis;
}

bool TFormatter::CheckPageBreak(TBox& box) {
    std::int32_t height = box.Height();
    std::int32_t mode = box.PageBreakMode;
    // A report that stretches vertically is always split into its children.
    if (box.Element() == &report_ && report_.VertPlacement == plStretch) return false;
    if (mode == pbNewPage) {
        PageBreak();
    } else if (mode >= 0 && IsGroupBox(box)) {
        if (mode > 0) {
            auto& group = static_cast<TBoxGroup&>(box);
            std::int32_t first = 0;
            for (int i = 0; i < std::min(mode, group.Count()); ++i)
                if (TBox* child = group.GetItem(i)) first = CheckedAdd(first, child->Height());
            if (!Fits(first)) PageBreak();
        }
    } else if (!Fits(height)) {
        PageBreak();
    }
    return Fits(height);
}

bool TFormatter::HasForcedBreakInside(const TBox& box) const {
    if (auto* deferred = box.AsDeferred()) return deferred->HasForcedBreak();
    if (!IsGroupBox(box)) return false;
    const auto& group = static_cast<const TBoxGroup&>(box);
    for (int i = 0; i < group.Count(); ++i) {
        const TBox* child = group.GetItem(i);
        if (child && (child->PageBreakMode == pbNewPage || HasForcedBreakInside(*child))) return true;
    }
    return false;
}

namespace {

// Texts of blanks only, and groups of nothing else (a macro's text is not
// known before it is expanded, so it is never blank).
bool IsBlankElement(const TRpt& element) {
    if (auto* text = dynamic_cast<const TRptText*>(&element)) {
        if (dynamic_cast<const TRptMacro*>(&element) || dynamic_cast<const TRptTree*>(&element)) return false;
        const std::string& t = text->RawText();
        return std::all_of(t.begin(), t.end(), [](char c) { return c == ' '; });
    }
    auto* group = dynamic_cast<const TRptGroup*>(&element);
    if (!group || dynamic_cast<const TRptCell*>(&element) || dynamic_cast<const TRptSection*>(&element)) return false;
    for (int i = 0; i < group->Count(); ++i)
        if (!IsBlankElement(*group->GetItem(i))) return false;
    return true;
}

}  // namespace

bool TFormatter::IsBlankSpace(const TBox& box) {
    return dynamic_cast<const TRptHorizontalGroup*>(box.Element()) != nullptr && IsBlankElement(*box.Element());
}

void TFormatter::FlowBox(TBox& box) {
    if (aborted_) return;
    if (TDeferredBox* deferred = box.AsDeferred()) {
        std::unique_ptr<TBox> built = deferred->Build();
        FlowBox(*built);
        flowed_.push_back(std::move(built));
        return;
    }
    // (Whether the box is blank is asked last: it takes the longest.)
    if (size_.Y > 0 && (!Fits(box.Height()) || (linesOnPage_ == 0 && pageNumber_ > 1)) && IsBlankSpace(box)) {
        linesDone_ = CheckedAdd(linesDone_, box.LineCount());
        if (OnProgress) OnProgress(*this, pageNumber_, linesOnPage_, linesDone_, totalLines_);
        return;
    }
    PushReport(box.Element());
    bool fits = CheckPageBreak(box);
    // A group that fits is placed whole, unless a box inside must start a
    // new page: then it is split so that the break can happen.
    if (!fits && IsTallerThanAPage(box)) {
        FlowInBands(box);
    } else if ((fits && !HasForcedBreakInside(box)) || !IsGroupBox(box)) {
        pageBox_->Add(box);
        // Counted through the whole box: once.
        const int lines = box.LineCount();
        linesOnPage_ = CheckedAdd(linesOnPage_, lines);
        linesDone_ = CheckedAdd(linesDone_, lines);
        remainingHeight_ = CheckedSub(remainingHeight_, box.Height());
    } else {
        auto& group = static_cast<TBoxGroup&>(box);
        for (int i = 0; i < group.Count(); ++i)
            if (TBox* child = group.GetItem(i)) FlowBox(*child);
        linesOnPage_ = CheckedAdd(linesOnPage_, 1);
        linesDone_ = CheckedAdd(linesDone_, 1);
    }
    if (OnProgress) OnProgress(*this, pageNumber_, linesOnPage_, linesDone_, totalLines_);
    PopReport();
}

bool TFormatter::IsTallerThanAPage(const TBox& box) const {
    const TBoxGroup* group = box.AsGroup();
    return size_.Y > 0 && group && group->MainAxis() == HorzAxis && box.Height() > pageRoom_;
}

void TFormatter::FlowInBands(TBox& box) {
    const auto positions = std::make_shared<const std::vector<TPoint>>(RecordPositions(box));
    const auto rows = UncutRows(box);
    for (std::int32_t from = 0; from < box.Height();) {
        const std::int32_t limit = CheckedAdd(from, std::max<std::int32_t>(remainingHeight_, 0));
        std::int32_t cut = limit >= box.Height() ? box.Height() : BandCut(rows, from, limit);
        if (cut <= from) {
            // Not even the next line fits the rest of this page: on to the
            // next; a line taller than a whole page is cut where the page
            // ends.
            if (linesOnPage_ > 0) {
                PageBreak();
                continue;
            }
            cut = std::max(limit, CheckedAdd(from, std::int32_t{1}));
        }
        bands_.push_back(std::make_unique<TBandBox>(box, from, CheckedSub(std::min(cut, box.Height()), from), positions));
        pageBox_->Add(*bands_.back());
        linesOnPage_ = CheckedAdd(linesOnPage_, 1);
        remainingHeight_ = CheckedSub(remainingHeight_, bands_.back()->Height());
        from = cut;
        if (from < box.Height()) PageBreak();
    }
    linesDone_ = CheckedAdd(linesDone_, box.LineCount());
}

void TFormatter::ResetRunState() {
    pageBox_->SetPage(origin_, size_);
    headerBox_.reset();
    footerBox_.reset();
    headingBox_.reset();
    bands_.clear();
    flowed_.clear();
    headerGroup_ = footerGroup_ = headingGroup_ = nullptr;
    currentSection_ = nullptr;
    currentTable_ = nullptr;
    stack_.clear();
    pageSection_ = nullptr;
    pageTable_ = nullptr;
    pageFurniture_ = {};
    fontApplied_ = false;
    penApplied_ = false;
    lineHeight_ = -1;
    outerLineHeights_.clear();
    formatting_ = false;
    if (report_.GetFormatter() == this) report_.SetFormatter(nullptr);
}

void TFormatter::Run() {
    aborted_ = false;
    struct ResetOnExit {
        TFormatter& formatter;
        ~ResetOnExit() {
            formatter.ResetRunState();
            // The run's boxes are gone by now: their memory goes back.
            detail::ReleaseUnusedBoxMemory();
        }
    } reset{*this};
    // Cells are measured once for the whole run: the deferred boxes are
    // built again during the flow.
    const TWidthCache::TScope remembering(widths_);
    // Declared after the guard so that the box tree goes first, while the
    // report still knows its formatter.
    std::unique_ptr<TBox> box = BuildReportBox();
    if (aborted_) return;
    BeginFormatting();
    NewPage();
    FlowBox(*box);
    EndPage();
    EndFormatting();
}

}  // namespace mivo
