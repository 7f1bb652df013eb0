#pragma once

// The widgets the Qt backend builds controls from. Internal to forms/qt.

#include "forms/backend.h"
#include "forms/control_record.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <functional>

namespace iitcalc::forms {

// The top-level window. Passes its controls' events, its activation and
// the user closing it to the sink, until the backend lets go of it. It
// centres itself, frame included, once the window manager has told how big
// the frame is.
class FormWindow : public QWidget {
public:
    ~FormWindow() override { sink = nullptr; }

    void deliver(ControlIndex control, Event event)
    {
        if (sink)
            sink->controlEvent(control, event);
    }
    void centreOnScreen();

    EventSink *sink = nullptr;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    bool m_centring = false;
};

// Where a window's frame goes so that the whole window, frame included,
// sits in the centre of the available area.
QPoint centredFramePosition(const QRect &available, const QSize &frameSize);

// A picture box: a sunken frame whose children live in its client area,
// inside the frame. When it holds the focus its frame shows it.
class PanelFrame : public QFrame {
public:
    explicit PanelFrame(QWidget *parent);
    QWidget *clientArea() const { return m_client; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QWidget *m_client;
};

// A push button that Enter presses while it has the focus, as Space does.
class FormButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A scroll bar that shows when it holds the focus.
class FormScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Lets a box show the whole height of its font: where the box is shorter
// than the font needs inside the style's frame and margins, its text area
// reaches into the frame just as far as needed, so descenders are not cut
// off. Call once the box has its size and font.
void fitTextHeight(QLineEdit *box);

// A label: opaque, its caption's lines at a fixed pitch, a Click that is a
// press and release of the left button inside it (the second press of a
// double-click is not a click), and MouseMove while the pointer moves over
// it.
class FormLabel : public QLabel {
public:
    FormLabel(const ControlRecord &record, QWidget *parent);

    bool isLink() const { return m_link; }
    std::function<void()> onClick;
    std::function<void()> onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TextAlignment m_alignment;
    int m_linePitch; // pixels; 0: the font's line spacing
    LabelBackground m_background;
    bool m_link;
    bool m_pressed = false;
};

// A line between two points, in the text colour, one device pixel wide at
// every scale. The widget reaches one pixel beyond the line on either side,
// so that no rounding of a fractional scale can clip it away.
class FormLine : public QWidget {
public:
    FormLine(QPoint from, QPoint to, QWidget *parent);
    QPoint from() const { return m_from + geometry().topLeft(); }
    QPoint to() const { return m_to + geometry().topLeft(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
};

// Assistive technology sees the link as a link it can press, and each
// panel's controls in reading order, top to bottom and left to right.
void installAccessibility();

} // namespace iitcalc::forms
