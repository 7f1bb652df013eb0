// iitcalc-places: where each control of the main window lies, for scripts
// that click it (scripts/screenshot). Prints one line per control that can
// be clicked: its object name and its centre in the window's client area,
// in device pixels at the given scale, the panel's frame `inset` logical
// pixels wide (the toolkit's). With --twips, every control as the layout
// gives it instead: name, kind, parent ("-" for the window), left, top,
// width and height in twips (a line: its two end points), after a first
// line for the window: its name, "form", "-", 0, 0 and its client size.
//   iitcalc-places [SCALE [INSET]]     (default 1 and 2)
//   iitcalc-places --twips
#include "forms/geometry.h"
#include "window/layout.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    using namespace iitcalc;
    if (argc > 1 && std::string(argv[1]) == "--twips") {
        static const char *const kinds[] = {"scrollbar", "picturebox", "button", "textbox", "label", "line"};
        const forms::FormRecord &form = window::mainFormLayout();
        std::printf("%s form - 0 0 %d %d\n", std::string(form.name).c_str(), form.clientWidth, form.clientHeight);
        for (const forms::ControlRecord &control : form.controls) {
            std::printf("%s %s %s %d %d %d %d\n", std::string(control.name).c_str(),
                        kinds[static_cast<int>(control.kind)],
                        control.parent.empty() ? "-" : std::string(control.parent).c_str(), control.left, control.top,
                        control.width, control.height);
        }
        return 0;
    }
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const int inset = argc > 2 ? std::atoi(argv[2]) : 2;
    const forms::FormRecord &layout = window::mainFormLayout();
    for (const forms::ControlRecord &control : layout.controls) {
        if (control.kind == forms::ControlKind::Line)
            continue;
        forms::PixelRect place = forms::pixelRect(control);
        // Controls on the panel sit in its client area, inside its frame.
        for (const forms::ControlRecord &parent : layout.controls) {
            if (parent.name == control.parent) {
                const forms::PixelRect outer = forms::pixelRect(parent);
                place.left += outer.left + inset;
                place.top += outer.top + inset;
            }
        }
        std::printf("%s %ld %ld\n", std::string(control.name).c_str(),
                    std::lround((place.left + place.width / 2.0) * scale),
                    std::lround((place.top + place.height / 2.0) * scale));
    }
    return 0;
}
