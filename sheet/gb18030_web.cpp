#include "sheet/gb18030.h"

#include <emscripten.h>

namespace iitcalc::sheet {

namespace {

// The browser's (and Node's) own decoder; the UTF-8 written straight into
// the room given.
EM_JS(int, decodeGb18030Into, (const char *bytes, int size, char *utf8, int room), {
    if (!Module.iitcalcGb18030)
        Module.iitcalcGb18030 = new TextDecoder('gb18030');
    const text = Module.iitcalcGb18030.decode(HEAPU8.subarray(bytes, bytes + size));
    return new TextEncoder().encodeInto(text, HEAPU8.subarray(utf8, utf8 + room)).written;
});

} // namespace

void appendGb18030(std::string_view sequences, std::string &out)
{
    const std::size_t start = out.size();
    out.resize(start + sequences.size() * 3 / 2 + 4);
    const int written = decodeGb18030Into(sequences.data(), static_cast<int>(sequences.size()), out.data() + start,
                                          static_cast<int>(out.size() - start));
    out.resize(start + static_cast<std::size_t>(written));
}

} // namespace iitcalc::sheet
