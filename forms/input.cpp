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

std::optional<std::size_t> tabTarget(std::span<const std::size_t> order, std::optional<std::size_t> focus, bool forward,
                                     const std::function<bool(std::size_t)> &canFocus)
{
    const std::size_t count = order.size();
    const std::size_t at =
        focus ? static_cast<std::size_t>(std::find(order.begin(), order.end(), *focus) - order.begin()) : count;
    for (std::size_t step = 1; step <= count; ++step) {
        std::size_t next;
        if (at == count)
            next = forward ? step - 1 : count - step;
        else
            next = forward ? (at + step) % count : (at + count - step) % count;
        if (canFocus(order[next]))
            return order[next];
    }
    return std::nullopt;
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
