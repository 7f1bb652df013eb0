#include "forms/qt/widgets.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace iitcalc::forms {

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

FormLabel::FormLabel(const ControlRecord &record, QWidget *parent)
    : QLabel(parent)
    , m_alignment(record.alignment)
    , m_linePitch(twipsToPixels(record.lineHeight))
    , m_background(record.background)
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
    const QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    const QPoint bottomRight(std::max(from.x(), to.x()), std::max(from.y(), to.y()));
    setGeometry(
        QRect(topLeft, QSize(std::max(1, bottomRight.x() - topLeft.x()), std::max(1, bottomRight.y() - topLeft.y()))));
    m_from = from - topLeft;
    m_to = to - topLeft;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FormLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(m_from, m_to);
}

} // namespace iitcalc::forms
