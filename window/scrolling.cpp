#include "window/scrolling.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace iitcalc::window {

Result<std::int16_t> scrollRangeFor(float panelHeightTwips)
{
    const float quotient = panelHeightTwips / static_cast<float>(kScrollStepTwips);
    if (!std::isfinite(quotient))
        return RunTimeError::Overflow;
    // The default rounding mode: to nearest, ties to even.
    const float rounded = std::nearbyint(quotient);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return RunTimeError::Overflow;
    return static_cast<std::int16_t>(rounded);
}

Result<std::int16_t> panelTopFor(std::int16_t position)
{
    const int product = position * -kScrollStepTwips;
    if (product < std::numeric_limits<std::int16_t>::min() || product > std::numeric_limits<std::int16_t>::max())
        return RunTimeError::Overflow;
    return static_cast<std::int16_t>(product);
}

std::optional<std::int16_t> positionShowing(float top, float height, std::int16_t position, std::int16_t max,
                                            float visibleHeight)
{
    const auto shown = [&](int at) {
        const float above = top - static_cast<float>(kScrollStepTwips * at);
        return std::pair(above >= 0 && above + height <= visibleHeight, above < visibleHeight && above + height > 0);
    };
    if (shown(position).second)
        return std::nullopt;
    std::optional<std::int16_t> whole;
    std::optional<std::int16_t> part;
    const auto nearer = [&](const std::optional<std::int16_t> &best, int at) {
        return !best || std::abs(at - position) < std::abs(*best - position);
    };
    for (int at = 0; at <= max; ++at) {
        const auto [wholly, partly] = shown(at);
        if (wholly && nearer(whole, at))
            whole = static_cast<std::int16_t>(at);
        if (partly && nearer(part, at))
            part = static_cast<std::int16_t>(at);
    }
    return whole ? whole : part;
}

} // namespace iitcalc::window
