#pragma once

#include "calc/separators.h"

#include <cstdio>
#include <span>
#include <string_view>

namespace iitcalc::cli {

// Exit statuses besides 0 and the run-time error numbers (6, 13) that a
// single calculation ends with.
inline constexpr int kExitBatchHadErrors = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitIoError = 3;

struct Streams {
    std::FILE *in;
    std::FILE *out;
    std::FILE *err;
    bool inIsTerminal;
};

// The whole console program. args are the arguments after the program's
// name. "INCOME INSURANCE [THRESHOLD]" prints "税基\t…" and "应缴税额\t…" and
// returns 0, or prints one line on err and returns the error's number. No
// arguments with a non-terminal input runs the batch. "--help" alone prints
// the usage on out; any other argument beginning with "--" is a usage error
// unless a lone "--" comes first, which lets a field text start with "--".
// "-200" is a field text. A usage error (2) prints what is wrong on one line
// of err and where the usage is on a second.
int run(std::span<const std::string_view> args, const Streams &streams, Separators separators);

// Batch mode: one line out for each line in, five tab-separated fields:
// income, insurance, threshold as used, tax base, tax payable. A failing
// line carries the error report as its fourth field and an empty fifth.
// A CR, an LF and a CR LF each end a line; a UTF-8 byte-order mark at the
// start of a line is dropped; input that starts with a UTF-16 byte-order
// mark (either order) is read as UTF-16, and the output is UTF-8 all the
// same. Returns 0 when every line succeeded, 1 when some failed, 3 when
// reading or writing failed: a failed write ends the batch at once, and a
// line that a read error cut short is not calculated.
int runBatch(std::FILE *in, std::FILE *out, std::FILE *err, Separators separators);

} // namespace iitcalc::cli
