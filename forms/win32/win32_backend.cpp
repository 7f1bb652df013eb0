#include "forms/win32/win32_backend.h"

#include "forms/form.h"
#include "forms/win32/window_state.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace iitcalc::forms {

using win32::Control;
using win32::WindowState;

namespace {

// The program's icon in its resources.
constexpr int kIconResource = 1;

bool g_shownBefore = false;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

} // namespace

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
    win32::registerClasses();
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
        CreateWindowExW(win32::kWindowExStyle, L"iitcalc.Form", win32::wide(form.caption).c_str(), win32::kWindowStyle,
                        monitor.rcWork.left, monitor.rcWork.top, 0, 0, nullptr, nullptr, instance(), state.get());
    if (!hwnd)
        throw std::runtime_error("the window cannot be created");
    state->dpi = win32::dpiOf(hwnd);
    const SIZE size = state->frameSize();
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!form.iconPath.empty()) {
        // Shared icons: loaded once for the program, never freed.
        for (const auto &[which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
            const int side = win32::metricForDpi(metric, state->dpi);
            if (const HANDLE icon =
                    LoadImageW(instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, side, side, LR_SHARED))
                SendMessageW(hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    m_window = std::move(state);
}

void Win32Backend::createControl(const ControlPlan &plan)
{
    WindowState &state = *m_window;
    Control &control = state.controls.at(plan.index);
    control.plan = plan;
    control.top = static_cast<float>(plan.record->top);
    const HWND hwnd = win32::createChild(control, state.parentWindow(control), state.pixelRect(*plan.record), state);
    if (!hwnd)
        return;
    control.hwnd = hwnd;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state.fontOf(control)), FALSE);
    switch (plan.record->kind) {
    case ControlKind::TextBox:
        // What is pasted is what is read, however long.
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
        break;
    case ControlKind::Label:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        control.originalProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(win32::labelProc)));
        break;
    default:
        break;
    }
}

void Win32Backend::finishWindow(const WindowPlan &plan)
{
    WindowState &state = *m_window;
    for (std::size_t rank = 0; rank < plan.backToFront.size(); ++rank) {
        Control &control = state.controls.at(plan.backToFront[rank]);
        control.stackRank = rank;
        if (control.hwnd)
            SetWindowPos(control.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // A caption label just in front of its box, where assistive technology
    // looks for the box's name. They overlap nothing, so nothing else shows.
    for (const Buddy &buddy : plan.buddies) {
        const HWND box = state.controls.at(buddy.box).hwnd;
        const HWND before = GetWindow(box, GW_HWNDPREV);
        SetWindowPos(state.controls.at(buddy.label).hwnd, before ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    state.tabOrder.assign(plan.tabOrder.begin(), plan.tabOrder.end());
    for (const ControlIndex index : state.tabOrder) {
        const HWND hwnd = state.controls.at(index).hwnd;
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
    const PixelPoint corner = placeFrame({work.left, work.top, work.right - work.left, work.bottom - work.top},
                                         frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(hwnd, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    if (m_window->hwnd && PostMessageW(m_window->hwnd, win32::kDestroyLater, 0, 0))
        m_retired.push_back(std::move(m_window));
    m_window.reset();
}

std::u16string Win32Backend::text(ControlIndex box) const
{
    const HWND hwnd = control(box);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void Win32Backend::setText(ControlIndex box, std::u16string_view text)
{
    // EN_CHANGE follows, and with it the box's tool tip.
    SetWindowTextW(control(box), win32::wide(text).c_str());
}

void Win32Backend::showTextFromStart(ControlIndex box)
{
    // A text that fits shows from its start wherever the caret is.
    if (m_window->controls.at(box).tip.fits())
        return;
    SendMessageW(control(box), EM_SETSEL, 0, 0);
    SendMessageW(control(box), EM_SCROLLCARET, 0, 0);
}

void Win32Backend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    info.nMin = range.low;
    info.nMax = range.high;
    SetScrollInfo(control(bar), SB_CTL, &info, TRUE);
}

std::int16_t Win32Backend::scrollValue(ControlIndex bar) const
{
    return static_cast<std::int16_t>(GetScrollPos(control(bar), SB_CTL));
}

void Win32Backend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    SetScrollPos(control(bar), SB_CTL, value, TRUE);
}

void Win32Backend::moveTop(ControlIndex index, float twips)
{
    Control &moved = m_window->controls[index];
    moved.top = twips;
    // Drawn afresh where it lands: copying the old pixels along leaves stale
    // images of the controls behind on some systems.
    SetWindowPos(moved.hwnd, nullptr, m_window->pixels(moved.record().left), m_window->pixels(twips), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    RedrawWindow(moved.hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Backend::showMessage(std::string_view text, MessageKind kind)
{
    const HWND owner = window();
    const std::wstring caption = m_window ? win32::wide(m_window->form.caption) : std::wstring();
    MessageBoxW(owner, win32::wide(text).c_str(), caption.c_str(),
                MB_OK | (kind == MessageKind::Error ? MB_ICONERROR : MB_ICONWARNING));
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
