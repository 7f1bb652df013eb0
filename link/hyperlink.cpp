#include "link/hyperlink.h"

#include "link/desktop.h"

#include <utility>

namespace iitcalc::超级链接 {

namespace {

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] + 32) : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

bool isWebAddress(std::u16string_view address)
{
    if (startsWithNoCase(address, u"http://"))
        address.remove_prefix(7);
    else if (startsWithNoCase(address, u"https://"))
        address.remove_prefix(8);
    else
        return false;

    // The host: labels of letters, digits and '-', separated by single dots.
    std::size_t at = 0;
    std::size_t labelLength = 0;
    for (; at < address.size(); ++at) {
        const char16_t c = address[at];
        if (isAsciiAlnum(c) || c == u'-') {
            ++labelLength;
        } else if (c == u'.' && labelLength > 0) {
            labelLength = 0;
        } else {
            break;
        }
    }
    if (labelLength == 0)
        return false;
    if (at < address.size() && address[at] == u':') {
        const std::size_t digits = ++at;
        long port = 0;
        while (at < address.size() && address[at] >= u'0' && address[at] <= u'9' && port <= 65535)
            port = port * 10 + (address[at++] - u'0');
        if (at == digits || port > 65535)
            return false;
    }
    if (at < address.size() && address[at] != u'/' && address[at] != u'?' && address[at] != u'#')
        return false;
    for (; at < address.size(); ++at) {
        const char16_t c = address[at];
        if (c <= u' ' || c > u'~')
            return false;
        switch (c) {
        case u'"':
        case u'\'':
        case u'<':
        case u'>':
        case u'\\':
        case u'^':
        case u'`':
        case u'{':
        case u'}':
        case u'|':
            return false;
        default:
            break;
        }
    }
    return true;
}

bool openAddress(std::u16string_view address, std::function<void()> failedLater)
{
    return isWebAddress(address) && desktop::open(address, std::move(failedLater));
}

} // namespace iitcalc::超级链接
