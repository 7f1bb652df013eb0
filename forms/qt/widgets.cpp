#include "forms/qt/widgets.h"

#include "forms/geometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

namespace iitcalc::forms {

namespace {

constexpr const char *kIndexProperty = "iitcalc.forms.index";

std::u16string_view utf16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The focus mark of the panel and the scroll bar: one logical pixel wide in
// the highlight colour, `inset` logical pixels inside the widget's edge.
void paintFocusMark(QWidget *widget, qreal inset)
{
    QPainter painter(widget);
    painter.setPen(QPen(widget->palette().color(QPalette::Highlight), 1));
    const qreal middle = inset + 0.5;
    painter.drawRect(QRectF(widget->rect()).adjusted(middle, middle, -middle, -middle));
}

} // namespace

void FormWindow::place()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the window manager has framed the window its frame is just the
    // client area; moveEvent() places it again once the real frame is known.
    m_placing = frameGeometry().size() == size();
    const QRect area = screen->availableGeometry();
    const QSize frame = frameGeometry().size();
    const PixelPoint corner =
        placeFrame({area.x(), area.y(), area.width(), area.height()}, frame.width(), frame.height());
    move(corner.x, corner.y);
}

void FormWindow::watchFocus(QWidget *control, ControlIndex index)
{
    control->setProperty(kIndexProperty, QVariant::fromValue(static_cast<qulonglong>(index)));
    control->installEventFilter(this);
}

bool FormWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && sink)
        sink->windowActivated();
    return QWidget::event(event);
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        deliver(static_cast<ControlIndex>(watched->property(kIndexProperty).toULongLong()), Event::GotFocus);
    return QWidget::eventFilter(watched, event);
}

void FormWindow::wheel(std::optional<ControlIndex> over, QWheelEvent *event)
{
    // Qt's eighths of a degree are the core's count, 120 a notch.
    if (sink && event->angleDelta().y() != 0)
        sink->wheelTurned(over, event->angleDelta().y());
    event->accept();
}

void FormWindow::wheelEvent(QWheelEvent *event) { wheel(std::nullopt, event); }

void FormWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (sink)
        sink->windowClosed();
}

void FormWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_placing && frameGeometry().size() != size())
        place();
}

PanelFrame::PanelFrame(ControlIndex index, FormWindow *window, QWidget *parent)
    : QFrame(parent)
    , m_index(index)
    , m_window(window)
    , m_client(new QWidget(this))
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    m_client->setObjectName(QStringLiteral("clientArea"));
}

void PanelFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int frame = frameWidth();
    m_client->setGeometry(rect().adjusted(frame, frame, -frame, -frame));
}

void PanelFrame::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    // On the inner ring of the frame: the controls on the panel cover
    // everything inside it.
    if (hasFocus())
        paintFocusMark(this, 1);
}

void PanelFrame::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update();
}

void PanelFrame::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update();
}

void PanelFrame::wheelEvent(QWheelEvent *event) { m_window->wheel(m_index, event); }

void FormButton::keyPressEvent(QKeyEvent *event)
{
    // Key_Enter is the keypad's, which also carries the keypad modifier.
    std::optional<Key> key;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = Key::Enter;
    else if (event->key() == Qt::Key_Escape)
        key = Key::Escape;
    const bool ctrlOrAlt = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (key && onKey && onKey(*key, ctrlOrAlt, event->isAutoRepeat())) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

FormScrollBar::FormScrollBar(ControlIndex index, FormWindow *window, QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
    , m_index(index)
    , m_window(window)
{
    setRange(0, 0);
    setSingleStep(1);
    setPageStep(1);
    // The value stays while the thumb is dragged; the drag asks once, when
    // the thumb is let go.
    setTracking(false);
    // Qt has moved its slider position by the time it tells of an action:
    // put it back and ask the core, which sets the value (or leaves it).
    connect(this, &QAbstractSlider::actionTriggered, this, [this, index, window](int action) {
        std::optional<ScrollRequest> request;
        switch (action) {
        case SliderSingleStepSub:
        case SliderPageStepSub:
            request = ScrollRequest::Back;
            break;
        case SliderSingleStepAdd:
        case SliderPageStepAdd:
            request = ScrollRequest::Forward;
            break;
        case SliderToMinimum:
            request = ScrollRequest::ToTop;
            break;
        case SliderToMaximum:
            request = ScrollRequest::ToBottom;
            break;
        case SliderMove: // a jump to where the slider was put
            if (!isSliderDown())
                request = ScrollRequest::ThumbLetGo;
            break;
        default:
            break;
        }
        if (!request)
            return;
        const int thumb = sliderPosition();
        setSliderPosition(value());
        window->scroll(index, *request, thumb);
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this, index, window] {
        const int thumb = sliderPosition();
        setSliderPosition(value());
        window->scroll(index, ScrollRequest::ThumbLetGo, thumb);
    });
}

void FormScrollBar::wheelEvent(QWheelEvent *event) { m_window->wheel(m_index, event); }

void FormScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    // The same mark as the panel's, whether the focus came by keyboard or not.
    if (hasFocus())
        paintFocusMark(this, 0);
}

FormTextBox::FormTextBox(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &FormTextBox::updateTip);
}

void FormTextBox::fitTextHeight()
{
    // The box clips its text to the inside of its frame less the text margins.
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int room = height() - 2 * frame;
    const int missing = QFontMetrics(font()).height() - room;
    if (missing > 0)
        setTextMargins(0, -(missing + 1) / 2, 0, -(missing / 2));
}

void FormTextBox::updateTip()
{
    const QString shown = text();
    int width = 0;
    if (!shown.isEmpty()) {
        if (m_room < 0) {
            // The room the line edit leaves its text, the same for the box's
            // life: the contents less the text margins and the two pixels it
            // keeps clear on either side.
            QStyleOptionFrame option;
            initStyleOption(&option);
            const QMargins margins = textMargins();
            m_room = style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width() - margins.left() -
                     margins.right() - 4;
        }
        width = fontMetrics().horizontalAdvance(shown);
    }
    if (const auto tip = m_tip.update(utf16(shown), width, std::max(m_room, 0)))
        setToolTip(QString::fromUtf16(tip->data(), static_cast<qsizetype>(tip->size())));
}

FormLabel::FormLabel(const ControlRecord &record, QWidget *parent)
    : QLabel(parent)
    , m_record(record)
    , m_link(record.link)
{
    setFocusPolicy(Qt::NoFocus);
}

void FormLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush background = palette().brush(QPalette::Window);
    if (m_record.background == LabelBackground::Whole)
        painter.fillRect(rect(), background);

    const QFontMetrics metrics(font());
    const int pitch = m_record.lineHeight > 0 ? twipsToPixels(m_record.lineHeight) : metrics.lineSpacing();
    const auto measure = [&](std::u16string_view line) {
        return metrics.horizontalAdvance(QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size())));
    };
    painter.setPen(palette().color(QPalette::WindowText));
    for (const LabelLine &line : labelLines(m_record.caption, m_record.alignment, width(), height(), pitch, measure)) {
        if (m_record.background == LabelBackground::BehindText) {
            const PixelRect &area = line.background;
            painter.fillRect(QRect(area.left, area.top, area.width, area.height), background);
        }
        painter.drawText(line.origin.x, line.origin.y + metrics.ascent(),
                         QString::fromUtf16(line.text.data(), static_cast<qsizetype>(line.text.size())));
    }
}

namespace {

MouseButton buttonOf(const QMouseEvent *event)
{
    return event->button() == Qt::LeftButton ? MouseButton::Left : MouseButton::Other;
}

} // namespace

void FormLabel::mousePressEvent(QMouseEvent *event) { m_click.pressed(buttonOf(event)); }

void FormLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.released(buttonOf(event), rect().contains(event->position().toPoint())) && onClick)
        onClick();
}

void FormLabel::mouseDoubleClickEvent(QMouseEvent *event) { m_click.pressed(buttonOf(event), true); }

void FormLabel::mouseMoveEvent(QMouseEvent *)
{
    if (onMouseMove)
        onMouseMove();
}

FormLine::FormLine(QPoint from, QPoint to, QWidget *parent)
    : QWidget(parent)
{
    const QRect ends = QRect(from, to).normalized();
    const QRect area = ends.adjusted(-1, -1, 1, 1);
    setGeometry(area);
    m_from = from - area.topLeft();
    m_to = to - area.topLeft();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FormLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A cosmetic pen: one device pixel, wherever the scale puts the line.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    painter.drawLine(m_from, m_to);
}

} // namespace iitcalc::forms
