#include "calc/numeric_text.h"

#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace iitcalc {
namespace {

constexpr Separators kPoint{u'.', u','};
constexpr Separators kComma{u',', u'.'};
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string show(std::u16string_view text) { return std::string(text.begin(), text.end()); }

struct LenientRow {
    const char *name;
    std::u16string text;
    double expected;
};
IITCALC_PRINTABLE_ROW(LenientRow)

class LenientReading : public testing::TestWithParam<LenientRow> {};

TEST_P(LenientReading, ReadsAsMuchAsMakesANumber)
{
    const double value = readLenient(GetParam().text);
    EXPECT_EQ(value, GetParam().expected) << show(GetParam().text);
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().expected)) << show(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, LenientReading,
    testing::Values(
        LenientRow{"empty", u"", 0}, LenientRow{"letters", u"abc", 0}, LenientRow{"unit_after", u"  12.5kg", 12.5},
        LenientRow{"negative", u"-200", -200}, LenientRow{"two_points", u"1.2.3", 1.2},
        LenientRow{"hex", u"&H10", 16}, LenientRow{"hex_lower", u"&hff", 255}, LenientRow{"octal", u"&O17", 15},
        LenientRow{"octal_stops_at_8", u"&O178", 15}, LenientRow{"hex_no_digits", u"&H", 0},
        LenientRow{"ampersand_alone", u"&", 0}, LenientRow{"ampersand_other", u"&X1", 0},
        LenientRow{"signed_hex", u"-&H10", -16}, LenientRow{"hex_wide", u"&HFFFFFFFF", 4294967295.0},
        LenientRow{"hex_beyond_double", u"&H" + std::u16string(300, u'F'), kInf},
        LenientRow{"octal_wide", u"&O1777777777777777777777", 18446744073709551615.0},
        LenientRow{"comma_stops", u"1,000", 1}, LenientRow{"yuan_stops", u"3500元", 3500},
        LenientRow{"letters_stop", u"8000abc", 8000}, LenientRow{"blanks_inside", u"1 000", 1000},
        LenientRow{"tab_and_newline", u"\t1\n0\t0 ", 100}, LenientRow{"blank_after_sign", u"- 2 0 0", -200},
        LenientRow{"carriage_return_stops", u"1\r0", 1}, LenientRow{"exponent", u"1E3", 1000},
        LenientRow{"exponent_lower", u"2.5e-1", 0.25}, LenientRow{"exponent_plus", u"1E+2", 100},
        LenientRow{"exponent_without_digits", u"1E", 1}, LenientRow{"exponent_sign_only", u"7e-", 7},
        LenientRow{"exponent_alone", u"E5", 0}, LenientRow{"leading_point", u".5", 0.5},
        LenientRow{"trailing_point", u"5.", 5}, LenientRow{"point_alone", u".", 0},
        LenientRow{"point_then_exponent", u".E5", 0}, LenientRow{"plus", u"+7", 7},
        LenientRow{"lone_sign", u"-", -0.0}, LenientRow{"double_sign", u"--5", -0.0},
        LenientRow{"negative_zero", u"-0", -0.0}, LenientRow{"fullwidth_digits", u"１２３", 0},
        LenientRow{"beyond_double", u"1E400", kInf}, LenientRow{"negative_beyond", u"-1E400", -kInf},
        LenientRow{"below_double", u"1E-400", 0}, LenientRow{"smallest_subnormal", u"4.9406564584124654E-324", 4.9406564584124654E-324},
        LenientRow{"huge_exponent", u"1E999999999999999999999", kInf},
        LenientRow{"many_digits", std::u16string(100000, u'9'), kInf},
        LenientRow{"many_leading_zeros", std::u16string(5000, u'0') + u"42", 42},
        LenientRow{"many_fraction_zeros", u"0." + std::u16string(5000, u'0') + u"1E5001", 1},
        LenientRow{"fraction_decides_rounding", u"9007199254740993" + std::u16string(1000, u'0') + u"1E-1001",
                   9007199254740994.0},
        LenientRow{"decimal_comma_ignored", u"12,5", 12}),
    testing_support::RowName());

struct StrictRow {
    const char *name;
    std::u16string text;
    Separators separators;
    double expected; // when ok
    std::optional<RunTimeError> error;
};
IITCALC_PRINTABLE_ROW(StrictRow)

class StrictConversion : public testing::TestWithParam<StrictRow> {};

TEST_P(StrictConversion, AcceptsOnlyAWholeNumber)
{
    const StrictRow &row = GetParam();
    const Result<double> result = convertStrict(row.text, row.separators);
    if (row.error) {
        ASSERT_FALSE(result.ok()) << show(row.text) << " gave " << result.value();
        EXPECT_EQ(result.error(), *row.error);
    } else {
        ASSERT_TRUE(result.ok()) << show(row.text) << " failed with " << errorNumber(result.error());
        EXPECT_EQ(*result, row.expected);
    }
}

constexpr auto kMismatch = RunTimeError::TypeMismatch;
constexpr auto kOverflow = RunTimeError::Overflow;

INSTANTIATE_TEST_SUITE_P(Rows, StrictConversion,
    testing::Values(
        StrictRow{"plain", u"3500", kPoint, 3500, {}}, StrictRow{"blanks_around", u" 3500 ", kPoint, 3500, {}},
        StrictRow{"tabs_around", u"\t3500\t", kPoint, 3500, {}}, StrictRow{"fraction", u"3500.5", kPoint, 3500.5, {}},
        StrictRow{"negative", u"-3500", kPoint, -3500, {}}, StrictRow{"plus", u"+1", kPoint, 1, {}},
        StrictRow{"grouped", u"3,500", kPoint, 3500, {}}, StrictRow{"grouped_loosely", u"35,00", kPoint, 3500, {}},
        StrictRow{"exponent", u"3.5E3", kPoint, 3500, {}}, StrictRow{"exponent_signed", u"35e-1", kPoint, 3.5, {}},
        StrictRow{"leading_point", u".5", kPoint, 0.5, {}}, StrictRow{"trailing_point", u"5.", kPoint, 5, {}},
        StrictRow{"below_double", u"1E-400", kPoint, 0, {}},
        StrictRow{"largest", u"1.7976931348623157E308", kPoint, 1.7976931348623157E308, {}},
        StrictRow{"comma_decimal", u"3500,5", kComma, 3500.5, {}},
        StrictRow{"comma_decimal_grouped", u"3.500,25", kComma, 3500.25, {}},
        StrictRow{"no_grouping_locale", u"3500.5", Separators{u'.', 0}, 3500.5, {}},
        StrictRow{"empty", u"", kPoint, 0, kMismatch}, StrictRow{"blanks_only", u"   ", kPoint, 0, kMismatch},
        StrictRow{"letters", u"abc", kPoint, 0, kMismatch}, StrictRow{"yuan_after", u"3500元", kPoint, 0, kMismatch},
        StrictRow{"blank_inside", u"35 00", kPoint, 0, kMismatch}, StrictRow{"sign_alone", u"-", kPoint, 0, kMismatch},
        StrictRow{"point_alone", u".", kPoint, 0, kMismatch}, StrictRow{"two_points", u"1.2.3", kPoint, 0, kMismatch},
        StrictRow{"grouping_leading", u",3500", kPoint, 0, kMismatch},
        StrictRow{"grouping_trailing", u"3500,", kPoint, 0, kMismatch},
        StrictRow{"grouping_doubled", u"3,,500", kPoint, 0, kMismatch},
        StrictRow{"grouping_in_fraction", u"1.2,3", kPoint, 0, kMismatch},
        StrictRow{"grouping_absent_in_locale", u"3,500", Separators{u'.', 0}, 0, kMismatch},
        StrictRow{"point_in_comma_locale", u"3500.5", kComma, 35005, {}},
        StrictRow{"exponent_without_digits", u"1E", kPoint, 0, kMismatch},
        StrictRow{"exponent_alone", u"E5", kPoint, 0, kMismatch}, StrictRow{"hex", u"&H10", kPoint, 0, kMismatch},
        StrictRow{"fullwidth", u"３５００", kPoint, 0, kMismatch},
        StrictRow{"nul_inside", std::u16string(u"35\0" u"00", 5), kPoint, 0, kMismatch},
        StrictRow{"beyond_double", u"1E309", kPoint, 0, kOverflow},
        StrictRow{"negative_beyond", u"-1E309", kPoint, 0, kOverflow},
        StrictRow{"many_digits", std::u16string(400, u'9'), kPoint, 0, kOverflow},
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
}

INSTANTIATE_TEST_SUITE_P(Rows, NumberToText,
    testing::Values(
        TextRow{"integer", 5500, u"5500"}, TextRow{"negative", -3500, u"-3500"}, TextRow{"zero", 0, u"0"},
        TextRow{"negative_zero", -0.0, u"0"}, TextRow{"rounds_to_15", 22495.004499999995, u"22495.0045"},
        TextRow{"point_one_plus_point_two", 0.1 + 0.2, u"0.3"}, TextRow{"product", 1234.56 * 0.03, u"37.0368"},
        TextRow{"difference", 1500.01 * 0.1 - 105, u"45.001"}, TextRow{"half", 0.5, u"0.5"},
        TextRow{"negative_fraction", -0.25, u"-0.25"}, TextRow{"fifteen_digits", 123456789012345, u"123456789012345"},
        TextRow{"just_below_exponent", 999999999999999, u"999999999999999"},
        TextRow{"rounds_up_into_exponent", 999999999999999.9, u"1E+15"}, TextRow{"exponent_from", 1E15, u"1E+15"},
        TextRow{"exponent_mantissa", 1.5E300, u"1.5E+300"}, TextRow{"negative_exponent", -2E20, u"-2E+20"},
        TextRow{"sixteen_digits_rounded", 1234567890123456, u"1.23456789012346E+15"},
        TextRow{"small_fixed", 0.0001, u"0.0001"}, TextRow{"small_exponent", 0.00001, u"1E-05"},
        TextRow{"small_mantissa", 1.5E-7, u"1.5E-07"}, TextRow{"largest", 1.7976931348623157E308, u"1.79769313486232E+308"},
        TextRow{"smallest", 4.9406564584124654E-324, u"4.94065645841247E-324"},
        TextRow{"many_decimals", 1.0 / 3, u"0.333333333333333"}, TextRow{"integral_part", 100.5, u"100.5"},
        TextRow{"trailing_integer_zeros", 1200, u"1200"}, TextRow{"infinity", kInf, u"Infinity"},
        TextRow{"nan", std::nan(""), u"NaN"}),
    testing_support::RowName());

TEST(NumberToText, UsesTheLocaleDecimalSeparatorAndNoGrouping)
{
    EXPECT_EQ(numberToText(22495.0045, kComma), u"22495,0045");
    EXPECT_EQ(numberToText(1.5E300, kComma), u"1,5E+300");
    EXPECT_EQ(numberToText(1234567.5, kPoint), u"1234567.5");
}

TEST(NumberToText, ReadsBackStrictlyAsTheRoundedValue)
{
    for (const double x : {545.0, -3500.0, 22495.004499999995, 0.1 + 0.2, 1.0 / 3, 6.02214076E23, 1E-300, 123.456E-7}) {
        for (const Separators separators : {kPoint, kComma}) {
            const auto back = convertStrict(numberToText(x, separators).view(), separators);
            ASSERT_TRUE(back.ok());
            char rounded[40];
            std::snprintf(rounded, sizeof rounded, "%.14e", x);
            EXPECT_EQ(*back, std::strtod(rounded, nullptr)) << rounded;
        }
    }
}

TEST(IntegerToText, WritesDigitsAndSign)
{
    EXPECT_EQ(integerToText(3500), u"3500");
    EXPECT_EQ(integerToText(0), u"0");
    EXPECT_EQ(integerToText(-32768), u"-32768");
    EXPECT_EQ(integerToText(32767), u"32767");
}

} // namespace
} // namespace iitcalc
