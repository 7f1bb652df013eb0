#include "forms/controls.h"

#include <algorithm>

namespace iitcalc::forms {

std::vector<LabelLine> labelLines(std::u16string_view caption, TextAlignment alignment, int width, int height,
                                  int pitch, const std::function<int(std::u16string_view)> &measure)
{
    std::vector<LabelLine> lines;
    int y = 0;
    for (std::size_t start = 0; start < caption.size();) {
        std::size_t end = caption.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = caption.size();
        std::u16string_view text = caption.substr(start, end - start);
        if (!text.empty() && text.back() == u'\r')
            text.remove_suffix(1);
        const int textWidth = measure(text);
        const int x = alignment == TextAlignment::Centre ? (width - textWidth) / 2 : 0;
        // The background reaches one pixel past the text, for the last
        // column of an italic or anti-aliased glyph, and is cut at the
        // label's edges: what lies outside belongs to whatever is behind.
        const int left = std::max(0, x);
        const int right = std::min(width, x + textWidth + 1);
        const int bottom = std::min(height, y + std::max(pitch, height - y));
        lines.push_back({text, {x, y}, {left, y, std::max(0, right - left), std::max(0, bottom - y)}});
        y += pitch;
        start = end + 1;
    }
    return lines;
}

std::u16string oneLine(std::u16string_view caption)
{
    std::u16string line(caption);
    std::erase_if(line, [](char16_t c) { return c == u'\r' || c == u'\n'; });
    return line;
}

} // namespace iitcalc::forms
