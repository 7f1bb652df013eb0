// The whole calculation on any three texts: it either fails with one of its
// two errors, or gives a tax base and, exactly when a row applies, a tax;
// the same texts in UTF-8 give the same results in UTF-8.
#include "calc/tax.h"
#include "calc/utf8.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const iitcalc::Separators separators = iitcalc::fuzzing::separatorsFrom(data[0]);
    const std::u16string all = iitcalc::fuzzing::utf16(data + 1, size - 1);
    // Field texts are separated by U+0001, a character no number uses.
    const std::size_t first = all.find(u'\u0001');
    const std::size_t second = first == all.npos ? all.npos : all.find(u'\u0001', first + 1);
    const std::u16string_view view(all);
    const std::u16string_view income = view.substr(0, first);
    const std::u16string_view insurance =
        first == all.npos ? std::u16string_view() : view.substr(first + 1, second - first - 1);
    const std::u16string_view threshold = second == all.npos ? std::u16string_view(u"3500") : view.substr(second + 1);

    const auto result = iitcalc::calculate(income, insurance, threshold, separators);
    const auto utf8 = iitcalc::calculate(std::string_view(iitcalc::toUtf8(income)), iitcalc::toUtf8(insurance),
                                         iitcalc::toUtf8(threshold), separators);
    if (utf8.ok() != result.ok() || (!result.ok() && utf8.error() != result.error()) ||
        (result.ok() && (utf8->taxBaseText.view() != iitcalc::toUtf8(result->taxBaseText.view()) ||
                         utf8->shownTaxPayable().view() != iitcalc::toUtf8(result->shownTaxPayable().view()))))
        std::abort();
    if (!result.ok()) {
        const auto error = result.error();
        if (error != iitcalc::RunTimeError::Overflow && error != iitcalc::RunTimeError::TypeMismatch)
            std::abort();
        return 0;
    }
    if (!std::isfinite(result->taxableAmount) || result->bracket.has_value() != result->taxPayableText.has_value() ||
        result->bracket.has_value() != (result->taxableAmount > 0) || result->taxBaseText.view().empty())
        std::abort();
    return 0;
}
