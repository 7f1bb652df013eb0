#pragma once

namespace iitcalc::window {

// The whole windowed program on Qt Widgets: starts the toolkit, opens the
// main window and runs until it is closed; returns the exit status. Where
// the platform needs a display the environment does not name (X11 without
// DISPLAY, Wayland without WAYLAND_DISPLAY), or the toolkit cannot connect
// to one, it says so in one sentence and returns 1; a platform plugin that
// cannot be loaded is named as such.
int runOnQt(int &argc, char **argv);

} // namespace iitcalc::window
