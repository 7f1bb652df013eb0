#include "calc/tax.h"

#include <cmath>

namespace iitcalc {

namespace {

// The calculation once the three amounts are read; `result` holds Overflow
// on entry and is filled in where it stands: an assessment is too large to be
// built aside and copied.
template <class Unit>
void assess(double difference, double threshold, Separators separators, Result<BasicTaxAssessment<Unit>> &result)
{
    const double taxable = difference - threshold;
    if (!std::isfinite(difference) || !std::isfinite(taxable))
        return;

    const std::optional<std::size_t> bracket = findBracket(taxable);
    double tax = 0;
    if (bracket) {
        const TaxBracket &row = kTaxTable[*bracket];
        // Two roundings, as written: the product, then the difference.
        const double product = taxable * row.rate;
        tax = product - row.quickDeduction;
        if (!std::isfinite(product) || !std::isfinite(tax))
            return;
    }

    BasicTaxAssessment<Unit> &assessment = result.fill();
    assessment.taxableAmount = taxable;
    assessment.bracket = bracket;
    if (bracket) {
        assessment.tax = tax;
        numberToText(tax, separators, assessment.taxPayableText.emplace());
    }
    numberToText(taxable, separators, assessment.taxBaseText);
}

template <class Unit>
Result<BasicTaxAssessment<Unit>> calculateFrom(std::basic_string_view<Unit> income,
                                               std::basic_string_view<Unit> insurance,
                                               std::basic_string_view<Unit> threshold, Separators separators)
{
    Result<BasicTaxAssessment<Unit>> result = RunTimeError::Overflow;

    const double insuranceAmount = readLenient(insurance);
    const double incomeAmount = readLenient(income);
    const double difference = incomeAmount - insuranceAmount;

    const Result<double> thresholdAmount = convertStrict(threshold, separators);
    if (!thresholdAmount) {
        result = thresholdAmount.error();
        return result;
    }
    assess(difference, *thresholdAmount, separators, result);
    return result;
}

} // namespace

std::optional<std::size_t> findBracket(double taxable)
{
    for (std::size_t row = 0; row < kTaxTable.size(); ++row) {
        if (kTaxTable[row].lower < taxable && taxable <= kTaxTable[row].upper)
            return row;
    }
    return std::nullopt;
}

Result<TaxAssessment> calculate(std::u16string_view income, std::u16string_view insurance,
                                std::u16string_view threshold, Separators separators)
{
    return calculateFrom(income, insurance, threshold, separators);
}

Result<Utf8TaxAssessment> calculate(std::string_view income, std::string_view insurance, std::string_view threshold,
                                    Separators separators)
{
    return calculateFrom(income, insurance, threshold, separators);
}

Result<Utf8TaxAssessment> calculateAmounts(double income, double insurance, double threshold, Separators separators)
{
    Result<Utf8TaxAssessment> result = RunTimeError::Overflow;
    assess(income - insurance, threshold, separators, result);
    return result;
}

} // namespace iitcalc
