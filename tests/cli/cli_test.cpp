// iitcalc-cli as a script sees it: real streams, real exit statuses, the
// locale taken from the environment.
#include "cli/cli.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace iitcalc::cli {
namespace {

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
    const auto slurp = [](const std::string &path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    Captured captured{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, captureOut ? slurp(outPath) : "", slurp(dir + "/err")};
    std::filesystem::remove_all(dir);
    return captured;
}

struct SingleRow {
    const char *name;
    std::vector<std::string> args;
    int status;
    const char *out;
    const char *err;
    const char *errEnd = ""; // what follows err
};
IITCALC_PRINTABLE_ROW(SingleRow)

class SingleCalculation : public testing::TestWithParam<SingleRow> {};

TEST_P(SingleCalculation, PrintsTwoLinesOrOneError)
{
    const SingleRow &row = GetParam();
    const Captured result = runProgram(row.args);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.err, std::string(row.err) + row.errEnd);
}

const char *const kOptionLike = "；以“--”开头的字段请先写一个单独的“--”\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SingleCalculation, testing::Values(
    SingleRow{"example", {"10000", "1000"}, 0, "税基\t5500\n应缴税额\t545\n", ""},
    SingleRow{"threshold_given", {"10000", "1000", "4000"}, 0, "税基\t5000\n应缴税额\t445\n", ""},
    SingleRow{"no_row_shows_zero", {"", ""}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
    SingleRow{"negative_is_a_value", {"-200", "0"}, 0, "税基\t-3700\n应缴税额\t0\n", ""},
    SingleRow{"double_dash", {"--", "--5", "0"}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
    SingleRow{"fullwidth", {"１００００", "１０００", "　３５００"}, 0, "税基\t5500\n应缴税额\t545\n", ""},
    SingleRow{"option_like", {"--threshold", "4000", "10000"}, kExitUsage, "", "iitcalc-cli: 无法识别的选项“--threshold”", kOptionLike},
    SingleRow{"help_among_fields", {"10000", "--help"}, kExitUsage, "", "iitcalc-cli: 无法识别的选项“--help”", kOptionLike},
    SingleRow{"type_mismatch", {"10000", "1000", ""}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"},
    SingleRow{"overflow", {"1E308", "-1E308"}, 6, "", "iitcalc-cli: 运行时错误 6：溢出\n"},
    SingleRow{"threshold_checked_first", {"1E400", "0", "x"}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"}),
    testing_support::RowName());
// clang-format on

TEST(Usage, HelpOnOutputWrongCountOnErrors)
{
    for (const auto &args : {std::vector<std::string>{"1"}, std::vector<std::string>{"1", "2", "3", "4"}}) {
        const Captured result = runProgram(args);
        EXPECT_EQ(result.status, kExitUsage);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find("用法"), std::string::npos);
    }
    const Captured help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("用法"), std::string::npos);
}

TEST(Batch, OneLineOutForEachLineInAlwaysFiveFields)
{
    // A byte-order mark, as Notepad writes one, is no part of the first income.
    const Captured result = runProgram({}, "\xEF\xBB\xBF"
                                           "10000\t1000\n"
                                           "10000\t1000\t4000\r\n"
                                           "10000\t1000\t\n"
                                           "\n"
                                           "1E308\t-1E308\n"
                                           "1\t2\t3\t4\n"
                                           "\xEF\xBB\xBF"
                                           "1\t0\n"
                                           "5000.01\t0");
    EXPECT_EQ(result.status, kExitBatchHadErrors);
    EXPECT_EQ(result.out, "10000\t1000\t3500\t5500\t545\n"
                          "10000\t1000\t4000\t5000\t445\n"
                          "10000\t1000\t\t运行时错误 13：类型不匹配\t\n"
                          "\t\t3500\t-3500\t0\n"
                          "1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n"
                          "1\t2\t3\t字段过多：每行至多三个字段\t\n"
                          "\xEF\xBB\xBF"
                          "1\t0\t3500\t-3500\t0\n"
                          "5000.01\t0\t3500\t1500.01\t45.001\n");
    EXPECT_TRUE(result.err.empty());
    EXPECT_EQ(runProgram({}, "1\t0\n2\t0\r\n").status, 0);
}

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
    EXPECT_EQ(single.status, kExitIoError);
    EXPECT_NE(single.err.find("写入输出失败"), std::string::npos);
    EXPECT_EQ(runProgram({}, "1\t0\n", "", "/dev/full").status, kExitIoError);
}

TEST(Program, EndlessBatchStopsAtTheFirstFailedWrite)
{
    const std::string dir = testing::TempDir() + "/iitcalc_cli_endless_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string run =
        "{ timeout 20 " + std::string(IITCALC_CLI_PATH) + " 2>" + dir + "/err; echo $? >" + dir + "/status; }";
    // A full disk, and a closed pipe with SIGPIPE ignored.
    for (const std::string &script :
         {"yes 10000 | " + run + " >/dev/full", "trap '' PIPE; yes 10000 2>/dev/null | " + run + " | true"}) {
        ASSERT_EQ(std::system(script.c_str()), 0) << script;
        std::ifstream status(dir + "/status");
        int code = -1;
        status >> code;
        EXPECT_EQ(code, kExitIoError) << script;
        std::ifstream err(dir + "/err");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(err), {}), "iitcalc-cli: 写入输出失败\n") << script;
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace iitcalc::cli
