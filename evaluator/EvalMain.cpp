#include "evaluator/EvalMain.h"

#include <ostream>

#include "evaluator/EvalArgs.h"

namespace mivo {

namespace {

void WriteSetting(std::ostream& out, bool flag, const char* name) {
    out << ' ' << name << ": " << (flag ? "yes" : "no") << '\n';
}

// Loading, evaluating and writing the option files.
void RunBatch(TEvalState&, TEvalArgs&) {
    throw Exception("Evaluating models is not available in this build");
}

}  // namespace

int EvalMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TEvalState state;
    state.Out = &out;
    int exit_code = 0;
    std::string error;
    try {
        TEvalArgs args(state);
        args.Parse(arguments);
        if (!state.HelpShown) {
            args.Check();
            if (state.Verbose) {
                out << "Program settings:\n";
                WriteSetting(out, state.Verbose, "Verbose");
                WriteSetting(out, state.SaveOnly, "Save only");
                WriteSetting(out, state.KeepOptions, "Keep options");
                out << "Program arguments:\n";
                args.Print(out);
            }
            RunBatch(state, args);
        }
    } catch (const EMivoEvalError& e) {
        out.flush();
        err << "MivoEval error: " << e.Message() << '\n';
        err.flush();
        PrintUsage(state);
        exit_code = 2;
    } catch (const std::exception& e) {
        out.flush();
        err << "Error: " << e.what() << '\n';
        exit_code = 1;
    }
    out.flush();
    return exit_code;
}

}  // namespace mivo
