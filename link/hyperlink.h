#pragma once

#include <string_view>

// 超级链接: opening an address through the desktop.
namespace iitcalc::超级链接 {

// Hands an http address to the desktop, which opens it in the user's
// default browser. Returns at once, reports nothing and never waits for the
// browser; if nothing can open the address, nothing happens. No command line
// is ever built from the address.
void openAddress(std::u16string_view address);

} // namespace iitcalc::超级链接
