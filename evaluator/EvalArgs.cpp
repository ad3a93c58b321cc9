#include "evaluator/EvalArgs.h"

#include <array>
#include <ostream>
#include <string_view>

#include "model/Locale.h"
#include "model/Utils.h"

namespace mivo {

namespace {

// Lower-cases the letters A-Z only.
std::string LowerLetters(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

enum class Word {
    Tab, Csv, Reset, SavedType, Base0, Base1, Text, SavedAll, All, Basic,
    SavedLevels, Indent, NoIndent, SavedTranspose, Normal, Transpose, Unknown
};

// The setting words. "transposed" and "transposes" are accepted as further
// forms of "transpose" in both the check and the interpretation.
Word ClassifyWord(std::string_view w) {
    struct Entry { std::string_view word; Word kind; };
    static constexpr std::array<Entry, 33> table{{
        {"tab", Word::Tab}, {"csv", Word::Csv},
        {"r", Word::Reset}, {"reset", Word::Reset},
        {"v", Word::SavedType}, {"rv", Word::SavedType},
        {"v0", Word::Base0}, {"base0", Word::Base0},
        {"v1", Word::Base1}, {"base1", Word::Base1},
        {"vt", Word::Text}, {"text", Word::Text},
        {"a", Word::SavedAll}, {"ra", Word::SavedAll},
        {"aa", Word::All}, {"all", Word::All},
        {"ab", Word::Basic}, {"basic", Word::Basic},
        {"i", Word::SavedLevels}, {"ri", Word::SavedLevels},
        {"ii", Word::Indent}, {"i+", Word::Indent}, {"indent", Word::Indent},
        {"in", Word::NoIndent}, {"i-", Word::NoIndent}, {"noindent", Word::NoIndent},
        {"no_indent", Word::NoIndent},
        {"o", Word::SavedTranspose}, {"ro", Word::SavedTranspose},
        {"on", Word::Normal}, {"normal", Word::Normal},
        {"ot", Word::Transpose}, {"transpose", Word::Transpose},
    }};
    for (const auto& e : table)
        if (e.word == w) return e.kind;
    if (w == "transposed" || w == "transposes") return Word::Transpose;
    return Word::Unknown;
}

[[noreturn]] void UnknownSetting(const std::string& word) { RaiseEvalError("Unknown format setting: -" + word); }

TMivoSettings& ModelSettings(TEvalState& state) {
    MIVO_ASSERT(state.Settings != nullptr, "No model settings for the data-file format");
    return *state.Settings;
}

constexpr const char* kUsage[] = {
    "",
    "MivoEval: Mivo command-line batch option evaluator v2.0",
    "",
    "Usage: MivoEval [-p ...] Mivo-file [-p ...] inp-file [ [-p ...] out-file ...]",
    "",
    "Files:",
    " Mivo-file: input file containing a Mivo model (required)",
    " inp-file:  input file containing option data (required, except with -save)",
    " out-file:  zero or more output files to contain evaluation results (optional)",
    "",
    "General parameters:",
    " -?, -help:          display this help",
    " -l, -log, -verbose: display detailed file-processing information",
    " -save, -mvo:        do not load inp-file, use options defined in Mivo-file",
    " -keep:              keep Mivo-file option data, then overload it from inp-file",
    "",
    "File format parameters [interpreted in left-to-right order]:",
    " -tab:               use tab-delimited format (default for *.tab files)",
    " -csv:               use comma-separated format (default for *.csv files)",
    " -v0 or -base0:      use \"base 0\" value format",
    " -v1 or -base1:      use \"base 1\" value format",
    " -vt or -text:       use \"text\" value format",
    " -aa or -all:        save all attributes",
    " -ab or -basic:      save only basic attributes",
    " -ii or -indent:     indent attributes according to their tree structure",
    " -in or -noindent:   do not indent attributes",
    " -on or -normal:     use normal data-table orientation (attributes \\ options)",
    " -ot or -transpose:  use transposed orientation (options \\ attributes)",
    " -r or -reset:       reset all format parameters to that defined in Mivo-file",
    " -x or -rx:          reset an individual format parameter, where \"x\" can be:",
    "                     v: value format, a: attribute, i: indent, o: orientation",
};

}  // namespace

void RaiseEvalError(const std::string& message) { throw EMivoEvalError(message); }

const std::string& TArgs::FileName(int i) const { return At(Files, i); }

const std::string& TArgs::FileSettings(int i) const { return At(Settings, i); }

void TArgs::Parse(const std::vector<std::string>& arguments) {
    Files.clear();
    Settings.clear();
    std::string pending;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        if (argument[0] == '-') {
            if (ProcessOption(argument)) continue;
            std::string word = LowerLetters(Trim(std::string_view(argument).substr(1)));
            pending = CombineSettings(pending, word, true);
        } else {
            Files.push_back(argument);
            Settings.push_back(pending);
            pending.clear();
        }
    }
    if (!pending.empty() && !Files.empty()) Settings[0] = CombineSettings(Settings[0], pending, true);
}

void TArgs::Print(std::ostream& out) const {
    for (int i = 0; i < Count(); ++i) out << Format("%2d. %s: %s", i + 1, Files[i], Settings[i]) << '\n';
}

bool TEvalArgs::ProcessOption(const std::string& argument) {
    if (argument == "-l" || argument == "-log" || argument == "-verbose") {
        state_.Verbose = true;
    } else if (argument == "-?" || argument == "-help") {
        PrintUsage(state_);
    } else if (argument == "-save" || argument == "-mvo") {
        state_.SaveOnly = true;
    } else if (argument == "-keep") {
        state_.KeepOptions = true;
    } else {
        return false;
    }
    return true;
}

void TEvalArgs::Check() {
    if (Files.empty()) RaiseEvalError("Input required: Mivo model file");
    if (Files.size() < 2 && !state_.SaveOnly) RaiseEvalError("Input required: Options data file");
    for (std::size_t i = 1; i < Files.size(); ++i) {
        const std::string& name = Files[i];
        std::size_t slash = name.find_last_of('/');
        std::size_t dot = name.find_last_of('.');
        std::string ext;
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            ext = LowerCaseAscii(name.substr(dot + 1));
        if (ext == "tab" || ext == "csv") Settings[i] = CombineSettings(ext, Settings[i], false);
    }
    for (const std::string& words : Settings) {
        std::string rest = words;
        while (!rest.empty()) {
            std::string word = NextToken(rest);
            if (word.empty()) break;
            if (ClassifyWord(word) == Word::Unknown) UnknownSetting(word);
        }
    }
}

std::string CombineSettings(const std::string& old_settings, const std::string& added, bool strict) {
    if (added.empty()) {
        if (strict) RaiseEvalError("Empty format setting");
        return old_settings;
    }
    return old_settings.empty() ? added : old_settings + " " + added;
}

void PrintUsage(TEvalState& state) {
    if (state.HelpShown || state.Out == nullptr) return;
    for (const char* line : kUsage) *state.Out << line << '\n';
    state.Out->flush();
    state.HelpShown = true;
}

std::string FormatText(const TEvalState& state) {
    const char* type = "unknown";
    bool all = true, transpose = false, levels = true;
    if (state.Settings) {
        switch (state.Settings->OptDataType) {
            case 0: type = "base0"; break;
            case 1: type = "base1"; break;
            case 2: type = "text"; break;
            default: break;
        }
        all = state.Settings->OptDataAll;
        transpose = state.Settings->OptTranspose;
        levels = state.Settings->OptLevels;
    }
    return Format("-%s -%s -%s -%s -%s", state.CsvFormat ? "csv" : "tab", type, all ? "all" : "basic",
                  transpose ? "transpose" : "normal", levels ? "indent" : "noindent");
}

void SaveDefaultFormat(TEvalState& state) {
    TMivoSettings& s = ModelSettings(state);
    state.CsvFormat = true;
    state.SavedOptDataType = s.OptDataType;
    state.SavedOptDataAll = s.OptDataAll;
    state.SavedOptTranspose = s.OptTranspose;
    state.SavedOptLevels = s.OptLevels;
}

void RestoreDefaultFormat(TEvalState& state) {
    TMivoSettings& s = ModelSettings(state);
    state.CsvFormat = true;
    s.OptDataType = state.SavedOptDataType;
    s.OptDataAll = state.SavedOptDataAll;
    s.OptTranspose = state.SavedOptTranspose;
    s.OptLevels = state.SavedOptLevels;
}

void ApplyFormat(TEvalState& state, const TArgs& args, int i) {
    TMivoSettings& s = ModelSettings(state);
    std::string rest = args.FileSettings(i);
    while (!rest.empty()) {
        std::string word = NextToken(rest);
        if (word.empty()) break;
        switch (ClassifyWord(word)) {
            case Word::Tab: state.CsvFormat = false; break;
            case Word::Csv: state.CsvFormat = true; break;
            case Word::Reset: RestoreDefaultFormat(state); break;
            case Word::SavedType: s.OptDataType = state.SavedOptDataType; break;
            case Word::Base0: s.OptDataType = 0; break;
            case Word::Base1: s.OptDataType = 1; break;
            case Word::Text: s.OptDataType = 2; break;
            case Word::SavedAll: s.OptDataAll = state.SavedOptDataAll; break;
            case Word::All: s.OptDataAll = true; break;
            case Word::Basic: s.OptDataAll = false; break;
            case Word::SavedLevels: s.OptLevels = state.SavedOptLevels; break;
            case Word::Indent: s.OptLevels = true; break;
            case Word::NoIndent: s.OptLevels = false; break;
            case Word::SavedTranspose: s.OptTranspose = state.SavedOptTranspose; break;
            case Word::Normal: s.OptTranspose = false; break;
            case Word::Transpose: s.OptTranspose = true; break;
            case Word::Unknown: UnknownSetting(word);
        }
    }
}

void ApplySettings(TEvalState& state, const TArgs& args, int i) {
    ApplyFormat(state, args, 0);
    ApplyFormat(state, args, i);
}

}  // namespace mivo
