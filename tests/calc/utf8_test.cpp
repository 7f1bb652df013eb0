#include "calc/utf8.h"

#include <gtest/gtest.h>

namespace iitcalc {
namespace {

TEST(Utf8, RoundTripsEveryPlane)
{
    const std::u16string text = u"税基 5500 \u00e9 \U0001F600";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    EXPECT_EQ(toUtf8(u"应缴税额"), "应缴税额");
}

TEST(Utf8, ReplacesWhatIsMalformed)
{
    struct Row {
        std::string bytes;
        std::u16string expected;
    };
    const Row rows[] = {
        {"\xff", u"\ufffd"},               // never a lead byte
        {"\xc0\xaf", u"\ufffd\ufffd"},     // overlong lead
        {"\xe4\xb8", u"\ufffd"},           // truncated
        {"\xed\xa0\x80", u"\ufffd"},       // encoded surrogate
        {"a\x80" "b", u"a\ufffdb"},        // stray continuation
        {"\xf4\x90\x80\x80", u"\ufffd"},   // beyond U+10FFFF
    };
    for (const Row &row : rows)
        EXPECT_EQ(fromUtf8(row.bytes), row.expected);
    EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

} // namespace
} // namespace iitcalc
