#include "cli/cli.h"

#include "calc/run_time_error.h"
#include "calc/tax.h"
#include "cli/output.h"
#include "sheet/sheet.h"

#include "cli/files.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace iitcalc::cli {

namespace {

constexpr std::string_view kUsage =
    "用法：iitcalc-cli 个人收入 五险一金之和 [个税起征点]\n"
    "      iitcalc-cli 工资表.csv\n"
    "      iitcalc-cli --csv [选项] [工资表.csv] > 结果.csv\n"
    "      iitcalc-cli < 批量文件\n"
    "\n"
    "按 2011 年工资薪金月度税率表计算个人所得税，输出税基与应缴税额。\n"
    "个税起征点省略时为 3500。以“-”开头的参数（如 -200）是数值，不是选项；\n"
    "参数以“--”开头时，请先写一个单独的“--”。\n"
    "\n"
    "工资表（CSV，第一行是表头）：只给一个文件名时，结果写到旁边的“文件名-个税.csv”，\n"
    "不覆盖已有的文件；用 --csv 时从文件或标准输入读入，结果写到标准输出。\n"
    "结果是原表的每一行、每个单元格，再加“税基”“应缴税额”“出错原因”三列，\n"
    "UTF-8（带字节顺序标记）、CR LF 行尾，分隔符与原表相同。\n"
    "单元格按区域设置读作金额：12,345.67、¥12,345.67、12345.67元 都可以；\n"
    "个人收入、五险一金之和为空时按 0，起征点为空时按 3500；读不出的行写明原因，照常输出。\n"
    "  --income=列      个人收入列：表头文字或从 1 起的列号\n"
    "                   （默认找 个人收入、应发工资、应发合计、应发金额、税前工资、税前收入）\n"
    "  --insurance=列   五险一金之和列（默认找 五险一金之和、五险一金、五险一金合计；没有时按 0）\n"
    "  --threshold=列   个税起征点列（默认找 个税起征点、起征点、减除费用、费用扣除标准；没有时按 3500）\n"
    "  --delimiter=符号 分隔符：, ; 或 tab（默认看表头一行）\n"
    "  --encoding=编码  UTF-8、UTF-16LE、UTF-16BE 或 GB18030（GBK、GB2312 同此；默认自动判断）\n"
    "\n"
    "批量方式：不带参数并从管道或文件读入时，每行为\n"
    "  个人收入<TAB>五险一金之和[<TAB>个税起征点]\n"
    "每行输出五个以 TAB 分隔的字段：个人收入、五险一金之和、所用起征点、税基、应缴税额。\n"
    "出错的行第四个字段为错误信息，第五个字段为空，其余行照常计算；没有 TAB 的行和\n"
    "像表头的第一行不计算（请用 --csv）；空行输出空行。行尾可以是 LF、CR LF 或 CR。\n"
    "\n"
    "输入可以是 UTF-8、带字节顺序标记的 UTF-16 或 GB18030（中文 Windows 的 ANSI），\n"
    "自动识别；输出总是 UTF-8。\n"
    "\n"
    "退出状态：0 成功；13 类型不匹配；6 溢出；1 批量或工资表中有出错的行；2 用法错误；3 读写失败。\n"
#ifdef _WIN32
    "起征点和工资表的金额按 Windows 区域设置（控制面板中的“区域”）的小数点与千位分隔符解读，\n"
#else
    "起征点和工资表的金额按当前区域设置（LC_ALL、LC_NUMERIC、LANG）的小数点与千位分隔符解读，\n"
#endif
    "千位分隔符只能在区域设置规定的位置（如 3,500）。全角数字与符号（如 １００００）与半角相同。\n";

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

} // namespace

namespace {

// Reads "--name=value" into `value` when `arg` is that option.
bool optionValue(std::string_view arg, std::string_view name, std::string &value)
{
    if (!arg.starts_with(name) || arg.size() <= name.size() || arg[name.size()] != '=')
        return false;
    value = arg.substr(name.size() + 1);
    return true;
}

// A --delimiter= value: one character, or "tab".
std::optional<char> delimiterNamed(std::string_view name)
{
    if (name == "tab" || name == "TAB" || name == "\\t")
        return '\t';
    if (name.size() == 1 && name[0] != '"' && name[0] != '\r' && name[0] != '\n' &&
        static_cast<unsigned char>(name[0]) < 0x80)
        return name[0];
    return std::nullopt;
}

bool looksLikeFileName(std::string_view arg)
{
    std::string lower(arg);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower.ends_with(".csv") || lower.ends_with(".txt") || lower.ends_with(".tsv") ||
           arg.find_first_of("/\\") != std::string_view::npos;
}

} // namespace

int run(std::span<const std::string_view> args, const Streams &streams, Separators separators)
{
    if (args.size() == 1 && args[0] == "--help") {
        write(streams.out, kUsage);
        return finish(streams.out, streams.err) ? 0 : kExitIoError;
    }
    std::vector<std::string_view> fields;
    bool csv = false;
    bool sheetOption = false;
    sheet::SheetOptions options;
    if (!args.empty() && args[0] == "--") {
        fields.assign(args.begin() + 1, args.end());
    } else {
        // No options but these: an option-like text must not quietly read
        // as the number 0.
        for (const std::string_view arg : args) {
            std::string value;
            if (!arg.starts_with("--")) {
                fields.push_back(arg);
            } else if (arg == "--csv") {
                csv = true;
            } else if (optionValue(arg, "--income", options.income) ||
                       optionValue(arg, "--insurance", options.insurance) ||
                       optionValue(arg, "--threshold", options.threshold)) {
                sheetOption = true;
            } else if (optionValue(arg, "--delimiter", value)) {
                const std::optional<char> delimiter = delimiterNamed(value);
                if (!delimiter)
                    return usageError(streams.err, "分隔符“" + value + "”不可用：请写一个字符（如 , 或 ;）或 tab");
                options.delimiter = *delimiter;
                sheetOption = true;
            } else if (optionValue(arg, "--encoding", value)) {
                const std::optional<sheet::Encoding> encoding = sheet::encodingNamed(value);
                if (!encoding)
                    return usageError(streams.err,
                                      "不认得编码“" + value + "”：可用 UTF-8、UTF-16LE、UTF-16BE、GB18030");
                options.encoding = *encoding;
                sheetOption = true;
            } else {
                std::string problem = "无法识别的选项“";
                problem.append(arg).append("”；以“--”开头的字段请先写一个单独的“--”");
                return usageError(streams.err, problem);
            }
        }
    }

    if (csv || sheetOption) {
        if (fields.size() > 1)
            return usageError(streams.err, "工资表只能给一个文件名，现有 " + std::to_string(fields.size()) + " 个");
        if (!fields.empty() && !csv)
            return runSheetFile(std::string(fields[0]), streams, options, separators);
        if (!fields.empty()) {
            std::FILE *const in = openForReading(std::string(fields[0]));
            if (in == nullptr) {
                write(streams.err, "iitcalc-cli: 无法读取“" + std::string(fields[0]) + "”：" + errorText(errno) + "\n");
                return kExitIoError;
            }
            const int status = runSheet(in, streams, options, separators);
            std::fclose(in);
            return status;
        }
        if (!csv)
            return usageError(streams.err, "--income= 等选项只用于工资表：请加 --csv，或给出工资表的文件名");
        if (streams.inIsTerminal)
            return usageError(streams.err, "缺少工资表：请给出文件名，或从文件或管道读入");
        return runSheet(streams.in, streams, options, separators);
    }

    if (fields.empty() && (args.empty() || args[0] != "--")) {
        if (!streams.inIsTerminal)
            return runBatch(streams.in, streams.out, streams.err, separators);
        return usageError(streams.err, "缺少参数：请给出个人收入与五险一金之和，或从文件或管道读入批量数据");
    }
    if (fields.size() == 1 && (!args.empty() && args[0] != "--")) {
        // A sheet's name alone, as when a file is dropped on the program.
        const std::string path(fields[0]);
        if (std::FILE *const probe = openForReading(path)) {
            std::fclose(probe);
            return runSheetFile(path, streams, options, separators);
        }
        if (errno != ENOENT || looksLikeFileName(path)) {
            write(streams.err, "iitcalc-cli: 无法读取“" + path + "”：" + errorText(errno) + "\n");
            return kExitIoError;
        }
    }
    if (fields.size() == 2 || fields.size() == 3) {
        const Utf8NumberText defaultThreshold = integerToText<char>(kStandardThreshold);
        return runSingle(fields[0], fields[1], fields.size() == 3 ? fields[2] : defaultThreshold.view(), streams,
                         separators);
    }
    return usageError(streams.err, "参数个数不对：要两个或三个（个人收入 五险一金之和 [个税起征点]），现有 " +
                                       std::to_string(fields.size()) + " 个");
}

} // namespace iitcalc::cli
