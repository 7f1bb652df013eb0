#include "cli/cli.h"

#include "calc/run_time_error.h"
#include "calc/tax.h"
#include "calc/utf8.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace iitcalc::cli {

namespace {

constexpr std::string_view kUsage =
    "用法：iitcalc-cli 个人收入 五险一金之和 [个税起征点]\n"
    "      iitcalc-cli < 批量文件\n"
    "\n"
    "按 2011 年工资薪金月度税率表计算个人所得税，输出税基与应缴税额。\n"
    "个税起征点省略时为 3500。以“-”开头的参数（如 -200）是数值，不是选项；\n"
    "参数以“--”开头时，请先写一个单独的“--”。\n"
    "\n"
    "批量方式：不带参数并从管道或文件读入时，每行为\n"
    "  个人收入<TAB>五险一金之和[<TAB>个税起征点]\n"
    "每行输出五个以 TAB 分隔的字段：个人收入、五险一金之和、所用起征点、税基、应缴税额。\n"
    "出错的行第四个字段为错误信息，第五个字段为空，其余行照常计算。\n"
    "行尾可以是 LF、CR LF 或 CR；以字节顺序标记开头的 UTF-16 文件也可以读入，输出总是 UTF-8。\n"
    "\n"
    "退出状态：0 成功；13 类型不匹配；6 溢出；1 批量中有出错的行；2 用法错误；3 读写失败。\n"
#ifdef _WIN32
    "起征点按 Windows 区域设置（控制面板中的“区域”）的小数点与千位分隔符解读，\n"
#else
    "起征点按当前区域设置（LC_ALL、LC_NUMERIC、LANG）的小数点与千位分隔符解读，\n"
#endif
    "千位分隔符只能在区域设置规定的位置（如 3,500）。全角数字与符号（如 １００００）与半角相同。\n";

constexpr std::string_view kSeeHelp = "请执行“iitcalc-cli --help”查看用法。\n";

constexpr std::string_view kTooManyFields = "字段过多：每行至多三个字段";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// False when the stream has failed, now or at an earlier buffered write.
bool write(std::FILE *stream, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::ferror(stream) == 0;
}

bool reportWriteFailure(std::FILE *err)
{
    write(err, "iitcalc-cli: 写入输出失败\n");
    return false;
}

bool finish(std::FILE *out, std::FILE *err)
{
    if (std::fflush(out) != 0 || std::ferror(out) != 0)
        return reportWriteFailure(err);
    return true;
}

// What is wrong on one line, and where the usage is on a second.
int usageError(std::FILE *err, std::string_view problem)
{
    std::string text = "iitcalc-cli: ";
    text.append(problem).append("\n").append(kSeeHelp);
    write(err, text);
    return kExitUsage;
}

int runSingle(std::string_view income, std::string_view insurance, std::string_view threshold, const Streams &streams,
              Separators separators)
{
    const auto result = calculate(income, insurance, threshold, separators);
    if (!result) {
        std::string line = "iitcalc-cli: ";
        line += errorReport(result.error());
        line += '\n';
        write(streams.err, line);
        return errorNumber(result.error());
    }
    std::string text = "税基\t";
    text.append(result->taxBaseText.view()).append("\n应缴税额\t").append(result->shownTaxPayable().view());
    text += '\n';
    write(streams.out, text);
    return finish(streams.out, streams.err) ? 0 : kExitIoError;
}

// UTF-16 bytes, in either order, to UTF-8, a piece at a time: a unit or a
// surrogate pair split between two pieces is decoded whole. An unpaired
// surrogate, and an odd byte at the very end, become U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian)
        : m_bigEndian(bigEndian)
    {
    }

    // Writes at most 3 bytes for every 2 read, and 3 more, to out; returns
    // how many.
    std::size_t decode(const unsigned char *bytes, std::size_t size, char *out)
    {
        char *const start = out;
        for (std::size_t i = 0; i < size; ++i) {
            if (m_oddByte < 0) {
                m_oddByte = bytes[i];
                continue;
            }
            const auto first = static_cast<unsigned>(m_oddByte);
            m_oddByte = -1;
            const unsigned second = bytes[i];
            const char32_t unit = m_bigEndian ? (first << 8 | second) : (second << 8 | first);
            out += appendUnit(unit, out);
        }
        return static_cast<std::size_t>(out - start);
    }

    // What is left at the end of the input.
    std::size_t finish(char *out)
    {
        std::size_t length = 0;
        if (m_highSurrogate != 0 || m_oddByte >= 0)
            length += encodeUtf8(kReplacement, out);
        if (m_highSurrogate != 0 && m_oddByte >= 0)
            length += encodeUtf8(kReplacement, out + length);
        m_highSurrogate = 0;
        m_oddByte = -1;
        return length;
    }

private:
    static constexpr char32_t kReplacement = 0xFFFD;

    std::size_t appendUnit(char32_t unit, char *out)
    {
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        std::size_t length = 0;
        if (m_highSurrogate != 0) {
            if (low) {
                const char32_t c = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
                m_highSurrogate = 0;
                return encodeUtf8(c, out);
            }
            length = encodeUtf8(kReplacement, out);
            m_highSurrogate = 0;
        }
        if (high) {
            m_highSurrogate = unit;
            return length;
        }
        return length + encodeUtf8(low ? kReplacement : unit, out + length);
    }

    bool m_bigEndian;
    char32_t m_highSurrogate = 0;
    int m_oddByte = -1;
};

// The lines of a stream, whatever bytes they hold (a NUL too), without their
// line ends: a CR, an LF and a CR LF each end one. A UTF-8 byte-order mark
// at the start of a line is dropped, as where two files saved with one were
// joined. A stream that begins with a UTF-16 byte-order mark is UTF-16 and
// its lines come out as UTF-8.
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
            if (m_pos == m_end && !refill()) {
                if (m_failed)
                    return Status::ReadFailed;
                if (!partial)
                    return Status::End;
                line = dropByteOrderMark(m_line);
                return Status::Line;
            }
            if (m_afterCarriageReturn) {
                m_afterCarriageReturn = false;
                if (m_buffer[m_pos] == '\n' && ++m_pos == m_end)
                    continue;
            }
            const char *const start = m_buffer.data() + m_pos;
            const char *const stop = m_buffer.data() + m_end;
            const char *lineEnd = start;
            while (lineEnd != stop && *lineEnd != '\n' && *lineEnd != '\r')
                ++lineEnd;
            if (lineEnd == stop) {
                if (!partial)
                    m_line.clear();
                m_line.append(start, lineEnd);
                partial = true;
                m_pos = m_end;
                continue;
            }
            m_afterCarriageReturn = *lineEnd == '\r';
            m_pos += static_cast<std::size_t>(lineEnd - start) + 1;
            if (partial) {
                m_line.append(start, lineEnd);
                line = dropByteOrderMark(m_line);
            } else {
                line = dropByteOrderMark(std::string_view(start, static_cast<std::size_t>(lineEnd - start)));
            }
            return Status::Line;
        }
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;

    static std::string_view dropByteOrderMark(std::string_view line)
    {
        return line.starts_with(kByteOrderMark) ? line.substr(kByteOrderMark.size()) : line;
    }

    // Fills the buffer anew; false at the end of the input or once reading
    // has failed.
    bool refill()
    {
        m_pos = 0;
        m_end = 0;
        while (m_end == 0 && !m_failed && !m_atEnd) {
            if (m_utf16) {
                m_raw.resize(kChunk);
                m_raw.resize(std::fread(m_raw.data(), 1, kChunk, m_in));
                m_end = m_utf16->decode(m_raw.data(), m_raw.size(), m_buffer.data());
            } else {
                m_end = std::fread(m_buffer.data(), 1, kChunk, m_in);
                if (m_first && startsWithUtf16ByteOrderMark()) {
                    m_utf16 = std::make_unique<Utf16Decoder>(m_buffer[0] == '\xFE');
                    m_raw.assign(m_buffer.begin() + 2, m_buffer.begin() + static_cast<std::ptrdiff_t>(m_end));
                    m_end = m_utf16->decode(m_raw.data(), m_raw.size(), m_buffer.data());
                }
            }
            m_first = false;
            if (std::ferror(m_in) != 0) {
                m_failed = true;
            } else if (std::feof(m_in) != 0) {
                m_atEnd = true;
                if (m_utf16)
                    m_end += m_utf16->finish(m_buffer.data() + m_end);
            }
        }
        return m_end > 0;
    }

    bool startsWithUtf16ByteOrderMark() const
    {
        const std::string_view start(m_buffer.data(), std::min<std::size_t>(m_end, 2));
        return start == "\xFF\xFE" || start == "\xFE\xFF";
    }

    std::FILE *m_in;
    // UTF-16 input takes up to twice its size as UTF-8, and a little more at
    // its end.
    std::vector<char> m_buffer = std::vector<char>(2 * kChunk + 8);
    std::vector<unsigned char> m_raw;
    std::unique_ptr<Utf16Decoder> m_utf16;
    std::string m_line;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_first = true;
    bool m_afterCarriageReturn = false;
    bool m_atEnd = false;
    bool m_failed = false;
};

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

    std::string_view line;
    LineReader::Status status;
    while ((status = reader.next(line)) == LineReader::Status::Line) {
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
        if (tooMany) {
            allSucceeded = false;
            output.append(kTooManyFields).append("\t");
        } else {
            const auto result = calculate(fields[0], fields[1], threshold, separators);
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

int run(std::span<const std::string_view> args, const Streams &streams, Separators separators)
{
    if (args.size() == 1 && args[0] == "--help") {
        write(streams.out, kUsage);
        return finish(streams.out, streams.err) ? 0 : kExitIoError;
    }
    if (!args.empty() && args[0] == "--") {
        args = args.subspan(1);
    } else {
        // No options but --help: an option-like text must not quietly read
        // as the number 0.
        for (const std::string_view arg : args) {
            if (arg.starts_with("--")) {
                std::string problem = "无法识别的选项“";
                problem.append(arg).append("”；以“--”开头的字段请先写一个单独的“--”");
                return usageError(streams.err, problem);
            }
        }
        if (args.empty()) {
            if (!streams.inIsTerminal)
                return runBatch(streams.in, streams.out, streams.err, separators);
            return usageError(streams.err, "缺少参数：请给出个人收入与五险一金之和，或从文件或管道读入批量数据");
        }
    }

    if (args.size() == 2 || args.size() == 3) {
        const Utf8NumberText defaultThreshold = integerToText<char>(kStandardThreshold);
        return runSingle(args[0], args[1], args.size() == 3 ? args[2] : defaultThreshold.view(), streams, separators);
    }
    return usageError(streams.err, "参数个数不对：要两个或三个（个人收入 五险一金之和 [个税起征点]），现有 " +
                                       std::to_string(args.size()) + " 个");
}

} // namespace iitcalc::cli
