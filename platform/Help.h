// The help service: the four requests the desktop program makes of its
// help viewer. The desktop implements it over bundled HTML pages; tests
// give a recorder.
#pragma once

#include <string>

namespace mivo {

// The Qt property under which a window, a menu or a menu item carries its
// help context (an int); the desktop's F1 key asks the help service for it.
inline constexpr const char* HelpContextProperty = "helpContext";

class THelp {
public:
    virtual ~THelp() = default;
    // The page of a help context (the contents when the context has none).
    virtual void ShowContext(int context) = 0;
    // The contents.
    virtual void ShowContents() = 0;
    // The index, positioned at the keyword.
    virtual void ShowIndex(const std::string& keyword) = 0;
    // Closes every help window.
    virtual void CloseAll() = 0;
};

}  // namespace mivo
