#pragma once

#include "calc/separators.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace iitcalc::fuzzing {

// Fuzz bytes read as UTF-16LE field text; an odd last byte is dropped.
inline std::u16string utf16(const std::uint8_t *data, std::size_t size)
{
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return text;
}

// One of the separators and groupings that real locales use, picked by a
// byte.
inline Separators separatorsFrom(std::uint8_t choice)
{
    constexpr Separators kPairs[] = {{u'.', u','},
                                     {u',', u'.'},
                                     {u'.', 0},
                                     {u',', u'\u00a0'},
                                     {u'.', u'\''},
                                     {u'.', u',', {3, 2}},
                                     {u'.', u',', {3, Separators::kRestUngrouped}},
                                     {u'\uff0e', u'\uff0c', {4}}};
    return kPairs[choice % (sizeof kPairs / sizeof kPairs[0])];
}

// The text as a full-width input method types it: '!'..'~' as U+FF01..U+FF5E
// and the blank as U+3000. Both readings must not see the difference.
inline std::u16string fullWidth(std::u16string text)
{
    for (char16_t &c : text) {
        if (c > u' ' && c <= u'~')
            c = static_cast<char16_t>(c + 0xFEE0);
        else if (c == u' ')
            c = u'\u3000';
    }
    return text;
}

} // namespace iitcalc::fuzzing
