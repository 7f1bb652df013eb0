#include "forms/input.h"

#include <algorithm>

namespace iitcalc::forms {

ScrollRange scrollRange(std::int16_t max) { return {std::min<std::int16_t>(0, max), std::max<std::int16_t>(0, max)}; }

std::int16_t clampTo(ScrollRange range, int position)
{
    return static_cast<std::int16_t>(std::clamp<int>(position, range.low, range.high));
}

std::int16_t scrollTarget(ScrollRange range, std::int16_t value, ScrollRequest request, int thumb)
{
    switch (request) {
    case ScrollRequest::Back:
        return clampTo(range, value - 1);
    case ScrollRequest::Forward:
        return clampTo(range, value + 1);
    case ScrollRequest::ToTop:
        return range.low;
    case ScrollRequest::ToBottom:
        return range.high;
    case ScrollRequest::ThumbLetGo:
        return clampTo(range, thumb);
    }
    return clampTo(range, value);
}

KeyEffect keyEffect(ControlKind focused, Key key, bool ctrlOrAlt, bool repeated)
{
    if (ctrlOrAlt)
        return KeyEffect::Toolkit;
    if (key == Key::Enter && focused == ControlKind::CommandButton && !repeated)
        return KeyEffect::Click;
    return KeyEffect::Nothing;
}

int WheelNotches::turn(int delta)
{
    // In a long so that no turn, however large, can overflow the sum.
    const long sum = static_cast<long>(m_rest) + delta;
    const long notches = sum / kWheelNotch;
    m_rest = static_cast<int>(sum - notches * kWheelNotch);
    return static_cast<int>(std::clamp<long>(-notches, -32768, 32767));
}

} // namespace iitcalc::forms
