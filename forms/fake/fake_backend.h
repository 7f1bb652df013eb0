#pragma once

#include "forms/backend.h"
#include "forms/controls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

// A toolkit in memory, for tests: it keeps each control's plan and
// properties and lets a test act as the user would -- type, click, press
// and let go of the mouse, turn the wheel, scroll, move the pointer, Tab,
// switch away and back, move or close the window. Shown windows become
// active at once, as under most window managers.
class FakeBackend final : public Backend {
public:
    struct Control {
        ControlPlan plan;
        std::u16string text;
        bool shownFromStart = false; // since the program last wrote it
        ScrollRange range;
        std::int16_t value = 0;
        std::int16_t thumb = 0; // where the thumb is drawn: the value but in a drag
        bool dragging = false;
        float top = 0; // twips
        LabelClick click;
        const ControlRecord &record() const { return *plan.record; }
    };
    struct Message {
        std::string text;
        MessageKind kind;
        friend bool operator==(const Message &, const Message &) = default;
    };
    struct Point {
        int x;
        int y;
        friend bool operator==(Point, Point) = default;
    };
    static constexpr Point kScreenCentre{640, 400};

    // The window as it stands, or nothing when none is built.
    bool built() const { return m_sink != nullptr; }
    bool shown() const { return m_shown; }
    Point position() const { return m_position; } // the window's centre
    int windowsBuilt() const { return m_windowsBuilt; }
    const std::vector<ControlIndex> &tabOrder() const { return m_tabOrder; }
    // The control names from the back of the window to the front.
    std::vector<std::string_view> stacking() const;
    const std::vector<Buddy> &buddies() const { return m_buddies; }
    std::optional<ControlIndex> focus() const { return m_focus; }
    const Control &control(std::string_view name) const;
    // What showMessage() was asked to show.
    const std::vector<Message> &messages() const { return m_messages; }

    // The user's actions. Each does nothing when the control cannot take it
    // (a click on a text box), just as a real window would.
    void type(std::string_view box, std::u16string_view text);
    // A click: on a label, the left button pressed and let go inside it.
    void click(std::string_view control);
    void pressMouse(std::string_view label, MouseButton button = MouseButton::Left);
    void doubleClickMouse(std::string_view label); // the second press of a double-click
    void releaseMouse(std::string_view label, bool inside, MouseButton button = MouseButton::Left);
    void moveMouse(std::string_view control);
    // Whole notches, downwards positive, or a turn as a toolkit counts it;
    // over no control (an empty name): the window's bare client area.
    void turnWheel(std::string_view over, int notches);
    void turnWheelBy(std::string_view over, int delta);
    // Arrows, the trough and the arrow keys: one request a step, Back for a
    // negative count; Home and End (ToTop, ToBottom) through scroll().
    void scrollBy(std::string_view bar, int steps);
    void scroll(std::string_view bar, ScrollRequest request);
    // Dragging the thumb moves the thumb alone (clamped to the range), the
    // value staying; letting go asks for the position it was let go at.
    void dragThumb(std::string_view bar, std::int16_t position);
    void releaseThumb(std::string_view bar);
    // Tab, or Shift+Tab (backward), walking the Tab order round.
    void pressTab(bool forward = true);
    // Enter or Escape on the control with the focus; true when the core took
    // it (with Ctrl or Alt it is the toolkit's, which does nothing here).
    bool pressKey(Key key, bool ctrlOrAlt = false, bool repeated = false);
    void activate();
    void moveWindow(Point centre) { m_position = centre; }
    void close();

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
    std::optional<ControlIndex> indexOf(std::string_view name) const;
    std::optional<ControlIndex> labelIndex(std::string_view name) const;
    std::optional<ControlIndex> barIndex(std::string_view name) const;
    void focusOn(ControlIndex control);

    EventSink *m_sink = nullptr;
    std::vector<Control> m_controls;
    std::vector<ControlIndex> m_tabOrder;
    std::vector<ControlIndex> m_backToFront;
    std::vector<Buddy> m_buddies;
    std::optional<ControlIndex> m_focus;
    bool m_shown = false;
    Point m_position{0, 0};
    int m_windowsBuilt = 0;
    std::vector<Message> m_messages;
};

} // namespace iitcalc::forms
