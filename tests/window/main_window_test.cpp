#include "calc/run_time_error.h"
#include "tests/support/main_window_fixture.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace iitcalc {
namespace {

using testing_support::MainWindowTest;

TEST_F(MainWindowTest, EveryControlSitsAtItsPixelsAt96Dpi)
{
    // Left, top, width, height in the parent's client area: twips / 15, rounded.
    const std::pair<const char *, QRect> expected[] = {
        {"滚动条", {584, 0, 17, 105}},     {"大图框", {8, 0, 569, 433}},         {"计算按钮", {96, 200, 105, 25}},
        {"清空按钮", {344, 200, 105, 25}}, {"应缴税额", {432, 88, 121, 18}},     {"税基", {432, 56, 121, 18}},
        {"个人收入", {152, 56, 121, 18}},  {"五险一金之和", {152, 88, 121, 18}}, {"个税起征点", {152, 120, 121, 18}},
        {"Label49", {0, 0, 569, 17}},      {"Label48", {32, 24, 209, 17}},       {"Label47", {312, 24, 209, 17}},
        {"Label43", {312, 88, 113, 17}},   {"Label10", {312, 56, 113, 17}},      {"Line1", {296, 40, 1, 136}},
        {"Line2", {280, 40, 1, 136}},      {"主页", {144, 272, 121, 17}},        {"Label1", {32, 56, 113, 17}},
        {"Label2", {32, 88, 113, 17}},     {"Label3", {32, 120, 113, 17}},       {"Label57", {48, 256, 465, 41}}};
    for (const auto &[name, pixels] : expected)
        EXPECT_EQ(control(name)->geometry(), pixels) << name;
}

TEST_F(MainWindowTest, StartsWithOnlyTheThreshold)
{
    EXPECT_EQ(fieldTexts(), (std::vector<QString>{"", "", "3500", "", ""}));
    EXPECT_EQ(control<QScrollBar>("滚动条")->maximum(), 13);
    EXPECT_EQ(control<QScrollBar>("滚动条")->value(), 0);
    EXPECT_EQ(control("大图框")->y(), 0);
    EXPECT_EQ(QApplication::focusWidget(), control("大图框"));
    EXPECT_EQ(form->window()->size(), QSize(616, 434));
    EXPECT_EQ(form->window()->minimumSize(), form->window()->maximumSize());
    EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowTest, TabWalksTheFocusOrderAndLabelsNeverTakeIt)
{
    const char *order[] = {"个税起征点", "五险一金之和", "个人收入", "税基",  "应缴税额",
                           "清空按钮",   "计算按钮",     "滚动条",   "大图框"};
    for (const char *name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(name)) << "expected " << name;
    }
    for (QLabel *label : form->window()->findChildren<QLabel *>())
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
}

TEST_F(MainWindowTest, CalculatesWhatIsTyped)
{
    type("个人收入", "10000");
    type("五险一金之和", "1000");
    click("计算按钮");
    EXPECT_EQ(text("税基"), "5500");
    EXPECT_EQ(text("应缴税额"), "545");
    const auto first = fieldTexts();
    click("计算按钮");
    EXPECT_EQ(fieldTexts(), first);
    // Nothing taxable: "0" replaces the earlier tax rather than standing beside a new base.
    type("个人收入", "3000");
    click("计算按钮");
    EXPECT_EQ(text("税基"), "-1500");
    EXPECT_EQ(text("应缴税额"), "0");
    EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowTest, BadThresholdIsReportedOnceAndNothingChanges)
{
    type("个人收入", "10000");
    click("计算按钮");
    type("个人收入", "20000");
    type("个税起征点", "");
    const auto before = fieldTexts();
    click("计算按钮");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], errorReport(RunTimeError::TypeMismatch));
    EXPECT_EQ(fieldTexts(), before);
    EXPECT_TRUE(form->window()->isVisible());
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothingAndResultsStayEditable)
{
    type("个人收入", "10000");
    QTest::keyClick(box("个人收入"), Qt::Key_Return);
    QTest::keyClick(box("个人收入"), Qt::Key_Escape);
    control("计算按钮")->setFocus();
    QTest::keyClick(form->window(), Qt::Key_Return);
    EXPECT_EQ(text("税基"), "");
    EXPECT_TRUE(form->window()->isVisible());
    EXPECT_FALSE(control<QPushButton>("计算按钮")->isDefault());
    EXPECT_FALSE(control<QPushButton>("清空按钮")->isDefault());
    type("税基", "手写");
    EXPECT_EQ(text("税基"), "手写");
}

TEST_F(MainWindowTest, ClearResetsEverythingAndTheProgramGoesOn)
{
    bool lastWindowClosed = false;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { lastWindowClosed = true; });
    type("个人收入", "10000");
    type("个税起征点", "4000");
    click("计算按钮");
    control<QScrollBar>("滚动条")->setValue(3);
    form->window()->move(10, 10);
    QPointer<QWidget> old = form->window();

    clear();
    EXPECT_TRUE(old.isNull());
    EXPECT_FALSE(lastWindowClosed);
    EXPECT_EQ(fieldTexts(), (std::vector<QString>{"", "", "3500", "", ""}));
    EXPECT_EQ(control<QScrollBar>("滚动条")->value(), 0);
    EXPECT_EQ(control<QScrollBar>("滚动条")->maximum(), 13);
    EXPECT_EQ(control("大图框")->y(), 0);
    EXPECT_NE(form->window()->pos(), QPoint(10, 10));
    EXPECT_TRUE(form->window()->isVisible());
}

TEST_F(MainWindowTest, ReactivationKeepsATypedThreshold)
{
    type("个税起征点", "4000");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QApplication::setActiveWindow(form->window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->window()));
    EXPECT_EQ(text("个税起征点"), "4000");
}

TEST_F(MainWindowTest, ClosingAnErrorReportKeepsATypedThreshold)
{
    // A reporter that, like a message box, takes the focus and gives it back.
    form = std::make_unique<forms::Form>(window::mainFormLayout(), window::mainFormBindings(),
                                         [this](QWidget *window, const forms::RunTimeFailure &failure) {
                                             reports.push_back(failure.report());
                                             QWidget box;
                                             box.show();
                                             QApplication::setActiveWindow(&box);
                                             EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
                                             box.close();
                                             QApplication::setActiveWindow(window);
                                         });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->window()));
    type("个税起征点", "4000x");
    click("计算按钮");
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->window()));
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(text("个税起征点"), "4000x");
}

std::size_t liveObjects()
{
    std::size_t count = static_cast<std::size_t>(qApp->findChildren<QObject *>().size());
    for (QWidget *top : QApplication::topLevelWidgets())
        count += 1 + static_cast<std::size_t>(top->findChildren<QObject *>().size());
    return count;
}

TEST_F(MainWindowTest, ThousandClearsLeaveNothingBehind)
{
    clear();
    const std::size_t before = liveObjects();
    const int widgetsBefore = static_cast<int>(QApplication::allWidgets().size());
    for (int i = 0; i < 1000; ++i) {
        click("清空按钮");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(liveObjects(), before);
    EXPECT_EQ(static_cast<int>(QApplication::allWidgets().size()), widgetsBefore);
}

TEST_F(MainWindowTest, FontsColoursAndTheLinkInFrontOfTheNotice)
{
    struct Expected {
        const char *name;
        int pixelSize;
        bool bold;
    };
    for (const Expected &row :
         {Expected{"Label49", 16, true}, Expected{"Label48", 14, true}, Expected{"Label47", 14, true},
          Expected{"Label1", 12, false}, Expected{"个人收入", 12, false}, Expected{"主页", 12, false}}) {
        const QFont font = control(row.name)->font();
        EXPECT_EQ(font.pixelSize(), row.pixelSize) << row.name;
        EXPECT_EQ(font.bold(), row.bold) << row.name;
    }
    EXPECT_EQ(control("主页")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(control("Label1")->palette().color(QPalette::WindowText),
              form->window()->palette().color(QPalette::WindowText));

    QWidget *link = control("主页");
    QWidget *notice = control("Label57");
    EXPECT_TRUE(notice->geometry().contains(link->geometry()));
    EXPECT_EQ(link->x() - notice->x(), 96); // 1440 twips: the eight characters before the address
    EXPECT_EQ(link->y() - notice->y(), 16); // 240 twips: the notice's second line
    const QPoint inside = link->geometry().center();
    EXPECT_EQ(link->parentWidget()->childAt(inside), link);
}

TEST_F(MainWindowTest, CaptionLabelsNameTheirBoxes)
{
    for (const auto &[label, boxName] :
         {std::pair{"Label1", "个人收入"}, std::pair{"Label2", "五险一金之和"}, std::pair{"Label3", "个税起征点"},
          std::pair{"Label10", "税基"}, std::pair{"Label43", "应缴税额"}}) {
        EXPECT_EQ(control<QLabel>(label)->buddy(), control(boxName));
        EXPECT_EQ(control(boxName)->accessibleName(), QString::fromUtf8(boxName));
    }
}

} // namespace
} // namespace iitcalc
