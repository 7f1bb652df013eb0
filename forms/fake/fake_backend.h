#pragma once

#include "forms/backend.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms {

// A toolkit in memory, for tests: it keeps each control's record and
// properties and lets a test act as the user would -- type, click, scroll,
// move the pointer, switch away and back, move or close the window. Shown
// windows become active at once, as under most window managers.
class FakeBackend final : public Backend {
public:
    struct Control {
        ControlRecord record;
        std::u16string text;
        std::int16_t max = 0;
        std::int16_t value = 0;
        float top = 0; // twips
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
    std::optional<ControlIndex> focus() const { return m_focus; }
    const Control &control(std::string_view name) const;
    // What reportError() was asked to show, when no reporter stands in.
    const std::vector<std::string> &reports() const { return m_reports; }

    // The user's actions. Each does nothing when the control cannot take it
    // (a click on a text box), just as a real window would.
    void type(std::string_view box, std::u16string_view text);
    void click(std::string_view control);
    void moveMouse(std::string_view control);
    // Arrows and the trough move the thumb by one, the keys to an end or by
    // one; Change follows when the position changed.
    void scrollBy(std::string_view bar, int steps);
    // Dragging the thumb moves it without Change; letting go raises Change.
    void dragThumb(std::string_view bar, std::int16_t position);
    void releaseThumb(std::string_view bar);
    void pressTab();
    void activate();
    void moveWindow(Point centre) { m_position = centre; }
    void close();

    void createWindow(const FormRecord &form, EventSink &sink) override;
    void createControl(ControlIndex index, const ControlRecord &record, std::optional<ControlIndex> parent) override;
    void finishWindow(std::span<const ControlIndex> tabOrder) override;
    void centreAndShow() override;
    void destroyWindow() override;
    std::u16string text(ControlIndex control) const override;
    void setText(ControlIndex control, std::u16string_view text) override;
    void setScrollMax(ControlIndex control, std::int16_t max) override;
    std::int16_t scrollValue(ControlIndex control) const override;
    void moveTop(ControlIndex control, float twips) override;
    void reportError(const RunTimeFailure &failure) override;

private:
    std::optional<ControlIndex> indexOf(std::string_view name) const;
    void setScrollValue(ControlIndex bar, int position);

    EventSink *m_sink = nullptr;
    std::vector<Control> m_controls;
    std::vector<ControlIndex> m_tabOrder;
    std::optional<ControlIndex> m_focus;
    bool m_shown = false;
    Point m_position{0, 0};
    int m_windowsBuilt = 0;
    std::vector<std::string> m_reports;
};

} // namespace iitcalc::forms
