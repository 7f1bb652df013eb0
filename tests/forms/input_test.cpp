// What the user's input does, whatever the toolkit.
#include "forms/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

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

TEST(TabTarget, WalksTheOrderRoundSkippingWhatCannotTakeTheFocus)
{
    const std::vector<std::size_t> order{4, 7, 9};
    struct Row {
        const char *name;
        std::optional<std::size_t> focus;
        bool forward;
        std::vector<std::size_t> hidden;
        std::optional<std::size_t> target;
    };
    const Row rows[] = {
        {"forward", 4, true, {}, 7},
        {"round from the end", 9, true, {}, 4},
        {"backward round from the start", 4, false, {}, 9},
        {"backward", 9, false, {}, 7},
        {"from none, the first", std::nullopt, true, {}, 4},
        {"from none backward, the last", std::nullopt, false, {}, 9},
        {"from outside the order, the first", 5, true, {}, 4},
        {"past one hidden", 7, true, {9}, 4},
        {"past two, back to itself", 7, true, {4, 9}, 7},
        {"the first hidden, from none", std::nullopt, true, {4}, 7},
        {"none can", 4, true, {4, 7, 9}, std::nullopt},
    };
    for (const Row &row : rows) {
        const auto canFocus = [&](std::size_t control) {
            return std::find(row.hidden.begin(), row.hidden.end(), control) == row.hidden.end();
        };
        EXPECT_EQ(tabTarget(order, row.focus, row.forward, canFocus), row.target) << row.name;
    }
    EXPECT_EQ(tabTarget({}, std::nullopt, true, [](std::size_t) { return true; }), std::nullopt);
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
