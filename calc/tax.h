#pragma once

#include "calc/numeric_text.h"
#include "calc/result.h"
#include "calc/separators.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace iitcalc {

// One row of the monthly wage table: the row applies when
// lower < taxable amount <= upper.
struct TaxBracket {
    double lower;
    double upper;
    double rate;
    double quickDeduction;
};

// The 2011 monthly wage table, seven rows, tried in this order.
inline constexpr std::array<TaxBracket, 7> kTaxTable{{
    {0, 1500, 0.03, 0},
    {1500, 4500, 0.1, 105},
    {4500, 9000, 0.2, 555},
    {9000, 35000, 0.25, 1005},
    {35000, 55000, 0.3, 2755},
    {55000, 80000, 0.35, 5505},
    {80000, std::numeric_limits<double>::infinity(), 0.45, 13505},
}};

// The standard monthly deduction the threshold field starts with.
inline constexpr std::int16_t kStandardThreshold = 3500;

// The row of kTaxTable that a taxable amount falls in, or nothing when the
// amount is 0 or less.
std::optional<std::size_t> findBracket(double taxable);

template <class Unit>
struct BasicTaxAssessment {
    // Written out, not defaulted: a defaulted one would have the whole
    // object cleared before each member's own initialiser runs.
    BasicTaxAssessment() {}

    double taxableAmount = 0;
    std::optional<std::size_t> bracket;                  // index into kTaxTable
    std::optional<double> tax;                           // only when a row applies
    BasicNumberText<Unit> taxBaseText;                   // always
    std::optional<BasicNumberText<Unit>> taxPayableText; // only when a row applies

    // What a front end shows as the tax payable: the tax, or "0" when no row
    // applies, so that an earlier, higher figure never stands beside a new
    // tax base.
    BasicNumberText<Unit> shownTaxPayable() const { return taxPayableText ? *taxPayableText : integerToText<Unit>(0); }
};

// The results as field text (UTF-16), and as UTF-8 for the console.
using TaxAssessment = BasicTaxAssessment<char16_t>;
using Utf8TaxAssessment = BasicTaxAssessment<char>;

// The calculation behind the Calculate button, on the three field texts.
// Income and insurance are read leniently, the threshold strictly; the
// taxable amount is (income - insurance) - threshold. Fails, yielding
// nothing, with TypeMismatch (or Overflow) when the threshold is not a number,
// and otherwise with Overflow when a difference or the tax leaves the double
// range; a bad threshold is reported before an overflowing difference.
// ("10000", "1000", "3500") gives tax base "5500" and tax payable "545".
// UTF-16 texts give UTF-16 results, UTF-8 texts UTF-8 results, the same
// characters either way.
Result<TaxAssessment> calculate(std::u16string_view income, std::u16string_view insurance,
                                std::u16string_view threshold, Separators separators);
Result<Utf8TaxAssessment> calculate(std::string_view income, std::string_view insurance, std::string_view threshold,
                                    Separators separators);

// The same calculation on amounts already read, as a payroll sheet's cells
// are: (income - insurance) - threshold, the bracket, the two texts in UTF-8.
// Fails with Overflow when a difference or the tax leaves the double range.
// (10000, 1000, 3500) gives tax base "5500" and tax payable "545".
Result<Utf8TaxAssessment> calculateAmounts(double income, double insurance, double threshold, Separators separators);

} // namespace iitcalc
