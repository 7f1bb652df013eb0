// Each conversion beside the libraries that do the same work on the same
// inputs, and the whole calculation beside the bare standard-library
// pipeline, in one run; prints the ratios and the targets.
#include "bench/interleaved.h"
#include "calc/numeric_text.h"
#include "calc/tax.h"

#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace iitcalc;

constexpr Separators kPoint{u'.', u','};
const std::array<std::u16string, 4> kTexts{u"10000", u"1000", u"22495.0045", u"1.5E+300"};
const std::array<std::string, 4> kNarrowTexts{"10000", "1000", "22495.0045", "1.5E+300"};
// Half of them whole numbers, as tax bases and taxes often are; the others
// need the 15-digit rounding in full, as all of kFractions do.
constexpr std::array<double, 4> kValues{5500, -3500, 22495.004499999995, 1.5E300};
constexpr std::array<double, 4> kFractions{22495.004499999995, 1.5E300, 0.0100000000002183, -1234.5678};

void ours_lenientReading(benchmark::State &state)
{
    for (auto _ : state)
        for (const auto &text : kTexts)
            benchmark::DoNotOptimize(readLenient(text));
}

void ours_lenientReadingUtf8(benchmark::State &state)
{
    for (auto _ : state)
        for (const std::string_view text : kNarrowTexts)
            benchmark::DoNotOptimize(readLenient(text));
}

void ours_strictConversion(benchmark::State &state)
{
    for (auto _ : state)
        for (const auto &text : kTexts)
            benchmark::DoNotOptimize(convertStrict(text, kPoint));
}

void ours_strictConversionUtf8(benchmark::State &state)
{
    for (auto _ : state)
        for (const std::string_view text : kNarrowTexts)
            benchmark::DoNotOptimize(convertStrict(text, kPoint));
}

void std_fromChars(benchmark::State &state)
{
    for (auto _ : state) {
        for (const auto &text : kNarrowTexts) {
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
}

void fastFloat_fromChars(benchmark::State &state)
{
    for (auto _ : state) {
        for (const auto &text : kNarrowTexts) {
            double value = 0;
            fast_float::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
}

// What fast_float costs a caller that holds UTF-16, as the window does: its
// interface takes bytes only, so the units are narrowed first.
void fastFloat_fromCharsUtf16(benchmark::State &state)
{
    for (auto _ : state) {
        for (const auto &text : kTexts) {
            std::array<char, 64> narrow;
            for (std::size_t i = 0; i < text.size(); ++i)
                narrow[i] = static_cast<char>(text[i]);
            double value = 0;
            fast_float::from_chars(narrow.data(), narrow.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
}

void ours_numberToText(benchmark::State &state)
{
    for (auto _ : state)
        for (const double value : kValues)
            benchmark::DoNotOptimize(numberToText(value, kPoint));
}

void ours_numberToTextUtf8(benchmark::State &state)
{
    for (auto _ : state)
        for (const double value : kValues)
            benchmark::DoNotOptimize(numberToText<char>(value, kPoint));
}

void std_toChars(benchmark::State &state)
{
    for (auto _ : state) {
        for (const double value : kValues) {
            std::array<char, 32> buffer{};
            benchmark::DoNotOptimize(
                std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15));
            benchmark::DoNotOptimize(buffer);
        }
    }
}

void ours_numberToTextFractions(benchmark::State &state)
{
    for (auto _ : state)
        for (const double value : kFractions)
            benchmark::DoNotOptimize(numberToText(value, kPoint));
}

void std_toCharsFractions(benchmark::State &state)
{
    for (auto _ : state) {
        for (const double value : kFractions) {
            std::array<char, 32> buffer{};
            benchmark::DoNotOptimize(
                std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15));
            benchmark::DoNotOptimize(buffer);
        }
    }
}

void ours_integerToText(benchmark::State &state)
{
    std::int16_t value = 3500;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(integerToText(value));
    }
}

void std_integerToChars(benchmark::State &state)
{
    std::int16_t value = 3500;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        std::array<char, 8> buffer{};
        benchmark::DoNotOptimize(std::to_chars(buffer.data(), buffer.data() + buffer.size(), value));
        benchmark::DoNotOptimize(buffer);
    }
}

// Two calculations: one whose results are whole numbers, as with whole-yuan
// inputs, and one whose results have fractions, as with fen.
const std::u16string kIncome = u"10000", kInsurance = u"1000", kThreshold = u"3500";
const std::u16string kIncomeFen = u"12345.67", kInsuranceFen = u"1234.5";
const std::string kNarrowIncome = "10000", kNarrowInsurance = "1000", kNarrowThreshold = "3500";
const std::string kNarrowIncomeFen = "12345.67", kNarrowInsuranceFen = "1234.5";

void ours_calculation(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(calculate(kIncome, kInsurance, kThreshold, kPoint));
}

void ours_calculationUtf8(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            calculate(std::string_view(kNarrowIncome), kNarrowInsurance, kNarrowThreshold, kPoint));
}

void ours_calculationFen(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(calculate(kIncomeFen, kInsuranceFen, kThreshold, kPoint));
}

// The same work done with the standard library alone: three readings, the
// arithmetic, two writings.
void stdPipeline(benchmark::State &state, const std::string &income, const std::string &insurance, double rate,
                 double deduction)
{
    const std::string &threshold = kNarrowThreshold;
    for (auto _ : state) {
        double a = 0, b = 0, c = 0;
        std::from_chars(income.data(), income.data() + income.size(), a);
        std::from_chars(insurance.data(), insurance.data() + insurance.size(), b);
        std::from_chars(threshold.data(), threshold.data() + threshold.size(), c);
        const double t = a - b - c;
        std::array<char, 32> base{}, tax{};
        benchmark::DoNotOptimize(
            std::to_chars(base.data(), base.data() + base.size(), t, std::chars_format::general, 15));
        benchmark::DoNotOptimize(
            std::to_chars(tax.data(), tax.data() + tax.size(), t * rate - deduction, std::chars_format::general, 15));
        benchmark::DoNotOptimize(base);
        benchmark::DoNotOptimize(tax);
    }
}

void std_calculation(benchmark::State &state) { stdPipeline(state, kNarrowIncome, kNarrowInsurance, 0.2, 555); }

void std_calculationFen(benchmark::State &state)
{
    stdPipeline(state, kNarrowIncomeFen, kNarrowInsuranceFen, 0.2, 555);
}

// The least time over the repetitions, which the other work on a busy
// machine can only lengthen, is what the ratios compare.
double least(const std::vector<double> &times) { return *std::min_element(times.begin(), times.end()); }

#define IITCALC_BENCHMARK(function) BENCHMARK(function)->ComputeStatistics("min", least)
IITCALC_BENCHMARK(ours_lenientReading);
IITCALC_BENCHMARK(ours_lenientReadingUtf8);
IITCALC_BENCHMARK(ours_strictConversion);
IITCALC_BENCHMARK(ours_strictConversionUtf8);
IITCALC_BENCHMARK(std_fromChars);
IITCALC_BENCHMARK(fastFloat_fromChars);
IITCALC_BENCHMARK(fastFloat_fromCharsUtf16);
IITCALC_BENCHMARK(ours_numberToText);
IITCALC_BENCHMARK(ours_numberToTextUtf8);
IITCALC_BENCHMARK(std_toChars);
IITCALC_BENCHMARK(ours_numberToTextFractions);
IITCALC_BENCHMARK(std_toCharsFractions);
IITCALC_BENCHMARK(ours_integerToText);
IITCALC_BENCHMARK(std_integerToChars);
IITCALC_BENCHMARK(ours_calculation);
IITCALC_BENCHMARK(ours_calculationUtf8);
IITCALC_BENCHMARK(std_calculation);
IITCALC_BENCHMARK(ours_calculationFen);
IITCALC_BENCHMARK(std_calculationFen);

// Collects each benchmark's least time per iteration so the ratios can be
// printed after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "min")
                m_nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }

    void printRatios() const
    {
        struct Pair {
            const char *ours;
            const char *baseline;
            double target; // 0: none
        };
        const Pair pairs[] = {
            {"ours_lenientReading", "fastFloat_fromChars", 1.5},
            {"ours_lenientReadingUtf8", "fastFloat_fromChars", 1.5},
            {"ours_strictConversion", "fastFloat_fromChars", 1.5},
            {"ours_strictConversionUtf8", "fastFloat_fromChars", 1.5},
            {"ours_lenientReading", "fastFloat_fromCharsUtf16", 1.5},
            {"ours_strictConversion", "fastFloat_fromCharsUtf16", 1.5},
            {"ours_lenientReading", "std_fromChars", 0},
            {"ours_numberToText", "std_toChars", 1.1},
            {"ours_numberToTextUtf8", "std_toChars", 1.1},
            {"ours_numberToTextFractions", "std_toCharsFractions", 1.1},
            {"ours_integerToText", "std_integerToChars", 0},
            {"ours_calculation", "std_calculation", 1.0},
            {"ours_calculationUtf8", "std_calculation", 1.0},
            {"ours_calculationFen", "std_calculationFen", 1.0},
        };
        std::printf("\n%-26s %-25s %10s %10s %8s %8s\n", "ours", "beside", "ours ns", "its ns", "ratio", "target");
        for (const Pair &pair : pairs) {
            const auto ours = m_nanoseconds.find(pair.ours);
            const auto baseline = m_nanoseconds.find(pair.baseline);
            if (ours == m_nanoseconds.end() || baseline == m_nanoseconds.end())
                continue; // left out by --benchmark_filter
            const double ratio = ours->second / baseline->second;
            char target[24] = "-";
            if (pair.target > 0)
                std::snprintf(target, sizeof target, "<=%.1fx %s", pair.target, ratio <= pair.target ? "ok" : "MISSED");
            std::printf("%-26s %-25s %10.1f %10.1f %7.2fx %s\n", pair.ours + 5, pair.baseline, ours->second,
                        baseline->second, ratio, target);
        }
    }

private:
    std::map<std::string, double> m_nanoseconds;
};

} // namespace

int main(int argc, char **argv)
{
    iitcalc::bench::initializeInterleaved(argc, argv, 9);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
