#include "forms/win32/win32_backend.h"

#include "forms/form.h"
#include "forms/win32/window_state.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace iitcalc::forms {

using win32::Control;
using win32::WindowState;

namespace {

constexpr const wchar_t *kWindowClass = L"iitcalc.Form";
constexpr const wchar_t *kPanelClass = L"iitcalc.PictureBox";
// Posted to a window unloaded from inside one of its own messages: by the
// time it arrives, that message has returned.
constexpr UINT kDestroyLater = WM_APP + 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
// The program's icon in its resources.
constexpr int kIconResource = 1;

ATOM g_windowClass = 0;
int g_liveWindows = 0;
bool g_shownBefore = false;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

// Windows 10 gives each window the DPI of its monitor; Windows 7 and 8 have
// one DPI for the whole system and lack these functions, so they are looked
// up rather than imported.
template <class Function>
Function user32Function(const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT dpiOf(HWND hwnd)
{
    static const auto forWindow = user32Function<UINT(WINAPI *)(HWND)>("GetDpiForWindow");
    if (forWindow)
        return forWindow(hwnd);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void adjustForDpi(RECT &frame, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto forDpi =
        user32Function<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi)
        forDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

int metricForDpi(int metric, UINT dpi)
{
    static const auto forDpi = user32Function<int(WINAPI *)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(metric, dpi) : GetSystemMetrics(metric);
}

WindowState *stateFromUserData(HWND hwnd)
{
    return reinterpret_cast<WindowState *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Messages the window and the panel both answer for the controls on them:
// a button's click, the scroll bar moving, and drawing their lines.
bool answerForControls(WindowState &state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const auto index = state.indexOf(reinterpret_cast<HWND>(lParam));
        if (index && state.controls[*index].record.kind == ControlKind::CommandButton && HIWORD(wParam) == BN_CLICKED)
            state.deliver(*index, Event::Click);
        return true;
    }
    case WM_VSCROLL: {
        const HWND bar = reinterpret_cast<HWND>(lParam);
        const auto index = state.indexOf(bar);
        if (!index || state.controls[*index].record.kind != ControlKind::ScrollBar)
            return false;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS;
        GetScrollInfo(bar, SB_CTL, &info);
        int position = info.nPos;
        const int request = LOWORD(wParam);
        // An arrow and the trough both move by one; the thumb moves the
        // panel when it is let go, not while it is dragged.
        switch (request) {
        case SB_LINEUP:
        case SB_PAGEUP:
            --position;
            break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            ++position;
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        case SB_THUMBPOSITION:
            position = static_cast<short>(HIWORD(wParam));
            break;
        default: // SB_THUMBTRACK, SB_ENDSCROLL
            return true;
        }
        position = std::clamp(position, info.nMin, info.nMax);
        const bool moved = position != info.nPos;
        if (moved)
            SetScrollPos(bar, SB_CTL, position, TRUE);
        if (moved || request == SB_THUMBPOSITION)
            state.deliver(*index, Event::Change);
        return true;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        win32::paintLines(state, hwnd, dc);
        EndPaint(hwnd, &paint);
        return true;
    }
    case WM_PRINTCLIENT:
        win32::paintLines(state, hwnd, reinterpret_cast<HDC>(wParam));
        return true;
    default:
        return false;
    }
}

SIZE frameSizeFor(const WindowState &state)
{
    RECT frame{0, 0, state.pixels(state.form.clientWidth), state.pixels(state.form.clientHeight)};
    adjustForDpi(frame, kWindowStyle, kWindowExStyle, state.dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *created = reinterpret_cast<WindowState *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        created->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        ++g_liveWindows;
    }
    WindowState *state = stateFromUserData(hwnd);
    if (!state)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus))
                state->lastFocus = focus;
            return 0;
        }
        if (!HIWORD(wParam)) // not minimised
            SetFocus(state->lastFocus && IsChild(hwnd, state->lastFocus) ? state->lastFocus : hwnd);
        // The forms core keeps only the first activation of each opening.
        if (state->sink)
            state->sink->windowActivated();
        return 0;
    case WM_SETFOCUS:
        if (state->lastFocus && IsChild(hwnd, state->lastFocus))
            SetFocus(state->lastFocus);
        return 0;
    case WM_CLOSE:
        // Unloading is the forms core's decision; it comes back through
        // destroyWindow().
        if (state->sink)
            state->sink->windowClosed();
        return 0;
    case kDestroyLater:
        DestroyWindow(hwnd);
        return 0;
    case WM_DPICHANGED: {
        state->dpi = HIWORD(wParam);
        state->layOut();
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        const SIZE size = frameSizeFor(*state);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NCDESTROY: {
        // The controls are gone by now, so their fonts can go too.
        state->hwnd = nullptr;
        state->releaseFonts();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const bool quit = state->quitWhenLastWindowCloses;
        if (--g_liveWindows == 0 && quit)
            PostQuitMessage(0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    default:
        if (answerForControls(*state, hwnd, message, wParam, lParam))
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    WindowState *state = stateFromUserData(hwnd);
    if (!state)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    switch (message) {
    case WM_GETDLGCODE:
        // Arrow keys on the panel move nothing.
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return 0;
    case WM_NCPAINT: {
        const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        if (GetFocus() == hwnd)
            win32::paintFocusRing(hwnd);
        return result;
    }
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
        if (answerForControls(*state, hwnd, message, wParam, lParam))
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// A label: painted here, a Click that is a press and release of the left
// button inside it (the second press of a double-click is not a click),
// MouseMove while the pointer moves over it, and the pointer shape set for it.
LRESULT CALLBACK labelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowState *state = stateFromUserData(hwnd);
    const auto index = state ? state->indexOf(hwnd) : std::nullopt;
    if (!index)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    Control &control = state->controls[*index];
    const WNDPROC original = control.originalProc;

    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        win32::paintLabel(*state, *index, dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        win32::paintLabel(*state, *index, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (control.cursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(control.cursor);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        state->deliver(*index, Event::MouseMove);
        return 0;
    case WM_LBUTTONDOWN:
        control.pressed = true;
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONDBLCLK:
        control.pressed = false;
        return 0;
    case WM_LBUTTONUP: {
        const bool pressed = std::exchange(control.pressed, false);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        RECT client;
        GetClientRect(hwnd, &client);
        if (pressed && PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            state->deliver(*index, Event::Click);
        return 0;
    }
    case WM_CAPTURECHANGED:
        control.pressed = false;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        control.hwnd = nullptr;
        break;
    default:
        break;
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

void registerClasses()
{
    if (g_windowClass)
        return;
    WNDCLASSEXW window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = windowProc;
    window.hInstance = instance();
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window.lpszClassName = kWindowClass;
    g_windowClass = RegisterClassExW(&window);
    WNDCLASSEXW panel = window;
    panel.lpfnWndProc = panelProc;
    panel.lpszClassName = kPanelClass;
    if (!g_windowClass || !RegisterClassExW(&panel))
        throw std::runtime_error("the window classes cannot be registered");
}

HWND createChild(const Control &control, HWND parent, const RECT &rect, ControlIndex index, WindowState &state)
{
    const ControlRecord &record = control.record;
    const wchar_t *windowClass = nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP;
    DWORD exStyle = 0;
    std::wstring text = win32::wide(record.caption);
    switch (record.kind) {
    case ControlKind::ScrollBar:
        windowClass = L"SCROLLBAR";
        style |= SBS_VERT;
        break;
    case ControlKind::PictureBox:
        windowClass = kPanelClass;
        style |= WS_CLIPCHILDREN;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= BS_PUSHBUTTON;
        break;
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        text.clear();
        break;
    case ControlKind::Label:
        windowClass = L"STATIC";
        style |= SS_NOTIFY | SS_NOPREFIX | (record.alignment == TextAlignment::Centre ? SS_CENTER : SS_LEFT);
        // One line for assistive technology; the painting keeps the breaks.
        std::erase_if(text, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
        break;
    case ControlKind::Line:
        return nullptr;
    }
    if (!record.accessibleName.empty() && record.kind != ControlKind::TextBox)
        text = win32::wide(record.accessibleName);
    const HWND hwnd = CreateWindowExW(
        exStyle, windowClass, text.c_str(), style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(win32::kFirstControlId + index)), instance(), &state);
    if (!hwnd)
        throw std::runtime_error("control " + std::string(record.name) + " cannot be created");
    return hwnd;
}

} // namespace

int twipsToPixels(double twips, unsigned dpi)
{
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

namespace win32 {

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
    const int left = pixels(record.left);
    const int top = pixels(record.top);
    return {left, top, left + pixels(record.width), top + pixels(record.height)};
}

HFONT WindowState::font(const FontRecord &record)
{
    for (const CachedFont &cached : m_fonts) {
        if (cached.dpi == dpi && cached.record.family == record.family && cached.record.points == record.points &&
            cached.record.bold == record.bold)
            return cached.handle.get();
    }
    LOGFONTW logFont{};
    logFont.lfHeight = -static_cast<LONG>(std::lround(record.points * dpi / 72.0));
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
    return control.parent < 0 ? hwnd : controls[static_cast<std::size_t>(control.parent)].hwnd;
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
        RECT rect = pixelRect(control.record);
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

WindowState *stateOf(HWND hwnd)
{
    const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (!root || !g_windowClass || GetClassWord(root, GCW_ATOM) != g_windowClass)
        return nullptr;
    return stateFromUserData(root);
}

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring result(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
                        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result.data(), static_cast<int>(result.size()));
    return result;
}

} // namespace win32

Win32Backend::Win32Backend()
    : Win32Backend(Options{})
{
}

Win32Backend::Win32Backend(Options options)
    : m_options(options)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API is UTF-16");
}

Win32Backend::~Win32Backend()
{
    m_window.reset();
    m_retired.clear();
}

HWND Win32Backend::window() const { return m_window ? m_window->hwnd : nullptr; }

HWND Win32Backend::control(ControlIndex control) const
{
    return m_window && control < m_window->controls.size() ? m_window->controls[control].hwnd : nullptr;
}

HWND Win32Backend::require(ControlIndex control, ControlKind kind) const
{
    const HWND hwnd = this->control(control);
    if (!hwnd || m_window->controls[control].record.kind != kind)
        throw runTimeFailure(kObjectRequired, "要求对象");
    return hwnd;
}

void Win32Backend::setCursor(ControlIndex control, HCURSOR cursor)
{
    const HWND hwnd = this->control(control);
    if (!hwnd)
        return;
    m_window->controls[control].cursor = cursor;
    POINT pointer;
    if (cursor && GetCursorPos(&pointer) && WindowFromPoint(pointer) == hwnd)
        SetCursor(cursor);
}

void Win32Backend::createWindow(const FormRecord &form, EventSink &sink)
{
    registerClasses();
    destroyWindow();
    auto state = std::make_unique<WindowState>(form, sink, m_options.quitWhenLastWindowCloses);
    // Made on the monitor it will open on, so that it has that monitor's DPI
    // from the start: the one the pointer is on.
    POINT pointer{};
    GetCursorPos(&pointer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const HWND hwnd =
        CreateWindowExW(kWindowExStyle, kWindowClass, win32::wide(form.caption).c_str(), kWindowStyle,
                        monitor.rcWork.left, monitor.rcWork.top, 0, 0, nullptr, nullptr, instance(), state.get());
    if (!hwnd)
        throw std::runtime_error("the window cannot be created");
    state->dpi = dpiOf(hwnd);
    const SIZE size = frameSizeFor(*state);
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!form.iconPath.empty()) {
        // Shared icons: loaded once for the program, never freed.
        for (const auto &[which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
            const int side = metricForDpi(metric, state->dpi);
            if (const HANDLE icon =
                    LoadImageW(instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, side, side, LR_SHARED))
                SendMessageW(hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    m_window = std::move(state);
}

void Win32Backend::createControl(ControlIndex index, const ControlRecord &record, std::optional<ControlIndex> parent)
{
    WindowState &state = *m_window;
    Control &control = state.controls.at(index);
    control.record = record;
    control.top = static_cast<float>(record.top);
    if (parent)
        control.parent = static_cast<int>(*parent);
    const HWND hwnd = createChild(control, state.parentWindow(control), state.pixelRect(record), index, state);
    if (!hwnd)
        return;
    control.hwnd = hwnd;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state.fontOf(control)), FALSE);
    switch (record.kind) {
    case ControlKind::TextBox:
        // What is pasted is what is read, however long.
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
        break;
    case ControlKind::Label:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        control.originalProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(labelProc)));
        break;
    default:
        break;
    }
}

void Win32Backend::finishWindow(std::span<const ControlIndex> tabOrder)
{
    WindowState &state = *m_window;
    // The layout lists controls from the front of the window to the back.
    for (auto control = state.controls.rbegin(); control != state.controls.rend(); ++control) {
        if (control->hwnd)
            SetWindowPos(control->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // A caption label just in front of its box, where assistive technology
    // looks for the box's name. They overlap nothing, so nothing else shows.
    for (const Control &label : state.controls) {
        if (!label.hwnd || label.record.buddy.empty())
            continue;
        for (const Control &box : state.controls) {
            if (box.hwnd && box.record.name == label.record.buddy && GetParent(box.hwnd) == GetParent(label.hwnd)) {
                const HWND before = GetWindow(box.hwnd, GW_HWNDPREV);
                SetWindowPos(label.hwnd, before ? before : HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
    }
    state.tabOrder.assign(tabOrder.begin(), tabOrder.end());
    for (const ControlIndex index : state.tabOrder) {
        if (const HWND hwnd = state.controls.at(index).hwnd)
            SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_TABSTOP);
    }
    // Takes the focus when the window becomes active.
    state.lastFocus = state.tabOrder.empty() ? nullptr : state.controls[state.tabOrder.front()].hwnd;
}

void Win32Backend::centreAndShow()
{
    if (!m_window || !m_window->hwnd)
        return;
    const HWND hwnd = m_window->hwnd;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT frame;
    GetWindowRect(hwnd, &frame);
    const RECT &work = monitor.rcWork;
    // The whole frame in the middle of the work area; never the title bar
    // above it, where it could not be grabbed.
    const int left = std::max(work.left, work.left + (work.right - work.left - (frame.right - frame.left)) / 2);
    const int top = std::max(work.top, work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2);
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The first window shows as the program was started (normal, minimised…).
    ShowWindow(hwnd, std::exchange(g_shownBefore, true) ? SW_SHOW : SW_SHOWDEFAULT);
    if (!IsIconic(hwnd))
        SetForegroundWindow(hwnd);
    // A window unloaded by Clear goes out of sight only now, so that the
    // activation passes straight from it to this one.
    for (const std::unique_ptr<WindowState> &old : m_retired) {
        if (old->hwnd)
            ShowWindow(old->hwnd, SW_HIDE);
    }
}

void Win32Backend::destroyWindow()
{
    std::erase_if(m_retired, [](const std::unique_ptr<WindowState> &state) { return !state->hwnd; });
    if (!m_window)
        return;
    m_window->sink = nullptr;
    // The caller may be one of the window's own messages (Clear's click, the
    // close box): the window goes once that has returned.
    if (m_window->hwnd && PostMessageW(m_window->hwnd, kDestroyLater, 0, 0))
        m_retired.push_back(std::move(m_window));
    m_window.reset();
}

std::u16string Win32Backend::text(ControlIndex control) const
{
    const HWND box = require(control, ControlKind::TextBox);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void Win32Backend::setText(ControlIndex control, std::u16string_view text)
{
    const HWND box = require(control, ControlKind::TextBox);
    SetWindowTextW(box, win32::wide(text).c_str());
    // A text the program writes is read from its beginning.
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

void Win32Backend::setScrollMax(ControlIndex control, std::int16_t max)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    info.nMin = std::min<int>(0, max);
    info.nMax = std::max<int>(0, max);
    SetScrollInfo(require(control, ControlKind::ScrollBar), SB_CTL, &info, TRUE);
}

std::int16_t Win32Backend::scrollValue(ControlIndex control) const
{
    return static_cast<std::int16_t>(GetScrollPos(require(control, ControlKind::ScrollBar), SB_CTL));
}

void Win32Backend::moveTop(ControlIndex control, float twips)
{
    const HWND hwnd = this->control(control);
    if (!hwnd)
        throw runTimeFailure(kObjectRequired, "要求对象");
    Control &moved = m_window->controls[control];
    moved.top = twips;
    // Drawn afresh where it lands: copying the old pixels along leaves stale
    // images of the controls behind on some systems.
    SetWindowPos(hwnd, nullptr, m_window->pixels(moved.record.left), m_window->pixels(twips), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Backend::reportError(const RunTimeFailure &failure)
{
    const HWND owner = window();
    const std::wstring caption = m_window ? win32::wide(m_window->form.caption) : std::wstring();
    MessageBoxW(owner, win32::wide(failure.report()).c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

namespace {

const Win32Backend *backendOf(const Form &form)
{
    return form.isLoaded() ? dynamic_cast<const Win32Backend *>(&form.backend()) : nullptr;
}

} // namespace

HWND windowOf(const Form &form)
{
    const Win32Backend *backend = backendOf(form);
    return backend ? backend->window() : nullptr;
}

HWND controlOf(const Form &form, std::string_view control)
{
    const Win32Backend *backend = backendOf(form);
    if (!backend)
        return nullptr;
    if (control == form.layout().name)
        return backend->window();
    const auto index = form.find(control);
    return index ? backend->control(*index) : nullptr;
}

void setControlCursor(const Form &form, std::string_view control, HCURSOR cursor)
{
    auto *backend = form.isLoaded() ? dynamic_cast<Win32Backend *>(&form.backend()) : nullptr;
    const auto index = form.find(control);
    if (backend && index)
        backend->setCursor(*index, cursor);
}

} // namespace iitcalc::forms
