#pragma once

#include <stdexcept>
#include <string>

namespace iitcalc::forms {

// A numbered run-time error leaving a handler. The forms layer catches it
// where the handler was called and reports it; the handler writes nothing
// more. `report` is the whole line the user reads.
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

// The failures the layer itself raises for a property access that cannot
// work: a name no control has, or a property that kind of control lacks.
inline constexpr int kObjectRequired = 424;
inline constexpr int kNoSuchProperty = 438;

} // namespace iitcalc::forms
