#pragma once

// The browser's measure of text, for the web backend. Internal to forms/web.

#include "forms/web/markup.h"

#include <string>
#include <string_view>

namespace iitcalc::forms::web {

// A text's width in CSS pixels in a CSS font, rounded up.
int textWidth(std::u16string_view text, const std::string &font);

// Text measured by the browser, in the fonts it has.
Measure browserMeasure();

} // namespace iitcalc::forms::web
