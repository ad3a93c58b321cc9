// The option-data table: attribute rows by option columns, one value string
// per cell in the model's own encoding (empty = undefined, "*" = any value,
// otherwise one byte per member, '0' + the value index).
//
// It carries option data between a model and delimited text: tab-separated
// files, comma-separated files and the clipboard. The model's settings
// decide which attributes take part (`OptDataAll`), how values are written
// (`OptDataType`: 0 indices from 0, 1 indices from 1, 2 value names), the
// orientation (`OptTranspose`) and whether attribute names are indented by
// their level (`OptLevels`).
//
// Text form. In normal orientation the lines are the attribute rows and the
// items of a line the option columns; transposed, the lines are the options
// and the items the attributes. Line -1 holds the item titles, item -1 of
// each line holds the line's title, and the corner (-1, -1) is empty.
//
// Cell texts: undefined and "*" are written "*"; otherwise one item per
// member joined by ";": base 0 writes the index, base 1 the index + 1 (both
// as decimal numbers, so scales of more than ten values read back), text the
// value's name. A code below '0', or one outside the row's scale in text,
// is written as the character itself; so is every code of a row without a
// scale, in all three formats, which reads back unchanged.
//
// Reading and writing a whole text converts cells through tables made once
// per scale (the text of every code, the checks of every item), stores
// cells into the grid without a string per cell, and writes files in large
// blocks.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/ValueStrings.h"

namespace mivo {

class TAttributeNameIndex;
class TMivoAttribute;
class TMivoDiscreteScale;
class TMivoModel;

class TMivoOptData {
public:
    TMivoOptData();
    ~TMivoOptData();
    TMivoOptData(const TMivoOptData&) = delete;
    TMivoOptData& operator=(const TMivoOptData&) = delete;

    // Forgets the model and empties titles, attributes and cells.
    void Clear();

    TMivoModel* Model() const { return model_; }

    // --- table access -----------------------------------------------------

    int RowCount() const { return static_cast<int>(row_titles_.size()); }
    int ColCount() const { return static_cast<int>(col_titles_.size()); }
    const std::string& RowTitle(int row) const;
    void SetRowTitle(int row, const std::string& title);
    const std::string& ColTitle(int col) const;
    void SetColTitle(int col, const std::string& title);
    // The row's attribute; nullptr for a row without one or outside the table.
    TMivoAttribute* RowAttribute(int row) const;

    // Raw value strings; an index outside the grid raises the range error.
    std::string Cell(int row, int col) const;
    void SetCell(int row, int col, std::string_view value);

    // The cell as text in the current value format.
    std::string CellText(int row, int col) const;
    // Reads a cell text in the current value format; a bad text raises
    // EMivoError "Data read error: [Attribute %d, Option %d] Value \"%s\"".
    void SetCellText(int row, int col, std::string_view text);

    // RowCount rows of ColCount empty cells.
    void ResizeGrid();
    // Appends a row (its attribute found by name in the model) / a column.
    void AddRow(const std::string& title);
    void AddColumn(const std::string& title);

    // --- text form ------------------------------------------------------

    int LineCount() const;
    int ItemCount() const;
    void AddLine(const std::string& title);
    void AddItem(const std::string& title);
    std::string GetText(int line, int item) const;
    void SetText(int line, int item, std::string_view text);

    // --- model and text -------------------------------------------------

    // Rows from the model's attributes (all, or the basic unlinked ones),
    // columns from its selected options.
    void LoadFromModel(TMivoModel* model);

    // Every column becomes an option of the model (found by name without
    // regard to case, or appended; always appended with `append`); values go
    // to basic, unlinked row attributes only; then the model is re-evaluated.
    void StoreToModel(bool append = false);

    // The text form as lines of tab-separated items. A title or cell text
    // holding a TAB, CR or LF cannot be written and raises EMivoError.
    std::vector<std::string> SaveToStrings() const;
    // Reads the text form from lines of tab-separated items.
    void LoadFromStrings(const std::vector<std::string>& lines, TMivoModel* model);

    // Files. The imports read lines ending at CR, LF or CR LF, skip empty
    // lines and a leading byte-order mark, and raise EMivoError when no line
    // (or item, transposed) names a basic attribute of the model that is not
    // linked: such a file holds no option data for the model. The exports
    // write through the safe file writer, each line ended by LF.
    void ExportTab(const std::string& file_name) const;
    void ImportTab(const std::string& file_name, TMivoModel* model);
    // Comma-separated: every item between double quotes, a double quote
    // inside a text doubled; reading drops the quotes, reads a doubled quote
    // inside quotes as one, refuses a line whose quotes are unbalanced, and
    // takes a tab, wherever it stands, as the end of an item just as a
    // comma outside quotes (so tab-separated text reads the same as csv).
    void ExportCsv(const std::string& file_name) const;
    void ImportCsv(const std::string& file_name, TMivoModel* model);

    // Clipboard text: the lines of SaveToStrings, each followed by CR LF;
    // and reading such a text back.
    std::string ClipboardText() const;
    void PasteText(std::string_view text, TMivoModel* model);

private:
    struct TFormat {
        int DataType = 1;
        bool Transpose = false;
        bool Levels = false;
    };
    // The conversions of a whole read or write (defined with the code).
    struct TReading;
    struct TWriting;
    class TOutText;

    TFormat CurrentFormat() const;
    void AppendColumn(std::string_view title);
    TMivoAttribute* FindRowAttribute(const std::string& title) const;
    const TMivoDiscreteScale* RowScale(int row) const;
    [[noreturn]] void DataReadError(int row, int col, std::string_view text) const;
    // One line of the text form into the table.
    void ReadLine(int index, std::string_view line, int line_number, const std::string& file_name,
                  TReading& reading);
    void ReadTitles(std::string_view line, TReading& reading);
    // The next line of a text and its number; false at the end.
    using TNextLine = std::function<bool(std::string_view&, int&)>;
    void ReadLines(const TNextLine& next_line, std::size_t text_size, TMivoModel* model, bool csv,
                   const std::string& file_name);
    void ReadText(std::string_view text, TMivoModel* model, bool csv, const std::string& file_name);
    void ReadFileText(const std::string& file_name, TMivoModel* model, bool csv);
    void CheckBindsModel(const std::string& file_name) const;
    // Makes room for that many columns (a hint; ignored when memory is short).
    void ReserveColumns(std::ptrdiff_t count);
    // Line `line` of the text form, appended to `out` without a line end.
    void WriteLine(int line, TWriting& writing, TOutText& out) const;
    void Export(const std::string& file_name, bool csv) const;

    TMivoModel* model_ = nullptr;
    std::vector<std::string> row_titles_;
    std::vector<TMivoAttribute*> row_attributes_;
    TLargeVector<std::string> col_titles_;  // a title per option: a million of them, at times
    // One compact list of value strings per row.
    std::vector<TValueStrings> grid_;
    // Binds row titles while a text is read; absent otherwise.
    std::unique_ptr<TAttributeNameIndex> name_index_;
};

}  // namespace mivo
