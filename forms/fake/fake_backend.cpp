#include "forms/fake/fake_backend.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace iitcalc::forms {

std::optional<ControlIndex> FakeBackend::indexOf(std::string_view name) const
{
    for (ControlIndex i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].record().name == name)
            return i;
    }
    return std::nullopt;
}

std::optional<ControlIndex> FakeBackend::labelIndex(std::string_view name) const
{
    const auto index = indexOf(name);
    if (!index || !m_sink || m_controls[*index].record().kind != ControlKind::Label)
        return std::nullopt;
    return index;
}

const FakeBackend::Control &FakeBackend::control(std::string_view name) const
{
    const auto index = indexOf(name);
    if (!index)
        throw std::out_of_range("no control " + std::string(name));
    return m_controls[*index];
}

std::vector<std::string_view> FakeBackend::stacking() const
{
    std::vector<std::string_view> names;
    for (const ControlIndex index : m_backToFront)
        names.push_back(m_controls.at(index).record().name);
    return names;
}

void FakeBackend::focusOn(ControlIndex control)
{
    if (m_focus == control)
        return;
    m_focus = control;
    if (m_sink)
        m_sink->controlEvent(control, Event::GotFocus);
}

void FakeBackend::type(std::string_view box, std::u16string_view text)
{
    const auto index = indexOf(box);
    if (!index || m_controls[*index].record().kind != ControlKind::TextBox)
        return;
    focusOn(*index);
    m_controls[*index].text = text;
    m_controls[*index].shownFromStart = false;
}

void FakeBackend::click(std::string_view control)
{
    const auto index = indexOf(control);
    if (!index || !m_sink)
        return;
    switch (m_controls[*index].record().kind) {
    case ControlKind::CommandButton:
        focusOn(*index);
        if (m_sink) // unless the focus unloaded the window
            m_sink->controlEvent(*index, Event::Click);
        break;
    case ControlKind::Label:
        pressMouse(control);
        releaseMouse(control, true);
        break;
    default:
        break;
    }
}

void FakeBackend::pressMouse(std::string_view label, MouseButton button)
{
    if (const auto index = labelIndex(label))
        m_controls[*index].click.pressed(button);
}

void FakeBackend::doubleClickMouse(std::string_view label)
{
    if (const auto index = labelIndex(label))
        m_controls[*index].click.pressed(MouseButton::Left, true);
}

void FakeBackend::releaseMouse(std::string_view label, bool inside, MouseButton button)
{
    const auto index = labelIndex(label);
    if (index && m_controls[*index].click.released(button, inside))
        m_sink->controlEvent(*index, Event::Click);
}

void FakeBackend::moveMouse(std::string_view control)
{
    const auto index = indexOf(control);
    if (index && m_sink && raises(m_controls[*index].record().kind, Event::MouseMove))
        m_sink->controlEvent(*index, Event::MouseMove);
}

void FakeBackend::turnWheel(std::string_view over, int notches) { turnWheelBy(over, -notches * kWheelNotch); }

void FakeBackend::turnWheelBy(std::string_view over, int delta)
{
    const auto index = indexOf(over);
    if (m_sink && (index || over.empty()))
        m_sink->wheelTurned(index, delta);
}

std::optional<ControlIndex> FakeBackend::barIndex(std::string_view name) const
{
    const auto index = indexOf(name);
    if (!index || !m_sink || m_controls[*index].record().kind != ControlKind::ScrollBar)
        return std::nullopt;
    return index;
}

void FakeBackend::scrollBy(std::string_view bar, int steps)
{
    for (int step = 0; step < std::abs(steps) && barIndex(bar); ++step)
        scroll(bar, steps < 0 ? ScrollRequest::Back : ScrollRequest::Forward);
}

void FakeBackend::scroll(std::string_view bar, ScrollRequest request)
{
    if (const auto index = barIndex(bar))
        m_sink->scrollRequested(*index, request, 0);
}

void FakeBackend::dragThumb(std::string_view bar, std::int16_t position)
{
    if (const auto index = barIndex(bar)) {
        Control &control = m_controls[*index];
        control.dragging = true;
        control.thumb = clampTo(control.range, position);
    }
}

void FakeBackend::releaseThumb(std::string_view bar)
{
    const auto index = barIndex(bar);
    if (!index || !m_controls[*index].dragging)
        return;
    m_controls[*index].dragging = false;
    m_sink->scrollRequested(*index, ScrollRequest::ThumbLetGo, m_controls[*index].thumb);
    if (const auto again = barIndex(bar)) // unless the Change unloaded the window
        m_controls[*again].thumb = m_controls[*again].value;
}

void FakeBackend::pressTab(bool forward)
{
    if (const auto target = tabTarget(m_tabOrder, m_focus, forward, [](ControlIndex) { return true; }))
        focusOn(*target);
}

bool FakeBackend::pressKey(Key key, bool ctrlOrAlt, bool repeated)
{
    return m_sink && m_focus && m_sink->keyPressed(*m_focus, key, ctrlOrAlt, repeated);
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
    m_backToFront.clear();
    m_buddies.clear();
    m_focus.reset();
    m_shown = false;
    ++m_windowsBuilt;
}

void FakeBackend::createControl(const ControlPlan &plan)
{
    if (plan.index != m_controls.size())
        throw std::logic_error("controls created out of order");
    if (plan.parent &&
        (*plan.parent >= plan.index || m_controls[*plan.parent].record().kind != ControlKind::PictureBox))
        throw std::logic_error("a parent that is not a picture box built before its child");
    m_controls.push_back({plan, {}, false, {}, 0, 0, false, static_cast<float>(plan.record->top), {}});
}

void FakeBackend::finishWindow(const WindowPlan &plan)
{
    m_tabOrder.assign(plan.tabOrder.begin(), plan.tabOrder.end());
    m_backToFront.assign(plan.backToFront.begin(), plan.backToFront.end());
    m_buddies.assign(plan.buddies.begin(), plan.buddies.end());
    // The window takes the focus as it opens: no GotFocus yet.
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

std::u16string FakeBackend::text(ControlIndex box) const { return m_controls.at(box).text; }

void FakeBackend::setText(ControlIndex box, std::u16string_view text)
{
    m_controls.at(box).text = text;
    m_controls[box].shownFromStart = false;
}

void FakeBackend::showTextFromStart(ControlIndex box) { m_controls.at(box).shownFromStart = true; }

void FakeBackend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    Control &control = m_controls.at(bar);
    if (range.low > range.high)
        throw std::logic_error("a scroll range upside down");
    control.range = range;
    // As a toolkit does: the value is kept within the range, silently.
    control.value = clampTo(range, control.value);
    if (!control.dragging)
        control.thumb = control.value;
}

std::int16_t FakeBackend::scrollValue(ControlIndex bar) const { return m_controls.at(bar).value; }

void FakeBackend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    Control &control = m_controls.at(bar);
    if (clampTo(control.range, value) != value)
        throw std::logic_error("a scroll value outside its range");
    control.value = value;
    if (!control.dragging)
        control.thumb = value;
}

void FakeBackend::moveTop(ControlIndex control, float twips) { m_controls.at(control).top = twips; }

void FakeBackend::showMessage(std::string_view text, MessageKind kind)
{
    m_messages.push_back({std::string(text), kind});
}

} // namespace iitcalc::forms
