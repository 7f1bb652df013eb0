#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace iitcalc {

// The two numbered run-time errors a calculation can end with. The number
// stands in every report ("运行时错误 13") and is iitcalc-cli's exit status,
// so scripts and users rely on it: it never changes.
enum class RunTimeError : std::uint8_t {
    Overflow = 6,
    TypeMismatch = 13,
};

constexpr int errorNumber(RunTimeError error) { return static_cast<int>(error); }

// The Chinese message for an error, UTF-8: "溢出" for overflow, "类型不匹配"
// for type mismatch.
std::string_view errorMessage(RunTimeError error);

// The one-line report every front end shows, UTF-8:
// "运行时错误 13：类型不匹配".
std::string errorReport(RunTimeError error);

// The wording of every numbered report, the calculation's and the forms
// layer's own ("运行时错误 424：要求对象"). Inline and standard library only,
// so that the forms core, which uses nothing else of ours, words its reports
// the same way.
inline std::string numberedReport(int number, std::string_view message)
{
    std::string report = "运行时错误 ";
    report += std::to_string(number);
    report += "：";
    report += message;
    return report;
}

} // namespace iitcalc
