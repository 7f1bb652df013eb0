#include "link/hand_cursor.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

namespace iitcalc::光标变手 {

namespace {

const QCursor &handCursor()
{
    static const QCursor hand(Qt::PointingHandCursor);
    return hand;
}

} // namespace

void setHandCursor()
{
    const QCursor &hand = handCursor();
    QWidget *under = QApplication::widgetAt(QCursor::pos());
    if (under && under->cursor().shape() != hand.shape())
        under->setCursor(hand);
}

} // namespace iitcalc::光标变手
