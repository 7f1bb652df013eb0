#pragma once

#include "calc/run_time_error.h"

#include <cassert>
#include <utility>
#include <variant>

namespace iitcalc {

// Either a value or the run-time error that prevented it. A failed
// operation carries no partial value at all.
template <class T>
class Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(RunTimeError error)
        : m_state(error)
    {
    }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T &value() const
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }

    RunTimeError error() const
    {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, RunTimeError> m_state;
};

} // namespace iitcalc
