#pragma once

#include "forms/control_record.h"
#include "forms/run_time_failure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace iitcalc::forms {

enum class Event { Load, Activate, Click, Change, MouseMove };

// Whether a control of this kind ever raises the event: a button's Click, a
// label's Click and MouseMove, a scroll bar's Change. Load and Activate are
// the window's own and no control raises them.
constexpr bool raises(ControlKind kind, Event event)
{
    switch (kind) {
    case ControlKind::CommandButton:
        return event == Event::Click;
    case ControlKind::Label:
        return event == Event::Click || event == Event::MouseMove;
    case ControlKind::ScrollBar:
        return event == Event::Change;
    case ControlKind::PictureBox:
    case ControlKind::TextBox:
    case ControlKind::Line:
        return false;
    }
    return false;
}

// A control's position in its layout's list of controls.
using ControlIndex = std::size_t;

// What a backend tells the forms core about the window it shows. A backend
// calls it only for the window it built last and only until destroyWindow()
// returns; after that nothing of the old window may call it.
class EventSink {
public:
    virtual void controlEvent(ControlIndex control, Event event) = 0;
    // The window became the program's active window (again).
    virtual void windowActivated() = 0;
    // The user closed the window.
    virtual void windowClosed() = 0;

protected:
    ~EventSink() = default;
};

// Everything a toolkit does for the forms core: one window at a time, built
// from a layout the core has checked, its properties read and written by
// control index, its events delivered to the sink. Sizes and positions come
// in twips; the backend turns them into its own pixels.
class Backend {
public:
    virtual ~Backend() = default;

    // Builds the window, hidden, and remembers the sink for its events.
    virtual void createWindow(const FormRecord &form, EventSink &sink) = 0;
    // One control of the window; its parent, when it is not the window, is a
    // picture box created before it. Controls come from the front of the
    // window to the back.
    virtual void createControl(ControlIndex index, const ControlRecord &record, std::optional<ControlIndex> parent) = 0;
    // Once every control exists: the Tab order (focusable controls only, in
    // order), the first of which takes the focus.
    virtual void finishWindow(std::span<const ControlIndex> tabOrder) = 0;
    // Places the window in the centre of the screen and shows it. Activation
    // comes through the sink, now or later, as the toolkit has it.
    virtual void centreAndShow() = 0;
    // Destroys the window and its controls with all their contents. Safe from
    // inside one of the window's own events; from its return on, nothing of
    // that window reaches the sink.
    virtual void destroyWindow() = 0;

    // A text box's Text.
    virtual std::u16string text(ControlIndex control) const = 0;
    virtual void setText(ControlIndex control, std::u16string_view text) = 0;
    // A scroll bar's Max and Value.
    virtual void setScrollMax(ControlIndex control, std::int16_t max) = 0;
    virtual std::int16_t scrollValue(ControlIndex control) const = 0;
    // Moves a control so that its top lies this many twips below its
    // parent's top, keeping its left.
    virtual void moveTop(ControlIndex control, float twips) = 0;

    // Shows a run-time failure to the user, in a box owned by the window,
    // and returns once the user has dismissed it.
    virtual void reportError(const RunTimeFailure &failure) = 0;
};

} // namespace iitcalc::forms
