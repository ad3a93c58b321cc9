// Rule text: writing one decision table as tab-separated lines and reading
// such lines back.
#include "model/RuleText.h"

#include <charconv>
#include <string_view>

#include "model/Clipboard.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoScale.h"
#include "model/MivoSettings.h"
#include "model/SafeFile.h"
#include "model/TextLines.h"
#include "model/Utils.h"

namespace mivo {

namespace {

// How a value is written (FncDataType).
enum class TDataType { Zero, One, Text };
// How a result interval is written (FncFormatType).
enum class TFormatType { Tab, Col, Sgn };

TDataType DataTypeOf(const TMivoSettings& settings) {
    switch (settings.FncDataType) {
        case 0: return TDataType::Zero;
        case 2: return TDataType::Text;
        default: return TDataType::One;
    }
}

TFormatType FormatTypeOf(const TMivoSettings& settings) {
    switch (settings.FncFormatType) {
        case 0: return TFormatType::Tab;
        case 2: return TFormatType::Sgn;
        default: return TFormatType::Col;
    }
}

constexpr char Tab = '\t';
constexpr std::string_view EnteredCell = "+";
constexpr std::string_view NotEnteredCell = "-";

// What a text cell can be read against: the values of one scale.
struct TScaleView {
    const TMivoScale* Scale = nullptr;

    int Size() const { return Scale ? Scale->Count() : 0; }
    const TMivoDiscreteScale* Discrete() const { return dynamic_cast<const TMivoDiscreteScale*>(Scale); }

    // Index of the value with exactly this name, -1 when none has it.
    int IndexOfName(std::string_view text) const {
        const TMivoDiscreteScale* discrete = Discrete();
        if (!discrete) return -1;
        for (int i = 0; i < discrete->Count(); ++i)
            if (discrete->ValueName(i) == text) return i;
        return -1;
    }
};

TScaleView OwnScale(const TMivoFunction& funct) { return {funct.Attribute()->Scale()}; }
TScaleView InputScale(const TMivoFunction& funct, int k) { return {funct.Attribute()->Inputs(k)->Scale()}; }

// Whether the text, blanks around it allowed, is a decimal integer with an
// optional sign, whatever its size.
bool IsInteger(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// A decimal integer with an optional sign that fits an int, blanks around
// it allowed.
bool ParseInt(std::string_view text, int& value) {
    if (!IsInteger(text)) return false;
    const std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    if (digits.front() == '+') digits.remove_prefix(1);
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    return error == std::errc() && stop == end;
}

// --- writing ---------------------------------------------------------------------

// A value written by the data type: its index, its index plus 1, or its name
// (the index when the scale has no names).
std::string ValueText(const TScaleView& scale, int index, TDataType type) {
    switch (type) {
        case TDataType::Zero: return std::to_string(index);
        case TDataType::One: return std::to_string(index + 1);
        case TDataType::Text: break;
    }
    const TMivoDiscreteScale* discrete = scale.Discrete();
    if (discrete && index >= 0 && index < discrete->Count()) return discrete->ValueName(index);
    return std::to_string(index);
}

// The result interval low..high written by the format type.
std::string RuleToText(const TScaleView& scale, int low, int high, TDataType data, TFormatType format) {
    const std::string from = ValueText(scale, low, data);
    const std::string to = ValueText(scale, high, data);
    switch (format) {
        case TFormatType::Tab: return from + Tab + to;
        case TFormatType::Col: return low == high ? from : from + ':' + to;
        case TFormatType::Sgn: break;
    }
    const int last = scale.Size() - 1;
    if (low == 0 && high == last) return "*";
    if (low == high) return from;
    if (low == 0) return "<=" + to;
    if (high == last) return ">=" + from;
    return from + ':' + to;
}

// --- reading ---------------------------------------------------------------------

// A value cell: a number or an exact value name; -1 when it is neither a
// number of a value of the scale nor one of its names. For the Text type a
// name comes first, then a number. For Zero and One a cell that is an
// integer is that number, whatever its value (one outside the scale gives
// -1), and only any other cell is looked up as a name.
int ValueOfText(const TScaleView& scale, std::string_view text, TDataType type) {
    auto as_number = [&]() {
        int number = 0;
        if (!ParseInt(text, number)) return -1;
        if (type == TDataType::One) {
            if (number <= 0) return -1;
            --number;
        }
        return number >= 0 && number < scale.Size() ? number : -1;
    };
    if (type == TDataType::Text) {
        const int index = scale.IndexOfName(text);
        return index >= 0 ? index : as_number();
    }
    return IsInteger(text) ? as_number() : scale.IndexOfName(text);
}

struct TInterval {
    int Low = -1;
    int High = -1;
    bool Valid() const { return Low >= 0 && High >= 0; }
};

// A result cell in any of the one-cell forms. Forms are tried in turn and
// the first that reads as values of the scale wins; the cell as one value is
// the last resort.
TInterval IntervalOfText(const TScaleView& scale, std::string_view text, TDataType type) {
    const int last = scale.Size() - 1;
    if (text == "*") return {0, last};
    auto single = [&]() {
        const int v = ValueOfText(scale, text, type);
        return TInterval{v, v};
    };
    // A name that happens to look like an interval form is that name.
    if (type == TDataType::Text && scale.IndexOfName(text) >= 0) return single();

    if (text.starts_with(">=")) {
        const TInterval from{ValueOfText(scale, text.substr(2), type), last};
        if (from.Valid()) return from;
    } else if (text.starts_with("<=")) {
        const TInterval to{0, ValueOfText(scale, text.substr(2), type)};
        if (to.Valid()) return to;
    }
    for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
        const TInterval range{ValueOfText(scale, text.substr(0, colon), type),
                              ValueOfText(scale, text.substr(colon + 1), type)};
        if (range.Valid()) return range;
    }
    return single();
}

// Each value cell names the rule's value of its input.
bool InputsMatch(const TMivoFunction& funct, int rule, const std::vector<std::string>& cells, TDataType type) {
    for (int k = 0; k < funct.ArgCount(); ++k) {
        const std::string& cell = cells[static_cast<std::size_t>(k) + 1];
        if (ValueOfText(InputScale(funct, k), cell, type) != funct.ArgValue(k, rule)) return false;
    }
    return true;
}

// Applies one line; false when it is skipped.
bool ImportLine(TMivoFunction& funct, std::string_view line, TDataType data, TFormatType format, bool& changed) {
    std::vector<std::string> cells = CutTabItems(line);
    if (cells.size() < 2) return false;
    int number = 0;
    if (!ParseInt(cells.front(), number) || number < 1 || number > funct.RuleCount()) return false;
    const int rule = number - 1;

    bool entered = true;
    const std::string flag = Trim(cells.back());
    if (flag == EnteredCell || flag == NotEnteredCell) {
        entered = flag == EnteredCell;
        cells.pop_back();
    }

    const TScaleView own = OwnScale(funct);
    TInterval result;
    if (format == TFormatType::Tab) {
        if (cells.size() < 3) return false;
        result.Low = ValueOfText(own, cells[cells.size() - 2], data);
        result.High = ValueOfText(own, cells[cells.size() - 1], data);
        cells.resize(cells.size() - 2);
    } else {
        if (cells.size() < 2) return false;
        result = IntervalOfText(own, cells.back(), data);
        cells.pop_back();
    }
    if (!(result.Low >= 0 && result.Low <= result.High && result.High <= own.Size() - 1)) return false;

    if (cells.size() == static_cast<std::size_t>(funct.ArgCount()) + 1 && !InputsMatch(funct, rule, cells, data))
        return false;

    changed = funct.RuleLow(rule) != result.Low || funct.RuleHigh(rule) != result.High ||
              funct.RuleEntered(rule) != entered;
    funct.SetRuleLow(rule, result.Low);
    funct.SetRuleHigh(rule, result.High);
    funct.SetRuleEntered(rule, entered);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

std::vector<std::string> RulesToText(const TMivoFunction& funct, const TMivoSettings& settings) {
    std::vector<std::string> lines;
    const TMivoAttribute* attribute = funct.Attribute();
    if (!attribute) return lines;
    const TDataType data = DataTypeOf(settings);
    const TFormatType format = FormatTypeOf(settings);
    const int n = funct.ArgCount();

    std::string header;
    for (int k = 0; k < n; ++k) header += Tab + attribute->Inputs(k)->GetName();
    header += Tab + attribute->GetName();
    lines.push_back(std::move(header));

    const TScaleView own = OwnScale(funct);
    for (int r = 0; r < funct.RuleCount(); ++r) {
        const bool entered = funct.RuleEntered(r);
        if (!settings.FncDataAll && !entered) continue;
        std::string line = std::to_string(r + 1);
        for (int k = 0; k < n; ++k) line += Tab + ValueText(InputScale(funct, k), funct.ArgValue(k, r), data);
        line += Tab + RuleToText(own, funct.RuleLow(r), funct.RuleHigh(r), data, format);
        if (settings.FncDataAll) (line += Tab) += entered ? EnteredCell : NotEnteredCell;
        lines.push_back(std::move(line));
    }
    return lines;
}

void ExportFile(const TMivoFunction& funct, const std::string& fileName, const TMivoSettings& settings) {
    std::string text;
    for (const std::string& line : RulesToText(funct, settings)) text.append(line).append("\n");
    WriteFileAtomic(fileName, text);
}

std::string RulesClipboardText(const TMivoFunction& funct, const TMivoSettings& settings) {
    std::string text;
    for (const std::string& line : RulesToText(funct, settings)) text.append(line).append("\r\n");
    return text;
}

void CopyToClipboard(const TMivoFunction& funct, TClipboard& clipboard, const TMivoSettings& settings) {
    clipboard.SetText(RulesClipboardText(funct, settings));
}

TRuleImport ImportStrings(TMivoFunction& funct, const std::vector<std::string>& lines,
                          const TMivoSettings& settings) {
    TRuleImport counts;
    if (!funct.Attribute()) return counts;
    const TDataType data = DataTypeOf(settings);
    const TFormatType format = FormatTypeOf(settings);
    for (const std::string& line : lines) {
        bool changed = false;
        if (!ImportLine(funct, line, data, format, changed)) continue;
        ++counts.Imported;
        if (changed) ++counts.Changed;
    }
    return counts;
}

TRuleImport ImportText(TMivoFunction& funct, const std::string& text, const TMivoSettings& settings) {
    return ImportStrings(funct, SplitLines(text), settings);
}

TRuleImport ImportFile(TMivoFunction& funct, const std::string& fileName, const TMivoSettings& settings) {
    return ImportText(funct, ReadFile(fileName), settings);
}

TRuleImport PasteFromClipboard(TMivoFunction& funct, const TClipboard& clipboard, const TMivoSettings& settings) {
    return ImportText(funct, clipboard.GetText(), settings);
}

}  // namespace mivo
