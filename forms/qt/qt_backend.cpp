#include "forms/qt/qt_backend.h"

#include "forms/form.h"
#include "forms/geometry.h"
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
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

namespace iitcalc::forms {

namespace {

// Where a layout asks for 宋体 and this system lacks it, the core's stand-ins.
void registerFontSubstitutes()
{
    static const bool registered = [] {
        QStringList standIns;
        for (const std::string_view family : kSongtiStandIns)
            standIns.append(QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size())));
        for (const char *family : {"宋体", "SimSun", "新宋体", "NSimSun"})
            QFont::insertSubstitutions(QString::fromUtf8(family), standIns);
        return true;
    }();
    (void)registered;
}

QFont fontFor(const FontRecord &record)
{
    QFont font(QString::fromUtf8(record.family.data(), static_cast<qsizetype>(record.family.size())));
    // Points at 96 dpi, the same scale as the twips of the layout, so text
    // and geometry stay in step at every scale factor.
    font.setPixelSize(pointsToPixels(record.points));
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

QPoint toQPoint(PixelPoint point) { return {point.x, point.y}; }

// One icon for the whole program: a fresh one for every window would be
// kept by the platform each time.
std::map<std::string, QIcon, std::less<>> &programIcons()
{
    static std::map<std::string, QIcon, std::less<>> icons;
    return icons;
}

const QIcon &programIcon(std::string_view path)
{
    auto found = programIcons().find(path);
    if (found == programIcons().end())
        found = programIcons().emplace(std::string(path), QIcon(toQString(path))).first;
    return found->second;
}

// The style's icon at the screen's scale; where the style has none that
// large, a disc with a white mark drawn at that scale (a cross for an
// error, an exclamation mark for a warning), rather than a small picture
// blown up.
QPixmap messageIcon(const QStyle &style, MessageKind kind, int size, qreal scale)
{
    const bool error = kind == MessageKind::Error;
    QPixmap icon = style.standardIcon(error ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning)
                       .pixmap(QSize(size, size), scale);
    if (!icon.isNull() && icon.devicePixelRatio() >= scale)
        return icon;
    icon = QPixmap(QSize(size, size) * scale);
    icon.setDevicePixelRatio(scale);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = size / 16.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(error ? QColor(0xd3, 0x2f, 0x2f) : QColor(0xe0, 0x8a, 0x00));
    painter.drawEllipse(QRectF(edge, edge, size - 2 * edge, size - 2 * edge));
    painter.setPen(QPen(Qt::white, size / 9.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(size / 2.0, size / 2.0);
    if (error) {
        const qreal arm = size * 0.3 / 1.4;
        painter.drawLine(centre - QPointF(arm, arm), centre + QPointF(arm, arm));
        painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
    } else {
        painter.drawLine(centre - QPointF(0, size * 0.25), centre + QPointF(0, size * 0.08));
        painter.drawPoint(centre + QPointF(0, size * 0.25));
    }
    return icon;
}

// A control as the core planned it, with its events going to the window.
QWidget *createWidget(const ControlPlan &plan, QWidget *parent, FormWindow *window)
{
    const ControlRecord &record = *plan.record;
    const ControlIndex index = plan.index;
    QWidget *control = nullptr;
    switch (record.kind) {
    case ControlKind::ScrollBar: {
        control = new FormScrollBar(index, window, parent);
        break;
    }
    case ControlKind::PictureBox:
        control = new PanelFrame(index, window, parent);
        break;
    case ControlKind::CommandButton: {
        auto *button = new FormButton(toQString(record.caption), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        QObject::connect(button, &QPushButton::clicked, button,
                         [window, index] { window->deliver(index, Event::Click); });
        button->onKey = [window, index](Key key, bool ctrlOrAlt, bool repeated) {
            return window->sink && window->sink->keyPressed(index, key, ctrlOrAlt, repeated);
        };
        control = button;
        break;
    }
    case ControlKind::TextBox:
        control = new FormTextBox(parent);
        // What is pasted is what is read, however long.
        static_cast<FormTextBox *>(control)->setMaxLength(INT_MAX);
        break;
    case ControlKind::Label: {
        auto *label = new FormLabel(record, parent);
        label->setText(toQString(record.caption));
        label->onClick = [window, index] { window->deliver(index, Event::Click); };
        label->onMouseMove = [window, index] { window->deliver(index, Event::MouseMove); };
        label->setMouseTracking(true);
        control = label;
        break;
    }
    case ControlKind::Line:
        control = new FormLine(toQPoint(lineStart(record)), toQPoint(lineEnd(record)), parent);
        break;
    }
    if (raises(record.kind, Event::GotFocus)) {
        control->setFocusPolicy(Qt::StrongFocus);
        window->watchFocus(control, index);
    }
    control->setObjectName(toQString(record.name));
    if (record.kind != ControlKind::Line) {
        const PixelRect place = pixelRect(record);
        control->setGeometry(place.left, place.top, place.width, place.height);
    }
    if (record.font)
        control->setFont(fontFor(*record.font));
    if (record.textColourBgr) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, colourFromBgr(*record.textColourBgr));
        control->setPalette(palette);
    }
    if (!plan.accessibleName.empty())
        control->setAccessibleName(toQString(plan.accessibleName));
    if (auto *box = dynamic_cast<FormTextBox *>(control))
        box->fitTextHeight();
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
    // The core has checked the kind: this is the widget built for it.
    return static_cast<Widget *>(m_controls[control].data());
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
    auto *window = new FormWindow;
    window->setObjectName(toQString(form.name));
    window->setWindowTitle(toQString(form.caption));
    window->setFont(fontFor(form.font));
    window->setFixedSize(twipsToPixels(form.clientWidth), twipsToPixels(form.clientHeight));
    if (!form.iconPath.empty()) {
        // The icon's first loading (its image plugin) waits until the window
        // is on the screen; after that every window has it from the start.
        if (programIcons().contains(form.iconPath))
            window->setWindowIcon(programIcon(form.iconPath));
        else
            QTimer::singleShot(0, window, [window, path = form.iconPath] { window->setWindowIcon(programIcon(path)); });
    }
    window->sink = &sink;
    m_window = window;
    m_controls.assign(form.controls.size(), nullptr);
}

void QtBackend::createControl(const ControlPlan &control)
{
    QWidget *parent = m_window.data();
    if (control.parent) {
        auto *panel = static_cast<PanelFrame *>(widget(*control.parent));
        parent = panel->clientArea();
    }
    m_controls.at(control.index) = createWidget(control, parent, m_window.data());
}

void QtBackend::finishWindow(const WindowPlan &plan)
{
    for (const ControlIndex control : plan.backToFront)
        widget(control)->raise();
    for (const Buddy &buddy : plan.buddies)
        as<QLabel>(buddy.label)->setBuddy(widget(buddy.box));
    std::map<PanelFrame *, std::vector<QPointer<QWidget>>> readingOrders;
    for (const ControlIndex control : plan.readingOrder) {
        auto *client = widget(control)->parentWidget();
        if (auto *panel = dynamic_cast<PanelFrame *>(client ? client->parentWidget() : nullptr))
            readingOrders[panel].emplace_back(widget(control));
    }
    for (auto &[panel, order] : readingOrders)
        panel->setReadingOrder(std::move(order));
    for (std::size_t i = 1; i < plan.tabOrder.size(); ++i)
        QWidget::setTabOrder(widget(plan.tabOrder[i - 1]), widget(plan.tabOrder[i]));
    if (!plan.tabOrder.empty())
        widget(plan.tabOrder.front())->setFocus();
}

void QtBackend::centreAndShow()
{
    FormWindow *window = m_window.data();
    if (!window)
        return;
    window->place();
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

std::u16string QtBackend::text(ControlIndex box) const
{
    const QString text = as<QLineEdit>(box)->text();
    return std::u16string(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
}

void QtBackend::setText(ControlIndex box, std::u16string_view text) { as<QLineEdit>(box)->setText(toQString(text)); }

void QtBackend::showTextFromStart(ControlIndex box)
{
    // Moving the caret costs cursor signals and accessibility updates, and a
    // text that fits shows from its start wherever the caret is.
    auto *edit = as<FormTextBox>(box);
    if (!edit->textFits())
        edit->setCursorPosition(0);
}

void QtBackend::setScrollRange(ControlIndex bar, ScrollRange range)
{
    as<QScrollBar>(bar)->setRange(range.low, range.high);
}

std::int16_t QtBackend::scrollValue(ControlIndex bar) const
{
    return static_cast<std::int16_t>(as<QScrollBar>(bar)->value());
}

void QtBackend::setScrollValue(ControlIndex bar, std::int16_t value)
{
    const QSignalBlocker quiet(as<QScrollBar>(bar));
    as<QScrollBar>(bar)->setValue(value);
}

void QtBackend::moveTop(ControlIndex control, float twips)
{
    QWidget *moved = widget(control);
    moved->move(moved->x(), twipsToPixels(twips));
}

void QtBackend::showMessage(std::string_view text, MessageKind kind)
{
    QWidget *owner = m_window.data();
    QMessageBox box(QMessageBox::NoIcon, owner ? owner->windowTitle() : QGuiApplication::applicationDisplayName(),
                    toQString(text), QMessageBox::NoButton, owner);
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const qreal scale = owner ? owner->devicePixelRatioF() : qApp->devicePixelRatio();
    box.setIconPixmap(messageIcon(*box.style(), kind, size, scale));
    // The program speaks Chinese whatever the toolkit's own language.
    box.setDefaultButton(box.addButton(toQString(kMessageButton), QMessageBox::AcceptRole));
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
