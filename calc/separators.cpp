#include "calc/separators.h"

#include <climits>
#include <cstdint>
#include <locale>
#include <stdexcept>
#include <string>

namespace iitcalc {

namespace {

bool fitsOneUnit(wchar_t c) { return c > 0 && static_cast<unsigned long>(c) < 0xD800UL; }

} // namespace

std::size_t Separators::groupSize(std::size_t index) const
{
    std::uint8_t size = 0;
    for (std::size_t i = 0; i < groupSizes.size() && groupSizes[i] != 0; ++i) {
        size = groupSizes[i];
        if (i == index || size == kRestUngrouped)
            break;
    }
    return size == kRestUngrouped ? SIZE_MAX : size;
}

const char *numericLocaleName(const std::function<const char *(const char *)> &environment)
{
    for (const char *variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char *name = environment(variable);
        if (name != nullptr && *name != '\0')
            return name;
    }
    return "C";
}

Separators localeSeparators(const char *name)
{
    Separators result{u'.', 0, {}};
    try {
        // Only the numeric category: a locale whose other categories are
        // missing or broken still gives its numbers.
        const std::locale locale(std::locale::classic(), name, std::locale::numeric);
        const auto &punct = std::use_facet<std::numpunct<wchar_t>>(locale);
        const wchar_t decimal = punct.decimal_point();
        if (fitsOneUnit(decimal))
            result.decimal = static_cast<char16_t>(decimal);
        const std::string sizes = punct.grouping();
        const wchar_t grouping = punct.thousands_sep();
        if (sizes.empty() || !fitsOneUnit(grouping) || grouping == decimal)
            return result;
        result.grouping = static_cast<char16_t>(grouping);
        for (std::size_t i = 0; i < sizes.size() && i < result.groupSizes.size(); ++i) {
            // A size of 0 or less, or CHAR_MAX, leaves the rest ungrouped.
            if (sizes[i] <= 0 || sizes[i] == CHAR_MAX) {
                result.groupSizes[i] = Separators::kRestUngrouped;
                break;
            }
            result.groupSizes[i] = static_cast<std::uint8_t>(sizes[i]);
        }
    } catch (const std::runtime_error &) {
        // This system does not have the locale: its numbers are the C locale's.
    }
    return result;
}

} // namespace iitcalc
