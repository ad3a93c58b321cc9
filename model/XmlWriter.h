// Writing XML lines straight from the code that knows the document, with
// no element tree in between: the model file and the undo snapshots are
// written this way, so that a large model costs one pass and one text.
//
// The lines are exactly those that `TXmlItem::SaveToStrings` writes for the
// tree the same calls would build (TXmlItem's own writing goes through this
// class):
//  - an element with children: its start tag on a line, the children
//    indented by `XmlIndent` more blanks, its end tag on a line;
//  - an element without children and with text: "<NAME>text</NAME>", the
//    text escaped keeping blanks and TABs;
//  - an element without children and text: "<NAME/>".
//
// An element opened with Open writes its start tag only when its first child
// comes, so that one closed without children is written "<NAME/>".
//
// Lines go into one text, each ended by a given line end; or, ended the same
// way, into a sink in pieces of about `SinkPiece` bytes, so that only one
// piece stands in memory at a time; or into a list of lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextPieces.h"

namespace mivo {

class TXmlItem;

class TXmlWriter {
public:
    // Appends the lines to `text`, each ended by `line_end`.
    TXmlWriter(std::string& text, std::string_view line_end);
    // Appends the lines to `lines`; the outermost elements are indented by
    // `indent` blanks.
    explicit TXmlWriter(std::vector<std::string>& lines, int indent = 0);
    // Hands the lines to `sink`, each ended by `line_end`, in pieces of
    // whole lines; Flush hands on the last piece.
    TXmlWriter(TTextSink sink, std::string_view line_end);

    // The size of the pieces a sink gets (a piece ends with the line that
    // reaches it).
    static constexpr std::size_t SinkPiece = std::size_t(1) << 20;

    TXmlWriter(const TXmlWriter&) = delete;
    TXmlWriter& operator=(const TXmlWriter&) = delete;

    // Makes room in the text for about this many more bytes at once (a hint:
    // the text grows as needed anyway), so that a long text of a size known
    // beforehand is not copied on the way.
    void Reserve(std::size_t bytes);

    // Sets `XmlUtf8` to whether `XmlHeader` is the UTF-8 header, then writes
    // `XmlHeader` as a line unless it is empty. Comes before any element.
    void StartDocument();

    // Starts an element inside the one open (or at the outermost level).
    void Open(std::string_view name);
    // Ends the element opened last.
    void Close();

    // An element that holds only text (an empty text gives "<NAME/>").
    void TextElement(std::string_view name, std::string_view text);

    // The item with its attributes and its whole subtree.
    void Item(const TXmlItem& item);

    // Hands what is written and not yet handed on to the sink (nothing
    // without a sink). Comes after the last element.
    void Flush();

private:
    struct TOpenElement {
        std::string Name;
        int Indent = 0;
        bool Started = false;  // its start tag is written
    };

    // The blanks before a new element at the current level.
    int Indent() const;
    // The open element gets a child: its start tag goes out first.
    void StartParent();
    // Room for a line at the end of the text.
    void MakeRoom();
    void Grow(std::size_t capacity);
    // A new line indented by `indent` blanks; the string to append it to.
    std::string& BeginLine(int indent);
    void EndLine();
    void WriteItem(const TXmlItem& item, int indent);

    std::string* text_ = nullptr;
    std::string line_end_;
    TTextSink sink_;
    std::string piece_;  // the text not yet handed to the sink
    std::vector<std::string>* lines_ = nullptr;
    int indent_ = 0;
    std::vector<TOpenElement> open_;
};

}  // namespace mivo
