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

// A label's caption line by line, placed by labelLines() in the label's
// font, which must be selected into the context.
std::vector<LabelLine> layOutLines(const WindowState &state, const Control &label, HDC dc, const RECT &client)
{
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int pitch = label.record().lineHeight > 0 ? state.pixels(label.record().lineHeight) : metrics.tmHeight;
    const auto measure = [dc](std::u16string_view text) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t *>(text.data()), static_cast<int>(text.size()),
                              &extent);
        return static_cast<int>(extent.cx);
    };
    return labelLines(label.record().caption, label.record().alignment, client.right - client.left,
                      client.bottom - client.top, pitch, measure);
}

RECT toRect(const PixelRect &area) { return {area.left, area.top, area.right(), area.bottom()}; }

// What a label paints over, in its own client coordinates: its whole
// rectangle, or only the background behind its text.
std::vector<RECT> paintedArea(WindowState &state, const Control &label, HDC dc)
{
    RECT client;
    GetClientRect(label.hwnd, &client);
    if (label.record().background == LabelBackground::Whole)
        return {client};
    const Selected font(dc, state.fontOf(label));
    std::vector<RECT> area;
    for (const LabelLine &line : layOutLines(state, label, dc, client))
        area.push_back(toRect(line.background));
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
    for (const Control &other : state.controls) {
        if (other.record().kind != ControlKind::Label || other.plan.parent != label.plan.parent ||
            other.stackRank <= label.stackRank || !other.hwnd || !IsWindowVisible(other.hwnd))
            continue;
        for (RECT area : paintedArea(state, other, dc)) {
            MapWindowPoints(other.hwnd, label.hwnd, reinterpret_cast<POINT *>(&area), 2);
            ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
        }
    }
    const HBRUSH background = GetSysColorBrush(COLOR_BTNFACE);
    if (label.record().background == LabelBackground::Whole)
        FillRect(dc, &client, background);
    const Selected font(dc, state.fontOf(label));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.record().textColourBgr ? static_cast<COLORREF>(*label.record().textColourBgr)
                                                  : GetSysColor(COLOR_BTNTEXT));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const LabelLine &line : layOutLines(state, label, dc, client)) {
        if (label.record().background == LabelBackground::BehindText) {
            const RECT area = toRect(line.background);
            FillRect(dc, &area, background);
        }
        ExtTextOutW(dc, line.origin.x, line.origin.y, ETO_CLIPPED, &client,
                    reinterpret_cast<const wchar_t *>(line.text.data()), static_cast<UINT>(line.text.size()), nullptr);
    }
    RestoreDC(dc, saved);
}

void paintLines(WindowState &state, HWND parent, HDC dc)
{
    const int saved = SaveDC(dc);
    SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (const Control &line : state.controls) {
        if (line.record().kind != ControlKind::Line || state.parentWindow(line) != parent)
            continue;
        // One pixel wide at every DPI, both end points included.
        const PixelPoint from = lineStart(line.record(), state.dpi);
        const PixelPoint to = lineEnd(line.record(), state.dpi);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        SetPixelV(dc, to.x, to.y, GetSysColor(COLOR_WINDOWTEXT));
    }
    RestoreDC(dc, saved);
}

void paintFocusRing(HWND panel, UINT dpi)
{
    // The inner ring of the sunken edge in the highlight colour, one logical
    // pixel wide as far as the edge has room: the controls on the panel cover
    // everything inside it.
    const HDC dc = GetWindowDC(panel);
    RECT ring;
    GetWindowRect(panel, &ring);
    OffsetRect(&ring, -ring.left, -ring.top);
    const int room = metricForDpi(SM_CXEDGE, dpi) - 1;
    const int width = std::clamp(MulDiv(1, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI), 1, std::max(1, room));
    for (int step = 0; step < width; ++step) {
        InflateRect(&ring, -1, -1);
        FrameRect(dc, &ring, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    ReleaseDC(panel, dc);
}

} // namespace iitcalc::forms::win32
