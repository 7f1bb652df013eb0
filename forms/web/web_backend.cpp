#include "forms/web/web_backend.h"

#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/web/elements.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <utility>

// The calls into dom.js: numbers, and texts as an address and a size.
// clang-format off
EM_JS(void, jsAdopt, (unsigned serial, const char *id, int idSize, const char *html, int htmlSize, const char *css,
                      int cssSize, const char *kinds, int kindsSize, const char *names, int namesSize), {
    Module['formsAdopt'](serial, {address: id, size: idSize}, {address: html, size: htmlSize},
                         {address: css, size: cssSize}, {address: kinds, size: kindsSize},
                         {address: names, size: namesSize});
});
EM_JS(int, jsPageHolds, (const char *id, int idSize), { return Module['formsPageHolds'](id, idSize) ? 1 : 0; });
EM_JS(void, jsRestyle, (const char *css, int cssSize), { Module['formsRestyle'](css, cssSize); });
EM_JS(void, jsRemove, (unsigned serial), { Module['formsRemove'](serial); });
EM_JS(int, jsViewport, (int height), { return Module['formsViewport'](height); });
EM_JS(void, jsPlaceSoon, (), { Module['formsPlaceSoon'](); });
EM_JS(void, jsPlace, (unsigned serial, int left, int top, double scale), {
    Module['formsPlace'](serial, left, top, scale);
});
EM_JS(void, jsFocusFirst, (unsigned serial, int index), { Module['formsFocusFirst'](serial, index); });
EM_JS(int, jsText, (unsigned serial, unsigned index, char16_t *text, int room), {
    return Module['formsText'](serial, index, text, room);
});
EM_JS(void, jsSetText, (unsigned serial, unsigned index, const char16_t *text, int size), {
    Module['formsSetText'](serial, index, text, size);
});
EM_JS(void, jsSetTip, (unsigned serial, unsigned index, const char16_t *text, int size), {
    Module['formsSetTip'](serial, index, text, size);
});
EM_JS(void, jsShowFromStart, (unsigned serial, unsigned index), { Module['formsShowFromStart'](serial, index); });
EM_JS(void, jsSetRange, (unsigned serial, unsigned index, int low, int high), {
    Module['formsSetRange'](serial, index, low, high);
});
EM_JS(int, jsScrollValue, (unsigned serial, unsigned index), { return Module['formsScrollValue'](serial, index); });
EM_JS(void, jsSetScrollValue, (unsigned serial, unsigned index, int value), {
    Module['formsSetScrollValue'](serial, index, value);
});
EM_JS(void, jsMoveTop, (unsigned serial, unsigned index, int top), { Module['formsMoveTop'](serial, index, top); });
EM_JS(void, jsSetHref, (unsigned serial, unsigned index, const char16_t *address, int size), {
    Module['formsSetHref'](serial, index, address, size);
});
EM_JS(void, jsShowHand, (unsigned serial, unsigned index), { Module['formsShowHand'](serial, index); });
EM_JS(void, jsSetTitle, (const char16_t *title, int size), { Module['formsSetTitle'](title, size); });
EM_JS(int, jsVisible, (), { return Module['formsVisible']() ? 1 : 0; });
EM_JS(void, jsCatchUp, (unsigned serial), { Module['formsCatchUp'](serial); });
EM_JS(void, jsWatchPage, (), { Module['formsWatchPage'](); });
EM_JS(void, jsShowMessage, (unsigned serial, const char16_t *caption, int captionSize, const char *text, int textSize,
                            int error, const char *button, int buttonSize), {
    Module['formsShowMessage'](serial, {address: caption, size: captionSize}, {address: text, size: textSize}, error,
                               {address: button, size: buttonSize});
});
// clang-format on

namespace {

int sizeOf(std::string_view text) { return static_cast<int>(text.size()); }
int sizeOf(std::u16string_view text) { return static_cast<int>(text.size()); }

} // namespace

namespace iitcalc::forms {

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

} // namespace

} // namespace iitcalc::forms

// The entry points of dom.js's listeners.
extern "C" {

EMSCRIPTEN_KEEPALIVE int iitcalc_forms_event(unsigned window, unsigned control, int what, int a, int b)
{
    using iitcalc::forms::WebBackend;
    if (what < 0 || what > static_cast<int>(WebBackend::DomEvent::Wheel))
        return 0;
    for (WebBackend *backend : iitcalc::forms::liveBackends()) {
        if (backend->domEvent(window, control, static_cast<WebBackend::DomEvent>(what), a, b))
            return 1;
    }
    return 0;
}

EMSCRIPTEN_KEEPALIVE void iitcalc_forms_page_event(int what)
{
    using iitcalc::forms::WebBackend;
    if (what != 0 && what != 1)
        return;
    for (WebBackend *backend : std::vector(iitcalc::forms::liveBackends()))
        backend->pageEvent(what == 0 ? WebBackend::PageEvent::Resize : WebBackend::PageEvent::Activate);
}

} // extern "C"

namespace iitcalc::forms {

WebBackend::WebBackend()
{
    liveBackends().push_back(this);
    static const bool watching = [] {
        jsWatchPage();
        return true;
    }();
    (void)watching;
}

WebBackend::~WebBackend()
{
    destroyWindow();
    std::erase(liveBackends(), this);
}

void WebBackend::createWindow(const FormRecord &form, EventSink &sink)
{
    destroyWindow();
    m_form = &form;
    m_sink = &sink;
    m_serial = nextSerial();
    // Made as the page's was, with the estimate: the browser measures the
    // text that needs it once the page is laid out (pageEvent).
    m_markup = std::make_unique<web::WindowMarkup>(web::estimatedMeasure());
    m_markup->createWindow(form);
    m_controls.clear();
    m_controls.reserve(form.controls.size());
}

void WebBackend::createControl(const ControlPlan &plan)
{
    m_markup->createControl(plan);
    const ControlRecord &record = *plan.record;
    const FontRecord &font = record.font ? *record.font : m_form->font;
    m_controls.push_back({&record,
                          m_markup->font(plan.index),
                          record.kind == ControlKind::TextBox ? m_markup->room(plan.index) : 0,
                          static_cast<int>(std::ceil(font.points * 96 / 72)),
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
    // call.
    const std::string html = jsPageHolds(m_form->name.data(), sizeOf(m_form->name)) ? "" : m_markup->html();
    const std::string css = m_markup->css();
    const std::string kinds = m_markup->kinds();
    jsAdopt(m_serial, m_form->name.data(), sizeOf(m_form->name), html.data(), sizeOf(html), css.data(), sizeOf(css),
            kinds.data(), sizeOf(kinds), names.data(), sizeOf(names));
    m_catchUp = true;
    jsSetTitle(m_form->caption.data(), sizeOf(m_form->caption));
}

void WebBackend::place()
{
    if (!m_form || m_serial == 0)
        return;
    const int viewWidth = jsViewport(0);
    const int viewHeight = jsViewport(1);
    const int width = twipsToPixels(m_form->clientWidth);
    const int height = twipsToPixels(m_form->clientHeight);
    // Narrower than the window (a phone): the whole window, smaller.
    const double scale = viewWidth > 0 && viewWidth < width ? static_cast<double>(viewWidth) / width : 1.0;
    const PixelPoint corner = placeFrame({0, 0, viewWidth, viewHeight}, static_cast<int>(std::ceil(width * scale)),
                                         static_cast<int>(std::ceil(height * scale)));
    jsPlace(m_serial, corner.x, corner.y, scale);
}

void WebBackend::centreAndShow()
{
    if (m_serial == 0)
        return;
    m_shown = true;
    // The page's stylesheet has placed the window as place() does; the
    // program places it itself once the browser lays the page out, and not
    // before, so that the start costs no layout of its own.
    jsPlaceSoon();
    // The focus stays where the user put it before the program was ready.
    jsFocusFirst(m_serial, m_firstFocus ? static_cast<int>(*m_firstFocus) : -1);
    pageEvent(PageEvent::Activate);
}

void WebBackend::destroyWindow()
{
    // An error report the window owns goes with it.
    if (m_serial != 0)
        jsRemove(m_serial);
    m_sink = nullptr;
    m_serial = 0;
    m_shown = false;
    m_catchUp = false;
    m_markup.reset();
    m_controls.clear();
    m_firstFocus.reset();
}

std::u16string WebBackend::text(ControlIndex box) const
{
    if (!built(box))
        return {};
    std::u16string text(64, u'\0');
    const int size = jsText(m_serial, box, text.data(), sizeOf(text));
    text.resize(static_cast<std::size_t>(size));
    if (size > 64)
        jsText(m_serial, box, text.data(), size);
    return text;
}

void WebBackend::setText(ControlIndex box, std::u16string_view text)
{
    if (!built(box))
        return;
    jsSetText(m_serial, box, text.data(), sizeOf(text));
    updateTip(box, text);
}

void WebBackend::updateTip(ControlIndex box, std::u16string_view shown)
{
    Control &control = m_controls.at(box);
    // ASCII is never wider than an em a character in the window's fonts:
    // a short number fits without the browser measuring it.
    const bool narrow =
        shown.size() * static_cast<std::size_t>(control.em) <= static_cast<std::size_t>(std::max(control.room, 0)) &&
        std::all_of(shown.begin(), shown.end(), [](char16_t c) { return c < 0x80; });
    const auto tip = control.tip.update(shown, narrow ? 0 : web::textWidth(shown, control.font), control.room);
    if (tip)
        jsSetTip(m_serial, box, tip->data(), tip->empty() ? -1 : sizeOf(*tip));
}

void WebBackend::showTextFromStart(ControlIndex box)
{
    if (!built(box) || m_controls[box].tip.fits())
        return;
    jsShowFromStart(m_serial, box);
}

void WebBackend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    if (built(bar))
        jsSetRange(m_serial, bar, range.low, range.high);
}

std::int16_t WebBackend::scrollValue(ControlIndex bar) const
{
    return built(bar) ? static_cast<std::int16_t>(jsScrollValue(m_serial, bar)) : 0;
}

void WebBackend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    if (built(bar))
        jsSetScrollValue(m_serial, bar, value);
}

void WebBackend::moveTop(ControlIndex control, float twips)
{
    if (built(control))
        jsMoveTop(m_serial, control, twipsToPixels(twips));
}

void WebBackend::showMessage(std::string_view text, MessageKind kind)
{
    const std::u16string_view caption = m_form ? m_form->caption : std::u16string_view();
    jsShowMessage(m_serial, caption.data(), sizeOf(caption), text.data(), sizeOf(text), kind == MessageKind::Error,
                  kMessageButton.data(), sizeOf(kMessageButton));
}

bool WebBackend::followLink(ControlIndex control, std::u16string_view address)
{
    if (!built(control) || m_clicking != control || !m_controls[control].record->link)
        return false;
    jsSetHref(m_serial, control, address.data(), sizeOf(address));
    m_controls[control].follow = true;
    return true;
}

void WebBackend::showHand(ControlIndex control)
{
    if (built(control))
        jsShowHand(m_serial, control);
}

void WebBackend::labelClicked(ControlIndex label)
{
    const std::optional<ControlIndex> outer = std::exchange(m_clicking, label);
    m_sink->controlEvent(label, Event::Click);
    m_clicking = outer;
}

bool WebBackend::domEvent(unsigned window, ControlIndex control, DomEvent what, int a, int b)
{
    if (window == m_serial && m_sink && what == DomEvent::Wheel) {
        m_sink->wheelTurned(control < m_controls.size() ? std::optional(control) : std::nullopt, a);
        return false;
    }
    if (window != m_serial || !m_sink || control >= m_controls.size())
        return false;
    Control &target = m_controls[control];
    // Nothing of `target` is used once the sink has been called: a handler
    // may have unloaded the window.
    switch (what) {
    case DomEvent::Focus:
        m_sink->controlEvent(control, Event::GotFocus);
        break;
    case DomEvent::Click:
        m_sink->controlEvent(control, Event::Click);
        break;
    case DomEvent::Scroll:
        if (a >= 0 && a <= static_cast<int>(ScrollRequest::ThumbLetGo))
            m_sink->scrollRequested(control, static_cast<ScrollRequest>(a), b);
        break;
    case DomEvent::Key:
        return (a == 0 || a == 1) &&
               m_sink->keyPressed(control, a == 0 ? Key::Enter : Key::Escape, (b & 1) != 0, (b & 2) != 0);
    case DomEvent::Move:
        m_sink->controlEvent(control, Event::MouseMove);
        break;
    case DomEvent::Input:
        updateTip(control, text(control));
        break;
    case DomEvent::Press:
        target.follow = false;
        target.click.pressed(mouseButton(a), b >= 2);
        break;
    case DomEvent::Release:
        if (target.click.released(mouseButton(a), b != 0))
            labelClicked(control);
        break;
    case DomEvent::Follow:
        // A click with no press before it (detail 0) comes from assistive
        // technology or the keyboard: a Click of its own.
        if (a == 0 && !target.follow) {
            target.click.pressed(MouseButton::Left);
            if (target.click.released(MouseButton::Left, true))
                labelClicked(control);
        }
        return window == m_serial && std::exchange(m_controls[control].follow, false);
    case DomEvent::Wheel:
        break;
    }
    return false;
}

void WebBackend::pageEvent(PageEvent what)
{
    if (what == PageEvent::Resize) {
        place();
        // The first time the page is laid out: the labels whose lines depend
        // on how their text measures, as the browser's fonts measure it.
        if (m_markup && m_serial != 0) {
            m_markup->measureAgain(web::browserMeasure());
            const std::string css = m_markup->css();
            jsRestyle(css.data(), sizeOf(css));
            m_markup.reset();
        }
    } else if (m_sink && m_shown && jsVisible()) {
        m_sink->windowActivated();
        // What the user did before the program was ready: the text typed
        // stays (over what Activate wrote), the buttons pressed are pressed
        // now, once this event is over.
        if (std::exchange(m_catchUp, false) && m_serial != 0)
            jsCatchUp(m_serial);
    }
}

void showHand(const Form &form, std::string_view control)
{
    auto *backend = dynamic_cast<WebBackend *>(&form.backend());
    const auto index = form.find(control);
    if (backend && form.isLoaded() && index)
        backend->showHand(*index);
}

bool followLink(const Form &form, std::string_view control, std::u16string_view address)
{
    auto *backend = dynamic_cast<WebBackend *>(&form.backend());
    const auto index = form.find(control);
    return backend && form.isLoaded() && index && backend->followLink(*index, address);
}

} // namespace iitcalc::forms
