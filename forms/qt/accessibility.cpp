// What assistive technology (AT-SPI on Linux) is told about a form's window:
// the roles Qt would not give by itself and the reading order the core
// decided. Names come from the core through setAccessibleName().
#include "forms/qt/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace iitcalc::forms {

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

// A panel's client area, listing its controls in the core's reading order
// rather than in the order they are stacked.
class ClientAccessible : public QAccessibleWidget {
public:
    ClientAccessible(QWidget *client, const PanelFrame *panel)
        : QAccessibleWidget(client, QAccessible::Client)
        , m_panel(panel)
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
        for (const QPointer<QWidget> &child : m_panel->readingOrder()) {
            if (child)
                children.append(child.data());
        }
        return children;
    }

    const PanelFrame *m_panel;
};

// Qt's AT-SPI bridge hands rect() to the bus as it is, in device-independent
// pixels, where the bus -- and the magnifiers and screen readers on it --
// counts the X screen's own: at a scale factor of 2 every position and size
// came out at half, and a click placed by them landed elsewhere. On X11 each
// interface of a form's window therefore reports its rectangle (and a text
// box its characters) in the screen's pixels and finds a child at a point
// given in them; everything else is the interface it wraps (Qt's own for the
// control, or one of ours above).
// Elsewhere (Wayland) the bus has no screen positions to be told.
class ScreenPixels : public QAccessibleInterface {
public:
    // inner: held in Qt's cache of interfaces too, and deleted from there
    // with this one.
    explicit ScreenPixels(QAccessibleInterface *inner)
        : m_inner(inner)
    {
    }
    ~ScreenPixels() override
    {
        // Unless the cache itself is going, as the program ends.
        if (QCoreApplication::instance()) {
            if (const QAccessible::Id id = QAccessible::uniqueId(m_inner))
                QAccessible::deleteAccessibleInterface(id);
        }
    }
    ScreenPixels(const ScreenPixels &) = delete;
    ScreenPixels &operator=(const ScreenPixels &) = delete;

    QRect rect() const override { return toScreen(m_inner->rect()); }
    // The child in front at the point, as the pointer would find it.
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QWidget *self = widget();
        if (!self)
            return m_inner->childAt(x, y);
        const QPoint at = self->mapFromGlobal(fromScreen(QPoint(x, y)));
        for (QWidget *under = self->childAt(at); under && under != self; under = under->parentWidget()) {
            QAccessibleInterface *each = QAccessible::queryAccessibleInterface(under);
            if (each && indexOfChild(each) >= 0)
                return each;
        }
        return nullptr;
    }

    bool isValid() const override { return m_inner->isValid(); }
    QObject *object() const override { return m_inner->object(); }
    QWindow *window() const override { return m_inner->window(); }
    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return m_inner->relations(match);
    }
    QAccessibleInterface *focusChild() const override { return m_inner->focusChild(); }
    QAccessibleInterface *parent() const override { return m_inner->parent(); }
    QAccessibleInterface *child(int index) const override { return m_inner->child(index); }
    int childCount() const override { return m_inner->childCount(); }
    int indexOfChild(const QAccessibleInterface *child) const override { return m_inner->indexOfChild(child); }
    QString text(QAccessible::Text t) const override { return m_inner->text(t); }
    void setText(QAccessible::Text t, const QString &text) override { m_inner->setText(t, text); }
    QAccessible::Role role() const override { return m_inner->role(); }
    QAccessible::State state() const override { return m_inner->state(); }
    QColor foregroundColor() const override { return m_inner->foregroundColor(); }
    QColor backgroundColor() const override { return m_inner->backgroundColor(); }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        void *inner = m_inner->interface_cast(type);
        if (type != QAccessible::TextInterface || !inner)
            return inner;
        m_text.inner = static_cast<QAccessibleTextInterface *>(inner);
        return static_cast<QAccessibleTextInterface *>(&m_text);
    }

private:
    QWidget *widget() const { return qobject_cast<QWidget *>(m_inner->object()); }
    QScreen *screen() const { return widget() ? widget()->screen() : nullptr; }

    QRect toScreen(const QRect &logical) const
    {
        QScreen *on = screen();
        if (!on || logical.isNull())
            return logical;
        // A screen keeps its top-left corner in both units; the rest scales.
        const qreal scale = on->devicePixelRatio();
        const QPointF origin = on->geometry().topLeft();
        return {((QPointF(logical.topLeft()) - origin) * scale + origin).toPoint(),
                (QSizeF(logical.size()) * scale).toSize()};
    }
    QPoint fromScreen(QPoint point) const
    {
        QScreen *on = screen();
        if (!on)
            return point;
        const QPointF origin = on->geometry().topLeft();
        return ((QPointF(point) - origin) / on->devicePixelRatio() + origin).toPoint();
    }

    // A text box's characters where the bus counts them, for the caret a
    // magnifier follows.
    class Text : public QAccessibleTextInterface {
    public:
        explicit Text(const ScreenPixels *outer)
            : m_outer(outer)
        {
        }
        QRect characterRect(int offset) const override { return m_outer->toScreen(inner->characterRect(offset)); }
        int offsetAtPoint(const QPoint &point) const override
        {
            return inner->offsetAtPoint(m_outer->fromScreen(point));
        }

        void selection(int index, int *start, int *end) const override { inner->selection(index, start, end); }
        int selectionCount() const override { return inner->selectionCount(); }
        void addSelection(int start, int end) override { inner->addSelection(start, end); }
        void removeSelection(int index) override { inner->removeSelection(index); }
        void setSelection(int index, int start, int end) override { inner->setSelection(index, start, end); }
        int cursorPosition() const override { return inner->cursorPosition(); }
        void setCursorPosition(int position) override { inner->setCursorPosition(position); }
        QString text(int start, int end) const override { return inner->text(start, end); }
        QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
        {
            return inner->textBeforeOffset(offset, type, start, end);
        }
        QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
        {
            return inner->textAfterOffset(offset, type, start, end);
        }
        QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start, int *end) const override
        {
            return inner->textAtOffset(offset, type, start, end);
        }
        int characterCount() const override { return inner->characterCount(); }
        void scrollToSubstring(int start, int end) override { inner->scrollToSubstring(start, end); }
        QString attributes(int offset, int *start, int *end) const override
        {
            return inner->attributes(offset, start, end);
        }

        QAccessibleTextInterface *inner = nullptr;

    private:
        const ScreenPixels *m_outer;
    };

    QAccessibleInterface *m_inner;
    Text m_text{this};
};

QAccessibleInterface *ownAccessibleFor(QObject *object)
{
    if (auto *label = dynamic_cast<FormLabel *>(object); label && label->isLink())
        return new LinkAccessible(label);
    // Without these Qt offers the window as a filler and the panel as a frame.
    if (auto *window = dynamic_cast<FormWindow *>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    if (auto *panel = dynamic_cast<PanelFrame *>(object))
        return new QAccessibleWidget(panel, QAccessible::Pane);
    auto *widget = qobject_cast<QWidget *>(object);
    auto *panel = widget ? dynamic_cast<PanelFrame *>(widget->parentWidget()) : nullptr;
    if (panel && panel->clientArea() == widget)
        return new ClientAccessible(widget, panel);
    return nullptr;
}

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    // While Qt is asked for its own interface, below, this factory has none.
    static bool askingQt = false;
    if (askingQt)
        return nullptr;
    QAccessibleInterface *own = ownAccessibleFor(object);
    auto *widget = qobject_cast<QWidget *>(object);
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!onX11 || !widget || !dynamic_cast<FormWindow *>(widget->window()))
        return own;
    // The cache now holds the inner one for the object, until the wrapper,
    // cached in its turn, takes its place there.
    QAccessibleInterface *inner = own;
    if (own) {
        QAccessible::registerAccessibleInterface(own);
    } else {
        askingQt = true;
        inner = QAccessible::queryAccessibleInterface(object);
        askingQt = false;
    }
    return inner ? new ScreenPixels(inner) : nullptr;
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
