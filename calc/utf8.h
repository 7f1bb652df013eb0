#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace iitcalc {

// What every decoder here writes for a sequence it cannot read.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// UTF-16 to UTF-8 and back: the window's field text and the console's bytes. Unpaired surrogates
// and malformed or overlong byte sequences become U+FFFD; nothing is dropped
// silently and nothing fails.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// The code point whose UTF-8 sequence starts at `next`, moving `next` past
// it; `next` must lie before `end`. Where fromUtf8 writes U+FFFD this gives
// U+FFFD and moves past the same bytes, so a reading of UTF-8 sees exactly
// the characters it would see in fromUtf8's result.
[[gnu::cold]] char32_t decodeUtf8Sequence(const char *&next, const char *end);
inline char32_t decodeUtf8(const char *&next, const char *end)
{
    const auto lead = static_cast<unsigned char>(*next);
    if (lead < 0x80) [[likely]] {
        ++next;
        return lead;
    }
    return decodeUtf8Sequence(next, end);
}

// Writes the UTF-8 form of a code point (at most 0x10FFFF, no surrogate) to
// `out`, which has room for 4 bytes, and returns the number of bytes written.
std::size_t encodeUtf8(char32_t c, char *out);

} // namespace iitcalc
