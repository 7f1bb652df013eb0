#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace iitcalc::forms {

// A numbered run-time error leaving a handler. The forms layer catches it
// where the handler was called and reports it; the handler writes nothing
// more. `report` is the whole text the user reads.
class RunTimeFailure : public std::runtime_error {
public:
    RunTimeFailure(int number, const std::string &report)
        : std::runtime_error(report)
        , m_number(number)
    {
    }

    int number() const { return m_number; }
    std::string report() const { return what(); }

private:
    int m_number;
};

// The failures the layer itself raises: a name no control has, a property
// that kind of control lacks, a value a property cannot take, memory
// running out in a handler, and any other exception a handler lets out.
inline constexpr int kOutOfMemory = 7;
inline constexpr int kInternalError = 51;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kObjectRequired = 424;
inline constexpr int kNoSuchProperty = 438;

// "运行时错误 424：要求对象", the layer's own wording for its failures.
RunTimeFailure runTimeFailure(int number, std::string_view message);

} // namespace iitcalc::forms
