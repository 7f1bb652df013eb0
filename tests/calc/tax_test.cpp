#include "calc/tax.h"
#include "calc/utf8.h"

#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace iitcalc {
namespace {

constexpr Separators kPoint{u'.', u','};

std::string show(std::u16string_view text) { return std::string(text.begin(), text.end()); }

struct CalculationRow {
    const char *name;
    std::u16string income;
    std::u16string insurance;
    std::u16string threshold;
    const char *taxBase;
    const char *taxPayable; // nullptr: no row applies
};
IITCALC_PRINTABLE_ROW(CalculationRow)

class Calculation : public testing::TestWithParam<CalculationRow> {};

TEST_P(Calculation, GivesTaxBaseAndTaxPayable)
{
    const CalculationRow &row = GetParam();
    const auto result = calculate(row.income, row.insurance, row.threshold, kPoint);
    ASSERT_TRUE(result.ok()) << "error " << errorNumber(result.error());
    EXPECT_EQ(show(result->taxBaseText.view()), row.taxBase);
    if (row.taxPayable) {
        ASSERT_TRUE(result->taxPayableText.has_value());
        EXPECT_EQ(show(result->taxPayableText->view()), row.taxPayable);
        EXPECT_EQ(show(result->shownTaxPayable().view()), row.taxPayable);
    } else {
        EXPECT_FALSE(result->taxPayableText.has_value());
        EXPECT_FALSE(result->tax.has_value());
        EXPECT_EQ(show(result->shownTaxPayable().view()), "0");
    }

    // The same texts in UTF-8 give the same results in UTF-8.
    const auto utf8 =
        calculate(std::string_view(toUtf8(row.income)), toUtf8(row.insurance), toUtf8(row.threshold), kPoint);
    ASSERT_TRUE(utf8.ok());
    EXPECT_EQ(utf8->taxBaseText.view(), row.taxBase);
    EXPECT_EQ(utf8->shownTaxPayable().view(), row.taxPayable ? row.taxPayable : "0");
    EXPECT_EQ(utf8->taxPayableText.has_value(), row.taxPayable != nullptr);
}

// Each bound of the table from below, at and above (taxable amount = income - 3500).
INSTANTIATE_TEST_SUITE_P(
    Rows, Calculation,
    testing::Values(CalculationRow{"example", u"10000", u"1000", u"3500", "5500", "545"},
                    CalculationRow{"zero_at", u"3500", u"", u"3500", "0", nullptr},
                    CalculationRow{"zero_above", u"3500.01", u"", u"3500", "0.0100000000002183",
                                   "0.000300000000006548"},
                    CalculationRow{"row1_at", u"5000", u"", u"3500", "1500", "45"},
                    CalculationRow{"row2_above", u"5000.01", u"", u"3500", "1500.01", "45.001"},
                    CalculationRow{"row2_at", u"8000", u"", u"3500", "4500", "345"},
                    CalculationRow{"row3_above", u"8000.01", u"", u"3500", "4500.01", "345.002"},
                    CalculationRow{"row3_at", u"12500", u"", u"3500", "9000", "1245"},
                    CalculationRow{"row4_above", u"12500.01", u"", u"3500", "9000.01", "1245.0025"},
                    CalculationRow{"row4_at", u"38500", u"", u"3500", "35000", "7745"},
                    CalculationRow{"row5_above", u"38500.01", u"", u"3500", "35000.01", "7745.003"},
                    CalculationRow{"row5_at", u"58500", u"", u"3500", "55000", "13745"},
                    CalculationRow{"row6_above", u"58500.01", u"", u"3500", "55000.01", "13745.0035"},
                    CalculationRow{"row6_at", u"83500", u"", u"3500", "80000", "22495"},
                    CalculationRow{"row7_above", u"83500.01", u"", u"3500", "80000.01", "22495.0045"},
                    CalculationRow{"row7_far", u"103500", u"", u"3500", "100000", "31495"},
                    CalculationRow{"all_empty", u"", u"", u"3500", "-3500", nullptr},
                    CalculationRow{"income_comma", u"1,000", u"", u"0", "1", "0.03"},
                    CalculationRow{"income_letters", u"8000abc", u"", u"3500", "4500", "345"},
                    CalculationRow{"negative_insurance_raises", u"5000", u"-1000", u"3500", "2500", "145"},
                    CalculationRow{"negative_threshold_raises", u"1000", u"", u"-500", "1500", "45"},
                    CalculationRow{"huge_but_finite", u"1E300", u"", u"0", "1E+300", "4.5E+299"}),
    testing_support::RowName());

struct FailureRow {
    const char *name;
    std::u16string income;
    std::u16string insurance;
    std::u16string threshold;
    RunTimeError error;
};
IITCALC_PRINTABLE_ROW(FailureRow)

class CalculationFailure : public testing::TestWithParam<FailureRow> {};

TEST_P(CalculationFailure, YieldsNothingButTheError)
{
    const FailureRow &row = GetParam();
    const auto result = calculate(row.income, row.insurance, row.threshold, kPoint);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), row.error);
    const auto utf8 =
        calculate(std::string_view(toUtf8(row.income)), toUtf8(row.insurance), toUtf8(row.threshold), kPoint);
    ASSERT_FALSE(utf8.ok());
    EXPECT_EQ(utf8.error(), row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CalculationFailure,
    testing::Values(FailureRow{"threshold_empty", u"10000", u"1000", u"", RunTimeError::TypeMismatch},
                    FailureRow{"threshold_with_unit", u"10000", u"1000", u"3500元", RunTimeError::TypeMismatch},
                    FailureRow{"threshold_beyond_double", u"10000", u"1000", u"1E309", RunTimeError::Overflow},
                    FailureRow{"difference_overflows", u"1E308", u"-1E308", u"0", RunTimeError::Overflow},
                    FailureRow{"taxable_overflows", u"1E308", u"", u"-1E308", RunTimeError::Overflow},
                    FailureRow{"infinity_minus_infinity", u"1E400", u"1E400", u"3500", RunTimeError::Overflow},
                    // The threshold is converted before any difference is tested.
                    FailureRow{"bad_threshold_before_overflow", u"1E400", u"", u"abc", RunTimeError::TypeMismatch},
                    FailureRow{"bad_threshold_before_difference", u"1E308", u"-1E308", u"",
                               RunTimeError::TypeMismatch}),
    testing_support::RowName());

TEST(TaxTable, QuickDeductionsKeepTheTaxContinuous)
{
    for (std::size_t row = 1; row < kTaxTable.size(); ++row) {
        const TaxBracket &below = kTaxTable[row - 1];
        const TaxBracket &here = kTaxTable[row];
        EXPECT_EQ(here.lower, below.upper) << "row " << row + 1;
        EXPECT_DOUBLE_EQ(here.quickDeduction, below.quickDeduction + here.lower * (here.rate - below.rate))
            << "row " << row + 1;
    }
}

TEST(Calculation, FollowsTheLocaleForTheThresholdAndTheResults)
{
    const Separators comma{u',', u'.'};
    const auto result = calculate(u"5000.01", u"", u"3.500,00", comma);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->taxBaseText, u"1500,01");
    EXPECT_EQ(result->taxPayableText.value(), u"45,001");
    // The lenient reading keeps its '.' whatever the locale.
    EXPECT_FALSE(calculate(u"1", u"", u"3500.5", Separators{u',', 0}).ok());
}

} // namespace
} // namespace iitcalc
