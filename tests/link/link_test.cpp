#include "link/hyperlink.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

namespace iitcalc {
namespace {

struct AddressRow {
    const char *name;
    std::u16string_view address;
    bool web;
};
IITCALC_PRINTABLE_ROW(AddressRow)

class WebAddress : public testing::TestWithParam<AddressRow> {};

TEST_P(WebAddress, OnlyWellFormedHttpAndHttpsPass)
{
    EXPECT_EQ(超级链接::isWebAddress(GetParam().address), GetParam().web);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WebAddress,
    testing::Values(AddressRow{"home_page", u"http://www.example.com", true},
                    AddressRow{"https_path_query", u"https://www.example.com/a?b=c#d", true},
                    AddressRow{"upper_case_scheme_and_port", u"HTTP://example.com:8080/", true},
                    AddressRow{"file", u"file:///etc/passwd", false}, AddressRow{"mailto", u"mailto:a@b.c", false},
                    AddressRow{"no_scheme", u"www.example.com", false}, AddressRow{"empty_host", u"http://", false},
                    AddressRow{"empty_label", u"http://a..b", false}, AddressRow{"blank", u"http://a b", false},
                    AddressRow{"quote", u"http://a/\"", false}, AddressRow{"single_quote", u"http://a/'", false},
                    AddressRow{"largest_port", u"http://a:65535/", true},
                    AddressRow{"port_too_large", u"http://a:65536", false},
                    AddressRow{"port_far_too_large", u"http://a:99999999999999999999", false},
                    AddressRow{"user_info", u"http://u@evil.com", false},
                    AddressRow{"non_ascii", u"http://例子.com", false}, AddressRow{"bad_port", u"http://a:x", false},
                    AddressRow{"control_character", u"http://a/\n", false}),
    testing_support::RowName());

} // namespace
} // namespace iitcalc
