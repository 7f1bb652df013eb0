#pragma once

#include "forms/backend.h"

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

class Form;
namespace win32 {
struct WindowState;
}

// The forms backend on the Win32 API. The window and the panel are windows
// of classes of our own (the panel with a sunken edge, its controls inside
// it), boxes are EDIT controls, buttons BUTTON, the scroll bar a SCROLLBAR,
// labels STATIC controls painted here, and lines are drawn by their parent.
// Twips become pixels at the window's DPI, 1440 to the inch, and are laid
// out again when the DPI changes (forms/geometry.h). Everything runs on the thread that made
// the backend, whose message loop must pass messages through
// translateDialogMessage() (runMessageLoop() does).
class Win32Backend final : public Backend {
public:
    struct Options {
        // Post WM_QUIT once no window of this backend is left, as a program
        // with one window wants; tests leave it off.
        bool quitWhenLastWindowCloses = false;
    };

    Win32Backend();
    explicit Win32Backend(Options options);
    ~Win32Backend() override;

    HWND window() const;
    HWND control(ControlIndex control) const; // null for a line
    // See setControlCursor().
    void setCursor(ControlIndex control, HCURSOR cursor);

    void createWindow(const FormRecord &form, EventSink &sink) override;
    void createControl(const ControlPlan &control) override;
    void finishWindow(const WindowPlan &plan) override;
    void centreAndShow() override;
    void destroyWindow() override;
    std::u16string text(ControlIndex box) const override;
    void setText(ControlIndex box, std::u16string_view text) override;
    void showTextFromStart(ControlIndex box) override;
    void setScrollRange(ControlIndex bar, ScrollRange range) override;
    std::int16_t scrollValue(ControlIndex bar) const override;
    void setScrollValue(ControlIndex bar, std::int16_t value) override;
    void moveTop(ControlIndex control, float twips) override;
    void showMessage(std::string_view text, MessageKind kind) override;

private:
    Options m_options;
    std::unique_ptr<win32::WindowState> m_window;
    // Windows unloaded from inside their own messages, destroyed by a message
    // posted to them; freed here once they are gone, with the backend at the
    // latest.
    std::vector<std::unique_ptr<win32::WindowState>> m_retired;
};

// Keyboard navigation and the wheel for a message about to be dispatched:
// Tab and Shift+Tab walk the Tab order, Enter presses a button that has the
// focus and does nothing in a box, Escape does nothing, the rest of the
// dialog keys as IsDialogMessageW has them; the wheel goes to the control
// under the pointer (the core moves the panel's scroll bar for it). True when the message was used and must
// not be dispatched. Messages of other windows are left alone.
bool translateDialogMessage(MSG &message);

// Runs the thread's message loop until WM_QUIT and returns its exit code.
int runMessageLoop();

// The handles of a form on the Win32 backend, for tests and the link's hand
// pointer. Null when the form is not on Win32, not loaded or has no such
// control (or the control is a line).
HWND windowOf(const Form &form);
HWND controlOf(const Form &form, std::string_view control);

// The pointer shape shown while the pointer is over the control, until its
// window is unloaded; shown at once when the pointer is over it now. Null:
// the control's own. Does nothing for a control without a window.
void setControlCursor(const Form &form, std::string_view control, HCURSOR cursor);

} // namespace iitcalc::forms
