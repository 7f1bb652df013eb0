#pragma once

// The widgets the Qt backend builds controls from. Internal to forms/qt.

#include "forms/backend.h"
#include "forms/control_record.h"

#include <QFrame>
#include <QLabel>
#include <QWidget>

#include <functional>

namespace iitcalc::forms {

// The top-level window. Passes its controls' events, its activation and
// the user closing it to the sink, until the backend lets go of it.
class FormWindow : public QWidget {
public:
    ~FormWindow() override { sink = nullptr; }

    void deliver(ControlIndex control, Event event)
    {
        if (sink)
            sink->controlEvent(control, event);
    }

    EventSink *sink = nullptr;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

// A picture box: a sunken frame whose children live in its client area,
// inside the frame.
class PanelFrame : public QFrame {
public:
    explicit PanelFrame(QWidget *parent);
    QWidget *clientArea() const { return m_client; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_client;
};

// A label: opaque, its caption's lines at a fixed pitch, a Click that is a
// press and release of the left button inside it (the second press of a
// double-click is not a click), and MouseMove while the pointer moves over
// it.
class FormLabel : public QLabel {
public:
    FormLabel(const ControlRecord &record, QWidget *parent);

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
    bool m_pressed = false;
};

// A line between two points, one pixel wide, in the text colour.
class FormLine : public QWidget {
public:
    FormLine(QPoint from, QPoint to, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
};

} // namespace iitcalc::forms
