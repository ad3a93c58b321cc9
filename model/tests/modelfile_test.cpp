// The model file: layout written, reading back, snapshots, subtree copies
// and the reader's refusal of files that do not describe a sound model.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/UTF8.h"
#include "model/Xml.h"
#include "model/XmlWriter.h"

namespace mivo {
namespace {

std::string DataFile(const std::string& name) { return std::string(MIVO_TEST_DATA) + "/model/" + name; }

std::string TempFile(const std::string& name) {
    return ::testing::TempDir() + "/modelfile_" + std::to_string(getpid()) + "_" + name;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::unique_ptr<TMivoDiscreteScale> MakeScale(const std::vector<std::string>& names, std::uint8_t order = soAscending) {
    auto scale = std::make_unique<TMivoDiscreteScale>();
    scale->Order = order;
    for (const std::string& name : names) scale->AddValue(name);
    scale->DefaultBounds();
    return scale;
}

TMivoAttribute* AddAttribute(TMivoAttribute& parent, const std::string& name, const std::vector<std::string>& values) {
    TMivoAttribute* attribute = parent.AddInput(std::make_unique<TMivoAttribute>(name));
    if (!values.empty()) attribute->SetScale(MakeScale(values));
    return attribute;
}

// A top aggregate "Car" (bad, ok, good) over "Price" (high, low) and
// "Safety" (poor, fair, fine), with a full table and two options.
// A source that gives the text `step` bytes at a time.
TTextSource PiecesOf(std::string text, std::size_t step) {
    return [text = std::move(text), step, at = std::size_t(0)](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min({step, size, text.size() - at});
        text.copy(buffer, n, at);
        at += n;
        return n;
    };
}

struct CarModel {
    TMivoModel model;
    TMivoAttribute* car;
    TMivoAttribute* price;
    TMivoAttribute* safety;

    CarModel() {
        car = AddAttribute(*model.Root(), "Car", {"bad", "ok", "good"});
        price = AddAttribute(*car, "Price", {"high", "low"});
        safety = AddAttribute(*car, "Safety", {"poor", "fair", "fine"});
        TMivoFunction* f = car->CreateFunction();
        for (int r = 0; r < f->RuleCount(); ++r) {
            f->SetRuleValue(r, std::min(2, f->ArgValue(0, r) + f->ArgValue(1, r)));
            f->SetRuleEntered(r, true);
        }
        model.AddOption("A");
        model.AddOption("B");
        price->SetOptValue(0, "1");
        price->SetOptValue(1, "0");
        safety->SetOptValue(0, "2");
        safety->SetOptValue(1, "01");
        model.Reevaluate();
    }
};

std::vector<std::string> Snapshot(TMivoModel& model) {
    std::vector<std::string> lines;
    SaveToStrings(model, lines);
    return lines;
}

// Reads the lines into a fresh model and gives its snapshot.
std::vector<std::string> ReadBack(const std::vector<std::string>& lines) {
    TMivoModel copy;
    LoadFromStrings(copy, lines);
    return Snapshot(copy);
}

// Wraps the children of a "Mivo" root in a UTF-8 document.
std::vector<std::string> Document(const std::string& body) {
    return {std::string(XmlUtf8Header), "<Mivo>", body, "</Mivo>"};
}

// --- layout written ---------------------------------------------------------------

TEST(ModelFile, DefaultModelWritesAnEmptySettingsElement) {
    TMivoModel model;
    EXPECT_EQ(Join(Snapshot(model)), std::string(XmlUtf8Header) + "\n<Mivo>\n  <SETTINGS/>\n</Mivo>\n");
    EXPECT_FALSE(model.Modified);
}

TEST(ModelFile, ReferenceFileReadsBackAndWritesOutByteIdentical) {
    const std::string original = ReadFile(DataFile("reference.mvo"));
    TMivoModel model;
    LoadFromFile(model, DataFile("reference.mvo"));
    EXPECT_FALSE(model.Modified);
    EXPECT_TRUE(model.NeedsEvaluation);

    // A few fields that the layout carries, checked in the model itself.
    EXPECT_EQ(model.GetDescription(), "First line\r\n\r\nThird line");
    ASSERT_EQ(model.OptionCount(), 2);
    EXPECT_EQ(model.OptionName(1), "Bob's & co");
    EXPECT_EQ(model.Settings.EvalCol, 8);
    EXPECT_EQ(model.Settings.GoodColor, 0xABCDEF01u);
    EXPECT_EQ(model.Settings.GoodFontStyle, 0);
    EXPECT_EQ(model.Settings.FncFormatType, 0);
    TMivoAttribute* top = model.FirstAttribute();
    EXPECT_EQ(top->GetDescription(), "Top\r\nlevel  with two blanks");
    TMivoFunction* f = top->Funct();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetDescription(), "Rules\r\nof the top");
    EXPECT_EQ(f->RuleLow(2), 1);
    EXPECT_EQ(f->RuleHigh(2), 2);
    EXPECT_FALSE(f->RuleEntered(2));
    EXPECT_FALSE(f->Consist);
    EXPECT_EQ(f->Rounding, -1);
    EXPECT_EQ(f->RequiredWeights, (TFloatList{60, 40}));
    TMivoScale* price = top->Inputs(0)->Scale();
    EXPECT_TRUE(price->IsDescending());
    EXPECT_FALSE(price->Interval);
    EXPECT_TRUE(price->IsGood(0));
    EXPECT_TRUE(price->IsBad(1));

    const std::string path = TempFile("reference.mvo");
    SaveToFile(model, path);
    EXPECT_EQ(ReadFile(path), original);
    std::remove(path.c_str());
}

TEST(ModelFile, BundledExampleIsTheWritersOwnOutput) {
    const std::string example = std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo";
    TMivoModel model;
    LoadFromFile(model, example);
    EXPECT_EQ(model.Statistics().Attributes, 10);
    const std::string path = TempFile("apartment.mvo");
    SaveToFile(model, path);
    EXPECT_EQ(ReadFile(path), ReadFile(example));
    std::remove(path.c_str());
}

// Written in pieces and read back as it is pulled, a model gives the text
// SaveToText gives: pieces of whole lines, each about the writer's piece
// size, over a model too large for one piece; and the reference file.
TEST(ModelFile, TextWrittenInPiecesAndPulledBackIsTheSameText) {
    CarModel large;
    for (int i = 2; i < 60000; ++i) large.model.AddOption("option " + std::to_string(i));
    for (int i = 0; i < 60000; ++i) large.price->SetOptValue(i, std::to_string(i % 2));
    TMivoModel reference;
    LoadFromFile(reference, DataFile("reference.mvo"));
    for (TMivoModel* model : {&large.model, &reference}) {
        const std::string text = SaveToText(*model);
        std::vector<std::string> pieces;
        SaveToSink(*model, [&pieces](std::string_view piece) { pieces.emplace_back(piece); });
        std::string joined;
        for (const std::string& piece : pieces) {
            EXPECT_TRUE(piece.ends_with('\n'));
            if (&piece != &pieces.back()) {
                EXPECT_GE(piece.size(), TXmlWriter::SinkPiece);
            }
            joined += piece;
        }
        EXPECT_EQ(joined, text);
        for (std::size_t step : {1000, 1 << 20}) {
            TMivoModel pulled;
            LoadFromSource(pulled, PiecesOf(text, step));
            EXPECT_EQ(SaveToText(pulled), text) << step;
        }
    }
    EXPECT_GE(SaveToText(large.model).size(), 2 * TXmlWriter::SinkPiece);
}

// A source that fails stops the reading with its error; one that ends
// early gives the reader's message, as a text cut there does.
TEST(ModelFile, PulledTextThatFailsOrEndsEarlyIsAnError) {
    CarModel car;
    const std::string text = SaveToText(car.model);
    TMivoModel failed;
    EXPECT_THROW(LoadFromSource(failed, [](char*, std::size_t) -> std::size_t { throw EMivoError("broken"); }),
                 EMivoError);
    const std::string cut = text.substr(0, text.size() / 2);
    std::string from_text, from_source;
    try {
        TMivoModel model;
        LoadFromText(model, cut);
    } catch (const EXmlError& e) {
        from_text = e.what();
    }
    try {
        TMivoModel model;
        LoadFromSource(model, PiecesOf(cut, 3));
    } catch (const EXmlError& e) {
        from_source = e.what();
    }
    EXPECT_FALSE(from_text.empty());
    EXPECT_EQ(from_source, from_text);
}

TEST(ModelFile, EvalColIsWrittenOnlyWhenTheColumnCountIsNotFive) {
    for (int evalCol : {0, 5, -3, 8}) {
        TMivoModel model;
        model.Settings.EvalCol = evalCol;
        std::string text = Join(Snapshot(model));
        bool written = text.find("<EVALCOL>") != std::string::npos;
        EXPECT_EQ(written, evalCol == 8) << evalCol;
        TMivoModel copy;
        LoadFromStrings(copy, Snapshot(model));
        EXPECT_EQ(copy.Settings.EvalColumns(), evalCol == 8 ? 8 : 5);
    }
}

TEST(ModelFile, SettingsRoundTripEveryField) {
    TMivoModel model;
    TMivoSettings& s = model.Settings;
    s.Linking = true;
    s.Undoing = false;
    s.ReportParts.reset();
    s.ReportParts.set(3);
    s.ReportParts.set(255);
    s.WeightShow.reset();
    s.PageBreak = true;
    s.BadColor = 0xFFFFFFFF;
    s.GoodColor = 0;
    s.BadFontStyle = fsUnderline;
    s.GoodFontStyle = fsBold | fsItalic | fsUnderline;
    s.WeightDec = 3;
    s.EvalCol = 2;
    s.EvalTrim = 7;
    s.ShowWeights = false;
    s.ShowNum = false;
    s.ComplexRules = false;
    s.EnteredOnly = true;
    s.FontSize = 14;
    s.FontName = "Ærial & Co";
    s.OptDataType = 0;
    s.OptDataAll = false;
    s.OptTranspose = true;
    s.OptLevels = false;
    s.FncDataType = 2;
    s.FncDataAll = false;
    s.FncFormatType = 2;
    TMivoModel copy;
    LoadFromStrings(copy, Snapshot(model));
    EXPECT_TRUE(copy.Settings == model.Settings);
    // An emptied set is written (as an empty text) and reads back empty.
    EXPECT_TRUE(copy.Settings.WeightShow.none());
}

TEST(ModelFile, SettingsKeysAreReadByTheirOwnRules) {
    TMivoModel model;
    LoadFromStrings(model, Document("<SETTINGS><linking>True</linking><UNDOING>no</UNDOING>"
                                    "<BADCOLOR>ff</BADCOLOR><BADFONTSTYLE>ub</BADFONTSTYLE>"
                                    "<REPORTS>1;300;2</REPORTS><OPTDATATYPE>Whatever</OPTDATATYPE>"
                                    "<FNCFORMATTYPE>Col</FNCFORMATTYPE><FONTSIZE>9</FONTSIZE>"
                                    "<FONTSIZE>11</FONTSIZE></SETTINGS><LINKING>yes</LINKING>"
                                    "<EVALCOL>4</EVALCOL><UNKNOWN>1</UNKNOWN>"));
    const TMivoSettings& s = model.Settings;
    EXPECT_TRUE(s.Linking);  // from the root-level key; the lower-case one is ignored
    EXPECT_FALSE(s.Undoing);
    EXPECT_EQ(s.BadColor, 0xFFu);
    EXPECT_EQ(s.BadFontStyle, fsBold | fsUnderline);
    EXPECT_EQ(s.OptDataType, 1);
    EXPECT_EQ(s.FncFormatType, 1);
    EXPECT_EQ(s.FontSize, 11);  // the last of two
    EXPECT_EQ(s.EvalCol, 4);
    EXPECT_EQ(s.ReportParts.count(), 2u);
}

TEST(ModelFile, AllEnteredSingleValuedFunctionWritesOnlyLow) {
    CarModel car;
    std::string text = Join(Snapshot(car.model));
    EXPECT_NE(text.find("<LOW>012122</LOW>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<HIGH>"), std::string::npos);
    EXPECT_EQ(text.find("<ENTERED>"), std::string::npos);

    TMivoModel copy;
    LoadFromStrings(copy, Snapshot(car.model));
    const TMivoFunction* f = copy.FirstAttribute()->Funct();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Rules().Count(), 6);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(f->Rules().Get(r), car.car->Funct()->Rules().Get(r)) << r;
}

TEST(ModelFile, ShortLowSetsOnlyTheLeadingRules) {
    CarModel car;
    std::vector<std::string> lines = Snapshot(car.model);
    for (std::string& line : lines)
        if (line.find("<LOW>") != std::string::npos) line = "<LOW>21</LOW><HIGH>2</HIGH><ENTERED>-</ENTERED>";
    TMivoModel copy;
    LoadFromStrings(copy, lines);
    const TMivoFunction* f = copy.FirstAttribute()->Funct();
    EXPECT_EQ(f->Rules().Get(0), "0022-");  // HIGH and ENTERED given
    EXPECT_EQ(f->Rules().Get(1), "0111+");  // HIGH and ENTERED too short: LOW and '+'
    for (int r = 2; r < 6; ++r) {
        EXPECT_EQ(f->RuleLow(r), 0) << r;
        EXPECT_EQ(f->RuleHigh(r), 2) << r;
        EXPECT_FALSE(f->RuleEntered(r)) << r;
    }
}

TEST(ModelFile, TwoLineDescriptionIsLinesInFilesAndPlainInSnapshots) {
    CarModel car;
    car.model.SetDescription("One\r\nTwo");
    const std::string path = TempFile("description.mvo");
    SaveToFile(car.model, path);
    std::string file = ReadFile(path);
    EXPECT_NE(file.find("  <DESCRIPTION>\r\n    <LINE>One</LINE>\r\n    <LINE>Two</LINE>\r\n  </DESCRIPTION>\r\n"),
              std::string::npos);
    std::string snapshot = Join(Snapshot(car.model));
    EXPECT_NE(snapshot.find("<DESCRIPTION>One&cr;&lf;Two</DESCRIPTION>"), std::string::npos);

    TMivoModel fromFile, fromSnapshot;
    LoadFromFile(fromFile, path);
    LoadFromStrings(fromSnapshot, Snapshot(car.model));
    EXPECT_EQ(fromFile.GetDescription(), "One\r\nTwo");
    EXPECT_EQ(fromSnapshot.GetDescription(), "One\r\nTwo");
    std::remove(path.c_str());
}

TEST(ModelFile, DescriptionsReadBackWithEveryLineBreak) {
    // Empty first and last lines too, in the model file, the snapshot lines
    // and a subtree copy; a second write gives the same text.
    const std::string texts[] = {"\r\nsecond line", "first line\r\n", "x\r\n\r\n",
                                 "\r\n",             "\r\n\r\n",     "a\r\n\r\nb"};
    const std::string path = TempFile("lines.mvo");
    const std::string again = TempFile("lines_again.mvo");
    for (const std::string& text : texts) {
        CarModel car;
        car.model.SetDescription(text);
        car.car->Funct()->SetDescription(text);

        SaveToFile(car.model, path);
        TMivoModel fromFile;
        LoadFromFile(fromFile, path);
        EXPECT_EQ(fromFile.GetDescription(), text);
        EXPECT_EQ(fromFile.FirstAttribute()->Funct()->GetDescription(), text);
        SaveToFile(fromFile, again);
        EXPECT_EQ(ReadFile(again), ReadFile(path));

        const std::vector<std::string> lines = Snapshot(car.model);
        TMivoModel fromSnapshot;
        LoadFromStrings(fromSnapshot, lines);
        EXPECT_EQ(fromSnapshot.GetDescription(), text);
        EXPECT_EQ(fromSnapshot.FirstAttribute()->Funct()->GetDescription(), text);
        EXPECT_EQ(Snapshot(fromSnapshot), lines);

        std::vector<std::string> subtree;
        WriteSubtree(car.model, car.car, subtree);
        std::unique_ptr<TMivoAttribute> copy = ReadSubtree(subtree);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Funct()->GetDescription(), text);
        std::vector<std::string> subtreeAgain;
        WriteSubtree(car.model, copy.get(), subtreeAgain);
        EXPECT_EQ(subtreeAgain, subtree);
        EXPECT_EQ(DuplicateSubtree(car.model, car.car)->Funct()->GetDescription(), text);
    }
    std::remove(path.c_str());
    std::remove(again.c_str());
}

TEST(ModelFile, LeadingEmptyDescriptionLinesOfOlderFilesComeBack) {
    // Older files wrote the empty first lines but dropped the final empty
    // one; their texts read as written, with the leading empty lines.
    TMivoModel model;
    LoadFromStrings(model, Document("<DESCRIPTION><LINE/><LINE/><LINE>b</LINE></DESCRIPTION><SETTINGS/>"));
    EXPECT_EQ(model.GetDescription(), "\r\n\r\nb");
    TMivoModel ending;
    LoadFromStrings(ending, Document("<DESCRIPTION><LINE>x</LINE><LINE/></DESCRIPTION><SETTINGS/>"));
    EXPECT_EQ(ending.GetDescription(), "x\r\n");
}

TEST(ModelFile, ModelRoundTripKeepsTreeValuesAndSettings) {
    CarModel car;
    car.car->Funct()->SetRuleHigh(0, 1);
    car.car->Funct()->SetRuleEntered(1, false);
    car.price->SetDescription("What it costs");
    car.model.SetName("Cars");
    std::vector<std::string> first = Snapshot(car.model);
    EXPECT_EQ(ReadBack(first), first);

    TMivoModel copy;
    LoadFromStrings(copy, first);
    TMivoStatistics expected = car.model.Statistics();
    EXPECT_EQ(copy.Statistics(), expected);
    EXPECT_EQ(copy.FirstAttribute()->Values(), car.car->Values());
    EXPECT_EQ(copy.GetName(), "Cars");
}

// --- value codes ---------------------------------------------------------------

TEST(ModelFile, ValueCodesAbove127RoundTripInBothHeaders) {
    // Values 0..207: codes '0'..'\xFF'; an option holds codes 0x7F..0xFF.
    std::vector<std::string> names;
    for (int i = 0; i < MaxScaleValues; ++i) names.push_back("v" + std::to_string(i));
    TMivoModel model;
    TMivoAttribute* top = AddAttribute(*model.Root(), "Top", names);
    TMivoAttribute* leaf = AddAttribute(*top, "Leaf", names);
    TMivoFunction* f = top->CreateFunction();
    for (int r = 0; r < f->RuleCount(); ++r) f->SetRuleValue(r, MaxScaleValues - 1 - r);
    std::string codes;
    for (int c = 0x7F; c <= 0xFF; ++c) codes += static_cast<char>(c);
    model.AddOption("x");
    leaf->SetOptValue(0, codes);

    for (bool utf8 : {true, false}) {
        XmlHeader = std::string(utf8 ? XmlUtf8Header : XmlPlainHeader);
        const std::string path = TempFile(utf8 ? "codes_utf8.mvo" : "codes_plain.mvo");
        SaveToFile(model, path);
        XmlHeader = std::string(XmlUtf8Header);
        std::string bytes = ReadFile(path);
        bool valid = true;
        try {
            DecodeUtf8(bytes);
        } catch (const ERangeError&) {
            valid = false;
        }
        EXPECT_EQ(valid, utf8);
        TMivoModel copy;
        LoadFromFile(copy, path);
        TMivoAttribute* copyTop = copy.FirstAttribute();
        EXPECT_EQ(copyTop->Inputs(0)->GetOptValue(0), codes) << utf8;
        for (int r = 0; r < f->RuleCount(); ++r)
            ASSERT_EQ(copyTop->Funct()->Rules().Get(r), f->Rules().Get(r)) << r;
        std::remove(path.c_str());
    }
}

TEST(ModelFile, ReadingAfterAPlainSaveStillAcceptsUtf8Files) {
    CarModel car;
    XmlHeader = std::string(XmlPlainHeader);
    const std::string plain = TempFile("plain.mvo");
    SaveToFile(car.model, plain);
    EXPECT_EQ(ReadFile(plain).substr(0, XmlPlainHeader.size()), XmlPlainHeader);
    TMivoModel model;
    LoadFromFile(model, DataFile("reference.mvo"));
    EXPECT_EQ(XmlHeader, XmlPlainHeader);  // the writer's choice stays
    XmlHeader = std::string(XmlUtf8Header);
    std::remove(plain.c_str());
}

TEST(ModelFile, OptionValuesOutsideTheScaleAreKeptAndExtraValuesCut) {
    TMivoModel model;
    LoadFromStrings(model, Document("<OPTION>a</OPTION><ATTRIBUTE><NAME>x</NAME><SCALE><SCALEVALUE/>"
                                    "<SCALEVALUE/></SCALE><OPTION>9</OPTION><OPTION>1</OPTION>"
                                    "<OPTION>0</OPTION></ATTRIBUTE>"));
    EXPECT_EQ(model.FirstAttribute()->Values(), std::vector<std::string>{"9"});
    model.Reevaluate();
    EXPECT_EQ(model.FirstAttribute()->OptValueIndex(0), -1);
}

// --- refused files ---------------------------------------------------------------

TEST(ModelFile, WrongRootIsRefusedWithoutChangingTheModel) {
    const std::string path = TempFile("wrongroot.mvo");
    WriteText(path, std::string(XmlUtf8Header) + "\r\n<MODEL>\r\n</MODEL>\r\n");
    CarModel car;
    std::vector<std::string> before = Snapshot(car.model);
    try {
        LoadFromFile(car.model, path);
        FAIL() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), "Unsupported file format:\"" + path + "\"");
    }
    EXPECT_EQ(Snapshot(car.model), before);
    try {
        LoadFromStrings(car.model, {std::string(XmlUtf8Header), "<MODEL/>"});
        FAIL() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), "Unsupported file format:\"SavedList\"");
    }
    std::remove(path.c_str());
}

TEST(ModelFile, HostileFilesAreRefusedWithAClearMessage) {
    const std::string scale3 = "<SCALE><SCALEVALUE/><SCALEVALUE/><SCALEVALUE/></SCALE>";
    const std::string leaf = "<ATTRIBUTE><NAME>leaf</NAME>" + scale3 + "</ATTRIBUTE>";
    auto top = [&](const std::string& function) {
        return std::string(XmlUtf8Header) + "\n<Mivo><ATTRIBUTE><NAME>top</NAME>" + scale3 + "<FUNCTION>" + function +
               "</FUNCTION>" + leaf + "</ATTRIBUTE></Mivo>\n";
    };
    std::string many = "<ATTRIBUTE><NAME>big</NAME><SCALE>";
    for (int i = 0; i < 209; ++i) many += "<SCALEVALUE/>";
    many += "</SCALE></ATTRIBUTE>";
    std::string wide = "<ATTRIBUTE><NAME>wide</NAME>" + scale3;
    for (int i = 0; i < 13; ++i) wide += leaf;  // 3^13 rules
    wide += "<FUNCTION><LOW>0</LOW></FUNCTION></ATTRIBUTE>";
    std::string deep = std::string(XmlUtf8Header) + "\n<Mivo>";
    for (int i = 0; i < 100000; ++i) deep += "<ATTRIBUTE>";
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37 % 256);

    struct Case {
        const char* what;
        std::string text;
        const char* message;  // a part of the message
    };
    const std::vector<Case> cases = {
        {"empty file", "", "Missing or unrecognized XML header"},
        {"binary", binary, "Error reading XML around line"},
        {"not XML", "name,value\nx,1\n", "Missing or unrecognized XML header"},
        {"truncated", top("<LOW>012</LOW>").substr(0, 120), "Unterminated tag"},
        {"deep", deep, "Error reading XML around line"},
        {"comment", std::string(XmlUtf8Header) + "\n<Mivo><!-- note --></Mivo>\n", "Error reading XML around line"},
        {"CDATA", std::string(XmlUtf8Header) + "\n<Mivo><NAME><![CDATA[x]]></NAME></Mivo>\n",
         "Error reading XML around line"},
        {"rule outside", top("<LOW>013</LOW>"), "Attribute \"top\": rule 3 has a result value outside"},
        {"rule below", top("<LOW>0/</LOW>"), "Attribute \"top\": rule 2 has a result value outside"},
        {"low above high", top("<LOW>02</LOW><HIGH>01</HIGH>"), "Attribute \"top\": rule 2 has a low value above"},
        {"entered flag", top("<LOW>00</LOW><ENTERED>+x</ENTERED>"), "Attribute \"top\": rule 2 has an entered flag"},
        // A character that no byte maps to cannot be a value code.
        {"rule code outside the byte table", top("<LOW>0\xC4\x80</LOW>"),
         "Attribute \"top\": The character U+0100 in \"0\xC4\x80\" is not a value code"},
        {"option code outside the byte table",
         std::string(XmlUtf8Header) + "\n<Mivo><OPTION>o</OPTION>" + "<ATTRIBUTE><NAME>leaf</NAME>" + scale3 +
             "<OPTION>\xC5\x81</OPTION></ATTRIBUTE></Mivo>\n",
         "Attribute \"leaf\": The character U+0141 in \"\xC5\x81\" is not a value code"},
        {"scale too large", std::string(XmlUtf8Header) + "\n<Mivo>" + many + "</Mivo>\n",
         "Attribute \"big\": the scale has more than 208 values"},
        {"table too large", std::string(XmlUtf8Header) + "\n<Mivo>" + wide + "</Mivo>\n",
         "The decision table of attribute \"wide\" would have 1594323 rules"},
        {"bad boolean", std::string(XmlUtf8Header) + "\n<Mivo><SETTINGS><LINKING>maybe</LINKING></SETTINGS></Mivo>\n",
         "\"maybe\" is not a valid Boolean value"},
    };
    for (const Case& c : cases) {
        const std::string path = TempFile("hostile.mvo");
        WriteText(path, c.text);
        TMivoModel model;
        try {
            LoadFromFile(model, path);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << c.what << ": " << e.Message();
        }
        std::remove(path.c_str());
    }
}

TEST(ModelFile, UnknownElementsAreSkippedAnywhere) {
    TMivoModel model;
    LoadFromStrings(model, Document("<EXTRA><ATTRIBUTE/></EXTRA><ATTRIBUTE><NAME>a</NAME><COLOR>red</COLOR>"
                                    "<SCALE><UNIT>kg</UNIT><SCALEVALUE><NAME>x</NAME><ICON/></SCALEVALUE>"
                                    "<SCALEVALUE><NAME>y</NAME><GROUP>UGLY</GROUP></SCALEVALUE></SCALE>"
                                    "</ATTRIBUTE>"));
    ASSERT_EQ(model.Statistics().Attributes, 1);
    const TMivoScale* scale = model.FirstAttribute()->Scale();
    ASSERT_EQ(scale->Count(), 2);
    EXPECT_FALSE(scale->IsBad(0) || scale->IsGood(0) || scale->IsBad(1) || scale->IsGood(1));
}

// Files are read child by child; a tree of the whole document read by
// ReadModel must give the same model, in any order of the children.
TEST(ModelFile, ReadingChildByChildGivesWhatTheWholeTreeGives) {
    const std::string two = "<SCALE><SCALEVALUE><NAME>p</NAME></SCALEVALUE><SCALEVALUE><NAME>q</NAME></SCALEVALUE></SCALE>";
    const std::vector<std::vector<std::string>> documents = {
        // Names and descriptions after values and inputs, a function before
        // the input it needs, two scales, text between elements, unknown
        // elements, options and settings around the attributes.
        Document("<OPTION>A</OPTION>text<ATTRIBUTE><OPTION>1</OPTION><FUNCTION><LOW>01</LOW></FUNCTION>"
                 "<SCALE><SCALEVALUE><NAME>x</NAME></SCALEVALUE></SCALE>"
                 "<ATTRIBUTE>" + two + "<NAME>In</NAME>  <OPTION>0</OPTION><OPTION/></ATTRIBUTE>"
                 "<SCALE><SCALEVALUE><NAME>bad</NAME><GROUP>BAD</GROUP></SCALEVALUE>"
                 "<SCALEVALUE><NAME>good</NAME></SCALEVALUE></SCALE>"
                 "<DESCRIPTION>late</DESCRIPTION><NAME>Top</NAME><NAME>second</NAME><EXTRA><OPTION>9</OPTION></EXTRA>"
                 "</ATTRIBUTE><SETTINGS><FONTSIZE>12</FONTSIZE></SETTINGS><NAME>model</NAME><OPTION>B</OPTION>"),
        Document("<ATTRIBUTE/><ATTRIBUTE><ATTRIBUTE/></ATTRIBUTE>"),
        {std::string(XmlUtf8Header), "<Mivo/>"},
    };
    for (const std::vector<std::string>& document : documents) {
        TMivoModel streamed;
        LoadFromStrings(streamed, document);
        TXmlItem root;
        root.LoadFromStrings(document);
        TMivoModel whole;
        ReadModel(whole, root);
        EXPECT_EQ(Snapshot(streamed), Snapshot(whole)) << document[1];
        TMivoModel from_text;
        LoadFromText(from_text, Join(document));
        EXPECT_EQ(Snapshot(from_text), Snapshot(whole)) << document[1];
        for (std::size_t step : {1, 5}) {
            TMivoModel pulled;
            LoadFromSource(pulled, PiecesOf(Join(document), step));
            EXPECT_EQ(Snapshot(pulled), Snapshot(whole)) << document[1] << " in pieces of " << step;
        }
        EXPECT_EQ(SaveToText(whole), Join(Snapshot(whole)));
    }
    TMivoModel model;
    LoadFromStrings(model, documents[0]);
    EXPECT_EQ(model.FirstAttribute()->GetName(), "Top");
    EXPECT_EQ(model.FirstAttribute()->GetDescription(), "late");
    EXPECT_EQ(model.FirstAttribute()->Inputs(0)->GetName(), "In");
    EXPECT_EQ(model.FirstAttribute()->Scale()->Count(), 2);

    // A fault deep inside is reported the same way.
    const std::vector<std::string> faulty = Document(
        "<ATTRIBUTE><NAME>T</NAME><ATTRIBUTE><NAME>i</NAME>" + two + "</ATTRIBUTE>" + two +
        "<FUNCTION><LOW>09</LOW></FUNCTION></ATTRIBUTE>");
    TMivoModel streamed, whole;
    TXmlItem root;
    root.LoadFromStrings(faulty);
    const std::string expected = Format(SRuleOutsideScale, std::string("T"), 2);
    try {
        ReadModel(whole, root);
        ADD_FAILURE() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), expected);
    }
    try {
        LoadFromStrings(streamed, faulty);
        ADD_FAILURE() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), expected);
    }
}

// --- subtrees -------------------------------------------------------------------

TEST(ModelFile, DuplicateSubtreeCopiesWhatTheFileHolds) {
    CarModel car;
    car.model.Settings.Linking = true;
    AddAttribute(*car.model.Root(), "Price", {"high", "low"});  // the first Price links to it
    car.model.Changed();
    ASSERT_NE(car.price->Link(), nullptr);
    // Bounds off the value indices; the copy rebuilds them from the groups.
    car.safety->Scale()->BGLow = 0.25;

    std::unique_ptr<TMivoAttribute> copy = DuplicateSubtree(car.model, car.car);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Parent(), nullptr);
    EXPECT_EQ(copy->GetName(), "Car");
    ASSERT_EQ(copy->InpCount(), 2);
    EXPECT_EQ(copy->Inputs(0)->Link(), nullptr);
    EXPECT_EQ(copy->Values(), car.car->Values());
    EXPECT_EQ(copy->Inputs(1)->Values(), car.safety->Values());
    EXPECT_EQ(copy->Funct()->Attribute(), copy.get());
    for (int r = 0; r < car.car->Funct()->RuleCount(); ++r)
        EXPECT_EQ(copy->Funct()->Rules().Get(r), car.car->Funct()->Rules().Get(r));
    const TMivoScale* copied = copy->Inputs(1)->Scale();
    EXPECT_EQ(copied->BGLow, 0);
    EXPECT_FALSE(copied->Equal(car.safety->Scale()));
    // Same classes, bounds on the value indices.
    const TMivoScale* price = copy->Inputs(0)->Scale();
    EXPECT_TRUE(price->IsBad(0) && price->IsGood(1) && !price->IsBad(1) && !price->IsGood(0));
    EXPECT_EQ(price->BGLow, 0);
    EXPECT_EQ(price->BGHigh, 1);

    std::unique_ptr<TMivoAttribute> whole = DuplicateSubtree(car.model, nullptr);
    EXPECT_EQ(whole->GetName(), "Root");
    ASSERT_EQ(whole->InpCount(), 2);
    EXPECT_EQ(whole->Inputs(0)->InpCount(), 2);
}

TEST(ModelFile, ReadSubtreeRefusesOtherTexts) {
    try {
        ReadSubtree({std::string(XmlUtf8Header), "<Mivo/>"});
        FAIL() << "no error";
    } catch (const EMivoError& e) {
        EXPECT_EQ(e.Message(), "Unsupported string format");
    }
    EXPECT_EQ(ReadSubtree({std::string(XmlUtf8Header), "<SUBTREE><NAME>x</NAME></SUBTREE>"}), nullptr);
}

}  // namespace
}  // namespace mivo

// --- the batch evaluator's reading ------------------------------------------------

namespace mivo {
namespace {

// One top attribute over two inputs, with the six keys that only the
// desktop program reads given the texts `interval`, `rounding` and
// `undoing` (the description and font styles are always readable).
std::string DesktopKeysModel(const std::string& interval, const std::string& rounding, const std::string& undoing) {
    const std::string scale = "<SCALE><INTERVAL>" + interval +
                              "</INTERVAL><SCALEVALUE><NAME>lo</NAME></SCALEVALUE>"
                              "<SCALEVALUE><NAME>hi</NAME></SCALEVALUE></SCALE>";
    return std::string(XmlUtf8Header) + "\n<Mivo><OPTION>A</OPTION><SETTINGS><UNDOING>" + undoing +
           "</UNDOING><BADFONTSTYLE>I</BADFONTSTYLE><GOODFONTSTYLE>U</GOODFONTSTYLE></SETTINGS>"
           "<ATTRIBUTE><NAME>Top</NAME>" + scale +
           "<FUNCTION><DESCRIPTION>How</DESCRIPTION><LOW>0111</LOW><ROUNDING>" + rounding +
           "</ROUNDING></FUNCTION>"
           "<ATTRIBUTE><NAME>X</NAME>" + scale + "<OPTION>1</OPTION></ATTRIBUTE>"
           "<ATTRIBUTE><NAME>Y</NAME>" + scale + "<OPTION>0</OPTION></ATTRIBUTE></ATTRIBUTE></Mivo>\n";
}

}  // namespace

TEST(ModelFile, BatchReadingNeitherParsesNorChecksTheDesktopOnlyKeys) {
    const std::string path = TempFile("desktop_keys.mvo");
    // Readable values: the desktop reader takes them all in, the batch
    // reader none of them.
    WriteText(path, DesktopKeysModel("False", "2", "No"));
    TMivoModel full, batch;
    LoadFromFile(full, path);
    LoadFromFile(batch, path, TModelReading::Batch);
    const TMivoAttribute* fullTop = full.Root()->Inputs(0);
    const TMivoAttribute* batchTop = batch.Root()->Inputs(0);
    EXPECT_FALSE(fullTop->Scale()->Interval);
    EXPECT_EQ(fullTop->Funct()->Rounding, 2);
    EXPECT_EQ(fullTop->Funct()->GetDescription(), "How");
    EXPECT_FALSE(full.Settings.Undoing);
    EXPECT_EQ(full.Settings.BadFontStyle, fsItalic);
    EXPECT_EQ(full.Settings.GoodFontStyle, fsUnderline);
    const TMivoSettings defaults;
    EXPECT_TRUE(batchTop->Scale()->Interval);
    EXPECT_TRUE(batch.Root()->Inputs(0)->Inputs(0)->Scale()->Interval);
    EXPECT_EQ(batchTop->Funct()->Rounding, 0);
    EXPECT_EQ(batchTop->Funct()->GetDescription(), "");
    EXPECT_EQ(batch.Settings.Undoing, defaults.Undoing);
    EXPECT_EQ(batch.Settings.BadFontStyle, defaults.BadFontStyle);
    EXPECT_EQ(batch.Settings.GoodFontStyle, defaults.GoodFontStyle);
    // Everything else is read alike.
    EXPECT_EQ(batchTop->Funct()->Rules().Get(3), fullTop->Funct()->Rules().Get(3));
    EXPECT_EQ(batch.Options(), full.Options());

    // Unparsable values stop the desktop reader only.
    struct Case {
        const char *interval, *rounding, *undoing, *message;
    };
    for (Case c : {Case{"sometimes", "0", "True", "\"sometimes\" is not a valid Boolean value"},
                   Case{"True", "half", "True", "'half' is not a valid integer value"},
                   Case{"True", "0", "perhaps", "\"perhaps\" is not a valid Boolean value"}}) {
        WriteText(path, DesktopKeysModel(c.interval, c.rounding, c.undoing));
        TMivoModel desktop;
        try {
            LoadFromFile(desktop, path);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        TMivoModel model;
        LoadFromFile(model, path, TModelReading::Batch);
        model.Reevaluate();
        EXPECT_EQ(model.Root()->Inputs(0)->GetOptValue(0), "1") << c.message;
    }
}

}  // namespace mivo
