// What the screenshot programs of the main window share: the program's
// services and the main window opening the example model from its command
// line, shown at the top left of the screen.
#pragma once

#include <string>

#include <QSize>

#include "desktop/Help.h"
#include "desktop/MainForm.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrompts.h"

namespace mivo {

struct TDemoShell {
    explicit TDemoShell(QSize size) {
        prompts.SetParent(&main);
        main.move(0, 0);
        main.resize(size);
        main.show();
    }

    static std::string ExampleModel() { return std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo"; }

    TQtPrompts prompts;
    THtmlHelp help;
    TQtClipboard clipboard;
    TMainForm main{prompts, help, clipboard, {ExampleModel()}};
};

}  // namespace mivo
