#include "platform/ScriptedPrompts.h"

#include <utility>

namespace mivo {
namespace {

const char* KindName(TPromptKind kind) {
    switch (kind) {
        case TPromptKind::Message: return "message box";
        case TPromptKind::OpenFile: return "open dialog";
        case TPromptKind::SaveFile: return "save dialog";
        case TPromptKind::Print: return "print dialog";
        case TPromptKind::Font: return "font dialog";
        case TPromptKind::Colour: return "colour dialog";
        case TPromptKind::PageSetup: return "page-setup dialog";
        case TPromptKind::Exec: return "modal dialog";
    }
    return "request";
}

}  // namespace

void TScriptedPrompts::ExpectMessage(TMsgAnswer answer) {
    steps_.emplace_back(TPromptKind::Message).Answer = answer;
}

void TScriptedPrompts::ExpectOpenFile(std::optional<TFileAnswer> answer) {
    steps_.emplace_back(TPromptKind::OpenFile).File = std::move(answer);
}

void TScriptedPrompts::ExpectSaveFile(std::optional<TFileAnswer> answer) {
    steps_.emplace_back(TPromptKind::SaveFile).File = std::move(answer);
}

void TScriptedPrompts::ExpectPrint(std::function<bool(TPrintRequest&)> handler) {
    steps_.emplace_back(TPromptKind::Print).OnPrint = std::move(handler);
}

void TScriptedPrompts::ExpectFont(std::optional<TCanvasFont> answer) {
    steps_.emplace_back(TPromptKind::Font).FontAnswer = std::move(answer);
}

void TScriptedPrompts::ExpectColour(std::optional<TColor> answer) {
    steps_.emplace_back(TPromptKind::Colour).ColourAnswer = answer;
}

void TScriptedPrompts::ExpectPageSetup(std::function<bool(TPageSetupRequest&)> handler) {
    steps_.emplace_back(TPromptKind::PageSetup).OnPageSetup = std::move(handler);
}

void TScriptedPrompts::ExpectExec(std::function<int(QDialog&)> handler) {
    steps_.emplace_back(TPromptKind::Exec).OnExec = std::move(handler);
}

std::vector<std::string> TScriptedPrompts::Messages() const {
    std::vector<std::string> texts;
    for (const auto& record : log_)
        if (record.Kind == TPromptKind::Message) texts.push_back(record.Text);
    return texts;
}

void TScriptedPrompts::ClearLog() {
    log_.clear();
    failures_.clear();
}

TScriptedPrompts::Step TScriptedPrompts::Take(TPromptKind kind, const std::string& text, TMsgKind msgKind,
                                              TMsgButtons buttons) {
    log_.push_back({kind, text, msgKind, buttons});
    if (steps_.empty() || steps_.front().Kind != kind) {
        std::string failure = std::string("Unexpected ") + KindName(kind) + ": \"" + text + "\"";
        if (!steps_.empty()) failure += std::string(" (the script expects a ") + KindName(steps_.front().Kind) + ")";
        failures_.push_back(failure);
        throw EUnexpectedPrompt(failure);
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

TMsgAnswer TScriptedPrompts::Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) {
    return Take(TPromptKind::Message, text, kind, buttons).Answer;
}

std::optional<TFileAnswer> TScriptedPrompts::OpenFile(const TFileRequest& request) {
    return Take(TPromptKind::OpenFile, request.Title).File;
}

std::optional<TFileAnswer> TScriptedPrompts::SaveFile(const TFileRequest& request) {
    return Take(TPromptKind::SaveFile, request.Title).File;
}

bool TScriptedPrompts::Print(TPrintRequest& request) {
    auto step = Take(TPromptKind::Print, "");
    return step.OnPrint ? step.OnPrint(request) : false;
}

bool TScriptedPrompts::Font(TCanvasFont& font) {
    auto step = Take(TPromptKind::Font, font.Name);
    if (!step.FontAnswer) return false;
    font = *step.FontAnswer;
    return true;
}

bool TScriptedPrompts::Colour(TColor& colour) {
    auto step = Take(TPromptKind::Colour, "");
    if (!step.ColourAnswer) return false;
    colour = *step.ColourAnswer;
    return true;
}

bool TScriptedPrompts::PageSetup(TPageSetupRequest& request) {
    auto step = Take(TPromptKind::PageSetup, "");
    return step.OnPageSetup ? step.OnPageSetup(request) : false;
}

int TScriptedPrompts::Exec(QDialog& dialog, const std::string& name) {
    auto step = Take(TPromptKind::Exec, name);
    return step.OnExec ? step.OnExec(dialog) : 2;
}

}  // namespace mivo
