#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace iitcalc {

// The decimal and digit-grouping separators of a locale, and where the
// grouping separator goes. Grouping 0 means the locale groups no digits. The
// strict conversion and number-to-text use them; the lenient reading never
// does.
struct Separators {
    // In groupSizes: every digit further left belongs to one group.
    static constexpr std::uint8_t kRestUngrouped = 0xFF;

    char16_t decimal = u'.';
    char16_t grouping = u',';
    // The sizes of the digit groups counted leftwards from the decimal
    // separator, as std::numpunct::grouping() gives them: the last size
    // before a 0 (or the end) repeats. {3} writes 1,234,567; {3, 2} writes
    // 12,34,567; {3, kRestUngrouped} writes 1234,567.
    std::array<std::uint8_t, 4> groupSizes{3};

    // The number of digits in group `index` (0 is the one next to the
    // decimal separator); SIZE_MAX for an ungrouped rest, 0 when there are
    // no sizes at all.
    std::size_t groupSize(std::size_t index) const;

    friend bool operator==(const Separators &, const Separators &) = default;
};

// The name of the locale that decides how numbers are written: the first of
// LC_ALL, LC_NUMERIC and LANG that `environment` (a getenv-like look-up)
// gives as set and non-empty, each on its own; "C" when none is. Other
// categories never matter. LC_ALL="" LC_NUMERIC=de_DE.UTF-8 gives
// "de_DE.UTF-8".
const char *numericLocaleName(const std::function<const char *(const char *)> &environment);

// The separators of the named locale, or the C locale's ('.' and no
// grouping) when this system does not have it.
Separators localeSeparators(const char *name);

// The separators of the user's locale for numbers: the locale the
// environment names, as above. The window and iitcalc-cli both take theirs
// from here, so they always agree.
Separators systemSeparators();

} // namespace iitcalc
