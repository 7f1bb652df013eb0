// The rules every backend follows: pixels from twips, where the window
// opens, a label's Click, a label's lines, names and tool tips.
#include "forms/controls.h"
#include "forms/geometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace iitcalc::forms {
namespace {

TEST(TwipsAndPointsToPixels, RoundToNearestHalvesAwayFromZero)
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
    // A point is 20 twips.
    for (const Row &row : {Row{9, 96, 12}, Row{9, 192, 24}, Row{10.5, 96, 14}, Row{7.875, 96, 11}, Row{7.5, 96, 10},
                           Row{9, 120, 15}, Row{10.5, 120, 18}, Row{0, 96, 0}})
        EXPECT_EQ(pointsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " points at " << row.dpi << " dpi";
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

TEST(PlaceFrame, CentresTheWholeFrameAndKeepsItsTitleBarReachable)
{
    struct Row {
        const char *name;
        PixelRect area;
        int width, height;
        PixelPoint corner;
    };
    // The window at scale 2 is 1232 x 868 pixels inside its frame.
    const Row rows[] = {{"centred below a panel", {0, 24, 1280, 776}, 624, 468, {328, 178}},
                        {"odd room leans left", {0, 0, 11, 11}, 10, 10, {0, 0}},
                        {"taller than 1366x768 at scale 2", {0, 0, 1366, 738}, 1240, 906, {63, 0}},
                        {"larger every way", {0, 27, 1024, 741}, 1240, 906, {0, 27}},
                        {"second monitor", {1920, 0, 1280, 1024}, 624, 468, {2248, 278}}};
    for (const Row &row : rows)
        EXPECT_EQ(placeFrame(row.area, row.width, row.height), row.corner) << row.name;
}

TEST(LabelClick, IsAPressAndReleaseOfTheLeftButtonInside)
{
    // Steps: p press, d the second press of a double-click, i and o release
    // inside and outside, P and R the right button, c the pointer taken away.
    const std::pair<std::string_view, int> rows[] = {{"pi", 1},   {"pR", 0}, {"po", 0},  {"i", 0},   {"pidi", 1},
                                                     {"pipi", 2}, {"PR", 0}, {"pRi", 1}, {"pci", 0}, {"poi", 0}};
    for (const auto &[steps, expected] : rows) {
        LabelClick click;
        int clicks = 0;
        for (const char step : steps) {
            const MouseButton button = step == 'P' || step == 'R' ? MouseButton::Other : MouseButton::Left;
            if (step == 'p' || step == 'd' || step == 'P')
                click.pressed(button, step == 'd');
            else if (step == 'c')
                click.cancelled();
            else
                clicks += click.released(button, step != 'o');
        }
        EXPECT_EQ(clicks, expected) << steps;
    }
}

TEST(LabelLines, PlacesEachLineAndItsBackgroundInsideTheLabel)
{
    struct Row {
        const char *name;
        std::u16string caption;
        TextAlignment alignment;
        std::vector<std::u16string> texts;
        std::vector<PixelPoint> origins;
        std::vector<PixelRect> backgrounds;
    };
    constexpr auto kLeft = TextAlignment::Left;
    const Row rows[] = {
        {"two lines, CR LF",
         u"ab\r\ncde\r\n",
         kLeft,
         {u"ab", u"cde"},
         {{0, 0}, {0, 16}},
         {{0, 0, 13, 41}, {0, 16, 19, 25}}},
        {"line feeds, a last line", u"a\nb", kLeft, {u"a", u"b"}, {{0, 0}, {0, 16}}, {{0, 0, 7, 41}, {0, 16, 7, 25}}},
        {"centred, halves to the left", u"abc", TextAlignment::Centre, {u"abc"}, {{11, 0}}, {{11, 0, 19, 41}}},
        // Wider than the label: the text starts where it must, its
        // background stays inside the label, over whatever is behind.
        {"wider, at the left", u"abcdefgh", kLeft, {u"abcdefgh"}, {{0, 0}}, {{0, 0, 40, 41}}},
        {"wider, centred", u"abcdefgh", TextAlignment::Centre, {u"abcdefgh"}, {{-4, 0}}, {{0, 0, 40, 41}}},
        {"below the label",
         u"a\nb\nc\nd",
         kLeft,
         {u"a", u"b", u"c", u"d"},
         {{0, 0}, {0, 16}, {0, 32}, {0, 48}},
         {{0, 0, 7, 41}, {0, 16, 7, 25}, {0, 32, 7, 9}, {0, 48, 7, 0}}},
        {"empty", u"", kLeft, {}, {}, {}}};
    for (const Row &row : rows) {
        // A label 40 x 41 pixels, lines 16 apart, every character 6 pixels wide.
        std::vector<std::u16string> texts;
        std::vector<PixelPoint> origins;
        std::vector<PixelRect> backgrounds;
        for (const LabelLine &line : labelLines(row.caption, row.alignment, 40, 41, 16, [](std::u16string_view text) {
                 return 6 * static_cast<int>(text.size());
             })) {
            texts.emplace_back(line.text);
            origins.push_back(line.origin);
            backgrounds.push_back(line.background);
        }
        EXPECT_EQ(std::tie(texts, origins, backgrounds), std::tie(row.texts, row.origins, row.backgrounds)) << row.name;
    }
}

TEST(AccessibleText, IsOneLine) { EXPECT_EQ(oneLine(u"本软件由\r\n欲知更多\n"), u"本软件由欲知更多"); }

// Lines of forty 7s.
std::u16string sevens(int lines)
{
    std::u16string tip;
    for (int line = 0; line < lines; ++line)
        tip += (line ? u"\n" : u"") + std::u16string(40, u'7');
    return tip;
}

TEST(TipFor, ShowsWhatDoesNotFitInShortLinesAndCutsALongTextShort)
{
    const std::u16string digits40(40, u'7');
    const std::u16string pair = u"\U0001F600"; // a surrogate pair
    struct Row {
        const char *name;
        std::u16string text;
        int width;
        std::u16string tip;
    };
    const Row rows[] = {
        {"fits", u"5500", 117, u""},
        {"wider than the room", u"1.23456789012342E+17", 121, u"1.23456789012342E+17"},
        {"one line whole", digits40, 400, digits40},
        {"41 characters", digits40 + u"8", 410, digits40 + u"\n8"},
        {"a pair not split at a line end", std::u16string(39, u'7') + pair + u"8", 410,
         std::u16string(39, u'7') + u"\n" + pair + u"8"},
        {"cut past 320 characters", std::u16string(40000, u'7'), 40000, sevens(8) + u"…"},
        {"320 whole", std::u16string(320, u'7'), 3200, sevens(8)},
        {"a pair not split at the cut", std::u16string(319, u'7') + pair + u"8", 3300,
         sevens(7) + u"\n" + std::u16string(39, u'7') + u"…"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(tipFor(row.text, row.width, 117), row.tip) << row.name;
}

TEST(BoxTip, TouchesTheTipOnlyWhenTheTextDoesNotFitOrStoppedFitting)
{
    struct Step {
        std::u16string_view text;
        int width;
        std::optional<std::u16string> tip;
        bool fits;
    };
    const Step steps[] = {{u"5500", 50, std::nullopt, true},
                          {u"1.23456789012342E+17", 200, u"1.23456789012342E+17", false},
                          {u"1.2345678901234E+17", 190, u"1.2345678901234E+17", false},
                          {u"55", 20, u"", true},
                          {u"", 0, std::nullopt, true}};
    BoxTip tip;
    for (const Step &step : steps) {
        EXPECT_EQ(tip.update(step.text, step.width, 117), step.tip) << std::string(step.text.begin(), step.text.end());
        EXPECT_EQ(tip.fits(), step.fits);
    }
}

} // namespace
} // namespace iitcalc::forms
