#pragma once

#include "calc/separators.h"
#include "calc/tax.h"
#include "sheet/csv.h"
#include "sheet/text_decoder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iitcalc::sheet {

// How a sheet is read. A column is a header's text, blanks around it aside,
// or a column number from 1; empty, the column headed by one of the usual
// headings (kIncomeHeadings and the others).
struct SheetOptions {
    std::string income;
    std::string insurance;
    std::string threshold;
    char delimiter = 0; // 0: the header line's (detectDelimiter)
    Encoding encoding = Encoding::Detect;
};

// The headings found without an option, a trailing "(元)" or "（元）" aside.
inline constexpr std::array<std::string_view, 6> kIncomeHeadings{"个人收入", "应发工资", "应发合计",
                                                                 "应发金额", "税前工资", "税前收入"};
inline constexpr std::array<std::string_view, 3> kInsuranceHeadings{"五险一金之和", "五险一金", "五险一金合计"};
inline constexpr std::array<std::string_view, 4> kThresholdHeadings{"个税起征点", "起征点", "减除费用", "费用扣除标准"};

// The three columns a result adds to every row.
inline constexpr std::array<std::string_view, 3> kAddedHeadings{"税基", "应缴税额", "出错原因"};

struct SheetSummary {
    std::uint64_t calculated = 0;
    std::uint64_t failed = 0;
    std::uint64_t blank = 0; // rows of empty cells, passed through, not calculated
    // The first failed rows as a spreadsheet numbers them (the header is
    // row 1, a row with line breaks in a cell still one), at most 10.
    std::vector<std::uint64_t> firstFailedRows;
};

// A payroll sheet in, its result out, a piece at a time in constant memory.
// The bytes are decoded as TextDecoder does; the first record is the header.
// The result is UTF-8 with a byte-order mark and CR LF line ends, in the
// sheet's delimiter: the header and every row with all their cells as they
// came (quoted again where they need it; a short row filled up with empty
// cells), then 税基, 应缴税额 and 出错原因. Each cell is an amount: blanks
// around it, "¥" or "￥" before it (a sign may stand before that) and "元"
// after it allowed, the rest read by the strict conversion in `separators`
// ("¥12,345.67" reads 12345.67 where ',' groups); an empty income or
// insurance is 0, an empty threshold 3500. A row whose cells are all empty
// is passed through with empty results. Any other row that cannot be
// calculated — a cell that is not an amount, more or fewer cells than the
// header, bytes that are not text, a quote never closed, a record over
// 1 MiB, an overflow — gets empty results and says why; it never stops the
// sheet.
class SheetConverter {
public:
    SheetConverter(SheetOptions options, Separators separators);
    SheetConverter(const SheetConverter &) = delete;
    SheetConverter &operator=(const SheetConverter &) = delete;

    // Reads a piece of the sheet and appends what it completes of the result
    // to `out`. False once the header showed the sheet cannot be read as
    // asked (no income column, an unknown column, an empty input):
    // problem() says so in one line, and nothing more is written.
    bool read(std::string_view bytes, std::string &out);
    // The end of the input.
    bool finish(std::string &out);

    const std::string &problem() const { return m_problem; }
    // What the result should be read with: a sheet with no insurance column,
    // which counts 0 for it.
    const std::vector<std::string> &notes() const { return m_notes; }
    const SheetSummary &summary() const { return m_summary; }
    Encoding encoding() const { return m_decoder.encoding(); }

private:
    void readText(std::string_view text, bool final);
    void header(const Record &record);
    void row(const Record &record);
    std::optional<std::size_t> column(std::string_view option, const std::string &optionName,
                                      std::span<const std::string_view> headings, std::string_view role);
    void readAmounts(const Record &record, std::string &result);

    SheetOptions m_options;
    Separators m_separators;
    TextDecoder m_decoder;
    std::optional<CsvReader> m_reader;
    CsvReader::OnRecord m_onRecord;
    std::string m_decoded;
    std::string *m_out = nullptr;
    char m_delimiter = ',';
    bool m_headerRead = false;
    std::vector<std::string> m_headings;
    std::optional<std::size_t> m_income;
    std::optional<std::size_t> m_insurance;
    std::optional<std::size_t> m_threshold;
    std::uint64_t m_row = 1;
    std::string m_problem;
    std::vector<std::string> m_notes;
    SheetSummary m_summary;
};

} // namespace iitcalc::sheet
