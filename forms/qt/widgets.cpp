#include "forms/qt/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace iitcalc::forms {

QPoint centredFramePosition(const QRect &available, const QSize &frameSize)
{
    return available.topLeft() +
           QPoint((available.width() - frameSize.width()) / 2, (available.height() - frameSize.height()) / 2);
}

void FormWindow::centreOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the window manager has framed the window its frame is just the
    // client area; moveEvent() centres again once the real frame is known.
    m_centring = frameGeometry().size() == size();
    move(centredFramePosition(screen->availableGeometry(), frameGeometry().size()));
}

bool FormWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && sink)
        sink->windowActivated();
    return QWidget::event(event);
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (sink)
        sink->windowClosed();
}

void FormWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_centring && frameGeometry().size() != size())
        centreOnScreen();
}

PanelFrame::PanelFrame(QWidget *parent)
    : QFrame(parent)
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
    if (!hasFocus())
        return;
    // The inner ring of the frame in the highlight colour: the controls on
    // the panel cover everything inside it.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 0));
    painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
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

void FormButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void FormScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    // The same mark as the panel's, whether the focus came by keyboard or not.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 0));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void fitTextHeight(QLineEdit *box)
{
    // The box clips its text to the inside of its frame less the text margins.
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    const int room = box->height() - 2 * frame;
    const int missing = QFontMetrics(box->font()).height() - room;
    if (missing > 0)
        box->setTextMargins(0, -(missing + 1) / 2, 0, -(missing / 2));
}

FormLabel::FormLabel(const ControlRecord &record, QWidget *parent)
    : QLabel(parent)
    , m_alignment(record.alignment)
    , m_linePitch(twipsToPixels(record.lineHeight))
    , m_background(record.background)
    , m_link(record.link)
{
    setFocusPolicy(Qt::NoFocus);
    setAlignment(record.alignment == TextAlignment::Centre ? Qt::AlignHCenter | Qt::AlignTop
                                                           : Qt::AlignLeft | Qt::AlignTop);
}

void FormLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush background = palette().brush(QPalette::Window);
    if (m_background == LabelBackground::Whole)
        painter.fillRect(rect(), background);

    const QFontMetrics metrics(font());
    const int pitch = m_linePitch > 0 ? m_linePitch : metrics.lineSpacing();
    QString caption = text();
    caption.remove(QLatin1Char('\r'));
    const QStringList lines = caption.split(QLatin1Char('\n'));
    painter.setPen(palette().color(QPalette::WindowText));
    int y = 0;
    for (const QString &line : lines) {
        const int width = metrics.horizontalAdvance(line);
        const int x = m_alignment == TextAlignment::Centre ? (this->width() - width) / 2 : 0;
        if (m_background == LabelBackground::BehindText)
            painter.fillRect(QRect(x, y, width + 1, std::max(pitch, height() - y)), background);
        painter.drawText(x, y + metrics.ascent(), line);
        y += pitch;
    }
}

void FormLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void FormLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && onClick)
        onClick();
}

void FormLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click raises only the double-click,
    // which labels here do not answer.
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
}

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

namespace {

class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(FormLabel *label)
        : QAccessibleWidget(label, QAccessible::Link)
    {
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        auto *label = static_cast<FormLabel *>(widget());
        if (action == pressAction() && label->onClick)
            label->onClick();
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
};

// A panel's client area, listing its controls in reading order rather than
// in the order they are stacked.
class ClientAccessible : public QAccessibleWidget {
public:
    explicit ClientAccessible(QWidget *client)
        : QAccessibleWidget(client, QAccessible::Client)
    {
    }

    int childCount() const override { return static_cast<int>(ordered().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = ordered();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(ordered().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget *> ordered() const
    {
        QList<QWidget *> children;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !dynamic_cast<FormLine *>(child))
                children.append(child);
        }
        std::stable_sort(children.begin(), children.end(), [](const QWidget *a, const QWidget *b) {
            return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
        });
        return children;
    }
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    if (auto *label = dynamic_cast<FormLabel *>(object); label && label->isLink())
        return new LinkAccessible(label);
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && dynamic_cast<PanelFrame *>(widget->parentWidget()) &&
        static_cast<PanelFrame *>(widget->parentWidget())->clientArea() == widget)
        return new ClientAccessible(widget);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    (void)installed;
}

} // namespace iitcalc::forms
