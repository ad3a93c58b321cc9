#include "evaluator/EvalMain.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "evaluator/EvalArgs.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoOptData.h"

namespace mivo {

namespace {

void WriteSetting(std::ostream& out, bool flag, const char* name) {
    out << ' ' << name << ": " << (flag ? "yes" : "no") << '\n';
}

// The absolute form of a file name: a leading "~" is the home folder,
// relative names are taken against the current folder, "." and ".." are
// resolved.
std::string ExpandFileName(const std::string& name) {
    std::string path = name;
    if (!path.empty() && path[0] == '~' && (path.size() == 1 || path[1] == '/')) {
        if (const char* home = std::getenv("HOME")) path = std::string(home) + path.substr(1);
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    return absolute.lexically_normal().string();
}

// The same file, links followed, as far as the parts of the paths exist.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    std::filesystem::path pa = std::filesystem::weakly_canonical(ExpandFileName(a), error);
    if (error) return false;
    std::filesystem::path pb = std::filesystem::weakly_canonical(ExpandFileName(b), error);
    if (error) return false;
    return pa == pb;
}

// The index of the first output file.
int FirstOutput(const TEvalState& state) { return state.SaveOnly ? 1 : 2; }

// An output file that is the model file would destroy the model.
void CheckOutputs(const TEvalState& state, const TArgs& args) {
    for (int i = FirstOutput(state); i < args.Count(); ++i)
        if (SameFile(args.FileName(i), args.FileName(0)))
            RaiseEvalError("Output file is the Mivo model file: " + args.FileName(i));
}

class TBatchRun {
public:
    TBatchRun(TEvalState& state, const TArgs& args, std::ostream& out) : state_(state), args_(args), out_(out) {}

    void Run() {
        LoadModel();
        if (!state_.SaveOnly) LoadOptions();
        SaveOutputs();
    }

private:
    void LoadModel() {
        const std::string name = ExpandFileName(args_.FileName(0));
        if (state_.Verbose) out_ << "Loading Mivo model: " << name << '\n';
        // Keys that only the desktop program uses are not read at all.
        LoadFromFile(model_, name, TModelReading::Batch);
        state_.Settings = &model_.Settings;
        SaveDefaultFormat(state_);
        if (state_.Verbose) {
            const TMivoEvalStatistics s = EvalStatistics(model_.Statistics());
            out_ << Format("Loaded: Attributes %d (%d basic, %d aggregate), Scales %d, Functions %d, Options %d",
                           s.Attributes, s.Basic, s.Aggregate, s.Scales, s.Functions, s.Options)
                 << '\n';
        }
        if (model_.OptionCount() > 0 && !state_.KeepOptions && !state_.SaveOnly) {
            model_.DeleteAllOptions();
            if (state_.Verbose) out_ << "Loaded options deleted\n";
        }
        if (state_.Verbose) out_ << "Mivo file format settings: " << FormatText(state_) << '\n';
    }

    void LoadOptions() {
        ApplySettings(state_, args_, 1);
        const std::string name = ExpandFileName(args_.FileName(1));
        if (state_.Verbose) {
            out_ << "Loading options from " << name << '\n';
            out_ << "Input file format settings: " << FormatText(state_) << '\n';
        }
        {
            TMivoOptData data;
            if (state_.CsvFormat) data.ImportCsv(name, &model_);
            else data.ImportTab(name, &model_);
            data.StoreToModel();
        }
        if (state_.Verbose) out_ << "Loaded options: " << model_.OptionCount() << '\n';
        // Storing the table has just evaluated every option; a second pass
        // over a million options would give the same values.
        if (model_.NeedsEvaluation) model_.Reevaluate();
        if (state_.Verbose) out_ << "Evaluated options: " << model_.OptionCount() << '\n';
    }

    void SaveOutputs() {
        for (int i = FirstOutput(state_); i < args_.Count(); ++i) SaveOptions(i);
    }

    void SaveOptions(int i) {
        ApplySettings(state_, args_, i);
        const std::string name = ExpandFileName(args_.FileName(i));
        if (state_.Verbose) {
            out_ << "Saving options to " << name << '\n';
            out_ << "Output file format settings: " << FormatText(state_) << '\n';
        }
        {
            TMivoOptData data;
            data.LoadFromModel(&model_);
            if (state_.CsvFormat) data.ExportCsv(name);
            else data.ExportTab(name);
        }
        if (state_.Verbose) out_ << "Saved options: " << model_.OptionCount() << '\n';
    }

    TEvalState& state_;
    const TArgs& args_;
    std::ostream& out_;
    TMivoModel model_;
};

}  // namespace

int EvalMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TEvalState state;
    state.Out = &out;
    int exit_code = 0;
    try {
        // Both the arguments and the model are freed before an error is
        // reported.
        TEvalArgs args(state);
        args.Parse(arguments);
        if (!state.HelpShown) {
            args.Check();
            CheckOutputs(state, args);
            if (state.Verbose) {
                out << "Program settings:\n";
                WriteSetting(out, state.Verbose, "Verbose");
                WriteSetting(out, state.SaveOnly, "Save only");
                WriteSetting(out, state.KeepOptions, "Keep options");
                out << "Program arguments:\n";
                args.Print(out);
            }
            TBatchRun run(state, args, out);
            run.Run();
        }
        state.Settings = nullptr;
    } catch (const EMivoEvalError& e) {
        state.Settings = nullptr;
        out.flush();
        err << "MivoEval error: " << e.Message() << '\n';
        err.flush();
        PrintUsage(state);
        exit_code = 2;
    } catch (const std::exception& e) {
        state.Settings = nullptr;
        out.flush();
        err << "Error: " << e.what() << '\n';
        exit_code = 1;
    }
    out.flush();
    return exit_code;
}

}  // namespace mivo
