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
// that does not exist, and a binding for a control that does not exist or
// for an event its kind never raises. Empty when the form can be built.
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
// loaded) raises 424 要求对象, a property the control lacks 438. Whatever a
// handler throws ends it and is reported once, the window staying open: a
// RunTimeFailure as it is, bad_alloc as 7 内存不足, anything else as 51
// 内部错误 with its message.
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
    // A scroll bar's Max and Value.
    void setMax(std::string_view control, std::int16_t max);
    std::int16_t value(std::string_view control) const;
    // A control's Height and Top, in twips, as the layout gave them or as
    // last set.
    float height(std::string_view control) const;
    float top(std::string_view control) const;
    void setTop(std::string_view control, float twips);

    const FormRecord &layout() const { return m_layout; }
    Backend &backend() const { return *m_backend; }
    std::optional<ControlIndex> find(std::string_view control) const;

private:
    void load();
    void controlEvent(ControlIndex control, Event event) override;
    void windowActivated() override;
    void windowClosed() override;
    void dispatch(std::string_view control, Event event);
    void report(const RunTimeFailure &failure);
    ControlIndex require(std::string_view control) const;
    ControlIndex requireKind(std::string_view control, ControlKind kind) const;
    ControlIndex requirePlaced(std::string_view control) const;

    FormRecord m_layout;
    std::vector<Binding> m_bindings;
    ErrorReporter m_reporter;
    std::vector<float> m_tops; // twips, per control
    bool m_loaded = false;
    bool m_activatePending = false;
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
