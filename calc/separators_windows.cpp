#include "calc/separators.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace iitcalc {

namespace {

// One number format item of the user's regional settings, their own changes
// in Control Panel included; empty when Windows gives none.
std::wstring userLocaleInfo(LCTYPE item)
{
    wchar_t buffer[32];
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, static_cast<int>(std::size(buffer)));
    return length > 0 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : std::wstring();
}

bool isOneUnit(std::wstring_view text) { return text.size() == 1 && (text[0] < 0xD800 || text[0] > 0xDFFF); }

// LOCALE_SGROUPING lists the group sizes from the decimal separator
// leftwards, separated by ';'. A final 0 repeats the size before it, as
// numpunct's grouping does: "3;0" writes 1,234,567 and "3;2;0" 12,34,567.
// Without it the digits beyond the last group stay together: "3" writes
// 1234,567. False when the text groups nothing or cannot be read.
bool readGroupSizes(std::wstring_view text, std::array<std::uint8_t, 4> &sizes)
{
    std::size_t count = 0;
    bool repeatsLast = false;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(L';', start);
        if (end == std::wstring_view::npos)
            end = text.size();
        const std::wstring_view field = text.substr(start, end - start);
        if (field.size() != 1 || field[0] < L'0' || field[0] > L'9' || repeatsLast)
            return false;
        const auto size = static_cast<std::uint8_t>(field[0] - L'0');
        if (size == 0)
            repeatsLast = true;
        else if (count < sizes.size())
            sizes[count++] = size;
        start = end + 1;
    }
    if (count == 0)
        return false;
    if (!repeatsLast && count < sizes.size())
        sizes[count] = Separators::kRestUngrouped;
    return true;
}

} // namespace

Separators systemSeparators()
{
    Separators result{u'.', 0, {}};
    const std::wstring decimal = userLocaleInfo(LOCALE_SDECIMAL);
    if (isOneUnit(decimal))
        result.decimal = static_cast<char16_t>(decimal[0]);

    const std::wstring grouping = userLocaleInfo(LOCALE_STHOUSAND);
    std::array<std::uint8_t, 4> sizes{};
    if (isOneUnit(grouping) && grouping[0] != result.decimal &&
        readGroupSizes(userLocaleInfo(LOCALE_SGROUPING), sizes)) {
        result.grouping = static_cast<char16_t>(grouping[0]);
        result.groupSizes = sizes;
    }
    return result;
}

} // namespace iitcalc
