#pragma once

#include "forms/control_record.h"

namespace iitcalc::forms {

// 96 dots per inch: 15 twips to a pixel, the scale of the layout. A toolkit
// that scales logical pixels itself (Qt, CSS) always works at this one.
inline constexpr unsigned kStandardDpi = 96;

// Twips to pixels at `dpi` dots per inch (1440 twips to the inch), rounded
// to the nearest pixel, halves away from zero. At 96 dpi 1440 twips are 96
// pixels, -500 are -33 and 7.5 are 1; at 192 dpi 1440 twips are 192 pixels.
int twipsToPixels(double twips, unsigned dpi = kStandardDpi);

// A font's size in points (1/72 inch) to pixels at `dpi`, rounded to the
// nearest pixel, halves away from zero: 9 points are 12 pixels at 96 dpi
// and 24 at 192; 10.5 points are 14 pixels at 96 dpi, 7.875 are 11.
int pointsToPixels(double points, unsigned dpi = kStandardDpi);

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint &, const PixelPoint &) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool contains(PixelPoint point) const
    {
        return point.x >= left && point.x < right() && point.y >= top && point.y < bottom();
    }
    friend bool operator==(const PixelRect &, const PixelRect &) = default;
};

// A control's rectangle in its parent's client area: left, top, width and
// height each turned into pixels on their own, so that controls of one width
// stay of one width wherever they stand. (For a line, the two end points.)
PixelRect pixelRect(const ControlRecord &record, unsigned dpi = kStandardDpi);

// A line's two end points in its parent's client area.
PixelPoint lineStart(const ControlRecord &line, unsigned dpi = kStandardDpi);
PixelPoint lineEnd(const ControlRecord &line, unsigned dpi = kStandardDpi);

// Where the top-left corner of a window's frame goes when the window opens:
// the whole frame, title bar included, centred on the work area (the screen
// less its panels). Where the frame is larger than the area it starts at
// the area's left or top edge, so that its title bar can always be grabbed.
// A 624x468 frame on {0, 24, 1280, 776} goes to (328, 178).
PixelPoint placeFrame(const PixelRect &workArea, int frameWidth, int frameHeight);

} // namespace iitcalc::forms
