// The window procedures of the Win32 backend: the window, the panel and the
// labels (the system draws and runs the other controls).
#include "forms/win32/window_state.h"

#include <windowsx.h>

#include <optional>

namespace iitcalc::forms::win32 {

namespace {

WindowState *stateFromUserData(HWND hwnd)
{
    return reinterpret_cast<WindowState *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// What the user asked of a scroll bar, for the core to decide: nothing
// while the thumb is dragged (the control draws it) or for the end of a
// scroll.
std::optional<ScrollRequest> scrollRequestOf(int request)
{
    switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
        return ScrollRequest::Back;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
        return ScrollRequest::Forward;
    case SB_TOP:
        return ScrollRequest::ToTop;
    case SB_BOTTOM:
        return ScrollRequest::ToBottom;
    case SB_THUMBPOSITION:
        return ScrollRequest::ThumbLetGo;
    default:
        return std::nullopt;
    }
}

// Messages the window and the panel both answer for the controls on them:
// a button's click, a control taking the focus, a box's text changing, the
// scroll bar moving, and drawing their lines.
bool answerForControls(WindowState &state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const auto index = state.indexOf(reinterpret_cast<HWND>(lParam));
        if (!index)
            return true;
        const ControlKind kind = state.controls[*index].record().kind;
        const WORD code = HIWORD(wParam);
        if (kind == ControlKind::CommandButton && code == BN_CLICKED)
            state.deliver(*index, Event::Click);
        else if ((kind == ControlKind::CommandButton && code == BN_SETFOCUS) ||
                 (kind == ControlKind::TextBox && code == EN_SETFOCUS))
            state.deliver(*index, Event::GotFocus);
        else if (kind == ControlKind::TextBox && code == EN_CHANGE)
            state.updateTip(*index);
        return true;
    }
    case WM_VSCROLL: {
        const HWND bar = reinterpret_cast<HWND>(lParam);
        const auto index = state.indexOf(bar);
        if (!index || state.controls[*index].record().kind != ControlKind::ScrollBar)
            return false;
        const auto request = scrollRequestOf(LOWORD(wParam));
        if (request && state.sink)
            state.sink->scrollRequested(*index, *request, static_cast<short>(HIWORD(wParam)));
        return true;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd, &paint);
        paintLines(state, hwnd, dc);
        EndPaint(hwnd, &paint);
        return true;
    }
    case WM_PRINTCLIENT:
        paintLines(state, hwnd, reinterpret_cast<HDC>(wParam));
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *created = reinterpret_cast<WindowState *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        created->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        ++liveWindows();
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
        const SIZE size = state->frameSize();
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NCDESTROY: {
        // The controls are gone by now, so their fonts can go too.
        state->hwnd = nullptr;
        state->tooltip = nullptr; // owned by the window, gone with it
        state->releaseFonts();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const bool quit = state->quitWhenLastWindowCloses;
        if (--liveWindows() == 0 && quit)
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
        if (const auto index = state->indexOf(hwnd); index && message == WM_SETFOCUS)
            state->deliver(*index, Event::GotFocus);
        return 0;
    case WM_NCPAINT: {
        const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        if (GetFocus() == hwnd)
            paintFocusRing(hwnd, state->dpi);
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

// A label: painted here, a Click by LabelClick, MouseMove while the pointer
// moves over it, and the pointer shape set for it.
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
        paintLabel(*state, *index, dc);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        paintLabel(*state, *index, reinterpret_cast<HDC>(wParam));
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
        control.click.pressed(MouseButton::Left);
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONDBLCLK:
        control.click.pressed(MouseButton::Left, true);
        return 0;
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(hwnd, &client);
        const bool inside = PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
        const bool click = control.click.released(MouseButton::Left, inside);
        // Letting go of the capture cancels any press: decided before.
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (click)
            state->deliver(*index, Event::Click);
        return 0;
    }
    case WM_CAPTURECHANGED:
        control.click.cancelled();
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

} // namespace iitcalc::forms::win32
