#pragma once

#include <string>
#include <string_view>

namespace iitcalc {

// UTF-16 to UTF-8 and back, for the console front end. Unpaired surrogates
// and malformed or overlong byte sequences become U+FFFD; nothing is dropped
// silently and nothing fails.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

} // namespace iitcalc
