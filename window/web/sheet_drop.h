#pragma once

namespace iitcalc::window {

// The payroll-sheet control below the window (page/sheet_drop.js): shown
// once the window is up. The page's script does its work through the
// iitcalc_sheet_* functions, one sheet::SheetConverter a file, in the
// browser's language.
void offerSheetDrop();

} // namespace iitcalc::window
