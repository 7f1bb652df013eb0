#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace iitcalc::testing_support {

// Names each row of a table-driven test after its `name` member, so a
// failure says which row it was.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row> &row) const
    {
        return row.param.name;
    }
};

} // namespace iitcalc::testing_support

// Lets GoogleTest print a row by its name instead of its bytes.
#define IITCALC_PRINTABLE_ROW(Row)                                                                                     \
    inline void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }
