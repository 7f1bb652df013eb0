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

// One of the separator pairs that real locales use, picked by a byte.
inline Separators separatorsFrom(std::uint8_t choice)
{
    constexpr Separators kPairs[] = {{u'.', u','}, {u',', u'.'}, {u'.', 0}, {u',', u'\u00a0'}, {u'.', u'\''}};
    return kPairs[choice % (sizeof kPairs / sizeof kPairs[0])];
}

} // namespace iitcalc::fuzzing
