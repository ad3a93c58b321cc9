// The error display: how an error that leaves an event handler reaches the
// user. Every handler runs inside Guarded, so no exception crosses the Qt
// event loop; the error goes to the prompts installed with
// SetErrorPrompts as an error box. ESilentAbort ends a handler without a
// word (the user cancelled something that was already reported).
#pragma once

#include <exception>
#include <utility>

#include "model/RunTime.h"
#include "platform/Prompts.h"

namespace mivo {

class ESilentAbort : public Exception {
public:
    ESilentAbort() : Exception("Operation aborted") {}
};

// The program-wide prompts that errors are shown through; returns the
// previous ones. Null: errors go to standard error.
TPrompts* SetErrorPrompts(TPrompts* prompts);
TPrompts* ErrorPrompts();

// Shows the exception's message through the error prompts (nothing for
// ESilentAbort). Never throws.
void ShowException(const std::exception& error) noexcept;
void ShowUnknownException() noexcept;

// Runs the handler; an exception leaving it is shown and swallowed.
// Returns true when the handler ended normally.
template <class F>
bool Guarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

// Runs the handler when the scope ends, however it ends (an exception
// leaving it is shown and swallowed): the clean-up that an event handler
// owes on every path.
template <class F>
class TGuardedOnExit {
public:
    explicit TGuardedOnExit(F handler) : handler_(std::move(handler)) {}
    ~TGuardedOnExit() { Guarded(handler_); }
    TGuardedOnExit(const TGuardedOnExit&) = delete;
    TGuardedOnExit& operator=(const TGuardedOnExit&) = delete;

private:
    F handler_;
};

}  // namespace mivo
