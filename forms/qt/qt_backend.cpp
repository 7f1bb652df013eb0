#include "forms/qt/qt_backend.h"

#include "forms/form.h"
#include "forms/qt/widgets.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTranslator>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

namespace iitcalc::forms {

namespace {

// Where a layout asks for a font this system lacks, these stand in, in
// order: the usual CJK families of a Linux desktop, those with half-width
// Latin first, so that the link's caption lies over the address in the
// notice character for character.
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

// One icon for the whole program: a fresh one for every window would be
// kept by the platform each time.
const QIcon &programIcon(std::string_view path)
{
    static std::map<std::string, QIcon, std::less<>> icons;
    auto found = icons.find(path);
    if (found == icons.end())
        found = icons.emplace(std::string(path), QIcon(toQString(path))).first;
    return found->second;
}

// The style's error icon at the screen's scale; where the style has none
// that large, a red disc with a white cross drawn at that scale, rather than
// a small picture blown up.
QPixmap errorIcon(const QStyle &style, int size, qreal scale)
{
    QPixmap icon = style.standardIcon(QStyle::SP_MessageBoxCritical).pixmap(QSize(size, size), scale);
    if (!icon.isNull() && icon.devicePixelRatio() >= scale)
        return icon;
    icon = QPixmap(QSize(size, size) * scale);
    icon.setDevicePixelRatio(scale);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = size / 16.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd3, 0x2f, 0x2f));
    painter.drawEllipse(QRectF(edge, edge, size - 2 * edge, size - 2 * edge));
    painter.setPen(QPen(Qt::white, size / 9.0, Qt::SolidLine, Qt::RoundCap));
    const qreal arm = size * 0.3;
    const QPointF centre(size / 2.0, size / 2.0);
    painter.drawLine(centre - QPointF(arm / 1.4, arm / 1.4), centre + QPointF(arm / 1.4, arm / 1.4));
    painter.drawLine(centre + QPointF(-arm / 1.4, arm / 1.4), centre + QPointF(arm / 1.4, -arm / 1.4));
    return icon;
}

// A control as the layout describes it, with its events going to the window.
QWidget *createWidget(ControlIndex index, const ControlRecord &record, QWidget *parent, FormWindow *window)
{
    QWidget *control = nullptr;
    switch (record.kind) {
    case ControlKind::ScrollBar: {
        auto *bar = new FormScrollBar(Qt::Vertical, parent);
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Change comes when the thumb is let go, not while it is dragged.
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(bar, &QScrollBar::valueChanged, bar,
                         [window, index] { window->deliver(index, Event::Change); });
        control = bar;
        break;
    }
    case ControlKind::PictureBox:
        control = new PanelFrame(parent);
        control->setFocusPolicy(Qt::StrongFocus);
        break;
    case ControlKind::CommandButton: {
        auto *button = new FormButton(toQString(record.caption), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(button, &QPushButton::clicked, button,
                         [window, index] { window->deliver(index, Event::Click); });
        control = button;
        break;
    }
    case ControlKind::TextBox: {
        auto *box = new QLineEdit(parent);
        box->setFocusPolicy(Qt::StrongFocus);
        // What is pasted is what is read, however long.
        box->setMaxLength(INT_MAX);
        control = box;
        break;
    }
    case ControlKind::Label: {
        auto *label = new FormLabel(record, parent);
        label->setText(toQString(record.caption));
        label->onClick = [window, index] { window->deliver(index, Event::Click); };
        label->onMouseMove = [window, index] { window->deliver(index, Event::MouseMove); };
        label->setMouseTracking(true);
        // One line for assistive technology, without the caption's line ends.
        label->setAccessibleName(toQString(record.caption).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')));
        control = label;
        break;
    }
    case ControlKind::Line:
        control = new FormLine(QPoint(twipsToPixels(record.left), twipsToPixels(record.top)),
                               QPoint(twipsToPixels(record.width), twipsToPixels(record.height)), parent);
        break;
    }
    control->setObjectName(toQString(record.name));
    if (record.kind != ControlKind::Line)
        control->setGeometry(pixelRect(record));
    if (record.font)
        control->setFont(fontFor(*record.font));
    if (record.textColourBgr) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, colourFromBgr(*record.textColourBgr));
        control->setPalette(palette);
    }
    if (!record.accessibleName.empty())
        control->setAccessibleName(toQString(record.accessibleName));
    if (auto *box = qobject_cast<QLineEdit *>(control))
        fitTextHeight(box);
    return control;
}

} // namespace

QtBackend::~QtBackend()
{
    destroyWindow();
    for (const QPointer<QWidget> &window : m_retired)
        delete window.data();
}

QWidget *QtBackend::window() const { return m_window.data(); }

QWidget *QtBackend::widget(ControlIndex control) const
{
    return control < m_controls.size() ? m_controls[control].data() : nullptr;
}

template <class Widget>
Widget *QtBackend::as(ControlIndex control) const
{
    auto *found = qobject_cast<Widget *>(widget(control));
    if (!found)
        throw runTimeFailure(kObjectRequired, "要求对象");
    return found;
}

void loadToolkitTranslations(const QLocale &locale)
{
    static QTranslator *installed = nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installed = translator.release();
    QCoreApplication::installTranslator(installed);
}

void QtBackend::createWindow(const FormRecord &form, EventSink &sink)
{
    registerFontSubstitutes();
    installAccessibility();
    destroyWindow();
    m_form = &form;
    auto *window = new FormWindow;
    window->setObjectName(toQString(form.name));
    window->setWindowTitle(toQString(form.caption));
    window->setFont(fontFor(form.font));
    window->setFixedSize(twipsToPixels(form.clientWidth), twipsToPixels(form.clientHeight));
    if (!form.iconPath.empty())
        window->setWindowIcon(programIcon(form.iconPath));
    window->sink = &sink;
    m_window = window;
    m_controls.assign(form.controls.size(), nullptr);
}

void QtBackend::createControl(ControlIndex index, const ControlRecord &record, std::optional<ControlIndex> parent)
{
    QWidget *parentWidget = m_window.data();
    if (parent) {
        auto *panel = dynamic_cast<PanelFrame *>(widget(*parent));
        parentWidget = panel ? panel->clientArea() : widget(*parent);
    }
    m_controls.at(index) = createWidget(index, record, parentWidget, m_window.data());
}

void QtBackend::finishWindow(std::span<const ControlIndex> tabOrder)
{
    // The layout lists controls from the front of the window to the back.
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
        if (*control)
            (*control)->raise();
    }
    // Caption labels name their boxes, for the keyboard and screen readers.
    for (ControlIndex i = 0; i < m_controls.size(); ++i) {
        const ControlRecord &record = m_form->controls[i];
        auto *label = qobject_cast<QLabel *>(widget(i));
        if (!label || record.buddy.empty())
            continue;
        for (ControlIndex j = 0; j < m_controls.size(); ++j) {
            if (m_form->controls[j].name == record.buddy && widget(j)) {
                label->setBuddy(widget(j));
                widget(j)->setAccessibleName(toQString(record.caption));
            }
        }
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(widget(tabOrder[i - 1]), widget(tabOrder[i]));
    if (!tabOrder.empty())
        widget(tabOrder.front())->setFocus();
}

void QtBackend::centreAndShow()
{
    FormWindow *window = m_window.data();
    if (!window)
        return;
    window->centreOnScreen();
    window->show();
    window->activateWindow();
}

void QtBackend::destroyWindow()
{
    FormWindow *old = m_window.data();
    m_window = nullptr;
    m_controls.clear();
    if (!old)
        return;
    old->sink = nullptr;
    old->hide();
    // The caller may be one of the old window's own events: let the event
    // loop delete it once that has returned.
    old->deleteLater();
    std::erase_if(m_retired, [](const QPointer<QWidget> &window) { return window.isNull(); });
    m_retired.emplace_back(old);
}

std::u16string QtBackend::text(ControlIndex control) const
{
    const QString text = as<QLineEdit>(control)->text();
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

void QtBackend::setText(ControlIndex control, std::u16string_view text)
{
    QLineEdit *box = as<QLineEdit>(control);
    box->setText(toQString(text));
    // A text the program writes is read from its beginning.
    box->setCursorPosition(0);
}

void QtBackend::setScrollMax(ControlIndex control, std::int16_t max) { as<QScrollBar>(control)->setMaximum(max); }

std::int16_t QtBackend::scrollValue(ControlIndex control) const
{
    return static_cast<std::int16_t>(as<QScrollBar>(control)->value());
}

void QtBackend::moveTop(ControlIndex control, float twips)
{
    QWidget *moved = as<QWidget>(control);
    moved->move(moved->x(), static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel))));
}

void QtBackend::reportError(const RunTimeFailure &failure)
{
    QWidget *owner = m_window.data();
    QMessageBox box(QMessageBox::NoIcon, owner ? owner->windowTitle() : QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(failure.report()), QMessageBox::NoButton, owner);
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const qreal scale = owner ? owner->devicePixelRatioF() : qApp->devicePixelRatio();
    box.setIconPixmap(errorIcon(*box.style(), size, scale));
    // The program speaks Chinese whatever the toolkit's own language.
    box.setDefaultButton(box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole));
    box.exec();
}

QWidget *windowOf(const Form &form)
{
    const auto *backend = dynamic_cast<const QtBackend *>(&form.backend());
    return backend && form.isLoaded() ? backend->window() : nullptr;
}

QWidget *widgetOf(const Form &form, std::string_view control)
{
    const auto *backend = dynamic_cast<const QtBackend *>(&form.backend());
    const auto index = form.find(control);
    if (!backend || !form.isLoaded())
        return nullptr;
    if (control == form.layout().name)
        return backend->window();
    return index ? backend->widget(*index) : nullptr;
}

} // namespace iitcalc::forms
