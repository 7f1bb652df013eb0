#pragma once

#include "forms/backend.h"
#include "forms/controls.h"
#include "forms/web/markup.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

class Form;

// The forms backend in a web page, over the DOM. The window's elements are
// made from the markup of forms/web/markup.h in one piece -- or are already
// in the page, written there when it was built, and taken over. The window is one element
// of fixed size in CSS pixels (15 twips to one, so the browser's zoom and
// devicePixelRatio scale it), placed by placeFrame() in the viewport and
// scaled down as a whole where the viewport is narrower. Controls are real
// form controls -- inputs, buttons, a link the browser follows -- so that
// focus, Tab, the clipboard, input methods and screen readers work as the
// browser does them; the scroll bar, which HTML lacks, is an element of our
// own with the ARIA scrollbar role. Its look is forms/web/forms.css; the
// listeners that bring events back are forms/web/dom.js (--pre-js).
//
// The browser cannot wait for the user: showMessage() shows a modal
// <dialog>, which keeps the user from the window until it is dismissed,
// and returns at once; messages shown meanwhile wait their turn.
class WebBackend final : public Backend {
public:
    WebBackend();
    ~WebBackend() override;
    WebBackend(const WebBackend &) = delete;
    WebBackend &operator=(const WebBackend &) = delete;

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

    // A link being clicked goes to `address` when the browser follows it.
    // False when the control is no link of this window or no click of it is
    // under way.
    bool followLink(ControlIndex control, std::u16string_view address);
    // The hand pointer over a control of the window, while the pointer is
    // over it.
    void showHand(ControlIndex control);

    // What the listeners of dom.js report (its kWhat), for the window they
    // were added to (`window` is its serial number). The result of a
    // link's Follow: whether the browser may follow it.
    enum class DomEvent { Focus, Click, Scroll, Key, Move, Input, Press, Release, Follow, Wheel };
    bool domEvent(unsigned window, ControlIndex control, DomEvent what, int a, int b);
    enum class PageEvent { Resize, Activate };
    void pageEvent(PageEvent what);

private:
    struct Control {
        const ControlRecord *record;
        std::string font; // CSS font shorthand
        int room;         // a box's, for its text, in CSS pixels
        int em;           // its font's size in CSS pixels
        LabelClick click;
        bool follow = false; // a link's click that the browser may follow
        BoxTip tip = {};     // a box's
    };

    void place();
    void updateTip(ControlIndex box, std::u16string_view shown);
    void labelClicked(ControlIndex label);

    bool built(ControlIndex control) const { return m_serial != 0 && control < m_controls.size(); }

    const FormRecord *m_form = nullptr;
    EventSink *m_sink = nullptr;
    unsigned m_serial = 0; // of the window shown, 0 for none
    bool m_shown = false;
    bool m_catchUp = false;                      // what was done before the window was ready
    std::unique_ptr<web::WindowMarkup> m_markup; // while the window is built
    std::vector<Control> m_controls;
    std::optional<ControlIndex> m_firstFocus;
    std::optional<ControlIndex> m_clicking; // the label whose Click is running
};

// WebBackend::showHand() for a form on the web backend, by control name;
// nothing for any other form.
void showHand(const Form &form, std::string_view control);

// WebBackend::followLink() for a form on the web backend, by control name.
bool followLink(const Form &form, std::string_view control, std::u16string_view address);

} // namespace iitcalc::forms
