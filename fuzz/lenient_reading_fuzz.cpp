// The lenient reading takes any text and always returns a number, the same
// for the text typed in full width and for the same text in UTF-8; any bytes
// read as UTF-8 give what their UTF-16 decoding gives.
#include "calc/numeric_text.h"
#include "calc/utf8.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = iitcalc::fuzzing::utf16(data, size);
    const double value = iitcalc::readLenient(text);
    if (std::isnan(value))
        std::abort();
    if (!same(iitcalc::readLenient(iitcalc::fuzzing::fullWidth(text)), value) ||
        !same(iitcalc::readLenient(std::string_view(iitcalc::toUtf8(text))), value))
        std::abort();
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    if (!same(iitcalc::readLenient(bytes), iitcalc::readLenient(iitcalc::fromUtf8(bytes))))
        std::abort();
    return 0;
}
