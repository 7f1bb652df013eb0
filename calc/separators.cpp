#include "calc/separators.h"

#include <locale>
#include <stdexcept>

namespace iitcalc {

namespace {

bool fitsOneUnit(wchar_t c) { return c > 0 && static_cast<unsigned long>(c) < 0xD800UL; }

} // namespace

Separators systemSeparators()
{
    Separators result{u'.', 0};
    try {
        const std::locale user("");
        const auto &punct = std::use_facet<std::numpunct<wchar_t>>(user);
        const wchar_t decimal = punct.decimal_point();
        if (fitsOneUnit(decimal))
            result.decimal = static_cast<char16_t>(decimal);
        const wchar_t grouping = punct.thousands_sep();
        if (!punct.grouping().empty() && fitsOneUnit(grouping) && grouping != decimal)
            result.grouping = static_cast<char16_t>(grouping);
    } catch (const std::runtime_error &) {
        // The environment names a locale this system does not have.
    }
    return result;
}

} // namespace iitcalc
