#include "cli/cli.h"

#include "calc/run_time_error.h"
#include "calc/tax.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

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
    "\n"
    "退出状态：0 成功；13 类型不匹配；6 溢出；1 批量中有出错的行；2 用法错误；3 读写失败。\n"
#ifdef _WIN32
    "起征点按 Windows 区域设置（控制面板中的“区域”）的小数点与千位分隔符解读，\n"
#else
    "起征点按当前区域设置（LC_ALL、LC_NUMERIC、LANG）的小数点与千位分隔符解读，\n"
#endif
    "千位分隔符只能在区域设置规定的位置（如 3,500）。全角数字与符号（如 １００００）与半角相同。\n";

constexpr std::string_view kTooManyFields = "字段过多：每行至多三个字段";

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

// Lines of a stream, whatever bytes they hold (a NUL too), without their
// line end; a byte-order mark before the first is dropped, as Notepad
// writes one.
class LineReader {
public:
    explicit LineReader(std::FILE *in)
        : m_in(in)
    {
    }

    bool next(std::string &line)
    {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_pos == m_end && !refill())
                break;
            any = true;
            const char *start = m_buffer.data() + m_pos;
            const auto *newline = static_cast<const char *>(std::memchr(start, '\n', m_end - m_pos));
            if (newline) {
                line.append(start, newline);
                m_pos += static_cast<std::size_t>(newline - start) + 1;
                break;
            }
            line.append(start, m_end - m_pos);
            m_pos = m_end;
        }
        if (m_first && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);
        m_first = false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return any;
    }

private:
    bool refill()
    {
        m_pos = 0;
        m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_in);
        return m_end > 0;
    }

    std::FILE *m_in;
    std::array<char, 1 << 16> m_buffer{};
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_first = true;
};

} // namespace

int runBatch(std::FILE *in, std::FILE *out, std::FILE *err, Separators separators)
{
    const Utf8NumberText defaultThreshold = integerToText<char>(kStandardThreshold);
    const auto reader = std::make_unique<LineReader>(in);
    std::string rawLine;
    std::string output;
    bool allSucceeded = true;

    while (reader->next(rawLine)) {
        const std::string_view line = rawLine;

        std::array<std::string_view, 3> fields{};
        std::size_t fieldCount = 0;
        bool tooMany = false;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            const std::string_view field = line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
            if (fieldCount < fields.size())
                fields[fieldCount++] = field;
            else
                tooMany = true;
            if (tab == std::string_view::npos)
                break;
            start = tab + 1;
        }
        const std::string_view threshold = fieldCount == 3 ? fields[2] : defaultThreshold.view();

        output.clear();
        output.append(fields[0]).append("\t").append(fields[1]).append("\t").append(threshold).append("\t");
        if (tooMany) {
            allSucceeded = false;
            output.append(kTooManyFields).append("\t");
        } else {
            // The fields as they stand, in UTF-8: no copy, no conversion.
            const auto result = calculate(fields[0], fields[1], threshold, separators);
            if (result) {
                output.append(result->taxBaseText.view()).append("\t").append(result->shownTaxPayable().view());
            } else {
                allSucceeded = false;
                output.append(errorReport(result.error())).append("\t");
            }
        }
        output += '\n';
        // A full disk or a closed pipe ends the batch at once, not when the
        // input does (which may be never).
        if (!write(out, output)) {
            reportWriteFailure(err);
            return kExitIoError;
        }
    }
    if (std::ferror(in) != 0) {
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
                std::string line = "iitcalc-cli: 无法识别的选项“";
                line.append(arg).append("”；以“--”开头的字段请先写一个单独的“--”\n");
                write(streams.err, line);
                return kExitUsage;
            }
        }
        if (args.empty() && !streams.inIsTerminal)
            return runBatch(streams.in, streams.out, streams.err, separators);
    }

    if (args.size() == 2 || args.size() == 3) {
        const Utf8NumberText defaultThreshold = integerToText<char>(kStandardThreshold);
        return runSingle(args[0], args[1], args.size() == 3 ? args[2] : defaultThreshold.view(), streams, separators);
    }
    write(streams.err, kUsage);
    return kExitUsage;
}

} // namespace iitcalc::cli
