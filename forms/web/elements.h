#pragma once

// The browser's side of the web backend's few direct calls. Internal to
// forms/web.

#include "forms/web/markup.h"

#include <emscripten/val.h>

#include <string>
#include <string_view>

namespace iitcalc::forms::web {

emscripten::val document();

// "12px"
std::string px(int pixels);

// A text's width in CSS pixels in a CSS font, rounded up.
int textWidth(std::u16string_view text, const std::string &font);

// Text measured by the browser, in the fonts it has.
Measure browserMeasure();

} // namespace iitcalc::forms::web
