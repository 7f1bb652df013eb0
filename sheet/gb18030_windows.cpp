#include "sheet/gb18030.h"

#include "calc/utf8.h"

#include <windows.h>

#include <vector>

namespace iitcalc::sheet {

namespace {

constexpr UINT kGb18030 = 54936;
constexpr UINT kGbk = 936;

void appendCodePage(UINT codePage, std::string_view bytes, std::string &out)
{
    if (bytes.empty())
        return;
    // Each byte gives at most one UTF-16 unit.
    thread_local std::vector<wchar_t> units;
    units.resize(bytes.size() + 1);
    const int count = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), units.data(),
                                          static_cast<int>(units.size()));
    out += toUtf8(std::u16string_view(reinterpret_cast<const char16_t *>(units.data()),
                                      static_cast<std::size_t>(count > 0 ? count : 0)));
}

} // namespace

bool hasWholeGb18030()
{
    static const bool complete = IsValidCodePage(kGb18030) != 0;
    return complete;
}

std::size_t appendGb18030(std::string_view sequences, std::string &out)
{
    if (hasWholeGb18030()) {
        appendCodePage(kGb18030, sequences, out);
        return 0;
    }
    const auto *const bytes = reinterpret_cast<const unsigned char *>(sequences.data());
    std::size_t replaced = 0;
    std::size_t run = 0;
    std::size_t at = 0;
    char encoded[4];
    while (at < sequences.size()) {
        const int length = gb18030Sequence(bytes + at, sequences.size() - at);
        if (length != 4) {
            at += static_cast<std::size_t>(length > 0 ? length : 1);
            continue;
        }
        appendCodePage(kGbk, sequences.substr(run, at - run), out);
        const unsigned long linear =
            (((bytes[at] - 0x81ul) * 10 + (bytes[at + 1] - 0x30ul)) * 126 + (bytes[at + 2] - 0x81ul)) * 10 +
            (bytes[at + 3] - 0x30ul);
        if (linear >= 189000) {
            out.append(encoded, encodeUtf8(static_cast<char32_t>(0x10000 + linear - 189000), encoded));
        } else {
            out.append(encoded, encodeUtf8(kReplacementCharacter, encoded));
            ++replaced;
        }
        at += 4;
        run = at;
    }
    appendCodePage(kGbk, sequences.substr(run), out);
    return replaced;
}

} // namespace iitcalc::sheet
