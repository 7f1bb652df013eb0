// iitcalc-cli as a script sees it: real streams, real exit statuses, the
// locale taken from the environment. Statuses are compared with the numbers
// the help text and the README give, never with the program's constants.
#include "cli/cli.h"
#include "tests/support/row_name.h"

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

constexpr Separators kPoint{u'.', 0, {}};

std::string quoted(const std::string &text)
{
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

std::string slurp(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A folder of this test process's own (tests run in parallel processes)
// while it lasts.
struct TempDir {
    const std::string path = testing::TempDir() + "/iitcalc_cli_" + std::to_string(getpid());
    TempDir() { std::filesystem::create_directories(path); }
    ~TempDir() { std::filesystem::remove_all(path); }
};

std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
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
    // A batch: one row of five fields for each line.
    {"batch_five_fields_always", {},
     "10000\t1000\n" "10000\t1000\t4000\n" "10000\t1000\t\n" "\n" "1E308\t-1E308\n" "1\t2\t3\t4\n" "5000.01\t0", 1,
     kExampleRow +
     "10000\t1000\t4000\t5000\t445\n"
     "10000\t1000\t\t运行时错误 13：类型不匹配\t\n"
     "\t\t3500\t-3500\t0\n"
     "1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n"
     "1\t2\t3\t字段过多：每行至多三个字段\t\n"
     "5000.01\t0\t3500\t1500.01\t45.001\n", ""},
    {"batch_every_kind_of_line_end", {}, "1\t0\r\n2\t0\n3\t0\r4\t0\r\r\n\n", 0,
     "1\t0\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n" "3\t0\t3500\t-3497\t0\n" "4\t0\t3500\t-3496\t0\n"
     "\t\t3500\t-3500\t0\n" "\t\t3500\t-3500\t0\n", ""},
    {"batch_carriage_return_at_the_end_of_a_read", {}, kLongLine + "\r\n2\t0\n", 0,
     kLongLine + "\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n", ""},
    // Two files saved with byte-order marks, joined.
    {"batch_byte_order_mark_on_any_line", {}, "\xEF\xBB\xBF" "10000\t1000\n" "\xEF\xBB\xBF" "1\t0\n", 0,
     kExampleRow + "1\t0\t3500\t-3499\t0\n", ""},
    {"batch_utf16_little_endian", {}, utf16(u"10000\t1000\r\n１００００\t１０００\n", false), 0,
     kExampleRow + "１００００\t１０００\t3500\t5500\t545\n", ""},
    {"batch_utf16_big_endian", {}, utf16(u"8000\U0001F600\t0\t\u3000３５００", true), 0,
     "8000\U0001F600\t0\t　３５００\t4500\t345\n", ""},
    {"batch_utf16_malformed", {}, utf16(u"\xD800" u"1\t0\n", false) + "1", 0,
     "\xEF\xBF\xBD" "1\t0\t3500\t-3500\t0\n" "\xEF\xBF\xBD\t\t3500\t-3500\t0\n", ""},
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
    {"batch_to_a_full_disk", R"(printf '1\t0\n' | run "$P" >/dev/full)", 3, kWriteFailed},
    {"endless_batch_to_a_full_disk", R"(yes 10000 | run "$P" >/dev/full)", 3, kWriteFailed},
    {"endless_batch_into_a_closed_pipe", R"(yes 10000 | run env --default-signal=PIPE "$P" | head -c 1 >/dev/null)",
     141, ""},
    {"endless_batch_sigpipe_ignored", R"(yes 10000 2>/dev/null | run env --ignore-signal=PIPE "$P" | true)", 3,
     kWriteFailed},
};
INSTANTIATE_TEST_SUITE_P(Rows, Pipeline, testing::ValuesIn(kPipelineRows), testing_support::RowName());

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
