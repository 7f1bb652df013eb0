#pragma once

#include "forms/backend.h"
#include "forms/control_record.h"
#include "forms/run_time_failure.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

class Form;
using Handler = std::function<void(Form &)>;

// One handler for one (control, event) pair; the form's own events (Load,
// Activate) name the form.
struct Binding {
    std::string_view control;
    Event event;
    Handler handler;
};

// Shows a run-time failure to the user. Empty: the backend's own message box.
using ErrorReporter = std::function<void(const RunTimeFailure &failure)>;

// A layout or bindings that cannot be built, found before anything is
// created. what() names the control and the fault, one per line.
class LayoutError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Every fault of a layout with its bindings, one line each naming the
// control: an empty or duplicate name, a parent that does not exist, is not
// a picture box or comes after its child, a TabIndex given twice, a buddy
// that is not a text box, a picture box scrolled by something that is not a
// scroll bar, an address given to a control that is no link, and a binding
// for a control that does not exist or for an event its kind never raises.
// Empty when the form can be built.
std::vector<std::string> checkLayout(const FormRecord &layout, const std::vector<Binding> &bindings);

// A form, loaded or not, on some toolkit's backend. The constructor checks
// the layout and the bindings (checkLayout) and throws LayoutError on the
// first fault, after an assertion in a debug build.
//
// show() builds the window from its layout when it is not loaded (then runs
// Load), centres it, shows it, and runs Activate the first time it becomes
// the active window after that -- once per opening, however often the user
// switches away and back or an error report takes the focus for a while.
// unload() destroys the window with everything typed into it; the user
// closing the window does the same. Both are safe from inside a handler.
//
// Handlers read and write controls through the property functions, by
// object name. A name no control has (or any name while the form is not
// loaded) raises 424 要求对象, a property the control lacks 438, a value a
// property cannot take 380. Whatever a handler throws ends it and is
// reported once, the window staying open: a RunTimeFailure as it is,
// bad_alloc as 7 内存不足, anything else as 51 内部错误 with its message.
//
// What the core decides for every backend: the Tab order (by TabIndex,
// labels and lines never in it), stacking (the layout lists controls front
// to back), buddies and accessible names, and what the mouse wheel turns:
// over a picture box or anything on it, its scrolledBy bar; over a scroll
// bar, that bar; anywhere else in the window, the bar of the first scrolled
// picture box. One position a notch, Change following as for the bar
// itself. A text written by a handler shows from
// its start.
class Form final : private EventSink {
public:
    Form(FormRecord layout, std::vector<Binding> bindings, std::unique_ptr<Backend> backend,
         ErrorReporter reporter = {});
    ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    void show();
    void unload();
    bool isLoaded() const { return m_loaded; }

    // A text box's Text.
    std::u16string text(std::string_view control) const;
    void setText(std::string_view control, std::u16string_view text);
    // A scroll bar's Max and Value (forms/input.h: a negative Max gives
    // Max..0). A Value outside the range raises 380; one that changes the
    // position raises the bar's Change, and so does a Max that leaves the
    // Value outside, the Value moving to the nearer end.
    void setMax(std::string_view control, std::int16_t max);
    std::int16_t value(std::string_view control) const;
    void setValue(std::string_view control, std::int16_t value);
    // A control's Height and Top, in twips, as the layout gave them or as
    // last set.
    float height(std::string_view control) const;
    float top(std::string_view control) const;
    void setTop(std::string_view control, float twips);

    // Shows a message to the user in the window's own modal box (not a
    // run-time failure: the handler goes on once it is dismissed, or at once
    // where the toolkit cannot wait; see Backend::showMessage).
    void showMessage(std::string_view text, MessageKind kind = MessageKind::Warning);

    const FormRecord &layout() const { return m_layout; }
    Backend &backend() const { return *m_backend; }
    std::optional<ControlIndex> find(std::string_view control) const;
    // What the backends are handed, the same for every opening.
    const std::vector<ControlPlan> &controlPlans() const { return m_controlPlans; }
    const WindowPlan &windowPlan() const { return m_windowPlan; }

private:
    void plan();
    void load();
    void controlEvent(ControlIndex control, Event event) override;
    void scrollRequested(ControlIndex bar, ScrollRequest request, int thumb) override;
    void wheelTurned(std::optional<ControlIndex> over, int delta) override;
    bool keyPressed(ControlIndex control, Key key, bool ctrlOrAlt, bool repeated) override;
    void windowActivated() override;
    void windowClosed() override;
    void dispatch(std::string_view control, Event event);
    void moveScrollBar(ControlIndex bar, int value);
    void report(const RunTimeFailure &failure);
    ControlIndex require(std::string_view control) const;
    ControlIndex requireKind(std::string_view control, ControlKind kind) const;
    ControlIndex requirePlaced(std::string_view control) const;

    FormRecord m_layout;
    std::vector<Binding> m_bindings;
    ErrorReporter m_reporter;
    // The plan, made once: the views in the plans point into these.
    std::vector<std::u16string> m_accessibleNames;
    std::vector<ControlIndex> m_backToFront;
    std::vector<ControlIndex> m_tabOrder;
    std::vector<Buddy> m_buddies;
    std::vector<ControlIndex> m_readingOrder;
    std::vector<ControlPlan> m_controlPlans;
    WindowPlan m_windowPlan;
    // Per control, as last set: the top in twips, a scroll bar's Max.
    std::vector<float> m_tops;
    std::vector<std::int16_t> m_scrollMax;
    bool m_loaded = false;
    bool m_activatePending = false;
    WheelNotches m_wheel;
    std::unique_ptr<Backend> m_backend; // last, so it goes first
};

// The control whose handler is running on this thread, for the services a
// handler calls that act where the event happened (the hand pointer over
// the control the pointer moves on). Null outside handlers.
struct RunningEvent {
    Form *form;
    std::string_view control;
    Event event;
};
const RunningEvent *runningEvent();

} // namespace iitcalc::forms
