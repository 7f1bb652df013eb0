// A sheet of any bytes, read whole and in pieces whose sizes the input
// picks: no crash, the same result and counts either way, every row counted
// once, and the result valid UTF-8 that begins with its byte-order mark.
#include "calc/utf8.h"
#include "fuzz/fuzz_input.h"
#include "sheet/sheet.h"

#include <cstdlib>

namespace {

struct Outcome {
    bool usable = false;
    std::string out;
    iitcalc::sheet::SheetSummary summary;
};

Outcome convert(std::string_view bytes, std::size_t piece, iitcalc::Separators separators)
{
    iitcalc::sheet::SheetConverter converter({}, separators);
    Outcome outcome;
    outcome.usable = true;
    for (std::size_t at = 0; at < bytes.size() && outcome.usable; at += piece)
        outcome.usable = converter.read(bytes.substr(at, piece), outcome.out);
    if (outcome.usable)
        outcome.usable = converter.finish(outcome.out);
    outcome.summary = converter.summary();
    return outcome;
}

bool validUtf8(std::string_view text)
{
    const char *next = text.data();
    const char *const end = next + text.size();
    while (next < end) {
        const char *const at = next;
        if (iitcalc::decodeUtf8(next, end) == iitcalc::kReplacementCharacter &&
            (end - at < 3 || std::string_view(at, 3) != "\xEF\xBF\xBD"))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const iitcalc::Separators separators = iitcalc::fuzzing::separatorsFrom(data[0]);
    const std::size_t piece = 1 + data[1] % 7;
    // A header the converter takes, then the fuzz bytes as rows, or the
    // bytes alone, header and all.
    std::string bytes(reinterpret_cast<const char *>(data + 2), size - 2);
    if (data[0] & 0x80)
        bytes.insert(0, "姓名,应发工资,五险一金,起征点\r\n");

    const Outcome whole = convert(bytes, bytes.size() + 1, separators);
    const Outcome pieces = convert(bytes, piece, separators);
    if (whole.usable != pieces.usable || whole.out != pieces.out ||
        whole.summary.calculated != pieces.summary.calculated || whole.summary.failed != pieces.summary.failed)
        std::abort();
    if (whole.usable && (!whole.out.starts_with("\xEF\xBB\xBF") || !validUtf8(whole.out)))
        std::abort();
    return 0;
}
