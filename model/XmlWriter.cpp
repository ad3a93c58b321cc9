#include "model/XmlWriter.h"

#include <algorithm>
#include <utility>

#include "model/RunTime.h"
#include "model/ValueStrings.h"
#include "model/Xml.h"

namespace mivo {

TXmlWriter::TXmlWriter(std::string& text, std::string_view line_end) : text_(&text), line_end_(line_end) {}

TXmlWriter::TXmlWriter(std::vector<std::string>& lines, int indent) : lines_(&lines), indent_(indent) {}

TXmlWriter::TXmlWriter(TTextSink sink, std::string_view line_end)
    : text_(&piece_), line_end_(line_end), sink_(std::move(sink)) {
    // One block for the whole writing: a piece and the line that ends it.
    piece_.reserve(SinkPiece + 64 * 1024);
}

void TXmlWriter::StartDocument() {
    XmlUtf8 = XmlHeader == XmlUtf8Header;
    if (XmlHeader.empty()) return;
    BeginLine(0) += XmlHeader;
    EndLine();
}

void TXmlWriter::Open(std::string_view name) {
    StartParent();
    const int indent = Indent();
    open_.push_back({std::string(name), indent, false});
}

void TXmlWriter::Close() {
    MIVO_ASSERT(!open_.empty(), "Closing an XML element that is not open");
    const TOpenElement& element = open_.back();
    std::string& line = BeginLine(element.Indent);
    line += element.Started ? "</" : "<";
    line += element.Name;
    line += element.Started ? ">" : "/>";
    EndLine();
    open_.pop_back();
}

void TXmlWriter::TextElement(std::string_view name, std::string_view text) {
    StartParent();
    std::string& line = BeginLine(Indent());
    line += '<';
    line += name;
    if (text.empty()) {
        line += "/>";
    } else {
        line += '>';
        AppendXmlEscape(line, text, " \t");
        line += "</";
        line += name;
        line += '>';
    }
    EndLine();
}

void TXmlWriter::Item(const TXmlItem& item) {
    StartParent();
    WriteItem(item, Indent());
}

int TXmlWriter::Indent() const { return open_.empty() ? indent_ : CheckedAdd(open_.back().Indent, XmlIndent); }

void TXmlWriter::StartParent() {
    if (open_.empty() || open_.back().Started) return;
    TOpenElement& parent = open_.back();
    std::string& line = BeginLine(parent.Indent);
    line += '<';
    line += parent.Name;
    line += '>';
    EndLine();
    parent.Started = true;
}

std::string& TXmlWriter::BeginLine(int indent) {
    if (text_) MakeRoom();
    std::string& line = lines_ ? lines_->emplace_back() : *text_;
    line.append(static_cast<std::size_t>(std::max(indent, 0)), ' ');
    return line;
}

void TXmlWriter::Reserve(std::size_t bytes) {
    if (text_ && !sink_ && text_->capacity() - text_->size() < bytes) Grow(text_->size() + bytes);
}

// The text grows in steps that double it; a sink takes each piece that is
// full instead.
void TXmlWriter::MakeRoom() {
    if (sink_) {
        if (piece_.size() >= SinkPiece) Flush();
        return;
    }
    constexpr std::size_t kLineRoom = 64 * 1024;
    constexpr std::size_t kFirstBlock = std::size_t(1) << 20;
    if (text_->capacity() - text_->size() < kLineRoom) Grow(std::max(2 * text_->capacity(), kFirstBlock));
}

// Into a block of its own that is asked for huge pages before anything is
// copied into it: fresh memory costs a page fault for every page touched.
void TXmlWriter::Grow(std::size_t capacity) {
    std::string bigger;
    bigger.reserve(capacity);
    AdviseHugePages(bigger.data(), bigger.capacity());
    bigger += *text_;
    text_->swap(bigger);
}

void TXmlWriter::Flush() {
    if (!sink_ || piece_.empty()) return;
    sink_(piece_);
    piece_.clear();
}

void TXmlWriter::EndLine() {
    if (text_) text_->append(line_end_);
}

// An item without a name is a text node: its text on a line of its own.
// An element with children writes its own text after them, on a line of
// its own, escaped so that the reader's trimming keeps its blanks.
void TXmlWriter::WriteItem(const TXmlItem& item, int indent) {
    std::string& line = BeginLine(indent);
    if (item.Name.empty()) {
        AppendXmlEscapeText(line, item.Text);
        EndLine();
        return;
    }
    line += '<';
    line += item.Name;
    for (const auto& attribute : item.Attributes()) {
        line += ' ';
        line += attribute->Name;
        line += "=\"";
        AppendXmlEscape(line, attribute->Text, " \t");
        line += '"';
    }
    if (item.IsEmpty()) {
        line += "/>";
        EndLine();
    } else if (item.IsLeaf()) {
        line += '>';
        AppendXmlEscape(line, item.Text, " \t");
        line += "</";
        line += item.Name;
        line += '>';
        EndLine();
    } else {
        line += '>';
        EndLine();
        const int inner = CheckedAdd(indent, XmlIndent);
        for (const auto& child : item.Children()) WriteItem(*child, inner);
        if (!item.Text.empty()) {
            AppendXmlEscapeText(BeginLine(inner), item.Text);
            EndLine();
        }
        std::string& end = BeginLine(indent);
        end += "</";
        end += item.Name;
        end += '>';
        EndLine();
    }
}

}  // namespace mivo
