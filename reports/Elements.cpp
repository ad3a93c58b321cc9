#include "reports/Elements.h"

#include <algorithm>

#include "model/Locale.h"
#include "model/RunTime.h"
#include "model/Utils.h"
#include "reports/Boxes.h"
#include "reports/Formatter.h"
#include "reports/Graphics.h"
#include "reports/Report.h"
#include "reports/Utf8Text.h"

namespace mivo {

// --- TRpt ------------------------------------------------------------------

TRpt::TRpt(TRpt* owner) : owner_(owner) {}

TRpt::~TRpt() = default;

TReport* TRpt::GetReport() const {
    const TRpt* root = this;
    while (root->owner_) root = root->owner_;
    return dynamic_cast<TReport*>(const_cast<TRpt*>(root));
}

TFormatter* TRpt::GetFormatter() const {
    // The root's answer (a report's), found without asking every owner on
    // the way: elements ask for it all the time while they are laid out.
    const TRpt* root = this;
    while (root->owner_) root = root->owner_;
    return root == this ? nullptr : root->GetFormatter();
}

void TRpt::SetFont(const TFont* font) {
    if (font == font_.get()) return;
    if (font) font_ = std::make_unique<TFont>(*font);
    else font_.reset();
}

const TFont* TRpt::GetEffectiveFont() const {
    for (const TRpt* e = this; e; e = e->owner_)
        if (e->font_) return e->font_.get();
    return nullptr;
}

void TRpt::SetPen(const TPen* pen) {
    if (pen == pen_.get()) return;
    if (pen) pen_ = std::make_unique<TPen>(*pen);
    else pen_.reset();
}

const TPen* TRpt::GetEffectivePen() const {
    for (const TRpt* e = this; e; e = e->owner_)
        if (e->pen_) return e->pen_.get();
    return nullptr;
}

std::unique_ptr<TBox> TRpt::CreateNaturalBox() {
    auto box = CreateBox();
    box->SizeToNatural();
    return box;
}

std::unique_ptr<TBox> TRpt::CreateBoxForWidth(std::int32_t width) {
    auto box = CreateBox();
    box->SetFixedWidth(width);
    return box;
}

void TRpt::EnsureFont() {
    if (!font_) SetFont(GetEffectiveFont());
    MIVO_ASSERT(font_, "Report font is undefined");
}

void TRpt::SetFontSize(int mode, std::int32_t value) {
    EnsureFont();
    std::int32_t size = font_->Size;
    switch (mode) {
        case fcAdd: size = CheckedAdd(size, value); break;
        case fcSubtract: size = CheckedSub(size, value); break;
        case fcSet: size = value; break;
        default: return;
    }
    // A font has at least one point: a size of 0 or less would mean "any
    // size" or a character height to a drawing surface.
    font_->Size = std::max<std::int32_t>(size, MinFontSize);
}

void TRpt::SetFontStyle(int mode, TFontStyles styles) {
    EnsureFont();
    switch (mode) {
        case fcAdd: font_->Style = static_cast<TFontStyles>(font_->Style | styles); break;
        case fcSubtract: font_->Style = static_cast<TFontStyles>(font_->Style & ~styles); break;
        case fcSet: font_->Style = styles; break;
        default: break;
    }
}

void TRpt::SetBold(bool on) { SetFontStyle(on ? fcAdd : fcSubtract, fsBold); }

void TRpt::SetFontColor(TColor color) {
    EnsureFont();
    font_->Color = color;
}

// --- leaves ------------------------------------------------------------------

std::unique_ptr<TBox> TRptElement::CreateBox() { return std::make_unique<TFillBox>(this); }

// A rule marker's box spans the height of its line, so that its alignment
// puts the rule at the top, middle or bottom of the whole line, also when a
// cell of the line wraps onto several text lines.
TRptLiner::TRptLiner(TRpt* owner) : TRptElement(owner) {
    VertAlign = alEnd;
    VertPlacement = plStretch;
}

TRptLiner::~TRptLiner() {
    SetPartner(nullptr);
    if (box_) box_->DetachLiner();
}

void TRptLiner::SetPartner(TRptLiner* partner) {
    if (partner_ == partner) return;
    // Links are kept symmetric, so that neither liner ever points at a
    // freed one.
    if (partner_ && partner_->partner_ == this) partner_->partner_ = nullptr;
    partner_ = partner;
    if (partner) {
        if (partner->partner_ && partner->partner_->partner_ == partner) partner->partner_->partner_ = nullptr;
        partner->partner_ = this;
    }
}

std::unique_ptr<TBox> TRptLiner::CreateBox() { return std::make_unique<TLinerBox>(this); }

std::unique_ptr<TBox> TRptText::CreateBox() { return std::make_unique<TTextBox>(this); }

namespace {

// The text after the keyword, trimmed, when text begins with keyword.
bool MatchKeyword(const std::string& text, std::string_view keyword, std::string& argument) {
    if (text.compare(0, keyword.size(), keyword) != 0) return false;
    argument = Trim(std::string_view(text).substr(keyword.size()));
    return true;
}

std::string SectionMacro(const TRptSection* section, const std::string& argument) {
    if (!section) return {};
    if (argument == "TITLE") return section->GetTitle();
    if (argument == "NUMBERS") return section->GetNumberPath();
    return std::to_string(section->Number);
}

std::string DateTimeMacro(const TFormatter& formatter, const std::string& argument, const std::string& shortFormat,
                          const std::string& longFormat) {
    const std::string& format = argument.empty() || argument == "SHORT" ? shortFormat
                                : argument == "LONG"                    ? longFormat
                                                                        : argument;
    return FormatDateTime(format, formatter.StartTime(), formatter.DateFormats());
}

}  // namespace

std::string TRptMacro::GetText() {
    text_ = UpperCaseAscii(Trim(text_));
    if (text_.empty()) return {};
    TFormatter* formatter = GetFormatter();
    if (!formatter) return "<Unknown Formatter>";
    const TDateFormats& formats = formatter->DateFormats();
    std::string arg;
    if (MatchKeyword(text_, "PAGE", arg))
        return std::to_string(
            CheckedSub(CheckedAdd(formatter->PageNumber(), formatter->GetFirstPageNumber()), std::int32_t{1}));
    if (MatchKeyword(text_, "TITLE", arg)) return formatter->Report().GetTitle();
    if (MatchKeyword(text_, "SECTION", arg)) return SectionMacro(formatter->CurrentSection(), arg);
    if (MatchKeyword(text_, "TABLE", arg)) return SectionMacro(formatter->CurrentTable(), arg);
    if (MatchKeyword(text_, "DATETIME", arg))
        return DateTimeMacro(*formatter, arg, formats.ShortDate + " " + formats.ShortTime,
                             formats.LongDate + " " + formats.LongTime);
    if (MatchKeyword(text_, "DATE", arg)) return DateTimeMacro(*formatter, arg, formats.ShortDate, formats.LongDate);
    if (MatchKeyword(text_, "TIME", arg)) return DateTimeMacro(*formatter, arg, formats.ShortTime, formats.LongTime);
    return "[" + text_ + "]";
}

TRptTree::TRptTree(TRpt* owner) : TRptText(owner) { VertPlacement = plStretch; }

std::unique_ptr<TBox> TRptTree::CreateBox() { return std::make_unique<TTreeBox>(this); }

std::string TreeContinuation(const std::string& keys) {
    std::string continued;
    for (char32_t key : DecodeCodePoints(keys))
        continued += EncodeCodePoint(key == TreeKeyVertical || key == TreeKeyTee ? TreeKeyVertical : TreeKeyBlank);
    return continued;
}

TRptField::TRptField(TRpt* owner) : TRptText(owner) {}

TRptField::~TRptField() = default;

void TRptField::SetBox(std::unique_ptr<TTextBox> box) {
    box_ = std::move(box);
    if (box_) box_->SetElement(this);
}

std::unique_ptr<TBox> TRptDraw::CreateBox() { return std::make_unique<TDrawBox>(this); }

}  // namespace mivo
