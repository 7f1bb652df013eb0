#include "forms/geometry.h"

#include <algorithm>
#include <cmath>

namespace iitcalc::forms {

int twipsToPixels(double twips, unsigned dpi)
{
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

int pointsToPixels(double points, unsigned dpi)
{
    return static_cast<int>(std::lround(points * static_cast<double>(dpi) / 72.0));
}

PixelRect pixelRect(const ControlRecord &record, unsigned dpi)
{
    return {twipsToPixels(record.left, dpi), twipsToPixels(record.top, dpi), twipsToPixels(record.width, dpi),
            twipsToPixels(record.height, dpi)};
}

PixelPoint lineStart(const ControlRecord &line, unsigned dpi)
{
    return {twipsToPixels(line.left, dpi), twipsToPixels(line.top, dpi)};
}

PixelPoint lineEnd(const ControlRecord &line, unsigned dpi)
{
    return {twipsToPixels(line.width, dpi), twipsToPixels(line.height, dpi)};
}

PixelPoint placeFrame(const PixelRect &workArea, int frameWidth, int frameHeight)
{
    return {workArea.left + std::max(0, (workArea.width - frameWidth) / 2),
            workArea.top + std::max(0, (workArea.height - frameHeight) / 2)};
}

} // namespace iitcalc::forms
