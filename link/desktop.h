#pragma once

#include <functional>
#include <string_view>

// Where 超级链接 hands an address it has checked: one implementation per
// toolkit, and the recording one for tests.
namespace iitcalc::超级链接::desktop {

// Asks the desktop to open a web address in the user's default browser and
// returns at once: false when the desktop says it cannot (no browser, no
// program to hand it to), true when it took the request. failedLater, when
// set, is called later on the window's thread if the desktop finds out only
// then that it could not (see openAddress).
bool open(std::u16string_view address, std::function<void()> failedLater);

} // namespace iitcalc::超级链接::desktop
