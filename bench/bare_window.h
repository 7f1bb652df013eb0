#pragma once

class QWidget;

namespace iitcalc::bench {

// The same window built the plain way: the same controls, pixel geometry
// written out, no layout table and no forms layer. The baseline the real
// window is measured against.
QWidget *buildBareWindow();

} // namespace iitcalc::bench
