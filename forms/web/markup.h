#pragma once

// The window on the web as text: its elements as HTML and their places as
// CSS, made from the plans the core hands every backend. The page holds it
// before any program runs (written into index.html at build time by
// iitcalc-prerender); the web backend makes the same text at run time and
// takes the page's elements over, or puts its own in when there are none.
// No toolkit here: the browser comes in only through `Measure`.

#include "forms/backend.h"
#include "forms/control_record.h"
#include "forms/input.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms::web {

// A font record as CSS's font shorthand: its size in points, its weight,
// the family, then the CJK families of the usual systems where it is
// missing. "bold 12pt \"宋体\", SimSun, …, sans-serif".
std::string cssFont(const FontRecord &font);

// How wide a text is in a CSS font, in CSS pixels rounded up, and how far
// apart its lines are.
struct Measure {
    std::function<int(std::u16string_view text, const std::string &font)> width;
    std::function<int(const std::string &font)> lineSpacing;
};

// Without a browser: a CJK character one em wide, anything else half an em
// (the stand-ins for 宋体 have half-width Latin), lines 1.25 em apart.
Measure estimatedMeasure();

// A box's sunken border and the padding inside it, either side.
inline constexpr int kBoxBorder = 2;
inline constexpr int kBoxPadding = 2;

class WindowMarkup {
public:
    explicit WindowMarkup(Measure measure);

    void createWindow(const FormRecord &form);
    void createControl(const ControlPlan &plan);
    void finishWindow(const WindowPlan &plan);
    // The state the window opens in: a scroll bar's range and a box's text.
    void setScrollRange(ControlIndex bar, ScrollRange range);
    void setScrollValue(ControlIndex bar, std::int16_t value);
    void setText(ControlIndex box, std::u16string_view text);

    // <main id=…> with every control inside, in reading order, Tab order as
    // tabindex. Controls are told apart by their ids.
    std::string html() const;
    // Every element's place, size, stacking and font, by id; the window
    // centred as placeFrame() would, and narrowed to the viewport, until a
    // program places it.
    std::string css() const;
    // The state the window is in beyond its markup, as CSS: each scroll
    // bar's thumb. On one line.
    std::string stateCss() const;
    // One letter a control, in layout order: what dom.js wires it as
    // (s scroll bar, p panel, b button, t text box, l label, a link, - line).
    std::string kinds() const;

    // The labels whose lines depend on how text measures, measured again
    // (by the browser, where the window was first made with an estimate).
    void measureAgain(Measure measure);

    const std::string &font(ControlIndex control) const { return m_controls.at(control).font; }
    // A box's room for its text, in CSS pixels.
    int room(ControlIndex box) const;

private:
    struct Control {
        ControlPlan plan;
        std::string font;
        std::string css;     // its own declarations
        std::string rules;   // those of its parts
        std::string inner;   // what is inside its element
        std::string extra;   // attributes set after it was made
        std::u16string text; // a box's
        ScrollRange range;   // a scroll bar's
        std::int16_t value = 0;
        int tabIndex = 0;
        std::vector<ControlIndex> children;
    };
    void element(std::string &out, ControlIndex control) const;
    // A label's lines: its spans (and backgrounds) and their places.
    void labelLines(Control &control) const;

    Measure m_measure;
    const FormRecord *m_form = nullptr;
    std::vector<Control> m_controls;
    std::vector<ControlIndex> m_top; // the window's own children
};

} // namespace iitcalc::forms::web
