#pragma once

// 光标变手: the system's hand pointer.
namespace iitcalc::光标变手 {

// Shows the hand pointer over the control whose pointer-move event is being
// handled; the hand cursor is made once, on first use, and kept for the life
// of the program. Elsewhere the usual arrow shows. Called on every pointer
// move over a link, so the hand stays while the pointer does. Outside a
// handler it does nothing. One implementation per toolkit.
void setHandCursor();

} // namespace iitcalc::光标变手
