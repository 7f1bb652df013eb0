#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace iitcalc::testing_support {

// Names each row of a table-driven test after its `name` member, so a
// failure says which row it was. Names that are not plain identifiers
// (controls' Chinese names) become row_N; the row still prints by name.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row> &row) const
    {
        const std::string name = row.param.name;
        const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        });
        return plain ? name : "row_" + std::to_string(row.index);
    }
};

} // namespace iitcalc::testing_support

// Lets GoogleTest print a row by its name instead of its bytes.
#define IITCALC_PRINTABLE_ROW(Row)                                                                                     \
    inline void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }
