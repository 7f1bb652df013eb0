#include "calc/fifteen_digits.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace iitcalc {

namespace {

constexpr std::uint64_t kLeast15Digits = 100'000'000'000'000;    // 10^14
constexpr std::uint64_t kBeyond15Digits = 1'000'000'000'000'000; // 10^15

// printf's layout of 15 significant digits `digits` (10^14 <= digits <
// 10^15) whose first stands for 10^exponent.
std::size_t layOut(bool negative, std::uint64_t digits, int exponent, char *out)
{
    char *p = out;
    if (negative)
        *p++ = '-';
    char all[15];
    std::to_chars(all, all + 15, digits);
    int count = 15;
    while (all[count - 1] == '0')
        --count;

    if (exponent < -4 || exponent >= 15) {
        *p++ = all[0];
        if (count > 1) {
            *p++ = '.';
            std::memcpy(p, all + 1, static_cast<std::size_t>(count - 1));
            p += count - 1;
        }
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            *p++ = '0';
        p = std::to_chars(p, p + 3, magnitude).ptr;
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        std::memcpy(p, all, static_cast<std::size_t>(whole));
        p += whole;
        if (count > whole) {
            *p++ = '.';
            std::memcpy(p, all + whole, static_cast<std::size_t>(count - whole));
            p += count - whole;
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int zero = -1; zero > exponent; --zero)
            *p++ = '0';
        std::memcpy(p, all, static_cast<std::size_t>(count));
        p += count;
    }
    return static_cast<std::size_t>(p - out);
}

#if defined(__SIZEOF_INT128__)
// GCC and Clang have it on every 64-bit target and on WebAssembly.
__extension__ typedef unsigned __int128 Wide;

constexpr int kMaxScale = 22;

constexpr std::array<Wide, kMaxScale + 1> kPowers = [] {
    std::array<Wide, kMaxScale + 1> powers{};
    Wide power = 1;
    for (Wide &entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// The 15 digits of a magnitude from 1e-7 up to 1e15 in exact integer
// arithmetic: a double is m * 2^q, and m * 10^s / 2^-q, rounded to the
// nearest with ties to even, is the digits when s puts the first of them
// at 10^14. m < 2^53 and 10^s <= 10^22 < 2^74, so the product fits in 128
// bits. False outside that range, where the library's conversion serves.
bool exactDigits(double magnitude, std::uint64_t &digits, int &exponent)
{
    if (!(magnitude >= 1e-7 && magnitude < 1e15))
        return false;
    std::uint64_t bits = 0; // the browser's library has no std::bit_cast
    std::memcpy(&bits, &magnitude, sizeof bits);
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    // Between 1e-7 and 1e15 a double is normal and 2^-q has 3 to 76 bits.
    const int shift = 1075 - static_cast<int>(bits >> 52);

    // floor(log10(2^k)) for the value's 2^k <= magnitude < 2^(k+1): the
    // decimal exponent or one less, never more; a 16th digit says it is
    // one less.
    const int binary = static_cast<int>(bits >> 52) - 1023;
    exponent = (binary * 78913) >> 18;
    for (;;) {
        const int scale = 14 - exponent;
        if (scale < 0 || scale > kMaxScale)
            return false;
        const Wide product = Wide{mantissa} * kPowers[static_cast<std::size_t>(scale)];
        const Wide quotient = product >> shift;
        if (quotient >= kBeyond15Digits) {
            ++exponent;
            continue;
        }
        const Wide remainder = product - (quotient << shift);
        const Wide half = Wide{1} << (shift - 1);
        digits = static_cast<std::uint64_t>(quotient);
        if (remainder > half || (remainder == half && (digits & 1) != 0))
            ++digits;
        if (digits == kBeyond15Digits) {
            digits = kLeast15Digits;
            ++exponent;
        }
        return true;
    }
}
#endif

} // namespace

std::size_t writeFifteenDigits(double value, char *out)
{
    // A whole number below 10^15 has at most 15 digits, every one exact:
    // its digits are the text, and writing an integer is the cheaper work.
    if (std::fabs(value) < 1e15) {
        const auto whole = static_cast<long long>(value);
        if (static_cast<double>(whole) == value)
            return static_cast<std::size_t>(std::to_chars(out, out + kFifteenDigitsRoom, whole).ptr - out);
    }
#if defined(__SIZEOF_INT128__)
    std::uint64_t digits = 0;
    int exponent = 0;
    if (exactDigits(std::fabs(value), digits, exponent))
        return layOut(std::signbit(value), digits, exponent, out);
#endif
#if defined(__cpp_lib_to_chars)
    const auto written = std::to_chars(out, out + kFifteenDigitsRoom, value, std::chars_format::general, 15);
    return written.ec == std::errc() ? static_cast<std::size_t>(written.ptr - out) : 0;
#else
    // A standard library without floating-point to_chars; C's formatting
    // rounds exactly there too, and writes '.' whatever the locale.
    const int length = std::snprintf(out, kFifteenDigitsRoom, "%.15g", value);
    return length > 0 && length < static_cast<int>(kFifteenDigitsRoom) ? static_cast<std::size_t>(length) : 0;
#endif
}

} // namespace iitcalc
