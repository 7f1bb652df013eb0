#pragma once

#include "forms/control_record.h"
#include "forms/run_time_failure.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace iitcalc::forms {

enum class Event { Load, Activate, Click, Change, MouseMove };

class Form;
using Handler = std::function<void(Form &)>;

// One handler for one (control, event) pair; the form's own events (Load,
// Activate) name the form.
struct Binding {
    std::string_view control;
    Event event;
    Handler handler;
};

// Shows a run-time failure to the user. The default puts up a modal message
// box over the window; tests install one that records.
using ErrorReporter = std::function<void(QWidget *window, const RunTimeFailure &failure)>;
ErrorReporter messageBoxReporter();

// A form, loaded or not. show() builds it from its layout when it is not
// loaded (then runs Load), places it in the centre of the screen, shows it,
// and runs Activate the first time it becomes the active window after that
// -- once per opening, however often the user switches away and back or a
// message box takes the focus for a while. unload() destroys the window and
// every control with what was typed into them; closing the window does the
// same. Both are safe from inside one of the form's own handlers.
//
// Handlers read and write controls through the property functions below,
// by object name. A name no control has, or a property the control lacks,
// raises a RunTimeFailure; so does anything a handler throws as one. The
// failure ends the handler and is reported once; the window stays open.
class Form {
public:
    Form(const FormRecord &layout, std::vector<Binding> bindings, ErrorReporter reporter = messageBoxReporter());
    ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    void show();
    void unload();
    bool isLoaded() const;

    // A text box's Text.
    std::u16string text(std::string_view control) const;
    void setText(std::string_view control, std::u16string_view text);
    // A scroll bar's Max and Value.
    void setMax(std::string_view control, std::int16_t max);
    std::int16_t value(std::string_view control) const;
    // A control's Height and Top, in twips.
    float height(std::string_view control) const;
    void setTop(std::string_view control, float twips);

    // The widgets, for tests and the toolkit's own needs (dialogs' owner).
    QWidget *window() const;
    QWidget *widget(std::string_view control) const;

private:
    void load();
    void connectEvents(const ControlRecord &record, QWidget *control);
    void dispatch(std::string_view control, Event event);
    void windowActivated();
    void windowClosed();
    QWidget *require(std::string_view control) const;
    template <class Widget>
    Widget *requireKind(std::string_view control) const;

    const FormRecord &m_layout;
    std::vector<Binding> m_bindings;
    ErrorReporter m_reporter;
    QPointer<QWidget> m_window;
    std::map<std::string, QPointer<QWidget>, std::less<>> m_controls;
    bool m_activatePending = false;
};

} // namespace iitcalc::forms
