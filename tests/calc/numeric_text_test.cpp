#include "calc/numeric_text.h"
#include "calc/utf8.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>

namespace iitcalc {
namespace {

using namespace std::string_literals;

constexpr Separators kPoint{u'.', u','};
constexpr Separators kComma{u',', u'.'};
constexpr Separators kIndian{u'.', u',', {3, 2}};
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLargest = std::numeric_limits<double>::max();
constexpr auto kMismatch = RunTimeError::TypeMismatch;
constexpr auto kOverflow = RunTimeError::Overflow;

// Tells every double apart ("-0", "inf", 17 digits) and names an error.
std::string show(const Result<double> &result)
{
    if (!result)
        return "error " + std::to_string(errorNumber(result.error()));
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", *result);
    return text;
}

// One text, read both ways, from UTF-8 and from UTF-16 alike.
struct ReadingRow {
    const char *name;
    std::string text; // UTF-8, malformed on purpose in places
    double lenient;
    Result<double> strict;
    Separators separators = kPoint;
};
IITCALC_PRINTABLE_ROW(ReadingRow)

class Reading : public testing::TestWithParam<ReadingRow> {};

TEST_P(Reading, LenientReadsAPrefixStrictOnlyAWholeNumber)
{
    const ReadingRow &row = GetParam();
    const std::u16string wide = fromUtf8(row.text);
    EXPECT_EQ(show(readLenient(std::string_view(row.text))), show(row.lenient));
    EXPECT_EQ(show(readLenient(wide)), show(row.lenient));
    EXPECT_EQ(show(convertStrict(std::string_view(row.text), row.separators)), show(row.strict));
    EXPECT_EQ(show(convertStrict(wide, row.separators)), show(row.strict));
}

// 2^53 + 1, a tie between two doubles.
const std::string kTie = "9007199254740993";

const ReadingRow kReadingRows[] = {
    {"empty", "", 0, kMismatch},
    {"blanks_around", " \t3500 ", 3500, 3500},
    {"negative_fraction", "-3500.5", -3500.5, -3500.5},
    {"yuan_after", "3500元", 3500, kMismatch},
    {"two_points", "1.2.3", 1.2, kMismatch},
    {"exponent", "2.5e-1", 0.25, 0.25},
    {"exponent_without_digits", "7E+", 7, kMismatch},
    {"point_edges", ".5", 0.5, 0.5},
    {"double_sign", "--5", -0.0, kMismatch},
    {"nul_inside",
     "35\0"
     "00"s,
     35, kMismatch},
    // Blanks, tabs and line feeds go anywhere in a lenient reading, and a
    // carriage return stops it; only spaces and tabs around a strict one.
    {"blanks_anywhere", "- 1\t0\n0 0", -1000, kMismatch},
    {"carriage_return_stops", "1\r0", 1, kMismatch},
    {"line_feed_before", "\n3500", 3500, kMismatch},
    {"line_feed_after", "3500\n", 3500, kMismatch},
    // Only the strict conversion knows the grouping separator, and only
    // where the locale's grouping puts it: "3500,5" is not 35005.
    {"grouped", "3,500", 3, 3500},
    {"grouped_millions", "-1,000,000.5", -1, -1000000.5},
    {"comma_decimal_grouped", "3.500,25", 3.5, 3500.25, kComma},
    {"grouped_by_three_then_two", "12,34,567", 12, 1234567, kIndian},
    {"rest_ungrouped", "1234,567", 1234, 1234567, Separators{u'.', u',', {3, Separators::kRestUngrouped}}},
    {"non_ascii_grouping", "3\u00A0500,5", 3, 3500.5, Separators{u',', u'\u00A0'}},
    {"grouping_at_edge", ",500", 0, kMismatch},
    {"grouping_in_fraction", "1.2,3", 1.2, kMismatch},
    {"decimal_comma_in_point_locale", "3500,5", 3500, kMismatch},
    {"decimal_point_in_comma_locale", "3500.5", 3500.5, kMismatch, Separators{u',', 0}},
    {"group_too_short", "35,00", 35, kMismatch},
    {"group_too_long", "1,0000", 1, kMismatch},
    {"leftmost_group_too_long", "1234,567", 1234, kMismatch},
    {"inner_group_wrong", "1,00,000", 1, kMismatch},
    {"grouping_trailing", "3,500,", 3, kMismatch},
    {"by_three_where_three_then_two", "1,234,567", 1, kMismatch, kIndian},
    // Full-width forms and U+3000 read as their ASCII counterparts; U+FF00
    // is no full-width blank. Malformed UTF-8 reads as U+FFFD would.
    {"fullwidth", "\u3000－３，５００．５ｅ１ ", -3, -35005},
    {"fullwidth_forms", "－\u3000１２．５ｅ＋１元", -125, kMismatch},
    {"fullwidth_hex", "＆ｈＦｆＧ", 255, kMismatch},
    {"fullwidth_octal", "＆Ｏ１７", 15, kMismatch},
    {"near_fullwidth_stops", "1\uFF002", 1, kMismatch},
    {"invalid_byte",
     "1\xFF"
     "2",
     1, kMismatch},
    {"truncated_fullwidth", "1\xEF\xBC", 1, kMismatch},
    {"hex", "&H10", 16, kMismatch},
    {"hex_lower_signed", "-&hff", -255, kMismatch},
    {"octal_stops_at_8", "&O178", 15, kMismatch},
    {"octal_wide", "&O1777777777777777777777", 18446744073709551615.0, kMismatch},
    {"hex_rounds_to_even", "&H20000000000001", 9007199254740992.0, kMismatch},
    {"hex_far_bit_decides", "&H20000000000001" + std::string(40, '0') + "1", 9007199254740994.0 * 0x1p164, kMismatch},
    {"hex_beyond_double", "&H" + std::string(300, 'F'), kInf, kMismatch},
    {"beyond_double", "-1E400", -kInf, kOverflow},
    {"rounds_to_infinity", "1.79769313486232E308", kInf, kOverflow},
    {"huge_exponent", "1E999999999999999999999", kInf, kOverflow},
    {"below_double", "1E-400", 0, 0},
    {"subnormal", "4.9406564584124654E-324", 4.9406564584124654E-324, 4.9406564584124654E-324},
    // Longer than the 19 digits summed up, at both ends of the range.
    {"long_largest", "179769313486231570000E288", kLargest, kLargest},
    {"long_past_largest", "179769313486231590000E288", kInf, kOverflow},
    {"long_smallest", "49406564584124654000E-343", 4.9406564584124654E-324, 4.9406564584124654E-324},
    {"long_leading_zeros", std::string(25, '0') + "12.5", 12.5, 12.5},
    {"fraction_zeros", "0." + std::string(5000, '0') + "1E5001", 1, 1},
    // Beyond 2^53 a mantissa is not exact as a double: one rounding only.
    {"long_mantissa_scaled", "9007199254914689E2", 900719925491468900.0, 900719925491468900.0},
    // Digits beyond the 19 summed up decide the rounding, those kept as
    // they are and those beyond the 800 kept alike.
    {"kept_digit_decides_rounding", kTie + "0001E-4", 9007199254740994.0, 9007199254740994.0},
    {"far_digit_decides_rounding", kTie + std::string(1000, '0') + "1E-1001", 9007199254740994.0, 9007199254740994.0},
    {"far_zeros_keep_the_tie", kTie + std::string(1000, '0') + "E-1000", 9007199254740992.0, 9007199254740992.0},
    {"far_fraction_digit_decides_rounding", "0." + kTie + std::string(1000, '0') + "1E16", 9007199254740994.0,
     9007199254740994.0},
};
INSTANTIATE_TEST_SUITE_P(Rows, Reading, testing::ValuesIn(kReadingRows), testing_support::RowName());

struct TextRow {
    const char *name;
    double value;
    std::string expected; // UTF-8
    Separators separators = kPoint;
};
IITCALC_PRINTABLE_ROW(TextRow)

class NumberToText : public testing::TestWithParam<TextRow> {};

TEST_P(NumberToText, WritesFifteenSignificantDigitsWithTheLocaleDecimalSeparator)
{
    const TextRow &row = GetParam();
    EXPECT_EQ(toUtf8(numberToText(row.value, row.separators).view()), row.expected);
    EXPECT_EQ(numberToText<char>(row.value, row.separators).view(), row.expected);
}

const TextRow kTextRows[] = {
    {"integer", -3500, "-3500"},
    {"negative_zero", -0.0, "0"},
    {"rounds_to_15", 22495.004499999995, "22495.0045"},
    {"rounds_up_into_exponent", 999999999999999.9, "1E+15"},
    {"whole_at_exponent", 1E15, "1E+15"},
    {"exponent_mantissa", 1.5E300, "1.5E+300"},
    {"small_fixed", 0.0001, "0.0001"},
    {"small_exponent", 1.5E-7, "1.5E-07"},
    {"exponent_just_below_fixed", 5E-5, "5E-05"},
    {"largest", 1.7976931348623157E308, "1.79769313486232E+308"},
    {"smallest", 4.9406564584124654E-324, "4.94065645841247E-324"},
    {"infinity", -kInf, "-Infinity"},
    {"comma", 22495.0045, "22495,0045", kComma},
    {"comma_exponent", 1.5E300, "1,5E+300", kComma},
    // The longest text there is, with a separator of three UTF-8 bytes.
    {"fullwidth_longest", -1.2345678901234567E-308, "-1\uFF0E23456789012346E-308", Separators{u'\uFF0E', 0}},
    {"two_byte_separator", 0.5, "0\u066B5", Separators{u'\u066B', 0}},
};
INSTANTIATE_TEST_SUITE_P(Rows, NumberToText, testing::ValuesIn(kTextRows), testing_support::RowName());

#if defined(__cpp_lib_to_chars)
// The standard library's own 15-digit rounding is the reference: values of
// every size, and those where the rounding is hardest to get right (ties
// between two 15-digit texts, neighbours of powers of ten, sums of fen).
TEST(NumberToText, WritesWhatTheStandardLibraryWrites)
{
    std::mt19937_64 random(20261207);
    const auto expected = [](double value) {
        char text[32];
        std::string written(text, std::to_chars(text, text + 32, value, std::chars_format::general, 15).ptr);
        const auto e = written.find('e');
        if (e != std::string::npos)
            written[e] = 'E';
        return written;
    };
    for (int i = 0; i < 200'000; ++i) {
        double value = 0;
        switch (i % 4) {
        case 0: // any finite double
            do {
                const std::uint64_t bits = random();
                std::memcpy(&value, &bits, sizeof value);
            } while (!std::isfinite(value));
            break;
        case 1: // a 16th digit of exactly 5 after a whole number or half
            value = std::ldexp(static_cast<double>(2 * (random() % 2'000'000'000'000'000) + 1),
                               -static_cast<int>(random() % 4 + 1));
            break;
        case 2: { // beside a power of ten
            value = std::pow(10.0, static_cast<int>(random() % 26) - 10);
            for (auto step = random() % 4; step > 0; --step)
                value = std::nextafter(value, random() % 2 == 0 ? 0.0 : kInf);
            break;
        }
        default: // a tax on fen
            value = (static_cast<double>(random() % 100'000'000) / 100 - 3500) * 0.45 - 13505;
        }
        ASSERT_EQ(numberToText<char>(value, kPoint).view(), expected(value)) << std::hexfloat << value;
    }
}
#endif

TEST(IntegerToText, WritesDigitsAndSign)
{
    EXPECT_EQ(integerToText(3500), u"3500");
    EXPECT_EQ(integerToText(-32768), u"-32768");
}

TEST(HugeLiteral, TenDigitExponentOutweighsAHundredMillionDigits)
{
    // 200 MB of text, so built here rather than as rows, and each reading
    // takes one of the two (they share the exponent's handling).
    std::u16string text;
    text.reserve(100'000'013);
    text.append(u"1").append(100'000'000, u'0').append(u"E-1000000000");
    EXPECT_EQ(readLenient(text), 0);
    text.replace(0, 2, u"0.").replace(text.size() - 12, 12, u"1E1000000000"); // 0.00…01E1000000000
    EXPECT_EQ(show(convertStrict(text, kPoint)), "error 6");
}

TEST(NumericLocaleName, FirstSetOfAllNumericLang)
{
    const auto name = [](const std::map<std::string, std::string> &environment) {
        return std::string(numericLocaleName([&](const char *variable) -> const char * {
            const auto found = environment.find(variable);
            return found == environment.end() ? nullptr : found->second.c_str();
        }));
    };
    EXPECT_EQ(name({{"LC_MESSAGES", "de_DE.UTF-8"}}), "C");
    EXPECT_EQ(name({{"LC_ALL", "fr_FR.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}}), "fr_FR.UTF-8");
    EXPECT_EQ(name({{"LC_NUMERIC", "de_DE.UTF-8"}, {"LANG", "xx_XX.UTF-8"}, {"LC_MESSAGES", "bogus"}}), "de_DE.UTF-8");
    // Set but empty counts as unset.
    EXPECT_EQ(name({{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "zh_CN.UTF-8"}}), "zh_CN.UTF-8");
}

} // namespace
} // namespace iitcalc
