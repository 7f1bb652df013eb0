#include "calc/numeric_text.h"

#include "calc/utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace iitcalc {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A Chinese input method in full-width mode types the forms U+FF01..U+FF5E
// of the ASCII characters '!'..'~' (１２３，．－) and U+3000 for a blank; the
// readings see each as its ASCII counterpart.
char16_t fold(char16_t c)
{
    if (c < u'\u3000') [[likely]]
        return c;
    if (c >= u'\uFF01' && c <= u'\uFF5E')
        return static_cast<char16_t>(c - 0xFEE0);
    return c == u'\u3000' ? u' ' : c;
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Collects the digits of a decimal literal and turns them into the
// correctly rounded double. Only the first kMaxDigits significant digits are
// kept; anything nonzero beyond them is folded into one sticky digit, which
// is enough to round correctly (no double needs more than 767 digits to
// decide its rounding). So a literal of any length costs a fixed buffer.
class DecimalBuilder {
public:
    void integerDigit(char16_t c)
    {
        if (m_count == 0 && c == u'0')
            return;
        if (m_count < kMaxDigits) {
            m_digits[m_count++] = static_cast<char>(c);
        } else {
            ++m_scale;
            m_sticky = m_sticky || c != u'0';
        }
    }

    void fractionDigit(char16_t c)
    {
        if (m_count == 0 && c == u'0') {
            --m_scale;
            return;
        }
        if (m_count < kMaxDigits) {
            m_digits[m_count++] = static_cast<char>(c);
            --m_scale;
        } else {
            m_sticky = m_sticky || c != u'0';
        }
    }

    void exponentDigit(char16_t c)
    {
        if (m_exponent < kExponentCap)
            m_exponent = m_exponent * 10 + (c - u'0');
    }

    void setNegativeExponent() { m_negativeExponent = true; }
    bool hasDigits() const { return m_count != 0 || m_scale != 0; }

    // ±infinity beyond the double range, ±0 below it. Writes the literal's
    // canonical form after the digits, so call it once.
    double value(bool negative)
    {
        const double sign = negative ? -1.0 : 1.0;
        if (m_count == 0)
            return sign * 0.0;
        std::size_t length = m_count;
        long long exponent = m_scale + (m_negativeExponent ? -m_exponent : m_exponent);
        if (m_sticky) {
            m_digits[length++] = '1';
            --exponent;
        }
        // The value lies in [10^(order-1), 10^order).
        const long long order = static_cast<long long>(length) + exponent;
        if (order > 310)
            return sign * kInfinity;
        if (order < -330)
            return sign * 0.0;
        if (exponent != 0) {
            m_digits[length++] = 'e';
            length = static_cast<std::size_t>(
                std::to_chars(m_digits.data() + length, m_digits.data() + m_digits.size(), exponent).ptr -
                m_digits.data());
        }
        double magnitude = 0.0;
        const auto parsed = std::from_chars(m_digits.data(), m_digits.data() + length, magnitude);
        if (parsed.ec == std::errc::result_out_of_range)
            magnitude = order > 0 ? kInfinity : 0.0;
        return sign * magnitude;
    }

private:
    static constexpr std::size_t kMaxDigits = 800;
    // An exponent saturates here, far beyond the digit count of any text
    // that fits in memory, so the scale can never pull it back into range.
    static constexpr long long kExponentCap = 100'000'000'000'000'000;

    // Room for the sticky digit and an exponent after the kept digits; left
    // uninitialised on purpose, only the first m_count are ever read.
    std::array<char, kMaxDigits + 2 + 24> m_digits;
    std::size_t m_count = 0;
    long long m_scale = 0;
    long long m_exponent = 0;
    bool m_negativeExponent = false;
    bool m_sticky = false;
};

// An integer given in base 16 or 8, correctly rounded like any literal.
// Octal digits are regrouped into hexadecimal ones (four octal digits are
// three hexadecimal ones) so both go through the same exact conversion.
class RadixBuilder {
public:
    explicit RadixBuilder(int bitsPerDigit)
        : m_bitsPerDigit(bitsPerDigit)
    {
    }

    // False when c is not a digit of this base.
    bool digit(char16_t c)
    {
        const int value = hexValue(c);
        if (value < 0 || value >= (1 << m_bitsPerDigit))
            return false;
        if (m_count == 0 && value == 0)
            return true;
        if (m_count < m_digits.size())
            m_digits[m_count++] = static_cast<char>(value);
        else
            m_tooLong = true;
        return true;
    }

    double value() const
    {
        if (m_tooLong || m_count * static_cast<std::size_t>(m_bitsPerDigit) > kMaxHexDigits * 4)
            return kInfinity;
        std::array<char, kMaxHexDigits + 4> hex;
        std::size_t hexCount = 0;
        constexpr char kHexDigits[] = "0123456789abcdef";
        if (m_bitsPerDigit == 4) {
            for (std::size_t i = 0; i < m_count; ++i)
                hex[hexCount++] = kHexDigits[static_cast<unsigned char>(m_digits[i])];
        } else {
            const std::size_t padding = (4 - m_count % 4) % 4;
            unsigned group = 0;
            for (std::size_t i = 0; i < padding + m_count; ++i) {
                const unsigned digit = i < padding ? 0u : static_cast<unsigned char>(m_digits[i - padding]);
                group = (group << 3) | digit;
                if (i % 4 == 3) {
                    hex[hexCount++] = kHexDigits[(group >> 8) & 0xF];
                    hex[hexCount++] = kHexDigits[(group >> 4) & 0xF];
                    hex[hexCount++] = kHexDigits[group & 0xF];
                    group = 0;
                }
            }
        }
        if (hexCount == 0)
            return 0.0;
        double value = 0.0;
        const auto parsed = std::from_chars(hex.data(), hex.data() + hexCount, value, std::chars_format::hex);
        return parsed.ec == std::errc::result_out_of_range ? kInfinity : value;
    }

private:
    static constexpr std::size_t kMaxHexDigits = 260; // 1040 bits: beyond any double

    std::array<char, kMaxHexDigits * 2> m_digits;
    std::size_t m_count = 0;
    int m_bitsPerDigit;
    bool m_tooLong = false;
};

bool isLenientBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isStrictBlank(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

NumberText::NumberText(std::u16string_view text)
{
    m_size = static_cast<std::uint8_t>(std::min(text.size(), kCapacity));
    std::copy_n(text.begin(), m_size, m_units.begin());
}

std::string NumberText::utf8() const { return toUtf8(view()); }

double readLenient(std::u16string_view text)
{
    // One pass over the text; blanks are skipped whatever the state.
    enum class State { Start, AfterSign, Ampersand, Radix, Integer, Fraction, ExponentStart, ExponentSign, Exponent };
    State state = State::Start;
    bool negative = false;
    DecimalBuilder number;
    RadixBuilder radix(4);

    for (const char16_t unit : text) {
        const char16_t c = fold(unit);
        if (isLenientBlank(c))
            continue;
        switch (state) {
        case State::Start:
            if (c == u'+' || c == u'-') {
                negative = c == u'-';
                state = State::AfterSign;
                continue;
            }
            [[fallthrough]];
        case State::AfterSign:
            if (c == u'&') {
                state = State::Ampersand;
                continue;
            }
            [[fallthrough]];
        case State::Integer:
            if (isDigit(c)) {
                number.integerDigit(c);
                state = State::Integer;
                continue;
            }
            if (c == u'.') {
                state = State::Fraction;
                continue;
            }
            if ((c == u'E' || c == u'e') && state == State::Integer) {
                state = State::ExponentStart;
                continue;
            }
            break;
        case State::Fraction:
            if (isDigit(c)) {
                number.fractionDigit(c);
                continue;
            }
            // "1.E3" has digits; ".E3" has none and stops.
            if ((c == u'E' || c == u'e') && number.hasDigits()) {
                state = State::ExponentStart;
                continue;
            }
            break;
        case State::ExponentStart:
            if (c == u'+' || c == u'-') {
                if (c == u'-')
                    number.setNegativeExponent();
                state = State::ExponentSign;
                continue;
            }
            [[fallthrough]];
        case State::ExponentSign:
        case State::Exponent:
            if (isDigit(c)) {
                number.exponentDigit(c);
                state = State::Exponent;
                continue;
            }
            break;
        case State::Ampersand:
            if (c == u'H' || c == u'h' || c == u'O' || c == u'o') {
                radix = RadixBuilder(c == u'H' || c == u'h' ? 4 : 3);
                state = State::Radix;
                continue;
            }
            break;
        case State::Radix:
            if (radix.digit(c))
                continue;
            break;
        }
        break;
    }

    if (state == State::Radix) {
        const double magnitude = radix.value();
        return negative ? -magnitude : magnitude;
    }
    if (state == State::Ampersand)
        return negative ? -0.0 : 0.0;
    return number.value(negative);
}

Result<double> convertStrict(std::u16string_view text, Separators separators)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isStrictBlank(fold(text[begin])))
        ++begin;
    while (end > begin && isStrictBlank(fold(text[end - 1])))
        --end;

    // A full-width separator stands for its ASCII form, whichever of the two
    // the locale names.
    const char16_t decimal = fold(separators.decimal);
    const char16_t grouping = fold(separators.grouping);
    const bool grouped = grouping != 0 && grouping != decimal;

    std::size_t pos = begin;
    const auto at = [&](std::size_t i) { return i < end ? fold(text[i]) : u'\0'; };
    const auto digitAt = [&](std::size_t i) { return isDigit(at(i)); };

    bool negative = false;
    if (at(pos) == u'+' || at(pos) == u'-') {
        negative = at(pos) == u'-';
        ++pos;
    }

    DecimalBuilder number;
    bool anyDigit = false;
    const std::size_t integerBegin = pos;
    bool anyGroupingSeparator = false;
    while (pos < end) {
        const char16_t c = at(pos);
        if (isDigit(c)) {
            number.integerDigit(c);
            anyDigit = true;
            ++pos;
        } else if (grouped && c == grouping && pos > integerBegin && digitAt(pos + 1)) {
            anyGroupingSeparator = true;
            ++pos;
        } else {
            break;
        }
    }
    if (anyGroupingSeparator) {
        // Each group, counted from the right, must have the locale's size;
        // the leftmost may be shorter. "3500,5" is not 35005.
        std::size_t group = 0;
        std::size_t digits = 0;
        for (std::size_t i = pos; i-- > integerBegin;) {
            if (at(i) != grouping) {
                ++digits;
                continue;
            }
            if (digits != separators.groupSize(group))
                return RunTimeError::TypeMismatch;
            ++group;
            digits = 0;
        }
        if (digits > separators.groupSize(group))
            return RunTimeError::TypeMismatch;
    }
    if (pos < end && at(pos) == decimal) {
        ++pos;
        while (digitAt(pos)) {
            number.fractionDigit(at(pos));
            anyDigit = true;
            ++pos;
        }
    }
    if (!anyDigit)
        return RunTimeError::TypeMismatch;
    if (at(pos) == u'E' || at(pos) == u'e') {
        ++pos;
        if (at(pos) == u'+' || at(pos) == u'-') {
            if (at(pos) == u'-')
                number.setNegativeExponent();
            ++pos;
        }
        if (!digitAt(pos))
            return RunTimeError::TypeMismatch;
        while (digitAt(pos)) {
            number.exponentDigit(at(pos));
            ++pos;
        }
    }
    if (pos != end)
        return RunTimeError::TypeMismatch;

    const double value = number.value(negative);
    if (std::isinf(value))
        return RunTimeError::Overflow;
    return value;
}

NumberText numberToText(double value, Separators separators)
{
    if (std::isnan(value))
        return NumberText(u"NaN");
    if (std::isinf(value))
        return NumberText(value > 0 ? u"Infinity" : u"-Infinity");
    if (value == 0.0)
        return NumberText(u"0");

    // d.dddddddddddddde±X: the value rounded to 15 significant digits.
    std::array<char, 32> scientific{};
    const auto written = std::to_chars(scientific.data(), scientific.data() + scientific.size(), std::fabs(value),
                                       std::chars_format::scientific, 14);
    const char *ePos = std::find(scientific.data(), written.ptr, 'e');
    int exponent = 0;
    std::from_chars(ePos[1] == '+' ? ePos + 2 : ePos + 1, written.ptr, exponent);

    std::array<char, 15> digits{};
    std::size_t count = 0;
    for (const char *p = scientific.data(); p < ePos; ++p) {
        if (*p != '.')
            digits[count++] = *p;
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;

    NumberText out;
    const auto put = [&out](char16_t c) { out.append(c); };
    if (value < 0)
        put(u'-');

    if (exponent >= 15 || exponent < -4) {
        put(static_cast<char16_t>(digits[0]));
        if (count > 1) {
            put(separators.decimal);
            for (std::size_t i = 1; i < count; ++i)
                put(static_cast<char16_t>(digits[i]));
        }
        put(u'E');
        put(exponent < 0 ? u'-' : u'+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            put(u'0');
        std::array<char, 4> exponentDigits{};
        const auto end = std::to_chars(exponentDigits.data(), exponentDigits.data() + exponentDigits.size(), magnitude);
        for (const char *p = exponentDigits.data(); p < end.ptr; ++p)
            put(static_cast<char16_t>(*p));
    } else if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        for (std::size_t i = 0; i < integerDigits; ++i)
            put(i < count ? static_cast<char16_t>(digits[i]) : u'0');
        if (count > integerDigits) {
            put(separators.decimal);
            for (std::size_t i = integerDigits; i < count; ++i)
                put(static_cast<char16_t>(digits[i]));
        }
    } else {
        put(u'0');
        put(separators.decimal);
        for (int i = -1; i > exponent; --i)
            put(u'0');
        for (std::size_t i = 0; i < count; ++i)
            put(static_cast<char16_t>(digits[i]));
    }
    return out;
}

NumberText integerToText(std::int16_t value)
{
    NumberText out;
    if (value < 0)
        out.append(u'-');
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::array<char16_t, 5> reversed;
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
        out.append(reversed[--count]);
    return out;
}

} // namespace iitcalc
