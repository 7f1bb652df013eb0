#include "forms/win32/window_state.h"

#include <algorithm>
#include <vector>

namespace iitcalc::forms::win32 {

namespace {

// Selects a GDI object into a device context for a scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_old(SelectObject(dc, object))
    {
    }
    ~Selected() { SelectObject(m_dc, m_old); }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

struct TextLine {
    std::wstring text;
    RECT ink; // where the line's text and, behind it, its background go
};

// A label's caption line by line, each placed as the label draws it: at the
// layout's line pitch (or the font's), centred or at the left, its
// background reaching down to the next line or the label's bottom. The
// label's font must be selected into the context.
std::vector<TextLine> layOutLines(const WindowState &state, const Control &label, HDC dc, const RECT &client)
{
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int pitch = label.record.lineHeight > 0 ? state.pixels(label.record.lineHeight) : metrics.tmHeight;
    std::vector<TextLine> lines;
    const std::wstring caption = wide(label.record.caption);
    std::size_t start = 0;
    int y = 0;
    while (start < caption.size()) {
        std::size_t end = caption.find(L'\n', start);
        const bool last = end == std::wstring::npos;
        if (last)
            end = caption.size();
        std::wstring text = caption.substr(start, end - start);
        if (!text.empty() && text.back() == L'\r')
            text.pop_back();
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const int width = client.right - client.left;
        const int x = label.record.alignment == TextAlignment::Centre ? (width - extent.cx) / 2 : 0;
        lines.push_back({std::move(text), {x, y, x + extent.cx + 1, y + std::max<int>(pitch, client.bottom - y)}});
        y += pitch;
        start = end + 1;
    }
    return lines;
}

// What a label paints over, in its own client coordinates: its whole
// rectangle, or only the background behind its text.
std::vector<RECT> paintedArea(WindowState &state, const Control &label, HDC dc)
{
    RECT client;
    GetClientRect(label.hwnd, &client);
    if (label.record.background == LabelBackground::Whole)
        return {client};
    const Selected font(dc, state.fontOf(label));
    std::vector<RECT> area;
    for (const TextLine &line : layOutLines(state, label, dc, client))
        area.push_back(line.ink);
    return area;
}

} // namespace

void paintLabel(WindowState &state, ControlIndex index, HDC dc)
{
    const Control &label = state.controls[index];
    RECT client;
    GetClientRect(label.hwnd, &client);
    const int saved = SaveDC(dc);
    // A label in front of this one keeps what it paints: the link's text
    // stays blue over the same words in the notice behind it, whichever of
    // the two the system paints last.
    for (ControlIndex front = 0; front < index; ++front) {
        const Control &other = state.controls[front];
        if (other.record.kind != ControlKind::Label || other.parent != label.parent || !other.hwnd ||
            !IsWindowVisible(other.hwnd))
            continue;
        for (RECT area : paintedArea(state, other, dc)) {
            MapWindowPoints(other.hwnd, label.hwnd, reinterpret_cast<POINT *>(&area), 2);
            ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
        }
    }
    const HBRUSH background = GetSysColorBrush(COLOR_BTNFACE);
    if (label.record.background == LabelBackground::Whole)
        FillRect(dc, &client, background);
    const Selected font(dc, state.fontOf(label));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.record.textColourBgr ? static_cast<COLORREF>(*label.record.textColourBgr)
                                                : GetSysColor(COLOR_BTNTEXT));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const TextLine &line : layOutLines(state, label, dc, client)) {
        if (label.record.background == LabelBackground::BehindText)
            FillRect(dc, &line.ink, background);
        ExtTextOutW(dc, line.ink.left, line.ink.top, 0, nullptr, line.text.c_str(), static_cast<UINT>(line.text.size()),
                    nullptr);
    }
    RestoreDC(dc, saved);
}

void paintLines(WindowState &state, HWND parent, HDC dc)
{
    const int saved = SaveDC(dc);
    SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (const Control &line : state.controls) {
        if (line.record.kind != ControlKind::Line || state.parentWindow(line) != parent)
            continue;
        // One pixel wide at every DPI, both end points included.
        const POINT from{state.pixels(line.record.left), state.pixels(line.record.top)};
        const POINT to{state.pixels(line.record.width), state.pixels(line.record.height)};
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        SetPixelV(dc, to.x, to.y, GetSysColor(COLOR_WINDOWTEXT));
    }
    RestoreDC(dc, saved);
}

void paintFocusRing(HWND panel)
{
    // The inner ring of the sunken edge in the highlight colour: the controls
    // on the panel cover everything inside it.
    const HDC dc = GetWindowDC(panel);
    RECT ring;
    GetWindowRect(panel, &ring);
    OffsetRect(&ring, -ring.left, -ring.top);
    InflateRect(&ring, -1, -1);
    FrameRect(dc, &ring, GetSysColorBrush(COLOR_HIGHLIGHT));
    ReleaseDC(panel, dc);
}

} // namespace iitcalc::forms::win32
