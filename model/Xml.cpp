#include "model/Xml.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include "model/CodePage.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/TextLines.h"
#include "model/XmlWriter.h"

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

// The entity of each character, empty for characters written as they are.
constexpr std::array<std::string_view, 256> kEntityOf = [] {
    std::array<std::string_view, 256> table{};
    for (const TEntity& e : kEntities) table[static_cast<unsigned char>(e.Character)] = e.Entity;
    return table;
}();

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The part of `out` from `start` on, converted from local text to UTF-8.
// ASCII reads the same in both, so only text with other bytes is converted.
void ConvertToUtf8From(std::string& out, std::size_t start) {
    const std::string_view appended = std::string_view(out).substr(start);
    if (IsAscii(appended)) return;
    std::string converted = LocalToUtf8(appended);
    out.resize(start);
    out += converted;
}

}  // namespace

// --- text conversion -----------------------------------------------------------

// One pass over the text gives the same result as one replacement pass per
// entity in table order: entities hold none of the characters replaced, and
// the ampersand comes first.
void AppendXmlEscape(std::string& out, std::string_view text, std::string_view kept) {
    const std::size_t start = out.size();
    std::size_t plain = 0;  // the first character not yet appended
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view entity = kEntityOf[static_cast<unsigned char>(text[i])];
        if (entity.empty() || kept.find(text[i]) != std::string_view::npos) continue;
        out.append(text.substr(plain, i - plain));
        out.append(entity);
        plain = i + 1;
    }
    out.append(text.substr(plain));
    if (XmlUtf8) ConvertToUtf8From(out, start);
}

void AppendXmlEscapeText(std::string& out, std::string_view text) {
    std::size_t lead = 0;
    while (lead < text.size() && IsBlankOrTab(text[lead])) ++lead;
    std::size_t trail = text.size();
    while (trail > lead && IsBlankOrTab(text[trail - 1])) --trail;
    AppendXmlEscape(out, text.substr(0, lead));
    AppendXmlEscape(out, text.substr(lead, trail - lead), " \t");
    AppendXmlEscape(out, text.substr(trail));
}

std::string XmlEscape(std::string_view text, std::string_view kept) {
    std::string out;
    out.reserve(text.size());
    AppendXmlEscape(out, text, kept);
    return out;
}

std::string XmlEscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendXmlEscapeText(out, text);
    return out;
}

// One left-to-right pass gives the same result as one replacement pass per
// entity in reverse table order: two entities never overlap (each starts with
// '&' and holds no other), and "&amp;", resolved last there, yields an
// ampersand that is never scanned again.
std::string XmlUnescape(std::string_view text) {
    // Most texts hold no entity, and ASCII needs no conversion.
    if (text.find('&') == std::string_view::npos && (!XmlUtf8 || IsAscii(text))) return std::string(text);
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
    if (XmlUtf8) return Utf8ToLocal(out);
    return out;
}

// --- parser ----------------------------------------------------------------------

// The lines a parser reads, one at a time: the lines of a list, those of
// one text as SplitLines(text, TEmptyLines::Keep) gives them, taken without
// copying, or the same lines of a text pulled from a source a buffer at a
// time. The list or the text must outlive the source. A pulled line given
// by Next stays valid while the line after it is fetched, until the one
// after that is: as long as the parser reads it.
class TXmlLineSource {
public:
    explicit TXmlLineSource(const std::vector<std::string>& lines) : lines_(&lines) {}
    explicit TXmlLineSource(std::string_view text) : splitter_(text, TEmptyLines::Keep) { Fetch(); }
    explicit TXmlLineSource(TTextSource source) : source_(std::move(source)) {}

    bool AtEnd() {
        if (lines_) return next_ >= lines_->size();
        if (source_ && !fetched_) FetchPulled();
        return !fetched_;
    }

    // The next line; there must be one.
    std::string_view Next() {
        if (lines_) return (*lines_)[next_++];
        if (source_) {
            if (!fetched_) FetchPulled();
            fetched_ = false;
            return line_;
        }
        const std::string_view line = line_;
        Fetch();
        return line;
    }

private:
    // The bytes pulled at a time.
    static constexpr std::size_t kPull = 256 * 1024;

    void Fetch() {
        int number = 0;
        fetched_ = splitter_.Next(line_, number);
    }

    // The next line of a pulled text into line_: it ends at the first LF or
    // CR (CR LF counting as one), as TLineSplitter cuts lines; a CR at the
    // end of the buffer waits for the next byte. Each byte is searched once
    // for an LF and once for a CR: the first CR ahead is kept, so that text
    // without CRs costs one search for them per buffer. When the buffer
    // holds no whole line, the unread rest moves into the other buffer, the
    // first time only, so that the line given last stays where it is; more
    // is pulled after it.
    void FetchPulled() {
        constexpr std::size_t npos = std::string_view::npos;
        bool moved = false;
        for (;;) {
            const std::string_view text(current_.data(), filled_);
            if (cr_at_ != npos && cr_at_ < scan_) cr_at_ = text.find('\r', scan_);
            std::size_t end = std::min(text.find('\n', scan_ + searched_), cr_at_);
            if (end != npos && end + 1 == text.size() && text[end] == '\r' && !ended_) end = npos;
            if (end != npos || (ended_ && scan_ < text.size())) {
                if (end == npos) end = text.size();
                line_ = text.substr(scan_, end - scan_);
                scan_ = end + (text.substr(end).starts_with("\r\n") ? 2 : end < text.size() ? 1 : 0);
                searched_ = 0;
                fetched_ = true;
                return;
            }
            if (ended_) return;
            searched_ = text.size() - scan_;  // no LF in the rest
            if (!moved) {
                MoveRest();
                moved = true;
            }
            const std::size_t had = filled_;
            Pull();
            if (cr_at_ == npos) cr_at_ = std::string_view(current_.data(), filled_).find('\r', had);
        }
    }

    // The unread rest to the start of the other buffer, which becomes the
    // current one.
    void MoveRest() {
        previous_.swap(current_);
        const std::size_t rest = filled_ - scan_;
        if (current_.size() < rest) current_.resize(rest);
        std::copy_n(previous_.data() + scan_, rest, current_.data());
        if (cr_at_ != std::string_view::npos) cr_at_ -= scan_;
        filled_ = rest;
        scan_ = 0;
    }

    // Appends the next bytes of the text to the buffer; a byte-order mark
    // at the start of the text is no part of it. The buffer is kept at its
    // full size, so that it is cleared only when it grows.
    void Pull() {
        do {
            if (current_.size() - filled_ < kPull) current_.resize(filled_ + kPull);
            const std::size_t got = std::min(source_(current_.data() + filled_, kPull), kPull);
            filled_ += got;
            ended_ = got == 0;
        } while (!bom_checked_ && !ended_ && filled_ < kUtf8Bom.size());
        if (!bom_checked_ && std::string_view(current_.data(), filled_).starts_with(kUtf8Bom)) {
            current_.erase(0, kUtf8Bom.size());
            filled_ -= kUtf8Bom.size();
        }
        bom_checked_ = true;
    }

    const std::vector<std::string>* lines_ = nullptr;
    std::size_t next_ = 0;
    TLineSplitter splitter_{std::string_view()};
    std::string_view line_;  // the next line of the text, when fetched
    bool fetched_ = false;

    TTextSource source_;
    std::string current_;   // pulled text: the buffer lines are cut from
    std::string previous_;  // the buffer before, where the line given last may stand
    std::size_t filled_ = 0;  // the bytes of current_ pulled and not moved
    std::size_t scan_ = 0;    // the start of the unread rest in current_
    std::size_t searched_ = 0;  // bytes of the rest known to hold no LF
    std::size_t cr_at_ = std::string_view::npos;  // the first CR at or after scan_, if any
    bool ended_ = false;
    bool bom_checked_ = false;
};

// Reads tags and texts from lines. The buffer holds the lines read so far,
// trimmed and joined by one blank; `pos_` marks where its unread rest
// begins, so taking a tag never moves the rest of a long line.
class TXmlParser {
public:
    // Checks the header (see `XmlHeader`) and sets `XmlUtf8`.
    explicit TXmlParser(TXmlLineSource& lines);

    bool Eof() const { return eof_; }
    const std::string& TagName() const { return tag_name_; }
    const std::vector<std::string>& TagAttributes() const { return tag_attributes_; }
    bool SelfClosing() const { return self_closing_; }
    bool Closing() const { return closing_; }
    // The last tag read by NextTag, for messages.
    const std::string& TagText() const { return tag_text_; }

    bool ReadLine();
    // The next tag (empty at the end of the input); valid until the next call.
    const std::string& NextTag();
    // The text before the next tag, into `text`.
    void NextText(std::string& text);
    void ParseTag(std::string_view tag);

    [[noreturn]] void Error(const std::string& text) const;

private:
    void ResetTag();
    // The buffer index of the first `c` in the unread rest, reading lines
    // until there is one; npos when the input ends first.
    std::size_t FindReading(char c);
    std::string_view Rest() const { return buffer_.substr(pos_); }
    static std::string CutAttribute(std::string_view text, std::size_t& pos);

    TXmlLineSource& lines_;
    std::size_t lines_read_ = 0;
    // The unread lines: a line of the input itself, or lines joined in
    // `joined_` when a tag or a text spans them.
    std::string_view buffer_;
    std::string joined_;
    bool joined_in_use_ = false;
    std::size_t pos_ = 0;
    bool eof_ = false;
    std::string tag_name_;
    std::vector<std::string> tag_attributes_;  // name=value
    bool self_closing_ = false;
    bool closing_ = false;
    std::string tag_text_;
};

TXmlParser::TXmlParser(TXmlLineSource& lines) : lines_(lines) {
    XmlUtf8 = !XmlHeader.empty();
    std::string first = XmlHeader.empty() ? std::string() : NextTag();
    if (first == XmlPlainHeader) {
        first = XmlHeader;  // an old file in 8-bit text
        XmlUtf8 = false;
    }
    if (first != XmlHeader || eof_) Error("Missing or unrecognized XML header");
}

void TXmlParser::Error(const std::string& text) const {
    std::size_t line = std::min<std::size_t>(lines_read_, INT_MAX - 1) + 1;
    throw EXmlError(Format("Error reading XML around line %d: %s", static_cast<int>(line), text));
}

bool TXmlParser::ReadLine() {
    if (lines_.AtEnd()) return false;
    std::string_view line = lines_.Next();
    if (lines_read_ == 0 && line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
    line = TrimView(line);
    ++lines_read_;
    if (pos_ == buffer_.size()) {
        // Nothing unread: the line itself is the buffer, not copied.
        buffer_ = line;
        pos_ = 0;
        joined_in_use_ = false;
        return true;
    }
    if (!joined_in_use_) {
        joined_.assign(Rest());
        pos_ = 0;
        joined_in_use_ = true;
    } else if (pos_ > buffer_.size() - pos_) {
        // Drop the read part once it outweighs the rest; amortised, this
        // copies every byte a bounded number of times.
        joined_.erase(0, pos_);
        pos_ = 0;
    }
    joined_ += ' ';
    joined_.append(line);
    buffer_ = joined_;
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

const std::string& TXmlParser::NextTag() {
    ResetTag();
    tag_text_.clear();
    std::size_t open = FindReading('<');
    if (open == std::string::npos) {
        eof_ = true;
        return tag_text_;
    }
    std::string_view before = buffer_.substr(pos_, open - pos_);
    if (!TrimView(before).empty())
        Error(Format("A tag expected instead of text \"%s\"", Quoted(before)));
    pos_ = open;
    std::size_t close = FindReading('>');
    if (close == std::string::npos) Error(Format("Unterminated tag \"%s\"", Quoted(Rest())));
    tag_text_.assign(buffer_.substr(pos_, close + 1 - pos_));
    pos_ = close + 1;
    return tag_text_;
}

void TXmlParser::NextText(std::string& text) {
    std::size_t open = buffer_.find('<', pos_);
    if (open != std::string::npos) {
        text.assign(buffer_.substr(pos_, open - pos_));
        pos_ = open;
        return;
    }
    if (pos_ == buffer_.size() && lines_.AtEnd()) {
        eof_ = true;
        text.clear();
        return;
    }
    open = FindReading('<');
    std::size_t end = open == std::string::npos ? buffer_.size() : open;
    text.assign(TrimView(buffer_.substr(pos_, end - pos_)));
    if (open != std::string::npos) pos_ = open;  // else the text stays in the buffer
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
    // Tag names are short: a plain loop beats a library search here.
    const std::size_t blank = static_cast<std::size_t>(std::find(body.begin(), body.end(), ' ') - body.begin());
    if (blank == body.size()) {
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
    lines.clear();
    TXmlWriter writer(lines);
    writer.StartDocument();
    writer.Item(*this);
}

void TXmlItem::SaveToFile(const std::string& file_name) const {
    std::string text;
    TXmlWriter writer(text, "\r\n");
    writer.StartDocument();
    writer.Item(*this);
    WriteFileAtomic(file_name, text);
}

void TXmlItem::WriteLines(std::vector<std::string>& lines, int indent) const { TXmlWriter(lines, indent).Item(*this); }

void TXmlItem::LoadFromStrings(const std::vector<std::string>& lines) {
    TXmlLineSource source(lines);
    Load(source);
}

void TXmlItem::LoadFromText(std::string_view text) {
    TXmlLineSource source(text);
    Load(source);
}

void TXmlItem::Load(TXmlLineSource& lines) {
    TXmlParser parser(lines);
    parser.ParseTag(parser.NextTag());
    if (parser.Eof()) return;
    if (parser.Closing())
        parser.Error(Format("Expecting an opening tag instead of \"</%s>\"", Quoted(parser.TagName())));
    ReadFromParser(parser, 1);
}

void TXmlItem::LoadFromFile(const std::string& file_name) {
    LoadFromText(ReadFile(file_name));
}

// Reads the element whose start tag the parser holds, with its contents and
// its closing tag.
void TXmlItem::ReadFromParser(TXmlParser& parser, int depth) {
    if (ReadStartTag(parser, depth)) ReadContent(parser, depth);
}

bool TXmlItem::ReadStartTag(TXmlParser& parser, int depth) {
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
    return !parser.SelfClosing();
}

void TXmlItem::ReadContent(TXmlParser& parser, int depth) {
    std::string text;
    for (;;) {
        parser.NextText(text);
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

void TXmlItem::Reset() {
    Name.clear();
    Text.clear();
    attributes_.Clear();
    children_.Clear();
}

// --- element by element ----------------------------------------------------------

TXmlReader::TXmlReader(std::string_view text)
    : lines_(std::make_unique<TXmlLineSource>(text)), parser_(std::make_unique<TXmlParser>(*lines_)) {}

TXmlReader::TXmlReader(const std::vector<std::string>& lines)
    : lines_(std::make_unique<TXmlLineSource>(lines)), parser_(std::make_unique<TXmlParser>(*lines_)) {}

TXmlReader::TXmlReader(TTextSource source)
    : lines_(std::make_unique<TXmlLineSource>(std::move(source))), parser_(std::make_unique<TXmlParser>(*lines_)) {}

TXmlReader::~TXmlReader() = default;

bool TXmlReader::Root(TXmlItem& head) {
    MIVO_ASSERT(entered_.empty() && !pending_, "Reading a second XML root");
    parser_->ParseTag(parser_->NextTag());
    if (parser_->Eof()) return false;
    if (parser_->Closing())
        parser_->Error(Format("Expecting an opening tag instead of \"</%s>\"", Quoted(parser_->TagName())));
    ReadStartTag(head);
    return true;
}

bool TXmlReader::NextChild(TXmlItem& head) {
    MIVO_ASSERT(!entered_.empty() && !pending_, "No XML element entered");
    const TEntered& element = entered_.back();
    if (!element.HasContent) {
        entered_.pop_back();
        return false;
    }
    parser_->NextText(text_);
    parser_->ParseTag(parser_->NextTag());
    if (parser_->Eof()) parser_->Error(Format("Missing tag \"</%s>\"", Quoted(element.Name)));
    if (parser_->Closing()) {
        if (parser_->TagName() != element.Name)
            parser_->Error(Format("Expecting terminating tag \"</%s>\" instead of \"</%s>\"", Quoted(element.Name),
                                  Quoted(parser_->TagName())));
        entered_.pop_back();
        return false;
    }
    ReadStartTag(head);
    return true;
}

void TXmlReader::ReadStartTag(TXmlItem& head) {
    head.Reset();
    const int depth = static_cast<int>(std::min<std::size_t>(entered_.size(), INT_MAX - 1)) + 1;
    started_has_content_ = head.ReadStartTag(*parser_, depth);
    started_ = &head;
    pending_ = true;
}

void TXmlReader::ReadRest(TXmlItem& element) {
    MIVO_ASSERT(pending_ && &element == started_, "No XML start tag read");
    pending_ = false;
    const int depth = static_cast<int>(std::min<std::size_t>(entered_.size(), INT_MAX - 1)) + 1;
    if (started_has_content_) element.ReadContent(*parser_, depth);
}

void TXmlReader::Enter() {
    MIVO_ASSERT(pending_, "No XML start tag read");
    pending_ = false;
    entered_.push_back({started_->Name, started_has_content_});
}

}  // namespace mivo
