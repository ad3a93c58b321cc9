// MivoEval's command line: the ordered list of files (model file, input data
// file, output files), each with the format-setting words that precede it;
// the general options; the usage text; and the current data-file format that
// the words change just before each data file is read or written.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/MivoSettings.h"
#include "model/RunTime.h"

namespace mivo {

// A command-line error of MivoEval (exit code 2).
class EMivoEvalError : public Exception {
public:
    using Exception::Exception;
};

// Raises EMivoEvalError with the message.
[[noreturn]] void RaiseEvalError(const std::string& message);

// The program-wide state of one run: general options, the usage flag and
// the current data-file format. The four option-data fields live in the
// loaded model's settings (`Settings`), as the option-data table reads them
// there; the model file's own values are remembered in the Saved* fields.
struct TEvalState {
    bool Verbose = false;
    bool SaveOnly = false;
    bool KeepOptions = false;
    bool HelpShown = false;

    bool CsvFormat = true;
    TMivoSettings* Settings = nullptr;  // the loaded model's settings
    std::uint8_t SavedOptDataType = 1;
    bool SavedOptDataAll = true;
    bool SavedOptTranspose = false;
    bool SavedOptLevels = true;

    std::ostream* Out = nullptr;  // usage text and progress messages
};

// The parsed command line.
class TArgs {
public:
    virtual ~TArgs() = default;

    const std::string& FileName(int i) const;
    const std::string& FileSettings(int i) const;
    int Count() const { return static_cast<int>(Files.size()); }

    // Reads the program arguments (without the program name).
    void Parse(const std::vector<std::string>& arguments);

    // Validates; raises EMivoEvalError.
    virtual void Check() {}

    // One "%2d. %s: %s" line per file.
    void Print(std::ostream& out) const;

    std::vector<std::string> Files;
    std::vector<std::string> Settings;

protected:
    // One argument beginning with '-'; true when it was consumed.
    virtual bool ProcessOption(const std::string&) { return false; }
};

// The evaluator's general options and checks.
class TEvalArgs : public TArgs {
public:
    explicit TEvalArgs(TEvalState& state) : state_(state) {}
    void Check() override;

protected:
    bool ProcessOption(const std::string& argument) override;

private:
    TEvalState& state_;
};

// Joins two blank-separated setting strings; an empty `added` is the error
// "Empty format setting" when strict.
std::string CombineSettings(const std::string& old_settings, const std::string& added, bool strict);

// Writes the usage text once per run.
void PrintUsage(TEvalState& state);

// "-tab|csv -base0|base1|text|unknown -all|basic -transpose|normal -indent|noindent".
std::string FormatText(const TEvalState& state);

// Right after the model is loaded: comma-separated, and the model file's own
// four option-data settings remembered.
void SaveDefaultFormat(TEvalState& state);
void RestoreDefaultFormat(TEvalState& state);

// Interprets the words of file i left to right.
void ApplyFormat(TEvalState& state, const TArgs& args, int i);
// ApplyFormat(0) then ApplyFormat(i).
void ApplySettings(TEvalState& state, const TArgs& args, int i);

}  // namespace mivo
