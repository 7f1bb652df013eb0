#include "forms/web/markup.h"

#include "forms/controls.h"
#include "forms/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace iitcalc::forms::web {

namespace {

// UTF-16 as UTF-8, escaped for HTML text and attribute values alike; an
// unpaired surrogate becomes U+FFFD.
void appendEscaped(std::string &out, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        switch (c) {
        case u'&':
            out += "&amp;";
            continue;
        case u'<':
            out += "&lt;";
            continue;
        case u'>':
            out += "&gt;";
            continue;
        case u'"':
            out += "&quot;";
            continue;
        default:
            break;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string escaped(std::u16string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string escaped(std::string_view utf8)
{
    std::string out;
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string px(int pixels) { return std::to_string(pixels) + "px"; }

std::string rect(const PixelRect &place)
{
    return "left:" + px(place.left) + ";top:" + px(place.top) + ";width:" + px(place.width) +
           ";height:" + px(place.height) + ";";
}

std::string rgbFromBgr(std::uint32_t bgr)
{
    return "rgb(" + std::to_string(bgr & 0xFF) + "," + std::to_string((bgr >> 8) & 0xFF) + "," +
           std::to_string((bgr >> 16) & 0xFF) + ")";
}

// A line: a box one pixel thick from one end to the other (the last pixel
// left out), turned as the line goes where it is neither level nor upright.
std::string lineRules(const ControlRecord &record)
{
    const PixelPoint from = lineStart(record);
    const PixelPoint to = lineEnd(record);
    if (from.x == to.x || from.y == to.y) {
        return rect({std::min(from.x, to.x), std::min(from.y, to.y), std::max(1, std::abs(to.x - from.x)),
                     std::max(1, std::abs(to.y - from.y))});
    }
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    char transform[64];
    std::snprintf(transform, sizeof transform, "transform:rotate(%.6frad);", std::atan2(to.y - from.y, to.x - from.x));
    return rect({from.x, from.y, static_cast<int>(std::lround(length)), 1}) + transform;
}

char kindLetter(const ControlRecord &record)
{
    switch (record.kind) {
    case ControlKind::ScrollBar:
        return 's';
    case ControlKind::PictureBox:
        return 'p';
    case ControlKind::CommandButton:
        return 'b';
    case ControlKind::TextBox:
        return 't';
    case ControlKind::Label:
        return record.link ? 'a' : 'l';
    case ControlKind::Line:
        break;
    }
    return '-';
}

bool isCjk(char16_t c) { return c >= 0x1100 && !(c >= 0xFF61 && c <= 0xFFDC); }

// Only a centred line, or the background behind one, depends on how wide
// its text is.
bool measuresWidths(const ControlRecord &label)
{
    return label.alignment == TextAlignment::Centre || label.background == LabelBackground::BehindText;
}

// Lines the layout gives no height are as far apart as the font's.
bool measuresPitch(const ControlRecord &label)
{
    return label.lineHeight <= 0 && label.caption.find(u'\n') != std::u16string_view::npos;
}

} // namespace

std::string cssFont(const FontRecord &font)
{
    // The size to a hundredth of a point, without trailing zeros: "9", "10.5".
    const long hundredths = std::lround(font.points * 100);
    std::string size = std::to_string(hundredths / 100);
    if (const long rest = hundredths % 100; rest != 0) {
        size += '.';
        size += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0)
            size += static_cast<char>('0' + rest % 10);
    }
    std::string text = std::string(font.bold ? "bold " : "") + size + "pt \"" + std::string(font.family) + "\", ";
    for (const std::string_view family : kSongtiStandIns)
        text.append("\"").append(family).append("\", ");
    return text + "sans-serif";
}

Measure estimatedMeasure()
{
    // The size in pixels is the number before "pt" in the shorthand.
    const auto em = [](const std::string &font) {
        const std::size_t end = font.find("pt ");
        std::size_t at = font.rfind(' ', end) == std::string::npos ? 0 : font.rfind(' ', end) + 1;
        double points = 0;
        for (; at < end && font[at] != '.'; ++at)
            points = points * 10 + (font[at] - '0');
        double scale = 1;
        for (++at; at < end; ++at)
            points += (font[at] - '0') * (scale /= 10);
        return points * 96 / 72;
    };
    return {[em](std::u16string_view text, const std::string &font) {
                double width = 0;
                for (const char16_t c : text)
                    width += isCjk(c) ? em(font) : em(font) / 2;
                return static_cast<int>(std::ceil(width));
            },
            [em](const std::string &font) { return static_cast<int>(std::ceil(em(font) * 1.25)); }};
}

WindowMarkup::WindowMarkup(Measure measure)
    : m_measure(std::move(measure))
{
}

void WindowMarkup::createWindow(const FormRecord &form)
{
    m_form = &form;
    m_controls.clear();
    m_controls.reserve(form.controls.size());
    m_top.clear();
}

void WindowMarkup::createControl(const ControlPlan &plan)
{
    const ControlRecord &record = *plan.record;
    Control control{};
    control.plan = plan;
    control.font = cssFont(record.font ? *record.font : m_form->font);
    const PixelRect place = pixelRect(record);
    std::string &css = control.css;
    css = record.kind == ControlKind::Line ? lineRules(record) : rect(place);
    if (record.font)
        css += "font:" + control.font + ";";
    if (record.textColourBgr)
        css += "color:" + rgbFromBgr(*record.textColourBgr) + ";";
    if (record.kind == ControlKind::TextBox)
        css += "border-width:" + px(kBoxBorder) + ";padding:0 " + px(kBoxPadding) + ";";

    if (record.kind == ControlKind::CommandButton) {
        control.inner = escaped(record.caption);
    } else if (record.kind == ControlKind::ScrollBar) {
        control.inner = "<div class=\"forms-arrow forms-up\" aria-hidden=\"true\"></div>"
                        "<div class=\"forms-track\" aria-hidden=\"true\"><div class=\"forms-thumb\" "
                        "aria-hidden=\"true\"></div></div><div class=\"forms-arrow forms-down\" "
                        "aria-hidden=\"true\"></div>";
    } else if (record.kind == ControlKind::Label) {
        labelLines(control);
    }
    if (plan.parent)
        m_controls.at(*plan.parent).children.push_back(plan.index);
    else
        m_top.push_back(plan.index);
    m_controls.push_back(std::move(control));
}

void WindowMarkup::labelLines(Control &control) const
{
    const ControlRecord &record = *control.plan.record;
    const PixelRect place = pixelRect(record);
    const int pitch = record.lineHeight > 0   ? twipsToPixels(record.lineHeight)
                      : measuresPitch(record) ? m_measure.lineSpacing(control.font)
                                              : 0;
    const bool widths = measuresWidths(record);
    const auto measure = [&](std::u16string_view line) { return widths ? m_measure.width(line, control.font) : 0; };
    const std::string self = "#" + std::string(record.name);
    control.inner.clear();
    control.rules.clear();
    int n = 0;
    for (const LabelLine &line :
         forms::labelLines(record.caption, record.alignment, place.width, place.height, pitch, measure)) {
        ++n;
        if (record.background == LabelBackground::BehindText) {
            control.inner += "<div class=\"forms-behind\" aria-hidden=\"true\"></div>";
            control.rules += self + ">div:nth-of-type(" + std::to_string(n) + "){" + rect(line.background) + "}\n";
        }
        control.inner += "<span>" + escaped(line.text) + "</span>";
        control.rules += self + ">span:nth-of-type(" + std::to_string(n) + "){left:" + px(line.origin.x) +
                         ";top:" + px(line.origin.y) + "}\n";
    }
}

void WindowMarkup::measureAgain(Measure measure)
{
    m_measure = std::move(measure);
    for (Control &control : m_controls) {
        const ControlRecord &record = *control.plan.record;
        if (record.kind == ControlKind::Label && (measuresWidths(record) || measuresPitch(record)))
            labelLines(control);
    }
}

void WindowMarkup::finishWindow(const WindowPlan &plan)
{
    int depth = 0;
    for (const ControlIndex control : plan.backToFront)
        m_controls.at(control).css += "z-index:" + std::to_string(++depth) + ";";
    // Assistive technology reads the document in its order: each control in
    // the reading order goes to its parent's end, the lines staying first.
    const auto reorder = [&](std::vector<ControlIndex> &children) {
        std::stable_partition(children.begin(), children.end(), [&](ControlIndex child) {
            return std::find(plan.readingOrder.begin(), plan.readingOrder.end(), child) == plan.readingOrder.end();
        });
        const auto first = std::find_if(children.begin(), children.end(), [&](ControlIndex child) {
            return std::find(plan.readingOrder.begin(), plan.readingOrder.end(), child) != plan.readingOrder.end();
        });
        std::sort(first, children.end(), [&](ControlIndex a, ControlIndex b) {
            return std::find(plan.readingOrder.begin(), plan.readingOrder.end(), a) <
                   std::find(plan.readingOrder.begin(), plan.readingOrder.end(), b);
        });
    };
    reorder(m_top);
    for (Control &control : m_controls)
        reorder(control.children);
    int tabIndex = 0;
    for (const ControlIndex control : plan.tabOrder)
        m_controls.at(control).tabIndex = ++tabIndex;
    for (const Control &control : m_controls) {
        const ControlRecord &record = *control.plan.record;
        if (record.scrolledBy.empty())
            continue;
        for (Control &other : m_controls) {
            if (other.plan.record->name == record.scrolledBy)
                other.extra += " aria-controls=\"" + escaped(record.name) + "\"";
        }
    }
}

void WindowMarkup::setScrollRange(ControlIndex bar, ScrollRange range)
{
    Control &control = m_controls.at(bar);
    control.range = range;
    control.value = clampTo(range, control.value);
}

void WindowMarkup::setScrollValue(ControlIndex bar, std::int16_t value) { m_controls.at(bar).value = value; }

void WindowMarkup::setText(ControlIndex box, std::u16string_view text) { m_controls.at(box).text = text; }

int WindowMarkup::room(ControlIndex box) const
{
    return pixelRect(*m_controls.at(box).plan.record).width - 2 * (kBoxBorder + kBoxPadding);
}

void WindowMarkup::element(std::string &out, ControlIndex index) const
{
    const Control &control = m_controls.at(index);
    const ControlRecord &record = *control.plan.record;
    const std::string name = escaped(control.plan.accessibleName);
    const char *tag = "div";
    std::string attributes = " id=\"" + escaped(record.name) + "\"";
    switch (record.kind) {
    case ControlKind::ScrollBar:
        attributes += " class=\"forms-scrollbar\" role=\"scrollbar\" aria-orientation=\"vertical\" aria-label=\"" +
                      name + "\" aria-valuenow=\"" + std::to_string(control.value) + "\" aria-valuemin=\"" +
                      std::to_string(control.range.low) + "\" aria-valuemax=\"" + std::to_string(control.range.high) +
                      "\"";
        break;
    case ControlKind::PictureBox:
        attributes += " class=\"forms-panel\" role=\"group\" aria-label=\"" + name + "\"";
        break;
    case ControlKind::CommandButton:
        tag = "button";
        attributes += " type=\"button\"";
        break;
    case ControlKind::TextBox:
        tag = "input";
        // Nothing typed is kept by the browser, offered again or corrected.
        attributes += " type=\"text\" autocomplete=\"off\" spellcheck=\"false\" autocapitalize=\"off\" "
                      "autocorrect=\"off\" aria-label=\"" +
                      name + "\"";
        if (!control.text.empty())
            attributes += " value=\"" + escaped(control.text) + "\"";
        break;
    case ControlKind::Label:
        attributes += std::string(" class=\"forms-label") +
                      (record.background == LabelBackground::BehindText ? " forms-clear\"" : "\"");
        // The label that shows the window's caption is the page's heading.
        if (!record.link && record.caption == m_form->caption)
            tag = "h1";
        if (record.link) {
            tag = "a";
            // The page it opens gets no hold on this one, nor its address;
            // labels never take the focus.
            attributes += " href=\"" + escaped(record.address) +
                          "\" target=\"_blank\" rel=\"noopener noreferrer\" draggable=\"false\" tabindex=\"-1\"";
        }
        break;
    case ControlKind::Line:
        attributes += " class=\"forms-line\" aria-hidden=\"true\"";
        break;
    }
    if (control.tabIndex > 0)
        attributes += " tabindex=\"" + std::to_string(control.tabIndex) + "\"";
    out += "<" + std::string(tag) + attributes + control.extra + ">";
    if (record.kind == ControlKind::TextBox)
        return;
    out += control.inner;
    for (const ControlIndex child : control.children)
        element(out, child);
    out += "</" + std::string(tag) + ">";
}

std::string WindowMarkup::html() const
{
    std::string out = "<main id=\"" + escaped(m_form->name) + "\" class=\"forms-window\">";
    for (const ControlIndex control : m_top)
        element(out, control);
    return out + "</main>";
}

std::string WindowMarkup::css() const
{
    const int width = twipsToPixels(m_form->clientWidth);
    const int height = twipsToPixels(m_form->clientHeight);
    const std::string self = "#" + std::string(m_form->name);
    // Centred as placeFrame() centres a frame on its area, halves to the
    // left and top, never past the top-left corner; where the viewport is
    // narrower than the window, the whole window, smaller. Where it lies
    // (its left, width and bottom edge as shown) is also there for what
    // the page puts around it, as --forms-window-left, -width and -bottom.
    const std::string left = "max(0px,round(down,(100% - " + px(width) + ")/2,1px))";
    const std::string top = "max(0px,round(down,(100% - " + px(height) + ")/2,1px))";
    const std::string narrowHeight = "round(up," + px(height) + " * 100vw / " + px(width) + ",1px)";
    const std::string narrowTop = "max(0px,round(down,(100% - " + narrowHeight + ")/2,1px))";
    std::string out = self + "{width:" + px(width) + ";height:" + px(height) + ";font:" + cssFont(m_form->font) +
                      ";left:" + left + ";top:" + top + "}\n:root{--forms-window-left:" + left +
                      ";--forms-window-width:" + px(width) + ";--forms-window-bottom:calc(" + top + " + " + px(height) +
                      ")}\n@media (max-width:" + px(width - 1) + "){" + self + "{left:0;top:" + narrowTop +
                      ";transform:scale(calc(100vw / " + px(width) + "))}:root{--forms-window-left:0px;" +
                      "--forms-window-width:100vw;--forms-window-bottom:calc(" + narrowTop + " + " + px(height) +
                      " * 100vw / " + px(width) + ")}}\n";
    for (const Control &control : m_controls)
        out += "#" + std::string(control.plan.record->name) + "{" + control.css + "}\n" + control.rules;
    return out;
}

std::string WindowMarkup::stateCss() const
{
    std::string out;
    for (const Control &control : m_controls) {
        if (control.plan.record->kind == ControlKind::ScrollBar) {
            const int span = control.range.high - control.range.low;
            char at[32];
            std::snprintf(at, sizeof at, "%g",
                          span > 0 ? static_cast<double>(control.value - control.range.low) / span : 0.0);
            out += "#" + std::string(control.plan.record->name) + "{--forms-steps:" + std::to_string(span + 1) +
                   ";--forms-at:" + at + "}";
        }
    }
    return out;
}

std::string WindowMarkup::kinds() const
{
    std::string out;
    for (const Control &control : m_controls)
        out += kindLetter(*control.plan.record);
    return out;
}

} // namespace iitcalc::forms::web
