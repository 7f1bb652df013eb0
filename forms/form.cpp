#include "forms/form.h"

#include "calc/run_time_error.h"
#include "forms/controls.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <map>
#include <new>
#include <tuple>
#include <utility>

namespace iitcalc::forms {

RunTimeFailure runTimeFailure(int number, std::string_view message)
{
    return RunTimeFailure(number, numberedReport(number, message));
}

namespace {

thread_local const RunningEvent *t_running = nullptr;

// Texts joined piece by piece: g++ 12 warns falsely (-Wrestrict) where a
// literal is added to a temporary string.
std::string join(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

std::string quoted(std::string_view name) { return join({"\"", name, "\""}); }

constexpr bool takesFocus(ControlKind kind) { return raises(kind, Event::GotFocus); }

} // namespace

const RunningEvent *runningEvent() { return t_running; }

std::vector<std::string> checkLayout(const FormRecord &layout, const std::vector<Binding> &bindings)
{
    std::vector<std::string> faults;
    const auto fault = [&](std::string_view control, std::string_view what) {
        faults.push_back(join({"control ", quoted(control), ": ", what}));
    };
    if (layout.name.empty())
        fault(layout.name, "the form has no name");

    std::map<std::string_view, std::size_t> position; // name -> index, the form as npos
    position.emplace(layout.name, static_cast<std::size_t>(-1));
    std::map<int, std::string_view> tabIndexes;
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlRecord &record = layout.controls[i];
        if (record.name.empty())
            fault(record.name, join({"a control has no name (entry ", std::to_string(i), ")"}));
        else if (!position.emplace(record.name, i).second)
            fault(record.name, "the name is given twice");
        if (!record.parent.empty() && record.parent != layout.name) {
            const auto parent = position.find(record.parent);
            const auto later =
                std::find_if(layout.controls.begin() + static_cast<std::ptrdiff_t>(i) + 1, layout.controls.end(),
                             [&](const ControlRecord &r) { return r.name == record.parent; });
            if (parent == position.end() && later == layout.controls.end())
                fault(record.name, join({"parent ", quoted(record.parent), " does not exist"}));
            else if (parent == position.end())
                fault(record.name, join({"parent ", quoted(record.parent), " comes after its child"}));
            else if (layout.controls[parent->second].kind != ControlKind::PictureBox)
                fault(record.name, join({"parent ", quoted(record.parent), " is not a picture box"}));
        }
        if (record.tabIndex >= 0) {
            const auto [other, fresh] = tabIndexes.emplace(record.tabIndex, record.name);
            if (!fresh)
                fault(record.name,
                      join({"TabIndex ", std::to_string(record.tabIndex), " is also ", quoted(other->second), "'s"}));
        }
    }
    const auto kindOf = [&](std::string_view name) -> std::optional<ControlKind> {
        const auto found = position.find(name);
        if (found == position.end() || name == layout.name)
            return std::nullopt;
        return layout.controls[found->second].kind;
    };
    for (const ControlRecord &record : layout.controls) {
        if (!record.buddy.empty() && kindOf(record.buddy) != ControlKind::TextBox)
            fault(record.name, join({"buddy ", quoted(record.buddy), " is not a text box"}));
        if (!record.address.empty() && !record.link)
            fault(record.name, "an address is given to a control that is not a link");
        if (!record.scrolledBy.empty() &&
            (record.kind != ControlKind::PictureBox || kindOf(record.scrolledBy) != ControlKind::ScrollBar))
            fault(record.name,
                  join({"only a picture box is scrolled, and only by a scroll bar (", quoted(record.scrolledBy), ")"}));
    }
    for (const Binding &binding : bindings) {
        if (!binding.handler) {
            fault(binding.control, "a binding has no handler");
            continue;
        }
        const auto found = position.find(binding.control);
        if (found == position.end()) {
            fault(binding.control, "a handler is bound but no such control exists");
            continue;
        }
        const bool formEvent = binding.event == Event::Load || binding.event == Event::Activate;
        const bool isForm = binding.control == layout.name;
        if (isForm ? !formEvent : !raises(layout.controls[found->second].kind, binding.event))
            fault(binding.control, "a handler is bound to an event this kind of control never raises");
    }
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (bindings[j].control == bindings[i].control && bindings[j].event == bindings[i].event) {
                fault(bindings[i].control, "two handlers are bound to one event");
                break;
            }
        }
    }
    return faults;
}

Form::Form(FormRecord layout, std::vector<Binding> bindings, std::unique_ptr<Backend> backend, ErrorReporter reporter)
    : m_layout(layout)
    , m_bindings(std::move(bindings))
    , m_reporter(std::move(reporter))
    , m_tops(layout.controls.size())
    , m_scrollMax(layout.controls.size())
    , m_backend(std::move(backend))
{
    const std::vector<std::string> faults = checkLayout(m_layout, m_bindings);
    if (!faults.empty()) {
        std::string all;
        for (const std::string &line : faults)
            all.append(line).append("\n");
        std::fputs(all.c_str(), stderr);
        assert(!"the form's layout or bindings cannot be built");
        throw LayoutError(all);
    }
    if (!m_backend)
        throw LayoutError(join({"form ", quoted(m_layout.name), ": no backend"}));
    plan();
}

void Form::plan()
{
    const std::span<const ControlRecord> controls = m_layout.controls;
    const auto parentOf = [&](const ControlRecord &record) -> std::optional<ControlIndex> {
        if (record.parent.empty() || record.parent == m_layout.name)
            return std::nullopt;
        return find(record.parent);
    };

    m_accessibleNames.resize(controls.size());
    for (ControlIndex i = 0; i < controls.size(); ++i) {
        const ControlRecord &record = controls[i];
        if (!record.accessibleName.empty())
            m_accessibleNames[i] = oneLine(record.accessibleName);
        else if (record.kind == ControlKind::Label || record.kind == ControlKind::CommandButton)
            m_accessibleNames[i] = oneLine(record.caption);
        if (!record.buddy.empty()) {
            const ControlIndex box = *find(record.buddy);
            m_buddies.push_back({i, box});
            if (controls[box].accessibleName.empty())
                m_accessibleNames[box] = oneLine(record.caption);
        }
    }

    for (ControlIndex i = controls.size(); i-- > 0;)
        m_backToFront.push_back(i);

    std::vector<std::pair<int, ControlIndex>> byTabIndex;
    for (ControlIndex i = 0; i < controls.size(); ++i) {
        if (takesFocus(controls[i].kind) && controls[i].tabIndex >= 0)
            byTabIndex.emplace_back(controls[i].tabIndex, i);
    }
    std::sort(byTabIndex.begin(), byTabIndex.end());
    for (const auto &entry : byTabIndex)
        m_tabOrder.push_back(entry.second);

    for (ControlIndex i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != ControlKind::Line)
            m_readingOrder.push_back(i);
    }
    const auto depth = [&](ControlIndex i) {
        const auto parent = parentOf(controls[i]);
        return parent ? static_cast<long>(*parent) : -1L;
    };
    std::stable_sort(m_readingOrder.begin(), m_readingOrder.end(), [&](ControlIndex a, ControlIndex b) {
        return std::tuple(depth(a), controls[a].top, controls[a].left) <
               std::tuple(depth(b), controls[b].top, controls[b].left);
    });

    for (ControlIndex i = 0; i < controls.size(); ++i)
        m_controlPlans.push_back({i, &controls[i], parentOf(controls[i]), m_accessibleNames[i]});
    m_windowPlan = {m_backToFront, m_tabOrder, m_buddies, m_readingOrder};
}

Form::~Form()
{
    if (m_loaded)
        m_backend->destroyWindow();
}

std::optional<ControlIndex> Form::find(std::string_view control) const
{
    for (ControlIndex i = 0; i < m_layout.controls.size(); ++i) {
        if (m_layout.controls[i].name == control)
            return i;
    }
    return std::nullopt;
}

void Form::load()
{
    m_backend->createWindow(m_layout, *this);
    m_loaded = true;
    for (const ControlPlan &control : m_controlPlans) {
        m_backend->createControl(control);
        m_tops[control.index] = static_cast<float>(control.record->top);
        m_scrollMax[control.index] = 0;
    }
    m_backend->finishWindow(m_windowPlan);
    m_activatePending = true;
    m_wheel = {};
    dispatch(m_layout.name, Event::Load);
}

void Form::show()
{
    if (!m_loaded)
        load();
    if (!m_loaded) // Load may unload it again
        return;
    m_backend->centreAndShow();
}

void Form::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_activatePending = false;
    m_backend->destroyWindow();
}

void Form::controlEvent(ControlIndex control, Event event)
{
    if (m_loaded && control < m_layout.controls.size())
        dispatch(m_layout.controls[control].name, event);
}

void Form::wheelTurned(std::optional<ControlIndex> over, int delta)
{
    if (!m_loaded)
        return;
    const int notches = m_wheel.turn(delta);
    std::optional<ControlIndex> bar;
    for (std::optional<ControlIndex> at = over; !bar && at && *at < m_controlPlans.size();
         at = m_controlPlans[*at].parent) {
        const ControlRecord &record = m_layout.controls[*at];
        if (record.kind == ControlKind::ScrollBar)
            bar = *at;
        else if (!record.scrolledBy.empty())
            bar = find(record.scrolledBy);
    }
    // Anywhere else, the bare window included: the window's panel, so that
    // the wheel still brings back a panel scrolled out from under it.
    for (const ControlRecord &record : m_layout.controls) {
        if (!bar && !record.scrolledBy.empty())
            bar = find(record.scrolledBy);
    }
    if (bar && notches != 0)
        moveScrollBar(*bar, m_backend->scrollValue(*bar) + notches);
}

void Form::scrollRequested(ControlIndex bar, ScrollRequest request, int thumb)
{
    if (!m_loaded || bar >= m_layout.controls.size() || m_layout.controls[bar].kind != ControlKind::ScrollBar)
        return;
    moveScrollBar(bar, scrollTarget(scrollRange(m_scrollMax[bar]), m_backend->scrollValue(bar), request, thumb));
}

void Form::moveScrollBar(ControlIndex bar, int value)
{
    const std::int16_t clamped = clampTo(scrollRange(m_scrollMax[bar]), value);
    if (clamped == m_backend->scrollValue(bar))
        return;
    m_backend->setScrollValue(bar, clamped);
    dispatch(m_layout.controls[bar].name, Event::Change);
}

bool Form::keyPressed(ControlIndex control, Key key, bool ctrlOrAlt, bool repeated)
{
    if (!m_loaded || control >= m_layout.controls.size())
        return false;
    const ControlRecord &record = m_layout.controls[control];
    const KeyEffect effect = keyEffect(record.kind, key, ctrlOrAlt, repeated);
    if (effect == KeyEffect::Click)
        dispatch(record.name, Event::Click);
    return effect != KeyEffect::Toolkit;
}

void Form::windowActivated()
{
    if (!m_activatePending)
        return;
    m_activatePending = false;
    dispatch(m_layout.name, Event::Activate);
}

void Form::windowClosed() { unload(); }

void Form::dispatch(std::string_view control, Event event)
{
    const auto binding = std::find_if(m_bindings.begin(), m_bindings.end(),
                                      [&](const Binding &b) { return b.control == control && b.event == event; });
    if (binding == m_bindings.end())
        return;
    const RunningEvent running{this, control, event};
    const RunningEvent *outer = std::exchange(t_running, &running);
    // Nothing a handler throws may unwind into the toolkit's event loop.
    try {
        binding->handler(*this);
    } catch (const RunTimeFailure &failure) {
        report(failure);
    } catch (const std::bad_alloc &) {
        report(runTimeFailure(kOutOfMemory, "内存不足"));
    } catch (const std::exception &error) {
        report(runTimeFailure(kInternalError, join({"内部错误（", error.what(), "）"})));
    } catch (...) {
        report(runTimeFailure(kInternalError, "内部错误"));
    }
    t_running = outer;
}

void Form::showMessage(std::string_view text, MessageKind kind) { m_backend->showMessage(text, kind); }

void Form::report(const RunTimeFailure &failure)
{
    try {
        if (m_reporter)
            m_reporter(failure);
        else
            m_backend->showMessage(failure.report(), MessageKind::Error);
    } catch (...) {
        // Reporting is the last resort; a report that cannot be shown is lost
        // rather than ending the program.
    }
}

ControlIndex Form::require(std::string_view control) const
{
    const std::optional<ControlIndex> found = m_loaded ? find(control) : std::nullopt;
    if (!found) {
        if (m_loaded && control == m_layout.name)
            throw runTimeFailure(kNoSuchProperty, "对象不支持该属性或方法");
        throw runTimeFailure(kObjectRequired, "要求对象");
    }
    return *found;
}

ControlIndex Form::requireKind(std::string_view control, ControlKind kind) const
{
    const ControlIndex index = require(control);
    if (m_layout.controls[index].kind != kind)
        throw runTimeFailure(kNoSuchProperty, "对象不支持该属性或方法");
    return index;
}

ControlIndex Form::requirePlaced(std::string_view control) const
{
    const ControlIndex index = require(control);
    if (m_layout.controls[index].kind == ControlKind::Line) // a line has end points, not a rectangle
        throw runTimeFailure(kNoSuchProperty, "对象不支持该属性或方法");
    return index;
}

std::u16string Form::text(std::string_view control) const
{
    return m_backend->text(requireKind(control, ControlKind::TextBox));
}

void Form::setText(std::string_view control, std::u16string_view text)
{
    const ControlIndex box = requireKind(control, ControlKind::TextBox);
    m_backend->setText(box, text);
    // What the program writes is read from its first character, however
    // long: the sign and the digits that matter most.
    m_backend->showTextFromStart(box);
}

void Form::setMax(std::string_view control, std::int16_t max)
{
    const ControlIndex bar = requireKind(control, ControlKind::ScrollBar);
    const std::int16_t value = m_backend->scrollValue(bar);
    m_scrollMax[bar] = max;
    m_backend->setScrollRange(bar, scrollRange(max));
    // The value the new range leaves outside moves in, as any move does.
    const std::int16_t within = clampTo(scrollRange(max), value);
    if (within != value) {
        m_backend->setScrollValue(bar, within);
        dispatch(m_layout.controls[bar].name, Event::Change);
    }
}

void Form::setValue(std::string_view control, std::int16_t value)
{
    const ControlIndex bar = requireKind(control, ControlKind::ScrollBar);
    if (clampTo(scrollRange(m_scrollMax[bar]), value) != value)
        throw runTimeFailure(kInvalidPropertyValue, "无效的属性值");
    moveScrollBar(bar, value);
}

std::int16_t Form::value(std::string_view control) const
{
    return m_backend->scrollValue(requireKind(control, ControlKind::ScrollBar));
}

float Form::height(std::string_view control) const
{
    return static_cast<float>(m_layout.controls[requirePlaced(control)].height);
}

float Form::top(std::string_view control) const { return m_tops[requirePlaced(control)]; }

void Form::setTop(std::string_view control, float twips)
{
    const ControlIndex index = requirePlaced(control);
    m_backend->moveTop(index, twips);
    m_tops[index] = twips;
}

} // namespace iitcalc::forms
