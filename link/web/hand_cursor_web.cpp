#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "link/hand_cursor.h"

namespace iitcalc::光标变手 {

void setHandCursor()
{
    // On the element the pointer moves over, which keeps the hand while the
    // pointer stays and gives the arrow back as soon as it leaves.
    const forms::RunningEvent *event = forms::runningEvent();
    if (!event)
        return;
    forms::showHand(*event->form, event->control);
}

} // namespace iitcalc::光标变手
