#include "forms/fake/fake_backend.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace iitcalc::forms {

std::optional<ControlIndex> FakeBackend::indexOf(std::string_view name) const
{
    for (ControlIndex i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].record.name == name)
            return i;
    }
    return std::nullopt;
}

const FakeBackend::Control &FakeBackend::control(std::string_view name) const
{
    const auto index = indexOf(name);
    if (!index)
        throw std::out_of_range("no control " + std::string(name));
    return m_controls[*index];
}

void FakeBackend::type(std::string_view box, std::u16string_view text)
{
    const auto index = indexOf(box);
    if (index && m_controls[*index].record.kind == ControlKind::TextBox) {
        m_controls[*index].text = text;
        m_focus = index;
    }
}

void FakeBackend::click(std::string_view control)
{
    const auto index = indexOf(control);
    if (!index || !m_sink)
        return;
    const ControlKind kind = m_controls[*index].record.kind;
    if (kind == ControlKind::CommandButton)
        m_focus = index;
    if (raises(kind, Event::Click))
        m_sink->controlEvent(*index, Event::Click);
}

void FakeBackend::moveMouse(std::string_view control)
{
    const auto index = indexOf(control);
    if (index && m_sink && raises(m_controls[*index].record.kind, Event::MouseMove))
        m_sink->controlEvent(*index, Event::MouseMove);
}

void FakeBackend::setScrollValue(ControlIndex bar, int position)
{
    Control &control = m_controls[bar];
    const auto clamped = static_cast<std::int16_t>(std::clamp(position, 0, std::max<int>(0, control.max)));
    if (clamped == control.value)
        return;
    control.value = clamped;
    if (m_sink)
        m_sink->controlEvent(bar, Event::Change);
}

void FakeBackend::scrollBy(std::string_view bar, int steps)
{
    const auto index = indexOf(bar);
    if (index && m_controls[*index].record.kind == ControlKind::ScrollBar)
        setScrollValue(*index, m_controls[*index].value + steps);
}

void FakeBackend::dragThumb(std::string_view bar, std::int16_t position)
{
    const auto index = indexOf(bar);
    if (index && m_controls[*index].record.kind == ControlKind::ScrollBar)
        m_controls[*index].value =
            std::clamp<std::int16_t>(position, 0, std::max<std::int16_t>(0, m_controls[*index].max));
}

void FakeBackend::releaseThumb(std::string_view bar)
{
    const auto index = indexOf(bar);
    if (index && m_sink && m_controls[*index].record.kind == ControlKind::ScrollBar)
        m_sink->controlEvent(*index, Event::Change);
}

void FakeBackend::pressTab()
{
    if (m_tabOrder.empty())
        return;
    const auto at = m_focus ? std::find(m_tabOrder.begin(), m_tabOrder.end(), *m_focus) : m_tabOrder.end();
    m_focus = (at == m_tabOrder.end() || at + 1 == m_tabOrder.end()) ? m_tabOrder.front() : *(at + 1);
}

void FakeBackend::activate()
{
    if (m_sink && m_shown)
        m_sink->windowActivated();
}

void FakeBackend::close()
{
    if (m_sink)
        m_sink->windowClosed();
}

void FakeBackend::createWindow(const FormRecord &, EventSink &sink)
{
    m_sink = &sink;
    m_controls.clear();
    m_tabOrder.clear();
    m_focus.reset();
    m_shown = false;
    ++m_windowsBuilt;
}

void FakeBackend::createControl(ControlIndex index, const ControlRecord &record, std::optional<ControlIndex>)
{
    if (index != m_controls.size())
        throw std::logic_error("controls created out of order");
    m_controls.push_back({record, {}, 0, 0, static_cast<float>(record.top)});
}

void FakeBackend::finishWindow(std::span<const ControlIndex> tabOrder)
{
    m_tabOrder.assign(tabOrder.begin(), tabOrder.end());
    if (!m_tabOrder.empty())
        m_focus = m_tabOrder.front();
}

void FakeBackend::centreAndShow()
{
    m_position = kScreenCentre;
    const bool wasShown = std::exchange(m_shown, true);
    if (!wasShown)
        activate();
}

void FakeBackend::destroyWindow()
{
    m_sink = nullptr;
    m_shown = false;
    m_controls.clear();
    m_tabOrder.clear();
    m_focus.reset();
}

std::u16string FakeBackend::text(ControlIndex control) const { return m_controls.at(control).text; }

void FakeBackend::setText(ControlIndex control, std::u16string_view text) { m_controls.at(control).text = text; }

void FakeBackend::setScrollMax(ControlIndex control, std::int16_t max)
{
    m_controls.at(control).max = max;
    if (m_controls[control].value > max)
        setScrollValue(control, max);
}

std::int16_t FakeBackend::scrollValue(ControlIndex control) const { return m_controls.at(control).value; }

void FakeBackend::moveTop(ControlIndex control, float twips) { m_controls.at(control).top = twips; }

void FakeBackend::reportError(const RunTimeFailure &failure) { m_reports.push_back(failure.report()); }

} // namespace iitcalc::forms
