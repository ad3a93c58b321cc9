#include "model/MivoOptData.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <cstdint>
#include <functional>
#include <limits>
#include <new>

#include "model/CodePage.h"
#include "model/FileLines.h"
#include "model/Locale.h"
#include "model/MivoAttribute.h"
#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/TextLines.h"
#include "model/Utils.h"

namespace mivo {

namespace {

bool HasLineBreakOrTab(std::string_view text) {
    // A plain loop: find_first_of searches its set once per character.
    for (char c : text)
        if (c == '\t' || c == '\r' || c == '\n') return true;
    return false;
}

// The value code of index `index` (0..207).
char ValueCode(int index) { return static_cast<char>(static_cast<unsigned char>('0' + index)); }

// The value index of a code byte (negative for codes below '0').
int CodeIndex(char code) { return static_cast<int>(static_cast<unsigned char>(code)) - '0'; }

// A whole decimal number without sign; -1 when the text is not one (or too
// long to be any value index).
int ReadIndexNumber(std::string_view text) {
    if (text.empty() || text.size() > 4) return -1;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// An upper bound of the number of items in a line: one more than its
// delimiters.
std::size_t CountItemsAtMost(std::string_view line, char delimiter) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), delimiter)) + 1;
}

// Appends a small non-negative number in decimal.
void AppendDecimal(std::string& out, int n) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0) out += digits[--count];
}

// Removes every leading level prefix ". ".
std::string_view StripLevelPrefixes(std::string_view title) {
    std::string_view prefix = MivoStr::SLevelPrefix;
    while (title.substr(0, prefix.size()) == prefix) title.remove_prefix(prefix.size());
    return title;
}

// Whether the double quotes of a comma-separated line are balanced, with
// two quotes in a row inside quotes standing for one quote.
bool QuotesBalanced(std::string_view line) {
    bool in_quotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        if (in_quotes && i + 1 < line.size() && line[i + 1] == '"') {
            ++i;
            continue;
        }
        in_quotes = !in_quotes;
    }
    return !in_quotes;
}

// Appends the text between double quotes, a double quote inside doubled.
void AppendQuotedCsv(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The index of the first value of that exact name; -1 when there is none.
int ValueIndexOfName(const TMivoDiscreteScale& scale, std::string_view name) {
    for (int i = 0; i < scale.Count(); ++i)
        if (scale.ValueName(i) == name) return i;
    return -1;
}

// The options of a model by folded name, for matching columns to options:
// an open-addressing table of option indices, each with the hash of its
// folded name: eight bytes per place, where a map of folded copies costs
// some seventy per option.
class TOptionPositions {
public:
    TOptionPositions(const TMivoModel& model, std::size_t expected) : model_(model) {
        std::size_t capacity = 16;
        while (capacity < 2 * expected) capacity *= 2;
        places_.assign(capacity, Place{});
        for (int i = 0; i < model.OptionCount(); ++i) FindOrAdd(FoldCase(model.OptionName(i)), i);
    }

    // The first option whose folded name is `folded`; when there is none,
    // `option` is entered under that name and returned.
    int FindOrAdd(const std::string& folded, int option) {
        const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(folded) >> 16);
        std::size_t at = hash & (places_.size() - 1);
        for (;; at = (at + 1) & (places_.size() - 1)) {
            const Place& place = places_[at];
            if (place.option < 0) break;
            if (place.hash == hash && FoldCase(model_.OptionName(place.option)) == folded) return place.option;
        }
        places_[at] = {hash, option};
        if (2 * ++count_ > places_.size()) Grow();
        return option;
    }

private:
    struct Place {
        std::uint32_t hash = 0;
        std::int32_t option = -1;
    };

    void Grow() {
        std::vector<Place> old(places_.size() * 2, Place{});
        old.swap(places_);
        for (const Place& place : old) {
            if (place.option < 0) continue;
            std::size_t at = place.hash & (places_.size() - 1);
            while (places_[at].option >= 0) at = (at + 1) & (places_.size() - 1);
            places_[at] = place;
        }
    }

    const TMivoModel& model_;
    std::vector<Place> places_;
    std::size_t count_ = 0;
};

}  // namespace

// --- table access ------------------------------------------------------------

TMivoOptData::TMivoOptData() = default;

TMivoOptData::~TMivoOptData() = default;

void TMivoOptData::Clear() {
    model_ = nullptr;
    row_titles_.clear();
    row_attributes_.clear();
    col_titles_.clear();
    grid_.clear();
}

const std::string& TMivoOptData::RowTitle(int row) const { return At(row_titles_, row); }

void TMivoOptData::SetRowTitle(int row, const std::string& title) { At(row_titles_, row) = title; }

const std::string& TMivoOptData::ColTitle(int col) const { return At(col_titles_, col); }

void TMivoOptData::SetColTitle(int col, const std::string& title) { At(col_titles_, col) = title; }

TMivoAttribute* TMivoOptData::RowAttribute(int row) const {
    if (row < 0 || row >= static_cast<int>(row_attributes_.size())) return nullptr;
    return row_attributes_[static_cast<std::size_t>(row)];
}

std::string TMivoOptData::Cell(int row, int col) const {
    return std::string(At(grid_, row).Get(CheckedCast<std::size_t>(col)));
}

void TMivoOptData::SetCell(int row, int col, std::string_view value) {
    At(grid_, row).Set(CheckedCast<std::size_t>(col), value);
}

TMivoOptData::TFormat TMivoOptData::CurrentFormat() const {
    TFormat f;
    if (model_) {
        const TMivoSettings& s = model_->Settings;
        f.DataType = s.OptDataType;
        f.Transpose = s.OptTranspose;
        f.Levels = s.OptLevels;
    }
    return f;
}

std::string TMivoOptData::CellText(int row, int col) const {
    std::string out;
    AppendCellText(out, row, col, CurrentFormat(), RowScale(row));
    return out;
}

void TMivoOptData::AppendCellText(std::string& out, int row, int col, const TFormat& format,
                                  const TMivoDiscreteScale* scale) const {
    const std::string_view value = At(grid_, row).Get(CheckedCast<std::size_t>(col));
    if (value.empty() || value == "*") {
        out += '*';
        return;
    }
    const int size = scale ? scale->Count() : 0;
    for (std::size_t k = 0; k < value.size(); ++k) {
        if (k > 0) out += ';';
        const int index = CodeIndex(value[k]);
        if (format.DataType == 2) {
            if (scale && index >= 0 && index < size) out += scale->ValueName(index);
            else out += value[k];
        } else if (index < 0) {
            out += value[k];
        } else {
            AppendDecimal(out, format.DataType == 0 ? index : index + 1);
        }
    }
}

void TMivoOptData::DataReadError(int row, int col, std::string_view text) const {
    throw EMivoError(Format(MivoStr::SDataReadError, row, col, std::string(text)));
}

void TMivoOptData::SetCellText(int row, int col, std::string_view text) {
    StoreCellText(row, col, text, CurrentFormat(), RowScale(row));
}

void TMivoOptData::StoreCellText(int row, int col, std::string_view text, const TFormat& format,
                                 const TMivoDiscreteScale* scale) {
    if (text.empty() || text == "*") {
        SetCell(row, col, "*");
        return;
    }
    const int size = scale ? scale->Count() : 0;
    std::string value;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t semi = text.find(';', pos);
        std::string_view item = text.substr(pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos);
        pos = semi == std::string_view::npos ? text.size() : semi + 1;
        if (!scale) {
            value += item;
            continue;
        }
        int index = -1;
        if (format.DataType == 2) {
            index = ValueIndexOfName(*scale, item);
        } else {
            int n = ReadIndexNumber(item);
            if (n >= 0) index = format.DataType == 0 ? n : n - 1;
        }
        if (index < 0 || index >= size) DataReadError(row, col, text);
        value += ValueCode(index);
    }
    SetCell(row, col, value);
}

void TMivoOptData::ResizeGrid() {
    grid_.assign(row_titles_.size(), TValueStrings());
    for (TValueStrings& r : grid_) r.resize(col_titles_.size());
}

const TMivoDiscreteScale* TMivoOptData::RowScale(int row) const {
    const TMivoAttribute* attribute = RowAttribute(row);
    return attribute ? dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()) : nullptr;
}

TMivoOptData::TRowScales TMivoOptData::RowScales() const {
    TRowScales scales(row_titles_.size());
    for (std::size_t r = 0; r < scales.size(); ++r) scales[r] = RowScale(static_cast<int>(r));
    return scales;
}

TMivoAttribute* TMivoOptData::FindRowAttribute(const std::string& title) const {
    if (title.empty() || !model_) return nullptr;
    if (name_index_) return name_index_->FindAttribute(title);
    return model_->FindAttribute(title);
}

void TMivoOptData::AddRow(const std::string& title) {
    row_titles_.push_back(title);
    row_attributes_.push_back(FindRowAttribute(title));
    grid_.emplace_back().resize(col_titles_.size());
}

void TMivoOptData::AddColumn(const std::string& title) {
    col_titles_.push_back(title);
    for (TValueStrings& r : grid_) r.push_back({});
}

// --- text form -------------------------------------------------------------

int TMivoOptData::LineCount() const { return CurrentFormat().Transpose ? ColCount() : RowCount(); }

int TMivoOptData::ItemCount() const { return CurrentFormat().Transpose ? RowCount() : ColCount(); }

void TMivoOptData::AddLine(const std::string& title) {
    if (CurrentFormat().Transpose) AddColumn(title);
    else AddRow(title);
}

void TMivoOptData::AddItem(const std::string& title) {
    if (CurrentFormat().Transpose) AddRow(title);
    else AddColumn(title);
}

std::string TMivoOptData::GetText(int line, int item) const {
    TFormat format = CurrentFormat();
    int row = format.Transpose ? item : line;
    int col = format.Transpose ? line : item;
    if (row == -1 && col == -1) return "";
    if (row == -1) return ColTitle(col);
    if (col == -1) {
        const TMivoAttribute* attribute = RowAttribute(row);
        if (format.Levels && attribute)
            return RepeatStr(attribute->Level() - 1, MivoStr::SLevelPrefix) + RowTitle(row);
        return RowTitle(row);
    }
    return CellText(row, col);
}

void TMivoOptData::SetText(int line, int item, std::string_view text) {
    TFormat format = CurrentFormat();
    int row = format.Transpose ? item : line;
    int col = format.Transpose ? line : item;
    if (row == -1 && col == -1) return;
    if (row == -1) {
        SetColTitle(col, std::string(text));
    } else if (col == -1) {
        std::string title(format.Levels ? StripLevelPrefixes(text) : text);
        SetRowTitle(row, title);
        At(row_attributes_, row) = FindRowAttribute(title);
    } else {
        SetCellText(row, col, text);
    }
}

// --- model and text ------------------------------------------------------------

void TMivoOptData::LoadFromModel(TMivoModel* model) {
    Clear();
    model_ = model;
    if (!model) return;
    bool all = model->Settings.OptDataAll;
    model->ForEachAttribute([&](TMivoAttribute* a) {
        if (all || (a->IsBasic() && a->Link() == nullptr)) {
            row_titles_.push_back(a->GetName());
            row_attributes_.push_back(a);
        }
    });
    std::vector<int> options;
    col_titles_.reserve(static_cast<std::size_t>(model->OptionCount()));
    for (int i = 0; i < model->OptionCount(); ++i)
        if (model->OptionSelected(i)) {
            options.push_back(i);
            col_titles_.push_back(model->OptionName(i));
        }
    const bool every_option = std::cmp_equal(options.size(), model->OptionCount());
    grid_.resize(row_attributes_.size());
    for (std::size_t r = 0; r < row_attributes_.size(); ++r) {
        const TValueStrings& values = row_attributes_[r]->Values();
        TValueStrings& cells = grid_[r];
        if (every_option) {
            // The columns are the options in order: the row is the value
            // list, cut or padded to the options.
            cells = values;
            cells.resize(options.size());
            continue;
        }
        cells.resize(options.size());
        for (std::size_t c = 0; c < options.size(); ++c) {
            auto i = static_cast<std::size_t>(options[c]);
            if (i < values.size()) cells.Set(c, values.Get(i));
        }
    }
}

void TMivoOptData::StoreToModel(bool append) {
    if (!model_) return;
    // The option of every column: found by its folded name (the first
    // option of a name wins, as a search from the front would find it) or
    // appended.
    std::vector<int> option_of(col_titles_.size());
    if (append) {
        for (std::size_t c = 0; c < col_titles_.size(); ++c) {
            model_->AddOption(col_titles_[c]);
            option_of[c] = model_->OptionCount() - 1;
        }
    } else {
        TOptionPositions positions(*model_, static_cast<std::size_t>(model_->OptionCount()) + col_titles_.size());
        for (std::size_t c = 0; c < col_titles_.size(); ++c) {
            const int next = model_->OptionCount();
            option_of[c] = positions.FindOrAdd(FoldCase(col_titles_[c]), next);
            if (option_of[c] == next) model_->AddOption(col_titles_[c]);
        }
    }
    // The columns are the model's first options in order (so in a model
    // without options before, unless two columns share a name).
    bool in_order = true;
    for (std::size_t c = 0; c < option_of.size() && in_order; ++c) in_order = std::cmp_equal(option_of[c], c);
    // Values go to basic, unlinked row attributes, row by row.
    for (std::size_t r = 0; r < row_attributes_.size(); ++r) {
        TMivoAttribute* a = row_attributes_[r];
        if (!a || !a->IsBasic() || a->Link() != nullptr) continue;
        const TValueStrings& cells = grid_[r];
        if (in_order && a->ValueCount() <= ColCount()) {
            // Every string of the list is replaced: the row becomes the
            // list (its empty cells at the end stand for the missing
            // strings, which count as empty alike).
            a->SetValues(cells);
            continue;
        }
        a->ReserveValues(model_->OptionCount());
        for (std::size_t c = 0; c < col_titles_.size(); ++c) a->SetOptValue(option_of[c], cells.Get(c));
    }
    model_->Reevaluate();
}

void TMivoOptData::WriteLine(int line, bool csv, const TRowScales& scales, std::string& out) const {
    out.clear();
    const TFormat format = CurrentFormat();
    const char delimiter = csv ? ',' : '\t';
    std::string cell;
    const int items = ItemCount();
    for (int item = -1; item < items; ++item) {
        if (item > -1) out += delimiter;
        const int row = format.Transpose ? item : line;
        const int col = format.Transpose ? line : item;
        cell.clear();
        if (row == -1 || col == -1) cell = GetText(line, item);
        else AppendCellText(cell, row, col, format, At(scales, row));
        if (HasLineBreakOrTab(cell))
            throw EMivoError(Format("Option data cannot be written: the text \"%s\" holds a tab or a line break",
                                    CutToCodePoints(ReplaceStr(ReplaceStr(cell, "\r", " "), "\n", " "), 80)));
        if (csv) AppendQuotedCsv(out, cell);
        else out += cell;
    }
}

std::vector<std::string> TMivoOptData::SaveToStrings() const {
    const TRowScales scales = RowScales();
    std::vector<std::string> lines;
    int count = LineCount();
    lines.reserve(static_cast<std::size_t>(count) + 1);
    for (int line = -1; line < count; ++line) WriteLine(line, false, scales, lines.emplace_back());
    return lines;
}

void TMivoOptData::ReadLine(int index, std::string_view line, bool csv, int line_number,
                            const std::string& file_name, TRowScales& scales) {
    if (csv && !QuotesBalanced(line))
        throw EMivoError(Format("Unbalanced double quotes in line %d of \"%s\"", line_number, file_name));
    const TFormat format = CurrentFormat();
    if (index > 0) AddLine("");
    else if (!format.Transpose) col_titles_.reserve(CountItemsAtMost(line, csv ? ',' : '\t'));
    TItemCutter cutter(line, csv ? ',' : '\t', csv);
    std::string item;
    for (int j = -1; cutter.Next(item); ++j) {
        if (j >= ItemCount()) AddItem("");
        const int row = format.Transpose ? j : index - 1;
        const int col = format.Transpose ? index - 1 : j;
        if (row == -1 || col == -1) {
            SetText(index - 1, j, item);
            continue;
        }
        // A row's scale is looked up once, after its title has bound it.
        if (std::cmp_less_equal(scales.size(), row)) {
            const auto known = scales.size();
            scales.resize(static_cast<std::size_t>(row) + 1);
            for (auto r = known; r < scales.size(); ++r) scales[r] = RowScale(static_cast<int>(r));
        }
        StoreCellText(row, col, item, format, scales[static_cast<std::size_t>(row)]);
    }
}

void TMivoOptData::ReadText(std::string_view text, TMivoModel* model, bool csv, const std::string& file_name) {
    TLineSplitter lines(text);
    ReadLines([&lines](std::string_view& line, int& number) { return lines.Next(line, number); }, text.size(), model,
              csv, file_name);
}

void TMivoOptData::ReadFileText(const std::string& file_name, TMivoModel* model, bool csv) {
    // Read block by block: a file of a million options is never held whole.
    TFileLines lines(file_name);
    ReadLines([&lines](std::string_view& line, int& number) { return lines.Next(line, number); }, lines.FileSize(),
              model, csv, file_name);
}

void TMivoOptData::ReadLines(const TNextLine& next_line, std::size_t text_size, TMivoModel* model, bool csv,
                             const std::string& file_name) {
    Clear();
    std::string_view line;
    int number = 0;
    if (!model) {
        // Nothing to bind; the whole text is still read, read errors and all.
        while (next_line(line, number)) {
        }
        return;
    }
    model_ = model;
    // Row titles are bound through one index of the tree, built once.
    name_index_ = std::make_unique<TAttributeNameIndex>(*model);
    struct DropIndex {
        std::unique_ptr<TAttributeNameIndex>& index;
        ~DropIndex() { index.reset(); }
    } drop{name_index_};
    TRowScales scales;
    for (int index = 0; next_line(line, number); ++index) {
        // Transposed, every further line is a column: room for as many as
        // lines like the first one would fill the text saves growing the
        // rows a million times.
        if (index == 1 && CurrentFormat().Transpose) {
            const std::size_t estimate = text_size / (line.size() + 1);
            ReserveColumns(static_cast<std::ptrdiff_t>(std::min<std::size_t>(estimate + estimate / 4 + 16, 1 << 24)));
        }
        ReadLine(index, line, csv, number, file_name, scales);
    }
}

void TMivoOptData::ReserveColumns(std::ptrdiff_t count) {
    const auto n = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(count, 0, std::numeric_limits<int>::max()));
    try {
        col_titles_.reserve(n);
        for (TValueStrings& r : grid_) r.reserve(n);
    } catch (const std::bad_alloc&) {
        // Only a hint: the table grows as it needs.
    }
}

void TMivoOptData::LoadFromStrings(const std::vector<std::string>& lines, TMivoModel* model) {
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\n");
    ReadText(text, model, false, "");
}

void TMivoOptData::CheckBindsModel(const std::string& file_name) const {
    for (const TMivoAttribute* a : row_attributes_)
        if (a && a->IsBasic() && a->Link() == nullptr) return;
    throw EMivoError(Format("No option data for the model in \"%s\": no attribute title names a basic attribute "
                            "of the model (check the separator and the orientation)",
                            file_name));
}

void TMivoOptData::Export(const std::string& file_name, bool csv) const {
    TSafeFileWriter out(file_name);
    const TRowScales scales = RowScales();
    std::string text;
    int count = LineCount();
    for (int line = -1; line < count; ++line) {
        WriteLine(line, csv, scales, text);
        text += '\n';
        out.Write(text);
    }
    out.Commit();
}

void TMivoOptData::ExportTab(const std::string& file_name) const { Export(file_name, false); }

void TMivoOptData::ExportCsv(const std::string& file_name) const { Export(file_name, true); }

void TMivoOptData::ImportTab(const std::string& file_name, TMivoModel* model) {
    ReadFileText(file_name, model, false);
    CheckBindsModel(file_name);
}

void TMivoOptData::ImportCsv(const std::string& file_name, TMivoModel* model) {
    ReadFileText(file_name, model, true);
    CheckBindsModel(file_name);
}

std::string TMivoOptData::ClipboardText() const {
    std::string text;
    for (const std::string& line : SaveToStrings()) text += line + "\r\n";
    return text;
}

void TMivoOptData::PasteText(std::string_view text, TMivoModel* model) { ReadText(text, model, false, ""); }

}  // namespace mivo
