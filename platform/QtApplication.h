// The Qt application object that fonts, canvases and printers need.
#pragma once

namespace mivo {

// Creates the application object when the process has none yet (a test, a
// batch tool); it then lives until the process ends. A program with its own
// application object (the desktop) never needs this.
void EnsureGuiApplication();

}  // namespace mivo
