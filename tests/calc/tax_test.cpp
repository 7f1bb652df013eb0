#include "calc/tax.h"
#include "calc/utf8.h"

#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace iitcalc {
namespace {

constexpr Separators kPoint{u'.', u','};

std::string utf8(std::u16string_view text) { return toUtf8(text); }
std::string utf8(std::string_view text) { return std::string(text); }

// "tax-base tax-payable", "tax-base none, shows 0" where no row applies,
// or "error N".
template <class Assessment>
std::string show(const Result<Assessment> &result)
{
    if (!result)
        return "error " + std::to_string(errorNumber(result.error()));
    const std::string base = utf8(result->taxBaseText.view()) + " ";
    if (!result->taxPayableText)
        return base +
               (result->tax ? "a tax without its text" : "none, shows " + utf8(result->shownTaxPayable().view()));
    return base + utf8(result->taxPayableText->view());
}

struct CalculationRow {
    const char *name;
    std::string income;
    std::string insurance;
    std::string threshold;
    const char *expected;
    Separators separators = kPoint;
};
IITCALC_PRINTABLE_ROW(CalculationRow)

class Calculation : public testing::TestWithParam<CalculationRow> {};

// The same texts in UTF-16 and in UTF-8 give the same results.
TEST_P(Calculation, GivesTaxBaseAndTaxPayableOrTheError)
{
    const CalculationRow &row = GetParam();
    EXPECT_EQ(show(calculate(fromUtf8(row.income), fromUtf8(row.insurance), fromUtf8(row.threshold), row.separators)),
              row.expected);
    EXPECT_EQ(show(calculate(std::string_view(row.income), row.insurance, row.threshold, row.separators)),
              row.expected);
}

// Each bound of the table at and just above it (taxable amount = income -
// 3500); past each bound the next row's rate and deduction.
const CalculationRow kCalculationRows[] = {
    {"example", "10000", "1000", "3500", "5500 545"},
    {"zero_at", "3500", "", "3500", "0 none, shows 0"},
    {"zero_above", "3500.01", "", "3500", "0.0100000000002183 0.000300000000006548"},
    {"row1_at", "5000", "", "3500", "1500 45"},
    {"row2_at", "8000", "", "3500", "4500 345"},
    {"row3_at", "12500", "", "3500", "9000 1245"},
    {"row4_at", "38500", "", "3500", "35000 7745"},
    {"row5_at", "58500", "", "3500", "55000 13745"},
    {"row6_at", "83500", "", "3500", "80000 22495"},
    {"row7_above", "83500.01", "", "3500", "80000.01 22495.0045"},
    {"all_empty", "", "", "3500", "-3500 none, shows 0"},
    {"income_comma", "1,000", "", "0", "1 0.03"},
    {"negative_insurance_raises", "5000", "-1000", "3500", "2500 145"},
    {"negative_threshold_raises", "1000", "", "-500", "1500 45"},
    {"huge_but_finite", "1E300", "", "0", "1E+300 4.5E+299"},
    // The threshold in the locale's form; the results too.
    {"comma_locale", "5000.01", "", "3.500,00", "1500,01 45,001", Separators{u',', u'.'}},
    {"threshold_with_unit", "10000", "1000", "3500元", "error 13"},
    {"threshold_beyond_double", "10000", "1000", "1E309", "error 6"},
    {"difference_overflows", "1E308", "-1E308", "0", "error 6"},
    {"taxable_overflows", "1E308", "", "-1E308", "error 6"},
    {"infinity_minus_infinity", "1E400", "1E400", "3500", "error 6"},
    // The threshold is converted before any difference is tested.
    {"bad_threshold_before_overflow", "1E400", "", "abc", "error 13"},
};
INSTANTIATE_TEST_SUITE_P(Rows, Calculation, testing::ValuesIn(kCalculationRows), testing_support::RowName());

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

} // namespace
} // namespace iitcalc
