#include "forms/web/elements.h"

#include <cmath>

namespace iitcalc::forms::web {

using emscripten::val;

namespace {

// A canvas to measure text on, in the font last asked for (setting a font
// costs the browser a parse each time).
val measuringContext(const std::string &font)
{
    static val context =
        document().call<val>("createElement", std::string("canvas")).call<val>("getContext", std::string("2d"));
    static std::string current;
    if (font != current) {
        context.set("font", font);
        current = font;
    }
    return context;
}

// The height of a line of text in a font, where the layout gives none.
int lineSpacing(const std::string &font)
{
    const val metrics = measuringContext(font).call<val>("measureText", std::string());
    return static_cast<int>(
        std::ceil(metrics["fontBoundingBoxAscent"].as<double>() + metrics["fontBoundingBoxDescent"].as<double>()));
}

} // namespace

val document() { return val::global("document"); }

std::string px(int pixels) { return std::to_string(pixels) + "px"; }

int textWidth(std::u16string_view text, const std::string &font)
{
    if (text.empty())
        return 0;
    return static_cast<int>(
        std::ceil(measuringContext(font).call<val>("measureText", std::u16string(text))["width"].as<double>()));
}

Measure browserMeasure() { return {textWidth, lineSpacing}; }

} // namespace iitcalc::forms::web
