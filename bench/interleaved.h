#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::bench {

// Initialises Google Benchmark with, unless the command line gives its own
// repetitions, `repetitions` repetitions in random order and only their
// aggregates reported: a spell of load on a shared machine then falls on
// every benchmark alike.
inline void initializeInterleaved(int argc, char **argv, int repetitions)
{
    static std::string repeat, interleave = "--benchmark_enable_random_interleaving=true",
                               aggregates = "--benchmark_report_aggregates_only=true";
    std::vector<char *> args(argv, argv + argc);
    const bool given = std::any_of(argv + 1, argv + argc, [](const char *arg) {
        return std::string_view(arg).starts_with("--benchmark_repetitions");
    });
    if (!given) {
        repeat = "--benchmark_repetitions=" + std::to_string(repetitions);
        args.insert(args.begin() + 1, {repeat.data(), interleave.data(), aggregates.data()});
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
}

} // namespace iitcalc::bench
