#pragma once

#include "calc/result.h"

#include <cstdint>
#include <optional>

namespace iitcalc::window {

// The panel moves in steps of this many twips.
inline constexpr std::int16_t kScrollStepTwips = 500;

// The scroll bar's Max for a panel this many twips high: height / 500 in
// single precision, rounded to the nearest 16-bit integer with ties to the
// even one. Overflow when the quotient is not finite or the result falls
// outside -32768..32767. 6492 gives 13; 6250 gives 12; 6750 gives 14.
Result<std::int16_t> scrollRangeFor(float panelHeightTwips);

// The panel's Top for a scroll position: position * -500 as a 16-bit
// product, Overflow outside -32768..32767. 1 gives -500; 13 gives -6500.
Result<std::int16_t> panelTopFor(std::int16_t position);

// Where the scroll bar goes when a control on the panel takes the focus: for
// a control `top` twips below the panel's top and `height` high, in a window
// `visibleHeight` twips high, the position from 0 to `max` nearest to
// `position` at which the whole control shows (or, for one taller than the
// window, part of it); nothing when some of it shows already or no position
// shows it. The threshold box (top 1800, height 270) at position 13 gives 3.
std::optional<std::int16_t> positionShowing(float top, float height, std::int16_t position, std::int16_t max,
                                            float visibleHeight);

} // namespace iitcalc::window
