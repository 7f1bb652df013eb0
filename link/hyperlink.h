#pragma once

#include <functional>
#include <string_view>

// 超级链接: opening an address through the desktop.
namespace iitcalc::超级链接 {

// Hands a web address to the desktop, which opens it in the user's default
// browser. Returns at once and never waits for the browser: true when the
// desktop took the request, false when the address is not a well-formed
// http or https address (isWebAddress: nothing is handed on) or the desktop
// says it cannot open it, for the caller to tell the user. Where the desktop
// learns only afterwards that it cannot (on Linux the opener program ends
// with a failing status, as xdg-open ends with 3 where there is no browser),
// failedLater is called then, on the window's thread -- unless the window
// whose event asked has been closed or cleared meanwhile. Never builds a
// command line.
bool openAddress(std::u16string_view address, std::function<void()> failedLater = {});

// Whether the text is an absolute http or https address: the scheme (any
// case), "://", a host of letters, digits, '-' and '.' in non-empty labels,
// an optional port up to 65535, then an optional path, query and fragment of printable
// ASCII without blanks, quotes, '<', '>', '\\' or '^'.
// "http://www.example.com" passes; "file:///etc/passwd" and
// "http://a b" do not.
bool isWebAddress(std::u16string_view address);

} // namespace iitcalc::超级链接
