#include "calc/utf8.h"

#include <gtest/gtest.h>

namespace iitcalc {
namespace {

TEST(Utf8, RoundTripsAndReplacesWhatIsMalformed)
{
    const std::u16string text = u"税基 5500 \u00e9 \U0001F600";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    // Not a lead byte, overlong, truncated, an encoded surrogate, a stray continuation, beyond U+10FFFF.
    EXPECT_EQ(fromUtf8("\xff|\xc0\xaf|\xe4\xb8|\xed\xa0\x80|\x80|\xf4\x90\x80\x80"),
              u"\ufffd|\ufffd\ufffd|\ufffd|\ufffd|\ufffd|\ufffd");
    EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

} // namespace
} // namespace iitcalc
