#include "forms/win32/win32_backend.h"
#include "forms/win32/window_state.h"

#include <windowsx.h>

namespace iitcalc::forms {

namespace {

bool keyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The control that holds the focus, or the one a focused child of its
// belongs to.
std::optional<ControlIndex> focusedControl(const win32::WindowState &state)
{
    for (HWND focus = GetFocus(); focus && focus != state.hwnd; focus = GetParent(focus)) {
        if (const auto index = state.indexOf(focus))
            return index;
    }
    return std::nullopt;
}

void moveFocus(win32::WindowState &state, bool forward)
{
    const auto target = tabTarget(state.tabOrder, focusedControl(state), forward, [&](ControlIndex control) {
        const HWND hwnd = state.controls[control].hwnd;
        return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
    });
    if (!target)
        return;
    const HWND hwnd = state.controls[*target].hwnd;
    SetFocus(hwnd);
    // Boxes and buttons say so themselves (EN_SETFOCUS, BN_SETFOCUS).
    if (state.controls[*target].record().kind == ControlKind::ScrollBar)
        state.deliver(*target, Event::GotFocus);
    // As in a dialog: a box reached by Tab has its text selected.
    if (SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
    state.showFocusCues();
}

// The wheel goes to the core with the control under the pointer, whichever
// window the system sent it to (the focused one, on some systems), the
// scroll bar included; over the window's bare client area, with none.
// Elsewhere (another window, the title bar) it is the system's.
bool routeWheel(win32::WindowState &state, MSG &message)
{
    POINT point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    const HWND under = WindowFromPoint(point);
    if (win32::stateOf(under) != &state)
        return false;
    std::optional<ControlIndex> over = state.indexOf(under);
    if (!over) {
        RECT client;
        GetClientRect(state.hwnd, &client);
        if (under != state.hwnd || !ScreenToClient(state.hwnd, &point) || !PtInRect(&client, point))
            return false;
    }
    if (state.sink)
        state.sink->wheelTurned(over, GET_WHEEL_DELTA_WPARAM(message.wParam));
    return true;
}

} // namespace

bool translateDialogMessage(MSG &message)
{
    win32::WindowState *state = win32::stateOf(message.hwnd);
    if (!state || !state->hwnd)
        return false;
    if (message.message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(message.wParam) & (MK_SHIFT | MK_CONTROL)) == 0)
        return routeWheel(*state, message);
    if (message.message == WM_KEYDOWN && !keyDown(VK_CONTROL) && !keyDown(VK_MENU)) {
        switch (message.wParam) {
        case VK_TAB:
            moveFocus(*state, !keyDown(VK_SHIFT));
            return true;
        case VK_RETURN:
        case VK_ESCAPE: {
            // The core decides; never the dialog manager's default and
            // cancel buttons, which the window does not have.
            const auto index = state->indexOf(GetFocus());
            const bool repeated = (message.lParam & (1 << 30)) != 0;
            const Key key = message.wParam == VK_RETURN ? Key::Enter : Key::Escape;
            if (index && state->sink)
                state->sink->keyPressed(*index, key, false, repeated);
            return true;
        }
        default:
            break;
        }
    }
    return IsDialogMessageW(state->hwnd, &message) != FALSE;
}

int runMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        if (!translateDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace iitcalc::forms
