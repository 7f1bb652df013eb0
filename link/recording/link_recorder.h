#pragma once

#include <functional>
#include <string>
#include <vector>

// The recording implementation of 超级链接 and 光标变手, linked into tests in
// place of a toolkit's: it keeps what the desktop would have been asked.
namespace iitcalc::link_recorder {

struct Requests {
    std::vector<std::u16string> openedAddresses; // what reached the desktop
    std::vector<std::string> handPointerOver;    // the control of each hand request
    bool desktopFails = false;                   // the desktop says it cannot open them
    std::function<void()> failedLater;           // the last request's, for a test to call
};

Requests &requests();

} // namespace iitcalc::link_recorder
