#include "model/MivoFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoObject.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/UTF8.h"
#include "model/Utils.h"
#include "model/Xml.h"
#include "model/XmlWriter.h"

namespace mivo {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Sets `XmlHeader` to the UTF-8 header for one read (or copy) and restores
// it afterwards. Reading expects that header (the parser also takes the
// plain header of old files) whatever a writer left in `XmlHeader`, so a
// "version 1" save does not make UTF-8 files unreadable; `XmlUtf8` still
// tells afterwards what the document was.
class TUtf8Header {
public:
    TUtf8Header() : saved_(XmlHeader) { XmlHeader = std::string(XmlUtf8Header); }
    ~TUtf8Header() { XmlHeader = saved_; }
    TUtf8Header(const TUtf8Header&) = delete;
    TUtf8Header& operator=(const TUtf8Header&) = delete;

private:
    std::string saved_;
};

// Writers decide the text encoding before building the tree: value codes
// are mapped when the document will be UTF-8.
void BeginWriting() { XmlUtf8 = XmlHeader == XmlUtf8Header; }

// Value codes as element text and back (see the header).
std::string CodesToText(std::string_view codes) { return XmlUtf8 ? CodesToUtf8(codes) : std::string(codes); }

std::string TextToCodes(const TMivoAttribute& attribute, const std::string& text) {
    if (!XmlUtf8) return text;
    try {
        return Utf8ToCodes(text);
    } catch (const EXmlError& e) {
        throw EMivoError(Format(SBadValueCodes, attribute.GetName(), e.Message()));
    }
}

// "Zero" 0, "Text" 2, "One" otherwise.
std::string DataTypeToStr(std::uint8_t type) {
    switch (type) {
        case 0: return "Zero";
        case 2: return "Text";
        default: return "One";
    }
}

std::uint8_t StrToDataType(const std::string& text) {
    if (text == "Zero") return 0;
    if (text == "Text") return 2;
    return 1;
}

// Colours: upper-case hexadecimal, at least six digits, no prefix.
std::string ColorToStr(TColor color) { return Format("%.6X", static_cast<unsigned>(color)); }

TColor StrToColor(const std::string& text) {
    // Hexadecimal digits after an implied "$", as the integer rule reads them.
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    std::uint64_t value = 0;
    bool ok = !digits.empty() && digits.size() <= 8;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else { ok = false; break; }
        value = value * 16 + static_cast<std::uint64_t>(d);
    }
    if (!ok) throw EConvertError(Format("'%s' is not a valid integer value", "$" + text));
    return static_cast<TColor>(value);
}

// The texts of the value list are kept; only the rules are checked.
void CheckRule(const TMivoAttribute& attribute, int rule, char low, char high, char entered, int size) {
    const int lo = CharValue(low), hi = CharValue(high);
    if (lo < 0 || lo >= size || hi < 0 || hi >= size)
        throw EMivoError(Format(SRuleOutsideScale, attribute.GetName(), rule + 1));
    if (lo > hi) throw EMivoError(Format(SRuleLowAboveHigh, attribute.GetName(), rule + 1));
    if (entered != '+' && entered != '-')
        throw EMivoError(Format(SRuleEnteredFlag, attribute.GetName(), rule + 1));
}

void CheckRoot(const TXmlItem& root, const std::string& source) {
    if (root.Name != "Mivo") throw EMivoError(Format(MivoStr::SUnsupportedFileFormat, source));
}

// The first "ATTRIBUTE" of a "SUBTREE" document as a new attribute.
std::unique_ptr<TMivoAttribute> ReadSubtreeRoot(const TXmlItem& root) {
    if (root.Name != "SUBTREE") throw EMivoError(MivoStr::SUnsupportedStringFormat);
    const TXmlItem* element = root.FindChild("ATTRIBUTE");
    return element ? ReadAttribute(*element, nullptr) : nullptr;
}

// A description element as WriteDescription builds it, written through the
// writer.
void PutDescription(TXmlWriter& writer, const std::string& name, const std::string& description) {
    TXmlItem holder;
    WriteDescription(name, description, holder);
    for (const auto& element : holder.Children()) writer.Item(*element);
}

// A "SUBTREE" document holding the attribute's element (the invisible
// root's when no attribute is given).
void WriteSubtreeDocument(const TMivoModel& model, const TMivoAttribute* attribute, TXmlWriter& writer) {
    writer.StartDocument();
    writer.Open("SUBTREE");
    WriteAttribute(attribute ? *attribute : *model.Root(), writer);
    writer.Close();
}

// The whole model as a "Mivo" document; `plainDescription` writes the
// model's description as plain text.
void WriteModel(const TMivoModel& model, bool plainDescription, TXmlWriter& writer) {
    writer.StartDocument();
    writer.Open("Mivo");
    if (!model.GetName().empty()) writer.TextElement("NAME", model.GetName());
    const std::string description = model.GetDescription();
    if (!description.empty()) {
        if (plainDescription) writer.TextElement("DESCRIPTION", description);
        else PutDescription(writer, "DESCRIPTION", description);
    }
    for (const std::string& option : model.Options()) writer.TextElement("OPTION", option);
    WriteSettings(model.Settings, writer);
    const TMivoAttribute& top = *model.Root();
    for (int i = 0; i < top.InpCount(); ++i) WriteAttribute(*top.Inputs(i), writer);
    writer.Close();
}

// One child of an "ATTRIBUTE" other than an input and a function: a
// "SCALE" (a later one replaces an earlier one) or an "OPTION" value.
void ReadAttributeChild(const TXmlItem& child, TMivoAttribute& attribute, TModelReading reading) {
    if (child.Name == "SCALE") ReadScale(child, attribute, reading);
    else if (child.Name == "OPTION") attribute.AppendOptValue(TextToCodes(attribute, child.Text));
}

// One child of the root other than a top attribute.
void ReadModelChild(const TXmlItem& child, TMivoModel& model, TModelReading reading) {
    const std::string& name = child.Name;
    if (name == "SETTINGS") ReadSettings(child, model.Settings, reading);
    else if (name == "OPTION") model.AddOption(child.Text);
    else if (name == "NAME") model.SetName(child.Text);
    else if (name == "DESCRIPTION") model.SetDescription(ReadDescription(child));
    else if (name == "LINKING") model.Settings.Linking = StrToBool(child.Text);
    else if (name == "EVALCOL") model.Settings.EvalCol = StrToInt(child.Text);
}

// After the last child of the root.
void FinishReading(TMivoModel& model) {
    // No attribute keeps values for options the model does not have.
    const int options = model.OptionCount();
    model.ForEachAttribute([options](TMivoAttribute* attribute) { attribute->TruncateValues(options); });
    model.Changed();
    model.Modified = false;
}

// Reads an "ATTRIBUTE" that the reader has just entered, child by child, as
// an input of `parent`: an input is read the same way, an "OPTION" goes
// straight into the value list, every other child is read as an element
// tree of its own. The attribute is made at its first child other than a
// name, a description or a function (whose rules are read last, once the
// inputs' scales are known); a "NAME" or "DESCRIPTION" that comes later
// still gives the attribute its name or description when it is the first.
void StreamAttribute(TXmlReader& reader, TMivoAttribute& parent, TModelReading reading) {
    TMivoAttribute* attribute = nullptr;
    std::string name, description;
    bool named = false, described = false;
    const auto made = [&]() -> TMivoAttribute& {
        if (!attribute) attribute = parent.AddInput(std::make_unique<TMivoAttribute>(name, description));
        return *attribute;
    };
    std::vector<TXmlItem> functions;
    TXmlItem child;
    while (reader.NextChild(child)) {
        const std::string_view tag = child.Name;
        if (tag == "ATTRIBUTE") {
            reader.Enter();
            StreamAttribute(reader, made(), reading);
            continue;
        }
        reader.ReadRest(child);
        // Option values first: a large model holds little else.
        if (tag == "OPTION") {
            made().AppendOptValue(TextToCodes(*attribute, child.Text));
        } else if (child.Name == "NAME" && !named) {
            named = true;
            if (attribute) attribute->SetName(child.Text);
            else name = child.Text;
        } else if (child.Name == "DESCRIPTION" && !described) {
            described = true;
            if (attribute) attribute->SetDescription(child.Text);
            else description = child.Text;
        } else if (child.Name == "FUNCTION") {
            functions.push_back(std::move(child));
        } else if (child.Name == "SCALE") {
            ReadAttributeChild(child, made(), reading);
        }
    }
    TMivoAttribute& done = made();
    for (const TXmlItem& function : functions) ReadFunction(function, done, reading);
}

// Reads a "Mivo" document element by element (see StreamAttribute), so that
// a large model never stands in memory as an element tree. The root is
// checked before anything of the model changes.
void StreamModel(TXmlReader& reader, const std::string& source, TMivoModel& model, TModelReading reading) {
    TXmlItem root;
    reader.Root(root);
    CheckRoot(root, source);
    reader.Enter();
    model.ResetRoot();
    TXmlItem child;
    while (reader.NextChild(child)) {
        if (child.Name == "ATTRIBUTE") {
            reader.Enter();
            StreamAttribute(reader, *model.Root(), reading);
        } else {
            reader.ReadRest(child);
            ReadModelChild(child, model, reading);
        }
    }
    FinishReading(model);
}

}  // namespace

// --- writing -------------------------------------------------------------------

void WriteDescription(const std::string& name, const std::string& description, TXmlItem& parent) {
    if (description.find(kCrLf) == std::string::npos) {
        parent.AddTextChild(name, description);
        return;
    }
    // Every piece between the line breaks, empty ones at either end too, so
    // that the lines read back exactly.
    TXmlItem& element = parent.NewChild(name);
    std::string_view rest = description;
    for (std::size_t end = rest.find(kCrLf); end != std::string_view::npos; end = rest.find(kCrLf)) {
        element.AddTextChild("LINE", std::string(rest.substr(0, end)));
        rest.remove_prefix(end + kCrLf.size());
    }
    element.AddTextChild("LINE", std::string(rest));
}

void WriteScale(const TMivoScale& scale, TXmlWriter& writer) {
    writer.Open("SCALE");
    if (scale.Order == soUnordered) writer.TextElement("ORDER", "NONE");
    else if (scale.Order == soDescending) writer.TextElement("ORDER", "DESC");
    if (!scale.Interval) writer.TextElement("INTERVAL", "False");
    if (const auto* discrete = dynamic_cast<const TMivoDiscreteScale*>(&scale)) {
        for (int i = 0; i < discrete->Count(); ++i) {
            writer.Open("SCALEVALUE");
            if (!discrete->ValueName(i).empty()) writer.TextElement("NAME", discrete->ValueName(i));
            if (!discrete->ValueDescription(i).empty())
                writer.TextElement("DESCRIPTION", discrete->ValueDescription(i));
            if (scale.IsBad(i)) writer.TextElement("GROUP", "BAD");
            else if (scale.IsGood(i)) writer.TextElement("GROUP", "GOOD");
            writer.Close();
        }
    }
    writer.Close();
}

void WriteFunction(const TMivoFunction& function, TXmlWriter& writer) {
    writer.Open("FUNCTION");
    if (!function.GetDescription().empty()) PutDescription(writer, "DESCRIPTION", function.GetDescription());
    std::string low, high, entered;
    const int count = function.RuleCount();
    low.reserve(static_cast<std::size_t>(count));
    high.reserve(static_cast<std::size_t>(count));
    entered.reserve(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) {
        const std::string& rule = function.Rules().Get(r);
        MIVO_ASSERT(rule.size() >= 3, "Rule string too short");
        low += rule[rule.size() - 3];
        high += rule[rule.size() - 2];
        entered += rule[rule.size() - 1];
    }
    writer.TextElement("LOW", CodesToText(low));
    if (high != low) writer.TextElement("HIGH", CodesToText(high));
    if (std::count(entered.begin(), entered.end(), '+') < count) writer.TextElement("ENTERED", entered);
    if (function.UseWeights) writer.TextElement("WEIGHTS", FloatArrayToStr(function.RequiredWeights));
    if (!function.Consist) writer.TextElement("CONSIST", "False");
    if (function.Rounding != 0) writer.TextElement("ROUNDING", std::to_string(function.Rounding));
    writer.Close();
}

void WriteSettings(const TMivoSettings& s, TXmlWriter& e) {
    e.Open("SETTINGS");
    const TMivoSettings d;  // the defaults
    if (s.Linking) e.TextElement("LINKING", "True");
    if (!s.Undoing) e.TextElement("UNDOING", "False");
    if (!s.ReportParts.all()) e.TextElement("REPORTS", SetToStr(s.ReportParts));
    if (!s.WeightShow.all()) e.TextElement("WEIGHTS", SetToStr(s.WeightShow));
    if (s.PageBreak) e.TextElement("PAGEBREAK", "True");
    if (s.BadColor != d.BadColor) e.TextElement("BADCOLOR", ColorToStr(s.BadColor));
    if (s.GoodColor != d.GoodColor) e.TextElement("GOODCOLOR", ColorToStr(s.GoodColor));
    if (s.BadFontStyle != d.BadFontStyle) e.TextElement("BADFONTSTYLE", FontStyleToStr(s.BadFontStyle));
    if (s.GoodFontStyle != d.GoodFontStyle) e.TextElement("GOODFONTSTYLE", FontStyleToStr(s.GoodFontStyle));
    if (s.WeightDec != 0) e.TextElement("WEIGHTDEC", std::to_string(s.WeightDec));
    if (s.EvalColumns() != 5) e.TextElement("EVALCOL", std::to_string(s.EvalColumns()));
    if (s.EvalTrim != 0) e.TextElement("EVALTRIM", std::to_string(s.EvalTrim));
    if (!s.ShowWeights) e.TextElement("SHOWWEIGHTS", "False");
    if (!s.ShowNum) e.TextElement("SHOWNUM", "False");
    if (!s.ComplexRules) e.TextElement("COMPLEX", "False");
    if (s.EnteredOnly) e.TextElement("ENTERED", "True");
    if (s.FontSize != 10) e.TextElement("FONTSIZE", std::to_string(s.FontSize));
    if (s.FontName != "Arial") e.TextElement("FONTNAME", s.FontName);
    if (s.OptDataType != 1) e.TextElement("OPTDATATYPE", DataTypeToStr(s.OptDataType));
    if (!s.OptDataAll) e.TextElement("OPTDATAALL", "False");
    if (s.OptTranspose) e.TextElement("OPTTRANSPOSE", "True");
    if (!s.OptLevels) e.TextElement("OPTLEVELS", "False");
    if (s.FncDataType != 1) e.TextElement("FNCDATATYPE", DataTypeToStr(s.FncDataType));
    if (!s.FncDataAll) e.TextElement("FNCDATAALL", "False");
    if (s.FncFormatType != 1) e.TextElement("FNCFORMATTYPE", s.FncFormatType == 0 ? "Tab" : "Sgn");
    e.Close();
}

void WriteAttribute(const TMivoAttribute& attribute, TXmlWriter& writer) {
    writer.Open("ATTRIBUTE");
    if (!attribute.GetName().empty()) writer.TextElement("NAME", attribute.GetName());
    if (!attribute.GetDescription().empty()) writer.TextElement("DESCRIPTION", attribute.GetDescription());
    if (attribute.Scale()) WriteScale(*attribute.Scale(), writer);
    if (attribute.Funct()) WriteFunction(*attribute.Funct(), writer);
    for (std::string_view value : attribute.Values()) writer.TextElement("OPTION", CodesToText(value));
    for (int i = 0; i < attribute.InpCount(); ++i) WriteAttribute(*attribute.Inputs(i), writer);
    writer.Close();
}

void SaveToFile(TMivoModel& model, const std::string& file_name) {
    BeginWriting();
    std::string text;
    TXmlWriter writer(text, kCrLf);
    WriteModel(model, false, writer);
    WriteFileAtomic(file_name, text);
    model.Modified = false;
}

void SaveToStrings(TMivoModel& model, std::vector<std::string>& lines) {
    BeginWriting();
    lines.clear();
    TXmlWriter writer(lines);
    WriteModel(model, true, writer);
    model.Modified = false;
}

std::string SaveToText(TMivoModel& model, std::size_t expected_size) {
    BeginWriting();
    std::string text;
    TXmlWriter writer(text, "\n");
    writer.Reserve(expected_size);
    WriteModel(model, true, writer);
    model.Modified = false;
    return text;
}

void SaveToSink(TMivoModel& model, const TTextSink& sink) {
    BeginWriting();
    TXmlWriter writer(sink, "\n");
    WriteModel(model, true, writer);
    writer.Flush();
    model.Modified = false;
}

void WriteSubtree(const TMivoModel& model, const TMivoAttribute* attribute, std::vector<std::string>& lines) {
    BeginWriting();
    lines.clear();
    TXmlWriter writer(lines);
    WriteSubtreeDocument(model, attribute, writer);
}

// --- reading -------------------------------------------------------------------

std::string ReadDescription(const TXmlItem& element) {
    if (element.IsLeaf()) return element.Text;
    std::string text;
    bool first = true;
    for (const auto& child : element.Children()) {
        if (child->Name != "LINE") continue;
        if (!first) text += kCrLf;
        text += child->Text;
        first = false;
    }
    return text;
}

void ReadScale(const TXmlItem& element, TMivoAttribute& attribute, TModelReading reading) {
    const bool full = reading == TModelReading::Full;
    auto scale = std::make_unique<TMivoDiscreteScale>();
    int values = 0;
    for (const auto& child : element.Children()) {
        if (child->Name == "ORDER") {
            scale->Order = child->Text == "NONE" ? soUnordered : child->Text == "DESC" ? soDescending : soAscending;
        } else if (child->Name == "INTERVAL" && full) {
            scale->Interval = StrToBool(child->Text);
        } else if (child->Name == "SCALEVALUE") {
            if (++values > MaxScaleValues)
                throw EMivoError(Format(STooManyScaleValues, attribute.GetName(), MaxScaleValues));
            scale->AddValue(child->ChildText("NAME"), child->ChildText("DESCRIPTION"));
        }
    }
    // The bounds come from the groups alone, whatever the order.
    scale->BGLow = MinBound;
    scale->BGHigh = MaxBound;
    int i = 0;
    for (const auto& child : element.Children()) {
        if (child->Name != "SCALEVALUE") continue;
        const std::string group = child->ChildText("GROUP");
        if (group == "BAD" && !scale->IsBad(i)) scale->SetBadBound(i);
        else if (group == "GOOD" && !scale->IsGood(i)) scale->SetGoodBound(i);
        ++i;
    }
    attribute.SetScale(std::move(scale));
}

void ReadFunction(const TXmlItem& element, TMivoAttribute& attribute, TModelReading reading) {
    const bool full = reading == TModelReading::Full;
    TMivoFunction* function = attribute.CreateFunction();
    if (!function) return;  // the attribute cannot have a table: the element is ignored
    std::string low, high, entered;
    for (const auto& child : element.Children()) {
        const std::string& name = child->Name;
        if (name == "LOW") low = TextToCodes(attribute, child->Text);
        else if (name == "HIGH") high = TextToCodes(attribute, child->Text);
        else if (name == "ENTERED") entered = child->Text;
        else if (name == "CONSIST") function->Consist = StrToBool(child->Text);
        else if (name == "ROUNDING" && full) function->Rounding = StrToInt(child->Text);
        else if (name == "WEIGHTS") {
            function->UseWeights = true;
            function->RequiredWeights = StrToFloatArray(child->Text);
        } else if (name == "DESCRIPTION" && full) {
            function->SetDescription(ReadDescription(*child));
        }
    }
    if (high.empty()) high = low;
    const int size = attribute.ScaleSize();
    const int count = std::min(static_cast<int>(std::min<std::size_t>(low.size(), 0x7FFFFFFF)), function->RuleCount());
    for (int r = 0; r < count; ++r) {
        const std::size_t i = static_cast<std::size_t>(r);
        const char lo = low[i];
        const char hi = i < high.size() ? high[i] : low[i];
        const char flag = i < entered.size() ? entered[i] : '+';
        CheckRule(attribute, r, lo, hi, flag, size);
        function->SetRuleLow(r, CharValue(lo));
        function->SetRuleHigh(r, CharValue(hi));
        function->SetRuleEntered(r, flag == '+');
    }
}

std::unique_ptr<TMivoAttribute> ReadAttribute(const TXmlItem& element, TMivoAttribute* parent,
                                              TModelReading reading) {
    auto owned = std::make_unique<TMivoAttribute>(element.ChildText("NAME"), element.ChildText("DESCRIPTION"));
    TMivoAttribute* attribute = owned.get();
    if (parent) parent->AddInput(std::move(owned));
    for (const auto& child : element.Children()) {
        if (child->Name == "ATTRIBUTE") ReadAttribute(*child, attribute, reading);
        else ReadAttributeChild(*child, *attribute, reading);
    }
    // Functions last: their rules are built from the inputs' scales.
    for (const auto& child : element.Children())
        if (child->Name == "FUNCTION") ReadFunction(*child, *attribute, reading);
    return owned;
}

void ReadSettings(const TXmlItem& element, TMivoSettings& s, TModelReading reading) {
    const bool full = reading == TModelReading::Full;
    for (const auto& child : element.Children()) {
        const std::string& key = child->Name;
        if (!full && (key == "UNDOING" || key == "BADFONTSTYLE" || key == "GOODFONTSTYLE")) continue;
        const std::string& text = child->Text;
        if (key == "LINKING") s.Linking = StrToBool(text);
        else if (key == "UNDOING") s.Undoing = StrToBool(text);
        else if (key == "REPORTS") s.ReportParts = StrToSet(text);
        else if (key == "WEIGHTS") s.WeightShow = StrToSet(text);
        else if (key == "PAGEBREAK") s.PageBreak = StrToBool(text);
        else if (key == "BADCOLOR") s.BadColor = StrToColor(text);
        else if (key == "GOODCOLOR") s.GoodColor = StrToColor(text);
        else if (key == "BADFONTSTYLE") s.BadFontStyle = StrToFontStyle(text);
        else if (key == "GOODFONTSTYLE") s.GoodFontStyle = StrToFontStyle(text);
        else if (key == "WEIGHTDEC") s.WeightDec = StrToInt(text);
        else if (key == "EVALCOL") s.EvalCol = StrToInt(text);
        else if (key == "EVALTRIM") s.EvalTrim = StrToInt(text);
        else if (key == "SHOWWEIGHTS") s.ShowWeights = StrToBool(text);
        else if (key == "SHOWNUM") s.ShowNum = StrToBool(text);
        else if (key == "COMPLEX") s.ComplexRules = StrToBool(text);
        else if (key == "ENTERED") s.EnteredOnly = StrToBool(text);
        else if (key == "FONTSIZE") s.FontSize = StrToInt(text);
        else if (key == "FONTNAME") s.FontName = text;
        else if (key == "OPTDATATYPE") s.OptDataType = StrToDataType(text);
        else if (key == "OPTDATAALL") s.OptDataAll = StrToBool(text);
        else if (key == "OPTTRANSPOSE") s.OptTranspose = StrToBool(text);
        else if (key == "OPTLEVELS") s.OptLevels = StrToBool(text);
        else if (key == "FNCDATATYPE") s.FncDataType = StrToDataType(text);
        else if (key == "FNCDATAALL") s.FncDataAll = StrToBool(text);
        else if (key == "FNCFORMATTYPE") s.FncFormatType = text == "Tab" ? 0 : text == "Col" ? 1 : 2;
    }
}

void ReadModel(TMivoModel& model, const TXmlItem& root, TModelReading reading) {
    model.ResetRoot();
    for (const auto& child : root.Children()) {
        if (child->Name == "ATTRIBUTE") ReadAttribute(*child, model.Root(), reading);
        else ReadModelChild(*child, model, reading);
    }
    FinishReading(model);
}

void LoadFromFile(TMivoModel& model, const std::string& file_name, TModelReading reading) {
    TUtf8Header header;
    const std::string text = ReadFile(file_name);
    TXmlReader reader(text);
    StreamModel(reader, file_name, model, reading);
}

void LoadFromStrings(TMivoModel& model, const std::vector<std::string>& lines) {
    TUtf8Header header;
    TXmlReader reader(lines);
    StreamModel(reader, "SavedList", model, TModelReading::Full);
}

void LoadFromText(TMivoModel& model, std::string_view text) {
    TUtf8Header header;
    TXmlReader reader(text);
    StreamModel(reader, "SavedList", model, TModelReading::Full);
}

void LoadFromSource(TMivoModel& model, const TTextSource& source) {
    TUtf8Header header;
    TXmlReader reader(source);
    StreamModel(reader, "SavedList", model, TModelReading::Full);
}

std::unique_ptr<TMivoAttribute> ReadSubtree(const std::vector<std::string>& lines) {
    TUtf8Header header;
    TXmlItem root;
    root.LoadFromStrings(lines);
    return ReadSubtreeRoot(root);
}

std::unique_ptr<TMivoAttribute> DuplicateSubtree(const TMivoModel& model, const TMivoAttribute* attribute) {
    // Always through UTF-8 text, where every value code round-trips.
    TUtf8Header header;
    std::string text;
    {
        BeginWriting();
        TXmlWriter writer(text, "\n");
        WriteSubtreeDocument(model, attribute, writer);
    }
    TXmlItem root;
    root.LoadFromText(text);
    return ReadSubtreeRoot(root);
}

}  // namespace mivo
