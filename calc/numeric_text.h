#pragma once

#include "calc/result.h"
#include "calc/separators.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace iitcalc {

// A number written as text, kept inline so that writing a number never
// allocates: field text in UTF-16 units (NumberText) or UTF-8 bytes
// (Utf8NumberText), at most 24 of them.
template <class Unit>
class BasicNumberText {
public:
    static constexpr std::size_t kCapacity = 24;

    BasicNumberText() = default;
    explicit BasicNumberText(std::basic_string_view<Unit> text)
        : m_size(static_cast<std::uint8_t>(std::min(text.size(), kCapacity)))
    {
        std::copy_n(text.begin(), m_size, m_units.begin());
    }

    std::basic_string_view<Unit> view() const { return {m_units.data(), m_size}; }

    friend bool operator==(const BasicNumberText &a, const BasicNumberText &b) { return a.view() == b.view(); }
    friend bool operator==(const BasicNumberText &a, std::basic_string_view<Unit> b) { return a.view() == b; }

    // For the conversions, which write a number unit by unit, or in place
    // into the room that data() gives and then set its size; beyond the
    // capacity nothing more is kept.
    void append(Unit unit)
    {
        if (m_size < kCapacity)
            m_units[m_size++] = unit;
    }
    Unit *data() { return m_units.data(); }
    void setSize(std::size_t size) { m_size = static_cast<std::uint8_t>(std::min(size, kCapacity)); }

private:
    std::array<Unit, kCapacity> m_units{};
    std::uint8_t m_size = 0;
};

using NumberText = BasicNumberText<char16_t>;
using Utf8NumberText = BasicNumberText<char>;

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
// "１００００" 10000. The text is UTF-16 or UTF-8; a malformed UTF-8
// sequence reads as U+FFFD, which stops the reading: "1\xFF2" reads 1.
double readLenient(std::u16string_view text);
double readLenient(std::string_view utf8);
// The same, and whether the reading took the whole text: "12,345.67" reads
// 12 and is not whole; "1 000", "" and "-5E3 " are whole.
double readLenient(std::string_view utf8, bool &whole);

// Strict conversion, for the threshold field. Apart from blanks (spaces and
// tabs) before and after it, the whole text must be: optional sign, digits
// with the locale's grouping separator allowed only where the locale's
// grouping puts it, optionally the locale's decimal separator and more
// digits, optionally an exponent. At least one digit. Full-width forms,
// those of the two separators included, and the ideographic space count as
// their ASCII counterparts. Anything else, the empty text and a line feed
// included, fails with TypeMismatch; a value beyond the double range fails
// with Overflow; one too small for it reads 0. " 3500 " gives 3500, "3,500"
// and "３，５００" give 3500 where ',' groups by three, "3500,5" and "3500元"
// fail. UTF-16 or UTF-8; malformed UTF-8 fails as U+FFFD would.
Result<double> convertStrict(std::u16string_view text, Separators separators);
Result<double> convertStrict(std::string_view utf8, Separators separators);

// Number to text. Rounds to 15 significant digits (ties as the exact binary
// value falls), drops trailing zeros and a trailing decimal separator, writes
// no grouping and uses the locale's decimal separator. Magnitudes from 1E15
// up, and below 1E-4, use the exponent form with a signed exponent of at
// least two digits ("1E+15", "5E-05", "1.5E-07"). Negative zero is written
// "0". 1234.56 * 0.03 gives "37.0368"; -3500 gives "-3500". Infinities and
// NaN, which no calculation yields, are written "Infinity", "-Infinity",
// "NaN". Unit char16_t gives field text, char the same text in UTF-8.
template <class Unit = char16_t>
BasicNumberText<Unit> numberToText(double value, Separators separators);
// The same, written into `out`, for a text kept inside a larger result.
template <class Unit>
void numberToText(double value, Separators separators, BasicNumberText<Unit> &out);

// Integer to text: the decimal digits, with '-' when negative. 3500 gives
// "3500".
template <class Unit = char16_t>
BasicNumberText<Unit> integerToText(std::int16_t value);

} // namespace iitcalc
