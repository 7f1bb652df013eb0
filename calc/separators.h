#pragma once

namespace iitcalc {

// The decimal and digit-grouping separators of a locale. Grouping 0 means the
// locale groups no digits. The strict conversion and number-to-text use
// them; the lenient reading never does.
struct Separators {
    char16_t decimal = u'.';
    char16_t grouping = u',';

    friend bool operator==(const Separators &, const Separators &) = default;
};

// The separators of the user's locale for numbers, chosen from the
// environment in the usual order (LC_ALL, LC_NUMERIC, LANG). An unknown or
// unusable locale gives the C locale's: '.' and no grouping. The window and
// iitcalc-cli both take theirs from here, so they always agree.
Separators systemSeparators();

} // namespace iitcalc
