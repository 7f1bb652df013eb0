#pragma once

// What the user's input does, whatever the toolkit: a backend reports the raw
// input (a scroll request, the wheel's turn, a key on a control) and these
// decide what follows. No backend writes any of it again.

#include "forms/control_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace iitcalc::forms {

// A scroll bar's positions: from its Min, always 0, to its Max, the lower
// end first, so that a negative Max gives Max..0 (and the thumb at the top
// stands at Max). Max 13 gives 0..13, Max -2 gives -2..0.
struct ScrollRange {
    std::int16_t low = 0;
    std::int16_t high = 0;
    friend bool operator==(const ScrollRange &, const ScrollRange &) = default;
};
ScrollRange scrollRange(std::int16_t max);
// A position brought into the range: 20 in 0..13 is 13, -1 is 0.
std::int16_t clampTo(ScrollRange range, int position);

// What the user asked a scroll bar for. An arrow, a press in the trough,
// the arrow and page keys: one position up (Back) or down (Forward). Home
// and End: the top or the bottom. The thumb let go after a drag: the
// position it was let go at. (While the thumb is dragged the toolkit moves
// the thumb alone; nothing is asked until it is let go.)
enum class ScrollRequest { Back = 0, Forward = 1, ToTop = 2, ToBottom = 3, ThumbLetGo = 4 };

// Where a request takes a bar standing at `value`, always within its range;
// `thumb` is where the thumb was let go (ThumbLetGo only). The bar's Change
// follows only when this differs from `value`, so a thumb let go where it
// was raises none. In 0..13 at 5: Back 4, ToBottom 13, ThumbLetGo at 40 13.
std::int16_t scrollTarget(ScrollRange range, std::int16_t value, ScrollRequest request, int thumb = 0);

// Where Tab (forward) or Shift+Tab takes the focus: the next control in the
// Tab order after `focus` that `canFocus` (shown and enabled), round from
// the end to the start; with the focus on none of them, the first (Shift+
// Tab: the last) that can. Nothing when none can. In {4, 7, 9}, from 9
// forward 4, from 4 backward 9, from 7 forward with 9 hidden 4.
std::optional<std::size_t> tabTarget(std::span<const std::size_t> order, std::optional<std::size_t> focus, bool forward,
                                     const std::function<bool(std::size_t)> &canFocus);

// The wheel as Qt and Windows count it: 120 a notch, a turn away from the
// user positive.
inline constexpr int kWheelNotch = 120;

// A window's wheel, summed into notches: a fine-grained wheel or a touch pad
// sends less than a notch at a time, which adds up.
class WheelNotches {
public:
    // The whole notches this turn completes, downwards (towards the user)
    // positive; what is short of a notch waits for the next turn. -240
    // gives 2; 60 gives 0, another 60 then -1.
    int turn(int delta);

private:
    int m_rest = 0;
};

// The keys the core decides about, pressed on the control with the focus:
// Enter (the main one or the keypad's, which toolkits may mark with a
// modifier of its own) and Escape.
enum class Key { Enter, Escape };
enum class KeyEffect {
    Toolkit, // the toolkit's own handling
    Click,   // a Click of the focused button, and nothing more
    Nothing, // nothing at all
};

// Enter presses a focused button, once however long it is held (a repeat
// does nothing); Enter anywhere else and Escape anywhere do nothing, the
// window having no default or cancel button. With Ctrl or Alt held, the
// key is the toolkit's. Enter on a button gives Click; Escape, Nothing.
KeyEffect keyEffect(ControlKind focused, Key key, bool ctrlOrAlt, bool repeated);

} // namespace iitcalc::forms
