#pragma once

#include "calc/run_time_error.h"

#include <cassert>
#include <optional>
#include <utility>

namespace iitcalc {

// Either a value or the run-time error that prevented it. A failed
// operation carries no partial value at all: what it holds is the value
// type's default, and nothing can read it. The value type is default-
// constructible.
template <class T>
class Result {
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(RunTimeError error)
        : m_error(error)
    {
    }

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }

    const T &value() const
    {
        assert(ok());
        return m_value;
    }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }

    RunTimeError error() const
    {
        assert(!ok());
        return *m_error;
    }

    // Makes this a success and gives its value, as it stands, to be filled
    // in: for values too large to be built aside and copied.
    T &fill()
    {
        m_error.reset();
        return m_value;
    }

private:
    T m_value{};
    std::optional<RunTimeError> m_error;
};

} // namespace iitcalc
