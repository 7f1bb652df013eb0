#pragma once

#include "forms/control_record.h"

#include <string_view>

namespace iitcalc::window {

inline constexpr std::string_view kMainForm = "主窗体";
inline constexpr std::u16string_view kTitle = u"个人所得税计算器";
inline constexpr std::u16string_view kHomePageAddress = u"http://www.example.com";

// The main window: every control with its place in twips, listed from the
// front of the window to the back.
const forms::FormRecord &mainFormLayout();

} // namespace iitcalc::window
