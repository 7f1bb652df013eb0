#include "calc/tax.h"

#include <cmath>

namespace iitcalc {

namespace {

template <class Unit>
Result<BasicTaxAssessment<Unit>> calculateFrom(std::basic_string_view<Unit> income,
                                               std::basic_string_view<Unit> insurance,
                                               std::basic_string_view<Unit> threshold, Separators separators)
{
    const double insuranceAmount = readLenient(insurance);
    const double incomeAmount = readLenient(income);
    const double difference = incomeAmount - insuranceAmount;

    const Result<double> thresholdAmount = convertStrict(threshold, separators);
    if (!thresholdAmount)
        return thresholdAmount.error();

    const double taxable = difference - *thresholdAmount;
    if (!std::isfinite(difference) || !std::isfinite(taxable))
        return RunTimeError::Overflow;

    BasicTaxAssessment<Unit> assessment;
    assessment.taxableAmount = taxable;
    assessment.bracket = findBracket(taxable);
    if (assessment.bracket) {
        const TaxBracket &row = kTaxTable[*assessment.bracket];
        // Two roundings, as written: the product, then the difference.
        const double product = taxable * row.rate;
        const double tax = product - row.quickDeduction;
        if (!std::isfinite(product) || !std::isfinite(tax))
            return RunTimeError::Overflow;
        assessment.tax = tax;
        assessment.taxPayableText = numberToText<Unit>(tax, separators);
    }
    assessment.taxBaseText = numberToText<Unit>(taxable, separators);
    return assessment;
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

} // namespace iitcalc
