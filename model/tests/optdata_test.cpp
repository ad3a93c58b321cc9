#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "model/MivoModel.h"
#include "model/MivoOptData.h"
#include "model/SafeFile.h"

using namespace mivo;

namespace {

std::unique_ptr<TMivoDiscreteScale> Scale(std::vector<std::string> names) {
    auto s = std::make_unique<TMivoDiscreteScale>();
    for (const auto& n : names) s->AddValue(n);
    return s;
}

TMivoAttribute* Add(TMivoAttribute* parent, const std::string& name, std::vector<std::string> values) {
    auto a = std::make_unique<TMivoAttribute>(name);
    if (!values.empty()) a->SetScale(Scale(values));
    return parent->AddInput(std::move(a));
}

// A top aggregate "Car" (no function) with the basic inputs "Price" and
// "Comfort"; options A and B.
struct CarModel {
    TMivoModel model;
    TMivoAttribute* car;
    TMivoAttribute* price;
    TMivoAttribute* comfort;
    CarModel() {
        car = Add(model.Root(), "Car", {"bad", "ok", "good"});
        price = Add(car, "Price", {"high", "medium", "low"});
        comfort = Add(car, "Comfort", {"poor", "fine"});
        model.AddOption("A");
        model.AddOption("B");
        price->SetOptValue(0, "02");
        price->SetOptValue(1, "1");
        comfort->SetOptValue(0, "*");
    }
};

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/optdata_" + name; }

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string DataReadError(auto&& f) {
    try {
        f();
    } catch (const EMivoError& e) {
        return e.Message();
    }
    return "<no error>";
}

}  // namespace

TEST(OptData, NormalOrientationWithLevels) {
    CarModel m;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.SaveToStrings(), (std::vector<std::string>{"\tA\tB", "Car\t*\t*", ". Price\t1;3\t2", ". Comfort\t*\t*"}));
    m.model.Settings.OptLevels = false;
    m.model.Settings.OptDataAll = false;
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.SaveToStrings(), (std::vector<std::string>{"\tA\tB", "Price\t1;3\t2", "Comfort\t*\t*"}));
}

TEST(OptData, TransposedOrientation) {
    CarModel m;
    m.model.Settings.OptTranspose = true;
    m.model.Settings.OptDataType = 2;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.SaveToStrings(),
              (std::vector<std::string>{"\tCar\t. Price\t. Comfort", "A\t*\thigh;low\t*", "B\t*\tmedium\t*"}));
}

TEST(OptData, CellTextsInEveryValueFormat) {
    CarModel m;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    struct Case { int type; const char* text; };
    for (Case c : {Case{0, "0;2"}, {1, "1;3"}, {2, "high;low"}}) {
        m.model.Settings.OptDataType = static_cast<std::uint8_t>(c.type);
        EXPECT_EQ(d.CellText(1, 0), c.text);
        d.SetCellText(1, 1, c.text);
        EXPECT_EQ(d.Cell(1, 1), "02");
    }
}

TEST(OptData, BadCellTextsAreDataReadErrors) {
    CarModel m;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    struct Case { int type; const char* text; };
    for (Case c : {Case{0, "10"}, {1, "10"}, {1, "0"}, {0, "3"}, {2, "High"}, {2, ";high"}, {0, "x"}, {1, "-1"}}) {
        m.model.Settings.OptDataType = static_cast<std::uint8_t>(c.type);
        EXPECT_EQ(DataReadError([&] { d.SetCellText(1, 1, c.text); }),
                  std::string("Data read error: [Attribute 1, Option 1] Value \"") + c.text + "\"")
            << c.type << " " << c.text;
    }
    // A final ";" gives no empty item.
    m.model.Settings.OptDataType = 1;
    d.SetCellText(1, 1, "1;");
    EXPECT_EQ(d.Cell(1, 1), "0");
}

TEST(OptData, ReadingLinesFillsTheTable) {
    CarModel m;
    TMivoOptData d;
    d.LoadFromStrings({"\tX\tY", ". Price\t2\t*\t3", "Unknown\ta;b\tc", "Comfort\t"}, &m.model);
    ASSERT_EQ(d.RowCount(), 3);
    ASSERT_EQ(d.ColCount(), 3);  // the long line added an untitled column
    EXPECT_EQ(d.RowAttribute(0), m.price);
    EXPECT_EQ(d.Cell(0, 0), "1");
    EXPECT_EQ(d.Cell(0, 1), "*");
    EXPECT_EQ(d.Cell(0, 2), "2");
    EXPECT_EQ(d.RowAttribute(1), nullptr);
    EXPECT_EQ(d.Cell(1, 0), "ab");  // no attribute: items joined as they stand
    EXPECT_EQ(d.RowAttribute(2), m.comfort);
    EXPECT_EQ(d.Cell(2, 0), "");   // nothing follows a final tab: undefined
    d.StoreToModel();
    EXPECT_EQ(m.model.OptionCount(), 5);
    EXPECT_EQ(m.price->GetOptValue(2), "1");
    EXPECT_EQ(m.price->GetOptValue(3), "*");
}

TEST(OptData, ColumnsMatchOptionsWithoutRegardToCase) {
    CarModel m;
    TMivoOptData d;
    d.LoadFromStrings({"\ta\tNew", "Price\t3\t1"}, &m.model);
    d.StoreToModel();
    EXPECT_EQ(m.model.Options(), (std::vector<std::string>{"A", "B", "New"}));
    EXPECT_EQ(m.price->GetOptValue(0), "2");
    EXPECT_EQ(m.price->GetOptValue(2), "0");
    d.LoadFromStrings({"\ta", "Price\t1"}, &m.model);
    d.StoreToModel(true);
    EXPECT_EQ(m.model.OptionCount(), 4);
    EXPECT_EQ(m.price->GetOptValue(3), "0");
}

TEST(OptData, FilesRoundTripInEveryFormat) {
    for (bool csv : {false, true})
        for (int type : {0, 1, 2})
            for (bool transpose : {false, true})
                for (bool levels : {false, true}) {
                    CarModel m;
                    m.model.Settings.OptDataType = static_cast<std::uint8_t>(type);
                    m.model.Settings.OptTranspose = transpose;
                    m.model.Settings.OptLevels = levels;
                    m.model.SetOptionName(1, "B \"quoted\", with comma");
                    TMivoOptData out;
                    out.LoadFromModel(&m.model);
                    std::string path = TempPath(csv ? "rt.csv" : "rt.tab");
                    csv ? out.ExportCsv(path) : out.ExportTab(path);

                    CarModel n;
                    n.model.Settings = m.model.Settings;
                    n.model.DeleteAllOptions();
                    TMivoOptData in;
                    csv ? in.ImportCsv(path, &n.model) : in.ImportTab(path, &n.model);
                    in.StoreToModel();
                    SCOPED_TRACE(testing::Message() << csv << type << transpose << levels);
                    EXPECT_EQ(n.model.Options(), m.model.Options());
                    EXPECT_EQ(n.price->GetOptValue(0), "02");
                    EXPECT_EQ(n.price->GetOptValue(1), "1");
                    EXPECT_EQ(n.comfort->GetOptValue(0), "*");
                    EXPECT_EQ(n.comfort->GetOptValue(1), "*");
                }
}

TEST(OptData, LargeScalesWriteIndicesAsNumbers) {
    TMivoModel model;
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("v" + std::to_string(i));
    TMivoAttribute* a = Add(model.Root(), "Size", names);
    model.AddOption("o");
    a->SetOptValue(0, std::string(1, '0' + 11) + std::string(1, '0' + 9));
    TMivoOptData d;
    d.LoadFromModel(&model);
    model.Settings.OptDataType = 0;
    EXPECT_EQ(d.CellText(0, 0), "11;9");
    model.Settings.OptDataType = 1;
    EXPECT_EQ(d.CellText(0, 0), "12;10");
    d.SetCellText(0, 0, "12;10");
    EXPECT_EQ(d.Cell(0, 0), a->GetOptValue(0));
    EXPECT_NE(DataReadError([&] { d.SetCellText(0, 0, "13"); }), "<no error>");
}

TEST(OptData, CodesOutsideTheScaleAreWrittenAsTheyStand) {
    CarModel m;
    m.comfort->SetOptValue(1, "7");  // the scale has two values
    m.model.Settings.OptDataType = 2;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.CellText(2, 1), "7");
}

TEST(OptData, CsvQuotesAndDoubledQuotes) {
    CarModel m;
    std::string path = TempPath("quotes.csv");
    WriteText(path, "\"\",\"A,1\",\"B\"\"x\"\r\n\"Price\",\"1\",\"2;3\"\r\n");
    TMivoOptData d;
    d.ImportCsv(path, &m.model);
    ASSERT_EQ(d.ColCount(), 2);
    EXPECT_EQ(d.ColTitle(0), "A,1");
    EXPECT_EQ(d.ColTitle(1), "B\"x");
    EXPECT_EQ(d.Cell(0, 1), "12");

    WriteText(path, "\"\",\"A\r\n\"Price\",\"1\"\r\n");
    std::string message = DataReadError([&] { d.ImportCsv(path, &m.model); });
    EXPECT_NE(message.find("Unbalanced double quotes in line 1"), std::string::npos) << message;
}

TEST(OptData, TolerantReadingOfLineEndsAndEmptyLines) {
    CarModel m;
    std::string path = TempPath("ends.tab");
    WriteText(path, "\xEF\xBB\xBF\tA\tB\r\n\r\nPrice\t1\t2\rComfort\t2\n\n");
    TMivoOptData d;
    d.ImportTab(path, &m.model);
    ASSERT_EQ(d.RowCount(), 2);
    EXPECT_EQ(d.ColTitle(0), "A");
    EXPECT_EQ(d.Cell(0, 1), "1");
    EXPECT_EQ(d.Cell(1, 0), "1");
    EXPECT_EQ(d.Cell(1, 1), "");
}

TEST(OptData, AFileThatNamesNoBasicAttributeIsRefused) {
    CarModel m;
    std::string path = TempPath("nothing.tab");
    for (std::string text : {"", "\tA\nCar\t1\n", "Price,1,2\nComfort,1,1\n"}) {
        WriteText(path, text);
        TMivoOptData d;
        std::string message = DataReadError([&] { d.ImportTab(path, &m.model); });
        EXPECT_NE(message.find("No option data for the model in \"" + path + "\""), std::string::npos) << message;
    }
    EXPECT_THROW(TMivoOptData().ImportTab(TempPath("missing.tab"), &m.model), EFileError);
}

TEST(OptData, TextsWithTabsOrLineBreaksAreNotWritten) {
    CarModel m;
    m.model.SetOptionName(0, "two\nlines");
    std::string path = TempPath("broken.tab");
    WriteText(path, "previous");
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    EXPECT_THROW(d.ExportTab(path), EMivoError);
    EXPECT_THROW(d.ExportCsv(path), EMivoError);
    EXPECT_EQ(ReadFile(path), "previous");
}

TEST(OptData, ClipboardTextEndsLinesWithCrLf) {
    CarModel m;
    m.model.Settings.OptDataAll = false;
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    std::string text = d.ClipboardText();
    EXPECT_EQ(text, "\tA\tB\r\n. Price\t1;3\t2\r\n. Comfort\t*\t*\r\n");
    TMivoOptData e;
    e.PasteText(text, &m.model);
    EXPECT_EQ(e.SaveToStrings(), d.SaveToStrings());
}

TEST(OptData, AMillionColumnsOnOneLine) {
    CarModel m;
    m.model.DeleteAllOptions();
    std::string title, values;
    const int n = 1000000;
    title.reserve(8 * n);
    for (int i = 0; i < n; ++i) {
        title += "\to" + std::to_string(i);
        values += (i % 3 == 0) ? "\t1" : "\t3";
    }
    TMivoOptData d;
    d.LoadFromStrings({title, "Price" + values}, &m.model);
    d.StoreToModel();
    ASSERT_EQ(m.model.OptionCount(), n);
    EXPECT_EQ(m.price->GetOptValue(n - 1), "0");
    EXPECT_EQ(m.price->GetOptValue(n - 2), "2");
}

// Storing a table: columns in the order of a model without options (the
// rows handed over whole) and columns matched by name (value by value) must
// leave the same values; the table keeps its cells either way, and later
// changes of the model do not reach it.
TEST(OptData, StoringMatchesColumnsInOrderAndByName) {
    struct Case {
        const char* what;
        bool fresh;  // the model's options deleted first
        std::vector<std::string> lines;
        std::vector<std::string> options;
        std::vector<std::string> price;
    };
    const Case cases[] = {
        {"in order, ragged", true, {"\tX\tY\tZ", "Price\t2\t\t1", "Comfort\t1"}, {"X", "Y", "Z"}, {"1", "*", "0"}},
        {"a name twice", true, {"\tX\tx\tY", "Price\t1\t3\t2"}, {"X", "Y"}, {"2", "1"}},
        {"existing options", false, {"\tb\tNew\tA", "Price\t3\t1\t*"}, {"A", "B", "New"}, {"*", "2", "0"}},
    };
    for (const Case& c : cases) {
        CarModel m;
        if (c.fresh) m.model.DeleteAllOptions();
        TMivoOptData d;
        d.LoadFromStrings(c.lines, &m.model);
        const std::vector<std::string> before = d.SaveToStrings();
        d.StoreToModel();
        EXPECT_EQ(m.model.Options(), c.options) << c.what;
        for (std::size_t i = 0; i < c.price.size(); ++i)
            EXPECT_EQ(m.price->GetOptValue(static_cast<int>(i)), c.price[i]) << c.what << " " << i;
        // Every list the evaluation reached holds one string per option.
        EXPECT_EQ(m.price->ValueCount(), m.model.OptionCount()) << c.what;
        EXPECT_EQ(m.car->ValueCount(), m.model.OptionCount()) << c.what;

        m.price->SetOptValue(0, "0");
        m.comfort->SetOptValue(0, "0");
        EXPECT_EQ(d.SaveToStrings(), before) << c.what;
    }
}

// Loading a table from the model: with every option selected the rows are
// the value lists, cut or padded to the options; with a selection, the
// selected options' values. Neither shares later changes with the model.
TEST(OptData, LoadingTakesTheSelectedOptions) {
    CarModel m;
    m.model.AddOption("C");
    m.model.Settings.OptDataAll = false;
    m.model.Settings.OptLevels = false;
    m.comfort->SetValues({"0", "1", "*", "1"});  // longer than the option list
    TMivoOptData d;
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.SaveToStrings(), (std::vector<std::string>{"\tA\tB\tC", "Price\t1;3\t2\t*", "Comfort\t1\t2\t*"}));
    m.price->SetOptValue(2, "1");
    EXPECT_EQ(d.Cell(0, 2), "");

    m.model.SetOptionSelected(0, false);
    d.LoadFromModel(&m.model);
    EXPECT_EQ(d.SaveToStrings(), (std::vector<std::string>{"\tB\tC", "Price\t2\t2", "Comfort\t2\t*"}));
}

// Comma-separated text is read as tab text whose commas outside quotes are
// further tabs: tab text read as csv, csv, and lines that mix both read to
// the same options, in either orientation.
TEST(OptData, TabsSeparateItemsInCommaSeparatedText) {
    struct Case {
        bool transpose;
        std::vector<std::string> texts;  // the first is plain tab text
    };
    const Case cases[] = {
        {false,
         {"\tA\tB\nPrice\t1;3\t2\nComfort\t*\t2\n",
          "\"\",\"A\",\"B\"\n\"Price\",\"1;3\",\"2\"\n\"Comfort\",\"*\",\"2\"\n",
          "\"\"\tA,\"B\"\r\nPrice\t\"1;3\",2\r\n\"Comfort\",*\t\"2\"\r\n"}},
        {true,
         {"\tPrice\tComfort\nA\t1;3\t*\nB\t2\t2\n",
          "\"\",\"Price\",\"Comfort\"\n\"A\",\"1;3\",\"*\"\n\"B\",\"2\",\"2\"\n",
          "\t\"Price\",Comfort\n\"A\"\t1;3,\"*\"\nB,\"2\"\t2\n"}},
    };
    for (const Case& c : cases) {
        for (std::size_t k = 0; k < c.texts.size(); ++k) {
            SCOPED_TRACE(testing::Message() << "transposed " << c.transpose << ", text " << k);
            const std::string path = TempPath("mixed.csv");
            WriteText(path, c.texts[k]);
            CarModel m;
            m.model.DeleteAllOptions();
            m.model.Settings.OptTranspose = c.transpose;
            TMivoOptData d;
            d.ImportCsv(path, &m.model);
            d.StoreToModel();
            EXPECT_EQ(m.model.Options(), (std::vector<std::string>{"A", "B"}));
            EXPECT_EQ(m.price->GetOptValue(0), "02");
            EXPECT_EQ(m.price->GetOptValue(1), "1");
            EXPECT_EQ(m.comfort->GetOptValue(0), "*");
            EXPECT_EQ(m.comfort->GetOptValue(1), "1");
        }
    }
}

// An empty line is judged as the file has it: a line "" holds one empty
// item (an untitled row), while a line with nothing on it is skipped.
TEST(OptData, AQuotedEmptyLineIsAnEmptyItem) {
    CarModel m;
    const std::string path = TempPath("emptyitem.csv");
    WriteText(path, "\"\",\"A\"\n\n\"\"\n\"Price\",\"2\"\n");
    TMivoOptData d;
    d.ImportCsv(path, &m.model);
    ASSERT_EQ(d.RowCount(), 2);
    EXPECT_EQ(d.RowTitle(0), "");
    EXPECT_EQ(d.RowAttribute(0), nullptr);
    EXPECT_EQ(d.Cell(0, 0), "");
    EXPECT_EQ(d.RowAttribute(1), m.price);
    EXPECT_EQ(d.Cell(1, 0), "1");
}

// A row whose attribute has no scale is written as its characters, so its
// values survive writing and reading in every value format and separator.
TEST(OptData, ScalelessRowsRoundTripAsTheirCharacters) {
    for (bool csv : {false, true})
        for (int type : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "csv " << csv << ", type " << type);
            CarModel m;
            TMivoAttribute* note = m.model.Root()->AddInput(std::make_unique<TMivoAttribute>("Note"));
            note->SetOptValue(0, "ab");
            note->SetOptValue(1, "7");
            m.model.Settings.OptDataType = static_cast<std::uint8_t>(type);
            m.model.Settings.OptDataAll = false;
            TMivoOptData out;
            out.LoadFromModel(&m.model);
            EXPECT_EQ(out.SaveToStrings().back(), "Note\ta;b\t7");
            const std::string path = TempPath(csv ? "note.csv" : "note.tab");
            csv ? out.ExportCsv(path) : out.ExportTab(path);
            for (int round = 0; round < 2; ++round) {
                TMivoOptData in;
                csv ? in.ImportCsv(path, &m.model) : in.ImportTab(path, &m.model);
                in.StoreToModel();
                EXPECT_EQ(note->GetOptValue(0), "ab");
                EXPECT_EQ(note->GetOptValue(1), "7");
                EXPECT_EQ(m.price->GetOptValue(0), "02");
                // Written again, the file is the same.
                TMivoOptData again;
                again.LoadFromModel(&m.model);
                const std::string second = TempPath(csv ? "note2.csv" : "note2.tab");
                csv ? again.ExportCsv(second) : again.ExportTab(second);
                EXPECT_EQ(ReadFile(second), ReadFile(path));
            }
        }
}

// Transposed lines of every length: a short line leaves its last cells
// undefined, a long one adds untitled rows, and a bad value stops the read
// with every row still as long as the options.
TEST(OptData, RaggedTransposedLines) {
    CarModel m;
    m.model.Settings.OptTranspose = true;
    TMivoOptData d;
    d.LoadFromStrings({"\tPrice\tComfort", "A\t2", "B\t1\t2\t3", "C\t3\t1"}, &m.model);
    ASSERT_EQ(d.RowCount(), 3);
    ASSERT_EQ(d.ColCount(), 3);
    EXPECT_EQ(d.RowAttribute(2), nullptr);
    const std::vector<std::vector<std::string>> cells = {{"1", "0", "2"}, {"", "1", "0"}, {"", "3", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(d.Cell(r, c), cells[r][c]) << r << " " << c;

    EXPECT_EQ(DataReadError([&] { d.LoadFromStrings({"\tPrice\tComfort", "A\t1\t1", "B\t9"}, &m.model); }),
              "Data read error: [Attribute 0, Option 1] Value \"9\"");
    ASSERT_EQ(d.ColCount(), 2);
    EXPECT_EQ(d.Cell(0, 1), "");
    EXPECT_EQ(d.Cell(1, 1), "");
    EXPECT_EQ(d.Cell(1, 0), "0");
}
