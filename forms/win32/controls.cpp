// The window classes of the Win32 backend, the system controls its controls
// are made of, and the DPI look-ups they are laid out with.
#include "forms/win32/system_function.h"
#include "forms/win32/window_state.h"

#include <stdexcept>
#include <string>

namespace iitcalc::forms::win32 {

namespace {

constexpr const wchar_t *kWindowClass = L"iitcalc.Form";
constexpr const wchar_t *kPanelClass = L"iitcalc.PictureBox";

ATOM g_windowClass = 0;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

} // namespace

UINT dpiOf(HWND hwnd)
{
    static const auto forWindow = systemFunction<UINT(WINAPI *)(HWND)>(L"user32.dll", "GetDpiForWindow");
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
        systemFunction<BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (forDpi)
        forDpi(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

int metricForDpi(int metric, UINT dpi)
{
    static const auto forDpi = systemFunction<int(WINAPI *)(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
    return forDpi ? forDpi(metric, dpi) : GetSystemMetrics(metric);
}

int &liveWindows()
{
    static int count = 0;
    return count;
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

bool isFormWindow(HWND hwnd) { return g_windowClass && GetClassWord(hwnd, GCW_ATOM) == g_windowClass; }

HWND createChild(const Control &control, HWND parent, const RECT &rect, WindowState &state)
{
    const ControlRecord &record = control.record();
    const wchar_t *windowClass = nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP;
    DWORD exStyle = 0;
    // Assistive technology reads a control's window text: the core's name
    // for it (a label's caption on one line); a box starts empty and is named
    // by its caption label, just in front of it.
    std::wstring text = wide(control.plan.accessibleName);
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
        // BS_NOTIFY: the parent hears when it takes the focus.
        style |= BS_PUSHBUTTON | BS_NOTIFY;
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
        break;
    case ControlKind::Line:
        return nullptr;
    }
    const HWND hwnd = CreateWindowExW(
        exStyle, windowClass, text.c_str(), style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + control.plan.index)), instance(),
        &state);
    if (!hwnd)
        throw std::runtime_error("control " + std::string(record.name) + " cannot be created");
    return hwnd;
}

} // namespace iitcalc::forms::win32
