#include "calc/numeric_text.h"
#include "calc/utf8.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>

namespace iitcalc {
namespace {

constexpr Separators kPoint{u'.', u','};
constexpr Separators kComma{u',', u'.'};
constexpr Separators kIndian{u'.', u',', {3, 2}};
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string show(std::u16string_view text) { return std::string(text.begin(), text.end()); }

struct LenientRow {
    const char *name;
    std::u16string text;
    double expected;
};
IITCALC_PRINTABLE_ROW(LenientRow)

class LenientReading : public testing::TestWithParam<LenientRow> {};

// Every row reads the same from UTF-16 and from UTF-8.
TEST_P(LenientReading, ReadsAsMuchAsMakesANumber)
{
    for (const double value : {readLenient(GetParam().text), readLenient(std::string_view(toUtf8(GetParam().text)))}) {
        EXPECT_EQ(value, GetParam().expected) << show(GetParam().text);
        EXPECT_EQ(std::signbit(value), std::signbit(GetParam().expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LenientReading,
    testing::Values(LenientRow{"empty", u"", 0}, LenientRow{"letters", u"abc", 0},
                    LenientRow{"unit_after", u"  12.5kg", 12.5}, LenientRow{"negative", u"-200", -200},
                    LenientRow{"two_points", u"1.2.3", 1.2}, LenientRow{"comma_stops", u"1,000", 1},
                    LenientRow{"yuan_stops", u"3500元", 3500}, LenientRow{"blanks_anywhere", u"- 1\t0\n0 0", -1000},
                    LenientRow{"carriage_return_stops", u"1\r0", 1}, LenientRow{"exponent", u"2.5e-1", 0.25},
                    LenientRow{"exponent_without_digits", u"7E+", 7},
                    LenientRow{"exponent_without_mantissa", u".E5", 0}, LenientRow{"point_edges", u".5", 0.5},
                    LenientRow{"double_sign", u"--5", -0.0}, LenientRow{"fullwidth_digits", u"１００００", 10000},
                    LenientRow{"fullwidth_forms", u"－\u3000１２．５ｅ＋１元", -125},
                    LenientRow{"fullwidth_hex", u"＆ｈＦｆＧ", 255}, LenientRow{"fullwidth_octal", u"＆Ｏ１７", 15},
                    LenientRow{"fullwidth_comma_stops", u"１，０００", 1},
                    // U+FF00 is no full-width blank, U+00A0 no blank at all.
                    LenientRow{"near_fullwidth_stops", u"1\uFF002", 1}, LenientRow{"nbsp_stops", u"1\u00A02", 1},
                    LenientRow{"hex", u"&H10", 16}, LenientRow{"hex_lower_signed", u"-&hff", -255},
                    LenientRow{"octal_stops_at_8", u"&O178", 15}, LenientRow{"radix_without_digits", u"&H", 0},
                    LenientRow{"hex_wide", u"&HFFFFFFFF", 4294967295.0},
                    LenientRow{"octal_wide", u"&O1777777777777777777777", 18446744073709551615.0},
                    LenientRow{"hex_beyond_double", u"&H" + std::u16string(300, u'F'), kInf},
                    LenientRow{"beyond_double", u"-1E400", -kInf}, LenientRow{"below_double", u"1E-400", 0},
                    LenientRow{"huge_exponent", u"1E999999999999999999999", kInf},
                    LenientRow{"million_digits", std::u16string(1000000, u'9'), kInf},
                    LenientRow{"fraction_zeros", u"0." + std::u16string(5000, u'0') + u"1E5001", 1},
                    // Only a digit far beyond the kept ones lifts 2^53 + 1 off its tie.
                    LenientRow{"far_digit_decides_rounding",
                               u"9007199254740993" + std::u16string(1000, u'0') + u"1E-1001", 9007199254740994.0},
                    LenientRow{"far_zeros_keep_the_tie", u"9007199254740993" + std::u16string(1000, u'0') + u"E-1000",
                               9007199254740992.0},
                    LenientRow{"far_fraction_digit_decides_rounding",
                               u"0.9007199254740993" + std::u16string(1000, u'0') + u"1E16", 9007199254740994.0},
                    LenientRow{"twenty_digits", u"12345678901234567890", 12345678901234567890.0},
                    // Beyond 2^53 a mantissa is not exact as a double: one rounding only.
                    LenientRow{"long_mantissa_scaled", u"9007199254914689E2", 900719925491468900.0},
                    LenientRow{"subnormal", u"4.9406564584124654E-324", 4.9406564584124654E-324},
                    LenientRow{"hex_rounds_to_even", u"&H20000000000001", 9007199254740992.0},
                    LenientRow{"hex_far_bit_decides", u"&H20000000000001" + std::u16string(40, u'0') + u"1",
                               9007199254740994.0 * 0x1p164},
                    LenientRow{"octal_beyond_double", u"&O2" + std::u16string(342, u'0'), kInf}),
    testing_support::RowName());

struct StrictRow {
    const char *name;
    std::u16string text;
    Separators separators;
    double expected;
    std::optional<RunTimeError> error = {};
};
IITCALC_PRINTABLE_ROW(StrictRow)

class StrictConversion : public testing::TestWithParam<StrictRow> {};

// Every row converts the same from UTF-16 and from UTF-8.
TEST_P(StrictConversion, AcceptsOnlyAWholeNumber)
{
    const StrictRow &row = GetParam();
    for (const Result<double> &result :
         {convertStrict(row.text, row.separators), convertStrict(std::string_view(toUtf8(row.text)), row.separators)}) {
        if (row.error) {
            ASSERT_FALSE(result.ok()) << show(row.text) << " gave " << result.value();
            EXPECT_EQ(result.error(), *row.error);
        } else {
            ASSERT_TRUE(result.ok()) << show(row.text) << " failed with " << errorNumber(result.error());
            EXPECT_EQ(*result, row.expected);
        }
    }
}

constexpr auto kMismatch = RunTimeError::TypeMismatch;
constexpr auto kOverflow = RunTimeError::Overflow;

INSTANTIATE_TEST_SUITE_P(
    Rows, StrictConversion,
    testing::Values(
        StrictRow{"plain", u"3500", kPoint, 3500}, StrictRow{"blanks_around", u" \t3500 ", kPoint, 3500},
        StrictRow{"fraction", u"-3500.5", kPoint, -3500.5}, StrictRow{"grouped", u"3,500", kPoint, 3500},
        StrictRow{"grouped_millions", u"-1,000,000.5", kPoint, -1000000.5},
        StrictRow{"exponent", u"35e-1", kPoint, 3.5}, StrictRow{"point_edges", u".5", kPoint, 0.5},
        StrictRow{"below_double", u"1E-400", kPoint, 0},
        StrictRow{"comma_decimal_grouped", u"3.500,25", kComma, 3500.25},
        StrictRow{"grouped_by_three_then_two", u"12,34,567", kIndian, 1234567},
        StrictRow{"rest_ungrouped", u"1234,567", Separators{u'.', u',', {3, Separators::kRestUngrouped}}, 1234567},
        StrictRow{"non_ascii_grouping", u"3\u00A0500,5", Separators{u',', u'\u00A0'}, 3500.5},
        StrictRow{"fullwidth", u"\u3000－３，５００．５ｅ１ ", kPoint, -35005},
        StrictRow{"fullwidth_comma_locale", u"３．５００，２５", kComma, 3500.25},
        StrictRow{"empty", u"", kPoint, 0, kMismatch}, StrictRow{"blanks_only", u"   ", kPoint, 0, kMismatch},
        StrictRow{"letters", u"abc", kPoint, 0, kMismatch}, StrictRow{"yuan_after", u"3500元", kPoint, 0, kMismatch},
        StrictRow{"blank_inside", u"35 00", kPoint, 0, kMismatch}, StrictRow{"sign_alone", u"-", kPoint, 0, kMismatch},
        StrictRow{"two_points", u"1.2.3", kPoint, 0, kMismatch},
        StrictRow{"grouping_at_edge", u",3500", kPoint, 0, kMismatch},
        StrictRow{"grouping_doubled", u"3,,500", kPoint, 0, kMismatch},
        StrictRow{"grouping_in_fraction", u"1.2,3", kPoint, 0, kMismatch},
        // A grouping separator only where the locale's grouping puts it.
        StrictRow{"decimal_comma_in_point_locale", u"3500,5", kPoint, 0, kMismatch},
        StrictRow{"decimal_point_in_comma_locale", u"3500.5", kComma, 0, kMismatch},
        StrictRow{"fullwidth_misplaced", u"３５００，５", kPoint, 0, kMismatch},
        StrictRow{"group_too_short", u"35,00", kPoint, 0, kMismatch},
        StrictRow{"group_too_long", u"1,0000", kPoint, 0, kMismatch},
        StrictRow{"leftmost_group_too_long", u"1234,567", kPoint, 0, kMismatch},
        StrictRow{"inner_group_wrong", u"1,00,000", kPoint, 0, kMismatch},
        StrictRow{"grouping_trailing", u"3,500,", kPoint, 0, kMismatch},
        StrictRow{"by_three_where_three_then_two", u"1,234,567", kIndian, 0, kMismatch},
        StrictRow{"locale_without_grouping", u"3,500", Separators{u'.', 0}, 0, kMismatch},
        StrictRow{"exponent_without_digits", u"1E", kPoint, 0, kMismatch},
        // A line feed is no blank here, before the number or after it.
        StrictRow{"line_feed_before", u"\n3500", kPoint, 0, kMismatch},
        StrictRow{"line_feed_after", u"3500\n", kPoint, 0, kMismatch}, StrictRow{"hex", u"&H10", kPoint, 0, kMismatch},
        StrictRow{"nul_inside",
                  std::u16string(u"35\0"
                                 u"00",
                                 5),
                  kPoint, 0, kMismatch},
        StrictRow{"beyond_double", u"-1E309", kPoint, 0, kOverflow},
        StrictRow{"rounds_to_infinity", u"1.79769313486232E308", kPoint, 0, kOverflow}),
    testing_support::RowName());

struct TextRow {
    const char *name;
    double value;
    std::u16string expected;
};
IITCALC_PRINTABLE_ROW(TextRow)

class NumberToText : public testing::TestWithParam<TextRow> {};

TEST_P(NumberToText, WritesFifteenSignificantDigits)
{
    EXPECT_EQ(show(numberToText(GetParam().value, kPoint).view()), show(GetParam().expected));
    EXPECT_EQ(numberToText<char>(GetParam().value, kPoint).view(), toUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberToText,
    testing::Values(TextRow{"integer", -3500, u"-3500"}, TextRow{"negative_zero", -0.0, u"0"},
                    TextRow{"rounds_to_15", 22495.004499999995, u"22495.0045"}, TextRow{"sum", 0.1 + 0.2, u"0.3"},
                    TextRow{"product", 1234.56 * 0.03, u"37.0368"}, TextRow{"below_one", -0.25, u"-0.25"},
                    TextRow{"just_below_exponent", 999999999999999, u"999999999999999"},
                    TextRow{"rounds_up_into_exponent", 999999999999999.9, u"1E+15"},
                    TextRow{"whole_at_exponent", 1E15, u"1E+15"},
                    TextRow{"whole_negative_largest", -999999999999999, u"-999999999999999"},
                    TextRow{"exponent_mantissa", 1.5E300, u"1.5E+300"},
                    TextRow{"sixteen_digits", 1234567890123456, u"1.23456789012346E+15"},
                    TextRow{"small_fixed", 0.0001, u"0.0001"}, TextRow{"small_exponent", 1.5E-7, u"1.5E-07"},
                    TextRow{"exponent_just_below_fixed", 5E-5, u"5E-05"},
                    TextRow{"largest_exponent_form_below", 9.99999999999999E-5, u"9.99999999999999E-05"},
                    TextRow{"rounds_up_into_fixed", 0.00009999999999999999, u"0.0001"},
                    TextRow{"largest", 1.7976931348623157E308, u"1.79769313486232E+308"},
                    TextRow{"smallest", 4.9406564584124654E-324, u"4.94065645841247E-324"},
                    TextRow{"infinity", -kInf, u"-Infinity"}),
    testing_support::RowName());

TEST(NumberToText, UsesTheLocaleDecimalSeparatorAndNoGrouping)
{
    EXPECT_EQ(numberToText(22495.0045, kComma), u"22495,0045");
    EXPECT_EQ(numberToText(1.5E300, kComma), u"1,5E+300");
    EXPECT_EQ(numberToText(1234567.5, kPoint), u"1234567.5");
    EXPECT_EQ(numberToText<char>(22495.0045, kComma).view(), "22495,0045");
    // The longest text there is, with a separator of three UTF-8 bytes.
    const Separators fullWidth{u'\uFF0E', 0};
    EXPECT_EQ(numberToText(-1.2345678901234567E-308, fullWidth), u"-1\uFF0E23456789012346E-308");
    EXPECT_EQ(numberToText<char>(-1.2345678901234567E-308, fullWidth).view(), "-1\uFF0E23456789012346E-308");
    EXPECT_EQ(numberToText<char>(0.5, Separators{u'\u066B', 0}).view(), "0\u066B5");
}

// Malformed UTF-8 reads as U+FFFD would; well-formed full-width forms read
// as their ASCII counterparts.
struct Utf8Row {
    const char *name;
    std::string text;
    double lenient;
    std::optional<double> strict; // nothing: type mismatch
};
IITCALC_PRINTABLE_ROW(Utf8Row)

class Utf8Reading : public testing::TestWithParam<Utf8Row> {};

TEST_P(Utf8Reading, SeesWhatTheUtf16TextWouldHold)
{
    const Utf8Row &row = GetParam();
    const std::u16string wide = fromUtf8(row.text);
    EXPECT_EQ(readLenient(std::string_view(row.text)), row.lenient);
    EXPECT_EQ(readLenient(wide), row.lenient);
    const Result<double> strict = convertStrict(std::string_view(row.text), kPoint);
    EXPECT_EQ(strict.ok(), row.strict.has_value());
    if (strict.ok() && row.strict) {
        EXPECT_EQ(*strict, *row.strict);
    }
    EXPECT_EQ(convertStrict(wide, kPoint).ok(), row.strict.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Utf8Reading,
    testing::Values(Utf8Row{"fullwidth", "\xEF\xBC\x8D\xEF\xBC\x91\xEF\xBC\x90\xE3\x80\x80", -10, -10},
                    Utf8Row{"invalid_byte",
                            "1\xFF"
                            "2",
                            1,
                            {}},
                    Utf8Row{"truncated_fullwidth", "1\xEF\xBC", 1, {}}, Utf8Row{"overlong_digit", "\xC0\xB5", 0, {}},
                    Utf8Row{"encoded_surrogate", "7\xED\xA0\x80", 7, {}},
                    Utf8Row{"beyond_unicode", "7\xF4\x90\x80\x80", 7, {}},
                    Utf8Row{"stray_continuation_after", "3500\x80", 3500, {}}),
    testing_support::RowName());

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
    const Result<double> large = convertStrict(text, kPoint);
    ASSERT_FALSE(large.ok());
    EXPECT_EQ(large.error(), kOverflow);
}

struct LocaleNameRow {
    const char *name;
    std::map<std::string, std::string> environment;
    std::string expected;
};
IITCALC_PRINTABLE_ROW(LocaleNameRow)

class NumericLocaleName : public testing::TestWithParam<LocaleNameRow> {};

TEST_P(NumericLocaleName, FirstSetOfAllNumericLang)
{
    const auto &environment = GetParam().environment;
    EXPECT_EQ(numericLocaleName([&](const char *variable) -> const char * {
                  const auto found = environment.find(variable);
                  return found == environment.end() ? nullptr : found->second.c_str();
              }),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumericLocaleName,
    testing::Values(
        LocaleNameRow{"none_set", {{"LC_MESSAGES", "de_DE.UTF-8"}}, "C"},
        LocaleNameRow{"all_first", {{"LC_ALL", "fr_FR.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}}, "fr_FR.UTF-8"},
        LocaleNameRow{"numeric_before_missing_lang",
                      {{"LC_NUMERIC", "de_DE.UTF-8"}, {"LANG", "xx_XX.UTF-8"}, {"LC_MESSAGES", "bogus"}},
                      "de_DE.UTF-8"},
        LocaleNameRow{
            "empty_counts_as_unset", {{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "zh_CN.UTF-8"}}, "zh_CN.UTF-8"}),
    testing_support::RowName());

} // namespace
} // namespace iitcalc
