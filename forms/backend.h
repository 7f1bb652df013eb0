#pragma once

#include "forms/control_record.h"
#include "forms/input.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace iitcalc::forms {

enum class Event { Load, Activate, Click, Change, MouseMove, GotFocus };

// Whether a control of this kind ever raises the event: a button's Click, a
// label's Click and MouseMove, a scroll bar's Change, and GotFocus of every
// kind that takes the focus. Load and Activate are the window's own and no
// control raises them.
constexpr bool raises(ControlKind kind, Event event)
{
    switch (kind) {
    case ControlKind::CommandButton:
        return event == Event::Click || event == Event::GotFocus;
    case ControlKind::Label:
        return event == Event::Click || event == Event::MouseMove;
    case ControlKind::ScrollBar:
        return event == Event::Change || event == Event::GotFocus;
    case ControlKind::PictureBox:
    case ControlKind::TextBox:
        return event == Event::GotFocus;
    case ControlKind::Line:
        return false;
    }
    return false;
}

// A control's position in its layout's list of controls.
using ControlIndex = std::size_t;

// One control as the core hands it to a backend to build.
struct ControlPlan {
    ControlIndex index;
    const ControlRecord *record;
    // The picture box it sits on, built before it; none: the window itself.
    std::optional<ControlIndex> parent;
    // What assistive technology calls it, one line: a label's caption, a
    // box's caption label's caption, or the record's own accessible name.
    std::u16string_view accessibleName;
};

// A caption label and the box it names, for the keyboard and screen readers.
struct Buddy {
    ControlIndex label;
    ControlIndex box;
};

// What the core decides about the window as a whole once every control is
// built.
struct WindowPlan {
    // Every control from the back of the window to the front: each goes in
    // front of all before it (the layout lists them front to back).
    std::span<const ControlIndex> backToFront;
    // The controls Tab walks, in order; the first takes the focus. Labels and
    // lines never do.
    std::span<const ControlIndex> tabOrder;
    std::span<const Buddy> buddies;
    // Every control but the lines, as a reader takes them in: by parent, then
    // top to bottom, then left to right.
    std::span<const ControlIndex> readingOrder;
};

enum class MessageKind { Error, Warning };

// What a backend tells the forms core about the window it shows. A backend
// calls it only for the window it built last and only until destroyWindow()
// returns; after that nothing of the old window may call it.
class EventSink {
public:
    virtual void controlEvent(ControlIndex control, Event event) = 0;
    // The user asked a scroll bar to move (forms/input.h); `thumb` is where
    // its thumb was let go. The core sets the bar's value and raises Change
    // when it moved. A toolkit moves neither the value nor the panel itself,
    // and while the thumb is dragged it moves the thumb alone.
    virtual void scrollRequested(ControlIndex bar, ScrollRequest request, int thumb) = 0;
    // The wheel turned over a control, or over the window's bare client area
    // (none), by `delta` as the toolkit counts it (kWheelNotch a notch, away
    // from the user positive). The core sums the notches and decides what
    // they scroll, the scroll bar's own wheel included.
    virtual void wheelTurned(std::optional<ControlIndex> over, int delta) = 0;
    // Enter or Escape pressed on a control with the focus (forms/input.h).
    // True when the core took the key, the toolkit then doing nothing more
    // with it; a Click follows where the key presses a button.
    virtual bool keyPressed(ControlIndex control, Key key, bool ctrlOrAlt, bool repeated) = 0;
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
// in twips (forms/geometry.h turns them into pixels); every rule of how
// controls behave that is not a toolkit call is the core's (forms/controls.h).
// Indices always name a control of the kind the call is for.
class Backend {
public:
    virtual ~Backend() = default;

    // Builds the window, hidden, and remembers the sink for its events.
    virtual void createWindow(const FormRecord &form, EventSink &sink) = 0;
    // One control of the window, in layout order.
    virtual void createControl(const ControlPlan &control) = 0;
    // Once every control exists: stacking, buddies, Tab order and focus.
    virtual void finishWindow(const WindowPlan &plan) = 0;
    // Places the window where placeFrame() says on the screen it opens on
    // and shows it. Activation comes through the sink, now or later, as the
    // toolkit has it.
    virtual void centreAndShow() = 0;
    // Destroys the window and its controls with all their contents. Safe from
    // inside one of the window's own events; from its return on, nothing of
    // that window reaches the sink.
    virtual void destroyWindow() = 0;

    // A text box's Text. Writing it sets the box's tool tip by tipFor().
    virtual std::u16string text(ControlIndex box) const = 0;
    virtual void setText(ControlIndex box, std::u16string_view text) = 0;
    // Scrolls a box so that its text shows from the start, the caret there.
    virtual void showTextFromStart(ControlIndex box) = 0;
    // A scroll bar's range and value. The range is what scrollRange() makes
    // of Max: a negative Max gives Max..0, the top at Max. Setting either
    // raises nothing; a value left outside a new range (Max set below it)
    // is the core's to move, by setScrollValue(), with the Change that
    // follows. The value always lies within the range.
    virtual void setScrollRange(ControlIndex bar, ScrollRange range) = 0;
    virtual std::int16_t scrollValue(ControlIndex bar) const = 0;
    virtual void setScrollValue(ControlIndex bar, std::int16_t value) = 0;
    // Moves a control so that its top lies this many twips below its
    // parent's top, keeping its left.
    virtual void moveTop(ControlIndex control, float twips) = 0;

    // Shows a message in a modal box owned by the window (its lines as
    // given, the window's caption as its title) and returns once the user
    // has dismissed it -- or, where the toolkit cannot wait (the browser), at
    // once, the box keeping the user from the window until it is dismissed
    // and later messages waiting their turn.
    virtual void showMessage(std::string_view text, MessageKind kind) = 0;
};

} // namespace iitcalc::forms
