#include "tests/support/main_window_fixture.h"
#include "tests/support/row_name.h"
#include "window/scrolling.h"

#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace iitcalc {
namespace {

using testing_support::MainWindowTest;

struct RangeRow {
    const char *name;
    float height;
    std::optional<std::int16_t> max; // nothing: overflow
};
IITCALC_PRINTABLE_ROW(RangeRow)

class ScrollRange : public testing::TestWithParam<RangeRow> {};

TEST_P(ScrollRange, RoundsHeightOverStepToNearestEven)
{
    const auto result = window::scrollRangeFor(GetParam().height);
    if (GetParam().max) {
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(*result, *GetParam().max);
    } else {
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), RunTimeError::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ScrollRange,
                         testing::Values(RangeRow{"layout", 6492, 13}, RangeRow{"tie_down_to_even", 6250, 12},
                                         RangeRow{"tie_up_to_even", 6750, 14}, RangeRow{"just_below_tie", 6749, 13},
                                         RangeRow{"zero", 0, 0}, RangeRow{"negative", -6492, -13},
                                         RangeRow{"largest", 16383749, 32767},
                                         RangeRow{"tie_beyond_largest", 16383750, std::nullopt},
                                         RangeRow{"tie_to_smallest", -16384250, -32768},
                                         RangeRow{"below_smallest", -16384750, std::nullopt},
                                         RangeRow{"infinite", std::numeric_limits<float>::infinity(), std::nullopt},
                                         RangeRow{"not_a_number", std::nanf(""), std::nullopt}),
                         testing_support::RowName());

TEST(PanelTop, IsPositionTimesMinusStepIn16Bits)
{
    EXPECT_EQ(*window::panelTopFor(0), 0);
    EXPECT_EQ(*window::panelTopFor(1), -500);
    EXPECT_EQ(*window::panelTopFor(13), -6500);
    EXPECT_EQ(*window::panelTopFor(65), -32500);
    EXPECT_EQ(*window::panelTopFor(-65), 32500);
    EXPECT_EQ(window::panelTopFor(66).error(), RunTimeError::Overflow);
    EXPECT_EQ(window::panelTopFor(-66).error(), RunTimeError::Overflow);
    EXPECT_EQ(window::panelTopFor(32767).error(), RunTimeError::Overflow);
}

class ScrollingPanel : public MainWindowTest {
protected:
    QScrollBar *bar() const { return control<QScrollBar>("滚动条"); }
    float panelTop() const { return control("大图框")->property("iitcalcTopTwips").toFloat(); }
};

TEST_F(ScrollingPanel, EveryPositionMovesThePanelAndAllOnIt)
{
    const QPoint incomeOnPanel = control("个人收入")->pos();
    for (int position : {1, 7, 13, 0}) {
        bar()->setValue(position);
        EXPECT_EQ(panelTop(), -500.0f * static_cast<float>(position));
        EXPECT_EQ(control("大图框")->y(), static_cast<int>(std::lround(-500.0 * position / 15)));
        EXPECT_EQ(control("个人收入")->pos(), incomeOnPanel);
    }
    EXPECT_EQ(bar()->geometry(), QRect(584, 0, 17, 105));
    bar()->setValue(13);
    clear();
    EXPECT_EQ(bar()->value(), 0);
    EXPECT_EQ(control("大图框")->y(), 0);
}

TEST_F(ScrollingPanel, ArrowTroughKeysWheelAndReleaseMoveIt)
{
    QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(8, bar()->height() - 4));  // the lower arrow
    QTest::mouseClick(bar(), Qt::LeftButton, {}, QPoint(8, bar()->height() - 24)); // the trough
    EXPECT_EQ(bar()->value(), 2);
    bar()->setFocus();
    QTest::keyClick(bar(), Qt::Key_Down);
    EXPECT_EQ(panelTop(), -1500.0f);
    QWheelEvent wheel(QPointF(8, 50), bar()->mapToGlobal(QPointF(8, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar(), &wheel);
    EXPECT_GT(bar()->value(), 3);
    EXPECT_EQ(panelTop(), -500.0f * static_cast<float>(bar()->value()));

    // Dragging the thumb moves nothing until it is let go.
    bar()->setSliderDown(true);
    bar()->setSliderPosition(9);
    EXPECT_NE(panelTop(), -4500.0f);
    bar()->setSliderDown(false);
    EXPECT_EQ(panelTop(), -4500.0f);
}

} // namespace
} // namespace iitcalc
