// The lenient reading takes any text and always returns a number.
#include "calc/numeric_text.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::u16string text = iitcalc::fuzzing::utf16(data, size);
    const double value = iitcalc::readLenient(text);
    if (std::isnan(value))
        std::abort();
    return 0;
}
