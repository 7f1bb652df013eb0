// What assistive technology (AT-SPI on Linux) is told about a form's window:
// the roles Qt would not give by itself and the reading order the core
// decided. Names come from the core through setAccessibleName().
#include "forms/qt/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>

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

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
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
