// The system's own small XML reader and writer. Every XML text of the
// system goes through it: the model file, the model's text form (undo
// snapshots, copied attribute subtrees) and the Pelk import and export.
//
// A document is read into a tree of `TXmlItem` elements (name, attributes,
// text, children) and written back from such a tree as indented lines; large
// documents are read element by element (`TXmlReader`) and written straight
// from the code that knows them (model/XmlWriter.h), with the same result. It is
// line-oriented: it reads from and writes to a list of text lines. It knows
// elements, attributes, text and nine character entities (table below); it
// does not know comments, CDATA sections, processing instructions (other
// than the one header line), numeric character references or namespaces.
// Comments, CDATA sections, declarations and processing instructions are
// refused with an error rather than misread as elements.
//
// The exact bytes written and the reader's tolerance are what stored files
// rely on:
//  - Reading joins lines, each trimmed at both ends, with one blank: a line
//    break inside a text reads as one blank, and indentation is lost.
//  - Text before a tag is kept as it stands when the tag is on the same line
//    (so blanks between two elements on one line become a text node), and
//    trimmed when lines had to be read to find the tag.
//  - An element with children writes its own text on a line of its own, with
//    leading and trailing blanks and TABs written as entities; a leaf writes
//    its text raw between its tags.
//  - Attribute values may be quoted; an unquoted value ends at the first
//    blank. Entities other than the nine, and character references, stay as
//    they are.
//
// Entities, in table order: & "&amp;", < "&lt;", > "&gt;", ' "&apos;",
// " "&quot;", CR "&cr;", LF "&lf;", blank "&nbsp;", TAB "&tab;". "&amp;" is
// resolved last, so "&amp;lt;" reads as the text "&lt;".
//
// Every read error raises EXmlError whose message starts with
// "Error reading XML around line %d: ", %d being the number of lines read so
// far plus one. Quoted text in messages is cut to 80 characters. Elements
// nested deeper than `XmlMaxDepth` are refused, so that no code walking a
// tree read from a file can run out of stack.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextPieces.h"

namespace mivo {

// The header line of UTF-8 files, the default of `XmlHeader`.
inline constexpr std::string_view XmlUtf8Header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// The header line of old files holding 8-bit text. The reader accepts it in
// place of the UTF-8 header and then turns `XmlUtf8` off.
inline constexpr std::string_view XmlPlainHeader = "<?xml version=\"1.0\"?>";

// The header line the reader expects as the first tag and the writer puts
// first; empty means no header line. Shared by all readers and writers for
// the whole run: each format's reader and writer sets it before use, and
// one that changes it (the Pelk import and export) restores the default.
extern std::string XmlHeader;

// When on, text is converted to UTF-8 on writing and from UTF-8 on reading.
// Reading a document sets it (on unless the header is empty or the plain
// one); writing a document sets it to whether `XmlHeader` is the UTF-8
// header. After a read it tells whether the file's texts were UTF-8.
extern bool XmlUtf8;

// Blanks added per level of nesting when writing.
inline constexpr int XmlIndent = 2;

// The deepest nesting of elements the reader accepts (the root is level 1).
inline constexpr int XmlMaxDepth = 1000;

// --- text conversion -------------------------------------------------------

// Every character of the entity table not among `kept` replaced by its
// entity (ampersand first); then, with `XmlUtf8` on, converted to UTF-8.
std::string XmlEscape(std::string_view text, std::string_view kept = {});

// The leading and trailing runs of blanks and TABs escaped fully ("&nbsp;",
// "&tab;"), the middle escaped keeping blanks and TABs; an all-blank text
// is all leading run. This is how a text on a line of its own survives the
// reader's trimming.
std::string XmlEscapeText(std::string_view text);

// XmlEscape and XmlEscapeText appended to `out`, for writers that build
// one text.
void AppendXmlEscape(std::string& out, std::string_view text, std::string_view kept = {});
void AppendXmlEscapeText(std::string& out, std::string_view text);

// Every entity of the table replaced by its character, "&amp;" last; then,
// with `XmlUtf8` on, converted from UTF-8 (text that is not valid UTF-8 is
// kept as it stands). Other entities stay as they are.
std::string XmlUnescape(std::string_view text);

// --- element tree ------------------------------------------------------------

class TXmlItem;
class TXmlLineSource;
class TXmlParser;

// An owning list of items in order; duplicates allowed.
class TXmlItemList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    // The item at index i; raises ERangeError outside the list.
    TXmlItem& GetItem(int i) const;

    // The first item whose name equals `name` exactly (letter case matters),
    // or null.
    TXmlItem* FindByName(std::string_view name) const;

    // Appends and owns the item; returns its index.
    int Add(std::unique_ptr<TXmlItem> item);
    // Frees every item.
    void Clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<TXmlItem>> items_;
};

// One element, attribute or text node. An element has a name, attributes
// (items whose Text is the unescaped value), children in document order
// (elements and text nodes) and its own text; a text node has no name.
class TXmlItem {
public:
    explicit TXmlItem(std::string name = {}, std::string text = {});

    std::string Name;  // empty for a text node
    std::string Text;  // unescaped, 8-bit

    // --- attributes and children (null outside the lists) ---
    int AttributeCount() const { return attributes_.Count(); }
    TXmlItem* Attribute(int i) const;
    const TXmlItemList& Attributes() const { return attributes_; }

    int ChildCount() const { return children_.Count(); }
    TXmlItem* Child(int i) const;
    const TXmlItemList& Children() const { return children_; }

    // The first child named exactly `name`, or null.
    TXmlItem* FindChild(std::string_view name) const;
    // The Text of FindChild(name); empty when there is none.
    std::string ChildText(std::string_view name) const;

    // Appends an attribute; returns its index.
    int AddAttribute(std::string name, std::string value);
    // Appends and owns the item; returns its index.
    int AddChild(std::unique_ptr<TXmlItem> item);
    // A new child with this name and no text, appended.
    TXmlItem& NewChild(std::string name);
    // A new child with this name and text, appended.
    void AddTextChild(std::string name, std::string text);

    // No children.
    bool IsLeaf() const { return children_.Empty(); }
    // No children and no text.
    bool IsEmpty() const { return IsLeaf() && Text.empty(); }

    // XmlEscape(Text) keeping blanks and TABs; XmlEscapeText(Text).
    std::string EscapedValue() const;
    std::string EscapedText() const;
    // Text := XmlUnescape(text).
    void SetEscapedText(std::string_view text);

    // --- writing ---
    // The document as lines: `XmlHeader` first unless empty, then the tree.
    // Sets `XmlUtf8` to whether `XmlHeader` is the UTF-8 header.
    void SaveToStrings(std::vector<std::string>& lines) const;
    // SaveToStrings, each line ended by CR LF, written safely (model/SafeFile.h).
    void SaveToFile(const std::string& file_name) const;
    // This item and its subtree as lines, each prefixed with `indent` blanks.
    void WriteLines(std::vector<std::string>& lines, int indent) const;

    // --- reading ---
    // Reads a document into this item, which becomes its root element. The
    // header is checked first (see `XmlHeader`). Input without any element
    // leaves the item as it was; anything after the root element's closing
    // tag is not read. On error the partly built tree stays in the item.
    void LoadFromStrings(const std::vector<std::string>& lines);
    // The same over the lines of a text (split at CR LF, CR or LF).
    void LoadFromText(std::string_view text);
    // The file's text, then LoadFromText.
    void LoadFromFile(const std::string& file_name);

private:
    friend class TXmlReader;

    void Load(TXmlLineSource& lines);
    void ReadFromParser(TXmlParser& parser, int depth);
    // The start tag the parser holds: its name and attributes into this
    // (empty) item. False when the tag closes the element itself.
    bool ReadStartTag(TXmlParser& parser, int depth);
    // The element's contents and end tag, after its start tag.
    void ReadContent(TXmlParser& parser, int depth);
    // Back to an item without name, text, attributes and children.
    void Reset();

    TXmlItemList attributes_;
    TXmlItemList children_;
};

// Reads a document one element at a time, for readers of documents too
// large to hold whole as a tree. The children of an element are visited in
// turn; each is either read whole, as the element tree of its own that
// LoadFromStrings would build for it, or entered, so that its children are
// visited in turn. The document is checked exactly as LoadFromStrings checks
// it, as far as it is read; text between the children of an entered element
// is passed over.
//
// After Root or NextChild has read a start tag, exactly one of Enter and
// ReadRest follows, while the item that holds the start tag still stands.
class TXmlReader {
public:
    // Checks the header (see `XmlHeader`) and sets `XmlUtf8`. The text or
    // the lines must outlive the reader.
    explicit TXmlReader(std::string_view text);
    explicit TXmlReader(const std::vector<std::string>& lines);
    // The same over a text pulled from `source` as it is read, a buffer at
    // a time, so that it never stands in memory whole. Errors of the source
    // propagate.
    explicit TXmlReader(TTextSource source);
    ~TXmlReader();

    TXmlReader(const TXmlReader&) = delete;
    TXmlReader& operator=(const TXmlReader&) = delete;

    // Reads the root element's start tag into `head` (its name and
    // attributes); false when the input holds no element.
    bool Root(TXmlItem& head);
    // Reads the next start tag among the children of the element entered
    // last into `head` and returns true; at that element's end tag, checked
    // against its name, leaves the element and returns false.
    bool NextChild(TXmlItem& head);
    // Reads the rest of the element whose start tag was read last (its
    // contents and end tag) into `element`, the item holding that start tag.
    void ReadRest(TXmlItem& element);
    // Enters the element whose start tag was read last.
    void Enter();

private:
    struct TEntered {
        std::string Name;
        bool HasContent = false;
    };

    void ReadStartTag(TXmlItem& head);

    std::unique_ptr<TXmlLineSource> lines_;
    std::unique_ptr<TXmlParser> parser_;
    std::vector<TEntered> entered_;
    TXmlItem* started_ = nullptr;  // the item holding the start tag read last
    bool started_has_content_ = false;
    bool pending_ = false;  // a start tag waits for Enter or ReadRest
    std::string text_;      // text passed over between children
};

}  // namespace mivo
