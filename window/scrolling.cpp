#include "window/scrolling.h"

#include <cmath>
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

} // namespace iitcalc::window
