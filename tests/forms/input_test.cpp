// What the user's input does, whatever the toolkit.
#include "forms/input.h"

#include <gtest/gtest.h>

namespace iitcalc::forms {
namespace {

TEST(ScrollTarget, StaysWithinTheRangeFromZeroToMax)
{
    using R = ScrollRequest;
    struct Row {
        std::int16_t max, value;
        ScrollRequest request;
        int thumb;
        std::int16_t target;
    };
    const Row rows[] = {
        {13, 5, R::Back, 0, 4},
        {13, 5, R::Forward, 0, 6},
        {13, 0, R::Back, 0, 0},
        {13, 13, R::Forward, 0, 13},
        {13, 5, R::ToTop, 0, 0},
        {13, 5, R::ToBottom, 0, 13},
        {13, 5, R::ThumbLetGo, 9, 9},
        {13, 5, R::ThumbLetGo, 5, 5},
        {13, 5, R::ThumbLetGo, 40, 13},
        {13, 5, R::ThumbLetGo, -4, 0},
        {0, 0, R::Forward, 0, 0},
        {-2, 0, R::Back, 0, -1},
        {-2, -2, R::Back, 0, -2},
        {-2, -1, R::Forward, 0, 0},
        {-2, 0, R::ToTop, 0, -2},
        {-2, -2, R::ToBottom, 0, 0},
        {-2, 0, R::ThumbLetGo, 7, 0},
        {32767, 32767, R::Forward, 0, 32767},
        {-32768, -32768, R::Back, 0, -32768},
    };
    for (const Row &row : rows)
        EXPECT_EQ(scrollTarget(scrollRange(row.max), row.value, row.request, row.thumb), row.target)
            << "Max " << row.max << " at " << row.value << ", request " << static_cast<int>(row.request) << " thumb "
            << row.thumb;
}

TEST(KeyEffect, EnterPressesAFocusedButtonOnceAndNothingElse)
{
    using K = ControlKind;
    struct Row {
        ControlKind focused;
        Key key;
        bool ctrlOrAlt, repeated;
        KeyEffect effect;
    };
    const Row rows[] = {
        {K::CommandButton, Key::Enter, false, false, KeyEffect::Click},
        {K::CommandButton, Key::Enter, false, true, KeyEffect::Nothing},
        {K::CommandButton, Key::Enter, true, false, KeyEffect::Toolkit},
        {K::CommandButton, Key::Escape, false, false, KeyEffect::Nothing},
        {K::TextBox, Key::Enter, false, false, KeyEffect::Nothing},
        {K::TextBox, Key::Escape, false, false, KeyEffect::Nothing},
        {K::TextBox, Key::Escape, true, false, KeyEffect::Toolkit},
        {K::ScrollBar, Key::Enter, false, false, KeyEffect::Nothing},
        {K::PictureBox, Key::Enter, false, false, KeyEffect::Nothing},
    };
    for (const Row &row : rows)
        EXPECT_EQ(keyEffect(row.focused, row.key, row.ctrlOrAlt, row.repeated), row.effect)
            << static_cast<int>(row.focused) << " key " << static_cast<int>(row.key) << " ctrl/alt " << row.ctrlOrAlt
            << " repeated " << row.repeated;
}

} // namespace
} // namespace iitcalc::forms
