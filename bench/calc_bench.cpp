// Each conversion beside its standard-library counterpart on the same
// inputs, and the whole calculation, in one run; prints the ratios.
#include "calc/numeric_text.h"
#include "calc/tax.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace iitcalc;

constexpr Separators kPoint{u'.', u','};
const std::array<std::u16string, 4> kTexts{u"10000", u"1000", u"22495.0045", u"1.5E+300"};
const std::array<std::string, 4> kNarrowTexts{"10000", "1000", "22495.0045", "1.5E+300"};
constexpr std::array<double, 4> kValues{5500, -3500, 22495.004499999995, 1.5E300};

void ours_lenientReading(benchmark::State &state)
{
    for (auto _ : state)
        for (const auto &text : kTexts)
            benchmark::DoNotOptimize(readLenient(text));
}

void ours_strictConversion(benchmark::State &state)
{
    for (auto _ : state)
        for (const auto &text : kTexts)
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

void ours_numberToText(benchmark::State &state)
{
    for (auto _ : state)
        for (const double value : kValues)
            benchmark::DoNotOptimize(numberToText(value, kPoint));
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

void ours_calculation(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(calculate(u"10000", u"1000", u"3500", kPoint));
}

// The same work done with the standard library alone: three readings, the
// arithmetic, two writings.
void std_calculation(benchmark::State &state)
{
    const std::string income = "10000", insurance = "1000", threshold = "3500";
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
            std::to_chars(tax.data(), tax.data() + tax.size(), t * 0.2 - 555, std::chars_format::general, 15));
        benchmark::DoNotOptimize(base);
        benchmark::DoNotOptimize(tax);
    }
}

BENCHMARK(ours_lenientReading);
BENCHMARK(ours_strictConversion);
BENCHMARK(std_fromChars);
BENCHMARK(ours_numberToText);
BENCHMARK(std_toChars);
BENCHMARK(ours_integerToText);
BENCHMARK(std_integerToChars);
BENCHMARK(ours_calculation);
BENCHMARK(std_calculation);

// Collects each benchmark's time per iteration so the ratios can be printed
// after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            m_nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }

    void printRatios() const
    {
        struct Pair {
            const char *ours;
            const char *baseline;
            double target;
        };
        const Pair pairs[] = {
            {"ours_lenientReading", "std_fromChars", 3}, {"ours_strictConversion", "std_fromChars", 3},
            {"ours_numberToText", "std_toChars", 3},     {"ours_integerToText", "std_integerToChars", 3},
            {"ours_calculation", "std_calculation", 0},
        };
        std::printf("\n%-24s %12s %12s %8s %8s\n", "conversion", "ours ns/op", "std ns/op", "ratio", "target");
        for (const Pair &pair : pairs) {
            const double ours = m_nanoseconds.at(pair.ours);
            const double baseline = m_nanoseconds.at(pair.baseline);
            char target[16] = "-";
            if (pair.target > 0)
                std::snprintf(target, sizeof target, "<%.0fx", pair.target);
            std::printf("%-24s %12.1f %12.1f %7.2fx %8s\n", pair.ours + 5, ours, baseline, ours / baseline, target);
        }
        std::printf("whole calculation: %.0f ns (target under 1000 ns)\n", m_nanoseconds.at("ours_calculation"));
    }

private:
    std::map<std::string, double> m_nanoseconds;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
