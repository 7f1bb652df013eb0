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

    // ±infinity beyond the double range, ±0 below it.
    double value(bool negative) const
    {
        const double sign = negative ? -1.0 : 1.0;
        if (m_count == 0)
            return sign * 0.0;
        std::array<char, kMaxDigits + 2 + 24> buffer{};
        std::copy_n(m_digits.begin(), m_count, buffer.begin());
        std::size_t length = m_count;
        long long exponent = m_scale + (m_negativeExponent ? -m_exponent : m_exponent);
        if (m_sticky) {
            buffer[length++] = '1';
            --exponent;
        }
        // The value lies in [10^(order-1), 10^order).
        const long long order = static_cast<long long>(length) + exponent;
        if (order > 310)
            return sign * kInfinity;
        if (order < -330)
            return sign * 0.0;
        buffer[length++] = 'e';
        const auto written = std::to_chars(buffer.data() + length, buffer.data() + buffer.size(), exponent);
        double magnitude = 0.0;
        const auto parsed = std::from_chars(buffer.data(), written.ptr, magnitude);
        if (parsed.ec == std::errc::result_out_of_range)
            magnitude = order > 0 ? kInfinity : 0.0;
        return sign * magnitude;
    }

    bool empty() const { return m_count == 0; }

private:
    static constexpr std::size_t kMaxDigits = 800;
    static constexpr long long kExponentCap = 100'000'000;

    std::array<char, kMaxDigits> m_digits{};
    std::size_t m_count = 0;
    long long m_scale = 0;
    long long m_exponent = 0;
    bool m_negativeExponent = false;
    bool m_sticky = false;
};

// Walks field text for the lenient reading, stepping over the blanks that
// may stand anywhere in it.
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(std::u16string_view text) : m_text(text) { skipBlanks(); }

    char16_t peek() const { return m_pos < m_text.size() ? m_text[m_pos] : u'\0'; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    void advance()
    {
        ++m_pos;
        skipBlanks();
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t' || m_text[m_pos] == u'\n'))
            ++m_pos;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

// An integer given in base 16 or 8, correctly rounded like any literal.
// Octal digits are regrouped into hexadecimal ones (four octal digits are
// three hexadecimal ones) so both go through the same exact conversion.
double readRadixInteger(BlankSkippingCursor &cursor, int bitsPerDigit)
{
    constexpr std::size_t kMaxHexDigits = 260; // 1040 bits: beyond any double
    std::array<char, kMaxHexDigits * 2> digits{};
    std::size_t count = 0;
    bool tooLong = false;
    const int radix = 1 << bitsPerDigit;
    for (;;) {
        const int digit = hexValue(cursor.peek());
        if (cursor.atEnd() || digit < 0 || digit >= radix)
            break;
        cursor.advance();
        if (count == 0 && digit == 0)
            continue;
        if (count < digits.size())
            digits[count++] = static_cast<char>(digit);
        else
            tooLong = true;
    }
    if (tooLong || count * static_cast<std::size_t>(bitsPerDigit) > kMaxHexDigits * 4)
        return kInfinity;

    std::array<char, kMaxHexDigits + 4> hex{};
    std::size_t hexCount = 0;
    constexpr char kHexDigits[] = "0123456789abcdef";
    if (bitsPerDigit == 4) {
        for (std::size_t i = 0; i < count; ++i)
            hex[hexCount++] = kHexDigits[static_cast<unsigned char>(digits[i])];
    } else {
        const std::size_t padding = (4 - count % 4) % 4;
        unsigned group = 0;
        for (std::size_t i = 0; i < padding + count; ++i) {
            const unsigned digit = i < padding ? 0u : static_cast<unsigned char>(digits[i - padding]);
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
    if (parsed.ec == std::errc::result_out_of_range)
        return kInfinity;
    return value;
}

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
    BlankSkippingCursor cursor(text);
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        negative = cursor.peek() == u'-';
        cursor.advance();
    }

    if (!cursor.atEnd() && cursor.peek() == u'&') {
        cursor.advance();
        const char16_t prefix = cursor.peek();
        double magnitude = 0.0;
        if (prefix == u'H' || prefix == u'h') {
            cursor.advance();
            magnitude = readRadixInteger(cursor, 4);
        } else if (prefix == u'O' || prefix == u'o') {
            cursor.advance();
            magnitude = readRadixInteger(cursor, 3);
        }
        return negative ? -magnitude : magnitude;
    }

    DecimalBuilder number;
    bool anyDigit = false;
    while (!cursor.atEnd() && isDigit(cursor.peek())) {
        number.integerDigit(cursor.peek());
        anyDigit = true;
        cursor.advance();
    }
    if (!cursor.atEnd() && cursor.peek() == u'.') {
        cursor.advance();
        while (!cursor.atEnd() && isDigit(cursor.peek())) {
            number.fractionDigit(cursor.peek());
            anyDigit = true;
            cursor.advance();
        }
    }
    if (anyDigit && (cursor.peek() == u'E' || cursor.peek() == u'e')) {
        cursor.advance();
        if (cursor.peek() == u'+' || cursor.peek() == u'-') {
            if (cursor.peek() == u'-')
                number.setNegativeExponent();
            cursor.advance();
        }
        // "1E" and "1E+" read 1: without digits the exponent adds nothing.
        while (!cursor.atEnd() && isDigit(cursor.peek())) {
            number.exponentDigit(cursor.peek());
            cursor.advance();
        }
    }
    return number.value(negative);
}

Result<double> convertStrict(std::u16string_view text, Separators separators)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isStrictBlank(text[begin]))
        ++begin;
    while (end > begin && isStrictBlank(text[end - 1]))
        --end;

    std::size_t pos = begin;
    const auto at = [&](std::size_t i) { return i < end ? text[i] : u'\0'; };
    const auto digitAt = [&](std::size_t i) { return i < end && isDigit(text[i]); };

    bool negative = false;
    if (at(pos) == u'+' || at(pos) == u'-') {
        negative = at(pos) == u'-';
        ++pos;
    }

    DecimalBuilder number;
    bool anyDigit = false;
    while (pos < end) {
        const char16_t c = text[pos];
        if (isDigit(c)) {
            number.integerDigit(c);
            anyDigit = true;
            ++pos;
        } else if (separators.grouping != 0 && c == separators.grouping && c != separators.decimal && pos > begin
                   && isDigit(text[pos - 1]) && digitAt(pos + 1)) {
            ++pos;
        } else {
            break;
        }
    }
    if (pos < end && text[pos] == separators.decimal) {
        ++pos;
        while (digitAt(pos)) {
            number.fractionDigit(text[pos]);
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
            number.exponentDigit(text[pos]);
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

    std::array<char16_t, NumberText::kCapacity> out{};
    std::size_t n = 0;
    const auto put = [&](char16_t c) { out[n++] = c; };
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
    return NumberText(std::u16string_view(out.data(), n));
}

NumberText integerToText(std::int16_t value)
{
    std::array<char, 8> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::array<char16_t, 8> out{};
    std::size_t n = 0;
    for (const char *p = digits.data(); p < end.ptr; ++p)
        out[n++] = static_cast<char16_t>(*p);
    return NumberText(std::u16string_view(out.data(), n));
}

} // namespace iitcalc
