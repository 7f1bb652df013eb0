#include "link/hand_cursor.h"

#include "forms/form.h"
#include "forms/qt/qt_backend.h"

#include <QCursor>
#include <QWidget>

namespace iitcalc::光标变手 {

void setHandCursor()
{
    static const QCursor hand(Qt::PointingHandCursor);
    // On the control the pointer moves over, which keeps the hand while the
    // pointer stays and gives the arrow back as soon as it leaves.
    const forms::RunningEvent *event = forms::runningEvent();
    QWidget *over = event ? forms::widgetOf(*event->form, event->control) : nullptr;
    if (over && over->cursor().shape() != hand.shape())
        over->setCursor(hand);
}

} // namespace iitcalc::光标变手
