#include "reports/TextFormatter.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "model/RunTime.h"
#include "reports/DisplayWidth.h"
#include "reports/Utf8Text.h"

namespace mivo {

// --- TTextPage ------------------------------------------------------------------------------

namespace {

// Cell values beyond the code points and the raw bytes of Utf8Text.h: the
// right half of a wide character, and a character with the combining marks
// after it (an index into the page's clusters).
constexpr char32_t WideTail = 0x120000;
constexpr char32_t ClusterBase = 0x130000;

bool IsCluster(char32_t cell) { return cell >= ClusterBase; }

}  // namespace

TTextPage::TTextPage(std::int32_t width)
    : width_(std::max<std::int32_t>(width, 0)), blankRow_(static_cast<std::size_t>(width_), U' ') {}

namespace {

std::string CellsText(const std::u32string& row, const std::vector<std::u32string>& clusters) {
    std::string out;
    out.reserve(row.size());
    for (char32_t cell : row) {
        if (cell == WideTail) continue;
        if (IsCluster(cell)) out += EncodeCodePoints(clusters[cell - ClusterBase]);
        else out += EncodeCodePoint(cell);
    }
    return out;
}

}  // namespace

std::string TTextPage::Row(int index) const {
    if (index < 0 || index >= RowCount()) throw ERangeError();
    const auto i = static_cast<std::size_t>(index);
    if (i >= base_) return CellsText(rows_[i - base_], clusters_);
    if (const auto kept = kept_.find(i); kept != kept_.end()) return CellsText(kept->second, clusters_);
    const TFrozenRow& frozen = frozen_[i];
    std::string out;
    out.reserve(frozen.Length + frozen.Blanks);
    out.append(FrozenText(frozen));
    out.append(frozen.Blanks, ' ');
    return out;
}

void TTextPage::EnsureRow(const TRect& rect) {
    while (static_cast<std::int64_t>(RowCount()) <= rect.Bottom) rows_.push_back(blankRow_);
}

void TTextPage::EnsureRect(const TRect& rect) {
    EnsureRow(rect);
    if (rect.Bottom < 0) return;
    std::u32string& row = LiveRow(static_cast<std::size_t>(rect.Bottom));
    std::int64_t length = static_cast<std::int64_t>(rect.Right) + 1;
    if (static_cast<std::int64_t>(row.size()) < length) row.resize(static_cast<std::size_t>(length), U' ');
    Written(static_cast<std::size_t>(rect.Bottom));
}

void TTextPage::AppendText(const std::string& text) {
    if (text.empty()) return;
    if (RowCount() == 0) rows_.push_back(blankRow_);
    const auto last = static_cast<std::size_t>(RowCount() - 1);
    LiveRow(last) += DecodeCodePoints(text);
    Written(last);
}

void TTextPage::AppendToRow(std::int32_t row, const std::string& text) {
    if (row < 0 || text.empty()) return;
    EnsureRow(TRect{0, row, 0, row});
    LiveRow(static_cast<std::size_t>(row)) += DecodeCodePoints(text);
    Written(static_cast<std::size_t>(row));
}

std::u32string& TTextPage::LiveRow(std::size_t index) {
    if (index >= base_) return rows_[index - base_];
    if (const auto kept = kept_.find(index); kept != kept_.end()) return kept->second;
    TFrozenRow& frozen = frozen_[index];
    std::u32string& row = kept_[index];
    row = DecodeCodePoints(FrozenText(frozen));
    row.append(frozen.Blanks, U' ');
    frozen.Frozen = false;
    return row;
}

void TTextPage::Written(std::size_t index) {
    if (index < base_ + 2 * LiveRows) return;
    const std::size_t upTo = index - LiveRows;
    while (base_ < upTo) {
        std::u32string& row = rows_.front();
        TFrozenRow frozen = Freeze(row);
        if (!frozen.Frozen) kept_.emplace(base_, std::move(row));
        frozen_.push_back(frozen);
        rows_.pop_front();
        ++base_;
    }
}

TTextPage::TFrozenRow TTextPage::Freeze(const std::u32string& row) {
    TFrozenRow frozen;
    if (std::any_of(row.begin(), row.end(), [](char32_t cell) { return cell == WideTail || IsCluster(cell); }))
        return frozen;
    std::size_t length = row.size();
    while (length > 0 && row[length - 1] == U' ') --length;
    const std::u32string_view kept = std::u32string_view(row).substr(0, length);
    const std::string text = EncodeCodePoints(kept);
    // Only a row its text gives back exactly is kept so: one of Unicode
    // characters always is; raw bytes may join into other characters.
    const bool unicode = std::all_of(kept.begin(), kept.end(),
                                     [](char32_t c) { return c < 0xD800 || (c > 0xDFFF && c < 0x110000); });
    if (text.size() > PoolBlock || (!unicode && DecodeCodePoints(text) != kept)) return frozen;
    if (pool_.empty() || pool_.back().size() + text.size() > PoolBlock) {
        pool_.emplace_back();
        pool_.back().reserve(PoolBlock);
    }
    frozen.Block = CheckedCast<std::uint32_t>(pool_.size() - 1);
    frozen.Start = CheckedCast<std::uint32_t>(pool_.back().size());
    frozen.Length = CheckedCast<std::uint32_t>(text.size());
    frozen.Blanks = CheckedCast<std::uint32_t>(row.size() - length);
    frozen.Frozen = true;
    pool_.back() += text;
    return frozen;
}

namespace {

// Blanks the cell, and the other half of a wide character it belongs to.
void ClearCell(std::u32string& row, std::size_t column) {
    if (row[column] == WideTail && column > 0) row[column - 1] = U' ';
    if (column + 1 < row.size() && row[column + 1] == WideTail) row[column + 1] = U' ';
    row[column] = U' ';
}

}  // namespace

void TTextPage::PutCell(std::u32string& row, std::size_t column, char32_t ch, int columns) {
    ClearCell(row, column);
    if (columns == 2) ClearCell(row, column + 1);
    row[column] = ch;
    if (columns == 2) row[column + 1] = WideTail;
}

void TTextPage::AttachMark(std::u32string& row, std::size_t column, char32_t mark) {
    char32_t& cell = row[column];
    if (!IsCluster(cell)) {
        clusters_.push_back(std::u32string(1, cell));
        cell = ClusterBase + static_cast<char32_t>(clusters_.size() - 1);
    }
    clusters_[cell - ClusterBase] += mark;
}

void TTextPage::Write(const TRect& rect, const std::string& text, std::int64_t fromColumn, std::int64_t toColumn) {
    if (rect.Top < 0 || rect.Bottom < rect.Top || text.empty()) return;
    EnsureRow(rect);
    // The row written is the top one: it is the one that must be long
    // enough for the rectangle (a tall tree box spans several rows).
    std::u32string& row = LiveRow(static_cast<std::size_t>(rect.Top));
    Written(static_cast<std::size_t>(rect.Top));
    const std::int64_t length = static_cast<std::int64_t>(rect.Right) + 1;
    if (static_cast<std::int64_t>(row.size()) < length) row.resize(static_cast<std::size_t>(length), U' ');
    const auto rowEnd = static_cast<std::int64_t>(row.size());
    // Columns advance by display width (DisplayColumns measures the same
    // way); a mark joins the character before it, or a blank of its own at
    // the start of the text.
    std::int64_t column = rect.Left;
    std::int64_t lastCell = -1;  // where the last character went; -1 when dropped
    bool started = false;
    for (char32_t ch : DecodeCodePoints(text)) {
        if (ch < U' ') ch = U' ';
        int columns = CharacterColumns(ch);
        if (columns == 0 && started) {
            if (lastCell >= 0) AttachMark(row, static_cast<std::size_t>(lastCell), ch);
            continue;
        }
        const bool markAlone = columns == 0;
        if (markAlone) columns = 1;
        started = true;
        lastCell = -1;
        const std::int64_t at = column;
        column += columns;
        if (at < 0 || at < fromColumn) continue;
        const std::int64_t last = at + columns - 1;
        if (last >= rowEnd || last > toColumn) {
            // Half a wide character is not shown: its first column is blank.
            if (at < rowEnd && at <= toColumn) ClearCell(row, static_cast<std::size_t>(at));
            break;
        }
        PutCell(row, static_cast<std::size_t>(at), markAlone ? U' ' : ch, columns);
        lastCell = at;
        if (markAlone) AttachMark(row, static_cast<std::size_t>(at), ch);
    }
}

void TTextPage::WriteAt(const TRect& rect, const std::string& text) {
    Write(rect, text, 0, std::numeric_limits<std::int64_t>::max());
}

void TTextPage::WriteClipped(const TRect& rect, const TRect& clip, const std::string& text) {
    if (rect.Top < clip.Top || rect.Top > clip.Bottom) WriteAt(rect, text);
    else Write(rect, text, clip.Left, clip.Right);
}

void TTextPage::TrimLines() {
    auto trim = [](std::u32string& row) {
        std::size_t n = row.size();
        while (n > 0 && row[n - 1] <= U' ') --n;
        row.resize(n);
    };
    for (std::u32string& row : rows_) trim(row);
    for (auto& [index, row] : kept_) trim(row);
    // A frozen row ends as its cells would: a cell up to a blank is one
    // byte of its text, and the last byte of any other character is above.
    for (TFrozenRow& frozen : frozen_) {
        if (!frozen.Frozen) continue;
        frozen.Blanks = 0;
        const std::string& block = pool_[frozen.Block];
        while (frozen.Length > 0 && static_cast<unsigned char>(block[frozen.Start + frozen.Length - 1]) <= ' ')
            --frozen.Length;
    }
}

// --- TTextFormatter ---------------------------------------------------------------------------

TTextFormatter::TTextFormatter(TReport& report, TPoint origin, TPoint size) : TFormatter(report, origin, size) {}

TTextFormatter::~TTextFormatter() = default;

TTextPage& TTextFormatter::GetPage(int index) const { return *At(pages_, CheckedSub(index, 1)); }

TTextPage& TTextFormatter::Page() {
    MIVO_ASSERT(!pages_.empty(), "Formatter: drawing outside a page");
    return *pages_.back();
}

void TTextFormatter::WriteText(const std::function<void(std::string_view)>& write) const {
    bool first = true;
    std::string row;
    for (const auto& page : pages_) {
        if (page->RowCount() == 0) continue;
        if (!first) write("\f");
        first = false;
        // The rows start at the top of the page, so the first origin-y rows
        // are the top margin already: it is written once, not twice.
        for (int r = 0; r < page->RowCount(); ++r) {
            row = page->Row(r);
            row += '\n';
            write(row);
        }
    }
    if (Aborted()) write("*** ABORTED ***\n");
}

void TTextFormatter::WriteToFile(std::ostream& out) const {
    WriteText([&out](std::string_view text) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
}

void TTextFormatter::WriteToFile(TSafeFileWriter& writer) const {
    WriteText([&writer](std::string_view text) { writer.Write(text); });
}

void TTextFormatter::SaveToFile(const std::string& path) const {
    TSafeFileWriter writer(path);
    WriteToFile(writer);
    writer.Commit();
}

std::string TTextFormatter::ToText() const {
    // Measured first, so that a long text is made in one piece.
    std::size_t size = 0;
    WriteText([&size](std::string_view text) { size += text.size(); });
    std::string out;
    out.reserve(size);
    WriteText([&out](std::string_view text) { out.append(text); });
    return out;
}

void TTextFormatter::BeginFormatting() {
    TFormatter::BeginFormatting();
    pages_.clear();
}

void TTextFormatter::NewPage() {
    TFormatter::NewPage();
    pages_.push_back(std::make_unique<TTextPage>(CheckedAdd(PageOrigin().X, PageSize().X)));
}

void TTextFormatter::EndPage() {
    TFormatter::EndPage();
    if (TTextPage* page = CurrentPage()) page->TrimLines();
}

std::int32_t TTextFormatter::TextWidth(const std::string& text) {
    return CheckedCast<std::int32_t>(DisplayColumns(text));
}

std::int32_t TTextFormatter::TextHeight(const std::string&) { return 1; }

namespace {

// A tree level takes at least one character cell: fewer would give tree
// boxes a negative width.
std::int32_t CellsPerLevel(const TFormatter& formatter) {
    return std::max<std::int32_t>(1, formatter.GetCellsPerTreeLevel());
}

}  // namespace

std::int32_t TTextFormatter::TreeWidth(const std::string& text) {
    return CheckedMul(CheckedCast<std::int32_t>(CodePointCount(text)), CellsPerLevel(*this));
}

std::int32_t TTextFormatter::MeasureToDevice(TMeasure measure) {
    double value = measure.Value;
    switch (measure.Kind) {
        case mkNatural: return -1;
        case mkMillimetres: return RoundToInt32(value * 10.0 / 25.4);
        case mkInches: return RoundToInt32(value * 10.0);
        case mkPoints: return RoundToInt32(value * 10.0 / 72.27);
        default: return RoundToInt32(value);
    }
}

void TTextFormatter::TextOut(const TRect& rect, const std::string& text) { Page().WriteAt(rect, text); }

void TTextFormatter::TextRect(const TRect& rect, const TRect& clip, const std::string& text) {
    Page().WriteClipped(rect, clip, text);
}

std::string TTextFormatter::TreeGlyphs(const std::string& text, std::int32_t width) const {
    const int style = GetTreeStyle();
    const std::string horizontal = TreeGlyph(style, TreeKeyHorizontal);
    std::u32string keys = DecodeCodePoints(text);
    // A prefix narrower than its tree width gives its levels fewer cells,
    // down to one; narrower still, it shows its innermost levels.
    std::int32_t cells = CellsPerLevel(*this);
    const auto count = static_cast<std::int32_t>(keys.size());
    if (count > 0 && width >= 0 && CheckedMul(count, cells) > width) {
        cells = std::max<std::int32_t>(1, width / count);
        if (width < count) keys.erase(0, static_cast<std::size_t>(count - width));
    }
    std::string glyphs;
    for (char32_t c : keys) {
        glyphs += TreeGlyph(style, c);
        const std::string& fill = c == TreeKeyTee || c == TreeKeyCorner ? horizontal : std::string(" ");
        for (std::int32_t k = 1; k < cells; ++k) glyphs += fill;
    }
    return glyphs;
}

void TTextFormatter::DrawTree(const TRect& rect, const std::string& text) {
    TextOut(rect, TreeGlyphs(text, CheckedAdd(CheckedSub(rect.Right, rect.Left), std::int32_t{1})));
}

void TTextFormatter::DrawTreeContinuation(const TRect& rect, const std::string& keys) {
    // The rectangle holds one more cell than the prefix when a stem runs
    // down from the item; the prefix's cells decide the width of a level.
    const std::string glyphs = TreeGlyphs(keys, CheckedAdd(CheckedSub(rect.Right, rect.Left), std::int32_t{1}));
    for (std::int32_t row = rect.Top; row <= rect.Bottom; ++row) TextOut(TRect{rect.Left, row, rect.Right, row}, glyphs);
}

void TTextFormatter::DrawRules(const TRect& begin, const TRect& end, std::int32_t count) {
    if (begin.Top != end.Top || begin.Left > end.Right) return;
    std::int64_t length = static_cast<std::int64_t>(end.Right) - begin.Left + 1;
    const char* rule = count <= 1 ? "\u2500" : "\u2550";
    std::string run;
    run.reserve(static_cast<std::size_t>(length) * 3);
    for (std::int64_t i = 0; i < length; ++i) run += rule;
    // The rule's rectangle spans both markers, so that all of it is written.
    TextOut(TRect{begin.Left, begin.Top, end.Right, begin.Bottom}, run);
}

void TTextFormatter::DrawGraphic(const TRect& rect, const TDrawCallback&, const TParam*) {
    TextRect(rect, rect, "*Graphic*");
}

// --- TDataFormatter ------------------------------------------------------------------------------

std::string BlankControlCharacters(std::string_view text) {
    std::string out(text);
    // Control characters are single bytes below 32 in UTF-8; no byte of a
    // multibyte sequence is below 128.
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return out;
}

void TDataFormatter::NewPage() {
    TTextFormatter::NewPage();
    // Rows of the new page start afresh.
    lastRight_.clear();
    fieldBreak_.clear();
    blankCount_ = 0;
}

std::int32_t& TDataFormatter::LastRight(std::int32_t row) {
    const auto index = static_cast<std::size_t>(row);
    if (lastRight_.size() <= index) lastRight_.resize(index + 1, -1);
    return lastRight_[index];
}

void TDataFormatter::Placed(const TRect& rect) {
    LastRight(rect.Top) = rect.Right;
    if (static_cast<std::size_t>(rect.Top) < fieldBreak_.size()) fieldBreak_[static_cast<std::size_t>(rect.Top)] = false;
    blankCount_ = 0;
}

void TDataFormatter::DrawFill(const TRect& rect) {
    if (rect.Top < 0 || LastRight(rect.Top) < 0) return;
    const auto row = static_cast<std::size_t>(rect.Top);
    if (fieldBreak_.size() <= row) fieldBreak_.resize(row + 1, false);
    fieldBreak_[row] = true;
}

void TDataFormatter::TextOut(const TRect& rect, const std::string& text) {
    if (rect.Left == 0 && rect.Right == 0 && text == " ") {
        ++blankCount_;
        if (blankCount_ == 1) return;
    }
    if (rect.Top < 0) return;
    TTextPage& page = Page();
    page.EnsureRow(rect);
    // The text joins the row of its own top edge: a cell drawn after a
    // taller neighbour still lands on its row, not on the page's last one.
    const std::int32_t lastRight = LastRight(rect.Top);
    const auto row = static_cast<std::size_t>(rect.Top);
    const bool fieldBreak = row < fieldBreak_.size() && fieldBreak_[row];
    if (lastRight >= 0 && (fieldBreak || rect.Left > static_cast<std::int64_t>(lastRight) + 1))
        page.AppendToRow(rect.Top, "\t");
    page.AppendToRow(rect.Top, BlankControlCharacters(text));
    Placed(rect);
}

void TDataFormatter::TextRect(const TRect& rect, const TRect&, const std::string& text) { TextOut(rect, text); }

void TDataFormatter::DrawTreeContinuation(const TRect&, const std::string&) {}

void TDataFormatter::DrawTree(const TRect& rect, const std::string& text) {
    if (rect.Top < 0) return;
    TTextPage& page = Page();
    page.EnsureRow(rect);
    page.AppendToRow(rect.Top, std::string(CodePointCount(text), ' '));
    Placed(rect);
}

}  // namespace mivo
