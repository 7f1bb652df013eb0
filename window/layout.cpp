#include "window/layout.h"

#include <array>
#include <string>

namespace iitcalc::window {

namespace {

using forms::ControlKind;
using forms::ControlRecord;
using forms::FontRecord;
using forms::LabelBackground;
using forms::TextAlignment;

constexpr std::u16string_view kCredit = u"iitcalc 开发组";
constexpr std::u16string_view kTelephone = u"010-00000000";
// What the link shows: the address without its scheme.
constexpr std::u16string_view kHomePageHost = kHomePageAddress.substr(7);

constexpr FontRecord kDefaultFont{"宋体", 9, false};
constexpr FontRecord kTitleFont{"宋体", 12, true};
constexpr FontRecord kHeadingFont{"宋体", 10.5, true};
constexpr std::uint32_t kBlueBgr = 0x00FF0000;

const std::u16string &notice()
{
    static const std::u16string text = std::u16string(u"本软件由") + std::u16string(kCredit) + u"研发，内容仅供参考，\r\n" +
                                       u"欲知更多，请登录" + std::u16string(kHomePageHost) + u"；电话：" +
                                       std::u16string(kTelephone) + u".\r\n";
    return text;
}

} // namespace

const forms::FormRecord &mainFormLayout()
{
    static const std::array<ControlRecord, 21> controls{{
        {.name = "滚动条", .kind = ControlKind::ScrollBar, .parent = "", .left = 8760, .top = 0, .width = 252,
         .height = 1572, .tabIndex = 18},
        {.name = "大图框", .kind = ControlKind::PictureBox, .parent = "", .left = 120, .top = 0, .width = 8532,
         .height = 6492, .tabIndex = 0},
        {.name = "计算按钮", .kind = ControlKind::CommandButton, .parent = "大图框", .left = 1440, .top = 3000,
         .width = 1575, .height = 375, .tabIndex = 7, .caption = u"计算"},
        {.name = "清空按钮", .kind = ControlKind::CommandButton, .parent = "大图框", .left = 5160, .top = 3000,
         .width = 1575, .height = 375, .tabIndex = 6, .caption = u"清空"},
        {.name = "应缴税额", .kind = ControlKind::TextBox, .parent = "大图框", .left = 6480, .top = 1320, .width = 1815,
         .height = 270, .tabIndex = 5},
        {.name = "税基", .kind = ControlKind::TextBox, .parent = "大图框", .left = 6480, .top = 840, .width = 1815,
         .height = 270, .tabIndex = 4},
        {.name = "个人收入", .kind = ControlKind::TextBox, .parent = "大图框", .left = 2280, .top = 840, .width = 1815,
         .height = 270, .tabIndex = 3},
        {.name = "五险一金之和", .kind = ControlKind::TextBox, .parent = "大图框", .left = 2280, .top = 1320,
         .width = 1815, .height = 270, .tabIndex = 2},
        {.name = "个税起征点", .kind = ControlKind::TextBox, .parent = "大图框", .left = 2280, .top = 1800,
         .width = 1815, .height = 270, .tabIndex = 1},
        {.name = "Label49", .kind = ControlKind::Label, .parent = "大图框", .left = 0, .top = 0, .width = 8532,
         .height = 252, .tabIndex = 16, .caption = kTitle, .font = kTitleFont, .alignment = TextAlignment::Centre},
        {.name = "Label48", .kind = ControlKind::Label, .parent = "大图框", .left = 480, .top = 360, .width = 3132,
         .height = 252, .tabIndex = 15, .caption = u"原始数据区", .font = kHeadingFont,
         .alignment = TextAlignment::Centre},
        {.name = "Label47", .kind = ControlKind::Label, .parent = "大图框", .left = 4680, .top = 360, .width = 3132,
         .height = 252, .tabIndex = 14, .caption = u"计算结果区", .font = kHeadingFont,
         .alignment = TextAlignment::Centre},
        {.name = "Label43", .kind = ControlKind::Label, .parent = "大图框", .left = 4680, .top = 1320, .width = 1692,
         .height = 252, .tabIndex = 13, .caption = u"应缴税额", .buddy = "应缴税额"},
        {.name = "Label10", .kind = ControlKind::Label, .parent = "大图框", .left = 4680, .top = 840, .width = 1692,
         .height = 252, .tabIndex = 12, .caption = u"税基", .buddy = "税基"},
        // A line's rectangle is its two end points.
        {.name = "Line1", .kind = ControlKind::Line, .parent = "大图框", .left = 4440, .top = 600, .width = 4440,
         .height = 2640},
        {.name = "Line2", .kind = ControlKind::Line, .parent = "大图框", .left = 4200, .top = 600, .width = 4200,
         .height = 2640},
        // In front of the notice, exactly over the address in its second line.
        {.name = "主页", .kind = ControlKind::Label, .parent = "大图框", .left = 2160, .top = 4080, .width = 1812,
         .height = 252, .tabIndex = 11, .caption = kHomePageHost, .textColourBgr = kBlueBgr,
         .background = LabelBackground::BehindText},
        {.name = "Label1", .kind = ControlKind::Label, .parent = "大图框", .left = 480, .top = 840, .width = 1692,
         .height = 252, .tabIndex = 10, .caption = u"个人收入", .buddy = "个人收入"},
        {.name = "Label2", .kind = ControlKind::Label, .parent = "大图框", .left = 480, .top = 1320, .width = 1692,
         .height = 252, .tabIndex = 9, .caption = u"五险一金之和", .buddy = "五险一金之和"},
        {.name = "Label3", .kind = ControlKind::Label, .parent = "大图框", .left = 480, .top = 1800, .width = 1692,
         .height = 252, .tabIndex = 8, .caption = u"个税起征点", .buddy = "个税起征点"},
        {.name = "Label57", .kind = ControlKind::Label, .parent = "大图框", .left = 720, .top = 3840, .width = 6972,
         .height = 612, .tabIndex = 17, .caption = notice(), .lineHeight = 240},
    }};
    static const forms::FormRecord form{
        .name = kMainForm,
        .caption = kTitle,
        .clientWidth = 9240,
        .clientHeight = 6510,
        .font = kDefaultFont,
        .iconPath = ":/iitcalc/iitcalc.svg",
        .controls = controls,
    };
    return form;
}

} // namespace iitcalc::window
