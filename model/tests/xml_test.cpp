#include "model/Xml.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/CodePage.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/UTF8.h"
#include "model/XmlWriter.h"

namespace mivo {
namespace {

using Lines = std::vector<std::string>;

const std::string kHeader(XmlUtf8Header);

// Every test starts from, and leaves, the module's defaults.
class XmlTest : public ::testing::Test {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore() {
        XmlHeader = std::string(XmlUtf8Header);
        XmlUtf8 = true;
    }

    static TXmlItem Load(const Lines& lines) {
        TXmlItem root;
        root.LoadFromStrings(lines);
        return root;
    }

    static std::string ErrorOf(const Lines& lines) {
        try {
            Load(lines);
        } catch (const EXmlError& e) {
            return e.what();
        }
        return "no error";
    }

    static Lines Save(const TXmlItem& root) {
        Lines lines;
        root.SaveToStrings(lines);
        return lines;
    }
};

TEST_F(XmlTest, WritesIndentedLinesWithHeaderAttributesAndEscapes) {
    TXmlItem root("Mivo");
    root.AddAttribute("v", "a \"b\" & <c>");
    root.AddTextChild("NAME", " Car & co ");
    root.NewChild("SETTINGS");
    TXmlItem& attr = root.NewChild("ATTRIBUTE");
    attr.AddTextChild("OPTION", "line1\r\nline2\tx");
    EXPECT_EQ(Save(root), (Lines{
                              kHeader,
                              "<Mivo v=\"a &quot;b&quot; &amp; &lt;c&gt;\">",
                              "  <NAME> Car &amp; co </NAME>",
                              "  <SETTINGS/>",
                              "  <ATTRIBUTE>",
                              "    <OPTION>line1&cr;&lf;line2\tx</OPTION>",
                              "  </ATTRIBUTE>",
                              "</Mivo>",
                          }));

    // An empty header writes no header line at all.
    XmlHeader.clear();
    TXmlItem leaf("MODEL");
    EXPECT_EQ(Save(leaf), (Lines{"<MODEL/>"}));
    EXPECT_FALSE(XmlUtf8);
}

TEST_F(XmlTest, WrittenTreeReadsBackIdentically) {
    TXmlItem root("Mivo");
    root.AddAttribute("name", "two words");
    root.AddTextChild("NAME", "  padded leaf  ");
    root.AddTextChild("AMP", "&lt; is not <");
    TXmlItem& parent = root.NewChild("PARENT");
    parent.Text = " \t own text with blanks\t ";
    parent.AddTextChild("CHILD", "x");
    root.AddTextChild("ENTITIES", "& < > ' \" \r \n \t");

    TXmlItem back = Load(Save(root));
    EXPECT_EQ(back.Name, "Mivo");
    ASSERT_EQ(back.AttributeCount(), 1);
    EXPECT_EQ(back.Attribute(0)->Name, "name");
    EXPECT_EQ(back.Attribute(0)->Text, "two words");
    EXPECT_EQ(back.ChildText("NAME"), "  padded leaf  ");
    EXPECT_EQ(back.ChildText("AMP"), "&lt; is not <");
    ASSERT_NE(back.FindChild("PARENT"), nullptr);
    EXPECT_EQ(back.FindChild("PARENT")->Text, " \t own text with blanks\t ");
    EXPECT_EQ(back.FindChild("PARENT")->ChildText("CHILD"), "x");
    EXPECT_EQ(back.ChildText("ENTITIES"), "& < > ' \" \r \n \t");
    EXPECT_EQ(Save(back), Save(root));
}

TEST_F(XmlTest, MixedContentGivesTextNodeChildThenOwnText) {
    TXmlItem root = Load({kHeader, "<p>a<c/>b</p>"});
    ASSERT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.Child(0)->Name, "");
    EXPECT_EQ(root.Child(0)->Text, "a");
    EXPECT_EQ(root.Child(1)->Name, "c");
    EXPECT_EQ(root.Text, "b");
    EXPECT_EQ(Save(root), (Lines{kHeader, "<p>", "  a", "  <c/>", "  b", "</p>"}));
    EXPECT_EQ(Save(Load(Save(root))), Save(root));
}

TEST_F(XmlTest, ReaderToleranceOfLinesBlanksAndAttributes) {
    // A line break inside a text is one blank; indentation is lost.
    EXPECT_EQ(Load({kHeader, "<a>first", "     second</a>"}).Text, "first second");

    // Blanks between two elements on one line become a text node.
    TXmlItem two = Load({kHeader, "<p>", "  <a/>  <b/>", "</p>"});
    ASSERT_EQ(two.ChildCount(), 3);
    EXPECT_EQ(two.Child(0)->Name, "a");
    EXPECT_EQ(two.Child(1)->Name, "");
    EXPECT_EQ(two.Child(1)->Text, "  ");
    EXPECT_EQ(two.Child(2)->Name, "b");

    // Quoted values keep blanks; unquoted ones end at the first blank; a
    // final word without '=' is an attribute with an empty value; a tag may
    // span lines.
    TXmlItem attrs = Load({kHeader, "<a q=\"x  y\" u=one", "  last=\"&lt;&amp;\" flag/>"});
    ASSERT_EQ(attrs.AttributeCount(), 4);
    EXPECT_EQ(attrs.Attribute(0)->Name, "q");
    EXPECT_EQ(attrs.Attribute(0)->Text, "x  y");
    EXPECT_EQ(attrs.Attribute(1)->Text, "one");
    EXPECT_EQ(attrs.Attribute(2)->Name, "last");
    EXPECT_EQ(attrs.Attribute(2)->Text, "<&");
    EXPECT_EQ(attrs.Attribute(3)->Name, "flag");
    EXPECT_EQ(attrs.Attribute(3)->Text, "");
    EXPECT_EQ(attrs.Attribute(4), nullptr);
    EXPECT_EQ(attrs.Attribute(-1), nullptr);

    // Unknown entities and character references stay; names are exact.
    TXmlItem other = Load({kHeader, "<a><B>&copy; &#65; &amp;amp;</B><b/></a>"});
    EXPECT_EQ(other.ChildText("B"), "&copy; &#65; &amp;");
    EXPECT_EQ(other.FindChild("b"), other.Child(1));
    EXPECT_EQ(other.ChildText("missing"), "");
    EXPECT_EQ(other.Child(2), nullptr);

    // Nothing after the root's closing tag is read.
    EXPECT_EQ(Load({kHeader, "<a/>", "garbage <<<"}).Name, "a");
}

TEST_F(XmlTest, HeaderRules) {
    // The plain header of old files: 8-bit text, bytes above 127 unchanged.
    TXmlItem old = Load({"<?xml version=\"1.0\"?>", "<a>caf\xE9</a>"});
    EXPECT_FALSE(XmlUtf8);
    EXPECT_EQ(old.Text, "caf\xE9");
    // Writing goes by the header in force, not by what the last read found.
    Save(old);
    EXPECT_TRUE(XmlUtf8);

    // A leading byte-order mark is skipped; the UTF-8 header turns UTF-8 on.
    XmlUtf8 = false;
    TXmlItem bom = Load({"\xEF\xBB\xBF" + kHeader, "<a>\xC3\xA9</a>"});
    EXPECT_TRUE(XmlUtf8);
    EXPECT_EQ(bom.Text, "\xC3\xA9");

    // Invalid UTF-8 is taken as it stands.
    EXPECT_EQ(Load({kHeader, "<a>\xFF\xC3</a>"}).Text, "\xFF\xC3");

    // Input without an element leaves the item as it was.
    TXmlItem untouched("keep", "me");
    untouched.LoadFromStrings({kHeader, "   "});
    EXPECT_EQ(untouched.Name, "keep");

    // An empty header accepts any input and expects no header line.
    XmlHeader.clear();
    EXPECT_EQ(Load({"<MODEL><NAME>x</NAME></MODEL>"}).ChildText("NAME"), "x");
    EXPECT_FALSE(XmlUtf8);
}

TEST_F(XmlTest, ReadErrorsNameTheProblemAndTheLine) {
    const std::string p = "Error reading XML around line ";
    struct Case {
        Lines lines;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{}, p + "1: Missing or unrecognized XML header"},
        {{"<a/>"}, p + "2: Missing or unrecognized XML header"},
        {{"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<a/>"}, p + "2: Missing or unrecognized XML header"},
        {{kHeader, "text<a/>"}, p + "3: A tag expected instead of text \"text\""},
        {{kHeader, "<a", "b"}, p + "4: Unterminated tag \"<a b\""},
        {{kHeader, "</a>"}, p + "3: Expecting an opening tag instead of \"</a>\""},
        {{kHeader, "<a>", "</b>"}, p + "4: Expecting terminating tag \"</a>\" instead of \"</b>\""},
        {{kHeader, "<a>", "<b>", "<c/>", "</b>"}, p + "6: Missing tag \"</a>\""},
        {{kHeader, "<a><b>x"}, p + "3: Missing tag \"</b>\""},
        {{kHeader, "<a><>x</></a>"}, p + "3: An element without a name: \"<>\""},
        {{kHeader, "< a/>"}, p + "3: An element without a name: \"< a/>\""},
        {{kHeader, "<a><!-- note --></a>"}, p + "3: Comments are not supported: \"<!-- note -->\""},
        {{kHeader, "<a><![CDATA[x]]></a>"}, p + "3: CDATA sections are not supported: \"<![CDATA[x]]>\""},
        {{kHeader, "<!DOCTYPE a>"},
         p + "3: Declarations and processing instructions are not supported: \"<!DOCTYPE a>\""},
        {{kHeader, "<a><?pi x?></a>"},
         p + "3: Declarations and processing instructions are not supported: \"<?pi x?>\""},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.lines), c.message);

    // With no header expected, a declaration is refused rather than read
    // as an element.
    XmlHeader.clear();
    EXPECT_EQ(ErrorOf({kHeader, "<MODEL/>"}),
              p + "2: Declarations and processing instructions are not supported: \"" + kHeader + "\"");
}

TEST_F(XmlTest, QuotedTextInMessagesIsCut) {
    const std::string text(5000, 'x');
    std::string message = ErrorOf({kHeader, text + "<a/>"});
    EXPECT_EQ(message, "Error reading XML around line 3: A tag expected instead of text \"" +
                           std::string(80, 'x') + "...\"");
    // Cutting never splits a multibyte character.
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += "\xC3\xA9";
    message = ErrorOf({kHeader, "<" + wide + ">"});
    std::string expected;
    for (int i = 0; i < 80; ++i) expected += "\xC3\xA9";
    EXPECT_NE(message.find("\"</" + expected + "...>\""), std::string::npos) << message;
}

TEST_F(XmlTest, NestingDepthIsLimited) {
    auto nested = [](int depth) {
        std::string line;
        for (int i = 0; i < depth; ++i) line += "<e>";
        for (int i = 0; i < depth; ++i) line += "</e>";
        return Lines{kHeader, line};
    };
    TXmlItem deepest = Load(nested(XmlMaxDepth));
    int depth = 1;
    for (const TXmlItem* item = &deepest; item->ChildCount() > 0; item = item->Child(0)) ++depth;
    EXPECT_EQ(depth, XmlMaxDepth);

    EXPECT_EQ(ErrorOf(nested(XmlMaxDepth + 1)),
              "Error reading XML around line 3: Elements are nested deeper than 1000 levels");
    EXPECT_EQ(ErrorOf(nested(200000)),
              "Error reading XML around line 3: Elements are nested deeper than 1000 levels");
}

TEST_F(XmlTest, OneLongLineOfManyElementsReadsWhole) {
    // Many short tags and texts on one line: each step takes only what it
    // reads from the front of the buffer.
    const int count = 200000;
    std::string line = "<list>";
    for (int i = 0; i < count; ++i) line += "<i k=\"" + std::to_string(i) + "\">v" + std::to_string(i) + "</i>";
    line += "</list>";
    TXmlItem list = Load({kHeader, line});
    ASSERT_EQ(list.ChildCount(), count);
    EXPECT_EQ(list.Child(count - 1)->Text, "v" + std::to_string(count - 1));
    EXPECT_EQ(list.Child(12345)->Attribute(0)->Text, "12345");

    // A long text spread over many lines, with the tag far away.
    Lines lines{kHeader, "<a>"};
    for (int i = 0; i < 50000; ++i) lines.push_back("word");
    lines.push_back("</a>");
    EXPECT_EQ(Load(lines).Text.size(), 50000u * 5 - 1);
}

TEST_F(XmlTest, ValueCodesRoundTripThroughUtf8File) {
    std::string codes;
    for (int c = '0'; c <= 255; ++c) codes += static_cast<char>(c);
    TXmlItem root("Mivo");
    root.AddTextChild("OPTION", CodesToUtf8(codes));
    TXmlItem back = Load(Save(root));
    EXPECT_EQ(Utf8ToCodes(back.ChildText("OPTION")), codes);
}

TEST_F(XmlTest, FileRoundTripWritesCrLfAndReadsAnyLineEnd) {
    const std::string dir = ::testing::TempDir() + "xml_test_" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/model.mvo";

    TXmlItem root("Mivo");
    root.AddTextChild("NAME", "Car");
    root.SaveToFile(file);
    EXPECT_EQ(ReadFile(file), kHeader + "\r\n<Mivo>\r\n  <NAME>Car</NAME>\r\n</Mivo>\r\n");

    WriteFileAtomic(file, kHeader + "\n<Mivo>\r<NAME>Car</NAME>\r\n\r\n</Mivo>");
    TXmlItem back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.ChildText("NAME"), "Car");

    // Empty lines count in the line numbers of errors.
    WriteFileAtomic(file, kHeader + "\r\n\r\n\r\n<Mivo>\r\n</Bad>\r\n");
    try {
        back.LoadFromFile(file);
        ADD_FAILURE() << "no error";
    } catch (const EXmlError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Error reading XML around line 6: Expecting terminating tag \"</Mivo>\" instead of \"</Bad>\"");
    }

    EXPECT_THROW(back.LoadFromFile(dir + "/missing.mvo"), EFileError);
    std::filesystem::remove_all(dir);
}

TEST(XmlEscapeTest, EntitiesAndKeptCharacters) {
    XmlUtf8 = true;
    EXPECT_EQ(XmlEscape("&<>'\"\r\n \t"), "&amp;&lt;&gt;&apos;&quot;&cr;&lf;&nbsp;&tab;");
    EXPECT_EQ(XmlEscape("a b\tc", " \t"), "a b\tc");
    EXPECT_EQ(XmlEscape("&lt;"), "&amp;lt;");
    EXPECT_EQ(XmlEscapeText("  a b\t"), "&nbsp;&nbsp;a b&tab;");
    EXPECT_EQ(XmlEscapeText(" \t "), "&nbsp;&tab;&nbsp;");
    EXPECT_EQ(XmlEscapeText(""), "");
    EXPECT_EQ(XmlUnescape("&amp;&lt;&gt;&apos;&quot;&cr;&lf;&nbsp;&tab;"), "&<>'\"\r\n \t");
    EXPECT_EQ(XmlUnescape("&amp;lt; &amp;amp; & &x; &"), "&lt; &amp; & &x; &");
}

// The single-pass escaping against the rule as stated: one replacement
// pass per entity in table order (reverse order for unescaping), then the
// code page conversion.
namespace reference {

const std::vector<std::pair<std::string, std::string>> kTable = {
    {"&", "&amp;"}, {"<", "&lt;"},  {">", "&gt;"},     {"'", "&apos;"}, {"\"", "&quot;"},
    {"\r", "&cr;"}, {"\n", "&lf;"}, {" ", "&nbsp;"}, {"\t", "&tab;"},
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string Escape(const std::string& text, const std::string& kept) {
    std::string out = text;
    for (const auto& [character, entity] : kTable)
        if (kept.find(character) == std::string::npos) out = ReplaceAll(out, character, entity);
    return XmlUtf8 ? LocalToUtf8(out) : out;
}

std::string EscapeText(const std::string& text) {
    std::size_t lead = text.find_first_not_of(" \t");
    if (lead == std::string::npos) return Escape(text, "");
    std::size_t trail = text.find_last_not_of(" \t") + 1;
    return Escape(text.substr(0, lead), "") + Escape(text.substr(lead, trail - lead), " \t") +
           Escape(text.substr(trail), "");
}

std::string Unescape(const std::string& text) {
    std::string out = text;
    for (auto entry = kTable.rbegin(); entry != kTable.rend(); ++entry) out = ReplaceAll(out, entry->second, entry->first);
    return XmlUtf8 ? Utf8ToLocal(out) : out;
}

}  // namespace reference

TEST(XmlEscapeTest, OnePassGivesWhatTheReplacementPassesGive) {
    std::string every_byte;
    for (int c = 1; c < 256; ++c) every_byte += static_cast<char>(c);
    const std::vector<std::string> texts = {
        "", "plain", "&", "&amp;", "&amp;lt;", "&&<<>>''\"\"", "a b\tc", " lead", "trail\t", " \t ", "\r\n\r\n",
        "<a href=\"x\">'&'</a>", "caf\xC3\xA9 & \xE9t\xE9", "&nbsp;&tab;&cr;&lf;&quot;&apos;&gt;&lt;", "&x; &#65; &",
        "\xFF\xFE&\x80", every_byte,
    };
    for (bool utf8 : {true, false}) {
        XmlUtf8 = utf8;
        for (const std::string& text : texts) {
            for (const std::string kept : {"", " \t"}) {
                EXPECT_EQ(XmlEscape(text, kept), reference::Escape(text, kept)) << text;
                std::string appended = "<x\xE9>";
                AppendXmlEscape(appended, text, kept);
                EXPECT_EQ(appended, "<x\xE9>" + reference::Escape(text, kept)) << text;
            }
            EXPECT_EQ(XmlEscapeText(text), reference::EscapeText(text)) << text;
            EXPECT_EQ(XmlUnescape(text), reference::Unescape(text)) << text;
            EXPECT_EQ(XmlUnescape(XmlEscape(text)), text) << text;
        }
    }
    XmlUtf8 = true;
}

TEST_F(XmlTest, WriterGivesTheLinesOfTheSameTree) {
    // The same document as a tree and as writer calls.
    TXmlItem tree("Mivo");
    tree.AddTextChild("NAME", " Car & co\t");
    tree.NewChild("SETTINGS");
    TXmlItem& attribute = tree.NewChild("ATTRIBUTE");
    attribute.AddTextChild("OPTION", "");
    attribute.AddTextChild("OPTION", "caf\xC3\xA9 \r\n");
    attribute.NewChild("ATTRIBUTE").NewChild("SCALE").NewChild("SCALEVALUE").AddTextChild("NAME", "<low>");
    const auto make_mixed = [] {
        auto mixed = std::make_unique<TXmlItem>("MIXED");
        mixed->AddAttribute("k", "a \"b\"");
        mixed->AddChild(std::make_unique<TXmlItem>(std::string(), "  text node "));
        mixed->NewChild("C");
        mixed->Text = " own\t";
        return mixed;
    };
    attribute.AddChild(make_mixed());
    const std::unique_ptr<TXmlItem> mixed = make_mixed();
    tree.NewChild("EMPTY");

    const auto write = [&](TXmlWriter& writer) {
        writer.StartDocument();
        writer.Open("Mivo");
        writer.TextElement("NAME", " Car & co\t");
        writer.Open("SETTINGS");
        writer.Close();
        writer.Open("ATTRIBUTE");
        writer.TextElement("OPTION", "");
        writer.TextElement("OPTION", "caf\xC3\xA9 \r\n");
        writer.Open("ATTRIBUTE");
        writer.Open("SCALE");
        writer.Open("SCALEVALUE");
        writer.TextElement("NAME", "<low>");
        writer.Close();
        writer.Close();
        writer.Close();
        writer.Item(*mixed);
        writer.Close();
        writer.Open("EMPTY");
        writer.Close();
        writer.Close();
    };
    for (const std::string& header : {kHeader, std::string(XmlPlainHeader), std::string()}) {
        XmlHeader = header;
        const Lines expected = Save(tree);
        Lines lines;
        TXmlWriter to_lines(lines);
        write(to_lines);
        EXPECT_EQ(lines, expected);
        std::string text;
        TXmlWriter to_text(text, "\r\n");
        write(to_text);
        std::string joined;
        for (const std::string& line : expected) joined += line + "\r\n";
        EXPECT_EQ(text, joined);
    }
}

// Reads a document element by element, entering every element named "E"
// and reading every other one whole.
TXmlItem ReadEnteringE(TXmlReader&& reader) {
    TXmlItem root;
    if (!reader.Root(root)) return root;
    const std::function<void(TXmlItem&)> enter = [&](TXmlItem& element) {
        reader.Enter();
        TXmlItem child;
        while (reader.NextChild(child)) {
            if (child.Name == "E") enter(child);
            else reader.ReadRest(child);
            element.AddChild(std::make_unique<TXmlItem>(std::move(child)));
        }
    };
    if (root.Name == "E") enter(root);
    else reader.ReadRest(root);
    return root;
}

// The tree as text, without what the element-by-element reader passes over
// in an entered element (text between its children and its own text).
std::string Describe(const TXmlItem& item) {
    const bool entered = item.Name == "E";
    std::string out = "[" + item.Name;
    for (const auto& attribute : item.Attributes()) out += " " + attribute->Name + "=" + attribute->Text;
    if (!entered) out += " '" + item.Text + "'";
    for (const auto& child : item.Children())
        if (!entered || !child->Name.empty()) out += Describe(*child);
    return out + "]";
}

// Describe of the text read element by element as it is pulled `step`
// bytes at a time, or the read error.
std::string DescribePulled(const std::string& text, std::size_t step) {
    std::size_t at = 0;
    const TTextSource source = [&](char* buffer, std::size_t size) {
        const std::size_t n = std::min({step, size, text.size() - at});
        text.copy(buffer, n, at);
        at += n;
        return n;
    };
    try {
        return Describe(ReadEnteringE(TXmlReader(source)));
    } catch (const EXmlError& e) {
        return e.what();
    }
}

TEST_F(XmlTest, ReadingElementByElementChecksAndBuildsWhatTheTreeReaderDoes) {
    std::string deep;
    for (int i = 0; i <= XmlMaxDepth; ++i) deep += "<E>";
    const std::vector<Lines> documents = {
        {kHeader, "<E a=\"1 2\"><x>t</x>  <E><y k=v/></E>tail", "<z><E>in</E></z></E>", "after"},
        {kHeader, "<E/>"},
        {kHeader, "<x>a<y/>b</x>"},
        {kHeader, "   "},
        {kHeader, "<E>", "<x>", "</E>"},
        {kHeader, "<E><x/></F>"},
        {kHeader, "<E><!-- note --></E>"},
        {kHeader, "<E><x"},
        {kHeader, "text <E/>"},
        {kHeader, "</E>"},
        {kHeader, "<E><E></E>"},
        {kHeader, "<E>< ></E>"},
        {kHeader, deep},
        {"<E/>"},
        {},
    };
    for (const Lines& document : documents) {
        std::string tree_result, reader_result;
        try {
            tree_result = Describe(Load(document));
        } catch (const EXmlError& e) {
            tree_result = e.what();
        }
        try {
            reader_result = Describe(ReadEnteringE(TXmlReader(document)));
        } catch (const EXmlError& e) {
            reader_result = e.what();
        }
        EXPECT_EQ(reader_result, tree_result) << (document.size() > 1 ? document[1] : "");
        std::string text;
        for (const std::string& line : document) text += line + "\n";
        EXPECT_EQ(DescribePulled(text, 3), tree_result) << (document.size() > 1 ? document[1] : "");
    }
}

// Pulled in pieces of any size, a text reads as the same text whole: lines
// cut at LF, CR and CR LF (also where a piece ends between CR and LF),
// a last line without its end, empty lines, a byte-order mark at the start
// only, lines longer than the reader's buffer; read errors name the same
// line.
TEST_F(XmlTest, TextPulledInPiecesReadsAsTheTextWhole) {
    const std::string long_text(600000, 'x');
    const std::vector<std::string> texts = {
        kHeader + "\n<E>\n<x>a</x>\n</E>\n",
        kHeader + "\r\n<E>\r\n<x>a\r\nb</x>\r\n\r\n</E>",
        kHeader + "\r<E>\r<x>a\r\rb</x>\r</E>\r",
        kHeader + "\n<E>\r\n<x>a\rb\nc\r\n\nd</x>\n\r</E>",
        "\xEF\xBB\xBF" + kHeader + "\n<E><x>\xEF\xBB\xBFkept</x></E>",
        kHeader + "\n<E>\n<x>" + long_text + "</x>\n<y>" + long_text + "\r\n" + long_text + "</y></E>\n",
        kHeader + "\n<E>\n<x>a</x>\r\n<x>\n",
        kHeader + "\r<E>\r\r<x>a</y>\r</E>",
        kHeader + "\n<E>\n" + long_text + "<x/></E>",
        "",
        "\n\r\n",
    };
    for (const std::string& text : texts) {
        std::string whole;
        try {
            whole = Describe(ReadEnteringE(TXmlReader(std::string_view(text))));
        } catch (const EXmlError& e) {
            whole = e.what();
        }
        for (std::size_t step : {1, 2, 3, 64, 1 << 20})
            EXPECT_EQ(DescribePulled(text, step), whole) << text.substr(0, 60) << " in pieces of " << step;
    }
}

// --- UTF8 module -----------------------------------------------------------------

TEST(Utf8Test, EveryUnitRoundTripsAndEncodesToItsLength) {
    std::u16string all;
    for (unsigned u = 1; u <= 0xFFFF; ++u) all += static_cast<char16_t>(u);
    std::string utf8 = EncodeUtf8(all);
    EXPECT_EQ(utf8.size(), 0x7Fu * 1 + (0x800u - 0x80u) * 2 + (0x10000u - 0x800u) * 3);
    EXPECT_EQ(DecodeUtf8(utf8), all);
    EXPECT_EQ(EncodeUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(EncodeUtf8(u""), "");
    EXPECT_EQ(DecodeUtf8(""), u"");
}

TEST(Utf8Test, MalformedInputRaisesRangeError) {
    for (std::string bad : {"\xC3", "\xE2\x82", "\xC3(", "\x80", "a\xBF", "\xF0\x9F\x98\x80", "\xFF"})
        EXPECT_THROW(DecodeUtf8(bad), ERangeError) << bad;
}

TEST(Utf8Test, BuffersRespectTheirCapacity) {
    std::u16string text = u"a\u00E9\u20AC";
    char bytes[8];
    // Room for "a" and the two bytes of e-acute, not for the euro sign.
    EXPECT_EQ(WideBufToUtf8(std::span<char>(bytes, 5), text), 4u);
    EXPECT_EQ(std::string(bytes), "a\xC3\xA9");
    EXPECT_EQ(WideBufToUtf8(std::span<char>(bytes, 1), text), 1u);
    EXPECT_EQ(bytes[0], '\0');
    EXPECT_EQ(WideBufToUtf8(bytes, std::span<const char16_t>()), 0u);

    char16_t units[3];
    std::string_view utf8 = "abc";
    EXPECT_EQ(Utf8BufToWide(units, utf8), std::optional<std::size_t>(3));
    EXPECT_EQ(std::u16string(units), u"ab");
    EXPECT_EQ(Utf8BufToWide(units, std::string_view("\xC3")), std::nullopt);
}

TEST(Utf8Test, ValueCodesMapThroughWindows1252) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string utf8 = CodesToUtf8(all);
    EXPECT_EQ(Utf8ToCodes(utf8), all);
    EXPECT_EQ(TryUtf8ToCodes(utf8), all);

    EXPECT_EQ(CodesToUtf8("0\x80\x81\x9F\xA0\xFF"), "0\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xBF");
    for (unsigned char unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(CodesToUtf8(std::string(1, static_cast<char>(unassigned))),
                  (std::string{'\xC2', static_cast<char>(unassigned)}));

    // Text that is not UTF-8 stands as it is; a character outside the table
    // is an error.
    EXPECT_EQ(Utf8ToCodes("01\xFF"), "01\xFF");
    EXPECT_EQ(TryUtf8ToCodes("0\xC4\x80"), std::nullopt);
    try {
        Utf8ToCodes("0\xC4\x80");
        ADD_FAILURE() << "no error";
    } catch (const EXmlError& e) {
        EXPECT_EQ(std::string(e.what()), "The character U+0100 in \"0\xC4\x80\" is not a value code");
    }
}

}  // namespace
}  // namespace mivo
