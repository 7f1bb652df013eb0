#pragma once

namespace iitcalc::window {

// The whole windowed program on the Win32 API: opens the main window and
// runs the message loop until it is closed; returns the exit status. When
// the window cannot be built it says so in a message box and returns 1.
int runOnWin32();

} // namespace iitcalc::window
