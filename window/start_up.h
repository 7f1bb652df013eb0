#pragma once

namespace iitcalc::window {

// Whether a display is there for the window: a platform chosen through
// QT_QPA_PLATFORM, an X display or a Wayland one.
bool displayAvailable();

// Says in one sentence that there is no display and how to try the program
// anyway; returns the exit status to end with.
int reportNoDisplay();

// While the toolkit connects to the display, a failure to connect ends the
// program with that sentence instead of the toolkit's own diagnostics.
void guardPlatformStart();
void endPlatformGuard();

} // namespace iitcalc::window
