// The rules every backend follows: pixels from twips, where the window
// opens, a label's Click, a label's lines, names and tool tips.
#include "forms/controls.h"
#include "forms/geometry.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iitcalc::forms {
namespace {

TEST(TwipsToPixels, RoundsToNearestHalvesAwayFromZero)
{
    struct Row {
        double twips;
        unsigned dpi;
        int pixels;
    };
    for (const Row &row :
         {Row{1440, 96, 96}, Row{1440, 192, 192}, Row{-500, 96, -33}, Row{-500, 192, -67}, Row{7, 96, 0},
          Row{7.5, 96, 1}, Row{-7.5, 96, -1}, Row{8, 96, 1}, Row{500, 120, 42}, Row{6, 120, 1}, Row{-6, 120, -1}})
        EXPECT_EQ(twipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " twips at " << row.dpi << " dpi";
}

TEST(PixelRect, RoundsEachFigureOnItsOwn)
{
    // A right edge of 7 + 22 = 29 twips would round to 2 pixels; the width
    // alone rounds to 1, as for every control 22 twips wide.
    const ControlRecord record{
        .name = "a", .kind = ControlKind::Label, .parent = "", .left = 7, .top = 8, .width = 22, .height = 23};
    EXPECT_EQ(pixelRect(record), (PixelRect{0, 1, 1, 2}));
    EXPECT_EQ(pixelRect(record, 192), (PixelRect{1, 1, 3, 3}));
    const ControlRecord line{
        .name = "l", .kind = ControlKind::Line, .parent = "", .left = 4440, .top = 600, .width = 4440, .height = 2640};
    EXPECT_EQ(lineStart(line), (PixelPoint{296, 40}));
    EXPECT_EQ(lineEnd(line, 192), (PixelPoint{592, 352}));
}

struct PlaceRow {
    const char *name;
    PixelRect area;
    int width;
    int height;
    PixelPoint corner;
};
IITCALC_PRINTABLE_ROW(PlaceRow)

class PlaceFrame : public testing::TestWithParam<PlaceRow> {};

TEST_P(PlaceFrame, CentresTheWholeFrameAndKeepsItsTitleBarReachable)
{
    const PlaceRow &row = GetParam();
    EXPECT_EQ(placeFrame(row.area, row.width, row.height), row.corner);
}

// The window at scale 2 is 1232 x 868 pixels inside its frame.
INSTANTIATE_TEST_SUITE_P(Rows, PlaceFrame,
                         testing::Values(PlaceRow{"centred_below_a_panel", {0, 24, 1280, 776}, 624, 468, {328, 178}},
                                         PlaceRow{"odd_room_leans_left", {0, 0, 11, 11}, 10, 10, {0, 0}},
                                         PlaceRow{
                                             "taller_than_1366x768_at_scale_2", {0, 0, 1366, 738}, 1240, 906, {63, 0}},
                                         PlaceRow{"larger_every_way", {0, 27, 1024, 741}, 1240, 906, {0, 27}},
                                         PlaceRow{"second_monitor", {1920, 0, 1280, 1024}, 624, 468, {2248, 278}}),
                         testing_support::RowName());

TEST(LabelClick, IsAPressAndReleaseOfTheLeftButtonInside)
{
    enum Step { Press, DoublePress, ReleaseInside, ReleaseOutside, PressRight, ReleaseRight, Cancel };
    struct Row {
        std::vector<Step> steps;
        int clicks;
    };
    const Row rows[] = {
        {{Press, ReleaseInside}, 1},
        {{Press, ReleaseOutside}, 0},
        {{ReleaseInside}, 0},
        {{Press, ReleaseInside, DoublePress, ReleaseInside}, 1}, // a double-click
        {{Press, ReleaseInside, Press, ReleaseInside}, 2},       // two clicks
        {{PressRight, ReleaseRight}, 0},
        {{Press, ReleaseRight, ReleaseInside}, 1}, // another button changes nothing
        {{Press, Cancel, ReleaseInside}, 0},       // the pointer taken away
        {{Press, ReleaseOutside, ReleaseInside}, 0},
    };
    for (const Row &row : rows) {
        LabelClick click;
        int clicks = 0;
        for (const Step step : row.steps) {
            switch (step) {
            case Press:
            case DoublePress:
                click.pressed(MouseButton::Left, step == DoublePress);
                break;
            case PressRight:
                click.pressed(MouseButton::Other);
                break;
            case ReleaseInside:
            case ReleaseOutside:
            case ReleaseRight:
                clicks += click.released(step == ReleaseRight ? MouseButton::Other : MouseButton::Left,
                                         step != ReleaseOutside);
                break;
            case Cancel:
                click.cancelled();
                break;
            }
        }
        EXPECT_EQ(clicks, row.clicks) << testing::PrintToString(row.steps);
    }
}

struct LinesRow {
    const char *name;
    std::u16string caption;
    TextAlignment alignment;
    std::vector<std::u16string> texts;
    std::vector<PixelPoint> origins;
    std::vector<PixelRect> backgrounds;
};
IITCALC_PRINTABLE_ROW(LinesRow)

class LabelLines : public testing::TestWithParam<LinesRow> {};

TEST_P(LabelLines, PlacesEachLineAndItsBackgroundInsideTheLabel)
{
    // A label 40 x 41 pixels, lines 16 apart, every character 6 pixels wide.
    const LinesRow &row = GetParam();
    const auto lines = labelLines(row.caption, row.alignment, 40, 41, 16,
                                  [](std::u16string_view text) { return 6 * static_cast<int>(text.size()); });
    std::vector<std::u16string> texts;
    std::vector<PixelPoint> origins;
    std::vector<PixelRect> backgrounds;
    for (const LabelLine &line : lines) {
        texts.emplace_back(line.text);
        origins.push_back(line.origin);
        backgrounds.push_back(line.background);
    }
    EXPECT_EQ(texts, row.texts);
    EXPECT_EQ(origins, row.origins);
    EXPECT_EQ(backgrounds, row.backgrounds);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LabelLines,
    testing::Values(
        LinesRow{"two_lines_crlf",
                 u"ab\r\ncde\r\n",
                 TextAlignment::Left,
                 {u"ab", u"cde"},
                 {{0, 0}, {0, 16}},
                 {{0, 0, 13, 41}, {0, 16, 19, 25}}},
        LinesRow{"line_feeds_and_a_last_line",
                 u"a\nb",
                 TextAlignment::Left,
                 {u"a", u"b"},
                 {{0, 0}, {0, 16}},
                 {{0, 0, 7, 41}, {0, 16, 7, 25}}},
        LinesRow{"centred_halves_left", u"abc", TextAlignment::Centre, {u"abc"}, {{11, 0}}, {{11, 0, 19, 41}}},
        // Wider than the label: the text starts where it must, its
        // background stays inside the label, over whatever is behind.
        LinesRow{"wider_at_the_left", u"abcdefgh", TextAlignment::Left, {u"abcdefgh"}, {{0, 0}}, {{0, 0, 40, 41}}},
        LinesRow{"wider_centred", u"abcdefgh", TextAlignment::Centre, {u"abcdefgh"}, {{-4, 0}}, {{0, 0, 40, 41}}},
        LinesRow{"below_the_label",
                 u"a\nb\nc\nd",
                 TextAlignment::Left,
                 {u"a", u"b", u"c", u"d"},
                 {{0, 0}, {0, 16}, {0, 32}, {0, 48}},
                 {{0, 0, 7, 41}, {0, 16, 7, 25}, {0, 32, 7, 9}, {0, 48, 7, 0}}},
        LinesRow{"empty", u"", TextAlignment::Left, {}, {}, {}}),
    testing_support::RowName());

TEST(AccessibleText, IsOneLineAndATipOnlyForWhatDoesNotFit)
{
    EXPECT_EQ(oneLine(u"本软件由\r\n欲知更多\n"), u"本软件由欲知更多");
    EXPECT_EQ(tipFor(u"1.23456789012342E+17", 121, 117), u"1.23456789012342E+17");
    EXPECT_EQ(tipFor(u"5500", 117, 117), u"");
}

} // namespace
} // namespace iitcalc::forms
