#include "reports/Report.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>
#include <typeinfo>
#include <vector>

#include "model/RunTime.h"
#include "reports/Boxes.h"
#include "reports/Formatter.h"
#include "reports/LineBreaks.h"
#include "reports/Utf8Text.h"

namespace mivo {

// --- TRptParagraph ------------------------------------------------------------

TRptParagraph::TRptParagraph(TRpt* owner) : TRptVerticalGroup(owner) {}

TRptParagraph::~TRptParagraph() = default;

TRptText& TRptParagraph::Affix(std::unique_ptr<TRptText>& affix) {
    if (!affix) affix = std::make_unique<TRptText>(this);
    return *affix;
}

TRptText& TRptParagraph::AffixOrEmpty(TRptText* affix) { return affix ? *affix : Affix(emptyAffix_); }

std::unique_ptr<TBox> TRptParagraph::CreateNaturalBox() { return CreateBoxForWidth(-1); }

namespace {

// The width of "a few characters", the least a wrapped column keeps.
constexpr const char* FewCharacters = "0000";

// A text box showing blanks only (the blanks between words).
bool IsSpaceBox(TBox& box) {
    auto* text = dynamic_cast<TTextBox*>(&box);
    if (!text) return false;
    const std::string shown = text->GetDisplayText();
    return !shown.empty() && shown.find_first_not_of(' ') == std::string::npos;
}

// Fills a paragraph's box line by line. Every line box holds the prefix
// and the suffix; content boxes go between them.
class TLineFiller {
public:
    TLineFiller(TRptParagraph& paragraph, TBoxGroup& box, std::int32_t width)
        : paragraph_(paragraph), box_(box), width_(width) {}

    // Every level of a tree prefix takes `width` on every line.
    void CompressTreeLevels(std::int32_t width) { treeLevel_ = width; }

    void StartLine() {
        auto line = std::make_unique<THorizontalBox>(&paragraph_);
        line_ = line.get();
        lineWidth_ = 0;
        TRptText& prefix = paragraph_.AffixOrEmpty(box_.Count() == 0 ? paragraph_.FirstPrefixIfAny()
                                                                     : paragraph_.NextPrefixIfAny());
        std::unique_ptr<TBox> prefixBox = prefix.CreateNaturalBox();
        if (auto* tree = dynamic_cast<TTreeBox*>(prefixBox.get()); tree && treeLevel_ >= 0) CompressTree(*tree);
        Append(std::move(prefixBox));
        Append(paragraph_.AffixOrEmpty(paragraph_.LineSuffixIfAny()).CreateNaturalBox());
        frameWidth_ = lineWidth_;
        box_.Add(std::move(line));
    }

    // A compressed prefix leaves a few characters of the line to the text
    // (or half the line, where that is less), even where its levels at one
    // unit each would take more (a deep chain in a narrow column of text):
    // it then shows its innermost levels.
    void CompressTree(TTreeBox& tree) const {
        tree.CompressLevels(treeLevel_);
        if (width_ <= 0) return;
        TFormatter& formatter = FormatterOf(paragraph_);
        formatter.PushReport(&paragraph_);
        const std::int32_t few = formatter.TextWidth(FewCharacters);
        formatter.PopReport();
        tree.LimitWidth(std::max(width_ / 2, CheckedSub(width_, few)));
    }

    // More than prefix and suffix on the line, and w does not fit.
    bool Overflows(std::int32_t w) const {
        return line_->Count() > 2 && width_ >= 0 && CheckedAdd(lineWidth_, w) > width_;
    }

    // The width for content on a line of its own, prefix and suffix apart.
    std::int32_t LineRoom() const { return CheckedSub(width_, frameWidth_); }
    // The width still free on the current line.
    std::int32_t FreeRoom() const { return CheckedSub(width_, lineWidth_); }
    bool LineEmpty() const { return line_->Count() <= 2; }

    void FinishLine() {
        if (width_ > 0) line_->SetFixedWidth(width_);
        else line_->SizeToNatural();
    }

    // Finishes the line and starts the next. With `carryWord` the boxes
    // after the line's last blank (a word built of several texts, such as
    // a value and the ";" after it) go on to the new line with what follows
    // them, so that the line does not break inside the word; a line that
    // holds nothing but that word keeps it.
    void BreakLine(bool carryWord = false) {
        std::vector<std::unique_ptr<TBox>> carried;
        if (carryWord) {
            int first = line_->Count() - 1;  // the suffix
            while (first > 1 && !IsSpaceBox(*line_->GetItem(first - 1))) --first;
            if (first > 2) {
                while (line_->Count() - 1 > first) {
                    std::unique_ptr<TBox> box = line_->TakeBox(first);
                    lineWidth_ = CheckedSub(lineWidth_, box->Width());
                    carried.push_back(std::move(box));
                }
                // The blank before the word ends the line: it goes too.
                lineWidth_ = CheckedSub(lineWidth_, line_->GetItem(first - 1)->Width());
                line_->TakeBox(first - 1);
            }
        }
        FinishLine();
        StartLine();
        for (auto& box : carried) Insert(std::move(box));
    }

    // The box goes before the line's suffix, on a new line when it does not
    // fit.
    void AddBox(std::unique_ptr<TBox> box) {
        if (Overflows(box->Width())) BreakLine();
        Insert(std::move(box));
    }

    THorizontalBox& Line() const { return *line_; }

private:
    void Append(std::unique_ptr<TBox> box) {
        lineWidth_ = CheckedAdd(lineWidth_, box->Width());
        line_->Add(std::move(box));
    }

    void Insert(std::unique_ptr<TBox> box) {
        lineWidth_ = CheckedAdd(lineWidth_, box->Width());
        line_->Insert(line_->Count() - 1, std::move(box));
    }

    TRptParagraph& paragraph_;
    TBoxGroup& box_;
    std::int32_t width_;
    THorizontalBox* line_ = nullptr;
    std::int32_t lineWidth_ = 0;
    std::int32_t frameWidth_ = 0;
    std::int32_t treeLevel_ = -1;
};

// A box over characters [start, start + length) (0-based) of the text.
std::unique_ptr<TBox> MakePartBox(TRptText& text, std::size_t start, std::size_t length, bool stretch) {
    auto box = text.CreateBox();
    auto* textBox = dynamic_cast<TTextBox*>(box.get());
    MIVO_ASSERT(textBox, "Text element without text box");
    textBox->SetRange(CheckedCast<std::int32_t>(start + 1), CheckedCast<std::int32_t>(length));
    textBox->SizeToNatural();
    if (stretch) textBox->HorzPlacement = plStretch;
    return box;
}

// How many characters of the word, from its start, go on a line with
// `room` free: the most that fit, cut after the last "," or ";" among them
// when there is one; at least one character.
std::size_t WordPieceLength(TFormatter& formatter, std::u32string_view word, std::int32_t room) {
    std::size_t fits = 0;  // the most characters known to fit
    std::size_t low = 1, high = word.size();
    while (low <= high) {
        const std::size_t mid = low + (high - low) / 2;
        if (formatter.TextWidth(EncodeCodePoints(word.substr(0, mid))) <= room) {
            fits = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    if (fits == 0) return 1;
    for (std::size_t n = fits; n > 0; --n)
        if (word[n - 1] == U',' || word[n - 1] == U';') return n;
    return fits;
}

// Adds the word's boxes; a word wider than a whole line is broken into
// pieces that fill their lines (after a "," or ";" where one fits), the
// last piece going on with the text.
void AddWord(TLineFiller& filler, TFormatter& formatter, TRptText& text, const std::u32string& chars,
             std::size_t start, std::size_t length, std::int32_t tokenWidth) {
    const std::int32_t room = filler.LineRoom();
    while (tokenWidth > room && length > 1 && room > 0) {
        const std::u32string_view word = std::u32string_view(chars).substr(start, length);
        if (formatter.TextWidth(EncodeCodePoints(word)) <= room) break;
        if (!filler.LineEmpty()) filler.BreakLine();
        const std::size_t piece = std::min(length - 1, WordPieceLength(formatter, word, filler.FreeRoom()));
        filler.AddBox(MakePartBox(text, start, piece, false));
        filler.BreakLine();
        start += piece;
        length -= piece;
    }
    filler.AddBox(MakePartBox(text, start, length, false));
}

// A box showing one blank over no part of the text: an empty line of a
// text, or the blank between two lines joined into one.
std::unique_ptr<TBox> MakeBlankBox(TRptText& text) {
    auto box = text.CreateBox();
    auto* textBox = dynamic_cast<TTextBox*>(box.get());
    MIVO_ASSERT(textBox, "Text element without text box");
    textBox->SetRange(1, 0);
    textBox->SetLead(" ");
    textBox->SizeToNatural();
    return box;
}

// Splits characters [begin, end) of the text into tokens (a run of blanks,
// then a run of non-blanks up to the next blank or the next place a line
// may break without one, as between ideographs) and adds their boxes; at a line break the
// blanks are dropped. A text that goes on from the previous one without a
// blank (a value and the ";" after it) takes the end of that one along
// when it breaks the line.
void WrapLine(TLineFiller& filler, TFormatter& formatter, TRptText& text, const std::u32string& chars,
              std::size_t begin, std::size_t end, bool justify) {
    std::size_t pos = begin;
    while (pos < end) {
        std::size_t spaceStart = pos;
        while (pos < end && chars[pos] == U' ') ++pos;
        std::size_t wordStart = pos;
        while (pos < end && chars[pos] != U' ' && !(pos > wordStart && MayBreakBetween(chars[pos - 1], chars[pos])))
            ++pos;
        std::size_t spaces = wordStart - spaceStart;
        std::size_t word = pos - wordStart;
        std::int32_t w = formatter.TextWidth(EncodeCodePoints(std::u32string_view(chars).substr(spaceStart, pos - spaceStart)));
        if (filler.Overflows(w)) {
            filler.BreakLine(spaceStart == 0 && spaces == 0);
            spaces = 0;
        }
        if (spaces > 0) filler.AddBox(MakePartBox(text, spaceStart, spaces, justify));
        if (word > 0) AddWord(filler, formatter, text, chars, wordStart, word, w);
    }
}

// Wraps the text line by line. Where the formatter keeps line breaks every
// line of the text starts a new line of the paragraph, an empty one
// showing a blank so that it keeps its height; otherwise the lines that
// are not empty follow each other with a blank between them.
void WrapText(TLineFiller& filler, TRptText& text, bool justify) {
    TFormatter& formatter = FormatterOf(text);
    formatter.PushReport(&text);
    const std::u32string chars = DecodeCodePoints(text.GetText());
    const bool keepBreaks = formatter.KeepsLineBreaks();
    bool firstLine = true;
    for (const TLineSpan& line : LineSpans(std::u32string_view(chars))) {
        if (keepBreaks) {
            if (!firstLine) filler.BreakLine();
            if (line.Length == 0 && (!firstLine || filler.LineEmpty())) filler.AddBox(MakeBlankBox(text));
        } else if (line.Length == 0) {
            continue;
        } else if (!firstLine) {
            // The blank goes with the line's first word, as blanks do.
            const std::u32string_view rest = std::u32string_view(chars).substr(line.Start, line.Length);
            auto blank = MakeBlankBox(text);
            const std::int32_t word = formatter.TextWidth(EncodeCodePoints(rest.substr(0, rest.find(U' '))));
            if (filler.Overflows(CheckedAdd(blank->Width(), word))) filler.BreakLine();
            else filler.AddBox(std::move(blank));
        }
        firstLine = false;
        WrapLine(filler, formatter, text, chars, line.Start, line.Start + line.Length, justify);
    }
    formatter.PopReport();
}

// The width of one level of the paragraph's tree prefix where its table
// compresses the prefixes of its column (TRptTable::TreeLevelWidth); -1
// for the prefix's own width.
std::int32_t CompressedTreeLevel(const TRptParagraph& paragraph) {
    auto* cell = dynamic_cast<const TRptCell*>(paragraph.Owner());
    const TRptTable* table = cell ? cell->GetTable() : nullptr;
    return table ? table->TreeLevelWidth(cell->FirstColumn) : -1;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// A number ("210", "27/729", "12.50%") or a "value:count" item, with the
// "," or ";" after it: a piece of text that must not break.
bool IsNumberOrCount(std::u32string_view piece) {
    while (!piece.empty() && (piece.back() == U',' || piece.back() == U';')) piece.remove_suffix(1);
    const auto colon = piece.rfind(U':');
    const std::u32string_view number = colon == std::u32string_view::npos ? piece : piece.substr(colon + 1);
    if (number.empty() || std::none_of(number.begin(), number.end(), IsDigit)) return false;
    return std::all_of(number.begin(), number.end(), [](char32_t c) {
        return IsDigit(c) || c == U'.' || c == U'%' || c == U'/' || c == U'-' || c == U'+';
    });
}

// A text among the children holds a line break that the formatter shows.
bool BreaksLines(const std::vector<std::unique_ptr<TRpt>>& children) {
    for (const auto& child : children) {
        auto* text = dynamic_cast<TRptText*>(child.get());
        if (text && HasLineBreak(text->GetText())) return FormatterOf(*text).KeepsLineBreaks();
    }
    return false;
}

}  // namespace

std::unique_ptr<TBox> TRptParagraph::CreateBoxForWidth(std::int32_t width) {
    EndLiner();
    auto box = CreateGroupBox();
    // A text of several lines is laid out line by line, at any width.
    const bool breaksLines = BreaksLines(Children());
    TLineFiller filler(*this, *box, breaksLines && width < 1 ? -1 : width);
    // Texts that fit on one line are laid out whole, as a line would lay
    // them out; only a paragraph wider than its width is broken into words.
    std::vector<std::unique_ptr<TBox>> whole;
    std::int64_t wholeWidth = 0;
    for (const auto& child : Children()) {
        // An empty text shows nothing and, wrapped, adds no box.
        if (auto* text = dynamic_cast<TRptText*>(child.get()); text && width > 0 && text->GetText().empty()) continue;
        whole.push_back(child->CreateNaturalBox());
        wholeWidth += whole.back()->Width();
    }
    if (HasTreePrefix() && width > 0) filler.CompressTreeLevels(CompressedTreeLevel(*this));
    filler.StartLine();
    if (!breaksLines && (width < 1 || wholeWidth <= filler.LineRoom())) {
        for (auto& child : whole) filler.AddBox(std::move(child));
    } else {
        whole.clear();
        for (const auto& child : Children()) {
            auto* text = dynamic_cast<TRptText*>(child.get());
            if (text) WrapText(filler, *text, Justify);
            else filler.AddBox(child->CreateNaturalBox());
        }
    }
    if (Justify) {
        THorizontalBox& last = filler.Line();
        for (int i = 0; i < last.Count(); ++i)
            if (TBox* b = last.GetItem(i)) b->HorzPlacement = plStart;
    }
    filler.FinishLine();
    if (width < 1) box->SizeToNatural();
    else box->SetFixedWidth(width);
    return box;
}

TRptParagraph::TPieceWidths TRptParagraph::MeasurePieces() {
    // A piece runs from a blank or line break (or a "," or ";" it ends
    // after, or a place a line may break without a blank) to the next,
    // across the texts of the paragraph; a number or a
    // "value:count" item must not break.
    TPieceWidths widths;
    std::int64_t piece = 0;
    std::u32string chars;  // the piece's characters
    auto endPiece = [&] {
        const auto w = CheckedCast<std::int32_t>(piece);
        widths.widest = std::max(widths.widest, w);
        if (IsNumberOrCount(chars)) widths.unbreakable = std::max(widths.unbreakable, w);
        piece = 0;
        chars.clear();
    };
    for (const auto& child : Children()) {
        auto* text = dynamic_cast<TRptText*>(child.get());
        if (!text) {
            endPiece();
            const std::int32_t w = child->CreateNaturalBox()->Width();
            widths.widest = std::max(widths.widest, w);
            widths.unbreakable = std::max(widths.unbreakable, w);
            continue;
        }
        TFormatter& formatter = FormatterOf(*text);
        formatter.PushReport(text);
        const std::u32string all = DecodeCodePoints(text->GetText());
        std::size_t from = 0;
        auto addPart = [&](std::size_t to) {
            if (to > from) {
                const std::u32string_view part = std::u32string_view(all).substr(from, to - from);
                piece += formatter.TextWidth(EncodeCodePoints(part));
                chars += part;
            }
            from = to;
        };
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i > from && MayBreakBetween(all[i - 1], all[i])) {
                addPart(i);
                endPiece();
            }
            if (all[i] == U' ' || all[i] == U'\r' || all[i] == U'\n') {
                addPart(i);
                endPiece();
                from = i + 1;
            } else if (all[i] == U',' || all[i] == U';') {
                addPart(i + 1);
                endPiece();
            }
        }
        addPart(all.size());
        formatter.PopReport();
    }
    endPiece();
    return widths;
}

namespace {

// The width of a prefix or suffix; one never made is empty.
std::int32_t AffixWidth(TRptText* affix) { return affix ? affix->CreateNaturalBox()->Width() : 0; }

}  // namespace

std::int32_t TRptParagraph::PrefixWidth() {
    return std::max(AffixWidth(FirstPrefixIfAny()), AffixWidth(NextPrefixIfAny()));
}

std::int32_t TRptParagraph::SuffixWidth() { return AffixWidth(LineSuffixIfAny()); }

std::int32_t TRptParagraph::MinimumWidth() {
    const TPieceWidths pieces = MeasurePieces();
    TFormatter& formatter = FormatterOf(*this);
    formatter.PushReport(this);
    const std::int32_t few = formatter.TextWidth(FewCharacters);
    formatter.PopReport();
    const std::int32_t content = std::max(std::min(few, pieces.widest), pieces.unbreakable);
    // A tree prefix compresses down to the width its text keeps.
    std::int32_t prefix = PrefixWidth();
    if (HasTreePrefix()) prefix = std::min(prefix, content);
    return CheckedAdd(CheckedAdd(prefix, SuffixWidth()), content);
}

std::int32_t TRptParagraph::WordWidth() {
    return CheckedAdd(CheckedAdd(PrefixWidth(), SuffixWidth()), MeasurePieces().widest);
}

void TRptParagraph::SetTreePrefix(const std::string& keys, bool stem) {
    auto first = std::make_unique<TRptTree>(this);
    first->SetText(keys);
    first->Stem = stem;
    auto next = std::make_unique<TRptTree>(this);
    next->SetText(TreeContinuation(keys));
    next->Stem = stem;
    firstPrefix_ = std::move(first);
    nextPrefix_ = std::move(next);
    treePrefix_ = true;
}

// The prefixes are tree prefixes only when SetTreePrefix made them (FirstPrefix
// makes a plain text).
bool TRptParagraph::HasTreePrefix() const { return treePrefix_; }

// --- TRptSection ------------------------------------------------------------------

TRptSection::TRptSection(TRpt* owner) : TRptVerticalGroup(owner), heading_(std::make_unique<TRptHVGroup>(this)) {}

TRptSection::~TRptSection() = default;

std::string TRptSection::GetNumberPath() const {
    std::string path = std::to_string(Number);
    for (const TRpt* e = Owner(); e; e = e->Owner())
        if (auto* section = dynamic_cast<const TRptSection*>(e)) path = std::to_string(section->Number) + "." + path;
    return path;
}

// --- TRptTable --------------------------------------------------------------------

TRptTable::TRptTable(TRpt* owner) : TRptSection(owner), headingLine_(std::make_unique<TRptLine>(this)) {}

TRptTable::~TRptTable() = default;

const std::vector<TRptField*>& TRptTable::Fields() const {
    // Rebuilt whenever the heading line has changed its length, so that a
    // table of many columns finds a field at once.
    if (indexedItems_ != headingLine_->Count()) {
        fields_.clear();
        for (int i = 0; i < headingLine_->Count(); ++i)
            if (auto* field = dynamic_cast<TRptField*>(headingLine_->GetItem(i))) fields_.push_back(field);
        indexedItems_ = headingLine_->Count();
    }
    return fields_;
}

int TRptTable::FieldCount() const { return static_cast<int>(Fields().size()); }

TRptField* TRptTable::GetField(int n) const {
    const auto& fields = Fields();
    return n < 0 || n >= static_cast<int>(fields.size()) ? nullptr : fields[static_cast<std::size_t>(n)];
}

std::int32_t TRptTable::GetColumnWidth(int n) const {
    TRptField* field = GetField(n);
    return field && field->HeadingBox() ? field->HeadingBox()->Width() : 0;
}

void TRptTable::SetColumnWidth(int n, std::int32_t width) {
    TRptField* field = GetField(n);
    if (field && field->HeadingBox()) field->HeadingBox()->SetWidth(width);
}

std::int32_t TRptTable::GetColumnLeft(int n) const {
    TRptField* field = GetField(n);
    return field && field->HeadingBox() ? field->HeadingBox()->Left() : 0;
}

std::int32_t TRptTable::TreeLevelWidth(int n) const {
    return n >= 0 && n < std::ssize(treeLevels_) ? treeLevels_[static_cast<std::size_t>(n)] : -1;
}

void TRptTable::SetTreeLevelWidth(int n, std::int32_t width) {
    if (n < 0) return;
    if (n >= std::ssize(treeLevels_)) treeLevels_.resize(static_cast<std::size_t>(n) + 1, -1);
    treeLevels_[static_cast<std::size_t>(n)] = width;
}

TTreeColumn MeasureTreeColumn(const std::vector<TRptCell*>& cells) {
    TTreeColumn column;
    for (TRptCell* cell : cells) {
        TRptParagraph* item = cell->TreeItem();
        if (!item) continue;
        column.Deepest = std::max(column.Deepest, item->FirstPrefix().CreateNaturalBox()->Width());
        column.Levels = std::max(column.Levels, CheckedCast<std::int32_t>(CodePointCount(item->FirstPrefix().GetText())));
        column.Natural = std::max(column.Natural, cell->MeasureNaturalWidth());
    }
    return column;
}

std::int32_t TreeLevelWidthFor(const TTreeColumn& column, std::int32_t width) {
    if (width <= 0 || column.Levels == 0 || column.Natural <= width || column.Deepest <= width / 2) return -1;
    return std::max<std::int32_t>(1, width / 2 / column.Levels);
}

std::int32_t TRptTable::SeparatorWidth() const {
    if (FieldCount() < 2) return 0;
    return CheckedSub(GetColumnLeft(1), CheckedAdd(GetColumnLeft(0), GetColumnWidth(0)));
}

TRptField* TRptTable::AddField(std::string heading) {
    if (!Separator.empty() && FieldCount() > 0) headingLine_->AddText(Separator);
    auto field = std::make_unique<TRptField>(headingLine_.get());
    TRptField* raw = field.get();
    raw->SetText(std::move(heading));
    headingLine_->Add(std::move(field));
    return raw;
}

TRptRow* TRptTable::NewRow() { return AddNew<TRptRow>(); }

std::vector<std::vector<TRptCell*>> TRptTable::OneColumnCells() const {
    std::vector<std::vector<TRptCell*>> cells(static_cast<std::size_t>(FieldCount()));
    for (int r = 0; r < Count(); ++r) {
        auto* row = dynamic_cast<TRptRow*>(GetItem(r));
        if (!row) continue;
        for (int k = 0; k < row->Count(); ++k) {
            auto* cell = dynamic_cast<TRptCell*>(row->GetItem(k));
            if (!cell || cell->FirstColumn != cell->LastColumn || cell->FirstColumn < 0 ||
                cell->FirstColumn >= static_cast<std::int32_t>(cells.size()))
                continue;
            cells[static_cast<std::size_t>(cell->FirstColumn)].push_back(cell);
        }
    }
    return cells;
}

std::int32_t TreeColumnCeiling(std::int32_t room) {
    return static_cast<std::int32_t>(std::int64_t{room} * TreeColumnSharePercent / 100);
}

TColumnLimits ColumnLimits(const TRptField& field, const std::vector<TRptCell*>& cells, std::int32_t width,
                           std::int32_t room) {
    if (!field.WidthIsProportional()) return {width, width, width, width, width};
    return ColumnLimits(field, MeasureColumnNeeds(cells), width, room);
}

TColumnNeeds MeasureColumnNeeds(const std::vector<TRptCell*>& cells) {
    TColumnNeeds needs;
    for (TRptCell* cell : cells) {
        const std::int32_t words = cell->MeasureWordWidth();
        needs.words = std::max(needs.words, words);
        if (!cell->InHeadingRow()) needs.bodyWords = std::max(needs.bodyWords, words);
        const std::int32_t least = cell->MeasureMinimumWidth();
        needs.least = std::max(needs.least, least);
        needs.tree = needs.tree || cell->HoldsTree();
        if (!cell->WrapsAtAnyWidth()) needs.unwrapped = std::max(needs.unwrapped, least);
    }
    return needs;
}

TColumnLimits ColumnLimits(const TRptField& field, const TColumnNeeds& needs, std::int32_t width, std::int32_t room) {
    if (!field.WidthIsProportional()) return {width, width, width, width, width};
    TColumnLimits limits{needs.words, needs.bodyWords, std::min(needs.least, width), width};
    limits.lastResort = std::min(limits.least, needs.unwrapped);
    if (needs.tree) limits.most = std::max(limits.least, std::min(width, TreeColumnCeiling(room)));
    limits.words = std::clamp(limits.words, limits.least, limits.most);
    limits.bodyWords = std::clamp(limits.bodyWords, limits.least, limits.words);
    return limits;
}

void FitColumnWidths(std::vector<std::int32_t>& widths, const std::vector<TColumnLimits>& limits, std::int32_t room) {
    auto sum = [](const std::vector<std::int32_t>& v) { return std::accumulate(v.begin(), v.end(), std::int64_t{0}); };
    if (sum(widths) <= room) return;
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = std::min(widths[i], limits[i].most);
    // Words keep their width where some allocation gives it to them all,
    // those of the rows before those of the heading; only where none does
    // are they broken, the widest columns first; and only where no floor
    // of a few characters fits do the widest columns go below it.
    for (auto floorOf : {&TColumnLimits::words, &TColumnLimits::bodyWords, &TColumnLimits::least,
                         &TColumnLimits::lastResort}) {
        std::vector<std::int32_t> floors;
        for (std::size_t i = 0; i < widths.size(); ++i) floors.push_back(std::min(limits[i].*floorOf, widths[i]));
        if (sum(floors) <= room || floorOf == &TColumnLimits::lastResort) {
            NarrowColumns(widths, floors, room);
            return;
        }
        widths = std::move(floors);
    }
}

void NarrowColumns(std::vector<std::int32_t>& widths, const std::vector<std::int32_t>& floors, std::int32_t room) {
    auto total = [&](std::int32_t cap) {
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) sum += std::max(floors[i], std::min(widths[i], cap));
        return sum;
    };
    if (widths.empty() || total(std::numeric_limits<std::int32_t>::max()) <= room) return;
    // The largest cap under which the columns fit; with none, every
    // column at its floor.
    std::int32_t low = 0, high = *std::max_element(widths.begin(), widths.end());
    while (low < high) {
        const std::int32_t mid = low + (high - low + 1) / 2;
        if (total(mid) <= room) low = mid;
        else high = mid - 1;
    }
    for (std::size_t i = 0; i < widths.size(); ++i) widths[i] = std::max(floors[i], std::min(widths[i], low));
}

void TRptTable::ComputeColumns(std::int32_t width) {
    auto lineBox = width < 1 ? headingLine_->CreateNaturalBox() : headingLine_->CreateBoxForWidth(width);
    auto& line = dynamic_cast<TBoxGroup&>(*lineBox);

    // The fields with the index of their box in the line box.
    struct Column {
        TRptField* field;
        int box;
    };
    std::vector<Column> columns;
    for (int i = 0; i < headingLine_->Count(); ++i)
        if (auto* field = dynamic_cast<TRptField*>(headingLine_->GetItem(i))) columns.push_back({field, i});

    bool anyProportional = false;
    for (const Column& c : columns) anyProportional = anyProportional || c.field->WidthIsProportional();

    // Columns of natural width grow to their widest one-column cell.
    bool widened = false;
    if (anyProportional) {
        const auto cells = OneColumnCells();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].field->WidthIsProportional()) continue;
            TBox* fieldBox = line.GetItem(columns[c].box);
            for (TRptCell* cell : cells[c]) {
                std::int32_t cellWidth = cell->MeasureNaturalWidth();
                if (fieldBox->Width() < cellWidth) {
                    fieldBox->SetWidth(cellWidth);
                    widened = true;
                }
            }
        }
    }

    // On a page the columns of natural width give up what the table lacks,
    // the widest first: their paragraphs wrap.
    std::vector<bool> narrowed(columns.size(), false);
    if (width > 0 && anyProportional && line.Count() > 0) {
        std::int64_t total = 0, fields = 0;
        std::vector<std::int32_t> widths;
        for (int i = 0; i < line.Count(); ++i) total += line.GetItem(i)->Width();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::int32_t w = line.GetItem(columns[c].box)->Width();
            fields += w;
            widths.push_back(w);
        }
        if (total > width) {
            const auto cells = OneColumnCells();
            const auto room = CheckedCast<std::int32_t>(std::max<std::int64_t>(0, width - (total - fields)));
            std::vector<TColumnLimits> limits;
            for (std::size_t c = 0; c < columns.size(); ++c)
                limits.push_back(ColumnLimits(*columns[c].field, cells[c], widths[c], room));
            FitColumnWidths(widths, limits, room);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                narrowed[c] = widths[c] < line.GetItem(columns[c].box)->Width();
                line.GetItem(columns[c].box)->SetWidth(widths[c]);
            }
            widened = true;
        }
    }
    if (widened) {
        if (width < 1) line.SizeToNatural();
        else line.SetFixedWidth(width);
    }
    // Tree prefixes are compressed only in a column narrower than its items.
    treeLevels_.clear();
    if (std::find(narrowed.begin(), narrowed.end(), true) != narrowed.end()) {
        const auto cells = OneColumnCells();
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (narrowed[c])
                SetTreeLevelWidth(static_cast<int>(c),
                                  TreeLevelWidthFor(MeasureTreeColumn(cells[c]), line.GetItem(columns[c].box)->Width()));
    }

    // The field boxes stay with their fields; the line box goes.
    for (const Column& c : columns) {
        std::unique_ptr<TBox> box = line.ExtractBox(c.box);
        auto* textBox = dynamic_cast<TTextBox*>(box.get());
        MIVO_ASSERT(textBox, "Table field without text box");
        box.release();
        c.field->SetBox(std::unique_ptr<TTextBox>(textBox));
    }
}

std::unique_ptr<TBox> TRptTable::CreateNaturalBox() {
    ComputeColumns(-1);
    return TRptSection::CreateNaturalBox();
}

std::unique_ptr<TBox> TRptTable::CreateBoxForWidth(std::int32_t width) {
    ComputeColumns(width);
    return TRptSection::CreateBoxForWidth(width);
}

// --- TRptChunkedSection ---------------------------------------------------------

TRptChunkedSection::TRptChunkedSection(TRpt* owner)
    : TRptSection(owner), nextHeading_(std::make_unique<TRptLine>(this)) {}

TRptChunkedSection::~TRptChunkedSection() = default;

namespace {

// The narrowest width from `low` up to `high` at which the cell is at most
// `lines` times as tall as at `high` (where it takes one line): its
// paragraphs wrap into that many lines at most.
std::int32_t WidthForLines(TRptCell& cell, std::int32_t lines, std::int32_t low, std::int32_t high) {
    if (low >= high) return high;
    // The height of the content: a cell's own height measure is one line.
    auto height = [&](std::int32_t width) { return std::int64_t{cell.CreateBoxForWidth(width)->NaturalHeight()}; };
    const std::int64_t tallest = height(high) * std::max(1, lines);
    while (low < high) {
        const std::int32_t mid = low + (high - low) / 2;
        if (height(mid) <= tallest) high = mid;
        else low = mid + 1;
    }
    return low;
}

// Columns cut into runs that share a line: a run of several columns fits
// `room` after `lead` (the key columns) with a separator before each
// column; a run of one column fits whatever its width.
class TColumnRuns {
public:
    TColumnRuns(const std::vector<std::int64_t>& widths, std::int64_t lead, std::int64_t separator,
                std::int64_t room)
        : lead_(lead), separator_(separator), room_(room), sums_(widths.size() + 1, 0) {
        for (std::size_t i = 0; i < widths.size(); ++i) sums_[i + 1] = sums_[i] + widths[i];
    }

    std::size_t Count() const { return sums_.size() - 1; }

    bool Fits(std::size_t first, std::size_t size) const {
        if (size <= 1) return true;
        const std::int64_t separators = separator_ * static_cast<std::int64_t>(lead_ > 0 ? size : size - 1);
        return lead_ + separators + sums_[first + size] - sums_[first] <= room_;
    }

    // Each run as long as fits, at most `most` columns.
    std::vector<std::size_t> Greedy(std::size_t most) const {
        std::vector<std::size_t> runs;
        for (std::size_t next = 0; next < Count();) {
            std::size_t size = 1;
            while (next + size < Count() && size < most && Fits(next, size + 1)) ++size;
            runs.push_back(size);
            next += size;
        }
        return runs;
    }

    // Exactly `count` runs of `low` to `high` columns that all fit; empty
    // when there are none.
    std::vector<std::size_t> Within(std::size_t count, std::size_t low, std::size_t high) const {
        const std::size_t n = Count();
        // size[i][j]: the last run's size when the first i columns make j
        // runs (0: they cannot).
        std::vector<std::vector<std::size_t>> size(n + 1, std::vector<std::size_t>(count + 1, 0));
        std::vector<std::vector<bool>> reached(n + 1, std::vector<bool>(count + 1, false));
        reached[0][0] = true;
        for (std::size_t i = 1; i <= n; ++i)
            for (std::size_t j = 1; j <= count; ++j)
                for (std::size_t k = low; k <= std::min(high, i) && !reached[i][j]; ++k)
                    if (reached[i - k][j - 1] && Fits(i - k, k)) {
                        reached[i][j] = true;
                        size[i][j] = k;
                    }
        if (!reached[n][count]) return {};
        std::vector<std::size_t> runs(count);
        for (std::size_t i = n, j = count; j > 0; --j) {
            runs[j - 1] = size[i][j];
            i -= size[i][j];
        }
        return runs;
    }

    // As few runs as the greedy cut gives, their sizes as even as the
    // widths allow (the smallest spread of sizes, tried up to a few; past
    // that the greedy cut).
    std::vector<std::size_t> Balanced(std::size_t most) const {
        std::vector<std::size_t> runs = Greedy(most);
        const std::size_t count = runs.size();
        if (count < 2) return runs;
        const std::size_t even = Count() / count;
        for (std::size_t spread = 0; spread <= 3; ++spread) {
            for (std::size_t low = even >= spread ? even - spread : 0; low <= even; ++low) {
                const std::size_t high = std::min(most, low + spread);
                if (low < 1 || high * count < Count()) continue;
                if (std::vector<std::size_t> within = Within(count, low, high); !within.empty()) return within;
            }
        }
        return runs;
    }

private:
    std::int64_t lead_;
    std::int64_t separator_;
    std::int64_t room_;
    std::vector<std::int64_t> sums_;  // of the widths before each column
};

}  // namespace

std::int32_t TRptChunkedSection::KeyColumnWidth(int column, std::int32_t width) const {
    const std::int32_t natural = ChunkedTable->GetColumnWidth(column);
    if (width <= 0 || natural <= TreeColumnCeiling(width)) return natural;
    // A column of tree items gives up what is beyond its share of the width
    // (its items wrap), so it leaves the rest to the chunk's columns.
    const auto cells = ChunkedTable->OneColumnCells();
    for (TRptCell* cell : cells[static_cast<std::size_t>(column)])
        if (cell->HoldsTree()) return TreeColumnCeiling(width);
    return natural;
}

int TRptChunkedSection::KeyCount() const {
    return ChunkedTable ? std::min(std::max(0, KeyColumns), ChunkedTable->FieldCount()) : 0;
}

std::vector<int> TRptChunkedSection::ColumnsOfChunk(const std::vector<int>& chunk) const {
    std::vector<int> columns(static_cast<std::size_t>(KeyCount()));
    std::iota(columns.begin(), columns.end(), 0);
    columns.insert(columns.end(), chunk.begin(), chunk.end());
    return columns;
}

std::int32_t TRptChunkedSection::CompactWidth(const std::vector<TRptCell*>& cells, std::int32_t floor,
                                              std::int32_t natural) const {
    std::int32_t width = floor;
    for (TRptCell* cell : cells)
        if (!cell->InHeadingRow()) width = std::max(width, cell->MeasureNaturalWidth());
    for (TRptCell* cell : cells) {
        if (!cell->InHeadingRow() || width >= natural) continue;
        // Its words stay whole.
        width = WidthForLines(*cell, HeadingLines, std::max(width, cell->MeasureWordWidth()), natural);
    }
    return std::min(width, natural);
}

TRptChunkedSection::TColumnMeasures TRptChunkedSection::MeasureColumns(std::int32_t width) {
    TColumnMeasures m;
    ChunkedTable->ComputeColumns(-1);
    const int count = ChunkedTable->FieldCount();
    for (int c = 0; c < count; ++c) m.Natural.push_back(ChunkedTable->GetColumnWidth(c));
    m.Separator = ChunkedTable->SeparatorWidth();
    m.Floor = m.Natural;
    m.Compact = m.Natural;
    if (width <= 0) return m;
    m.Cells = ChunkedTable->OneColumnCells();
    m.Needs.resize(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) {
        if (!ChunkedTable->GetField(c)->WidthIsProportional()) continue;
        const auto k = static_cast<std::size_t>(c);
        const auto& cells = m.Cells;
        m.Needs[k] = MeasureColumnNeeds(cells[k]);
        m.Floor[k] = std::min(m.Natural[k], m.Needs[k].least);
        m.Compact[k] = CompactWidth(cells[k], m.Floor[k], m.Natural[k]);
    }
    return m;
}

std::vector<std::vector<int>> TRptChunkedSection::ColumnChunks(std::int32_t width) {
    if (!ChunkedTable) return {};
    // Without a width the chunks do not depend on the widths.
    return ChunksOf(width > 0 ? MeasureColumns(width) : TColumnMeasures{}, width);
}

std::vector<std::vector<int>> TRptChunkedSection::ChunksOf(const TColumnMeasures& m, std::int32_t width) const {
    const int keys = KeyCount();
    const int count = ChunkedTable->FieldCount();
    const auto most = static_cast<std::size_t>(std::max(1, ChunkColumns));
    std::vector<std::int64_t> widths;
    for (int c = keys; c < count; ++c) widths.push_back(width > 0 ? m.Compact[static_cast<std::size_t>(c)] : 0);
    std::vector<std::size_t> runs;
    if (width > 0) {
        std::int64_t lead = 0;
        for (int c = 0; c < keys; ++c)
            lead += (c > 0 ? m.Separator : 0) + std::min(KeyColumnWidth(c, width), m.Compact[static_cast<std::size_t>(c)]);
        runs = TColumnRuns(widths, lead, m.Separator, width).Balanced(most);
    } else {
        for (std::size_t left = widths.size(); left > 0; left -= std::min(left, most)) runs.push_back(std::min(left, most));
    }
    std::vector<std::vector<int>> chunks;
    int next = keys;
    for (std::size_t size : runs) {
        chunks.emplace_back(static_cast<std::size_t>(size));
        std::iota(chunks.back().begin(), chunks.back().end(), next);
        next += static_cast<int>(size);
    }
    // A table of key columns alone is shown whole, once.
    if (chunks.empty()) chunks.emplace_back();
    return chunks;
}

std::vector<std::int32_t> TRptChunkedSection::WidthsOf(const TColumnMeasures& m, const std::vector<int>& columns,
                                                       std::int32_t width) const {
    std::vector<std::int32_t> widths, compact;
    for (int c : columns) {
        const auto k = static_cast<std::size_t>(c);
        widths.push_back(m.Natural[k]);
        compact.push_back(m.Compact[k]);
    }
    if (width <= 0) return widths;
    const std::int64_t separators = std::int64_t{m.Separator} * std::max<std::int64_t>(0, std::ssize(columns) - 1);
    const auto room = CheckedCast<std::int32_t>(std::max<std::int64_t>(0, width - separators));
    NarrowColumns(widths, compact, room);
    std::vector<TColumnLimits> limits;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto k = static_cast<std::size_t>(columns[i]);
        limits.push_back(ColumnLimits(*ChunkedTable->GetField(columns[i]), m.Needs[k], widths[i], room));
    }
    FitColumnWidths(widths, limits, room);
    return widths;
}

namespace {

// The lowest tree box inside the box, with its bottom relative to the
// box's top (`offset`: the box's top relative to that of the search).
TTreeBox* LowestTreeBox(TBox& box, std::int32_t offset, std::int32_t& bottom) {
    if (TTreeBox* tree = box.AsTree()) {
        bottom = CheckedAdd(offset, tree->Height());
        return tree;
    }
    TBoxGroup* group = box.AsGroup();
    if (!group) return nullptr;
    TTreeBox* lowest = nullptr;
    for (int i = 0; i < group->Count(); ++i) {
        TBox* child = group->GetItem(i);
        std::int32_t childBottom = 0;
        TTreeBox* found = child ? LowestTreeBox(*child, CheckedAdd(offset, child->Top()), childBottom) : nullptr;
        if (found && (!lowest || childBottom > bottom)) {
            lowest = found;
            bottom = childBottom;
        }
    }
    return lowest;
}

}  // namespace

void ExtendTreeLines(TBoxGroup& row) {
    std::vector<bool> tree(static_cast<std::size_t>(row.Count()), false);
    for (int i = 0; i < row.Count(); ++i) {
        TBox* child = row.GetItem(i);
        auto* cell = child ? dynamic_cast<TRptCell*>(child->Element()) : nullptr;
        tree[static_cast<std::size_t>(i)] = cell && cell->HoldsTree();
    }
    ExtendTreeLines(row, tree);
}

void ExtendTreeLines(TBoxGroup& row, const std::vector<bool>& tree) {
    // A cell's content may be taller than its box (a cell is one line high
    // by its measure); the row is as tall as its tallest content.
    std::int32_t rowBottom = row.Height();
    for (int i = 0; i < row.Count(); ++i)
        if (TBox* child = row.GetItem(i))
            rowBottom = std::max(rowBottom, CheckedAdd(child->Top(), std::max(child->Height(), child->NaturalHeight())));
    for (int i = 0; i < row.Count(); ++i) {
        TBox* child = row.GetItem(i);
        if (!child || i >= std::ssize(tree) || !tree[static_cast<std::size_t>(i)]) continue;
        std::int32_t bottom = 0;
        if (TTreeBox* tree = LowestTreeBox(*child, child->Top(), bottom)) tree->ExtendDown(CheckedSub(rowBottom, bottom));
    }
}

namespace {

// Where a row's children stand: the child index of the one-column cell of
// every column (-1: none) and the indices of the other children (liners,
// texts; cells spanning columns are not shown in chunks), so that a
// chunk's part of the row is found without walking the whole row.
struct TRowIndex {
    std::vector<int> CellOfColumn;
    std::vector<int> Others;
    std::vector<bool> TreeOfColumn;  // the column's cell holds a tree item
    TRptRow* Row = nullptr;          // the child of the table as a row; null for any other
};

TRowIndex IndexRow(const TRptRow& row, int columns) {
    TRowIndex index{std::vector<int>(static_cast<std::size_t>(columns), -1), {},
                    std::vector<bool>(static_cast<std::size_t>(columns), false)};
    for (int i = 0; i < row.Count(); ++i) {
        auto* cell = dynamic_cast<const TRptCell*>(row.GetItem(i));
        if (!cell) {
            index.Others.push_back(i);
        } else if (cell->FirstColumn == cell->LastColumn && cell->FirstColumn >= 0 && cell->FirstColumn < columns) {
            index.CellOfColumn[static_cast<std::size_t>(cell->FirstColumn)] = i;
            index.TreeOfColumn[static_cast<std::size_t>(cell->FirstColumn)] = cell->HoldsTree();
        }
    }
    return index;
}

// A cell's box is the same wherever it is built at the same width and
// tree level: its children are paragraphs of plain texts (no macro, whose
// text changes from page to page), with plain or tree affixes.
bool CellBuildsAlike(const TRptCell& cell) {
    auto plain = [](const TRpt* element) {
        return !element || typeid(*element) == typeid(TRptText) || typeid(*element) == typeid(TRptTree);
    };
    for (int i = 0; i < cell.Count(); ++i) {
        auto* paragraph = dynamic_cast<const TRptParagraph*>(cell.GetItem(i));
        if (!paragraph || typeid(*paragraph) != typeid(TRptParagraph)) return false;
        if (!plain(paragraph->FirstPrefixIfAny()) || !plain(paragraph->NextPrefixIfAny()) ||
            !plain(paragraph->LineSuffixIfAny()))
            return false;
        for (int k = 0; k < paragraph->Count(); ++k)
            if (typeid(*paragraph->GetItem(k)) != typeid(TRptText)) return false;
    }
    return true;
}

// The boxes of the cells of a key column, which every chunk shows at the
// same width (and tree level): each is built once and copied into the
// chunks (TBox::Clone), as long as the chunks lay the column out alike. A
// cell whose box draws on the formatter's random source (stretched
// blanks), or holds a box that is not copied, is built every time.
class TKeyCells {
public:
    // `standIn`: a stand-in will do (TStandInBox), for a box only measured.
    std::unique_ptr<TBox> Box(TRptCell& cell, std::size_t row, std::int32_t width, std::int32_t level,
                              bool standIn) {
        if (width != width_ || level != level_) {
            width_ = width;
            level_ = level;
            boxes_.clear();
            state_.clear();
        }
        if (row >= state_.size()) {
            state_.resize(row + 1, stNew);
            boxes_.resize(row + 1);
        }
        if (state_[row] == stKept)
            return standIn ? std::make_unique<TStandInBox>(*boxes_[row]) : boxes_[row]->Clone();
        TFormatter& formatter = FormatterOf(cell);
        const std::uint64_t draws = formatter.RandomDraws();
        std::unique_ptr<TBox> box = cell.CreateBoxForWidth(width);
        if (state_[row] == stNew) {
            if (formatter.RandomDraws() == draws && CellBuildsAlike(cell)) boxes_[row] = box->Clone();
            state_[row] = boxes_[row] ? stKept : stBuilt;
        }
        return box;
    }

private:
    enum : std::uint8_t { stNew, stKept, stBuilt };
    std::int32_t width_ = -1;
    std::int32_t level_ = -2;
    std::vector<std::unique_ptr<TBox>> boxes_;  // by row of the table
    std::vector<std::uint8_t> state_;
};

// The box of a row showing only some columns: the cells of `columns` at
// the given left edges and widths (by their place in `columns`), the other
// children (liners) after the cell before them, as the row's own layout
// places them. The cells of the first `keys.size()` places come from
// `keys` (the key columns), row `r` of the table; `measuring`: the box is
// only measured.
std::unique_ptr<TBox> RowPartBox(TRptRow& row, const TRowIndex& index, const std::vector<int>& columns,
                                 const std::vector<std::int32_t>& lefts, const std::vector<std::int32_t>& widths,
                                 std::int32_t width, std::vector<TKeyCells>& keys, std::size_t r,
                                 const TRptTable& table, bool measuring) {
    // (child index, place of its column in the chunk or -1)
    std::vector<std::pair<int, int>> shown;
    for (int child : index.Others) shown.emplace_back(child, -1);
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (const int child = index.CellOfColumn[static_cast<std::size_t>(columns[k])]; child >= 0)
            shown.emplace_back(child, static_cast<int>(k));
    std::sort(shown.begin(), shown.end());

    auto box = std::make_unique<THorizontalBox>(&row);
    box->Reserve(static_cast<int>(shown.size()));
    std::vector<std::int32_t> placedAt;
    placedAt.reserve(shown.size());
    std::vector<bool> tree;  // by child of the box
    tree.reserve(shown.size());
    row.BeginBoxes();
    struct EndBoxesOnExit {
        TRptRow& row;
        ~EndBoxesOnExit() { row.EndBoxes(); }
    } endBoxes{row};
    TLinerBox* begin = nullptr;
    TLinerBox* end = nullptr;
    for (const auto& [i, place] : shown) {
        TRpt* child = row.GetItem(i);
        if (place >= 0) {
            const auto k = static_cast<std::size_t>(place);
            if (k < keys.size())
                box->Add(keys[k].Box(static_cast<TRptCell&>(*child), r, widths[k], table.TreeLevelWidth(columns[k]),
                                     measuring));
            else
                box->Add(child->CreateBoxForWidth(widths[k]));
            placedAt.push_back(lefts[k]);
            tree.push_back(index.TreeOfColumn[static_cast<std::size_t>(columns[k])]);
            continue;
        }
        auto childBox = child->CreateNaturalBox();
        if (auto* liner = dynamic_cast<TLinerBox*>(childBox.get())) {
            if (dynamic_cast<TRptLinerBegin*>(child)) begin = liner;
            else end = liner;
        }
        box->Add(std::move(childBox));
        placedAt.push_back(-1);
        tree.push_back(false);
    }
    if (begin && end) begin->SetPartnerBox(end);
    box->SizeToNatural();
    std::int32_t x = 0;
    for (int i = 0; i < box->Count(); ++i) {
        TBox* child = box->GetItem(i);
        child->SetLeft(placedAt[static_cast<std::size_t>(i)] >= 0 ? placedAt[static_cast<std::size_t>(i)] : x);
        x = CheckedAdd(child->Right(), std::int32_t{1});
    }
    box->Bounds();
    ExtendTreeLines(*box, tree);
    if (width > 0) box->SetWidth(width);
    return box;
}

// Left edges of columns of the widths, the separator between them.
std::vector<std::int32_t> LeftEdges(const std::vector<std::int32_t>& widths, std::int32_t separator) {
    std::vector<std::int32_t> lefts;
    std::int32_t left = 0;
    for (std::int32_t w : widths) {
        lefts.push_back(left);
        left = CheckedAdd(left, CheckedAdd(w, separator));
    }
    return lefts;
}

}  // namespace

struct TRptChunkedSection::TChunkPlan {
    bool forWidth = false;
    std::int32_t width = 0;  // the layout width; 0 for natural widths
    TColumnMeasures measures;
    std::vector<std::vector<int>> chunks;
    std::vector<TTreeColumn> keyTrees;  // of the key columns
    std::vector<TRowIndex> rows;        // of the table's children
    // The cells of the key columns, built once (TKeyCells).
    mutable std::vector<TKeyCells> keyCells;
};

std::unique_ptr<TBox> TRptChunkedSection::BuildChunks(bool forWidth, std::int32_t width) {
    EndLiner();
    auto whole = CreateGroupBox();
    whole->PageBreakMode = pbFlow;
    TFormatter& formatter = FormatterOf(*this);
    const int columnCount = ChunkedTable->FieldCount();
    // Progress: measuring the columns, then building the chunks, each half
    // of the steps.
    // (The widths measured here are remembered for the column computation.)
    const auto cells = ChunkedTable->OneColumnCells();
    for (int c = 0; c < columnCount; ++c) {
        for (TRptCell* cell : cells[static_cast<std::size_t>(c)]) cell->MeasureNaturalWidth();
        formatter.BuildProgress(c + 1, 2 * columnCount);
        if (formatter.Aborted()) return whole;
    }
    auto plan = std::make_shared<TChunkPlan>();
    plan->forWidth = forWidth;
    plan->width = forWidth ? width : 0;
    plan->measures = MeasureColumns(plan->width);
    plan->chunks = ChunksOf(plan->measures, plan->width);
    // The key columns are the same in every chunk: their tree items are
    // measured once.
    for (int c = 0; c < KeyCount(); ++c)
        plan->keyTrees.push_back(plan->width > 0 ? MeasureTreeColumn(cells[static_cast<std::size_t>(c)]) : TTreeColumn{});
    plan->keyCells.resize(static_cast<std::size_t>(KeyCount()));
    plan->rows.resize(static_cast<std::size_t>(ChunkedTable->Count()));
    for (int r = 0; r < ChunkedTable->Count(); ++r)
        if (auto* row = dynamic_cast<TRptRow*>(ChunkedTable->GetItem(r))) {
            plan->rows[static_cast<std::size_t>(r)] = IndexRow(*row, ChunkedTable->FieldCount());
            plan->rows[static_cast<std::size_t>(r)].Row = row;
        }
    const std::size_t chunkCount = plan->chunks.size();
    for (std::size_t k = 0; k < chunkCount; ++k) {
        whole->Add(std::make_unique<TDeferredBox>(
            this, [this, plan, k] { return BuildChunk(*plan, k, false); },
            [this, plan, k] { return BuildChunk(*plan, k, true); }));
        formatter.BuildProgress(columnCount + static_cast<int>((k + 1) * static_cast<std::size_t>(columnCount) / chunkCount),
                                2 * columnCount);
        if (formatter.Aborted()) break;
    }
    if (forWidth) whole->SetFixedWidth(width);
    else whole->SizeToNatural();
    whole->PageBreakMode = pbFlow;
    return whole;
}

std::unique_ptr<TBox> TRptChunkedSection::BuildChunk(const TChunkPlan& plan, std::size_t k, bool measuring) {
    auto childBox = [&](TRpt& child) {
        return plan.forWidth ? child.CreateBoxForWidth(plan.width) : child.CreateNaturalBox();
    };
    auto finish = [&](TBox& box) {
        if (plan.forWidth) box.SetFixedWidth(plan.width);
        else box.SizeToNatural();
    };
    const std::vector<int> columns = ColumnsOfChunk(plan.chunks[k]);
    const std::vector<std::int32_t> widths = WidthsOf(plan.measures, columns, plan.width);
    for (std::size_t i = 0; i < plan.keyTrees.size(); ++i)
        ChunkedTable->SetTreeLevelWidth(columns[i], TreeLevelWidthFor(plan.keyTrees[i], widths[i]));
    const std::vector<std::int32_t> lefts = LeftEdges(widths, plan.measures.Separator);

    auto part = CreateGroupBox();
    for (int i = 0; i < Count(); ++i) {
        TRpt* child = GetItem(i);
        if (i == 0 && k > 0) {
            part->Add(childBox(*nextHeading_));
        } else if (child == ChunkedTable) {
            auto table = std::make_unique<TVerticalBox>(ChunkedTable);
            table->Reserve(ChunkedTable->Count());
            for (int r = 0; r < ChunkedTable->Count(); ++r) {
                TRpt* item = ChunkedTable->GetItem(r);
                TRptRow* row = plan.rows[static_cast<std::size_t>(r)].Row;
                table->Add(row ? RowPartBox(*row, plan.rows[static_cast<std::size_t>(r)], columns, lefts, widths,
                                            plan.width, plan.keyCells, static_cast<std::size_t>(r), *ChunkedTable,
                                            measuring)
                               : childBox(*item));
            }
            finish(*table);
            part->Add(std::move(table));
        } else {
            part->Add(childBox(*child));
        }
    }
    finish(*part);
    return part;
}

std::unique_ptr<TBox> TRptChunkedSection::CreateNaturalBox() {
    if (!ChunkedTable) return TRptSection::CreateNaturalBox();
    return BuildChunks(false, 0);
}

std::unique_ptr<TBox> TRptChunkedSection::CreateBoxForWidth(std::int32_t width) {
    if (!ChunkedTable) return TRptSection::CreateBoxForWidth(width);
    return BuildChunks(true, width);
}

// --- TRptRow ----------------------------------------------------------------------

TRptRow::TRptRow(TRpt* owner) : TRptLine(owner) {
    MIVO_ASSERT(dynamic_cast<TRptTable*>(owner), "Owner of TRptRow must be TRptTable");
}

TRptTable* TRptRow::GetTable() const { return dynamic_cast<TRptTable*>(Owner()); }

TRptCell* TRptRow::NewMultiCell(std::int32_t n) {
    MIVO_ASSERT(n >= 1, "Too few columns for NewMultiCell: " + std::to_string(n));
    auto* cell = AddNew<TRptCell>();
    cell->FirstColumn = nextColumn_;
    nextColumn_ = CheckedAdd(nextColumn_, n);
    cell->LastColumn = nextColumn_ - 1;
    TRptTable* table = GetTable();
    while (table->FieldCount() < nextColumn_) table->AddField("");
    return cell;
}

TRptCell* TRptRow::NewCell() {
    TRptCell* cell = NewMultiCell(1);
    const TRptField* field = GetTable()->GetField(cell->FirstColumn);
    cell->AssignAligned(*field);
    cell->SetWidthMeasure(field->GetWidthMeasure());
    cell->SetHeightMeasure(field->GetHeightMeasure());
    cell->SetFont(field->GetOwnFont());
    cell->SetPen(field->GetOwnPen());
    return cell;
}

std::unique_ptr<TBox> TRptRow::CreateNaturalBox() {
    auto box = TRptLine::CreateNaturalBox();
    auto& row = dynamic_cast<TBoxGroup&>(*box);
    const TRptTable* table = GetTable();
    std::int32_t x = 0;
    for (int i = 0; i < row.Count(); ++i) {
        TBox* child = row.GetItem(i);
        std::int32_t left = x;
        if (auto* cell = dynamic_cast<TRptCell*>(GetItem(i))) {
            const TRptField* field = table->GetField(cell->FirstColumn);
            if (field && field->HeadingBox()) left = field->HeadingBox()->Left();
        }
        child->SetLeft(left);
        x = CheckedAdd(child->Right(), std::int32_t{1});
    }
    row.Bounds();
    ExtendTreeLines(row);
    return box;
}

std::unique_ptr<TBox> TRptRow::CreateBoxForWidth(std::int32_t width) {
    auto box = CreateNaturalBox();
    box->SetWidth(width);
    return box;
}

// --- TRptCell -----------------------------------------------------------------------

TRptCell::TRptCell(TRpt* owner) : TRptHVGroup(owner) {
    MIVO_ASSERT(dynamic_cast<TRptRow*>(owner), "Owner of TRptCell must be TRptRow");
}

TRptTable* TRptCell::GetTable() const {
    auto* row = dynamic_cast<TRptRow*>(Owner());
    return row ? row->GetTable() : nullptr;
}

std::int32_t TRptCell::SpanWidth() const {
    const TRptTable* table = GetTable();
    std::int32_t width = 0;
    if (!table) return 0;
    for (std::int32_t c = FirstColumn; c <= LastColumn; ++c) width = CheckedAdd(width, table->GetColumnWidth(c));
    return width;
}

std::int32_t TRptCell::MeasureNaturalWidth() {
    return FormatterOf(*this).Widths().Get(widths_, TWidthCache::wkNatural, [this] { return MeasureNaturalBoxWidth(); });
}

std::int32_t TRptCell::MeasureNaturalBoxWidth() {
    measuring_ = true;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear{measuring_};
    return CreateNaturalBox()->Width();
}

std::int32_t TRptCell::WidestChild(std::int32_t (TRptParagraph::*paragraphWidth)()) {
    std::int32_t width = 0;
    for (const auto& child : Children()) {
        auto* paragraph = dynamic_cast<TRptParagraph*>(child.get());
        width = std::max(width, paragraph ? (paragraph->*paragraphWidth)() : child->CreateNaturalBox()->Width());
    }
    return width;
}

std::int32_t TRptCell::MeasureMinimumWidth() {
    return FormatterOf(*this).Widths().Get(widths_, TWidthCache::wkMinimum,
                                           [this] { return WidestChild(&TRptParagraph::MinimumWidth); });
}

std::int32_t TRptCell::MeasureWordWidth() {
    return FormatterOf(*this).Widths().Get(widths_, TWidthCache::wkWord,
                                           [this] { return WidestChild(&TRptParagraph::WordWidth); });
}

bool TRptCell::WrapsAtAnyWidth() const {
    return std::all_of(Children().begin(), Children().end(),
                       [](const auto& child) { return dynamic_cast<const TRptParagraph*>(child.get()) != nullptr; });
}

bool TRptCell::InHeadingRow() const {
    const TRptTable* table = GetTable();
    return table && table->Count() > 0 && table->GetItem(0) == Owner();
}

TRptParagraph* TRptCell::TreeItem() const {
    for (const auto& child : Children())
        if (auto* paragraph = dynamic_cast<TRptParagraph*>(child.get()); paragraph && paragraph->HasTreePrefix())
            return paragraph;
    return nullptr;
}

std::unique_ptr<TBox> TRptCell::CreateNaturalBox() {
    if (measuring_) return TRptHVGroup::CreateNaturalBox();
    return CreateBoxForWidth(SpanWidth());
}

// --- TReport ------------------------------------------------------------------------

TReport::TReport()
    : TRptVerticalGroup(nullptr),
      header_(std::make_unique<TRptHVGroup>(this)),
      footer_(std::make_unique<TRptHVGroup>(this)) {
    PageBreakMode = pbFlow;
}

TReport::~TReport() {
    if (formatter_) formatter_->ForgetReport();
}

std::int32_t TReport::NextTableNumber() {
    std::int32_t number = tableCounter_;
    tableCounter_ = CheckedAdd(tableCounter_, std::int32_t{1});
    return number;
}

}  // namespace mivo
