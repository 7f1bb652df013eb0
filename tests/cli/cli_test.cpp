// iitcalc-cli as a script sees it: real streams, real exit statuses, the
// locale taken from the environment. Statuses are compared with the numbers
// the help text and the README give, never with the program's constants.
#include "cli/cli.h"
#include "tests/support/row_name.h"
#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <locale>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace iitcalc::cli {
namespace {

using testing_support::repeated;
using testing_support::slurp;

constexpr Separators kPoint{u'.', 0, {}};

std::string quoted(const std::string &text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// A folder of this test process's own (tests run in parallel processes)
// while it lasts.
struct TempDir {
    const std::string path = testing::TempDir() + "/iitcalc_cli_" + std::to_string(getpid());
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
};

// UTF-16, little-endian, after its byte-order mark.
std::string utf16(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text)
        bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

struct ProgramRow {
    const char *name;
    std::vector<std::string> args;
    std::string in;
    int status;
    std::string out; // ending in "…": only the output's beginning
    std::string err;
    std::string environment = "LC_ALL=C.UTF-8"; // '.' and no grouping
    const char *locale = "C";                   // the one the row needs this system to have
};
IITCALC_PRINTABLE_ROW(ProgramRow)

class Program : public testing::TestWithParam<ProgramRow> {};

TEST_P(Program, GivesItsStatusOutputAndErrors)
{
    const ProgramRow &row = GetParam();
    try {
        std::locale(std::locale::classic(), row.locale, std::locale::numeric);
    } catch (const std::runtime_error &) {
        GTEST_SKIP() << row.locale << " is not generated on this system";
    }
    const TempDir dir;
    std::ofstream(dir.path + "/in", std::ios::binary) << row.in;
    std::string command = row.environment + " " + IITCALC_CLI_PATH;
    for (const std::string &arg : row.args)
        command += " " + quoted(arg);
    const int status =
        std::system((command + " <" + dir.path + "/in >" + dir.path + "/out 2>" + dir.path + "/err").c_str());
    std::string out = slurp(dir.path + "/out");
    if (row.out.ends_with("…"))
        out = out.substr(0, row.out.size() - std::string_view("…").size()) + "…";
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.status);
    EXPECT_EQ(out, row.out);
    EXPECT_EQ(slurp(dir.path + "/err"), row.err);
}

const std::string kSeeHelp = "请执行“iitcalc-cli --help”查看用法。\n";
const std::string kOptionLike = "；以“--”开头的字段请先写一个单独的“--”\n" + kSeeHelp;
const std::string kWrongCount = "iitcalc-cli: 参数个数不对：要两个或三个（个人收入 五险一金之和 [个税起征点]），现有 ";
const std::string kMismatch = "iitcalc-cli: 运行时错误 13：类型不匹配\n";
const std::string kExample = "税基\t5500\n应缴税额\t545\n";
const std::string kExampleRow = "10000\t1000\t3500\t5500\t545\n";
// The read buffer holds 64 KiB: a CR as its last byte and the LF after it
// in the next still end one line.
const std::string kNoTab = "没有 TAB：每行应为 个人收入<TAB>五险一金之和；逗号分隔的工资表请用 --csv";
// 姓名,工号,应发工资,五险一金 / 张三,001,"12,345.67",1234.5 as a spreadsheet
// on Chinese Windows saves it.
const std::string kGbSheet =
    "\xD0\xD5\xC3\xFB,\xB9\xA4\xBA\xC5,\xD3\xA6\xB7\xA2\xB9\xA4\xD7\xCA,\xCE\xE5\xCF\xD5\xD2\xBB\xBD\xF0\r\n"
    "\xD5\xC5\xC8\xFD,001,\"12,345.67\",1234.5\r\n";
const std::string kLongLine = "1\t0" + std::string((1 << 16) - 4, ' ');

// clang-format off
const ProgramRow kProgramRows[] = {
    // A calculation: two lines, or one error.
    {"example", {"10000", "1000"}, "", 0, kExample, ""},
    {"threshold_given", {"10000", "1000", "4000"}, "", 0, "税基\t5000\n应缴税额\t445\n", ""},
    {"negative_is_a_value_no_row_shows_zero", {"-200", "0"}, "", 0, "税基\t-3700\n应缴税额\t0\n", ""},
    {"double_dash", {"--", "--5", "0"}, "", 0, "税基\t-3500\n应缴税额\t0\n", ""},
    {"type_mismatch", {"10000", "1000", ""}, "", 13, "", kMismatch},
    {"overflow", {"1E308", "-1E308"}, "", 6, "", "iitcalc-cli: 运行时错误 6：溢出\n"},
    {"threshold_checked_first", {"1E400", "0", "x"}, "", 13, "", kMismatch},
    // C.UTF-8 groups no digits; an unknown locale counts as C.
    {"threshold_in_the_locale", {"10000", "1000", "3,500"}, "", 13, "", kMismatch},
    {"unknown_locale", {"10000", "1000", "3500"}, "", 0, kExample, "", "LC_ALL=no_SUCH.locale"},
    // Only the numeric category counts, where the others are missing.
    {"numeric_locale_only", {"10000", "1000", "3.500,5"}, "", 0, "税基\t5499,5\n应缴税额\t544,9\n", "",
     "LC_ALL= LC_NUMERIC=de_DE.UTF-8 LANG=xx_XX.UTF-8 LC_MESSAGES=bogus", "de_DE.UTF-8"},
    // Usage: what is wrong on one line, where the usage is on a second.
    {"help", {"--help"}, "", 0, "用法：iitcalc-cli…", ""},
    {"option_like", {"--threshold", "4000", "10000"}, "", 2, "", "iitcalc-cli: 无法识别的选项“--threshold”" + kOptionLike},
    {"help_among_fields", {"10000", "--help"}, "", 2, "", "iitcalc-cli: 无法识别的选项“--help”" + kOptionLike},
    {"one_field", {"1"}, "", 2, "", kWrongCount + "1 个\n" + kSeeHelp},
    {"four_fields", {"1", "2", "3", "4"}, "", 2, "", kWrongCount + "4 个\n" + kSeeHelp},
    {"double_dash_alone", {"--"}, "", 2, "", kWrongCount + "0 个\n" + kSeeHelp},
    {"help_with_an_argument", {"--help", "1"}, "", 2, "", "iitcalc-cli: 无法识别的选项“--help”" + kOptionLike},
    // A batch: one row of five fields for each line; a blank line gives a
    // blank line.
    {"batch_five_fields_always", {},
     "10000\t1000\n" "10000\t1000\t4000\n" "10000\t1000\t\n" "\n" "1E308\t-1E308\n" "1\t2\t3\t4\n" "5000.01\t0", 1,
     kExampleRow +
     "10000\t1000\t4000\t5000\t445\n"
     "10000\t1000\t\t运行时错误 13：类型不匹配\t\n"
     "\n"
     "1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n"
     "1\t2\t3\t字段过多：每行至多三个字段\t\n"
     "5000.01\t0\t3500\t1500.01\t45.001\n", ""},
    {"batch_four_fields_alone_fail", {}, "1\t2\t3\t4\n", 1, "1\t2\t3\t字段过多：每行至多三个字段\t\n", ""},
    {"batch_every_kind_of_line_end", {}, "1\t0\r\n2\t0\n3\t0\r4\t0\r\r\n  \n", 0,
     "1\t0\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n" "3\t0\t3500\t-3497\t0\n" "4\t0\t3500\t-3496\t0\n" "\n\n", ""},
    {"batch_crlf_at_the_end_adds_no_row", {}, "10000\t1000\r\n", 0, kExampleRow, ""},
    {"batch_carriage_return_at_the_end_of_a_read", {}, kLongLine + "\r\n2\t0\n", 0,
     kLongLine + "\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n", ""},
    // Files saved with byte-order marks, joined; one of them empty.
    {"batch_byte_order_marks_on_any_line", {}, "\xEF\xBB\xBF\xEF\xBB\xBF" "10000\t1000\n" "\xEF\xBB\xBF\xEF\xBB\xBF" "1\t0\n", 0,
     kExampleRow + "1\t0\t3500\t-3499\t0\n", ""},
    {"batch_utf16_little_endian", {}, utf16(u"10000\t1000\r\n１００００\t１０００\n"), 0,
     kExampleRow + "１００００\t１０００\t3500\t5500\t545\n", ""},
    {"batch_gb18030", {}, "\xA3\xB1\xA3\xB0\xA3\xB0\xA3\xB0\xA3\xB0\t1000\n", 0, "１００００\t1000\t3500\t5500\t545\n", ""},
    // Lines the batch would misread are refused, and fields read in part
    // are named.
    {"batch_comma_separated_line", {}, "10000,1000\n", 1, "10000,1000\t\t3500\t" + kNoTab + "\t\n", ""},
    {"batch_header_first", {}, "个人收入\t五险一金之和\n10000\t1000\n", 1,
     "个人收入\t五险一金之和\t3500\t像是表头（没有数字）；带表头的工资表请用 --csv\t\n" + kExampleRow, ""},
    {"batch_fields_read_in_part", {}, "12,345.67\t1,234.50\n10000\t1000\n1\t0元\n", 0,
     "12,345.67\t1,234.50\t3500\t-3489\t0\n" + kExampleRow + "1\t0元\t3500\t-3499\t0\n",
     "iitcalc-cli: 2 行的个人收入或五险一金之和只读了开头（第 1、3 行），如“12,345.67”读作 12；带千位分隔符的金额请用 --csv 读入\n"},
    {"batch_names_five_lines_read_in_part", {}, repeated("1元\t0\n", 6), 0, repeated("1元\t0\t3500\t-3499\t0\n", 6),
     "iitcalc-cli: 6 行的个人收入或五险一金之和只读了开头（第 1、2、3、4、5 行等），如“12,345.67”读作 12；带千位分隔符的金额请用 --csv 读入\n"},
    {"batch_utf16_malformed", {}, utf16(u"\xD800" u"1\t0\n") + "1", 1,
     "\xEF\xBF\xBD" "1\t0\t3500\t-3500\t0\n" "\xEF\xBF\xBD\t\t3500\t" + kNoTab + "\t\n",
     "iitcalc-cli: 1 行的个人收入或五险一金之和只读了开头（第 1 行），如“12,345.67”读作 12；带千位分隔符的金额请用 --csv 读入\n"},
    // Sheets: the result is UTF-8 with a byte-order mark and CR LF.
    {"sheet_gb18030_from_a_chinese_windows", {"--csv"}, kGbSheet, 0,
     "\xEF\xBB\xBF" "姓名,工号,应发工资,五险一金,税基,应缴税额,出错原因\r\n张三,001,\"12,345.67\",1234.5,7611.17,967.234,\r\n", "",
     "LC_ALL=zh_CN.UTF-8", "zh_CN.UTF-8"},
    {"sheet_semicolons_in_germany", {"--csv"}, "Name;应发工资;五险一金\nA;12.345,67;1.234,5\n", 0,
     "\xEF\xBB\xBF" "Name;应发工资;五险一金;税基;应缴税额;出错原因\r\nA;12.345,67;1.234,5;7611,17;967,234;\r\n", "",
     "LC_ALL=de_DE.UTF-8", "de_DE.UTF-8"},
    {"sheet_options", {"--csv", "--income=2", "--insurance=Brutto", "--threshold=3", "--delimiter=tab",
     "--encoding=utf-8"}, "A\tBrutto\tX\n1\t20000\t5000\n", 0,
     "\xEF\xBB\xBF" "A\tBrutto\tX\t税基\t应缴税额\t出错原因\r\n1\t20000\t5000\t-5000\t0\t\r\n", ""},
    {"sheet_bad_rows", {"--csv"}, "应发工资,五险一金\n10000,1000\nabc,0\n10000\n", 1,
     "\xEF\xBB\xBF" "应发工资,五险一金,税基,应缴税额,出错原因\r\n10000,1000,5500,545,\r\nabc,0,,,“应发工资”列不是金额\r\n"
     "10000,,,,这一行有 1 个单元格，表头有 2 个\r\n",
     "iitcalc-cli: 出错 2 行（第 3、4 行），原因见“出错原因”列\n"},
    {"sheet_one_bad_row", {"--csv"}, "应发工资,五险一金\nx,0\n", 1,
     "\xEF\xBB\xBF" "应发工资,五险一金,税基,应缴税额,出错原因\r\nx,0,,,“应发工资”列不是金额\r\n",
     "iitcalc-cli: 出错 1 行（第 2 行），原因见“出错原因”列\n"},
    {"sheet_names_the_first_ten_failed_rows", {"--csv"}, "应发工资\n" + repeated("x\n", 11), 1,
     "\xEF\xBB\xBF" "应发工资,税基,应缴税额,出错原因\r\n" + repeated("x,,,“应发工资”列不是金额\r\n", 11),
     "iitcalc-cli: 注意：表头中没有五险一金列，五险一金按 0 计算（可用 --insurance=列名或列号 指明）\n"
     "iitcalc-cli: 出错 11 行（第 2、3、4、5、6、7、8、9、10、11 行等），原因见“出错原因”列\n"},
    {"sheet_unknown_column", {"--csv", "--income=工资"}, "a,b\n1,2\n", 2, "",
     "iitcalc-cli: --income=“工资”既不是表头中的列名，也不是 1 到 2 的列号；表头的列：1 a、2 b\n" + kSeeHelp},
    {"sheet_option_without_a_sheet", {"--income=1"}, "1\t2\n", 2, "",
     "iitcalc-cli: --income= 等选项只用于工资表：请加 --csv，或给出工资表的文件名\n" + kSeeHelp},
    {"sheet_unknown_encoding", {"--csv", "--encoding=latin1"}, "", 2, "",
     "iitcalc-cli: 不认得编码“latin1”：可用 UTF-8、UTF-16LE、UTF-16BE、GB18030\n" + kSeeHelp},
    {"sheet_unusable_delimiter", {"--csv", "--delimiter=\""}, "", 2, "",
     "iitcalc-cli: 分隔符“\"”不可用：请写一个字符（如 , 或 ;）或 tab\n" + kSeeHelp},
    {"sheet_missing_file", {"--csv", "no-such-工资表.csv"}, "", 3, "",
     "iitcalc-cli: 无法读取“no-such-工资表.csv”：文件不存在\n"},
    {"sheet_two_files", {"--csv", "a.csv", "b.csv"}, "", 2, "", "iitcalc-cli: 工资表只能给一个文件名，现有 2 个\n" + kSeeHelp},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Rows, Program, testing::ValuesIn(kProgramRows), testing_support::RowName());

struct PipelineRow {
    const char *name;
    std::string script; // `run` runs the program $P and records its status and errors
    int status;
    std::string err;
};
IITCALC_PRINTABLE_ROW(PipelineRow)

class Pipeline : public testing::TestWithParam<PipelineRow> {};

TEST_P(Pipeline, EndsAtAFullDiskOrAClosedPipe)
{
    const TempDir dir;
    const std::string script = R"(run() { "$@" 2>"$D/err"; echo $? >"$D/status"; }; )" + GetParam().script;
    const std::string command =
        "D=" + quoted(dir.path) + " P=" + quoted(IITCALC_CLI_PATH) + " timeout 20 sh -c " + quoted(script);
    ASSERT_EQ(std::system(command.c_str()), 0) << script;
    EXPECT_EQ(slurp(dir.path + "/status"), std::to_string(GetParam().status) + "\n");
    EXPECT_EQ(slurp(dir.path + "/err"), GetParam().err);
}

const std::string kWriteFailed = "iitcalc-cli: 写入输出失败\n";

// An endless batch ends too. A closed pipe ends the program by SIGPIPE, as
// it ends `head`-style pipelines (128 + 13 in the shell), or, where SIGPIPE
// is ignored, is a failed write.
const PipelineRow kPipelineRows[] = {
    {"single_to_a_full_disk", R"(run "$P" 10000 1000 >/dev/full)", 3, kWriteFailed},
    {"help_to_a_full_disk", R"(run "$P" --help >/dev/full)", 3, kWriteFailed},
    {"sheet_to_a_full_disk", R"(printf 'a\n1\n' | run "$P" --csv --income=a >/dev/full)", 3, kWriteFailed},
    {"batch_to_a_full_disk", R"(printf '1\t0\n' | run "$P" >/dev/full)", 3, kWriteFailed},
    {"endless_batch_to_a_full_disk", R"(yes 10000 | run "$P" >/dev/full)", 3, kWriteFailed},
    {"endless_batch_into_a_closed_pipe", R"(yes 10000 | run env --default-signal=PIPE "$P" | head -c 1 >/dev/null)",
     141, ""},
    {"endless_batch_sigpipe_ignored", R"(yes 10000 2>/dev/null | run env --ignore-signal=PIPE "$P" | true)", 3,
     kWriteFailed},
};
INSTANTIATE_TEST_SUITE_P(Rows, Pipeline, testing::ValuesIn(kPipelineRows), testing_support::RowName());

// A sheet's name alone: the result beside it, never over a file that exists.
TEST(SheetFile, WritesBesideTheSheetUnderANewName)
{
    const TempDir dir;
    std::ofstream(dir.path + "/工资表.csv", std::ios::binary) << "应发工资,五险一金\r\n10000,1000\r\n";
    std::ofstream(dir.path + "/工资表-个税 (2).csv", std::ios::binary) << "kept";
    const auto runOn = [&dir](const std::string &name) {
        const std::string command = "cd " + quoted(dir.path) + " && LC_ALL=C.UTF-8 " + IITCALC_CLI_PATH + " " +
                                    quoted(name) + " </dev/null >out 2>err";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string result = "\xEF\xBB\xBF"
                               "应发工资,五险一金,税基,应缴税额,出错原因\r\n10000,1000,5500,545,\r\n";

    EXPECT_EQ(runOn("工资表.csv"), 0);
    EXPECT_EQ(slurp(dir.path + "/工资表-个税.csv"), result);
    EXPECT_EQ(slurp(dir.path + "/err"), "iitcalc-cli: 已写入“工资表-个税.csv”：计算 1 行\n");
    EXPECT_EQ(runOn("工资表.csv"), 0);
    EXPECT_EQ(slurp(dir.path + "/工资表-个税 (2).csv"), "kept");
    EXPECT_EQ(slurp(dir.path + "/工资表-个税 (3).csv"), result);
    EXPECT_EQ(slurp(dir.path + "/out"), "");

    // A sheet the header refuses leaves no result behind.
    std::ofstream(dir.path + "/名单.csv", std::ios::binary) << "姓名\r\n张三\r\n";
    EXPECT_EQ(runOn("名单.csv"), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.path + "/名单-个税.csv"));
    EXPECT_EQ(runOn("缺少.csv"), 3);
    EXPECT_EQ(slurp(dir.path + "/err"), "iitcalc-cli: 无法读取“缺少.csv”：文件不存在\n");
}

// What an in-process run wrote to a stream of its own.
struct MemoryStream {
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *const stream = open_memstream(&buffer, &size);
    ~MemoryStream()
    {
        std::fclose(stream);
        std::free(buffer);
    }
    std::string text()
    {
        std::fflush(stream);
        return std::string(buffer, size);
    }
};

TEST(Usage, NoArgumentsAtATerminalIsWrongUsage)
{
    MemoryStream out, err;
    EXPECT_EQ(run({}, {stdin, out.stream, err.stream, true}, kPoint), 2);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text(),
              "iitcalc-cli: 缺少参数：请给出个人收入与五险一金之和，或从文件或管道读入批量数据\n" + kSeeHelp);
}

// Delivers its bytes, then fails as a disk or a network file system may.
struct FailingInput {
    std::string bytes;
    std::size_t pos = 0;

    static ssize_t read(void *cookie, char *buffer, std::size_t size)
    {
        auto &self = *static_cast<FailingInput *>(cookie);
        const std::size_t count = std::min(size, self.bytes.size() - self.pos);
        if (count == 0) {
            errno = EIO;
            return -1;
        }
        std::memcpy(buffer, self.bytes.data() + self.pos, count);
        self.pos += count;
        return static_cast<ssize_t>(count);
    }
};

struct ReadFailureRow {
    const char *name;
    std::string before; // what is read before the failure
    std::string out;
};
IITCALC_PRINTABLE_ROW(ReadFailureRow)

class ReadFailure : public testing::TestWithParam<ReadFailureRow> {};

TEST_P(ReadFailure, CalculatesOnlyTheLinesReadWhole)
{
    FailingInput input{GetParam().before};
    std::FILE *const in = fopencookie(&input, "r", {&FailingInput::read, nullptr, nullptr, nullptr});
    MemoryStream out, err;
    EXPECT_EQ(runBatch(in, out.stream, err.stream, kPoint), 3);
    std::fclose(in);
    EXPECT_EQ(out.text(), GetParam().out);
    EXPECT_EQ(err.text(), "iitcalc-cli: 读取输入失败\n");
}

const ReadFailureRow kReadFailureRows[] = {
    // The threshold "35" is what was read of "3500": no row for it.
    {"cut_in_a_line", "10000\t1000\n10000\t1000\t35", kExampleRow},
    {"cut_after_a_line_end", "10000\t1000\r", kExampleRow},
    {"nothing_read", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, ReadFailure, testing::ValuesIn(kReadFailureRows), testing_support::RowName());

} // namespace
} // namespace iitcalc::cli
