#pragma once

// How controls behave and draw, whatever the toolkit: the rules every
// backend follows and none writes again.

#include "forms/control_record.h"
#include "forms/geometry.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

enum class MouseButton { Left, Other };

// A label's Click: the left button pressed inside the label and let go
// inside it. The second press of a double-click starts no click (it is the
// double-click, which labels do not answer); letting go outside, another
// button, or the toolkit taking the pointer away cancels the press.
class LabelClick {
public:
    // A press inside the label; `secondOfDouble` for the press that makes a
    // double-click.
    void pressed(MouseButton button, bool secondOfDouble = false)
    {
        if (button == MouseButton::Left)
            m_pressed = !secondOfDouble;
    }
    // True when this release makes a Click.
    bool released(MouseButton button, bool inside)
    {
        if (button != MouseButton::Left)
            return false;
        const bool click = m_pressed && inside;
        m_pressed = false;
        return click;
    }
    void cancelled() { m_pressed = false; }

private:
    bool m_pressed = false;
};

// One line of a label's caption, where the label draws it.
struct LabelLine {
    std::u16string_view text; // without its line end
    PixelPoint origin;        // the text's top-left, in the label
    // Where a label that paints only behind its text paints its background:
    // from the text's left to one pixel past its end, down to the next line
    // or the label's bottom, whichever is lower -- never outside the label.
    PixelRect background;
};

// The one button of a message box, in the program's language whatever the
// toolkit's.
inline constexpr std::string_view kMessageButton = "确定";

// The families that stand in, in this order, where a layout asks for 宋体
// (SimSun, 新宋体, NSimSun) and the system lacks it: the usual CJK families
// of Windows, macOS, Linux and Android, those with half-width Latin first,
// so that the link's caption lies over the address in the notice character
// for character.
inline constexpr std::array<std::string_view, 11> kSongtiStandIns{
    "SimSun",
    "Songti SC",
    "WenQuanYi Micro Hei Mono",
    "WenQuanYi Micro Hei",
    "Noto Sans Mono CJK SC",
    "Noto Sans CJK SC",
    "Source Han Sans SC",
    "Noto Serif CJK SC",
    "Droid Sans Fallback",
    "PingFang SC",
    "Microsoft YaHei",
};

// Splits a caption at its line ends (LF or CR LF) and places each line: at
// `pitch` pixels from the one above, centred (halves to the left) or at the
// left edge of a label `width` x `height` pixels, `measure` giving a text's
// width in the label's font. A caption ending in a line end has no empty
// last line.
std::vector<LabelLine> labelLines(std::u16string_view caption, TextAlignment alignment, int width, int height,
                                  int pitch, const std::function<int(std::u16string_view)> &measure);

// A caption as assistive technology reads it: one line, its line ends
// (CR, LF) removed. "甲\r\n乙\r\n" reads "甲乙".
std::u16string oneLine(std::u16string_view caption);

// A tool tip's lines hold at most this many characters (UTF-16 units, a
// surrogate pair never split), and a tip holds at most kTipLength of the
// text; a tip is at most kTipWidth twips wide, where a toolkit needs told.
inline constexpr std::size_t kTipLineLength = 40;
inline constexpr std::size_t kTipLength = 320;
inline constexpr int kTipWidth = 9000;

// What a text box shows as its tool tip: nothing when its text fits the
// room inside the box (textWidth <= room); else the text, so that a long
// result cannot be misread from the part that shows, in lines of
// kTipLineLength characters and, past kTipLength, cut there with "…".
// A 41-digit text gives 40 digits, a line end and the last digit.
std::u16string tipFor(std::u16string_view text, int textWidth, int room);

// A box's tool tip as its text changes, however the text got there.
class BoxTip {
public:
    // The tip for the box's new text (tipFor), empty for none; nothing when
    // the box keeps the one it has (its text fitted before and fits now).
    std::optional<std::u16string> update(std::u16string_view text, int textWidth, int room);
    // Whether the text shows whole: a box that fits needs no scrolling to
    // show its text from the start.
    bool fits() const { return m_fits; }

private:
    bool m_fits = true;
};

} // namespace iitcalc::forms
