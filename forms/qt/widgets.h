#pragma once

// The widgets the Qt backend builds controls from. Internal to forms/qt.

#include "forms/backend.h"
#include "forms/controls.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace iitcalc::forms {

// The top-level window. Passes its controls' events, its activation and
// the user closing it to the sink, until the backend lets go of it. It
// places itself, frame included, by placeFrame() once the window manager has
// told how big the frame is. Controls that take the focus report it through
// the window (watchFocus).
class FormWindow : public QWidget {
public:
    ~FormWindow() override { sink = nullptr; }

    void deliver(ControlIndex control, Event event)
    {
        if (sink)
            sink->controlEvent(control, event);
    }
    void scroll(ControlIndex bar, ScrollRequest request, int thumb)
    {
        if (sink)
            sink->scrollRequested(bar, request, thumb);
    }
    void wheel(std::optional<ControlIndex> over, QWheelEvent *event);
    void place();
    void watchFocus(QWidget *control, ControlIndex index);

    EventSink *sink = nullptr;

protected:
    bool event(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    bool m_placing = false;
};

// A picture box: a sunken frame whose children live in its client area,
// inside the frame. When it holds the focus its frame shows it. The wheel
// over it, or over a child that leaves the wheel alone, goes to the core.
class PanelFrame : public QFrame {
public:
    PanelFrame(ControlIndex index, FormWindow *window, QWidget *parent);
    QWidget *clientArea() const { return m_client; }
    // The children in the order assistive technology reads them.
    const std::vector<QPointer<QWidget>> &readingOrder() const { return m_readingOrder; }
    void setReadingOrder(std::vector<QPointer<QWidget>> order) { m_readingOrder = std::move(order); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    ControlIndex m_index;
    FormWindow *m_window;
    QWidget *m_client;
    std::vector<QPointer<QWidget>> m_readingOrder;
};

// A push button that hands Enter and Escape to the core (onKey: true when
// taken), which has Enter press it while it has the focus, as Space does.
class FormButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    std::function<bool(Key key, bool ctrlOrAlt, bool repeated)> onKey;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A scroll bar that shows when it holds the focus. What the user asks of it
// goes to the window; it moves only when the core sets its value.
class FormScrollBar : public QScrollBar {
public:
    FormScrollBar(ControlIndex index, FormWindow *window, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    ControlIndex m_index;
    FormWindow *m_window;
};

// A text box whose tool tip shows its text when it does not fit (BoxTip),
// however the text got there.
class FormTextBox : public QLineEdit {
public:
    explicit FormTextBox(QWidget *parent);
    // Lets the box show the whole height of its font: where the box is
    // shorter than the font needs inside the style's frame and margins, its
    // text area reaches into the frame just as far as needed, so descenders
    // are not cut off. Call once the box has its size and font.
    void fitTextHeight();
    bool textFits() const { return m_tip.fits(); }

private:
    void updateTip();
    BoxTip m_tip;
    int m_room = -1; // pixels; measured with the first text
};

// A label: opaque, its caption's lines where labelLines() puts them, a
// Click by LabelClick, and MouseMove while the pointer moves over it.
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
    const ControlRecord &m_record;
    LabelClick m_click;
    bool m_link;
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

// Assistive technology sees the window as a window, each panel as a panel
// with its controls in reading order, and the link as a link it can press.
void installAccessibility();

} // namespace iitcalc::forms
