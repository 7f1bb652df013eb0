// The tab-separated batch: one row of five fields for each line in.
#include "cli/cli.h"
#include "cli/output.h"

#include "calc/numeric_text.h"
#include "calc/run_time_error.h"
#include "calc/tax.h"
#include "sheet/text_decoder.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace iitcalc::cli {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTooManyFields = "字段过多：每行至多三个字段";
constexpr std::string_view kNoTab = "没有 TAB：每行应为 个人收入<TAB>五险一金之和；逗号分隔的工资表请用 --csv";
constexpr std::string_view kHeaderLike = "像是表头（没有数字）；带表头的工资表请用 --csv";
constexpr std::size_t kLinesNamed = 5;

// The lines of a stream as UTF-8, whatever it was written in (see
// sheet::TextDecoder), without their line ends: a CR, an LF and a CR LF each
// end one. Byte-order marks at the start of a line are dropped, as where
// files saved with one were joined.
class LineReader {
public:
    enum class Status { Line, End, ReadFailed };

    explicit LineReader(std::FILE *in)
        : m_in(in)
    {
    }

    // A line, valid until the next call; the end of the input; or a read
    // error, which drops whatever part of a line was read before it.
    Status next(std::string_view &line)
    {
        bool partial = false;
        for (;;) {
            if (m_pos == m_text.size() && !refill()) {
                if (m_failed)
                    return Status::ReadFailed;
                if (!partial)
                    return Status::End;
                line = dropByteOrderMarks(m_line);
                return Status::Line;
            }
            if (m_afterCarriageReturn) {
                m_afterCarriageReturn = false;
                if (m_text[m_pos] == '\n' && ++m_pos == m_text.size())
                    continue;
            }
            const char *const start = m_text.data() + m_pos;
            const char *const stop = m_text.data() + m_text.size();
            const char *lineEnd = start;
            while (lineEnd != stop && *lineEnd != '\n' && *lineEnd != '\r')
                ++lineEnd;
            if (lineEnd == stop) {
                if (!partial)
                    m_line.clear();
                m_line.append(start, lineEnd);
                partial = true;
                m_pos = m_text.size();
                continue;
            }
            m_afterCarriageReturn = *lineEnd == '\r';
            m_pos += static_cast<std::size_t>(lineEnd - start) + 1;
            if (partial) {
                m_line.append(start, lineEnd);
                line = dropByteOrderMarks(m_line);
            } else {
                line = dropByteOrderMarks(std::string_view(start, static_cast<std::size_t>(lineEnd - start)));
            }
            return Status::Line;
        }
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    static std::string_view dropByteOrderMarks(std::string_view line)
    {
        while (line.starts_with(kByteOrderMark))
            line.remove_prefix(kByteOrderMark.size());
        return line;
    }

    // Fills the text anew; false at the end of the input or once reading
    // has failed.
    bool refill()
    {
        m_pos = 0;
        m_text.clear();
        while (m_text.empty() && !m_failed && !m_atEnd) {
            m_raw.resize(kChunk);
            m_raw.resize(std::fread(m_raw.data(), 1, kChunk, m_in));
            m_decoder.decode(m_raw, m_text);
            if (std::ferror(m_in) != 0) {
                // The lines that ended before the failure are still given;
                // the one it cut short is not.
                m_failed = true;
                m_decoder.finish(m_text);
            } else if (std::feof(m_in) != 0) {
                m_atEnd = true;
                m_decoder.finish(m_text);
            }
        }
        return !m_text.empty();
    }

    std::FILE *m_in;
    sheet::TextDecoder m_decoder;
    std::string m_raw;
    std::string m_text;
    std::string m_line;
    std::size_t m_pos = 0;
    bool m_afterCarriageReturn = false;
    bool m_atEnd = false;
    bool m_failed = false;
};

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

bool hasDigit(std::string_view line)
{
    // ASCII digits, and the full-width ones (EF BC 90 to EF BC 99).
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] >= '0' && line[i] <= '9')
            return true;
        if (line.substr(i, 2) == "\xEF\xBC" && i + 2 < line.size() && line[i + 2] >= '\x90' && line[i + 2] <= '\x99')
            return true;
    }
    return false;
}

} // namespace

int runBatch(std::FILE *in, std::FILE *out, std::FILE *err, Separators separators)
{
    const Utf8NumberText defaultThreshold = integerToText<char>(kStandardThreshold);
    LineReader reader(in);
    std::string output;
    // Rows go out in pieces of about this size; the stream buffers them too,
    // so a failed write is noticed as early as before.
    constexpr std::size_t kOutputPiece = 1 << 15;
    output.reserve(kOutputPiece + 256);
    bool allSucceeded = true;
    std::uint64_t lineNumber = 0;
    std::uint64_t cutShort = 0;
    std::vector<std::uint64_t> cutShortLines;

    std::string_view line;
    LineReader::Status status;
    while ((status = reader.next(line)) == LineReader::Status::Line) {
        ++lineNumber;
        if (isBlank(line)) {
            output += '\n';
            continue;
        }
        std::array<std::string_view, 3> fields{};
        std::size_t fieldCount = 0;
        bool tooMany = false;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            if (fieldCount < fields.size())
                fields[fieldCount++] = line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
            else
                tooMany = true;
            if (tab == std::string_view::npos)
                break;
            start = tab + 1;
        }
        const std::string_view threshold = fieldCount == 3 ? fields[2] : defaultThreshold.view();

        output.append(fields[0]).append("\t").append(fields[1]).append("\t").append(threshold).append("\t");
        std::string_view refusal;
        if (tooMany)
            refusal = kTooManyFields;
        else if (lineNumber == 1 && !hasDigit(line))
            refusal = kHeaderLike;
        else if (fieldCount == 1)
            refusal = kNoTab;
        if (!refusal.empty()) {
            allSucceeded = false;
            output.append(refusal).append("\t");
        } else {
            // Read here rather than inside calculate(), to learn whether each
            // field was read to its end.
            bool incomeWhole = true;
            bool insuranceWhole = true;
            const double income = readLenient(fields[0], incomeWhole);
            const double insurance = readLenient(fields[1], insuranceWhole);
            if (!incomeWhole || !insuranceWhole) {
                if (cutShortLines.size() < kLinesNamed)
                    cutShortLines.push_back(lineNumber);
                ++cutShort;
            }
            const Result<double> thresholdAmount = convertStrict(threshold, separators);
            const Result<Utf8TaxAssessment> result =
                thresholdAmount ? calculateAmounts(income, insurance, *thresholdAmount, separators)
                                : Result<Utf8TaxAssessment>(thresholdAmount.error());
            if (result) {
                output.append(result->taxBaseText.view()).append("\t").append(result->shownTaxPayable().view());
            } else {
                allSucceeded = false;
                output.append(errorReport(result.error())).append("\t");
            }
        }
        output += '\n';
        // A full disk or a closed pipe ends the batch soon, not when the
        // input does (which may be never).
        if (output.size() >= kOutputPiece) {
            if (!write(out, output)) {
                reportWriteFailure(err);
                return kExitIoError;
            }
            output.clear();
        }
    }
    if (!write(out, output)) {
        reportWriteFailure(err);
        return kExitIoError;
    }
    if (cutShort > 0) {
        std::fflush(out);
        write(err, "iitcalc-cli: " + std::to_string(cutShort) + " 行的个人收入或五险一金之和只读了开头（" +
                       rowList(cutShortLines, cutShort) +
                       "），如“12,345.67”读作 12；带千位分隔符的金额请用 --csv 读入\n");
    }
    if (status == LineReader::Status::ReadFailed) {
        // The rows of the lines read whole go out before the report.
        std::fflush(out);
        write(err, "iitcalc-cli: 读取输入失败\n");
        return kExitIoError;
    }
    if (!finish(out, err))
        return kExitIoError;
    return allSucceeded ? 0 : kExitBatchHadErrors;
}

} // namespace iitcalc::cli
