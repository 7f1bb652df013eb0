#pragma once

#include "calc/separators.h"
#include "sheet/sheet.h"

#include <cstdio>
#include <span>
#include <string>
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
// arguments with a non-terminal input runs the batch. A single argument that
// names a file, with or without the sheet options, runs runSheetFile on it;
// "--csv" runs runSheet on the file named or on the input. The sheet options
// are --income=, --insurance=, --threshold=, --delimiter= and --encoding=.
// "--help" alone prints the usage on out; any other argument beginning with
// "--" is a usage error unless a lone "--" comes first, which lets a field
// text start with "--". "-200" is a field text. A usage error (2) prints
// what is wrong on one line of err and where the usage is on a second.
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
// A line that is empty or holds only spaces gives an empty line. A line with
// no tab, and a first line with no digit (a header), are not calculated:
// they get an error row, as a line with more than three fields does. Where
// the income or the insurance was read only in part ("12,345.67" reads 12),
// one line on err counts those lines and names the first.
int runBatch(std::FILE *in, std::FILE *out, std::FILE *err, Separators separators);

// A payroll sheet from `in` to streams.out (sheet::SheetConverter). Returns 0
// when every row was calculated, 1 when some row failed (err names the first
// ones), 2 when the header does not allow it (err says why, the columns
// listed), 3 when reading or writing failed.
int runSheet(std::FILE *in, const Streams &streams, const sheet::SheetOptions &options, Separators separators);

// The sheet in the file at `path`, its result written to a new file beside
// it: "工资表.csv" gives "工资表-个税.csv", or "工资表-个税 (2).csv" when that
// exists, and so on; nothing is overwritten. err says where it went. A
// result that could not be finished is removed. Statuses as runSheet's.
int runSheetFile(const std::string &path, const Streams &streams, const sheet::SheetOptions &options,
                 Separators separators);

} // namespace iitcalc::cli
