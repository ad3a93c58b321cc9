#include "platform/Prompts.h"

namespace mivo {

std::vector<TFileFilter> ParseFileFilters(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= text.size()) {
        const auto bar = text.find('|', start);
        if (bar == std::string::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<TFileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

bool Confirm(TPrompts& prompts, const std::string& text) {
    return prompts.Message(TMsgKind::Confirmation, text, TMsgButtons::YesNo) == TMsgAnswer::Yes;
}

void ShowError(TPrompts& prompts, const std::string& text) {
    prompts.Message(TMsgKind::Error, text, TMsgButtons::Ok);
}

void ShowWarning(TPrompts& prompts, const std::string& text) {
    prompts.Message(TMsgKind::Warning, text, TMsgButtons::Ok);
}

void ShowInformation(TPrompts& prompts, const std::string& text) {
    prompts.Message(TMsgKind::Information, text, TMsgButtons::Ok);
}

}  // namespace mivo
