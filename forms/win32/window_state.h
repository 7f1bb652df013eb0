#pragma once

// What the Win32 backend keeps for one window: its controls' handles and
// records, its fonts at the window's DPI, where its events go. Internal to
// forms/win32.

#include "forms/backend.h"

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

struct Control {
    ControlRecord record;
    int parent = -1;                // the picture box it sits on; -1: the window
    HWND hwnd = nullptr;            // none for a line, which its parent draws
    float top = 0;                  // twips, as last placed
    HCURSOR cursor = nullptr;       // shown while the pointer is over it; null: its own
    bool pressed = false;           // a label's left button went down inside it
    WNDPROC originalProc = nullptr; // a label's, which ours hands the rest to
};

struct WindowState {
    WindowState(const FormRecord &form, EventSink &sink, bool quitWhenLastWindowCloses);
    ~WindowState();
    WindowState(const WindowState &) = delete;
    WindowState &operator=(const WindowState &) = delete;

    // Twips to pixels at the window's DPI, to nearest.
    int pixels(double twips) const;
    RECT pixelRect(const ControlRecord &record) const;
    // The font for a record at the window's DPI, made once per DPI.
    HFONT font(const FontRecord &record);
    HFONT fontOf(const Control &control) { return font(control.record.font ? *control.record.font : form.font); }
    HWND parentWindow(const Control &control) const;
    std::optional<ControlIndex> indexOf(HWND child) const;
    void deliver(ControlIndex control, Event event) const;
    // Every control's place and font again, after the DPI has changed.
    void layOut();
    void releaseFonts();
    void showFocusCues() const;

    FormRecord form;
    EventSink *sink; // null once the backend has let go of the window
    bool quitWhenLastWindowCloses;
    HWND hwnd = nullptr;
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

// Painting, in painting.cpp.
void paintLabel(WindowState &state, ControlIndex label, HDC dc);
void paintLines(WindowState &state, HWND parent, HDC dc);
void paintFocusRing(HWND panel);

// UTF-16 and UTF-8 for the system's wide API.
std::wstring wide(std::u16string_view text);
std::wstring wide(std::string_view utf8);

} // namespace iitcalc::forms::win32
