#include "forms/controls.h"

#include <algorithm>
#include <utility>

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

namespace {

bool highSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }

} // namespace

std::u16string tipFor(std::u16string_view text, int textWidth, int room)
{
    if (textWidth <= room)
        return {};
    const bool cut = text.size() > kTipLength;
    if (cut)
        text = text.substr(0, kTipLength - (highSurrogate(text[kTipLength - 1]) ? 1 : 0));
    std::u16string tip;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t length = std::min(kTipLineLength, text.size() - start);
        if (start + length < text.size() && highSurrogate(text[start + length - 1]))
            --length; // with its partner, on the next line
        if (start > 0)
            tip += u'\n';
        tip.append(text.substr(start, length));
        start += length;
    }
    if (cut)
        tip += u'…';
    return tip;
}

std::optional<std::u16string> BoxTip::update(std::u16string_view text, int textWidth, int room)
{
    std::u16string tip = tipFor(text, textWidth, room);
    const bool fitted = std::exchange(m_fits, tip.empty());
    if (fitted && m_fits)
        return std::nullopt;
    return tip;
}

std::u16string oneLine(std::u16string_view caption)
{
    std::u16string line(caption);
    std::erase_if(line, [](char16_t c) { return c == u'\r' || c == u'\n'; });
    return line;
}

} // namespace iitcalc::forms
