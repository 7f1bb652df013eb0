// The lenient reading takes any text and always returns a number, the same
// for the text typed in full width.
#include "calc/numeric_text.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = iitcalc::fuzzing::utf16(data, size);
    const double value = iitcalc::readLenient(text);
    if (std::isnan(value))
        std::abort();
    const double wide = iitcalc::readLenient(iitcalc::fuzzing::fullWidth(text));
    if (std::memcmp(&wide, &value, sizeof value) != 0)
        std::abort();
    return 0;
}
