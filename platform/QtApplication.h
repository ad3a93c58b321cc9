// The Qt application object that fonts, canvases and printers need.
#pragma once

namespace mivo {

// Creates the application object when the process has none yet (a test, a
// batch tool); it then lives until the process ends. A program with its own
// application object (the desktop) never needs this.
void EnsureGuiApplication();

// The program's name for the toolkit, "Mivo" (also the title of message
// boxes that have none of their own). No display name is set: the toolkit
// would append it to every window's title, and the titles name the
// program already where they should ("Mivo - [...]" on the frame).
inline constexpr const char* ProgramName = "Mivo";
void SetProgramName();

}  // namespace mivo
