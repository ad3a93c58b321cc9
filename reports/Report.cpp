#include "reports/Report.h"

#include <string>
#include <vector>

#include "model/RunTime.h"
#include "reports/Boxes.h"
#include "reports/Formatter.h"
#include "reports/Utf8Text.h"

namespace mivo {

// --- TRptParagraph ------------------------------------------------------------

TRptParagraph::TRptParagraph(TRpt* owner)
    : TRptVerticalGroup(owner),
      nextPrefix_(std::make_unique<TRptText>(this)),
      lineSuffix_(std::make_unique<TRptText>(this)),
      firstPrefix_(std::make_unique<TRptText>(this)) {}

TRptParagraph::~TRptParagraph() = default;

std::unique_ptr<TBox> TRptParagraph::CreateNaturalBox() { return CreateBoxForWidth(-1); }

namespace {

// Fills a paragraph's box line by line. Every line box holds the prefix
// and the suffix; content boxes go between them.
class TLineFiller {
public:
    TLineFiller(TRptParagraph& paragraph, TBoxGroup& box, std::int32_t width)
        : paragraph_(paragraph), box_(box), width_(width) {}

    void StartLine() {
        auto line = std::make_unique<THorizontalBox>(&paragraph_);
        line_ = line.get();
        lineWidth_ = 0;
        TRptText& prefix = box_.Count() == 0 ? paragraph_.FirstPrefix() : paragraph_.NextPrefix();
        Append(prefix.CreateNaturalBox());
        Append(paragraph_.LineSuffix().CreateNaturalBox());
        box_.Add(std::move(line));
    }

    // More than prefix and suffix on the line, and w does not fit.
    bool Overflows(std::int32_t w) const {
        return line_->Count() > 2 && width_ >= 0 && CheckedAdd(lineWidth_, w) > width_;
    }

    void FinishLine() {
        if (width_ > 0) line_->SetFixedWidth(width_);
        else line_->SizeToNatural();
    }

    void BreakLine() {
        FinishLine();
        StartLine();
    }

    // The box goes before the line's suffix, on a new line when it does not
    // fit.
    void AddBox(std::unique_ptr<TBox> box) {
        if (Overflows(box->Width())) BreakLine();
        lineWidth_ = CheckedAdd(lineWidth_, box->Width());
        line_->Insert(line_->Count() - 1, std::move(box));
    }

    THorizontalBox& Line() const { return *line_; }

private:
    void Append(std::unique_ptr<TBox> box) {
        lineWidth_ = CheckedAdd(lineWidth_, box->Width());
        line_->Add(std::move(box));
    }

    TRptParagraph& paragraph_;
    TBoxGroup& box_;
    std::int32_t width_;
    THorizontalBox* line_ = nullptr;
    std::int32_t lineWidth_ = 0;
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

// Splits the text into tokens (a run of blanks, then a run of non-blanks)
// and adds their boxes; at a line break the blanks are dropped.
void WrapText(TLineFiller& filler, TRptText& text, bool justify) {
    TFormatter& formatter = FormatterOf(text);
    formatter.PushReport(&text);
    const std::u32string chars = DecodeCodePoints(text.GetText());
    std::size_t pos = 0;
    while (pos < chars.size()) {
        std::size_t spaceStart = pos;
        while (pos < chars.size() && chars[pos] == U' ') ++pos;
        std::size_t wordStart = pos;
        while (pos < chars.size() && chars[pos] != U' ') ++pos;
        std::size_t spaces = wordStart - spaceStart;
        std::size_t word = pos - wordStart;
        std::int32_t w = formatter.TextWidth(EncodeCodePoints(std::u32string_view(chars).substr(spaceStart, pos - spaceStart)));
        if (filler.Overflows(w)) {
            filler.BreakLine();
            spaces = 0;
        }
        if (spaces > 0) filler.AddBox(MakePartBox(text, spaceStart, spaces, justify));
        if (word > 0) filler.AddBox(MakePartBox(text, wordStart, word, false));
    }
    formatter.PopReport();
}

}  // namespace

std::unique_ptr<TBox> TRptParagraph::CreateBoxForWidth(std::int32_t width) {
    EndLiner();
    auto box = CreateGroupBox();
    TLineFiller filler(*this, *box, width);
    filler.StartLine();
    for (const auto& child : Children()) {
        auto* text = dynamic_cast<TRptText*>(child.get());
        if (text && width > 0) WrapText(filler, *text, Justify);
        else filler.AddBox(child->CreateNaturalBox());
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

int TRptTable::FieldCount() const {
    int n = 0;
    for (int i = 0; i < headingLine_->Count(); ++i)
        if (dynamic_cast<TRptField*>(headingLine_->GetItem(i))) ++n;
    return n;
}

TRptField* TRptTable::GetField(int n) const {
    if (n < 0) return nullptr;
    for (int i = 0; i < headingLine_->Count(); ++i)
        if (auto* field = dynamic_cast<TRptField*>(headingLine_->GetItem(i)))
            if (n-- == 0) return field;
    return nullptr;
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

TRptField* TRptTable::AddField(std::string heading) {
    if (!Separator.empty() && FieldCount() > 0) headingLine_->AddText(Separator);
    auto field = std::make_unique<TRptField>(headingLine_.get());
    TRptField* raw = field.get();
    raw->SetText(std::move(heading));
    headingLine_->Add(std::move(field));
    return raw;
}

TRptRow* TRptTable::NewRow() { return AddNew<TRptRow>(); }

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
        for (int r = 0; r < Count(); ++r) {
            auto* row = dynamic_cast<TRptRow*>(GetItem(r));
            if (!row) continue;
            for (int k = 0; k < row->Count(); ++k) {
                auto* cell = dynamic_cast<TRptCell*>(row->GetItem(k));
                if (!cell || cell->FirstColumn != cell->LastColumn || cell->FirstColumn < 0 ||
                    cell->FirstColumn >= static_cast<std::int32_t>(columns.size()))
                    continue;
                const Column& column = columns[static_cast<std::size_t>(cell->FirstColumn)];
                if (!column.field->WidthIsProportional()) continue;
                TBox* fieldBox = line.GetItem(column.box);
                std::int32_t cellWidth = cell->MeasureNaturalWidth();
                if (fieldBox->Width() < cellWidth) {
                    fieldBox->SetWidth(cellWidth);
                    widened = true;
                }
            }
        }
    }
    if (widened) {
        if (width < 1) line.SizeToNatural();
        else line.SetFixedWidth(width);
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
    measuring_ = true;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clear{measuring_};
    return CreateNaturalBox()->Width();
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
