#include "forms/form.h"

#include "forms/widgets.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <new>

namespace iitcalc::forms {

namespace {

// Where a layout asks for a font this system lacks, these stand in, in
// order: the usual CJK families of a Linux desktop, with the half-width
// Latin of the original first.
void registerFontSubstitutes()
{
    static const bool registered = [] {
        const QStringList cjk{QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("WenQuanYi Micro Hei"),
                              QStringLiteral("Noto Sans Mono CJK SC"),    QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("Noto Serif CJK SC"),        QStringLiteral("Droid Sans Fallback")};
        for (const char *family : {"宋体", "SimSun", "新宋体", "NSimSun"})
            QFont::insertSubstitutions(QString::fromUtf8(family), cjk);
        return true;
    }();
    (void)registered;
}

QFont fontFor(const FontRecord &record)
{
    QFont font(QString::fromUtf8(record.family.data(), static_cast<qsizetype>(record.family.size())));
    // Points at 96 dpi, the same scale as the twips of the layout, so text
    // and geometry stay in step at every scale factor.
    font.setPixelSize(static_cast<int>(std::lround(record.points * 96.0 / 72.0)));
    font.setBold(record.bold);
    return font;
}

QColor colourFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QRect pixelRect(const ControlRecord &record)
{
    return QRect(twipsToPixels(record.left), twipsToPixels(record.top), twipsToPixels(record.width),
                 twipsToPixels(record.height));
}

// The Top and Height properties keep their twips exactly as set; the
// widget's pixels are only their rounding.
constexpr const char *kTopProperty = "iitcalcTopTwips";
constexpr const char *kHeightProperty = "iitcalcHeightTwips";

RunTimeFailure failure(int number, const char *message)
{
    return RunTimeFailure(number, "运行时错误 " + std::to_string(number) + "：" + message);
}

// A control as the layout describes it, without its events.
QWidget *createControl(const ControlRecord &record, QWidget *parent)
{
    QWidget *control = nullptr;
    switch (record.kind) {
    case ControlKind::ScrollBar: {
        auto *bar = new QScrollBar(Qt::Vertical, parent);
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Change comes when the thumb is let go, not while it is dragged.
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        control = bar;
        break;
    }
    case ControlKind::PictureBox:
        control = new PanelFrame(parent);
        control->setFocusPolicy(Qt::StrongFocus);
        break;
    case ControlKind::CommandButton: {
        auto *button = new QPushButton(toQString(record.caption), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        control = button;
        break;
    }
    case ControlKind::TextBox: {
        auto *box = new QLineEdit(parent);
        box->setFocusPolicy(Qt::StrongFocus);
        box->setTextMargins(0, 0, 0, 0);
        control = box;
        break;
    }
    case ControlKind::Label: {
        auto *label = new FormLabel(record, parent);
        label->setText(toQString(record.caption));
        control = label;
        break;
    }
    case ControlKind::Line:
        control = new FormLine(QPoint(twipsToPixels(record.left), twipsToPixels(record.top)),
                               QPoint(twipsToPixels(record.width), twipsToPixels(record.height)), parent);
        break;
    }
    control->setObjectName(toQString(record.name));
    if (record.kind != ControlKind::Line) {
        control->setGeometry(pixelRect(record));
        control->setProperty(kTopProperty, static_cast<float>(record.top));
        control->setProperty(kHeightProperty, static_cast<float>(record.height));
    }
    if (record.font)
        control->setFont(fontFor(*record.font));
    if (record.textColourBgr) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, colourFromBgr(*record.textColourBgr));
        control->setPalette(palette);
    }
    return control;
}

} // namespace

ErrorReporter messageBoxReporter()
{
    return [](QWidget *window, const RunTimeFailure &failure) {
        QMessageBox box(QMessageBox::Critical,
                        window ? window->windowTitle() : QGuiApplication::applicationDisplayName(),
                        QString::fromStdString(failure.report()), QMessageBox::NoButton, window);
        // The program speaks Chinese whatever the toolkit's own language.
        box.setDefaultButton(box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole));
        box.exec();
    };
}

Form::Form(const FormRecord &layout, std::vector<Binding> bindings, ErrorReporter reporter)
    : m_layout(layout)
    , m_bindings(std::move(bindings))
    , m_reporter(std::move(reporter))
{
    registerFontSubstitutes();
}

Form::~Form() { delete m_window.data(); }

bool Form::isLoaded() const { return !m_window.isNull(); }

QWidget *Form::window() const { return m_window.data(); }

QWidget *Form::widget(std::string_view control) const
{
    const auto found = m_controls.find(control);
    return found == m_controls.end() ? nullptr : found->second.data();
}

void Form::load()
{
    auto *window = new FormWindow;
    window->setObjectName(toQString(m_layout.name));
    window->setWindowTitle(toQString(m_layout.caption));
    window->setFont(fontFor(m_layout.font));
    window->setFixedSize(twipsToPixels(m_layout.clientWidth), twipsToPixels(m_layout.clientHeight));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_layout.iconPath.empty())
        window->setWindowIcon(QIcon(toQString(m_layout.iconPath)));
    m_window = window;
    m_controls.clear();
    m_controls.emplace(std::string(m_layout.name), window);

    const QPointer<QWidget> self = window;
    window->onActivated = [this, self] {
        if (self == m_window)
            windowActivated();
    };
    window->onClosed = [this, self] {
        if (self == m_window)
            windowClosed();
    };

    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const ControlRecord &record : m_layout.controls) {
        QWidget *parent = window;
        if (!record.parent.empty() && record.parent != m_layout.name) {
            parent = widget(record.parent);
            if (auto *panel = dynamic_cast<PanelFrame *>(parent))
                parent = panel->clientArea();
        }
        QWidget *control = createControl(record, parent);
        connectEvents(record, control);
        if (record.kind != ControlKind::Label && record.kind != ControlKind::Line && record.tabIndex >= 0)
            tabOrder.emplace_back(record.tabIndex, control);
        m_controls.emplace(std::string(record.name), control);
    }

    // The layout lists controls from the front of the window to the back.
    for (auto record = m_layout.controls.rbegin(); record != m_layout.controls.rend(); ++record) {
        if (QWidget *control = widget(record->name))
            control->raise();
    }

    // Caption labels name their boxes, for the keyboard and screen readers.
    for (const ControlRecord &record : m_layout.controls) {
        auto *label = qobject_cast<QLabel *>(widget(record.name));
        QWidget *box = record.buddy.empty() ? nullptr : widget(record.buddy);
        if (label && box) {
            label->setBuddy(box);
            box->setAccessibleName(toQString(record.caption));
        }
    }

    std::stable_sort(tabOrder.begin(), tabOrder.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    if (!tabOrder.empty())
        tabOrder.front().second->setFocus();

    m_activatePending = true;
    dispatch(m_layout.name, Event::Load);
}

void Form::connectEvents(const ControlRecord &record, QWidget *control)
{
    const std::string_view name = record.name;
    const auto bound = [&](Event event) {
        return std::any_of(m_bindings.begin(), m_bindings.end(),
                           [&](const Binding &b) { return b.control == name && b.event == event; });
    };
    // Events reach the handlers only while this window is the form's.
    const auto deliver = [this, name, self = QPointer<QWidget>(m_window)](Event event) {
        return [this, name, self, event] {
            if (self && self == m_window)
                dispatch(name, event);
        };
    };
    if (auto *bar = qobject_cast<QScrollBar *>(control); bar && bound(Event::Change))
        QObject::connect(bar, &QScrollBar::valueChanged, bar, deliver(Event::Change));
    if (auto *button = qobject_cast<QPushButton *>(control); button && bound(Event::Click))
        QObject::connect(button, &QPushButton::clicked, button, deliver(Event::Click));
    if (auto *label = dynamic_cast<FormLabel *>(control)) {
        if (bound(Event::Click))
            label->onClick = deliver(Event::Click);
        if (bound(Event::MouseMove)) {
            label->onMouseMove = deliver(Event::MouseMove);
            label->setMouseTracking(true);
        }
    }
}

void Form::show()
{
    if (!m_window)
        load();
    if (!m_window) // Load may unload it again
        return;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        m_window->move(available.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
    }
    m_window->show();
    m_window->activateWindow();
}

void Form::unload()
{
    if (!m_window)
        return;
    QWidget *old = m_window.data();
    m_window = nullptr;
    m_controls.clear();
    m_activatePending = false;
    // The caller may be one of the old controls' own signals: let the event
    // loop delete them once it has returned.
    old->hide();
    old->deleteLater();
}

void Form::windowActivated()
{
    if (!m_activatePending)
        return;
    m_activatePending = false;
    dispatch(m_layout.name, Event::Activate);
}

void Form::windowClosed()
{
    // The window deletes itself once closed.
    m_window = nullptr;
    m_controls.clear();
    m_activatePending = false;
}

void Form::dispatch(std::string_view control, Event event)
{
    for (const Binding &binding : m_bindings) {
        if (binding.control != control || binding.event != event)
            continue;
        try {
            binding.handler(*this);
        } catch (const RunTimeFailure &error) {
            m_reporter(m_window.data(), error);
        } catch (const std::bad_alloc &) {
            m_reporter(m_window.data(), failure(7, "内存不足"));
        }
        return;
    }
}

QWidget *Form::require(std::string_view control) const
{
    QWidget *found = widget(control);
    if (!found)
        throw failure(kObjectRequired, "要求对象");
    return found;
}

template <class Widget>
Widget *Form::requireKind(std::string_view control) const
{
    auto *found = qobject_cast<Widget *>(require(control));
    if (!found)
        throw failure(kNoSuchProperty, "对象不支持该属性或方法");
    return found;
}

std::u16string Form::text(std::string_view control) const
{
    const QString text = requireKind<QLineEdit>(control)->text();
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

void Form::setText(std::string_view control, std::u16string_view text)
{
    requireKind<QLineEdit>(control)->setText(toQString(text));
}

void Form::setMax(std::string_view control, std::int16_t max) { requireKind<QScrollBar>(control)->setMaximum(max); }

std::int16_t Form::value(std::string_view control) const
{
    return static_cast<std::int16_t>(requireKind<QScrollBar>(control)->value());
}

float Form::height(std::string_view control) const
{
    const QVariant height = require(control)->property(kHeightProperty);
    if (!height.isValid())
        throw failure(kNoSuchProperty, "对象不支持该属性或方法");
    return height.toFloat();
}

void Form::setTop(std::string_view control, float twips)
{
    QWidget *widget = require(control);
    if (!widget->property(kTopProperty).isValid())
        throw failure(kNoSuchProperty, "对象不支持该属性或方法");
    widget->setProperty(kTopProperty, twips);
    widget->move(widget->x(), static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel))));
}

} // namespace iitcalc::forms
