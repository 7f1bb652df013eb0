#include "forms/form.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <map>
#include <new>
#include <utility>

namespace iitcalc::forms {

RunTimeFailure runTimeFailure(int number, std::string_view message)
{
    std::string report = "运行时错误 " + std::to_string(number) + "：";
    report += message;
    return RunTimeFailure(number, report);
}

namespace {

thread_local const RunningEvent *t_running = nullptr;

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

} // namespace

const RunningEvent *runningEvent() { return t_running; }

std::vector<std::string> checkLayout(const FormRecord &layout, const std::vector<Binding> &bindings)
{
    std::vector<std::string> faults;
    const auto fault = [&](std::string_view control, const std::string &what) {
        faults.push_back("control " + quoted(control) + ": " + what);
    };
    if (layout.name.empty())
        fault(layout.name, "the form has no name");

    std::map<std::string_view, std::size_t> position; // name -> index, the form as npos
    position.emplace(layout.name, static_cast<std::size_t>(-1));
    std::map<int, std::string_view> tabIndexes;
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlRecord &record = layout.controls[i];
        if (record.name.empty())
            fault(record.name, "a control has no name (entry " + std::to_string(i) + ")");
        else if (!position.emplace(record.name, i).second)
            fault(record.name, "the name is given twice");
        if (!record.parent.empty() && record.parent != layout.name) {
            const auto parent = position.find(record.parent);
            const auto later =
                std::find_if(layout.controls.begin() + static_cast<std::ptrdiff_t>(i) + 1, layout.controls.end(),
                             [&](const ControlRecord &r) { return r.name == record.parent; });
            if (parent == position.end() && later == layout.controls.end())
                fault(record.name, "parent " + quoted(record.parent) + " does not exist");
            else if (parent == position.end())
                fault(record.name, "parent " + quoted(record.parent) + " comes after its child");
            else if (layout.controls[parent->second].kind != ControlKind::PictureBox)
                fault(record.name, "parent " + quoted(record.parent) + " is not a picture box");
        }
        if (record.tabIndex >= 0) {
            const auto [other, fresh] = tabIndexes.emplace(record.tabIndex, record.name);
            if (!fresh)
                fault(record.name,
                      "TabIndex " + std::to_string(record.tabIndex) + " is also " + quoted(other->second) + "'s");
        }
    }
    for (const ControlRecord &record : layout.controls) {
        if (!record.buddy.empty() && (!position.contains(record.buddy) || record.buddy == layout.name))
            fault(record.name, "buddy " + quoted(record.buddy) + " does not exist");
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
    , m_backend(std::move(backend))
{
    const std::vector<std::string> faults = checkLayout(m_layout, m_bindings);
    if (!faults.empty()) {
        std::string all;
        for (const std::string &line : faults)
            all += line + "\n";
        std::fputs(all.c_str(), stderr);
        assert(!"the form's layout or bindings cannot be built");
        throw LayoutError(all);
    }
    if (!m_backend)
        throw LayoutError("form " + quoted(m_layout.name) + ": no backend");
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
    std::vector<std::pair<int, ControlIndex>> tabOrder;
    for (ControlIndex i = 0; i < m_layout.controls.size(); ++i) {
        const ControlRecord &record = m_layout.controls[i];
        std::optional<ControlIndex> parent;
        if (!record.parent.empty() && record.parent != m_layout.name)
            parent = find(record.parent);
        m_backend->createControl(i, record, parent);
        m_tops[i] = static_cast<float>(record.top);
        const bool focusable = record.kind != ControlKind::Label && record.kind != ControlKind::Line;
        if (focusable && record.tabIndex >= 0)
            tabOrder.emplace_back(record.tabIndex, i);
    }
    std::sort(tabOrder.begin(), tabOrder.end());
    std::vector<ControlIndex> order;
    order.reserve(tabOrder.size());
    for (const auto &entry : tabOrder)
        order.push_back(entry.second);
    m_backend->finishWindow(order);
    m_activatePending = true;
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
        report(runTimeFailure(kInternalError, std::string("内部错误（") + error.what() + "）"));
    } catch (...) {
        report(runTimeFailure(kInternalError, "内部错误"));
    }
    t_running = outer;
}

void Form::report(const RunTimeFailure &failure)
{
    try {
        if (m_reporter)
            m_reporter(failure);
        else
            m_backend->reportError(failure);
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
    m_backend->setText(requireKind(control, ControlKind::TextBox), text);
}

void Form::setMax(std::string_view control, std::int16_t max)
{
    m_backend->setScrollMax(requireKind(control, ControlKind::ScrollBar), max);
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
