// The strict conversion on any text, and number-to-text read back strictly:
// for finite x, numberToText(x) is C's "%.15g" and strict(numberToText(x)) is
// x rounded to 15 significant digits (or overflows when that rounding leaves
// the double range). The text typed in full width, and the text in UTF-8,
// convert the same; number-to-text in UTF-8 is the UTF-8 of its UTF-16 text.
#include "calc/numeric_text.h"
#include "calc/utf8.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void checkRoundTrip(double x, iitcalc::Separators separators)
{
    if (!std::isfinite(x))
        return;
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14e", x);
    const double expected = std::strtod(rounded, nullptr);
    // The text itself is C's: "%.15g" with the exponent's 'E' upper case
    // (and "0" for -0).
    char written[40];
    std::snprintf(written, sizeof written, "%.15g", x == 0 ? 0.0 : x);
    if (char *e = std::strchr(written, 'e'))
        *e = 'E';
    if (iitcalc::numberToText<char>(x, iitcalc::Separators{u'.', 0}).view() != written)
        std::abort();
    const auto text = iitcalc::numberToText(x, separators);
    if (iitcalc::numberToText<char>(x, separators).view() != iitcalc::toUtf8(text.view()))
        std::abort();
    const auto back = iitcalc::convertStrict(text.view(), separators);
    if (std::isinf(expected)) {
        if (back.ok() || back.error() != iitcalc::RunTimeError::Overflow)
            std::abort();
        return;
    }
    if (!back.ok() || *back != expected)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const iitcalc::Separators separators = iitcalc::fuzzing::separatorsFrom(data[0]);
    const std::u16string text = iitcalc::fuzzing::utf16(data + 1, size - 1);
    const auto result = iitcalc::convertStrict(text, separators);
    if (result.ok() && !std::isfinite(*result))
        std::abort();
    const auto same = [&result](const iitcalc::Result<double> &other) {
        return other.ok() == result.ok() &&
               (result.ok() ? std::memcmp(&*other, &*result, sizeof(double)) == 0 : other.error() == result.error());
    };
    if (!same(iitcalc::convertStrict(iitcalc::fuzzing::fullWidth(text), separators)) ||
        !same(iitcalc::convertStrict(std::string_view(iitcalc::toUtf8(text)), separators)))
        std::abort();
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    const auto narrow = iitcalc::convertStrict(bytes, separators);
    const auto decoded = iitcalc::convertStrict(iitcalc::fromUtf8(bytes), separators);
    if (narrow.ok() != decoded.ok() ||
        (narrow.ok() ? std::memcmp(&*narrow, &*decoded, sizeof(double)) != 0 : narrow.error() != decoded.error()))
        std::abort();

    if (size >= 9) {
        double x = 0;
        std::memcpy(&x, data + 1, sizeof x);
        checkRoundTrip(x, separators);
    }
    if (result.ok())
        checkRoundTrip(*result, separators);
    return 0;
}
