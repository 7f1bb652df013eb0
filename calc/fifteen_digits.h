#pragma once

#include <cstddef>

namespace iitcalc {

// Room enough for any value written by writeFifteenDigits.
inline constexpr std::size_t kFifteenDigitsRoom = 24;

// A finite value rounded to 15 significant digits, written as C's "%.15g"
// writes it: the exponent form ("1.5e+300", "5e-05") exactly where printf has
// it, trailing zeros dropped, '.' whatever the locale, at most 22 characters
// ("-1.23456789012346e-308"). Ties go to the even digit, decided by the exact
// binary value. Returns how many characters were written at `out`.
std::size_t writeFifteenDigits(double value, char *out);

} // namespace iitcalc
