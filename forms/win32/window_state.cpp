#include "forms/win32/window_state.h"

#include "calc/utf8.h"

#include <commctrl.h>

#include <cmath>

namespace iitcalc::forms::win32 {

WindowState::WindowState(const FormRecord &record, EventSink &eventSink, bool quit)
    : form(record)
    , sink(&eventSink)
    , quitWhenLastWindowCloses(quit)
    , controls(record.controls.size())
{
}

WindowState::~WindowState()
{
    sink = nullptr;
    if (hwnd)
        DestroyWindow(hwnd);
}

int WindowState::pixels(double twips) const { return twipsToPixels(twips, dpi); }

RECT WindowState::pixelRect(const ControlRecord &record) const
{
    const PixelRect place = forms::pixelRect(record, dpi);
    return {place.left, place.top, place.right(), place.bottom()};
}

HFONT WindowState::font(const FontRecord &record)
{
    for (const CachedFont &cached : m_fonts) {
        if (cached.dpi == dpi && cached.record.family == record.family && cached.record.points == record.points &&
            cached.record.bold == record.bold)
            return cached.handle.get();
    }
    LOGFONTW logFont{};
    logFont.lfHeight = -pointsToPixels(record.points, dpi);
    logFont.lfWeight = record.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = GB2312_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring family = wide(record.family);
    family.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    FontHandle handle(CreateFontIndirectW(&logFont));
    // Painting must go on when the system is out of fonts: the stock one.
    if (!handle)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_fonts.push_back({record, dpi, std::move(handle)});
    return m_fonts.back().handle.get();
}

void WindowState::releaseFonts() { m_fonts.clear(); }

HWND WindowState::parentWindow(const Control &control) const
{
    return control.plan.parent ? controls[*control.plan.parent].hwnd : hwnd;
}

std::optional<ControlIndex> WindowState::indexOf(HWND child) const
{
    if (!child)
        return std::nullopt;
    const int id = GetDlgCtrlID(child) - kFirstControlId;
    if (id < 0 || static_cast<std::size_t>(id) >= controls.size() ||
        controls[static_cast<std::size_t>(id)].hwnd != child)
        return std::nullopt;
    return static_cast<ControlIndex>(id);
}

void WindowState::deliver(ControlIndex control, Event event) const
{
    if (sink)
        sink->controlEvent(control, event);
}

void WindowState::layOut()
{
    std::vector<CachedFont> old;
    for (CachedFont &cached : m_fonts) {
        if (cached.dpi != dpi)
            old.push_back(std::move(cached));
    }
    std::erase_if(m_fonts, [](const CachedFont &cached) { return !cached.handle; });
    for (Control &control : controls) {
        if (!control.hwnd)
            continue;
        RECT rect = pixelRect(control.record());
        OffsetRect(&rect, 0, pixels(control.top) - rect.top);
        SetWindowPos(control.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)), TRUE);
    }
    // The old fonts go only once no control uses them.
    old.clear();
    InvalidateRect(hwnd, nullptr, TRUE);
}

void WindowState::showFocusCues() const
{
    SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void WindowState::updateTip(ControlIndex index)
{
    const HWND box = controls[index].hwnd;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    // The room the box leaves its text: its client area less its margins.
    RECT client;
    GetClientRect(box, &client);
    const auto margins = static_cast<DWORD>(SendMessageW(box, EM_GETMARGINS, 0, 0));
    const int room = client.right - LOWORD(margins) - HIWORD(margins);
    SIZE extent{};
    const HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, fontOf(controls[index]));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    const std::u16string_view shown(reinterpret_cast<const char16_t *>(text.c_str()), text.size());
    const auto changed = controls[index].tip.update(shown, extent.cx, room);
    if (!changed)
        return;
    std::wstring tip = wide(*changed);
    bool &tipShown = controls[index].tipShown;
    if (tip.empty() && !tipShown)
        return;
    if (!tooltip) {
        // The common controls come in with the first tip a window needs.
        static const bool ready = [] {
            INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
            return InitCommonControlsEx(&classes) != FALSE;
        }();
        tooltip = ready ? CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                                          GetModuleHandleW(nullptr), nullptr)
                        : nullptr;
        if (!tooltip)
            return;
        // Its lines as the core broke them, never wider than it allows.
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, pixels(kTipWidth));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    tool.lpszText = tip.data();
    const UINT request = tip.empty() ? TTM_DELTOOLW : tipShown ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW;
    SendMessageW(tooltip, request, 0, reinterpret_cast<LPARAM>(&tool));
    tipShown = !tip.empty();
}

SIZE WindowState::frameSize() const
{
    RECT frame{0, 0, pixels(form.clientWidth), pixels(form.clientHeight)};
    adjustForDpi(frame, kWindowStyle, kWindowExStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

WindowState *stateOf(HWND hwnd)
{
    const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (!root || !isFormWindow(root))
        return nullptr;
    return reinterpret_cast<WindowState *>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring wide(std::string_view utf8) { return wide(fromUtf8(utf8)); }

} // namespace iitcalc::forms::win32
