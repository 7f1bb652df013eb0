#include "cli/cli.h"

#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace iitcalc::cli {
namespace {

constexpr Separators kPoint{u'.', u','};

struct Captured {
    int status;
    std::string out;
    std::string err;
};

// Runs the console front end in-process on the given arguments and input.
Captured runInProcess(std::vector<std::string_view> args, const std::string &input, bool terminal = false,
                      Separators separators = kPoint)
{
    std::FILE *in = fmemopen(const_cast<char *>(input.data()), input.size(), "r");
    if (input.empty())
        in = std::fopen("/dev/null", "r");
    char *outData = nullptr;
    char *errData = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    std::FILE *out = open_memstream(&outData, &outSize);
    std::FILE *err = open_memstream(&errData, &errSize);
    const int status = run(args, Streams{in, out, err, terminal}, separators);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    Captured captured{status, std::string(outData, outSize), std::string(errData, errSize)};
    std::free(outData);
    std::free(errData);
    return captured;
}

std::size_t lineCount(const std::string &text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

struct SingleRow {
    const char *name;
    std::vector<std::string_view> args;
    int status;
    const char *out;
    const char *err;
};
IITCALC_PRINTABLE_ROW(SingleRow)

class SingleCalculation : public testing::TestWithParam<SingleRow> {};

TEST_P(SingleCalculation, PrintsTwoLinesOrOneError)
{
    const SingleRow &row = GetParam();
    const Captured result = runInProcess(row.args, "", true);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, row.out);
    EXPECT_EQ(result.err, row.err);
}

INSTANTIATE_TEST_SUITE_P(Rows, SingleCalculation,
    testing::Values(
        SingleRow{"example", {"10000", "1000"}, 0, "税基\t5500\n应缴税额\t545\n", ""},
        SingleRow{"threshold_given", {"10000", "1000", "4000"}, 0, "税基\t5000\n应缴税额\t445\n", ""},
        SingleRow{"no_row_shows_zero", {"", ""}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
        SingleRow{"negative_is_a_value", {"-200", "0"}, 0, "税基\t-3700\n应缴税额\t0\n", ""},
        SingleRow{"chinese_text", {"8000元", "五百"}, 0, "税基\t4500\n应缴税额\t345\n", ""},
        SingleRow{"double_dash", {"--", "--5", "0"}, 0, "税基\t-3500\n应缴税额\t0\n", ""},
        SingleRow{"type_mismatch", {"10000", "1000", ""}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"},
        SingleRow{"overflow", {"1E308", "-1E308"}, 6, "", "iitcalc-cli: 运行时错误 6：溢出\n"},
        SingleRow{"threshold_checked_first", {"1E400", "0", "x"}, 13, "", "iitcalc-cli: 运行时错误 13：类型不匹配\n"}),
    testing_support::RowName());

TEST(Usage, WrongArgumentCountGoesToStandardError)
{
    for (const auto &args : {std::vector<std::string_view>{"1"}, std::vector<std::string_view>{"1", "2", "3", "4"},
                             std::vector<std::string_view>{}}) {
        const Captured result = runInProcess(args, "", true);
        EXPECT_EQ(result.status, kExitUsage);
        EXPECT_TRUE(result.out.empty());
        EXPECT_NE(result.err.find("用法"), std::string::npos);
    }
    const Captured help = runInProcess({"--help"}, "", true);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("用法"), std::string::npos);
    EXPECT_TRUE(help.err.empty());
}

TEST(Batch, OneLineOutForEachLineInAlwaysFiveFields)
{
    const std::string input = "10000\t1000\n"
                              "10000\t1000\t4000\r\n"
                              "10000\t1000\t\n"
                              "\n"
                              "1E308\t-1E308\n"
                              "1\t2\t3\t4\n"
                              "5000.01\t0";
    const Captured result = runInProcess({}, input);
    EXPECT_EQ(result.status, kExitBatchHadErrors);
    EXPECT_EQ(result.out, "10000\t1000\t3500\t5500\t545\n"
                          "10000\t1000\t4000\t5000\t445\n"
                          "10000\t1000\t\t运行时错误 13：类型不匹配\t\n"
                          "\t\t3500\t-3500\t0\n"
                          "1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n"
                          "1\t2\t3\t字段过多：每行至多三个字段\t\n"
                          "5000.01\t0\t3500\t1500.01\t45.001\n");
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    EXPECT_TRUE(result.err.empty());
}

TEST(Batch, SucceedsWhenEveryLineDoes)
{
    std::string input;
    for (int i = 0; i < 1000; ++i)
        input += std::to_string(3500 + i) + "\t0\n";
    const Captured result = runInProcess({}, input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(lineCount(result.out), 1000u);
    EXPECT_EQ(result.out.substr(0, 15), "3500\t0\t3500\t0\t0");
}

TEST(Batch, UsesTheLocaleSeparators)
{
    const Captured result = runInProcess({}, "5000,01\t0\t3.500\n", false, Separators{u',', u'.'});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "5000,01\t0\t3.500\t1500\t45\n");
}

// The installed program: real streams, real exit statuses, the locale taken
// from the environment.
Captured runProgram(const std::string &arguments, const std::string &input, const std::string &environment = "",
                    std::string outPath = "")
{
    // Tests run in parallel processes: each gets files of its own.
    const std::string dir = testing::TempDir() + "/iitcalc_cli_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const bool captureOut = outPath.empty();
    if (captureOut)
        outPath = dir + "/cli_out.txt";
    const std::string inPath = dir + "/cli_in.txt";
    std::ofstream(inPath, std::ios::binary) << input;
    const std::string command = environment + " " + IITCALC_CLI_PATH + " " + arguments + " <" + inPath + " >" + outPath +
                                " 2>" + dir + "/cli_err.txt";
    const int raw = std::system(command.c_str());
    const auto slurp = [](const std::string &path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    Captured captured{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, captureOut ? slurp(outPath) : std::string(), slurp(dir + "/cli_err.txt")};
    std::filesystem::remove_all(dir);
    return captured;
}

TEST(Program, ExitStatusesAndStreams)
{
    const Captured ok = runProgram("10000 1000", "");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "税基\t5500\n应缴税额\t545\n");

    const Captured mismatch = runProgram("10000 1000 abc", "");
    EXPECT_EQ(mismatch.status, 13);
    EXPECT_TRUE(mismatch.out.empty());
    EXPECT_EQ(lineCount(mismatch.err), 1u);

    const Captured overflow = runProgram("1E308 -1E308", "");
    EXPECT_EQ(overflow.status, 6);

    const Captured usage = runProgram("1", "");
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.out.empty());

    const Captured batch = runProgram("", "1\t0\n2\t0\nx\t0\tx\n");
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(lineCount(batch.out), 3u);
}

TEST(Program, ReadsTheThresholdInTheUsersLocale)
{
    // C.UTF-8 always exists; it groups no digits.
    EXPECT_EQ(runProgram("10000 1000 3,500", "", "LC_ALL=C.UTF-8").status, 13);
    EXPECT_EQ(runProgram("10000 1000 3500", "", "LC_ALL=no_SUCH.locale").status, 0);
}

TEST(Program, ReportsAFailedWrite)
{
    const Captured full = runProgram("10000 1000", "", "", "/dev/full");
    EXPECT_EQ(full.status, kExitIoError);
    EXPECT_NE(full.err.find("写入输出失败"), std::string::npos);
    EXPECT_EQ(runProgram("", "1\t0\n", "", "/dev/full").status, kExitIoError);
}

} // namespace
} // namespace iitcalc::cli
