#include "forms/web/elements.h"

#include <emscripten/emscripten.h>

#include <cmath>

// clang-format off
EM_JS(double, jsTextWidth, (const char16_t *text, int size, const char *font, int fontSize), {
    return Module['formsTextWidth'](text, size, font, fontSize);
});
EM_JS(double, jsLineSpacing, (const char *font, int fontSize), { return Module['formsLineSpacing'](font, fontSize); });
// clang-format on

namespace iitcalc::forms::web {

int textWidth(std::u16string_view text, const std::string &font)
{
    if (text.empty())
        return 0;
    return static_cast<int>(
        std::ceil(jsTextWidth(text.data(), static_cast<int>(text.size()), font.data(), static_cast<int>(font.size()))));
}

Measure browserMeasure()
{
    return {textWidth, [](const std::string &font) {
                return static_cast<int>(std::ceil(jsLineSpacing(font.data(), static_cast<int>(font.size()))));
            }};
}

} // namespace iitcalc::forms::web
