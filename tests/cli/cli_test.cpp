// iitcalc-cli as a script sees it: real streams, real exit statuses, the
// locale taken from the environment. Statuses are compared with the numbers
// the help text and the README give, never with the program's constants.
#include "cli/cli.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

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

struct Captured {
    int status;
    std::string out;
    std::string err;
};

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

// Runs the program with these arguments and input; the output goes to
// outPath when one is given (and is then not read back).
Captured runProgram(const std::vector<std::string> &args, const std::string &input = "",
                    const std::string &environment = "", std::string outPath = "")
{
    // Tests run in parallel processes: each gets files of its own.
    const std::string dir = testing::TempDir() + "/iitcalc_cli_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const bool captureOut = outPath.empty();
    if (captureOut)
        outPath = dir + "/out";
    std::ofstream(dir + "/in", std::ios::binary) << input;
    std::string command = environment + " " + IITCALC_CLI_PATH;
    for (const std::string &arg : args)
        command += " " + quoted(arg);
    command += " <" + dir + "/in >" + outPath + " 2>" + dir + "/err";
    const int raw = std::system(command.c_str());
    Captured captured{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, captureOut ? slurp(outPath) : "", slurp(dir + "/err")};
    std::filesystem::remove_all(dir);
    return captured;
}

// What an in-process run wrote to a stream of its own.
class MemoryStream {
public:
    MemoryStream()
        : m_stream(open_memstream(&m_buffer, &m_size))
    {
    }
    ~MemoryStream()
    {
        std::fclose(m_stream);
        std::free(m_buffer);
    }
    MemoryStream(const MemoryStream &) = delete;
    MemoryStream &operator=(const MemoryStream &) = delete;

    std::FILE *stream() const { return m_stream; }
    std::string text()
    {
        std::fflush(m_stream);
        return std::string(m_buffer, m_size);
    }

private:
    char *m_buffer = nullptr;
    std::size_t m_size = 0;
    std::FILE *m_stream;
};

const std::string kSeeHelp = "请执行“iitcalc-cli --help”查看用法。\n";

struct SingleRow {
    const char *name;
    std::vector<std::string> args;
    int status;
    const char *out;
    std::string err;
};
IITCALC_PRINTABLE_ROW(SingleRow)

class SingleCalculation : public testing::TestWithParam<SingleRow> {};

TEST_P(SingleCalculation, PrintsTwoLinesOrOneError)
{
    const SingleRow &row = GetParam();
    const Captured result = runProgram(row.args);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.err, row.err);
}

const std::string kOptionLike = "；以“--”开头的字段请先写一个单独的“--”\n" + kSeeHelp;
const std::string kWrongCount = "iitcalc-cli: 参数个数不对：要两个或三个（个人收入 五险一金之和 [个税起征点]），现有 ";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SingleCalculation, testing::Values(
    SingleRow{"example", {"10000", "1000"}, 0, "税基\t5500\n应缴税额\t545\n", ""},
    SingleRow{"threshold_given", {"10000", "1000", "4000"}, 0, "税基\t5000\n应缴税额\t445\n", ""},
    SingleRow{"no_row_shows_zero", {"", ""}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
    SingleRow{"negative_is_a_value", {"-200", "0"}, 0, "税基\t-3700\n应缴税额\t0\n", ""},
    SingleRow{"double_dash", {"--", "--5", "0"}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
    SingleRow{"fullwidth", {"１００００", "１０００", "　３５００"}, 0, "税基\t5500\n应缴税额\t545\n", ""},
    SingleRow{"type_mismatch", {"10000", "1000", ""}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"},
    SingleRow{"overflow", {"1E308", "-1E308"}, 6, "", "iitcalc-cli: 运行时错误 6：溢出\n"},
    SingleRow{"threshold_checked_first", {"1E400", "0", "x"}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"},
    // Wrong usage: what is wrong on one line, where the usage is on a second.
    SingleRow{"option_like", {"--threshold", "4000", "10000"}, 2, "", "iitcalc-cli: 无法识别的选项“--threshold”" + kOptionLike},
    SingleRow{"help_among_fields", {"10000", "--help"}, 2, "", "iitcalc-cli: 无法识别的选项“--help”" + kOptionLike},
    SingleRow{"one_field", {"1"}, 2, "", kWrongCount + "1 个\n" + kSeeHelp},
    SingleRow{"four_fields", {"1", "2", "3", "4"}, 2, "", kWrongCount + "4 个\n" + kSeeHelp},
    SingleRow{"double_dash_alone", {"--"}, 2, "", kWrongCount + "0 个\n" + kSeeHelp}),
    testing_support::RowName());
// clang-format on

TEST(Usage, HelpGoesToOutputNoArgumentsAtATerminalIsWrongUsage)
{
    const Captured help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("用法：iitcalc-cli")) << help.out;
    EXPECT_TRUE(help.err.empty());

    MemoryStream out, err;
    const Streams terminal{stdin, out.stream(), err.stream(), true};
    EXPECT_EQ(run({}, terminal, kPoint), 2);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(err.text(),
              "iitcalc-cli: 缺少参数：请给出个人收入与五险一金之和，或从文件或管道读入批量数据\n" + kSeeHelp);
}

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

struct BatchRow {
    const char *name;
    std::string in;
    std::string out;
    int status = 0;
};
IITCALC_PRINTABLE_ROW(BatchRow)

class Batch : public testing::TestWithParam<BatchRow> {};

TEST_P(Batch, OneRowForEachRecord)
{
    const Captured result = runProgram({}, GetParam().in);
    EXPECT_EQ(result.out, GetParam().out);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.err, "");
}

// The read buffer holds 64 KiB: a CR as its last byte and the LF after it
// in the next still end one line.
const std::string kLongLine = "1\t0" + std::string((1 << 16) - 4, ' ');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, Batch, testing::Values(
    BatchRow{"five_fields_always",
             "10000\t1000\n" "10000\t1000\t4000\n" "10000\t1000\t\n" "\n" "1E308\t-1E308\n" "1\t2\t3\t4\n" "5000.01\t0",
             "10000\t1000\t3500\t5500\t545\n"
             "10000\t1000\t4000\t5000\t445\n"
             "10000\t1000\t\t运行时错误 13：类型不匹配\t\n"
             "\t\t3500\t-3500\t0\n"
             "1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n"
             "1\t2\t3\t字段过多：每行至多三个字段\t\n"
             "5000.01\t0\t3500\t1500.01\t45.001\n", 1},
    BatchRow{"carriage_returns_alone", "10000\t1000\r20000\t2000\r",
             "10000\t1000\t3500\t5500\t545\n" "20000\t2000\t3500\t14500\t2620\n"},
    BatchRow{"every_kind_of_line_end", "1\t0\r\n2\t0\n3\t0\r4\t0\r\r\n\n",
             "1\t0\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n" "3\t0\t3500\t-3497\t0\n" "4\t0\t3500\t-3496\t0\n"
             "\t\t3500\t-3500\t0\n" "\t\t3500\t-3500\t0\n"},
    BatchRow{"carriage_return_at_the_end_of_a_read", kLongLine + "\r\n2\t0\n",
             kLongLine + "\t3500\t-3499\t0\n" "2\t0\t3500\t-3498\t0\n"},
    // Two files saved with byte-order marks, joined.
    BatchRow{"byte_order_mark_on_any_line", "\xEF\xBB\xBF" "10000\t1000\n" "\xEF\xBB\xBF" "1\t0\n",
             "10000\t1000\t3500\t5500\t545\n" "1\t0\t3500\t-3499\t0\n"},
    BatchRow{"utf16_little_endian", utf16(u"10000\t1000\r\n１００００\t１０００\n", false),
             "10000\t1000\t3500\t5500\t545\n" "１００００\t１０００\t3500\t5500\t545\n"},
    BatchRow{"utf16_big_endian", utf16(u"8000\t0\t\u3000３５００", true), "8000\t0\t　３５００\t4500\t345\n"},
    BatchRow{"utf16_malformed", utf16(u"\xD800" u"1\t0\n", false) + "1",
             "\xEF\xBF\xBD" "1\t0\t3500\t-3500\t0\n" "\xEF\xBF\xBD\t\t3500\t-3500\t0\n"}),
    testing_support::RowName());
// clang-format on

// Delivers its bytes, then fails as a disk or a network file system may.
class FailingInput {
public:
    explicit FailingInput(std::string bytes)
        : m_bytes(std::move(bytes))
        , m_stream(fopencookie(this, "r", {&FailingInput::read, nullptr, nullptr, nullptr}))
    {
    }
    ~FailingInput() { std::fclose(m_stream); }
    FailingInput(const FailingInput &) = delete;
    FailingInput &operator=(const FailingInput &) = delete;

    std::FILE *stream() const { return m_stream; }

private:
    static ssize_t read(void *cookie, char *buffer, std::size_t size)
    {
        auto *self = static_cast<FailingInput *>(cookie);
        if (self->m_pos == self->m_bytes.size()) {
            errno = EIO;
            return -1;
        }
        const std::size_t count = std::min(size, self->m_bytes.size() - self->m_pos);
        std::memcpy(buffer, self->m_bytes.data() + self->m_pos, count);
        self->m_pos += count;
        return static_cast<ssize_t>(count);
    }

    std::string m_bytes;
    std::size_t m_pos = 0;
    std::FILE *m_stream;
};

struct ReadFailureRow {
    const char *name;
    std::string before; // what is read before the failure
    const char *out;
};
IITCALC_PRINTABLE_ROW(ReadFailureRow)

class ReadFailure : public testing::TestWithParam<ReadFailureRow> {};

TEST_P(ReadFailure, CalculatesOnlyTheLinesReadWhole)
{
    FailingInput in(GetParam().before);
    MemoryStream out, err;
    EXPECT_EQ(runBatch(in.stream(), out.stream(), err.stream(), kPoint), 3);
    EXPECT_EQ(out.text(), GetParam().out);
    EXPECT_EQ(err.text(), "iitcalc-cli: 读取输入失败\n");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, ReadFailure, testing::Values(
    // The threshold "35" is what was read of "3500": no row for it.
    ReadFailureRow{"cut_in_a_line", "10000\t1000\n10000\t1000\t35", "10000\t1000\t3500\t5500\t545\n"},
    ReadFailureRow{"cut_in_a_utf16_line", utf16(u"10000\t1000\n10000\t1000\t35", false),
                   "10000\t1000\t3500\t5500\t545\n"},
    ReadFailureRow{"cut_after_a_line_end", "10000\t1000\r", "10000\t1000\t3500\t5500\t545\n"},
    ReadFailureRow{"nothing_read", "", ""}),
    testing_support::RowName());
// clang-format on

TEST(Program, ReadsTheThresholdInTheUsersLocale)
{
    // C.UTF-8 always exists; it groups no digits. An unknown locale counts as C.
    EXPECT_EQ(runProgram({"10000", "1000", "3,500"}, "", "LC_ALL=C.UTF-8").status, 13);
    EXPECT_EQ(runProgram({"10000", "1000", "3500"}, "", "LC_ALL=no_SUCH.locale").status, 0);
}

TEST(Program, TakesTheNumericLocaleWhateverTheOtherCategories)
{
    try {
        std::locale(std::locale::classic(), "de_DE.UTF-8", std::locale::numeric);
    } catch (const std::runtime_error &) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this system";
    }
    const Captured result = runProgram({"10000", "1000", "3.500,5"}, "",
                                       "LC_ALL= LC_NUMERIC=de_DE.UTF-8 LANG=xx_XX.UTF-8 LC_MESSAGES=bogus");
    EXPECT_EQ(result.out, "税基\t5499,5\n应缴税额\t544,9\n") << result.err;
}

TEST(Program, ReportsAFailedWriteInsteadOfSuccess)
{
    const Captured single = runProgram({"10000", "1000"}, "", "", "/dev/full");
    EXPECT_EQ(single.status, 3);
    EXPECT_EQ(single.err, "iitcalc-cli: 写入输出失败\n");
    EXPECT_EQ(runProgram({}, "1\t0\n", "", "/dev/full").status, 3);
}

TEST(Program, EndlessBatchEndsAtAFullDiskOrAClosedPipe)
{
    const std::string dir = testing::TempDir() + "/iitcalc_cli_endless_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string program = IITCALC_CLI_PATH;
    const std::string record = " 2>" + dir + "/err; echo $? >" + dir + "/status; }";
    struct Case {
        std::string script;
        int status;
        const char *err;
    };
    // A full disk is a failed write; a closed pipe ends the program by
    // SIGPIPE, as it ends `head`-style pipelines (128 + 13 in the shell),
    // or, where SIGPIPE is ignored, is a failed write too.
    for (const Case &run : {
             Case{"yes 10000 | { " + program + " >/dev/full" + record, 3, "iitcalc-cli: 写入输出失败\n"},
             Case{"yes 10000 | { env --default-signal=PIPE " + program + record + " | head -c 1 >/dev/null", 141, ""},
             Case{"yes 10000 2>/dev/null | { env --ignore-signal=PIPE " + program + record + " | true", 3,
                  "iitcalc-cli: 写入输出失败\n"},
         }) {
        ASSERT_EQ(std::system(("timeout 20 sh -c " + quoted(run.script)).c_str()), 0) << run.script;
        EXPECT_EQ(std::stoi(slurp(dir + "/status")), run.status) << run.script;
        EXPECT_EQ(slurp(dir + "/err"), run.err) << run.script;
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace iitcalc::cli
