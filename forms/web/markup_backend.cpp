#include "forms/web/markup_backend.h"

namespace iitcalc::forms::web {

void MarkupBackend::createWindow(const FormRecord &form, EventSink &sink)
{
    m_sink = &sink;
    m_markup.createWindow(form);
    m_texts.assign(form.controls.size(), {});
    m_values.assign(form.controls.size(), 0);
}

void MarkupBackend::centreAndShow()
{
    if (m_sink)
        m_sink->windowActivated();
}

std::u16string MarkupBackend::text(ControlIndex box) const { return m_texts.at(box); }

void MarkupBackend::setText(ControlIndex box, std::u16string_view text)
{
    m_texts.at(box) = text;
    m_markup.setText(box, text);
}

void MarkupBackend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    m_values.at(bar) = clampTo(range, m_values.at(bar));
    m_markup.setScrollRange(bar, range);
}

std::int16_t MarkupBackend::scrollValue(ControlIndex bar) const { return m_values.at(bar); }

void MarkupBackend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    m_values.at(bar) = value;
    m_markup.setScrollValue(bar, value);
}

} // namespace iitcalc::forms::web
