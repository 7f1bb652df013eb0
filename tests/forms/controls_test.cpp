// The rules every backend follows: pixels from twips, where the window
// opens, a label's Click, a label's lines, names and tool tips.
#include "forms/controls.h"
#include "forms/geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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

TEST(AccessibleText, IsOneLineAndATipOnlyForWhatDoesNotFit)
{
    EXPECT_EQ(oneLine(u"本软件由\r\n欲知更多\n"), u"本软件由欲知更多");
    EXPECT_EQ(tipFor(u"1.23456789012342E+17", 121, 117), u"1.23456789012342E+17");
    EXPECT_EQ(tipFor(u"5500", 117, 117), u"");
}

} // namespace
} // namespace iitcalc::forms
