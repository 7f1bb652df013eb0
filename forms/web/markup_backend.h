#pragma once

#include "forms/backend.h"
#include "forms/web/markup.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::forms::web {

// A backend that only writes the markup: what iitcalc-prerender opens the
// window on. Events never come.
class MarkupBackend final : public Backend {
public:
    explicit MarkupBackend(Measure measure = estimatedMeasure())
        : m_markup(std::move(measure))
    {
    }
    const WindowMarkup &markup() const { return m_markup; }

    void createWindow(const FormRecord &form, EventSink &sink) override;
    void createControl(const ControlPlan &control) override { m_markup.createControl(control); }
    void finishWindow(const WindowPlan &plan) override { m_markup.finishWindow(plan); }
    void centreAndShow() override;
    void destroyWindow() override { m_sink = nullptr; }
    std::u16string text(ControlIndex box) const override;
    void setText(ControlIndex box, std::u16string_view text) override;
    void showTextFromStart(ControlIndex) override {}
    void setScrollRange(ControlIndex bar, ScrollRange range) override;
    std::int16_t scrollValue(ControlIndex bar) const override;
    void setScrollValue(ControlIndex bar, std::int16_t value) override;
    void moveTop(ControlIndex, float) override {}
    void showMessage(std::string_view, MessageKind) override {}

private:
    WindowMarkup m_markup;
    EventSink *m_sink = nullptr;
    std::vector<std::u16string> m_texts;
    std::vector<std::int16_t> m_values;
};

} // namespace iitcalc::forms::web
