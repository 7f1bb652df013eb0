#pragma once

#include "forms/control_record.h"

#include <string_view>

namespace iitcalc::window {

inline constexpr std::u16string_view kTitle = u"个人所得税计算器";
inline constexpr std::u16string_view kHomePageAddress = u"http://www.example.com";

// The object names handlers, the layout and tests reach controls by.
inline constexpr std::string_view kMainForm = "主窗体";
inline constexpr std::string_view kIncome = "个人收入";
inline constexpr std::string_view kInsurance = "五险一金之和";
inline constexpr std::string_view kThreshold = "个税起征点";
inline constexpr std::string_view kTaxBase = "税基";
inline constexpr std::string_view kTaxPayable = "应缴税额";
inline constexpr std::string_view kCalculateButton = "计算按钮";
inline constexpr std::string_view kClearButton = "清空按钮";
inline constexpr std::string_view kScrollBar = "滚动条";
inline constexpr std::string_view kPanel = "大图框";
inline constexpr std::string_view kHomePage = "主页";
inline constexpr std::string_view kNotice = "Label57";

// The main window: every control with its place in twips, listed from the
// front of the window to the back.
const forms::FormRecord &mainFormLayout();

} // namespace iitcalc::window
