// The window's logic on the in-memory backend: what the user sees after each
// action, with no display and no toolkit.
#include "calc/run_time_error.h"
#include "tests/support/fake_window.h"
#include "window/scrolling.h"

#include <limits>
#include <optional>
#include <tuple>

namespace iitcalc {
namespace {

using namespace window;
using testing_support::kStartFields;

class MainWindow : public testing_support::FakeWindowTest {};

TEST_F(MainWindow, CalculatesWhatIsTyped)
{
    fake->type(kIncome, u"10000");
    fake->type(kInsurance, u"1000");
    fake->click(kCalculateButton);
    EXPECT_EQ(fieldTexts(), (std::vector<std::u16string>{u"10000", u"1000", u"3500", u"5500", u"545"}));
    fake->click(kCalculateButton);
    EXPECT_EQ(text(kTaxBase), u"5500");
    // Nothing taxable: "0" replaces the earlier tax rather than standing beside a new base.
    fake->type(kIncome, u"3000");
    fake->click(kCalculateButton);
    EXPECT_EQ(text(kTaxBase), u"-1500");
    EXPECT_EQ(text(kTaxPayable), u"0");
    // The result boxes are editable and Calculate simply writes over them.
    fake->type(kTaxBase, u"手写");
    fake->click(kCalculateButton);
    EXPECT_EQ(text(kTaxBase), u"-1500");
    EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindow, AFailureIsReportedOnceAndNothingChanges)
{
    const std::string mismatch = "运行时错误 13：类型不匹配\n个税起征点必须是一个数字，例如 3500。";
    const std::string overflow = "运行时错误 6：溢出\n数值超出了可以计算的范围。";
    const std::tuple<std::u16string_view, std::u16string_view, std::string> rows[] = {
        {u"1E308", u"-1E308", overflow}, // income, then the insurance or the threshold
        {u"20000", u"", mismatch},
        {u"20000", u"abc", mismatch},
        {u"20000", u"3500元", mismatch}};
    fake->type(kIncome, u"10000");
    fake->click(kCalculateButton);
    for (const auto &[income, other, report] : rows) {
        fake->type(kIncome, income);
        fake->type(report == mismatch ? kThreshold : kInsurance, other);
        const auto before = fieldTexts();
        reports.clear();
        fake->click(kCalculateButton);
        EXPECT_EQ(reports, std::vector<std::string>{report});
        EXPECT_EQ(fieldTexts(), before);
        EXPECT_TRUE(fake->shown());
    }
}

TEST_F(MainWindow, OpensClearsAndReopensToTheSameState)
{
    const auto expectStart = [&](const char *when) {
        EXPECT_EQ(fieldTexts(), kStartFields) << when;
        EXPECT_EQ(std::tuple(fake->control(kScrollBar).range.high, scrollValue(), panelTop(), form->top(kPanel)),
                  std::tuple(13, 0, 0.0f, 0.0f))
            << when;
        EXPECT_EQ(fake->focus(), form->find(kPanel)) << when;
        EXPECT_EQ(fake->position(), forms::FakeBackend::kScreenCentre) << when;
        EXPECT_TRUE(fake->shown()) << when;
    };
    expectStart("at start");
    fake->type(kIncome, u"10000");
    fake->type(kThreshold, u"4000");
    fake->click(kCalculateButton);
    fake->scrollBy(kScrollBar, 3);
    fake->moveWindow({10, 10});
    const int built = fake->windowsBuilt();
    fake->click(kClearButton);
    EXPECT_EQ(fake->windowsBuilt(), built + 1);
    expectStart("after Clear");
    fake->type(kIncome, u"10000");
    fake->close();
    EXPECT_FALSE(form->isLoaded());
    EXPECT_FALSE(fake->built());
    form->show();
    expectStart("reopened");
    EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindow, ReactivationAndAnErrorReportKeepATypedThreshold)
{
    fake->type(kThreshold, u"4000");
    fake->activate(); // back from another application
    EXPECT_EQ(text(kThreshold), u"4000");

    // A report that, like a message box, takes the focus and gives it back.
    auto backend = std::make_unique<forms::FakeBackend>();
    forms::FakeBackend *other = backend.get();
    forms::Form reporting(mainFormLayout(), mainFormBindings(), std::move(backend),
                          [&](const forms::RunTimeFailure &) { other->activate(); });
    reporting.show();
    other->type(kThreshold, u"4000x");
    other->click(kCalculateButton);
    EXPECT_EQ(other->control(kThreshold).text, u"4000x");
}

TEST_F(MainWindow, EveryScrollPositionMovesThePanel)
{
    for (int position = 1; position <= 13; ++position) {
        fake->scrollBy(kScrollBar, 1);
        EXPECT_EQ(panelTop(), -500.0f * static_cast<float>(position));
    }
    fake->scrollBy(kScrollBar, 1); // already at the end: no Change
    EXPECT_EQ(scrollValue(), 13);
    fake->scrollBy(kScrollBar, -13);
    EXPECT_EQ(panelTop(), 0.0f);

    // Dragging the thumb moves nothing until it is let go.
    fake->dragThumb(kScrollBar, 9);
    EXPECT_EQ(panelTop(), 0.0f);
    fake->releaseThumb(kScrollBar);
    EXPECT_EQ(panelTop(), -4500.0f);
    EXPECT_EQ(form->top(kPanel), -4500.0f);
}

TEST_F(MainWindow, TheLinkOpensTheHomePageOnEveryClickAndShowsTheHand)
{
    fake->click(kHomePage);
    fake->click(kHomePage);
    fake->doubleClickMouse(kHomePage); // the second press of a double-click
    fake->releaseMouse(kHomePage, true);
    fake->pressMouse(kHomePage);
    fake->releaseMouse(kHomePage, false);
    EXPECT_EQ(link_recorder::requests().openedAddresses,
              std::vector<std::u16string>(2, std::u16string(kHomePageAddress)));
    fake->moveMouse(kHomePage);
    fake->moveMouse(kNotice);
    EXPECT_EQ(link_recorder::requests().handPointerOver, std::vector<std::string>{std::string(kHomePage)});
    EXPECT_TRUE(fake->messages().empty());
}

TEST_F(MainWindow, AHomePageTheDesktopCannotOpenIsNamedForTheUser)
{
    link_recorder::requests().desktopFails = true;
    fake->click(kHomePage);
    EXPECT_EQ(fake->messages(),
              (std::vector<forms::FakeBackend::Message>{{"无法打开主页：这台电脑上没有可以打开网址的浏览器。\n"
                                                         "请在浏览器的地址栏中输入 http://www.example.com 。",
                                                         forms::MessageKind::Warning}}));
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(fake->shown());
}

TEST_F(MainWindow, WrittenTextsShowFromTheirStart)
{
    fake->type(kIncome, u"123456789012345678");
    fake->click(kCalculateButton);
    for (const std::string_view box : {kTaxBase, kTaxPayable, kThreshold, kIncome})
        EXPECT_EQ(fake->control(box).shownFromStart, box != kIncome) << box;
}

TEST_F(MainWindow, TabIntoAControlOutOfSightScrollsItIntoView)
{
    fake->scrollBy(kScrollBar, 13); // every control above the window's top
    // Threshold (top 1800) whole at 3; insurance (1320) still partly in
    // sight there; income (840) out of sight again, whole at 1.
    std::vector<std::int16_t> positions;
    for (int tab = 0; tab < 4; ++tab) {
        fake->pressTab();
        positions.push_back(scrollValue());
    }
    EXPECT_EQ(positions, (std::vector<std::int16_t>{3, 3, 1, 1}));
    EXPECT_EQ(panelTop(), -500.0f);
    fake->scrollBy(kScrollBar, 12);
    fake->click(kCalculateButton); // a button, focused out of sight however it happens
    EXPECT_EQ(scrollValue(), 6);
    EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindow, TheWheelAnywhereOverTheWindowMovesThePanelAtEveryPosition)
{
    fake->turnWheel(kIncome, 2);
    EXPECT_EQ(panelTop(), -1000.0f);
    fake->turnWheel(kScrollBar, 11);
    EXPECT_EQ(panelTop(), -6500.0f);
    // The whole panel above the window: the wheel over what is left of the
    // window still brings it back.
    fake->turnWheel("", -1);
    EXPECT_EQ(panelTop(), -6000.0f);
}

TEST(ScrollRange, RoundsHeightOverStepToNearestEven)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const std::pair<float, std::optional<std::int16_t>> rows[] = {{6492, 13},
                                                                  {6250, 12},
                                                                  {6750, 14},
                                                                  {6749, 13},
                                                                  {0, 0},
                                                                  {-6492, -13},
                                                                  {16383749, 32767},
                                                                  {16383750, {}},
                                                                  {-16384250, -32768},
                                                                  {-16384750, {}},
                                                                  {kInf, {}},
                                                                  {-kInf, {}},
                                                                  {std::numeric_limits<float>::quiet_NaN(), {}}};
    for (const auto &[height, max] : rows) {
        const auto result = scrollRangeFor(height);
        ASSERT_EQ(result.ok(), max.has_value()) << height;
        if (max)
            EXPECT_EQ(*result, *max) << height;
        else
            EXPECT_EQ(result.error(), RunTimeError::Overflow) << height;
    }
}

TEST(PositionShowing, NearestPositionWhereAControlOutOfSightShowsWhole)
{
    struct Row {
        float top, height;
        std::int16_t position, max;
        std::optional<std::int16_t> expected;
    };
    const Row rows[] = {{1800, 270, 13, 13, 3},  // threshold from the bottom
                        {1800, 270, 3, 13, {}},  // in sight: stays
                        {1320, 270, 3, 13, {}},  // partly in sight: stays
                        {840, 270, 3, 13, 1},    // wholly above the window
                        {0, 252, 1, 13, 0},      // the title, just gone
                        {500, 500, 2, 13, 1},    // its bottom at the window's top: out of sight
                        {9000, 270, 0, 20, 6},   // below the window: the first position that shows it whole
                        {9000, 270, 0, 5, 5},    // ... or as near as the range allows, partly
                        {100, 8000, 13, 13, {}}, // taller than the window and in sight
                        {100, 8000, 20, 20, 16}, // ... out of sight: part of it
                        {99999, 10, 0, 13, {}}}; // no position shows it
    for (const Row &row : rows)
        EXPECT_EQ(positionShowing(row.top, row.height, row.position, row.max, 6510), row.expected)
            << row.top << " at " << row.position;
}

TEST(PanelTop, IsPositionTimesMinusStepIn16Bits)
{
    const std::pair<std::int16_t, std::optional<std::int16_t>> rows[] = {
        {0, 0}, {1, -500}, {13, -6500}, {65, -32500}, {-65, 32500}, {66, {}}, {-66, {}}, {32767, {}}};
    for (const auto &[position, top] : rows) {
        const auto result = panelTopFor(position);
        ASSERT_EQ(result.ok(), top.has_value()) << position;
        if (top)
            EXPECT_EQ(*result, *top) << position;
        else
            EXPECT_EQ(result.error(), RunTimeError::Overflow) << position;
    }
}

} // namespace
} // namespace iitcalc
