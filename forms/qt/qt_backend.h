#pragma once

#include "forms/backend.h"

#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <string_view>
#include <vector>

namespace iitcalc::forms {

class Form;
class FormWindow;

// The forms backend on Qt Widgets: the window a QWidget, the panel a sunken
// QFrame, boxes QLineEdits, buttons QPushButtons, the scroll bar a
// QScrollBar, labels and lines painted by widgets of our own. Twips become
// logical pixels at 15 to one, so Qt's own scaling takes them to the screen.
class QtBackend final : public Backend {
public:
    QtBackend() = default;
    ~QtBackend() override;

    QWidget *window() const;
    QWidget *widget(ControlIndex control) const;

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
    template <class Widget>
    Widget *as(ControlIndex control) const;

    QPointer<FormWindow> m_window;
    std::vector<QPointer<QWidget>> m_controls;
    // Windows unloaded from inside their own events, waiting for the event
    // loop to delete them; deleted with the backend at the latest.
    std::vector<QPointer<QWidget>> m_retired;
};

// Qt's own words (a text box's context menu, its standard buttons) in the
// language of the locale, from Qt's translations where they are installed.
void loadToolkitTranslations(const QLocale &locale);

// The widgets of a form on the Qt backend, for tests and the link's hand
// pointer. Null when the form is not on Qt, not loaded or has no such control.
QWidget *windowOf(const Form &form);
QWidget *widgetOf(const Form &form, std::string_view control);

} // namespace iitcalc::forms
