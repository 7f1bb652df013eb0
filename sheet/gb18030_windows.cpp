#include "sheet/gb18030.h"

#include "calc/utf8.h"

#include <windows.h>

#include <vector>

namespace iitcalc::sheet {

void appendGb18030(std::string_view sequences, std::string &out)
{
    constexpr UINT kGb18030 = 54936;
    // Each byte gives at most one UTF-16 unit.
    thread_local std::vector<wchar_t> units;
    units.resize(sequences.size() + 1);
    const int count = MultiByteToWideChar(kGb18030, 0, sequences.data(), static_cast<int>(sequences.size()),
                                          units.data(), static_cast<int>(units.size()));
    const std::u16string_view text(reinterpret_cast<const char16_t *>(units.data()),
                                   static_cast<std::size_t>(count > 0 ? count : 0));
    out += toUtf8(text);
}

} // namespace iitcalc::sheet
