#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace iitcalc::forms {

enum class ControlKind { ScrollBar, PictureBox, CommandButton, TextBox, Label, Line };

enum class TextAlignment { Left, Centre };

// How an opaque label paints its background: over its whole rectangle, or
// only behind its text (for a label lying in front of another one, so the
// one behind still shows beside the text).
enum class LabelBackground { Whole, BehindText };

struct FontRecord {
    std::string_view family; // UTF-8; substitutes are tried where missing
    double points;
    bool bold;
};

// One control as the window is built with it. Positions are relative to
// the parent's client area; a line's rectangle is its two end points
// (left, top) to (width, height).
struct ControlRecord {
    std::string_view name; // the object name handlers reach it by
    ControlKind kind;
    std::string_view parent; // empty: the window itself
    int left;
    int top;
    int width;
    int height;
    int tabIndex = -1; // -1: none
    std::u16string_view caption = {};
    std::optional<FontRecord> font = {};
    std::optional<std::uint32_t> textColourBgr = {}; // 0x00BBGGRR
    TextAlignment alignment = TextAlignment::Left;
    int lineHeight = 0; // twips between text lines; 0: the font's
    LabelBackground background = LabelBackground::Whole;
    std::string_view buddy = {}; // the box a caption label names
    // What assistive technology calls a control that shows no caption of its
    // own (the panel, the scroll bar); empty: its caption.
    std::u16string_view accessibleName = {};
    // A label that opens something when clicked: offered to assistive
    // technology as a link that can be pressed.
    bool link = false;
    // For a link: the address it stands for, for a toolkit whose links show
    // where they go (the browser's). What a click opens is still its
    // handler's to decide.
    std::u16string_view address = {};
    // For a picture box: the scroll bar that moves it, which the mouse
    // wheel over the picture box turns as it would over the bar itself.
    std::string_view scrolledBy = {};
};

struct FormRecord {
    std::string_view name;
    std::u16string_view caption;
    int clientWidth;  // twips
    int clientHeight; // twips
    FontRecord font;
    // The program's icon as the toolkit finds it (a resource path); empty for
    // none. A backend loads it once per program, not once per opening.
    std::string_view iconPath;
    std::span<const ControlRecord> controls;
};

} // namespace iitcalc::forms
