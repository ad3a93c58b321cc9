#include "platform/ErrorDisplay.h"

#include <cstdio>

namespace mivo {
namespace {

TPrompts* errorPrompts = nullptr;

void Report(const char* text) noexcept {
    if (errorPrompts) {
        try {
            ShowError(*errorPrompts, text);
            return;
        } catch (...) {
            // The prompts failed too: fall through to standard error.
        }
    }
    std::fprintf(stderr, "%s\n", text);
}

}  // namespace

TPrompts* SetErrorPrompts(TPrompts* prompts) {
    TPrompts* previous = errorPrompts;
    errorPrompts = prompts;
    return previous;
}

TPrompts* ErrorPrompts() { return errorPrompts; }

void ShowException(const std::exception& error) noexcept {
    if (dynamic_cast<const ESilentAbort*>(&error)) return;
    Report(error.what());
}

void ShowUnknownException() noexcept { Report("Unknown error"); }

}  // namespace mivo
