#include "model/MivoOptData.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <unordered_map>
#include <utility>

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

[[noreturn]] void UnwritableText(const std::string& text) {
    throw EMivoError(Format("Option data cannot be written: the text \"%s\" holds a tab or a line break",
                            CutToCodePoints(ReplaceStr(ReplaceStr(text, "\r", " "), "\n", " "), 80)));
}

// Every byte once, so that a one-code value string is a view into it.
constexpr std::array<char, 256> kAllBytes = [] {
    std::array<char, 256> bytes{};
    for (int b = 0; b < 256; ++b) bytes[static_cast<std::size_t>(b)] = static_cast<char>(static_cast<unsigned char>(b));
    return bytes;
}();

std::string_view OneCode(int code) { return {&kAllBytes[static_cast<std::size_t>(code & 0xFF)], 1}; }

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
// delimiters (in comma-separated text a tab delimits as well).
std::size_t CountItemsAtMost(std::string_view line, bool csv) {
    std::size_t count = 1;
    for (char c : line) count += c == '\t' || (csv && c == ',');
    return count;
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

// The text of one value code in a value format: the character itself
// without a scale (the reader keeps such items as they stand), a code
// below '0' as it stands, in text the value's name (a code outside the
// scale as it stands), otherwise the index from 0 or 1 in decimal.
void AppendCodeText(std::string& out, char code, int data_type, const TMivoDiscreteScale* scale) {
    const int index = CodeIndex(code);
    if (!scale || index < 0) {
        out += code;
    } else if (data_type == 2) {
        if (index < scale->Count()) out += scale->ValueName(index);
        else out += code;
    } else {
        AppendDecimal(out, data_type == 0 ? index : index + 1);
    }
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

// The text with every double quote doubled.
std::string DoubleQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out;
}

// Reads cell texts into value strings for the rows that share one scale
// (or have none) in one value format.
class TCellReader {
public:
    TCellReader(int data_type, const TMivoDiscreteScale* scale)
        : data_type_(data_type), scale_(scale), size_(scale ? scale->Count() : 0) {
        // The name index below holds views into names_.
        if (scale && data_type == 2) {
            names_.reserve(static_cast<std::size_t>(size_));
            for (int i = 0; i < size_; ++i) names_.push_back(scale->ValueName(i));
            if (size_ > kLinearNames)
                for (int i = size_ - 1; i >= 0; --i) index_of_name_[names_[static_cast<std::size_t>(i)]] = i;
        }
    }
    TCellReader(const TCellReader&) = delete;
    TCellReader& operator=(const TCellReader&) = delete;

    // The value string of a cell text, as a view into `scratch` or into
    // the text; false when an item is no value of the scale.
    bool Read(std::string_view text, std::string& scratch, std::string_view& value) const {
        if (text.size() == 1) {
            // The common case: one item of one character.
            if (text[0] == '*' || !scale_) {
                value = text;
                return true;
            }
            if (data_type_ != 2) {
                const int index = text[0] - '0' - (data_type_ == 0 ? 0 : 1);
                if (text[0] < '0' || text[0] > '9' || index < 0 || index >= size_) return false;
                value = OneCode(static_cast<unsigned char>(ValueCode(index)));
                return true;
            }
        }
        if (text.empty()) {
            value = "*";
            return true;
        }
        scratch.clear();
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t semi = text.find(';', pos);
            const std::size_t end = semi == std::string_view::npos ? text.size() : semi;
            const std::string_view item = text.substr(pos, end - pos);
            pos = semi == std::string_view::npos ? text.size() : semi + 1;
            if (!scale_) {
                scratch += item;
                continue;
            }
            const int index = IndexOf(item);
            if (index < 0 || index >= size_) return false;
            scratch += ValueCode(index);
        }
        value = scratch;
        return true;
    }

private:
    // Scales of up to this many values are searched name by name.
    static constexpr int kLinearNames = 16;

    // The index an item names; -1 when it names none.
    int IndexOf(std::string_view item) const {
        if (data_type_ != 2) {
            const int n = ReadIndexNumber(item);
            return n < 0 ? -1 : data_type_ == 0 ? n : n - 1;
        }
        if (size_ > kLinearNames) {
            const auto it = index_of_name_.find(item);
            return it == index_of_name_.end() ? -1 : it->second;
        }
        for (int i = 0; i < size_; ++i)
            if (names_[static_cast<std::size_t>(i)] == item) return i;
        return -1;
    }

    int data_type_;
    const TMivoDiscreteScale* scale_;
    int size_;
    std::vector<std::string> names_;
    // The first value of each name (for large scales).
    std::unordered_map<std::string_view, int> index_of_name_;
};

// Writes value strings as cell texts for the rows that share one scale (or
// have none) in one format: the text of every code is made once.
class TCellWriter {
public:
    TCellWriter(int data_type, bool csv, const TMivoDiscreteScale* scale) {
        std::string piece;
        for (int code = 0; code < 256; ++code) {
            piece.clear();
            AppendCodeText(piece, static_cast<char>(static_cast<unsigned char>(code)), data_type, scale);
            if (HasLineBreakOrTab(piece)) unsafe_[static_cast<std::size_t>(code)] = any_unsafe_ = true;
            if (csv) piece = DoubleQuotes(piece);
            start_[static_cast<std::size_t>(code)] = static_cast<std::uint32_t>(pool_.size());
            longest_ = std::max(longest_, piece.size());
            pool_ += piece;
        }
        start_[256] = static_cast<std::uint32_t>(pool_.size());
    }

    // The most bytes Put writes for a value string of that size.
    std::size_t MostBytes(std::size_t size) const { return size == 0 ? 1 : size * (longest_ + 1); }

    // Whether the cell text of the value string would hold a tab or a
    // line break.
    bool Unwritable(std::string_view value) const {
        if (!any_unsafe_ || IsAnyValue(value)) return false;
        for (char c : value)
            if (unsafe_[static_cast<unsigned char>(c)]) return true;
        return false;
    }

    // Writes the cell text of the value string at `out` and advances it.
    void Put(std::string_view value, char*& out) const {
        if (IsAnyValue(value)) {
            *out++ = '*';
            return;
        }
        for (std::size_t k = 0; k < value.size(); ++k) {
            if (k > 0) *out++ = ';';
            const auto code = static_cast<unsigned char>(value[k]);
            const char* piece = pool_.data() + start_[code];
            const char* const end = pool_.data() + start_[code + 1u];
            while (piece < end) *out++ = *piece++;
        }
    }

private:
    static bool IsAnyValue(std::string_view value) { return value.empty() || (value.size() == 1 && value[0] == '*'); }

    std::string pool_;
    std::array<std::uint32_t, 257> start_{};
    std::array<bool, 256> unsafe_{};
    bool any_unsafe_ = false;
    std::size_t longest_ = 0;
};

// Converters shared by the rows of one scale, made on first use.
template <typename Converter, typename... Args>
const Converter& ConverterFor(std::unordered_map<const TMivoDiscreteScale*, std::unique_ptr<Converter>>& cache,
                              const TMivoDiscreteScale* scale, Args... args) {
    std::unique_ptr<Converter>& converter = cache[scale];
    if (!converter) converter = std::make_unique<Converter>(args..., scale);
    return *converter;
}

// The folded form of an option name is the name with A-Z as a-z when it
// is plain ASCII (what FoldCase gives for it), else FoldCase of it.
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// FNV-1a of the folded name, without a folded copy for ASCII names.
std::uint32_t FoldedHash(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](char c) { hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u; };
    if (IsAscii(name)) {
        for (char c : name) mix(LowerAscii(c));
    } else {
        for (char c : FoldCase(name)) mix(c);
    }
    return hash;
}

bool SameFolded(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
        return true;
    }
    return FoldCase(a) == FoldCase(b);
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
        for (int i = 0; i < model.OptionCount(); ++i) {
            const std::string& name = model.OptionName(i);
            FindOrAdd(name, FoldedHash(name), i);
        }
    }

    // Starts loading the place of a hash that FindOrAdd will soon look up.
    void Prefetch(std::uint32_t hash) const { __builtin_prefetch(&places_[hash & (places_.size() - 1)]); }

    // The first option whose name folds like `name` (of folded hash
    // `hash`); when there is none, `option` is entered under it and
    // returned.
    int FindOrAdd(std::string_view name, std::uint32_t hash, int option) {
        std::size_t at = hash & (places_.size() - 1);
        for (;; at = (at + 1) & (places_.size() - 1)) {
            const Place& place = places_[at];
            if (place.option < 0) break;
            if (place.hash == hash && SameFolded(model_.OptionName(place.option), name)) return place.option;
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
        TLargeVector<Place> old(places_.size() * 2, Place{});
        old.swap(places_);
        for (const Place& place : old) {
            if (place.option < 0) continue;
            std::size_t at = place.hash & (places_.size() - 1);
            while (places_[at].option >= 0) at = (at + 1) & (places_.size() - 1);
            places_[at] = place;
        }
    }

    const TMivoModel& model_;
    TLargeVector<Place> places_;
    std::size_t count_ = 0;
};

}  // namespace

// The readers of a whole text: one per scale, and the one of every row.
struct TMivoOptData::TReading {
    TFormat Format;
    bool Csv = false;
    std::unordered_map<const TMivoDiscreteScale*, std::unique_ptr<TCellReader>> Readers;
    std::vector<const TCellReader*> RowReaders;
    std::string ItemScratch, ValueScratch;

    // The reader of a row; looked up once, after its title has bound it.
    const TCellReader& ForRow(const TMivoOptData& table, int row) {
        const auto r = static_cast<std::size_t>(row);
        if (r >= RowReaders.size()) RowReaders.resize(r + 1, nullptr);
        if (!RowReaders[r]) RowReaders[r] = &ConverterFor(Readers, table.RowScale(row), Format.DataType);
        return *RowReaders[r];
    }
};

// The writers of a whole text: one per scale, and the one of every row.
struct TMivoOptData::TWriting {
    TFormat Format;
    bool Csv = false;
    std::unordered_map<const TMivoDiscreteScale*, std::unique_ptr<TCellWriter>> Writers;
    std::vector<const TCellWriter*> RowWriters;

    TWriting(const TMivoOptData& table, bool csv) : Format(table.CurrentFormat()), Csv(csv) {
        RowWriters.reserve(static_cast<std::size_t>(table.RowCount()));
        for (int row = 0; row < table.RowCount(); ++row)
            RowWriters.push_back(&ConverterFor(Writers, table.RowScale(row), Format.DataType, csv));
    }
};

// A growing block of output text, written to directly. With a sink, the
// text is handed on in blocks of about a megabyte at the end of any item
// (the title line of a million options is some ten megabytes long).
class TMivoOptData::TOutText {
public:
    using TSink = std::function<void(std::string_view)>;
    static constexpr std::size_t BlockSize = 1 << 20;

    TOutText() = default;
    explicit TOutText(TSink sink) : sink_(std::move(sink)) {}

    // Hands the text on to the sink once a block is full.
    void Spill() {
        if (sink_ && size_ >= BlockSize) Flush();
    }
    void Flush() {
        if (sink_) sink_(View());
        size_ = 0;
    }

    // Room for `count` more bytes at the end; write there, then End.
    char* Room(std::size_t count) {
        if (data_.size() - size_ < count) Grow(count);
        return Data() + size_;
    }
    void End(const char* end) { size_ = static_cast<std::size_t>(end - Data()); }

    void Append(std::string_view text) {
        char* at = Room(text.size());
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        End(at + text.size());
    }
    void Append(char c) {
        char* at = Room(1);
        *at = c;
        End(at + 1);
    }

    std::string_view View() const { return {data_.data(), size_}; }
    void Clear() { size_ = 0; }

private:
    void Grow(std::size_t count) {
        TLargeVector<char> data;
        data.reserve(std::max({data_.capacity() * 2, size_ + count, std::size_t{4096}}));
        data.assign(data_.data(), data_.data() + size_);
        data.resize(data.capacity());  // zeroes once, where the text will go
        data_.swap(data);
    }

    char* Data() { return data_.data(); }

    TSink sink_;
    TLargeVector<char> data_;
    std::size_t size_ = 0;
};

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
    const std::string_view value = At(grid_, row).Get(CheckedCast<std::size_t>(col));
    if (value.empty() || value == "*") return "*";
    const int data_type = CurrentFormat().DataType;
    const TMivoDiscreteScale* scale = RowScale(row);
    std::string out;
    for (std::size_t k = 0; k < value.size(); ++k) {
        if (k > 0) out += ';';
        AppendCodeText(out, value[k], data_type, scale);
    }
    return out;
}

void TMivoOptData::DataReadError(int row, int col, std::string_view text) const {
    throw EMivoError(Format(MivoStr::SDataReadError, row, col, std::string(text)));
}

void TMivoOptData::SetCellText(int row, int col, std::string_view text) {
    const TCellReader reader(CurrentFormat().DataType, RowScale(row));
    std::string scratch;
    std::string_view value;
    if (!reader.Read(text, scratch, value)) DataReadError(row, col, text);
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

void TMivoOptData::AddColumn(const std::string& title) { AppendColumn(title); }

void TMivoOptData::AppendColumn(std::string_view title) {
    col_titles_.emplace_back(title);
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
    const std::string& selection = model->Selection();
    const bool every_option = std::all_of(selection.begin(), selection.end(), [](char c) { return c == '1'; });
    std::vector<int> options;
    if (every_option) {
        col_titles_.assign(model->Options().begin(), model->Options().end());
    } else {
        for (int i = 0; i < model->OptionCount(); ++i)
            if (model->OptionSelected(i)) {
                options.push_back(i);
                col_titles_.push_back(model->OptionName(i));
            }
    }
    grid_.resize(row_attributes_.size());
    for (std::size_t r = 0; r < row_attributes_.size(); ++r) {
        const TValueStrings& values = row_attributes_[r]->Values();
        TValueStrings& cells = grid_[r];
        if (every_option) {
            // The columns are the options in order: the row is the value
            // list, cut or padded to the options.
            cells = values;
            cells.resize(col_titles_.size());
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
    TLargeVector<int> option_of(col_titles_.size());
    model_->ReserveOptions(static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(model_->OptionCount()) + col_titles_.size(), std::numeric_limits<int>::max())));
    if (append) {
        for (std::size_t c = 0; c < col_titles_.size(); ++c) {
            model_->AddOption(col_titles_[c]);
            option_of[c] = model_->OptionCount() - 1;
        }
    } else {
        TOptionPositions positions(*model_, static_cast<std::size_t>(model_->OptionCount()) + col_titles_.size());
        TLargeVector<std::uint32_t> hashes(col_titles_.size());
        for (std::size_t c = 0; c < col_titles_.size(); ++c) hashes[c] = FoldedHash(col_titles_[c]);
        // The places of a million names lie all over the table: each is
        // fetched a few columns ahead of its look-up.
        constexpr std::size_t kAhead = 16;
        for (std::size_t c = 0; c < col_titles_.size(); ++c) {
            if (c + kAhead < hashes.size()) positions.Prefetch(hashes[c + kAhead]);
            const int next = model_->OptionCount();
            option_of[c] = positions.FindOrAdd(col_titles_[c], hashes[c], next);
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

void TMivoOptData::WriteLine(int line, TWriting& writing, TOutText& out) const {
    const TFormat& format = writing.Format;
    const bool csv = writing.Csv;
    const char delimiter = csv ? ',' : '\t';
    const auto put_title = [&](const std::string& text) {
        if (HasLineBreakOrTab(text)) UnwritableText(text);
        if (!csv) return out.Append(text);
        out.Append('"');
        out.Append(DoubleQuotes(text));
        out.Append('"');
    };
    const auto put_cell = [&](const TCellWriter& writer, int row, int col) {
        const std::string_view value = grid_[static_cast<std::size_t>(row)].Get(static_cast<std::size_t>(col));
        if (writer.Unwritable(value)) UnwritableText(CellText(row, col));
        char* at = out.Room(writer.MostBytes(value.size()) + 3);
        *at++ = delimiter;
        if (csv) *at++ = '"';
        writer.Put(value, at);
        if (csv) *at++ = '"';
        out.End(at);
        out.Spill();
    };
    // Option titles are written from the table itself, not from copies.
    if (line == -1) {
        // The item titles after the empty corner.
        put_title("");
        for (int item = 0; item < ItemCount(); ++item) {
            out.Append(delimiter);
            if (format.Transpose) put_title(GetText(-1, item));
            else put_title(col_titles_[static_cast<std::size_t>(item)]);
            out.Spill();
        }
        return;
    }
    if (format.Transpose) put_title(col_titles_[static_cast<std::size_t>(line)]);
    else put_title(GetText(line, -1));
    if (format.Transpose) {
        for (int row = 0; row < RowCount(); ++row)
            put_cell(*writing.RowWriters[static_cast<std::size_t>(row)], row, line);
    } else {
        const TCellWriter& writer = *writing.RowWriters[static_cast<std::size_t>(line)];
        for (int col = 0; col < ColCount(); ++col) put_cell(writer, line, col);
    }
}

std::vector<std::string> TMivoOptData::SaveToStrings() const {
    TWriting writing(*this, false);
    TOutText text;
    std::vector<std::string> lines;
    const int count = LineCount();
    lines.reserve(static_cast<std::size_t>(count) + 1);
    for (int line = -1; line < count; ++line) {
        text.Clear();
        WriteLine(line, writing, text);
        lines.emplace_back(text.View());
    }
    return lines;
}

void TMivoOptData::ReadTitles(std::string_view line, TReading& reading) {
    // The first item is the corner; the others title the items of a table
    // that is still empty.
    TItemCutter cutter(line, reading.Csv ? ',' : '\t', reading.Csv);
    std::string_view item;
    if (!cutter.Next(item, reading.ItemScratch)) return;
    if (!reading.Format.Transpose) col_titles_.reserve(CountItemsAtMost(line, reading.Csv));
    for (int j = 0; cutter.Next(item, reading.ItemScratch); ++j) {
        if (reading.Format.Transpose) {
            AddRow("");
            SetText(-1, j, item);
        } else {
            AppendColumn(item);
        }
    }
}

void TMivoOptData::ReadLine(int index, std::string_view line, int line_number, const std::string& file_name,
                            TReading& reading) {
    if (reading.Csv && !QuotesBalanced(line))
        throw EMivoError(Format("Unbalanced double quotes in line %d of \"%s\"", line_number, file_name));
    if (index == 0) return ReadTitles(line, reading);
    const int at = index - 1;
    TItemCutter cutter(line, reading.Csv ? ',' : '\t', reading.Csv);
    std::string_view item, value;
    if (!reading.Format.Transpose) {
        // A line is a row: its cells are appended along it, and the cells
        // it leaves out at the end are undefined.
        row_titles_.emplace_back();
        row_attributes_.push_back(nullptr);
        TValueStrings& cells = grid_.emplace_back();
        const auto complete = [&] { cells.resize(col_titles_.size()); };
        if (!cutter.Next(item, reading.ItemScratch)) return complete();
        SetText(at, -1, item);
        const TCellReader& reader = reading.ForRow(*this, at);
        cells.reserve(col_titles_.size());
        for (std::size_t col = 0; cutter.Next(item, reading.ItemScratch); ++col) {
            // A further column gives every row an empty cell, this one too.
            if (col >= col_titles_.size()) AddColumn("");
            if (!reader.Read(item, reading.ValueScratch, value)) {
                complete();
                DataReadError(at, static_cast<int>(col), item);
            }
            if (col < cells.size()) cells.Set(col, value);
            else cells.push_back(value);
        }
        return complete();
    }
    // A line is an option: its title, then its cells appended down the
    // column; the rows it leaves out at the end get an undefined cell.
    col_titles_.emplace_back();
    const std::size_t col = col_titles_.size() - 1;
    std::size_t row = 0;
    const auto complete = [&] {
        for (; row < grid_.size(); ++row)
            if (grid_[row].size() == col) grid_[row].push_back({});
    };
    if (!cutter.Next(item, reading.ItemScratch)) return complete();
    col_titles_.back().assign(item);
    for (; cutter.Next(item, reading.ItemScratch); ++row) {
        // A further row comes with an empty cell in every column, this one
        // too.
        if (row >= grid_.size()) AddRow("");
        const TCellReader& reader = reading.ForRow(*this, static_cast<int>(row));
        if (!reader.Read(item, reading.ValueScratch, value)) {
            const int bad_row = static_cast<int>(row);
            complete();
            DataReadError(bad_row, at, item);
        }
        TValueStrings& cells = grid_[row];
        if (cells.size() == col) cells.push_back(value);
        else cells.Set(col, value);
    }
    complete();
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
    TReading reading;
    reading.Format = CurrentFormat();
    reading.Csv = csv;
    for (int index = 0; next_line(line, number); ++index) {
        // Transposed, every further line is a column: room for as many as
        // lines like the first one would fill the text saves growing the
        // rows a million times.
        if (index == 1 && reading.Format.Transpose) {
            const std::size_t estimate = text_size / (line.size() + 1);
            ReserveColumns(static_cast<std::ptrdiff_t>(std::min<std::size_t>(estimate + estimate / 4 + 16, 1 << 24)));
        }
        ReadLine(index, line, number, file_name, reading);
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
    TSafeFileWriter file(file_name);
    TWriting writing(*this, csv);
    TOutText text([&file](std::string_view block) { file.Write(block); });
    const int count = LineCount();
    for (int line = -1; line < count; ++line) {
        WriteLine(line, writing, text);
        text.Append('\n');
        text.Spill();
    }
    text.Flush();
    file.Commit();
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
