#include "window/win32/run_on_win32.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return iitcalc::window::runOnWin32(); }
