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

} // namespace
} // namespace iitcalc::forms
