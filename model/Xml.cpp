#include "model/Xml.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include "model/CodePage.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/TextLines.h"

namespace mivo {

std::string XmlHeader(XmlUtf8Header);
bool XmlUtf8 = true;

namespace {

struct TEntity {
    char Character;
    std::string_view Entity;
};

// The entity table, in table order.
constexpr std::array<TEntity, 9> kEntities = {{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'\'', "&apos;"},
    {'"', "&quot;"},
    {'\r', "&cr;"},
    {'\n', "&lf;"},
    {' ', "&nbsp;"},
    {'\t', "&tab;"},
}};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimView(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

// Text quoted in an error message, cut to a readable length.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kMaxQuoted = 80;
    std::string cut = CutToCodePoints(text, kMaxQuoted);
    if (cut.size() < text.size()) cut += "...";
    return cut;
}

}  // namespace

// --- text conversion -----------------------------------------------------------

// One pass over the text gives the same result as one replacement pass per
// entity in table order: entities hold none of the characters replaced, and
// the ampersand comes first.
std::string XmlEscape(std::string_view text, std::string_view kept) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto entity = std::find_if(kEntities.begin(), kEntities.end(),
                                   [c](const TEntity& e) { return e.Character == c; });
        if (entity != kEntities.end() && kept.find(c) == std::string_view::npos)
            out += entity->Entity;
        else
            out += c;
    }
    return XmlUtf8 ? LocalToUtf8(out) : out;
}

std::string XmlEscapeText(std::string_view text) {
    std::size_t lead = 0;
    while (lead < text.size() && IsBlankOrTab(text[lead])) ++lead;
    std::size_t trail = text.size();
    while (trail > lead && IsBlankOrTab(text[trail - 1])) --trail;
    return XmlEscape(text.substr(0, lead)) + XmlEscape(text.substr(lead, trail - lead), " \t") +
           XmlEscape(text.substr(trail));
}

// One left-to-right pass gives the same result as one replacement pass per
// entity in reverse table order: two entities never overlap (each starts with
// '&' and holds no other), and "&amp;", resolved last there, yields an
// ampersand that is never scanned again.
std::string XmlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        std::string_view rest = text.substr(amp);
        auto entity = std::find_if(kEntities.begin(), kEntities.end(),
                                   [rest](const TEntity& e) { return rest.starts_with(e.Entity); });
        if (entity != kEntities.end()) {
            out += entity->Character;
            i = amp + entity->Entity.size();
        } else {
            out += '&';
            i = amp + 1;
        }
    }
    return XmlUtf8 ? Utf8ToLocal(out) : out;
}

// --- parser ----------------------------------------------------------------------

// Reads tags and texts from a list of lines. The buffer holds the lines read
// so far, trimmed and joined by one blank; `pos_` marks where its unread rest
// begins, so taking a tag never moves the rest of a long line.
class TXmlParser {
public:
    // Checks the header (see `XmlHeader`) and sets `XmlUtf8`.
    explicit TXmlParser(const std::vector<std::string>& lines);

    bool Eof() const { return eof_; }
    const std::string& TagName() const { return tag_name_; }
    const std::vector<std::string>& TagAttributes() const { return tag_attributes_; }
    bool SelfClosing() const { return self_closing_; }
    bool Closing() const { return closing_; }
    // The last tag read by NextTag, for messages.
    const std::string& TagText() const { return tag_text_; }

    bool ReadLine();
    std::string NextTag();
    std::string NextText();
    void ParseTag(std::string_view tag);

    [[noreturn]] void Error(const std::string& text) const;

private:
    void ResetTag();
    // The buffer index of the first `c` in the unread rest, reading lines
    // until there is one; npos when the input ends first.
    std::size_t FindReading(char c);
    std::string_view Rest() const { return std::string_view(buffer_).substr(pos_); }
    static std::string CutAttribute(std::string_view text, std::size_t& pos);

    const std::vector<std::string>& lines_;
    std::size_t next_line_ = 0;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    std::string tag_name_;
    std::vector<std::string> tag_attributes_;  // name=value
    bool self_closing_ = false;
    bool closing_ = false;
    std::string tag_text_;
};

TXmlParser::TXmlParser(const std::vector<std::string>& lines) : lines_(lines) {
    XmlUtf8 = !XmlHeader.empty();
    std::string first = XmlHeader.empty() ? std::string() : NextTag();
    if (first == XmlPlainHeader) {
        first = XmlHeader;  // an old file in 8-bit text
        XmlUtf8 = false;
    }
    if (first != XmlHeader || eof_) Error("Missing or unrecognized XML header");
}

void TXmlParser::Error(const std::string& text) const {
    std::size_t line = std::min<std::size_t>(next_line_, INT_MAX - 1) + 1;
    throw EXmlError(Format("Error reading XML around line %d: %s", static_cast<int>(line), text));
}

bool TXmlParser::ReadLine() {
    if (next_line_ >= lines_.size()) return false;
    std::string_view line = lines_[next_line_];
    if (next_line_ == 0 && line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
    line = TrimView(line);
    ++next_line_;
    if (pos_ == buffer_.size()) {
        buffer_.assign(line);
        pos_ = 0;
        return true;
    }
    // Drop the read part once it outweighs the rest; amortised, this copies
    // every byte a bounded number of times.
    if (pos_ > buffer_.size() - pos_) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    buffer_ += ' ';
    buffer_.append(line);
    return true;
}

std::size_t TXmlParser::FindReading(char c) {
    std::size_t searched = 0;  // bytes of the rest already searched
    for (;;) {
        std::size_t found = buffer_.find(c, pos_ + searched);
        if (found != std::string::npos) return found;
        searched = buffer_.size() - pos_;
        if (!ReadLine()) return std::string::npos;
    }
}

void TXmlParser::ResetTag() {
    tag_name_.clear();
    tag_attributes_.clear();
    self_closing_ = false;
    closing_ = false;
}

std::string TXmlParser::NextTag() {
    ResetTag();
    tag_text_.clear();
    std::size_t open = FindReading('<');
    if (open == std::string::npos) {
        eof_ = true;
        return {};
    }
    std::string_view before = std::string_view(buffer_).substr(pos_, open - pos_);
    if (!TrimView(before).empty())
        Error(Format("A tag expected instead of text \"%s\"", Quoted(before)));
    pos_ = open;
    std::size_t close = FindReading('>');
    if (close == std::string::npos) Error(Format("Unterminated tag \"%s\"", Quoted(Rest())));
    tag_text_ = buffer_.substr(pos_, close + 1 - pos_);
    pos_ = close + 1;
    return tag_text_;
}

std::string TXmlParser::NextText() {
    std::size_t open = buffer_.find('<', pos_);
    if (open != std::string::npos) {
        std::string text = buffer_.substr(pos_, open - pos_);
        pos_ = open;
        return text;
    }
    if (pos_ == buffer_.size() && next_line_ >= lines_.size()) {
        eof_ = true;
        return {};
    }
    open = FindReading('<');
    std::size_t end = open == std::string::npos ? buffer_.size() : open;
    std::string text(TrimView(std::string_view(buffer_).substr(pos_, end - pos_)));
    if (open != std::string::npos) pos_ = open;  // else the text stays in the buffer
    return text;
}

void TXmlParser::ParseTag(std::string_view tag) {
    ResetTag();
    if (eof_ || tag.size() < 2 || tag.front() != '<' || tag.back() != '>') return;
    std::string_view body = tag.substr(1, tag.size() - 2);
    if (body.starts_with('/')) {
        closing_ = true;
        body.remove_prefix(1);
    } else if (body.ends_with('/')) {
        self_closing_ = true;
        body.remove_suffix(1);
    }
    std::size_t blank = body.find(' ');
    if (blank == std::string_view::npos) {
        tag_name_.assign(body);
        return;
    }
    tag_name_.assign(body.substr(0, blank));
    std::string_view attributes = TrimView(body.substr(blank + 1));
    std::size_t pos = 0;
    while (pos < attributes.size()) tag_attributes_.push_back(CutAttribute(attributes, pos));
}

// One attribute text "name=value" from `text` at `pos`, which moves past it
// and the blanks after it. After the '=' a double quote toggles quoting and
// the first blank outside quotes ends the attribute; every double quote is
// dropped. Without any '=' the whole rest is a name with an empty value.
std::string TXmlParser::CutAttribute(std::string_view text, std::size_t& pos) {
    bool seen_equals = false;
    bool quoted = false;
    std::size_t end = pos;
    for (; end < text.size(); ++end) {
        char c = text[end];
        if (!seen_equals) {
            seen_equals = c == '=';
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            break;
        }
    }
    std::string attribute;
    if (!seen_equals) {
        attribute.assign(text.substr(pos));
        attribute += '=';
        pos = text.size();
        return attribute;
    }
    for (std::size_t i = pos; i < end; ++i)
        if (text[i] != '"') attribute += text[i];
    pos = end;
    while (pos < text.size() && IsBlankOrControl(text[pos])) ++pos;
    return attribute;
}

// --- element tree --------------------------------------------------------------

TXmlItem& TXmlItemList::GetItem(int i) const { return *At(items_, i); }

TXmlItem* TXmlItemList::FindByName(std::string_view name) const {
    auto found = std::find_if(items_.begin(), items_.end(),
                              [name](const auto& item) { return item->Name == name; });
    return found == items_.end() ? nullptr : found->get();
}

int TXmlItemList::Add(std::unique_ptr<TXmlItem> item) {
    MIVO_ASSERT(item != nullptr, "Adding no item to an XML list");
    int index = Count();
    CheckedAdd(index, 1);
    items_.push_back(std::move(item));
    return index;
}

TXmlItem::TXmlItem(std::string name, std::string text) : Name(std::move(name)), Text(std::move(text)) {}

TXmlItem* TXmlItem::Attribute(int i) const {
    return i >= 0 && i < attributes_.Count() ? &attributes_.GetItem(i) : nullptr;
}

TXmlItem* TXmlItem::Child(int i) const {
    return i >= 0 && i < children_.Count() ? &children_.GetItem(i) : nullptr;
}

TXmlItem* TXmlItem::FindChild(std::string_view name) const { return children_.FindByName(name); }

std::string TXmlItem::ChildText(std::string_view name) const {
    const TXmlItem* child = FindChild(name);
    return child ? child->Text : std::string();
}

int TXmlItem::AddAttribute(std::string name, std::string value) {
    return attributes_.Add(std::make_unique<TXmlItem>(std::move(name), std::move(value)));
}

int TXmlItem::AddChild(std::unique_ptr<TXmlItem> item) { return children_.Add(std::move(item)); }

TXmlItem& TXmlItem::NewChild(std::string name) {
    auto child = std::make_unique<TXmlItem>(std::move(name));
    TXmlItem& ref = *child;
    AddChild(std::move(child));
    return ref;
}

void TXmlItem::AddTextChild(std::string name, std::string text) {
    AddChild(std::make_unique<TXmlItem>(std::move(name), std::move(text)));
}

std::string TXmlItem::EscapedValue() const { return XmlEscape(Text, " \t"); }

std::string TXmlItem::EscapedText() const { return XmlEscapeText(Text); }

void TXmlItem::SetEscapedText(std::string_view text) { Text = XmlUnescape(text); }

void TXmlItem::SaveToStrings(std::vector<std::string>& lines) const {
    XmlUtf8 = XmlHeader == XmlUtf8Header;
    lines.clear();
    if (!XmlHeader.empty()) lines.push_back(XmlHeader);
    WriteLines(lines, 0);
}

void TXmlItem::SaveToFile(const std::string& file_name) const {
    std::vector<std::string> lines;
    SaveToStrings(lines);
    TSafeFileWriter file(file_name);
    for (const std::string& line : lines) {
        file.Write(line);
        file.Write("\r\n");
    }
    file.Commit();
}

void TXmlItem::WriteLines(std::vector<std::string>& lines, int indent) const {
    const std::string prefix(static_cast<std::size_t>(std::max(indent, 0)), ' ');
    if (Name.empty()) {
        lines.push_back(prefix + EscapedText());
        return;
    }
    std::string head = prefix + "<" + Name;
    for (const auto& attribute : attributes_) {
        head += ' ';
        head += attribute->Name;
        head += "=\"";
        head += attribute->EscapedValue();
        head += '"';
    }
    if (IsEmpty()) {
        lines.push_back(head + "/>");
    } else if (IsLeaf()) {
        lines.push_back(head + ">" + EscapedValue() + "</" + Name + ">");
    } else {
        lines.push_back(head + ">");
        const int inner = CheckedAdd(indent, XmlIndent);
        for (const auto& child : children_) child->WriteLines(lines, inner);
        if (!Text.empty()) lines.push_back(std::string(static_cast<std::size_t>(inner), ' ') + EscapedText());
        lines.push_back(prefix + "</" + Name + ">");
    }
}

void TXmlItem::LoadFromStrings(const std::vector<std::string>& lines) {
    TXmlParser parser(lines);
    parser.ParseTag(parser.NextTag());
    if (parser.Eof()) return;
    if (parser.Closing())
        parser.Error(Format("Expecting an opening tag instead of \"</%s>\"", Quoted(parser.TagName())));
    ReadFromParser(parser, 1);
}

void TXmlItem::LoadFromFile(const std::string& file_name) {
    LoadFromStrings(SplitLines(ReadFile(file_name), TEmptyLines::Keep));
}

// Reads the element whose start tag the parser holds, with its contents and
// its closing tag.
void TXmlItem::ReadFromParser(TXmlParser& parser, int depth) {
    const std::string& tag = parser.TagText();
    if (tag.starts_with("<!--")) parser.Error(Format("Comments are not supported: \"%s\"", Quoted(tag)));
    if (tag.starts_with("<![CDATA["))
        parser.Error(Format("CDATA sections are not supported: \"%s\"", Quoted(tag)));
    if (tag.starts_with("<!") || tag.starts_with("<?"))
        parser.Error(Format("Declarations and processing instructions are not supported: \"%s\"", Quoted(tag)));
    if (parser.TagName().empty()) parser.Error(Format("An element without a name: \"%s\"", Quoted(tag)));
    if (depth > XmlMaxDepth)
        parser.Error(Format("Elements are nested deeper than %d levels", XmlMaxDepth));

    Name = parser.TagName();
    for (const std::string& attribute : parser.TagAttributes()) {
        std::size_t equals = attribute.find('=');
        AddAttribute(attribute.substr(0, equals), XmlUnescape(std::string_view(attribute).substr(equals + 1)));
    }
    if (parser.SelfClosing()) return;

    std::string text;
    for (;;) {
        text = parser.NextText();
        parser.ParseTag(parser.NextTag());
        if (parser.Eof()) parser.Error(Format("Missing tag \"</%s>\"", Quoted(Name)));
        if (parser.Closing()) break;
        if (!text.empty()) AddChild(std::make_unique<TXmlItem>(std::string(), XmlUnescape(text)));
        NewChild(std::string()).ReadFromParser(parser, depth + 1);
    }
    if (parser.TagName() != Name)
        parser.Error(Format("Expecting terminating tag \"</%s>\" instead of \"</%s>\"", Quoted(Name),
                            Quoted(parser.TagName())));
    SetEscapedText(text);
}

}  // namespace mivo
