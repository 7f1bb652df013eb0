#include "calc/tax.h"

#include <cmath>

namespace iitcalc {

std::optional<std::size_t> findBracket(double taxable)
{
    for (std::size_t row = 0; row < kTaxTable.size(); ++row) {
        if (kTaxTable[row].lower < taxable && taxable <= kTaxTable[row].upper)
            return row;
    }
    return std::nullopt;
}

NumberText TaxAssessment::shownTaxPayable() const { return taxPayableText.value_or(NumberText(u"0")); }

Result<TaxAssessment> calculate(std::u16string_view income, std::u16string_view insurance,
                                std::u16string_view threshold, Separators separators)
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

    TaxAssessment assessment;
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
        assessment.taxPayableText = numberToText(tax, separators);
    }
    assessment.taxBaseText = numberToText(taxable, separators);
    return assessment;
}

} // namespace iitcalc
