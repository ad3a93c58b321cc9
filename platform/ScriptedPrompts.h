// Prompts for tests: each request is answered by the next step of a
// script; a request that the script does not expect at that point (another
// kind, or none left) is recorded as a failure and raises
// EUnexpectedPrompt, so a test never blocks on a window. Every request is
// logged, answered or not.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/RunTime.h"
#include "platform/Prompts.h"

namespace mivo {

class EUnexpectedPrompt : public Exception {
public:
    using Exception::Exception;
};

// Which request a step answers.
enum class TPromptKind : std::uint8_t { Message, OpenFile, SaveFile, Print, Font, Colour, PageSetup, Exec };

// One request as the log keeps it: its kind, the message text or dialog
// title or dialog name, and the message box kind and buttons.
struct TPromptRecord {
    TPromptKind Kind = TPromptKind::Message;
    std::string Text;
    TMsgKind MsgKind = TMsgKind::Information;
    TMsgButtons Buttons = TMsgButtons::Ok;
};

class TScriptedPrompts final : public TPrompts {
public:
    // Script steps, answered in the order given.
    void ExpectMessage(TMsgAnswer answer);
    // nullopt: the dialog is cancelled.
    void ExpectOpenFile(std::optional<TFileAnswer> answer);
    void ExpectSaveFile(std::optional<TFileAnswer> answer);
    // The handler edits the request and returns true for OK.
    void ExpectPrint(std::function<bool(TPrintRequest&)> handler);
    void ExpectFont(std::optional<TCanvasFont> answer);
    void ExpectColour(std::optional<TColor> answer);
    void ExpectPageSetup(std::function<bool(TPageSetupRequest&)> handler);
    // The handler acts on the loaded dialog and returns its result code.
    void ExpectExec(std::function<int(QDialog&)> handler);

    // Requests made so far, answered or not.
    const std::vector<TPromptRecord>& Log() const { return log_; }
    // Texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;
    // Script steps not yet used.
    std::size_t Pending() const { return steps_.size(); }
    // Requests the script did not expect.
    const std::vector<std::string>& Failures() const { return failures_; }
    void ClearLog();

    TMsgAnswer Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) override;
    std::optional<TFileAnswer> OpenFile(const TFileRequest& request) override;
    std::optional<TFileAnswer> SaveFile(const TFileRequest& request) override;
    bool Print(TPrintRequest& request) override;
    bool Font(TCanvasFont& font) override;
    bool Colour(TColor& colour) override;
    bool PageSetup(TPageSetupRequest& request) override;
    int Exec(QDialog& dialog, const std::string& name) override;

private:
    struct Step {
        explicit Step(TPromptKind kind) : Kind(kind) {}
        TPromptKind Kind;
        TMsgAnswer Answer = TMsgAnswer::Ok;
        std::optional<TFileAnswer> File;
        std::optional<TCanvasFont> FontAnswer;
        std::optional<TColor> ColourAnswer;
        std::function<bool(TPrintRequest&)> OnPrint;
        std::function<bool(TPageSetupRequest&)> OnPageSetup;
        std::function<int(QDialog&)> OnExec;
    };

    // Logs the request and takes the next step, which must be of `kind`.
    Step Take(TPromptKind kind, const std::string& text, TMsgKind msgKind = TMsgKind::Information,
              TMsgButtons buttons = TMsgButtons::Ok);

    std::deque<Step> steps_;
    std::vector<TPromptRecord> log_;
    std::vector<std::string> failures_;
};

}  // namespace mivo
