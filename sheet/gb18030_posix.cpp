#include "sheet/gb18030.h"

#include "calc/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace iitcalc::sheet {

namespace {

// One conversion descriptor for the program's life; iconv keeps no state
// between whole sequences.
iconv_t converter()
{
    static const iconv_t descriptor = [] {
        const iconv_t opened = iconv_open("UTF-8", "GB18030");
        if (opened == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("this system's iconv has no GB18030");
        return opened;
    }();
    return descriptor;
}

} // namespace

std::size_t appendGb18030(std::string_view sequences, std::string &out)
{
    const iconv_t descriptor = converter();
    const std::size_t start = out.size();
    // Two bytes give at most three, four at most four.
    out.resize(start + sequences.size() * 3 / 2 + 4);
    char *in = const_cast<char *>(sequences.data());
    std::size_t inLeft = sequences.size();
    char *written = out.data() + start;
    std::size_t outLeft = out.size() - start;
    std::size_t replaced = 0;
    while (inLeft > 0) {
        if (iconv(descriptor, &in, &inLeft, &written, &outLeft) != static_cast<std::size_t>(-1))
            break;
        // A code this iconv has no character for: U+FFFD for the sequence.
        const int length = gb18030Sequence(reinterpret_cast<const unsigned char *>(in), inLeft);
        const auto skipped = static_cast<std::size_t>(length > 0 ? length : 1);
        const std::size_t at = static_cast<std::size_t>(written - out.data());
        out.resize(out.size() + 3);
        written = out.data() + at;
        written += encodeUtf8(kReplacementCharacter, written);
        outLeft = out.size() - static_cast<std::size_t>(written - out.data());
        in += skipped;
        inLeft -= skipped;
        ++replaced;
    }
    out.resize(static_cast<std::size_t>(written - out.data()));
    return replaced;
}

bool hasWholeGb18030() { return true; }

} // namespace iitcalc::sheet
