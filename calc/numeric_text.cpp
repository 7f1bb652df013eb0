#include "calc/numeric_text.h"

#include "calc/fifteen_digits.h"
#include "calc/utf8.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <type_traits>

namespace iitcalc {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// No character has this value: it stands past the end of a text.
constexpr char32_t kEnd = 0xFFFFFFFF;

bool isDigit(char32_t c) { return c - U'0' < 10; }

unsigned digitValue(char32_t c) { return static_cast<unsigned>(c - U'0'); }

// A Chinese input method in full-width mode types the forms U+FF01..U+FF5E
// of the ASCII characters '!'..'~' (１２３，．－) and U+3000 for a blank; the
// readings see each as its ASCII counterpart.
char32_t fold(char32_t c)
{
    if (c < U'\u3000') [[likely]]
        return c;
    if (c >= U'\uFF01' && c <= U'\uFF5E')
        return c - 0xFEE0;
    return c == U'\u3000' ? U' ' : c;
}

int hexValue(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A') + 10;
    return -1;
}

bool isLenientBlank(char32_t c) { return c <= U' ' && (c == U' ' || c == U'\t' || c == U'\n'); }

bool isStrictBlank(char32_t c) { return c <= U' ' && (c == U' ' || c == U'\t'); }

// The characters of a UTF-16 or UTF-8 text one at a time, folded, read where
// they stand. A UTF-16 unit is a character (a surrogate is one the readings
// never accept); UTF-8 is decoded as fromUtf8 decodes it.
template <class Unit>
class Cursor {
public:
    explicit Cursor(std::basic_string_view<Unit> text)
        : m_next(text.data())
        , m_end(text.data() + text.size())
    {
        advance();
    }

    // kEnd past the last character.
    char32_t current() const { return m_current; }
    const Unit *position() const { return m_here; }

    void advance()
    {
        m_here = m_next;
        if (m_next == m_end) {
            m_current = kEnd;
        } else if constexpr (sizeof(Unit) == 1) {
            const auto byte = static_cast<unsigned char>(*m_next);
            if (byte < 0x80) [[likely]] {
                m_current = byte;
                ++m_next;
            } else {
                m_current = fold(decodeUtf8Sequence(m_next, m_end));
            }
        } else {
            m_current = fold(*m_next++);
        }
    }

private:
    const Unit *m_here = nullptr;
    const Unit *m_next;
    const Unit *m_end;
    char32_t m_current = kEnd;
};

constexpr std::size_t kMantissaDigits = 19;
constexpr std::size_t kMaxDigits = 800;

// Where a literal's digits beyond the first 19 are kept, with room for the
// sticky digit and an exponent after them: left uninitialised on purpose,
// only what has been written is ever read.
using LongDigits = std::array<char, kMaxDigits + 2 + 24>;

// The correctly rounded value of `count` significant digits, the first 19 of
// them summed up in `mantissa` and the rest in `digits` from index 19,
// times 10^exponent; a `sticky` literal has nonzero digits beyond them. A
// mantissa that holds all the digits may come with any count up to 19.
// Kept out of the digit loops' way: most literals never come here.
[[gnu::noinline]] double preciseDecimal(bool negative, std::uint64_t mantissa, std::size_t count, long long exponent,
                                        bool sticky, LongDigits &digits)
{
    if (count <= kMantissaDigits) {
        // fast_float's own step from digits to double (Eisel and Lemire's),
        // which settles all but a few rare cases and says so.
        const fast_float::adjusted_mantissa rounded =
            fast_float::compute_float<fast_float::binary_format<double>>(exponent, mantissa);
        if (rounded.power2 >= 0) {
            double value = 0;
            fast_float::to_float(negative, rounded, value);
            return value;
        }
    }

    // The digits summed up come first, the first of them not 0.
    const auto written = static_cast<std::size_t>(
        std::to_chars(digits.data(), digits.data() + kMantissaDigits, mantissa).ptr - digits.data());
    std::size_t length = std::max(count, written);
    if (sticky) {
        digits[length++] = '1';
        --exponent;
    }
    const double sign = negative ? -1.0 : 1.0;
    // The value lies in [10^(order-1), 10^order).
    const long long order = static_cast<long long>(length) + exponent;
    if (order > 310)
        return sign * kInfinity;
    if (order < -330)
        return sign * 0.0;
    if (exponent != 0) {
        digits[length++] = 'e';
        length = static_cast<std::size_t>(
            std::to_chars(digits.data() + length, digits.data() + digits.size(), exponent).ptr - digits.data());
    }
    // fast_float gives ±infinity and 0 beyond the range, which the order
    // test above has mostly settled already; it decides the rounding by
    // every digit given.
    double magnitude = 0.0;
    fast_float::from_chars(digits.data(), digits.data() + length, magnitude);
    return sign * magnitude;
}

constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
constexpr long long kExactPower = 22;
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The correctly rounded value of up to 19 digits summed up in `mantissa`,
// times 10^exponent: ±infinity beyond the double range, ±0 below it.
double decimalValue(bool negative, std::uint64_t mantissa, long long exponent, LongDigits &digits)
{
    if (mantissa == 0)
        return negative ? -0.0 : 0.0;
    if (mantissa <= kExactMantissa && exponent >= -kExactPower && exponent <= kExactPower) {
        // Both operands are exact, so the one operation rounds correctly.
        const double exact = static_cast<double>(mantissa);
        const double power = kPowersOfTen[static_cast<std::size_t>(exponent < 0 ? -exponent : exponent)];
        const double magnitude = exponent < 0 ? exact / power : exact * power;
        return negative ? -magnitude : magnitude;
    }
    return preciseDecimal(negative, mantissa, 0, exponent, false, digits);
}

// Collects the digits of a decimal literal and turns them into the
// correctly rounded double. The first 19 significant digits are summed up
// as they come; most literals have no more, and most of those need one
// multiplication or division at most. Beyond them up to kMaxDigits are kept
// as text, and anything nonzero beyond those is folded into one sticky
// digit, which is enough to round correctly (no double needs more than 767
// digits to decide its rounding). So a literal of any length costs a fixed
// buffer.
class DecimalBuilder {
public:
    explicit DecimalBuilder(LongDigits &digits)
        : m_digits(digits)
    {
    }

    // Leading zeros leave the mantissa 0 and so are not counted.
    void integerDigit(char32_t c)
    {
        const unsigned digit = digitValue(c);
        if (m_count < kMantissaDigits) {
            m_mantissa = m_mantissa * 10 + digit;
            m_count += m_mantissa != 0;
        } else if (m_count < kMaxDigits) {
            m_digits[m_count++] = static_cast<char>('0' + digit);
        } else {
            ++m_scale;
            m_sticky = m_sticky || digit != 0;
        }
    }

    void fractionDigit(char32_t c)
    {
        const unsigned digit = digitValue(c);
        if (m_count < kMantissaDigits) {
            m_mantissa = m_mantissa * 10 + digit;
            m_count += m_mantissa != 0;
            --m_scale;
        } else if (m_count < kMaxDigits) {
            m_digits[m_count++] = static_cast<char>('0' + digit);
            --m_scale;
        } else {
            m_sticky = m_sticky || digit != 0;
        }
    }

    void exponentDigit(char32_t c)
    {
        if (m_exponent < kExponentCap)
            m_exponent = m_exponent * 10 + digitValue(c);
    }

    void setNegativeExponent() { m_negativeExponent = true; }

    // ±infinity beyond the double range, ±0 below it. Writes the literal's
    // canonical form into the digits, so call it once.
    double value(bool negative) const
    {
        const long long exponent = m_scale + (m_negativeExponent ? -m_exponent : m_exponent);
        if (m_count <= kMantissaDigits)
            return decimalValue(negative, m_mantissa, exponent, m_digits);
        return preciseDecimal(negative, m_mantissa, m_count, exponent, m_sticky, m_digits);
    }

private:
    // An exponent saturates here, far beyond the digit count of any text
    // that fits in memory, so the scale can never pull it back into range.
    static constexpr long long kExponentCap = 100'000'000'000'000'000;

    LongDigits &m_digits;
    std::uint64_t m_mantissa = 0;
    std::size_t m_count = 0;
    long long m_scale = 0;
    long long m_exponent = 0;
    bool m_negativeExponent = false;
    bool m_sticky = false;
};

// An integer given in base 16 or 8, correctly rounded like any literal. Only
// its leading 61 to 64 bits are kept, with one sticky bit for whatever is
// nonzero below them: more than the 53 bits of a double and the one that
// decides the rounding, so the conversion of those 64 bits rounds as the
// whole integer would.
class RadixBuilder {
public:
    explicit RadixBuilder(int bitsPerDigit)
        : m_bitsPerDigit(bitsPerDigit)
    {
    }

    // False when c is not a digit of this base.
    bool digit(char32_t c)
    {
        const int value = hexValue(c);
        if (value < 0 || value >= (1 << m_bitsPerDigit))
            return false;
        if (m_leading >> (64 - m_bitsPerDigit) == 0) {
            m_leading = (m_leading << m_bitsPerDigit) | static_cast<unsigned>(value);
        } else {
            if (m_dropped < kDroppedCap)
                m_dropped += m_bitsPerDigit;
            m_sticky = m_sticky || value != 0;
        }
        return true;
    }

    // +infinity beyond the double range.
    double value() const { return std::ldexp(static_cast<double>(m_leading | (m_sticky ? 1u : 0u)), m_dropped); }

private:
    // Far beyond the double range, and small enough never to overflow.
    static constexpr int kDroppedCap = 4096;

    std::uint64_t m_leading = 0;
    int m_dropped = 0;
    int m_bitsPerDigit;
    bool m_sticky = false;
};

// Most texts are a plain literal of up to 19 digits, [sign] digits
// [decimal digits] [(E|e) [sign] digits] in ASCII and nothing else: those
// are read here in one pass over the units, with no decoding. Given a
// locale (the strict conversion), an ASCII grouping separator may stand
// between the integer digits where the locale's grouping puts it, as amounts
// in sheets have it ("12,345.67"). Anything else, blanks, full width, other
// separators and longer literals included, returns false, and the general
// reading decides it; for a plain literal both give the same value.
template <class Unit>
bool readPlain(std::basic_string_view<Unit> text, char32_t decimal, LongDigits &digits, double &value,
               const Separators *locale = nullptr)
{
    using Code = std::make_unsigned_t<Unit>;
    const Unit *p = text.data();
    const Unit *const end = p + text.size();
    const auto digitAt = [end](const Unit *at) { return at != end && static_cast<Code>(*at) - 0x30u < 10u; };
    const auto digitOf = [](const Unit *at) { return static_cast<Code>(*at) - 0x30u; };

    bool negative = false;
    if (p != end && (*p == Unit{'-'} || *p == Unit{'+'}))
        negative = *p++ == Unit{'-'};
    std::uint64_t mantissa = 0;
    const Unit *first = p;
    for (; digitAt(p); ++p)
        mantissa = mantissa * 10 + digitOf(p);
    auto count = static_cast<std::size_t>(p - first); // leading zeros too
    // An ASCII separator only: a UTF-8 byte is not a character.
    const char32_t grouping = locale != nullptr && fold(locale->grouping) < 0x80 && fold(locale->grouping) != decimal
                                  ? fold(locale->grouping)
                                  : kEnd;
    if (grouping != kEnd && grouping != 0 && count != 0 && p != end &&
        static_cast<char32_t>(static_cast<Code>(*p)) == grouping) {
        // Each group right of the leftmost has the locale's size, counted
        // from the decimal separator; the leftmost no more than its own.
        std::array<std::size_t, 8> groups{count};
        std::size_t groupCount = 1;
        while (p != end && static_cast<char32_t>(static_cast<Code>(*p)) == grouping && digitAt(p + 1)) {
            if (groupCount == groups.size())
                return false;
            first = ++p;
            for (; digitAt(p); ++p)
                mantissa = mantissa * 10 + digitOf(p);
            groups[groupCount++] = static_cast<std::size_t>(p - first);
            count += groups[groupCount - 1];
        }
        for (std::size_t i = 0; i < groupCount; ++i) {
            const std::size_t size = locale->groupSize(groupCount - 1 - i);
            if (i == 0 ? groups[i] > size : groups[i] != size)
                return false;
        }
    }
    long long exponent = 0;
    if (p != end && static_cast<char32_t>(static_cast<Code>(*p)) == decimal) {
        const Unit *const fraction = ++p;
        for (; digitAt(p); ++p)
            mantissa = mantissa * 10 + digitOf(p);
        exponent = fraction - p;
        count += static_cast<std::size_t>(p - fraction);
    }
    if (count == 0 || count > kMantissaDigits)
        return false;
    if (p != end && (*p == Unit{'E'} || *p == Unit{'e'})) {
        const bool negativeExponent = ++p != end && *p == Unit{'-'};
        if (p != end && (*p == Unit{'-'} || *p == Unit{'+'}))
            ++p;
        // Up to 9 exponent digits here; more, or none, are for the general
        // reading.
        const Unit *const exponentFirst = p;
        long long given = 0;
        for (; digitAt(p) && p - exponentFirst < 9; ++p)
            given = given * 10 + digitOf(p);
        if (p == exponentFirst)
            return false;
        exponent += negativeExponent ? -given : given;
    }
    if (p != end)
        return false;
    value = decimalValue(negative, mantissa, exponent, digits);
    return true;
}

template <class Unit>
double lenientReading(std::basic_string_view<Unit> text, bool *whole = nullptr)
{
    LongDigits digits;
    if (double plain = 0; readPlain(text, U'.', digits, plain)) {
        if (whole)
            *whole = true;
        return plain;
    }

    Cursor<Unit> in(text);
    // Whether the reading ran to the end of the text, told on every return.
    const auto stop = [&in, whole](double value) {
        if (whole)
            *whole = in.current() == kEnd;
        return value;
    };
    const auto next = [&in] {
        do
            in.advance();
        while (isLenientBlank(in.current()));
    };
    while (isLenientBlank(in.current()))
        in.advance();

    bool negative = false;
    if (in.current() == U'+' || in.current() == U'-') {
        negative = in.current() == U'-';
        next();
    }
    if (in.current() == U'&') {
        next();
        const char32_t kind = in.current() | 0x20; // 'H' and 'h', 'O' and 'o'
        if (kind != U'h' && kind != U'o')
            return stop(negative ? -0.0 : 0.0);
        RadixBuilder radix(kind == U'h' ? 4 : 3);
        next();
        while (radix.digit(in.current()))
            next();
        const double magnitude = radix.value();
        return stop(negative ? -magnitude : magnitude);
    }

    // Blanks are skipped wherever they stand, digits being the likelier.
    DecimalBuilder number(digits);
    bool anyDigit = false;
    for (;; in.advance()) {
        if (isDigit(in.current())) {
            number.integerDigit(in.current());
            anyDigit = true;
        } else if (!isLenientBlank(in.current())) {
            break;
        }
    }
    if (in.current() == U'.') {
        for (next();; in.advance()) {
            if (isDigit(in.current())) {
                number.fractionDigit(in.current());
                anyDigit = true;
            } else if (!isLenientBlank(in.current())) {
                break;
            }
        }
    }
    // "1.E3" has digits; ".E3" has none and stops.
    if (anyDigit && (in.current() == U'E' || in.current() == U'e')) {
        next();
        if (in.current() == U'+' || in.current() == U'-') {
            if (in.current() == U'-')
                number.setNegativeExponent();
            next();
        }
        for (;; in.advance()) {
            if (isDigit(in.current()))
                number.exponentDigit(in.current());
            else if (!isLenientBlank(in.current()))
                break;
        }
    }
    return stop(number.value(negative));
}

// Each group of the integer part, counted from the right, must have the
// locale's size; the leftmost may be shorter. "3500,5" is not 35005. The
// integer part runs from `in` to `end` and holds `separators` separators.
template <class Unit>
bool groupsFit(Cursor<Unit> in, const Unit *end, char32_t grouping, std::size_t separators, const Separators &locale)
{
    std::size_t group = separators;
    std::size_t digits = 0;
    for (; in.position() != end; in.advance()) {
        if (in.current() != grouping) {
            ++digits;
            continue;
        }
        if (group == separators ? digits > locale.groupSize(group) : digits != locale.groupSize(group))
            return false;
        --group;
        digits = 0;
    }
    return digits == locale.groupSize(0);
}

template <class Unit>
Result<double> strictConversion(std::basic_string_view<Unit> text, const Separators &separators)
{
    // A full-width separator stands for its ASCII form, whichever of the two
    // the locale names.
    const char32_t decimal = fold(separators.decimal);
    LongDigits digits;
    if (double plain = 0; readPlain(text, decimal, digits, plain, &separators)) {
        if (std::isinf(plain))
            return RunTimeError::Overflow;
        return plain;
    }

    Cursor<Unit> in(text);
    while (isStrictBlank(in.current()))
        in.advance();
    const char32_t grouping = fold(separators.grouping);
    const bool grouped = grouping != 0 && grouping != decimal;

    bool negative = false;
    if (in.current() == U'+' || in.current() == U'-') {
        negative = in.current() == U'-';
        in.advance();
    }

    DecimalBuilder number(digits);
    bool anyDigit = false;
    const Cursor<Unit> integerBegin = in;
    std::size_t groupingSeparators = 0;
    for (;;) {
        const char32_t c = in.current();
        if (isDigit(c)) {
            number.integerDigit(c);
            anyDigit = true;
            in.advance();
            continue;
        }
        if (!grouped || c != grouping || !anyDigit)
            break;
        Cursor<Unit> after = in;
        after.advance();
        if (!isDigit(after.current()))
            break;
        ++groupingSeparators;
        in = after;
    }
    if (groupingSeparators != 0 && !groupsFit(integerBegin, in.position(), grouping, groupingSeparators, separators))
        return RunTimeError::TypeMismatch;
    if (in.current() == decimal) {
        in.advance();
        while (isDigit(in.current())) {
            number.fractionDigit(in.current());
            anyDigit = true;
            in.advance();
        }
    }
    if (!anyDigit)
        return RunTimeError::TypeMismatch;
    if (in.current() == U'E' || in.current() == U'e') {
        in.advance();
        if (in.current() == U'+' || in.current() == U'-') {
            if (in.current() == U'-')
                number.setNegativeExponent();
            in.advance();
        }
        if (!isDigit(in.current()))
            return RunTimeError::TypeMismatch;
        while (isDigit(in.current())) {
            number.exponentDigit(in.current());
            in.advance();
        }
    }
    while (isStrictBlank(in.current()))
        in.advance();
    if (in.current() != kEnd)
        return RunTimeError::TypeMismatch;

    const double value = number.value(negative);
    if (std::isinf(value))
        return RunTimeError::Overflow;
    return value;
}

} // namespace

double readLenient(std::u16string_view text) { return lenientReading(text); }

double readLenient(std::string_view utf8) { return lenientReading(utf8); }

double readLenient(std::string_view utf8, bool &whole) { return lenientReading(utf8, &whole); }

Result<double> convertStrict(std::u16string_view text, Separators separators)
{
    return strictConversion(text, separators);
}

Result<double> convertStrict(std::string_view utf8, Separators separators)
{
    return strictConversion(utf8, separators);
}

template <class Unit>
void numberToText(double value, Separators separators, BasicNumberText<Unit> &out)
{
    if (!std::isfinite(value) || value == 0.0) {
        const std::string_view text = std::isnan(value) ? "NaN"
                                      : value == 0.0    ? "0"
                                      : value > 0       ? "Infinity"
                                                        : "-Infinity";
        out.setSize(0);
        for (const char c : text)
            out.append(static_cast<Unit>(c));
        return;
    }

    // Written where it stays, for UTF-8; beside it, to be widened, for
    // UTF-16.
    Unit *const units = out.data();
    static_assert(kFifteenDigitsRoom <= BasicNumberText<Unit>::kCapacity);
    std::array<char, BasicNumberText<Unit>::kCapacity> narrow;
    char *const written = sizeof(Unit) == 1 ? reinterpret_cast<char *>(units) : narrow.data();
    std::size_t length = writeFifteenDigits(value, written);
    if constexpr (sizeof(Unit) != 1) {
        for (std::size_t i = 0; i < length; ++i)
            units[i] = static_cast<unsigned char>(written[i]);
    }

    // The exponent form ends in "e+XX" or "e+XXX".
    for (const std::size_t back : {std::size_t{4}, std::size_t{5}}) {
        if (length > back && units[length - back] == Unit{'e'})
            units[length - back] = Unit{'E'};
    }
    if (separators.decimal != u'.') {
        const auto point = static_cast<std::size_t>(std::find(units, units + length, Unit{'.'}) - units);
        if constexpr (sizeof(Unit) == 1) {
            // A separator of up to three bytes still fits: 22 + 2 units.
            char separator[4];
            const std::size_t width = encodeUtf8(separators.decimal, separator);
            if (point < length) {
                std::memmove(units + point + width, units + point + 1, length - point - 1);
                std::memcpy(units + point, separator, width);
                length += width - 1;
            }
        } else if (point < length) {
            units[point] = separators.decimal;
        }
    }
    out.setSize(length);
}

template <class Unit>
BasicNumberText<Unit> numberToText(double value, Separators separators)
{
    BasicNumberText<Unit> out;
    numberToText(value, separators, out);
    return out;
}

template <class Unit>
BasicNumberText<Unit> integerToText(std::int16_t value)
{
    BasicNumberText<Unit> out;
    if (value < 0)
        out.append(Unit{'-'});
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::array<Unit, 5> reversed;
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<Unit>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
        out.append(reversed[--count]);
    return out;
}

template NumberText numberToText<char16_t>(double, Separators);
template Utf8NumberText numberToText<char>(double, Separators);
template void numberToText<char16_t>(double, Separators, NumberText &);
template void numberToText<char>(double, Separators, Utf8NumberText &);
template NumberText integerToText<char16_t>(std::int16_t);
template Utf8NumberText integerToText<char>(std::int16_t);

} // namespace iitcalc
