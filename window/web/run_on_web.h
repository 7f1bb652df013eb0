#pragma once

namespace iitcalc::window {

// The windowed program in a web page: opens the main window in the page's
// body and returns at once, the window living on with the page. When the
// window cannot be built it says so on the page and returns 1.
int runOnWeb();

} // namespace iitcalc::window
