#include "model/MivoOptData.h"

#include <cstring>
#include <unordered_map>

#include "model/CodePage.h"
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

constexpr std::uint64_t kLongSlot = 0xFF;

bool HasLineBreakOrTab(std::string_view text) {
    return text.find_first_of("\t\r\n") != std::string_view::npos;
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

std::string QuoteCsv(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// The index of the first value of that exact name; -1 when there is none.
int ValueIndexOfName(const TMivoDiscreteScale& scale, std::string_view name) {
    for (int i = 0; i < scale.Count(); ++i)
        if (scale.ValueName(i) == name) return i;
    return -1;
}

}  // namespace

// --- compact cell rows -----------------------------------------------------

std::string TMivoOptData::TCellRow::Get(std::size_t i) const {
    std::uint64_t slot = slots_[i];
    std::size_t len = slot & 0xFF;
    if (len == kLongSlot) return long_values_[static_cast<std::size_t>(slot >> 8)];
    std::string out(len, '\0');
    for (std::size_t k = 0; k < len; ++k) out[k] = static_cast<char>((slot >> (8 * (k + 1))) & 0xFF);
    return out;
}

void TMivoOptData::TCellRow::Set(std::size_t i, std::string_view value) {
    std::uint64_t& slot = slots_[i];
    if (value.size() <= 7) {
        std::uint64_t packed = value.size();
        for (std::size_t k = 0; k < value.size(); ++k)
            packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(value[k])) << (8 * (k + 1));
        slot = packed;
        return;
    }
    if ((slot & 0xFF) == kLongSlot) {
        long_values_[static_cast<std::size_t>(slot >> 8)] = std::string(value);
    } else {
        long_values_.emplace_back(value);
        slot = (static_cast<std::uint64_t>(long_values_.size() - 1) << 8) | kLongSlot;
    }
}

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
    const TCellRow& r = At(grid_, row);
    CheckIndex(col, r.Size());
    return r.Get(static_cast<std::size_t>(col));
}

void TMivoOptData::SetCell(int row, int col, std::string_view value) {
    TCellRow& r = At(grid_, row);
    CheckIndex(col, r.Size());
    r.Set(static_cast<std::size_t>(col), value);
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
    std::string value = Cell(row, col);
    if (value.empty() || value == "*") return "*";
    TFormat format = CurrentFormat();
    const TMivoDiscreteScale* scale = RowScale(row);
    int size = scale ? scale->Count() : 0;
    std::string out;
    for (std::size_t k = 0; k < value.size(); ++k) {
        if (k > 0) out += ';';
        int index = CodeIndex(value[k]);
        if (format.DataType == 2) {
            if (scale && index >= 0 && index < size) out += scale->ValueName(index);
            else out += value[k];
        } else if (index < 0) {
            out += value[k];
        } else {
            out += std::to_string(format.DataType == 0 ? index : index + 1);
        }
    }
    return out;
}

void TMivoOptData::DataReadError(int row, int col, std::string_view text) const {
    throw EMivoError(Format(MivoStr::SDataReadError, row, col, std::string(text)));
}

void TMivoOptData::SetCellText(int row, int col, std::string_view text) {
    if (text.empty() || text == "*") {
        SetCell(row, col, "*");
        return;
    }
    TFormat format = CurrentFormat();
    const TMivoDiscreteScale* scale = RowScale(row);
    int size = scale ? scale->Count() : 0;
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
    grid_.assign(row_titles_.size(), TCellRow());
    for (TCellRow& r : grid_) r.Resize(col_titles_.size());
}

const TMivoDiscreteScale* TMivoOptData::RowScale(int row) const {
    const TMivoAttribute* attribute = RowAttribute(row);
    return attribute ? dynamic_cast<const TMivoDiscreteScale*>(attribute->Scale()) : nullptr;
}

TMivoAttribute* TMivoOptData::FindRowAttribute(const std::string& title) const {
    if (title.empty() || !model_) return nullptr;
    if (name_index_) return name_index_->FindAttribute(title);
    return model_->FindAttribute(title);
}

void TMivoOptData::AddRow(const std::string& title) {
    row_titles_.push_back(title);
    row_attributes_.push_back(FindRowAttribute(title));
    grid_.emplace_back().Resize(col_titles_.size());
}

void TMivoOptData::AddColumn(const std::string& title) {
    col_titles_.push_back(title);
    for (TCellRow& r : grid_) r.PushBack();
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
    for (int i = 0; i < model->OptionCount(); ++i)
        if (model->OptionSelected(i)) {
            options.push_back(i);
            col_titles_.push_back(model->OptionName(i));
        }
    ResizeGrid();
    for (std::size_t r = 0; r < row_attributes_.size(); ++r) {
        const TMivoAttribute* a = row_attributes_[r];
        const std::vector<std::string>& values = a->Values();
        for (std::size_t c = 0; c < options.size(); ++c) {
            auto i = static_cast<std::size_t>(options[c]);
            if (i < values.size()) grid_[r].Set(c, values[i]);
        }
    }
}

void TMivoOptData::StoreToModel(bool append) {
    if (!model_) return;
    // Option names folded for case-insensitive matching; the first option
    // of a name wins, as a search from the front would find it.
    std::unordered_map<std::string, int> positions;
    if (!append) {
        positions.reserve(static_cast<std::size_t>(model_->OptionCount()) + col_titles_.size());
        for (int i = 0; i < model_->OptionCount(); ++i) positions.emplace(FoldCase(model_->OptionName(i)), i);
    }
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < row_attributes_.size(); ++r) {
        const TMivoAttribute* a = row_attributes_[r];
        if (a && a->IsBasic() && a->Link() == nullptr) rows.push_back(r);
    }
    for (std::size_t r : rows) {
        std::vector<std::string>& values = row_attributes_[r]->EditValues();
        values.reserve(static_cast<std::size_t>(model_->OptionCount()) + col_titles_.size());
    }
    for (std::size_t c = 0; c < col_titles_.size(); ++c) {
        int i = -1;
        if (!append) {
            auto it = positions.find(FoldCase(col_titles_[c]));
            if (it != positions.end()) i = it->second;
        }
        if (i < 0) {
            model_->AddOption(col_titles_[c]);
            i = model_->OptionCount() - 1;
            if (!append) positions.emplace(FoldCase(col_titles_[c]), i);
        }
        for (std::size_t r : rows) row_attributes_[r]->SetOptValue(i, grid_[r].Get(c));
    }
    model_->Reevaluate();
}

std::string TMivoOptData::WriteLine(int line, bool csv) const {
    std::string out;
    int items = ItemCount();
    for (int item = -1; item < items; ++item) {
        std::string text = GetText(line, item);
        if (HasLineBreakOrTab(text))
            throw EMivoError(Format("Option data cannot be written: the text \"%s\" holds a tab or a line break",
                                    CutToCodePoints(ReplaceStr(ReplaceStr(text, "\r", " "), "\n", " "), 80)));
        if (item > -1) out += csv ? ',' : '\t';
        out += csv ? QuoteCsv(text) : text;
    }
    return out;
}

std::vector<std::string> TMivoOptData::SaveToStrings() const {
    std::vector<std::string> lines;
    int count = LineCount();
    lines.reserve(static_cast<std::size_t>(count) + 1);
    for (int line = -1; line < count; ++line) lines.push_back(WriteLine(line, false));
    return lines;
}

void TMivoOptData::ReadLine(int index, std::string_view line, bool csv, int line_number,
                            const std::string& file_name) {
    if (csv && !QuotesBalanced(line))
        throw EMivoError(Format("Unbalanced double quotes in line %d of \"%s\"", line_number, file_name));
    if (index > 0) AddLine("");
    TItemCutter cutter(line, csv ? ',' : '\t', csv);
    std::string item;
    for (int j = -1; cutter.Next(item); ++j) {
        if (j >= ItemCount()) AddItem("");
        SetText(index - 1, j, item);
    }
}

void TMivoOptData::ReadText(std::string_view text, TMivoModel* model, bool csv, const std::string& file_name) {
    Clear();
    if (!model) return;
    model_ = model;
    // Row titles are bound through one index of the tree, built once.
    name_index_ = std::make_unique<TAttributeNameIndex>(*model);
    struct DropIndex {
        std::unique_ptr<TAttributeNameIndex>& index;
        ~DropIndex() { index.reset(); }
    } drop{name_index_};
    TLineSplitter lines(text);
    std::string_view line;
    int number = 0;
    for (int index = 0; lines.Next(line, number); ++index) ReadLine(index, line, csv, number, file_name);
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
    int count = LineCount();
    for (int line = -1; line < count; ++line) {
        out.Write(WriteLine(line, csv));
        out.Write("\n");
    }
    out.Commit();
}

void TMivoOptData::ExportTab(const std::string& file_name) const { Export(file_name, false); }

void TMivoOptData::ExportCsv(const std::string& file_name) const { Export(file_name, true); }

void TMivoOptData::ImportTab(const std::string& file_name, TMivoModel* model) {
    std::string text = ReadFile(file_name);
    ReadText(text, model, false, file_name);
    CheckBindsModel(file_name);
}

void TMivoOptData::ImportCsv(const std::string& file_name, TMivoModel* model) {
    std::string text = ReadFile(file_name);
    ReadText(text, model, true, file_name);
    CheckBindsModel(file_name);
}

std::string TMivoOptData::ClipboardText() const {
    std::string text;
    for (const std::string& line : SaveToStrings()) text += line + "\r\n";
    return text;
}

void TMivoOptData::PasteText(std::string_view text, TMivoModel* model) { ReadText(text, model, false, ""); }

}  // namespace mivo
