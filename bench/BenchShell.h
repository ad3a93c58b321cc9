// What a main window needs in a benchmark besides the scripted prompts: a
// help that shows nothing and a clipboard in memory.
#pragma once

#include <string>

#include "model/Clipboard.h"
#include "platform/Help.h"

namespace mivo::bench {

class TNoHelp final : public THelp {
public:
    void ShowContext(int) override {}
    void ShowContents() override {}
    void ShowIndex(const std::string&) override {}
    void CloseAll() override {}
};

class TMemoryClipboard final : public TClipboard {
public:
    std::string GetText() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

}  // namespace mivo::bench
