#include "link/hyperlink.h"
#include "link/recording/link_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace iitcalc {
namespace {

TEST(WebAddress, OnlyWellFormedHttpAndHttpsPass)
{
    const std::pair<std::u16string_view, bool> rows[] = {{u"http://www.example.com", true},
                                                         {u"https://www.example.com/a?b=c#d", true},
                                                         {u"HTTP://example.com:8080/", true},
                                                         {u"http://a:65535/", true},
                                                         {u"https://Zz-9.example#top", true},
                                                         {u"http://a?q=1", true},
                                                         {u"file:///etc/passwd", false},
                                                         {u"mailto:a@b.c", false},
                                                         {u"www.example.com", false},
                                                         {u"http://", false},
                                                         {u"http://a..b", false},
                                                         {u"http://a./", false},
                                                         {u"http://a b", false},
                                                         {u"http://a/b c", false},
                                                         {u"http://a/\"", false},
                                                         {u"http://a/'", false},
                                                         {u"http://a/<b", false},
                                                         {u"http://a/\x7F", false},
                                                         {u"http://a:65536", false},
                                                         {u"http://a:99999999999999999999", false},
                                                         {u"http://a:/", false},
                                                         {u"http://a:", false},
                                                         {u"http://a:x", false},
                                                         {u"http://u@evil.com", false},
                                                         {u"http://例子.com", false},
                                                         {u"http://a/\n", false}};
    for (const auto &[address, web] : rows)
        EXPECT_EQ(超级链接::isWebAddress(address), web) << std::string(address.begin(), address.end());
}

TEST(OpenAddress, HandsOnlyAWebAddressToTheDesktop)
{
    link_recorder::requests() = {};
    EXPECT_FALSE(超级链接::openAddress(u"file:///etc/passwd"));
    EXPECT_TRUE(超级链接::openAddress(u"https://www.example.com/"));
    EXPECT_EQ(link_recorder::requests().openedAddresses, std::vector<std::u16string>{u"https://www.example.com/"});
}

} // namespace
} // namespace iitcalc
