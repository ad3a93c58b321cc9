#include "model/WoxImport.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <unordered_map>

#include "model/MivoModel.h"
#include "model/MivoStr.h"
#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "model/ScaleClasses.h"
#include "model/TextLines.h"
#include "model/TreeEdit.h"
#include "model/Utils.h"
#include "model/Wox.h"

namespace mivo {

namespace {

// ---------------------------------------------------------------------------

class TWoxImport {
public:
    TWoxImport(TMivoModel& model, const std::vector<std::string>& lines, const std::string& file_name)
        : model_(model), parser_(lines), file_name_(file_name) {}

    std::string Run();

private:
    void ReadWoxHeader();
    void ReadWoxAttributes();
    void ReadWoxScale(TMivoAttribute& attribute);
    void ReadWoxFunctions();
    void ReadWoxFunction();
    void ReadWoxOptions();
    void ReadWoxValue(int option);
    void CheckEnd();

    // The attribute of a number from an FNC or VAL record; nullptr for a
    // number in range that no attribute took. Outside 0..largest number:
    // an error naming the line.
    TMivoAttribute* NumberedAttribute(int number) const;

    std::string Around() const { return Format(SWoxErrorAround, parser_.RecordLine()); }
    [[noreturn]] void Fail(const std::string& message) const { throw EMivoError(Around() + message); }

    TMivoModel& model_;
    TWoxParser parser_;
    std::string file_name_;

    // Attribute numbers of the file. Entry 0 always exists (the export
    // writes " VAL * G1 I0" after every option); numbers are kept sparse so
    // that a huge number costs nothing.
    std::map<int, TMivoAttribute*> numbers_;
    int max_number_ = 0;

    std::string warnings_;
    bool warned_dropped_ = false;
};

std::string TWoxImport::Run() {
    model_.NeedsEvaluation = true;
    try {
        ReadWoxHeader();
        ReadWoxAttributes();
        ReadWoxFunctions();
        ReadWoxOptions();
        CheckEnd();
    } catch (const EConvertError& e) {
        throw EConvertError(Around() + e.Message());
    }
    model_.Relink();
    return warnings_;
}

void TWoxImport::ReadWoxHeader() {
    auto unsupported = [&] { return EMivoError(Format(MivoStr::SUnsupportedFileFormat, file_name_)); };
    if (!parser_.NextRecord() || parser_.Section() != "Zut") throw unsupported();
    if (!parser_.NextRecord() || parser_.Section() != "DKB") throw unsupported();
    model_.SetName(parser_.ItemText(0));
    if (parser_.ItemCode(1) == 'D') model_.SetDescription(parser_.ItemText(1));
    parser_.NextRecord();
}

void TWoxImport::ReadWoxAttributes() {
    // The path from the root down to the previous attribute: chain[L] is
    // the attribute at level L.
    std::vector<TMivoAttribute*> chain{model_.Root()};
    while (parser_.Section() == "ATT") {
        std::string name;
        std::string description;
        int level = static_cast<int>(chain.size()) - 1;
        int number = 0;
        for (int i = 0; i < parser_.ItemCount(); ++i) {
            switch (parser_.ItemCode(i)) {
                case ' ': name = parser_.ItemText(i); break;
                case 'D': description = parser_.ItemText(i); break;
                case 'I': number = parser_.ItemInt(i); break;
                case 'L': level = parser_.ItemInt(i); break;
                default: break;
            }
        }
        if (number < 0) Fail(Format(SWoxBadAttributeNumber, number));

        // The parent is the deepest attribute on the path whose level is
        // below the record's; the root when the level is 1 or less.
        int previous_level = static_cast<int>(chain.size()) - 1;
        int parent_level = std::clamp(level - 1, 0, previous_level);
        if (parent_level + 1 > MaxAttributeLevel) Fail(Format(STreeTooDeep, parent_level + 1, MaxAttributeLevel));
        chain.resize(static_cast<std::size_t>(parent_level) + 1);
        TMivoAttribute* attribute = chain.back()->AddInput(std::make_unique<TMivoAttribute>(name, description));
        chain.push_back(attribute);

        numbers_[number] = attribute;
        max_number_ = std::max(max_number_, number);

        parser_.NextRecord();
        if (parser_.Section() == "DOM") {
            ReadWoxScale(*attribute);
            parser_.NextRecord();
        }
    }
}

void TWoxImport::ReadWoxScale(TMivoAttribute& attribute) {
    auto owned = std::make_unique<TMivoDiscreteScale>();
    TMivoDiscreteScale& scale = *owned;
    attribute.SetScale(std::move(owned));

    if (parser_.ItemCode(0) == 'D') {
        std::string order = parser_.ItemText(0);
        if (order == "+") scale.Order = soAscending;
        else if (order == "-") scale.Order = soDescending;
        else if (order == "~") scale.Order = soUnordered;
    }

    TClassMarks marks;
    for (int i = 0; i < parser_.ItemCount(); ++i) {
        char code = parser_.ItemCode(i);
        if (code == 'B' || code == 'G' || code == 'N') {
            if (scale.Count() >= MaxScaleValues)
                Fail(Format(SWoxTooManyValues, attribute.GetName(), MaxScaleValues));
            scale.AddValue(parser_.ItemText(i));
            int index = scale.Count() - 1;
            if (code == 'B') marks.MarkBad(index);
            if (code == 'G') marks.MarkGood(index);
        } else if (code == 'D' && i > 0 && scale.Count() > 0) {
            scale.SetValueDescription(scale.Count() - 1, parser_.ItemText(i));
        }
    }
    marks.Apply(scale);
}

void TWoxImport::ReadWoxFunctions() {
    int groups = 0;
    while (parser_.Section() == "GRP") {
        parser_.NextRecord();
        ++groups;
        if (groups > 1) {
            if (groups == 2) warnings_ += MivoStr::SWoxManyGroups;
            while (parser_.Section() == "FNC") parser_.NextRecord();
            continue;
        }
        while (parser_.Section() == "FNC") {
            ReadWoxFunction();
            parser_.NextRecord();
        }
    }
}

void TWoxImport::ReadWoxFunction() {
    // The first 'I' item names the attribute, wherever it stands among the
    // rules; further ones are ignored.
    int named = -1;
    for (int i = 0; i < parser_.ItemCount() && named < 0; ++i)
        if (parser_.ItemCode(i) == 'I') named = i;
    TMivoAttribute* attribute = named >= 0 ? NumberedAttribute(parser_.ItemInt(named)) : nullptr;
    if (!attribute) {
        warnings_ += Format(SWoxFunctionWithoutAttribute, parser_.RecordLine());
        return;
    }
    if (!attribute->CanHaveFunction()) {
        warnings_ += Format(SWoxFunctionNotPossible, parser_.RecordLine(), attribute->GetName());
        return;
    }

    auto function = std::make_unique<TMivoFunction>();
    try {
        function->Init(attribute);
    } catch (const EMivoError& e) {
        Fail(e.Message());
    }

    // The file lists the rules with the first input varying fastest.
    const std::vector<int> order = function->WoxRuleOrder();
    int size = attribute->ScaleSize();

    int rule = 0;
    for (int i = 0; i < parser_.ItemCount(); ++i) {
        char code = parser_.ItemCode(i);
        if (code != 'R' && code != 'r') continue;
        if (rule >= function->RuleCount())
            Fail(Format(SWoxTooManyRules, attribute->GetName(), function->RuleCount()));
        std::string text = parser_.ItemText(i);
        std::size_t colon = text.find(':');
        int low = StrToInt(colon == std::string::npos ? text : text.substr(0, colon));
        int high = colon == std::string::npos ? low : StrToInt(text.substr(colon + 1));
        if (low < 1 || high > size || low > high)
            Fail(Format(SWoxBadRule, rule + 1, attribute->GetName(), text, size));
        int index = order[static_cast<std::size_t>(rule)];
        function->SetRuleLow(index, low - 1);
        function->SetRuleHigh(index, high - 1);
        function->SetRuleEntered(index, code == 'R');
        ++rule;
    }
    // A later record for the same attribute replaces the earlier table.
    attribute->SetFunct(std::move(function));
}

void TWoxImport::ReadWoxOptions() {
    while (parser_.Section() == "OPT") {
        model_.AddOption(parser_.ItemCount() > 0 ? parser_.ItemText(0) : std::string());
        int option = model_.OptionCount() - 1;
        parser_.NextRecord();
        while (parser_.Section() == "VAL") {
            ReadWoxValue(option);
            parser_.NextRecord();
        }
    }
}

void TWoxImport::ReadWoxValue(int option) {
    int group = 0;
    TMivoAttribute* attribute = nullptr;
    bool any = false;
    std::vector<int> members;
    for (int i = 0; i < parser_.ItemCount(); ++i) {
        switch (parser_.ItemCode(i)) {
            case 'G': group = parser_.ItemInt(i); break;
            case 'I': attribute = NumberedAttribute(parser_.ItemInt(i)); break;
            case '*': any = true; break;
            case 'V': members.push_back(parser_.ItemInt(i)); break;
            default: break;
        }
    }
    if (group != 1 || !attribute || (!any && members.empty())) return;

    std::string value;
    if (any) {
        value = "*";
    } else {
        int size = attribute->ScaleSize();
        TValueSet set;
        bool dropped = false;
        for (int v : members) {
            if (v >= 1 && v <= size) set.set(static_cast<std::size_t>(v - 1));
            else dropped = true;
        }
        if (dropped && !warned_dropped_) {
            warned_dropped_ = true;
            warnings_ += Format(SWoxValuesDropped, parser_.RecordLine());
        }
        for (int v = 0; v < size; ++v)
            if (set.test(static_cast<std::size_t>(v))) value += ValueChar(v);
        if (value.empty()) return;
    }

    // A set of several values is kept as read, like a single value.
    attribute->SetOptValue(option, value);
}

void TWoxImport::CheckEnd() {
    // The file ends, or goes on with the report section that nothing uses.
    const std::string& section = parser_.Section();
    if (section == "EOF" || section == "RPT") return;
    warnings_ += Format(SWoxStoppedEarly, section, parser_.RecordLine());
}

TMivoAttribute* TWoxImport::NumberedAttribute(int number) const {
    if (number < 0 || number > max_number_) Fail(Format(SWoxBadAttributeNumber, number));
    auto it = numbers_.find(number);
    return it == numbers_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------

// Control characters (line breaks among them) become blanks, so a text
// stays on its line.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return text;
}

std::string Fixed6(double value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0.000000");
}

char OrderChar(const TMivoScale& scale) {
    if (!scale.IsOrdered()) return '~';
    return scale.IsDescending() ? '-' : '+';
}

void WriteWoxModel(const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes,
                   std::vector<std::string>& lines) {
    TMivoStatistics statistics = model.Statistics();
    int max_inputs = 0;
    int max_values = 0;
    for (const TMivoAttribute* a : attributes) {
        max_inputs = std::max(max_inputs, a->InpCount());
        if (a->Scale()) max_values = std::max(max_values, a->ScaleSize());
    }
    std::string first = model.FirstAttributeName();
    std::string name = model.GetName().empty() ? first : model.GetName();
    std::string description = model.GetDescription().empty() ? first : model.GetDescription();
    lines.push_back(" DKB " + OneLine(name));
    lines.push_back("D" + OneLine(description));
    lines.push_back(Format("T%d t%d A%d a%d b%d v%d G1 O%d o%d", model.Root()->InpCount(), max_inputs,
                           statistics.Attributes, statistics.Aggregate, statistics.Basic + statistics.Linked,
                           max_values, statistics.Options, statistics.Attributes + 1));
    lines.push_back("PP- UDU MC* ME* MD*");
    lines.push_back("=4000");
}

void WriteWoxScale(const TMivoDiscreteScale& scale, std::vector<std::string>& lines) {
    lines.push_back(std::string(" DOM D") + OrderChar(scale));
    for (int i = 0; i < scale.Count(); ++i) {
        char mark = scale.IsBad(i) ? 'B' : scale.IsGood(i) ? 'G' : 'N';
        lines.push_back(mark + OneLine(scale.ValueName(i)));
        std::string description = scale.ValueDescription(i);
        if (!description.empty()) lines.push_back("D" + OneLine(description));
    }
}

void WriteWoxAttributes(const std::vector<TMivoAttribute*>& attributes, std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const TMivoAttribute& a = *attributes[i];
        lines.push_back(" ATT " + OneLine(a.GetName()));
        if (!a.GetDescription().empty()) lines.push_back("D" + OneLine(a.GetDescription()));
        lines.push_back(Format("L%d I%d", a.Level(), static_cast<int>(i + 1)));
        if (const auto* scale = dynamic_cast<const TMivoDiscreteScale*>(a.Scale())) WriteWoxScale(*scale, lines);
    }
}

void WriteWoxFunctions(const std::vector<TMivoAttribute*>& attributes, std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const TMivoFunction* function = attributes[i]->Funct();
        if (!function) continue;
        lines.push_back(Format(" FNC DI I%d", static_cast<int>(i + 1)));
        lines.push_back(Format("S%d d", function->RuleCount()) + Fixed6(function->Determinedness()) +
                        " MC* ME* MD*");
        std::string line;
        const std::vector<int> order = function->WoxRuleOrder();
        for (std::size_t j = 0; j < order.size(); ++j) {
            if (j > 0) {
                if (j % 12 == 0) lines.push_back(std::exchange(line, std::string()));
                else line += ' ';
            }
            int r = order[j];
            int low = function->RuleLow(r);
            int high = function->RuleHigh(r);
            line += function->RuleEntered(r) ? 'R' : 'r';
            line += std::to_string(low + 1);
            if (high != low) line += ":" + std::to_string(high + 1);
        }
        lines.push_back(line);
    }
}

void WriteWoxOptions(const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes,
                     std::vector<std::string>& lines) {
    for (int k = 0; k < model.OptionCount(); ++k) {
        lines.push_back(" OPT " + OneLine(model.OptionName(k)));
        lines.push_back(" VAL * G1 I0");
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            const TMivoAttribute& a = *attributes[i];
            std::string mark = model.NeedsEvaluation && a.IsAggregate() ? " E" : "";
            int number = static_cast<int>(i + 1);
            std::string members;
            std::string value = a.GetOptValue(k);
            if (value != "*") {
                for (char c : value) {
                    int v = CharValue(c);
                    if (v < 0) continue;  // not a value code
                    if (!members.empty()) members += ' ';
                    members += "V" + std::to_string(v + 1);
                }
            }
            if (members.empty()) {
                lines.push_back(" VAL" + mark + Format(" * G1 I%d", number));
            } else {
                lines.push_back(" VAL" + mark + Format(" G1 I%d", number));
                lines.push_back(members);
            }
        }
    }
}

}  // namespace

std::string ReadWox(TMivoModel& model, const std::vector<std::string>& lines, const std::string& file_name) {
    TWoxImport import(model, lines, file_name);
    return import.Run();
}

std::string ImportWox(TMivoModel& model, const std::string& file_name) {
    std::string text = ReadFile(file_name);
    std::vector<std::string> lines = SplitLines(text, TEmptyLines::Keep);
    return ReadWox(model, lines, file_name);
}

std::vector<std::string> WoxLines(const TMivoModel& model) {
    std::vector<TMivoAttribute*> attributes = model.Attributes();
    std::vector<std::string> lines{" Zut I1.5"};
    WriteWoxModel(model, attributes, lines);
    WriteWoxAttributes(attributes, lines);
    lines.push_back(" GRP");
    WriteWoxFunctions(attributes, lines);
    WriteWoxOptions(model, attributes, lines);
    return lines;
}

void ExportWox(const TMivoModel& model, const std::string& file_name) {
    std::vector<std::string> lines = WoxLines(model);
    TSafeFileWriter out(file_name);
    for (const std::string& line : lines) {
        out.Write(line);
        out.Write("\r\n");
    }
    out.Commit();
}

}  // namespace mivo
