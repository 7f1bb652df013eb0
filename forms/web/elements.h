#pragma once

// The elements the web backend builds controls from. Internal to forms/web.

#include "forms/backend.h"
#include "forms/geometry.h"

#include <emscripten/val.h>

#include <string>
#include <string_view>

namespace iitcalc::forms::web {

emscripten::val document();
emscripten::val createElement(const char *tag);

// "12px"
std::string px(int pixels);
// Places an element at a rectangle of its parent's client area.
void setRect(const emscripten::val &element, const PixelRect &rect);

// A font record as CSS's font shorthand: its size in points, its weight,
// the family, then the CJK families of the usual systems where it is
// missing. "bold 12pt \"宋体\", SimSun, …, sans-serif".
std::string cssFont(const FontRecord &font);

// A text's width in CSS pixels in a CSS font, rounded up.
int textWidth(std::u16string_view text, const std::string &font);

// The element for a control, with its place, font and accessible name;
// events still unwired. Labels carry their caption's lines as labelLines()
// places them; a link is an <a> of `record.address`.
emscripten::val createControlElement(const ControlPlan &plan, const std::string &font);

} // namespace iitcalc::forms::web
