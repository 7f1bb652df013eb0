// Payroll sheets: CSV in, the same sheet with its taxes out.
#include "cli/cli.h"
#include "cli/files.h"
#include "cli/output.h"

#include <cerrno>
#include <string>

namespace iitcalc::cli {

namespace {

constexpr std::size_t kChunk = 1 << 16;

// Converts `in` to `out`, reporting failures on err; the status as
// runSheet's, and in `report` the line that says how it went.
int convert(std::FILE *in, std::FILE *out, std::FILE *err, const sheet::SheetOptions &options, Separators separators,
            const std::string &writtenTo, std::string &report)
{
    sheet::SheetConverter converter(options, separators);
    std::string raw(kChunk, '\0');
    std::string result;
    result.reserve(2 * kChunk);
    bool usable = true;
    bool readFailed = false;
    for (;;) {
        const std::size_t count = std::fread(raw.data(), 1, kChunk, in);
        usable = converter.read(std::string_view(raw).substr(0, count), result);
        if (!usable)
            break;
        if (result.size() >= kChunk) {
            if (!write(out, result)) {
                reportWriteFailure(err);
                return kExitIoError;
            }
            result.clear();
        }
        if (std::ferror(in) != 0) {
            readFailed = true;
            break;
        }
        if (count < kChunk && std::feof(in) != 0)
            break;
    }
    if (usable && !readFailed)
        usable = converter.finish(result);
    if (!usable)
        return usageError(err, converter.problem());
    if (!write(out, result) || std::fflush(out) != 0) {
        reportWriteFailure(err);
        return kExitIoError;
    }
    if (readFailed) {
        write(err, "iitcalc-cli: 读取输入失败\n");
        return kExitIoError;
    }
    for (const std::string &note : converter.notes())
        write(err, "iitcalc-cli: 注意：" + note + "\n");

    const sheet::SheetSummary &summary = converter.summary();
    if (!writtenTo.empty()) {
        report = "已写入“" + writtenTo + "”：计算 " + std::to_string(summary.calculated) + " 行";
        if (summary.failed > 0)
            report += "，出错 " + std::to_string(summary.failed) + " 行";
    } else if (summary.failed > 0) {
        report = "出错 " + std::to_string(summary.failed) + " 行";
    }
    if (summary.failed > 0)
        report += "（" + rowList(summary.firstFailedRows, summary.failed) + "），原因见“出错原因”列";
    return summary.failed > 0 ? kExitBatchHadErrors : 0;
}

// "工资表.csv" gives "工资表-个税.csv", then "工资表-个税 (2).csv" and on.
std::string resultName(const std::string &path, int attempt)
{
    const std::size_t folder = path.find_last_of("/\\");
    const std::size_t nameStart = folder == std::string::npos ? 0 : folder + 1;
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    std::string name = path.substr(0, dot) + "-个税";
    if (attempt > 1)
        name += " (" + std::to_string(attempt) + ")";
    return name + ".csv";
}

} // namespace

int runSheet(std::FILE *in, const Streams &streams, const sheet::SheetOptions &options, Separators separators)
{
    std::string report;
    const int status = convert(in, streams.out, streams.err, options, separators, {}, report);
    if (!report.empty())
        write(streams.err, "iitcalc-cli: " + report + "\n");
    return status;
}

int runSheetFile(const std::string &path, const Streams &streams, const sheet::SheetOptions &options,
                 Separators separators)
{
    std::FILE *const in = openForReading(path);
    if (in == nullptr) {
        write(streams.err, "iitcalc-cli: 无法读取“" + path + "”：" + errorText(errno) + "\n");
        return kExitIoError;
    }
    constexpr int kAttempts = 99;
    std::string target;
    std::FILE *out = nullptr;
    for (int attempt = 1; attempt <= kAttempts && out == nullptr; ++attempt) {
        target = resultName(path, attempt);
        out = createNew(target);
        if (out == nullptr && errno != EEXIST)
            break;
    }
    if (out == nullptr) {
        write(streams.err, "iitcalc-cli: 无法写入“" + target + "”：" + errorText(errno) + "\n");
        std::fclose(in);
        return kExitIoError;
    }
    std::string report;
    int status = convert(in, out, streams.err, options, separators, target, report);
    std::fclose(in);
    if (std::fclose(out) != 0 && status != kExitIoError) {
        reportWriteFailure(streams.err);
        status = kExitIoError;
    }
    // A result cut short or never begun is not left behind.
    if (status == kExitIoError || status == kExitUsage)
        removeFile(target);
    else
        write(streams.err, "iitcalc-cli: " + report + "\n");
    return status;
}

} // namespace iitcalc::cli
