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

constexpr std::size_t kMaxDigits = 800;

// Collects the digits of a decimal literal into its canonical form, the
// significant digits and then "e" and the exponent, which fast_float turns
// into the correctly rounded double. Up to kMaxDigits significant digits are
// kept; anything nonzero beyond them is folded into one sticky digit, which
// is enough to round correctly (no double needs more than 767 digits to
// decide its rounding). So a literal of any length costs a fixed buffer.
class DecimalBuilder {
public:
    // Leading zeros are not significant.
    void integerDigit(char32_t c)
    {
        if (m_count < kMaxDigits) {
            if (m_count != 0 || c != U'0')
                m_digits[m_count++] = static_cast<char>(c);
        } else {
            ++m_scale;
            m_sticky = m_sticky || c != U'0';
        }
    }

    void fractionDigit(char32_t c)
    {
        if (m_count < kMaxDigits) {
            if (m_count != 0 || c != U'0')
                m_digits[m_count++] = static_cast<char>(c);
            --m_scale;
        } else {
            m_sticky = m_sticky || c != U'0';
        }
    }

    void exponentDigit(char32_t c)
    {
        if (m_exponent < kExponentCap)
            m_exponent = m_exponent * 10 + digitValue(c);
    }

    void setNegativeExponent() { m_negativeExponent = true; }

    // ±infinity beyond the double range, ±0 below it. Writes the exponent
    // after the digits, so call it once.
    double value(bool negative)
    {
        if (m_count == 0)
            return negative ? -0.0 : 0.0;
        long long exponent = m_scale + (m_negativeExponent ? -m_exponent : m_exponent);
        std::size_t length = m_count;
        if (m_sticky) {
            m_digits[length++] = '1';
            --exponent;
        }
        const double sign = negative ? -1.0 : 1.0;
        // The value lies in [10^(order-1), 10^order); beyond these bounds
        // the exponent would not even fit what fast_float reads.
        const long long order = static_cast<long long>(length) + exponent;
        if (order > 310)
            return sign * kInfinity;
        if (order < -330)
            return sign * 0.0;
        m_digits[length++] = 'e';
        length = static_cast<std::size_t>(
            std::to_chars(m_digits.data() + length, m_digits.data() + m_digits.size(), exponent).ptr - m_digits.data());
        double magnitude = 0.0;
        fast_float::from_chars(m_digits.data(), m_digits.data() + length, magnitude);
        return sign * magnitude;
    }

private:
    // An exponent saturates here, far beyond the digit count of any text
    // that fits in memory, so the scale can never pull it back into range.
    static constexpr long long kExponentCap = 100'000'000'000'000'000;

    // Left uninitialised on purpose: only what has been written is read.
    std::array<char, kMaxDigits + 1 + 24> m_digits;
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

// Most texts are a short literal as C writes it, [-] digits [point digits]
// [(E|e) [sign] digits], in ASCII: fast_float reads those as they stand,
// with no decoding and no copy (UTF-16 is narrowed first), and a leading
// '+' is stepped over. Both readings accept every such text with the value
// fast_float gives; whatever fast_float does not read to its end (blanks,
// full width, grouping, "&H", a longer text) returns false, and the reading
// decides it. Of what fast_float reads beyond that grammar, "inf" and "nan"
// end in a letter or ')' and are turned away by their last character.
// The longest text read as it stands: literals are short, and the copy a
// UTF-16 or grouped text needs stays on the stack.
constexpr std::size_t kAsItStandsLimit = 64;

template <class Unit>
bool readAsItStands(std::basic_string_view<Unit> text, char32_t decimal, double &value)
{
    if (text.empty() || text.size() > kAsItStandsLimit || decimal >= 0x80)
        return false;
    const char *first = nullptr;
    std::array<char, kAsItStandsLimit> narrow;
    if constexpr (sizeof(Unit) == 1) {
        first = text.data();
    } else {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] >= 0x80)
                return false;
            narrow[i] = static_cast<char>(text[i]);
        }
        first = narrow.data();
    }
    const char *const last = first + text.size();
    const char point = static_cast<char>(decimal);
    const auto startsNumber = [point](char c) { return (c >= '0' && c <= '9') || c == point; };
    if (!startsNumber(last[-1]))
        return false;
    if (*first == '+') {
        if (last - first < 2 || !startsNumber(first[1]))
            return false;
        ++first;
    }
    const auto read = fast_float::from_chars_advanced(
        first, last, value, fast_float::parse_options{fast_float::chars_format::general, point});
    return read.ptr == last && read.ec == std::errc();
}

template <class Unit>
double lenientReading(std::basic_string_view<Unit> text, bool *whole = nullptr)
{
    if (double plain = 0; readAsItStands(text, U'.', plain)) {
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
    DecimalBuilder number;
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

// An amount grouped as the locale groups it, in ASCII ("12,345.67", as
// sheets have them): its canonical form is the text without the grouping
// separators, read as it stands. False for anything else, a text grouped
// otherwise included, which the strict conversion then decides.
template <class Unit>
bool readGroupedAsItStands(std::basic_string_view<Unit> text, char32_t decimal, const Separators &locale, double &value)
{
    const char32_t grouping = fold(locale.grouping);
    if (text.size() > kAsItStandsLimit || grouping == 0 || grouping >= 0x80 || grouping == decimal)
        return false;
    std::array<char, kAsItStandsLimit> canonical;
    std::size_t length = 0;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == Unit{'-'} || text[i] == Unit{'+'}))
        canonical[length++] = static_cast<char>(text[i++]);
    const std::size_t integer = i;
    std::size_t separators = 0;
    for (; i < text.size() && static_cast<char32_t>(text[i]) != decimal; ++i) {
        const auto c = static_cast<char32_t>(text[i]);
        if (isDigit(c))
            canonical[length++] = static_cast<char>(c);
        else if (c == grouping && i != integer && i + 1 < text.size() && isDigit(static_cast<char32_t>(text[i + 1])))
            ++separators;
        else
            return false;
    }
    if (separators == 0 ||
        !groupsFit(Cursor<Unit>(text.substr(integer, i - integer)), text.data() + i, grouping, separators, locale))
        return false;
    for (; i < text.size(); ++i) {
        if (static_cast<char32_t>(text[i]) >= 0x80)
            return false;
        canonical[length++] = static_cast<char>(text[i]);
    }
    return readAsItStands(std::string_view(canonical.data(), length), decimal, value);
}

template <class Unit>
Result<double> strictConversion(std::basic_string_view<Unit> text, const Separators &separators)
{
    // A full-width separator stands for its ASCII form, whichever of the two
    // the locale names.
    const char32_t decimal = fold(separators.decimal);
    if (double plain = 0;
        readAsItStands(text, decimal, plain) || readGroupedAsItStands(text, decimal, separators, plain)) {
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

    DecimalBuilder number;
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
