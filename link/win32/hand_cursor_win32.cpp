#include "link/hand_cursor.h"

#include "forms/form.h"
#include "forms/win32/win32_backend.h"

namespace iitcalc::光标变手 {

void setHandCursor()
{
    const forms::RunningEvent *event = forms::runningEvent();
    if (!event)
        return;
    // The system's own hand, shared by every call and never released.
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    // Kept on the control the pointer moves over, so the hand stays while the
    // pointer does and the arrow comes back as soon as it leaves.
    forms::setControlCursor(*event->form, event->control, hand);
    SetCursor(hand);
}

} // namespace iitcalc::光标变手
