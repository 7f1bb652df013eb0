#pragma once

#include "calc/result.h"
#include "calc/separators.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace iitcalc {

// A number written as field text: at most 22 UTF-16 units, kept inline so
// that writing a number never allocates.
class NumberText {
public:
    static constexpr std::size_t kCapacity = 24;

    NumberText() = default;
    explicit NumberText(std::u16string_view text);

    std::u16string_view view() const { return {m_units.data(), m_size}; }
    std::string utf8() const;

    friend bool operator==(const NumberText &a, const NumberText &b) { return a.view() == b.view(); }
    friend bool operator==(const NumberText &a, std::u16string_view b) { return a.view() == b; }

    // For the conversions that write a number unit by unit; beyond the
    // capacity nothing more is kept.
    void append(char16_t unit)
    {
        if (m_size < kCapacity)
            m_units[m_size++] = unit;
    }

private:
    std::array<char16_t, kCapacity> m_units{};
    std::uint8_t m_size = 0;
};

// Lenient reading, for the income and insurance fields. Blanks, tabs and line
// feeds are skipped wherever they stand; then an optional sign; then either
// decimal digits with at most one '.' and an optional exponent ('E' or 'e',
// optional sign, digits), or "&H" / "&O" and a hexadecimal / octal integer
// (any width, never negative unless signed before the '&'). Reading stops at
// the first character that cannot continue the number and the value read
// so far is the result, correctly rounded; text that does not begin with a
// number reads 0. A literal beyond the double range reads ±infinity, one
// too small reads 0, whatever the length of its exponent. Full-width forms
// (０–９, ．, －, Ｅ, ＆Ｈ…) and the ideographic space read as their ASCII
// counterparts. Never fails: "1,000" reads 1, "3500元" 3500, "&H10" 16,
// "１００００" 10000.
double readLenient(std::u16string_view text);

// Strict conversion, for the threshold field. Apart from blanks (spaces and
// tabs) before and after it, the whole text must be: optional sign, digits
// with the locale's grouping separator allowed only where the locale's
// grouping puts it, optionally the locale's decimal separator and more
// digits, optionally an exponent. At least one digit. Full-width forms,
// those of the two separators included, and the ideographic space count as
// their ASCII counterparts. Anything else, the empty text included, fails
// with TypeMismatch; a value beyond the double range fails with Overflow;
// one too small for it reads 0. " 3500 " gives 3500, "3,500" and "３，５００"
// give 3500 where ',' groups by three, "3500,5" and "3500元" fail.
Result<double> convertStrict(std::u16string_view text, Separators separators);

// Number to text. Rounds to 15 significant digits (ties as the exact binary
// value falls), drops trailing zeros and a trailing decimal separator, writes
// no grouping and uses the locale's decimal separator. Magnitudes from 1E15
// up, and below 1E-4, use the exponent form with a signed exponent of at
// least two digits ("1E+15", "1.5E-05"). Negative zero is written "0".
// 1234.56 * 0.03 gives "37.0368"; -3500 gives "-3500". Infinities and NaN,
// which no calculation yields, are written "Infinity", "-Infinity", "NaN".
NumberText numberToText(double value, Separators separators);

// Integer to text: the decimal digits, with '-' when negative. 3500 gives
// "3500".
NumberText integerToText(std::int16_t value);

} // namespace iitcalc
