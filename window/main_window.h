#pragma once

#include "calc/run_time_error.h"
#include "calc/separators.h"
#include "forms/form.h"

#include <string>
#include <vector>

namespace iitcalc::window {

// The main window's handlers, one per (control, event) it answers. They
// read and write controls only through the form; a failure leaves them as a
// run-time failure, which the form reports.
void mainFormLoaded(forms::Form &form);                                 // scroll range from the panel's height
void mainFormActivated(forms::Form &form);                              // the threshold starts at "3500"
void calculateClicked(forms::Form &form, const Separators &separators); // the tax payable, then the tax base
void clearClicked(forms::Form &form);                                   // close the window and open it anew
void scrollBarChanged(forms::Form &form);                               // move the panel to the position
void homePageClicked(forms::Form &form);                                // open the home page, or say it cannot be
void homePageMouseMoved(forms::Form &form);                             // the hand pointer
// The panel or a control on it took the focus: when it lies out of sight,
// the scroll bar moves to the nearest position that shows it (the panel,
// which shows whole only at the top, from 13 to 0).
void panelControlFocused(forms::Form &form);

// What the user reads when a handler fails: the error's own line, then one
// that says what to do. TypeMismatch gives "运行时错误 13：类型不匹配\n
// 个税起征点必须是一个数字，例如 3500。".
std::string failureReport(RunTimeError error);

// What the user reads when the desktop cannot open the home page: the
// address, to type by hand.
std::string homePageFailure();

// The bindings above: the seven of the window's logic, Calculate in the
// separators of the user's locale as it is at their first Calculate, and
// GotFocus of the panel and of each control on it that can take the focus.
std::vector<forms::Binding> mainFormBindings();

} // namespace iitcalc::window
