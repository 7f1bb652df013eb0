#include "forms/web/web_backend.h"

#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/web/elements.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace iitcalc::forms {

using emscripten::val;
using web::document;
using web::px;

namespace {

std::vector<WebBackend *> &liveBackends()
{
    static std::vector<WebBackend *> backends;
    return backends;
}

unsigned nextSerial()
{
    static unsigned serial = 0;
    return ++serial;
}

MouseButton mouseButton(int domButton) { return domButton == 0 ? MouseButton::Left : MouseButton::Other; }

// The entry points of dom.js's listeners.
bool formsEvent(unsigned window, unsigned control, std::string what, int a, int b)
{
    for (WebBackend *backend : liveBackends()) {
        if (backend->domEvent(window, control, what, a, b))
            return true;
    }
    return false;
}

void formsPageEvent(std::string what)
{
    for (WebBackend *backend : std::vector(liveBackends()))
        backend->pageEvent(what);
}

} // namespace

EMSCRIPTEN_BINDINGS(iitcalc_forms_web)
{
    emscripten::function("formsEvent", &formsEvent);
    emscripten::function("formsPageEvent", &formsPageEvent);
}

WebBackend::WebBackend(val host)
    : m_host(std::move(host))
{
    liveBackends().push_back(this);
    static const bool watching = [] {
        val::module_property("formsWatchPage")();
        return true;
    }();
    (void)watching;
}

WebBackend::~WebBackend()
{
    destroyWindow();
    std::erase(liveBackends(), this);
}

val WebBackend::element(ControlIndex control) const
{
    return control < m_controls.size() ? m_elements[control + 1] : val::undefined();
}

void WebBackend::createWindow(const FormRecord &form, EventSink &sink)
{
    destroyWindow();
    m_form = &form;
    m_sink = &sink;
    m_serial = nextSerial();
    m_markup = std::make_unique<web::WindowMarkup>(web::browserMeasure());
    m_markup->createWindow(form);
    m_controls.clear();
    m_controls.reserve(form.controls.size());
}

void WebBackend::createControl(const ControlPlan &plan)
{
    m_markup->createControl(plan);
    const ControlRecord &record = *plan.record;
    m_controls.push_back({&record,
                          m_markup->font(plan.index),
                          record.kind == ControlKind::TextBox ? m_markup->room(plan.index) : 0,
                          {}});
}

void WebBackend::finishWindow(const WindowPlan &plan)
{
    m_markup->finishWindow(plan);
    // The caption labels name their boxes through the plan's accessible
    // names: a <label for> would also move the focus on a click, which a
    // caption label never does.
    m_firstFocus = plan.tabOrder.empty() ? std::nullopt : std::optional(plan.tabOrder.front());
    std::string names;
    for (const Control &control : m_controls)
        names.append(names.empty() ? "" : "\n").append(control.record->name);
    // The window the page holds (written at build time) when it is there and
    // nobody's yet, else one made from the same markup: either way in one
    // call, the elements coming back in layout order after the window.
    m_elements = val::module_property("formsAdopt")(m_host, std::string(m_form->name), m_markup->html(),
                                                    m_markup->css(), m_markup->kinds(), names, m_serial);
    m_markup.reset();
    m_window = m_elements[0];
    m_catchUp = true;
    document().set("title", std::u16string(m_form->caption));
}

void WebBackend::place()
{
    if (!m_form || m_window.isUndefined())
        return;
    const val root = document()["documentElement"];
    const int viewWidth = root["clientWidth"].as<int>();
    const int viewHeight = root["clientHeight"].as<int>();
    const int width = twipsToPixels(m_form->clientWidth);
    const int height = twipsToPixels(m_form->clientHeight);
    // Narrower than the window (a phone): the whole window, smaller.
    const double scale = viewWidth > 0 && viewWidth < width ? static_cast<double>(viewWidth) / width : 1.0;
    const PixelPoint corner = placeFrame({0, 0, viewWidth, viewHeight}, static_cast<int>(std::ceil(width * scale)),
                                         static_cast<int>(std::ceil(height * scale)));
    char transform[32] = "none";
    if (scale < 1.0)
        std::snprintf(transform, sizeof transform, "scale(%.6f)", scale);
    val::module_property("formsPlace")(m_window, px(corner.x), px(corner.y), std::string(transform));
}

void WebBackend::centreAndShow()
{
    if (m_window.isUndefined())
        return;
    m_shown = true;
    place();
    // The focus stays where the user put it before the program was ready.
    val::module_property("formsFocusFirst")(m_window, m_firstFocus ? element(*m_firstFocus) : val::undefined());
    pageEvent("activate");
}

void WebBackend::destroyWindow()
{
    m_sink = nullptr;
    m_serial = 0;
    m_shown = false;
    m_catchUp = false;
    m_controls.clear();
    m_elements = val::undefined();
    m_firstFocus.reset();
    // An error report the window owns goes with it.
    if (!m_window.isUndefined())
        m_window.call<void>("remove");
    m_window = val::undefined();
}

std::u16string WebBackend::text(ControlIndex box) const { return element(box)["value"].as<std::u16string>(); }

void WebBackend::setText(ControlIndex box, std::u16string_view text)
{
    element(box).set("value", std::u16string(text));
    updateTip(box, text);
}

void WebBackend::updateTip(ControlIndex box, std::u16string_view shown)
{
    Control &control = m_controls.at(box);
    const auto tip = control.tip.update(shown, web::textWidth(shown, control.font), control.room);
    if (tip && !tip->empty())
        element(box).set("title", *tip);
    else if (tip)
        element(box).call<void>("removeAttribute", std::string("title"));
}

void WebBackend::showTextFromStart(ControlIndex box)
{
    if (m_controls.at(box).tip.fits())
        return;
    val input = element(box);
    input.call<void>("setSelectionRange", 0, 0);
    input.set("scrollLeft", 0);
}

void WebBackend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    element(bar)["formsScroll"].call<void>("setRange", range.low, range.high);
}

std::int16_t WebBackend::scrollValue(ControlIndex bar) const
{
    return static_cast<std::int16_t>(element(bar)["formsScroll"].call<int>("value"));
}

void WebBackend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    element(bar)["formsScroll"].call<void>("setValue", value);
}

void WebBackend::moveTop(ControlIndex control, float twips)
{
    element(control)["style"].set("top", px(twipsToPixels(twips)));
}

void WebBackend::showMessage(std::string_view text, MessageKind kind)
{
    const std::u16string caption = m_form ? std::u16string(m_form->caption) : std::u16string();
    val::module_property("formsShowMessage")(m_window.isUndefined() ? m_host : m_window, caption, std::string(text),
                                             std::string(kind == MessageKind::Error ? "error" : "warning"),
                                             std::string(kMessageButton));
}

bool WebBackend::followLink(ControlIndex control, std::u16string_view address)
{
    if (control >= m_controls.size() || m_clicking != control || !m_controls[control].record->link)
        return false;
    element(control).set("href", std::u16string(address));
    m_controls[control].follow = true;
    return true;
}

void WebBackend::labelClicked(ControlIndex label)
{
    const std::optional<ControlIndex> outer = std::exchange(m_clicking, label);
    m_sink->controlEvent(label, Event::Click);
    m_clicking = outer;
}

bool WebBackend::domEvent(unsigned window, ControlIndex control, std::string_view what, int a, int b)
{
    if (window == m_serial && m_sink && what == "wheel") {
        m_sink->wheelTurned(control < m_controls.size() ? std::optional(control) : std::nullopt, a);
        return false;
    }
    if (window != m_serial || !m_sink || control >= m_controls.size())
        return false;
    Control &target = m_controls[control];
    // Nothing of `target` is used once the sink has been called: a handler
    // may have unloaded the window.
    if (what == "focus") {
        m_sink->controlEvent(control, Event::GotFocus);
    } else if (what == "click") {
        m_sink->controlEvent(control, Event::Click);
    } else if (what == "scroll") {
        if (a >= 0 && a <= static_cast<int>(ScrollRequest::ThumbLetGo))
            m_sink->scrollRequested(control, static_cast<ScrollRequest>(a), b);
    } else if (what == "key") {
        return (a == 0 || a == 1) &&
               m_sink->keyPressed(control, a == 0 ? Key::Enter : Key::Escape, (b & 1) != 0, (b & 2) != 0);
    } else if (what == "move") {
        m_sink->controlEvent(control, Event::MouseMove);
    } else if (what == "input") {
        updateTip(control, element(control)["value"].as<std::u16string>());
    } else if (what == "press") {
        target.follow = false;
        target.click.pressed(mouseButton(a), b >= 2);
    } else if (what == "release") {
        if (target.click.released(mouseButton(a), b != 0))
            labelClicked(control);
    } else if (what == "cancel") {
        target.click.cancelled();
    } else if (what == "follow") {
        // A click with no press before it (detail 0) comes from assistive
        // technology or the keyboard: a Click of its own.
        if (a == 0 && !target.follow) {
            target.click.pressed(MouseButton::Left);
            if (target.click.released(MouseButton::Left, true))
                labelClicked(control);
        }
        return window == m_serial && std::exchange(m_controls[control].follow, false);
    }
    return false;
}

void WebBackend::pageEvent(std::string_view what)
{
    if (what == "resize") {
        place();
    } else if (what == "activate" && m_sink && m_shown &&
               document()["visibilityState"].as<std::string>() == "visible") {
        m_sink->windowActivated();
        // What the user did before the program was ready: the text typed
        // stays (over what Activate wrote), the buttons pressed are pressed
        // now, once this event is over.
        if (std::exchange(m_catchUp, false) && !m_window.isUndefined())
            val::module_property("formsCatchUp")(m_window);
    }
}

val elementOf(const Form &form, std::string_view control)
{
    const auto *backend = dynamic_cast<const WebBackend *>(&form.backend());
    if (!backend || !form.isLoaded())
        return val::undefined();
    if (control == form.layout().name)
        return backend->window();
    const auto index = form.find(control);
    return index ? backend->element(*index) : val::undefined();
}

bool followLink(const Form &form, std::string_view control, std::u16string_view address)
{
    auto *backend = dynamic_cast<WebBackend *>(&form.backend());
    const auto index = form.find(control);
    return backend && form.isLoaded() && index && backend->followLink(*index, address);
}

} // namespace iitcalc::forms
