// The window's logic on the in-memory backend: what the user sees after each
// action, with no display and no toolkit.
#include "calc/run_time_error.h"
#include "forms/fake/fake_backend.h"
#include "forms/form.h"
#include "forms/geometry.h"
#include "link/recording/link_recorder.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/scrolling.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace iitcalc {
namespace {

using namespace window;

// The main window opened on the in-memory backend, as the program opens it,
// with every run-time failure recorded instead of shown.
class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        link_recorder::requests() = {};
        open();
    }
    // A new window in place of the last, reporting to the given reporter.
    void open(forms::ErrorReporter reporter = {})
    {
        auto backend = std::make_unique<forms::FakeBackend>();
        fake = backend.get();
        if (!reporter)
            reporter = [this](const forms::RunTimeFailure &f) { reports.push_back(f.report()); };
        form = std::make_unique<forms::Form>(mainFormLayout(), mainFormBindings(), std::move(backend),
                                             std::move(reporter));
        form->show();
    }

    std::u16string text(std::string_view box) const { return fake->control(box).text; }
    std::vector<std::u16string> fieldTexts() const
    {
        return {text(kIncome), text(kInsurance), text(kThreshold), text(kTaxBase), text(kTaxPayable)};
    }
    std::int16_t scrollValue() const { return fake->control(kScrollBar).value; }
    float panelTop() const { return fake->control(kPanel).top; }

    forms::FakeBackend *fake = nullptr;
    std::unique_ptr<forms::Form> form;
    std::vector<std::string> reports;
};

// Where each control stands on a 96-dpi screen, in pixels of its parent's
// client area (the panel's controls in the panel), as the window was drawn:
// left, top, width, height; for a line its two end points. Every backend
// draws the core's rectangles, so a figure mistyped in the layout shows here.
TEST_F(MainWindow, EveryControlStandsWhereTheWindowWasDrawn)
{
    const std::map<std::string_view, forms::PixelRect> drawn{
        {"滚动条", {584, 0, 17, 105}},     {"大图框", {8, 0, 569, 433}},         {"计算按钮", {96, 200, 105, 25}},
        {"清空按钮", {344, 200, 105, 25}}, {"应缴税额", {432, 88, 121, 18}},     {"税基", {432, 56, 121, 18}},
        {"个人收入", {152, 56, 121, 18}},  {"五险一金之和", {152, 88, 121, 18}}, {"个税起征点", {152, 120, 121, 18}},
        {"Label49", {0, 0, 569, 17}},      {"Label48", {32, 24, 209, 17}},       {"Label47", {312, 24, 209, 17}},
        {"Label43", {312, 88, 113, 17}},   {"Label10", {312, 56, 113, 17}},      {"Line1", {296, 40, 296, 176}},
        {"Line2", {280, 40, 280, 176}},    {"主页", {144, 272, 121, 17}},        {"Label1", {32, 56, 113, 17}},
        {"Label2", {32, 88, 113, 17}},     {"Label3", {32, 120, 113, 17}},       {"Label57", {48, 256, 465, 41}}};
    const forms::FormRecord &layout = form->layout();
    EXPECT_EQ(std::pair(forms::twipsToPixels(layout.clientWidth), forms::twipsToPixels(layout.clientHeight)),
              std::pair(616, 434));
    ASSERT_EQ(form->controlPlans().size(), drawn.size());
    for (const forms::ControlPlan &plan : form->controlPlans()) {
        const forms::ControlRecord &record = *plan.record;
        const forms::PixelRect place = record.kind == forms::ControlKind::Line
                                           ? forms::PixelRect{forms::lineStart(record).x, forms::lineStart(record).y,
                                                              forms::lineEnd(record).x, forms::lineEnd(record).y}
                                           : forms::pixelRect(record);
        EXPECT_EQ(place, drawn.at(record.name)) << record.name;
    }
}

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
        EXPECT_EQ(fieldTexts(), (std::vector<std::u16string>{u"", u"", u"3500", u"", u""})) << when;
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

#ifndef _WIN32 // Windows gives the separators of its regional settings, whatever the environment says
// The threshold is read, and the results written, in the separators of the
// locale the environment names at the window's first Calculate.
TEST_F(MainWindow, ReadsTheThresholdAndWritesTheResultsInTheUserLocale)
{
    struct Row {
        const char *locale;
        std::u16string_view threshold;
        std::vector<std::u16string> results; // tax base and tax payable; none after a report
    };
    const Row rows[] = {{"C", u"3500.5", {u"6499.5", u"744.9"}},
                        {"C", u"3,500", {}},
                        {"de_DE.UTF-8", u"3.500,5", {u"6499,5", u"744,9"}},
                        {"de_DE.UTF-8", u"3500.5", {}}};
    const char *const given = std::getenv("LC_ALL");
    const std::optional<std::string> kept = given ? std::optional<std::string>(given) : std::nullopt;
    for (const Row &row : rows) {
        setenv("LC_ALL", row.locale, 1);
        open();
        reports.clear();
        fake->type(kIncome, u"10000");
        fake->type(kThreshold, row.threshold);
        fake->click(kCalculateButton);
        EXPECT_EQ(std::vector({text(kTaxBase), text(kTaxPayable)}),
                  row.results.empty() ? std::vector<std::u16string>(2) : row.results)
            << row.locale;
        EXPECT_EQ(reports.size(), row.results.empty() ? 1u : 0u) << row.locale;
    }
    if (kept)
        setenv("LC_ALL", kept->c_str(), 1);
    else
        unsetenv("LC_ALL");
}
#endif

TEST_F(MainWindow, ReactivationAndAnErrorReportKeepATypedThreshold)
{
    fake->type(kThreshold, u"4000");
    fake->activate(); // back from another application
    EXPECT_EQ(text(kThreshold), u"4000");

    // A report that, like a message box, takes the focus and gives it back.
    open([this](const forms::RunTimeFailure &) { fake->activate(); });
    fake->type(kThreshold, u"4000x");
    fake->click(kCalculateButton);
    EXPECT_EQ(text(kThreshold), u"4000x");
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

TEST_F(MainWindow, AHomePageTheDesktopCannotOpenIsNamedForTheUserAtOnceOrLater)
{
    const std::vector<forms::FakeBackend::Message> warning{{"无法打开主页：这台电脑上没有可以打开网址的浏览器。\n"
                                                            "请在浏览器的地址栏中输入 http://www.example.com 。",
                                                            forms::MessageKind::Warning}};
    link_recorder::requests().desktopFails = true;
    fake->click(kHomePage);
    EXPECT_EQ(fake->messages(), warning);
    // A desktop that fails after the click has returned: the same words then.
    link_recorder::requests() = {};
    open();
    fake->click(kHomePage);
    ASSERT_TRUE(link_recorder::requests().failedLater);
    EXPECT_TRUE(fake->messages().empty());
    link_recorder::requests().failedLater();
    EXPECT_EQ(fake->messages(), warning);
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
    // The panel itself, from the scroll bar: wholly above the window at 13 it
    // shows whole only at 0; at 12 its foot shows and nothing moves.
    for (const auto &[from, to] : {std::pair(13, 0), std::pair(12, 12)}) {
        fake->pressTab(false);
        fake->scrollBy(kScrollBar, from - scrollValue());
        fake->pressTab();
        EXPECT_EQ(scrollValue(), to) << "from " << from;
    }
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
                        {7240, 270, 0, 13, 2},   // ... its foot on the window's bottom edge
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
