#include "forms/web/elements.h"

#include "forms/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace iitcalc::forms::web {

using emscripten::val;

namespace {

// Where the layout's family is missing: the core's stand-ins for 宋体.
const std::string &cjkFallbacks()
{
    static const std::string fallbacks = [] {
        std::string list;
        for (const std::string_view family : kSongtiStandIns)
            list.append("\"").append(family).append("\", ");
        return list + "sans-serif";
    }();
    return fallbacks;
}

// A canvas to measure text on, in the font last asked for (setting a font
// costs the browser a parse each time).
val measuringContext(const std::string &font)
{
    static val context = createElement("canvas").call<val>("getContext", std::string("2d"));
    static std::string current;
    if (font != current) {
        context.set("font", font);
        current = font;
    }
    return context;
}

std::string rgbFromBgr(std::uint32_t bgr)
{
    char text[32];
    std::snprintf(text, sizeof text, "rgb(%u, %u, %u)", static_cast<unsigned>(bgr & 0xFF),
                  static_cast<unsigned>((bgr >> 8) & 0xFF), static_cast<unsigned>((bgr >> 16) & 0xFF));
    return text;
}

// The height of a line of text in a font, where the layout gives none.
int lineSpacing(const std::string &font)
{
    const val metrics = measuringContext(font).call<val>("measureText", std::string());
    return static_cast<int>(
        std::ceil(metrics["fontBoundingBoxAscent"].as<double>() + metrics["fontBoundingBoxDescent"].as<double>()));
}

void addLines(const val &label, const ControlRecord &record, const PixelRect &place, const std::string &font)
{
    const int pitch = record.lineHeight > 0 ? twipsToPixels(record.lineHeight) : lineSpacing(font);
    const auto measure = [&](std::u16string_view line) { return textWidth(line, font); };
    for (const LabelLine &line :
         labelLines(record.caption, record.alignment, place.width, place.height, pitch, measure)) {
        if (record.background == LabelBackground::BehindText) {
            val behind = createElement("div");
            behind.set("className", std::string("forms-behind"));
            behind.call<void>("setAttribute", std::string("aria-hidden"), std::string("true"));
            setRect(behind, line.background);
            label.call<void>("append", behind);
        }
        val text = createElement("span");
        text["style"].set("left", px(line.origin.x));
        text["style"].set("top", px(line.origin.y));
        text.set("textContent", std::u16string(line.text));
        label.call<void>("append", text);
    }
}

void placeLine(const val &element, const ControlRecord &record)
{
    // A div one pixel thick from one end to the other (the last pixel
    // left out), turned as the line goes where it is neither level nor
    // upright.
    const PixelPoint from = lineStart(record);
    const PixelPoint to = lineEnd(record);
    if (from.x == to.x || from.y == to.y) {
        setRect(element, {std::min(from.x, to.x), std::min(from.y, to.y), std::max(1, std::abs(to.x - from.x)),
                          std::max(1, std::abs(to.y - from.y))});
        return;
    }
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    setRect(element, {from.x, from.y, static_cast<int>(std::lround(length)), 1});
    char transform[48];
    std::snprintf(transform, sizeof transform, "rotate(%.6frad)", std::atan2(to.y - from.y, to.x - from.x));
    element["style"].set("transform", std::string(transform));
}

} // namespace

val document() { return val::global("document"); }

val createElement(const char *tag) { return document().call<val>("createElement", std::string(tag)); }

std::string px(int pixels) { return std::to_string(pixels) + "px"; }

void setRect(const val &element, const PixelRect &rect)
{
    val style = element["style"];
    style.set("left", px(rect.left));
    style.set("top", px(rect.top));
    style.set("width", px(rect.width));
    style.set("height", px(rect.height));
}

std::string cssFont(const FontRecord &font)
{
    char size[32];
    std::snprintf(size, sizeof size, "%gpt ", font.points);
    return std::string(font.bold ? "bold " : "") + size + "\"" + std::string(font.family) + "\", " + cjkFallbacks();
}

int textWidth(std::u16string_view text, const std::string &font)
{
    if (text.empty())
        return 0;
    return static_cast<int>(
        std::ceil(measuringContext(font).call<val>("measureText", std::u16string(text))["width"].as<double>()));
}

val createControlElement(const ControlPlan &plan, const std::string &font)
{
    const ControlRecord &record = *plan.record;
    const char *tag = "div";
    std::string className;
    switch (record.kind) {
    case ControlKind::ScrollBar:
        className = "forms-scrollbar";
        break;
    case ControlKind::PictureBox:
        className = "forms-panel";
        break;
    case ControlKind::CommandButton:
        tag = "button";
        break;
    case ControlKind::TextBox:
        tag = "input";
        break;
    case ControlKind::Label:
        tag = record.link ? "a" : "div";
        className = "forms-label";
        if (record.background == LabelBackground::BehindText)
            className += " forms-clear";
        break;
    case ControlKind::Line:
        className = "forms-line";
        break;
    }
    val element = createElement(tag);
    element.set("id", std::string(record.name));
    if (!className.empty())
        element.set("className", className);
    const PixelRect place = pixelRect(record);
    if (record.kind == ControlKind::Line)
        placeLine(element, record);
    else
        setRect(element, place);
    if (record.font)
        element["style"].set("font", font);
    if (record.textColourBgr)
        element["style"].set("color", rgbFromBgr(*record.textColourBgr));

    const std::u16string name(plan.accessibleName);
    switch (record.kind) {
    case ControlKind::ScrollBar:
        element.call<void>("setAttribute", std::string("role"), std::string("scrollbar"));
        element.call<void>("setAttribute", std::string("aria-orientation"), std::string("vertical"));
        element.call<void>("setAttribute", std::string("aria-label"), name);
        break;
    case ControlKind::PictureBox:
        element.call<void>("setAttribute", std::string("role"), std::string("group"));
        element.call<void>("setAttribute", std::string("aria-label"), name);
        break;
    case ControlKind::CommandButton:
        element.set("type", std::string("button"));
        element.set("textContent", std::u16string(record.caption));
        break;
    case ControlKind::TextBox:
        element.set("type", std::string("text"));
        // Nothing typed is kept by the browser, offered again or corrected.
        element.set("autocomplete", std::string("off"));
        element.set("spellcheck", false);
        element.call<void>("setAttribute", std::string("autocapitalize"), std::string("off"));
        element.call<void>("setAttribute", std::string("autocorrect"), std::string("off"));
        element.call<void>("setAttribute", std::string("aria-label"), name);
        break;
    case ControlKind::Label:
        if (record.link) {
            element.set("href", std::u16string(record.address));
            element.set("target", std::string("_blank"));
            // The page it opens gets no hold on this one, nor its address.
            element.set("rel", std::string("noopener noreferrer"));
            element.set("draggable", false);
            element.set("tabIndex", -1); // labels never take the focus
        }
        addLines(element, record, place, font);
        break;
    case ControlKind::Line:
        element.call<void>("setAttribute", std::string("aria-hidden"), std::string("true"));
        break;
    }
    return element;
}

} // namespace iitcalc::forms::web
