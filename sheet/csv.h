#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::sheet {

// One record of a sheet: the texts of its cells, quotes taken away.
struct Record {
    std::vector<std::string_view> cells;
    // For each cell, whether it came unquoted with no quote in it, and so
    // can be written again as it is whatever the delimiter it came with.
    std::vector<std::uint8_t> plain;
    bool unterminatedQuote = false; // the input ended inside a quoted cell
    bool tooLong = false;           // its cells held more than kMaxRecordBytes; the rest is dropped
};

// Records of delimiter-separated text as RFC 4180 has them, read a piece
// at a time: a cell in double quotes may hold the delimiter, line breaks
// (kept as they are) and quotes written twice. Outside quotes a CR LF, an LF
// and a lone CR each end a record. Text after a closing quote belongs to the
// cell ("ab"c reads abc); a quote inside an unquoted cell is text. An empty
// line is a record of one empty cell; the end of the input ends the last
// record and never makes an empty one. "a,\"b,\"\"c\"\"\"\r\n" gives one
// record: a and b,"c.
class CsvReader {
public:
    static constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;
    using OnRecord = std::function<void(const Record &)>;

    explicit CsvReader(char delimiter);

    // Reads a piece of UTF-8 text; calls onRecord for each record it ends.
    // The record's views last until onRecord returns.
    void read(std::string_view text, const OnRecord &onRecord);
    // The end of the input: the last record, if it has begun.
    void finish(const OnRecord &onRecord);

private:
    enum class State : std::uint8_t { CellStart, Unquoted, Quoted, QuoteInQuoted, AfterCarriageReturn };

    void append(const char *begin, const char *end);
    void endCell();
    void endRecord(const OnRecord &onRecord);

    char m_delimiter;
    std::array<bool, 256> m_stopsUnquoted{}; // the delimiter, CR, LF and the quote
    State m_state = State::CellStart;
    bool m_recordBegun = false;
    std::string m_text;                  // the record's cells, one after another
    std::vector<std::size_t> m_cellEnds; // where each ends in m_text
    std::vector<std::uint8_t> m_cellsPlain;
    bool m_cellPlain = true;
    Record m_record;
};

// The delimiter a header line uses: of the comma, the semicolon and the tab,
// the one that stands most often outside quotes before the first line end
// (the comma when none does, or on a tie with it; then the semicolon).
// "姓名;工号;\"A,B\"" gives ';'.
char detectDelimiter(std::string_view text);

// Appends `cell` to `out` as a CSV cell: in double quotes, quotes doubled,
// when it holds the delimiter, a quote, a CR or an LF; as it is otherwise.
void appendCell(std::string &out, std::string_view cell, char delimiter);

} // namespace iitcalc::sheet
