#pragma once

// What the Win32 backend keeps for one window -- its controls' handles and
// plans, its fonts at the window's DPI, where its events go -- and the
// pieces of the backend that share it. Internal to forms/win32.

#include "forms/backend.h"
#include "forms/controls.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace iitcalc::forms::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// Control identifiers start here, clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Escape.
inline constexpr int kFirstControlId = 1000;
// Posted to a window unloaded from inside one of its own messages: by the
// time it arrives, that message has returned.
inline constexpr UINT kDestroyLater = WM_APP + 1;
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kWindowExStyle = 0;

struct Control {
    ControlPlan plan;
    HWND hwnd = nullptr;            // none for a line, which its parent draws
    float top = 0;                  // twips, as last placed
    std::size_t stackRank = 0;      // the higher, the nearer the front
    HCURSOR cursor = nullptr;       // shown while the pointer is over it; null: its own
    LabelClick click;               // a label's
    BoxTip tip;                     // a box's
    bool tipShown = false;          // the tool tip holds a tip for it
    WNDPROC originalProc = nullptr; // a label's, which ours hands the rest to
    const ControlRecord &record() const { return *plan.record; }
};

struct WindowState {
    WindowState(const FormRecord &form, EventSink &sink, bool quitWhenLastWindowCloses);
    ~WindowState();
    WindowState(const WindowState &) = delete;
    WindowState &operator=(const WindowState &) = delete;

    // Twips to pixels at the window's DPI (twipsToPixels).
    int pixels(double twips) const;
    RECT pixelRect(const ControlRecord &record) const;
    // The font for a record at the window's DPI, made once per DPI.
    HFONT font(const FontRecord &record);
    HFONT fontOf(const Control &control) { return font(control.record().font ? *control.record().font : form.font); }
    HWND parentWindow(const Control &control) const;
    std::optional<ControlIndex> indexOf(HWND child) const;
    void deliver(ControlIndex control, Event event) const;
    // Every control's place and font again, after the DPI has changed.
    void layOut();
    void releaseFonts();
    void showFocusCues() const;
    // A box's tool tip (BoxTip), after its text has changed.
    void updateTip(ControlIndex box);
    // The size of the window's frame around its client area at its DPI.
    SIZE frameSize() const;

    FormRecord form;
    EventSink *sink; // null once the backend has let go of the window
    bool quitWhenLastWindowCloses;
    HWND hwnd = nullptr;
    HWND tooltip = nullptr; // made for the first text that does not fit
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    std::vector<Control> controls;
    std::vector<ControlIndex> tabOrder;
    HWND lastFocus = nullptr;

private:
    struct CachedFont {
        FontRecord record;
        UINT dpi;
        FontHandle handle;
    };
    std::vector<CachedFont> m_fonts;
};

// The state of the window a handle belongs to (the window itself or any of
// its controls); null for windows of others.
WindowState *stateOf(HWND hwnd);

// The DPI of a window, and the system's sizes at a DPI; Windows 7 and 8 have
// one DPI for the whole system.
UINT dpiOf(HWND hwnd);
void adjustForDpi(RECT &frame, DWORD style, DWORD exStyle, UINT dpi);
int metricForDpi(int metric, UINT dpi);

// The window classes, registered once for the program, and the children.
void registerClasses();
bool isFormWindow(HWND hwnd);
HWND createChild(const Control &control, HWND parent, const RECT &rect, WindowState &state);
// Windows of this program alive now, counted by the window procedure.
int &liveWindows();

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK labelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Painting, in painting.cpp.
void paintLabel(WindowState &state, ControlIndex label, HDC dc);
void paintLines(WindowState &state, HWND parent, HDC dc);
void paintFocusRing(HWND panel, UINT dpi);

// A text for the wide API: UTF-16 as it is, UTF-8 decoded.
std::wstring wide(std::u16string_view text);
std::wstring wide(std::string_view utf8);

} // namespace iitcalc::forms::win32
