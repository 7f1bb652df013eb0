#include "sheet/sheet.h"

#include "calc/numeric_text.h"
#include "calc/tax.h"

#include <algorithm>

namespace iitcalc::sheet {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kFailedRowsKept = 10;

// Blanks a spreadsheet or a typist leaves around an amount or a heading:
// space, tab, no-break space, ideographic space.
std::string_view trimmed(std::string_view text)
{
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t'))
            text.remove_prefix(1);
        else if (text.starts_with("\xC2\xA0"))
            text.remove_prefix(2);
        else if (text.starts_with("\xE3\x80\x80"))
            text.remove_prefix(3);
        else if (text.ends_with(' ') || text.ends_with('\t'))
            text.remove_suffix(1);
        else if (text.ends_with("\xC2\xA0"))
            text.remove_suffix(2);
        else if (text.ends_with("\xE3\x80\x80"))
            text.remove_suffix(3);
        else
            return text;
    }
}

bool removePrefix(std::string_view &text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool removeSuffix(std::string_view &text, std::string_view suffix)
{
    if (!text.ends_with(suffix))
        return false;
    text.remove_suffix(suffix.size());
    return true;
}

// A heading as the usual headings are compared with it.
std::string_view headingKey(std::string_view heading)
{
    heading = trimmed(heading);
    if (!removeSuffix(heading, "(元)"))
        removeSuffix(heading, "（元）");
    return trimmed(heading);
}

// An amount cell: its value, `empty` for an empty one, or the error of the
// strict conversion. "¥1,000", "-¥1,000", "￥ 1,000 元" and "1,000元" read
// 1000 where ',' groups.
Result<double> readAmount(std::string_view cell, double empty, Separators separators, std::string &scratch)
{
    const std::string_view text = trimmed(cell);
    if (text.empty())
        return empty;
    std::string_view sign;
    for (const std::string_view candidate : {"-", "+", "\xEF\xBC\x8D", "\xEF\xBC\x8B"}) {
        if (text.starts_with(candidate))
            sign = candidate;
    }
    std::string_view rest = trimmed(text.substr(sign.size()));
    const bool currency = removePrefix(rest, "\xC2\xA5") || removePrefix(rest, "\xEF\xBF\xA5");
    const bool unit = removeSuffix(rest, "元");
    if (!currency && !unit)
        return convertStrict(text, separators);
    scratch.assign(sign).append(trimmed(rest));
    return convertStrict(scratch, separators);
}

std::string listOfHeadings(std::span<const std::string> headings)
{
    std::string list;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0)
            list += "、";
        list.append(std::to_string(i + 1)).append(" ").append(headings[i]);
    }
    return list;
}

} // namespace

SheetConverter::SheetConverter(SheetOptions options, Separators separators)
    : m_options(std::move(options))
    , m_separators(separators)
    , m_decoder(m_options.encoding)
    , m_onRecord([this](const Record &record) {
        if (!m_headerRead)
            header(record);
        else if (m_problem.empty())
            row(record);
    })
{
}

bool SheetConverter::read(std::string_view bytes, std::string &out)
{
    if (!m_problem.empty())
        return false;
    m_out = &out;
    m_decoder.decode(bytes, m_decoded);
    readText(m_decoded, false);
    return m_problem.empty();
}

bool SheetConverter::finish(std::string &out)
{
    if (!m_problem.empty())
        return false;
    m_out = &out;
    m_decoder.finish(m_decoded);
    readText(m_decoded, true);
    if (m_problem.empty())
        m_reader->finish(m_onRecord);
    if (m_problem.empty() && !m_headerRead)
        m_problem = "输入是空的：工资表的第一行应是表头";
    return m_problem.empty();
}

void SheetConverter::readText(std::string_view text, bool final)
{
    if (!m_reader) {
        // The delimiter comes from the header line: wait for all of it.
        bool quoted = false;
        const auto lineEnd = std::find_if(text.begin(), text.end(), [&quoted](char c) {
            quoted ^= c == '"';
            return !quoted && (c == '\n' || c == '\r');
        });
        if (lineEnd == text.end() && !final && text.size() < CsvReader::kMaxRecordBytes)
            return;
        m_delimiter = m_options.delimiter != 0 ? m_options.delimiter : detectDelimiter(text);
        m_reader.emplace(m_delimiter);
    }
    m_reader->read(text, m_onRecord);
    m_decoded.clear();
}

std::optional<std::size_t> SheetConverter::column(std::string_view option, const std::string &optionName,
                                                  std::span<const std::string_view> headings, std::string_view role)
{
    if (!option.empty()) {
        for (std::size_t i = 0; i < m_headings.size(); ++i) {
            if (trimmed(m_headings[i]) == trimmed(option))
                return i;
        }
        const bool digits = std::all_of(option.begin(), option.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits && option.size() <= 6) {
            const auto number = static_cast<std::size_t>(std::stoul(std::string(option)));
            if (number >= 1 && number <= m_headings.size())
                return number - 1;
        }
        m_problem = optionName + "“" + std::string(option) + "”既不是表头中的列名，也不是 1 到 " +
                    std::to_string(m_headings.size()) + " 的列号；表头的列：" + listOfHeadings(m_headings);
        return std::nullopt;
    }
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < m_headings.size(); ++i) {
        if (std::find(headings.begin(), headings.end(), headingKey(m_headings[i])) != headings.end())
            found.push_back(i);
    }
    if (found.size() > 1) {
        std::string names;
        for (const std::size_t i : found)
            names.append(names.empty() ? "" : "、").append(m_headings[i]);
        m_problem = "表头中有多列可作" + std::string(role) + "（" + names + "）；请用 " + optionName +
                    "列名或列号 指明用哪一列";
        return std::nullopt;
    }
    if (found.empty())
        return std::nullopt;
    return found.front();
}

void SheetConverter::header(const Record &record)
{
    m_headerRead = true;
    m_headings.assign(record.cells.begin(), record.cells.end());
    m_income = column(m_options.income, "--income=", kIncomeHeadings, "个人收入");
    if (!m_problem.empty())
        return;
    if (!m_income) {
        std::string known;
        for (const std::string_view heading : kIncomeHeadings)
            known.append(known.empty() ? "" : "、").append(heading);
        m_problem = "表头中没有个人收入列（认得的列名：" + known + "）；表头的列：" + listOfHeadings(m_headings) +
                    "；请用 --income=列名或列号 指明，五险一金与起征点列同样可用 --insurance=、--threshold= 指明";
        return;
    }
    m_insurance = column(m_options.insurance, "--insurance=", kInsuranceHeadings, "五险一金之和");
    if (!m_problem.empty())
        return;
    m_threshold = column(m_options.threshold, "--threshold=", kThresholdHeadings, "个税起征点");
    if (!m_problem.empty())
        return;
    if (!m_insurance)
        m_notes.emplace_back("表头中没有五险一金列，五险一金按 0 计算（可用 --insurance=列名或列号 指明）");

    std::string &out = *m_out;
    out += kByteOrderMark;
    for (const std::string_view cell : record.cells) {
        appendCell(out, cell, m_delimiter);
        out += m_delimiter;
    }
    out.append(kAddedHeadings[0]).append(1, m_delimiter).append(kAddedHeadings[1]);
    out.append(1, m_delimiter).append(kAddedHeadings[2]).append(kLineEnd);
}

void SheetConverter::row(const Record &record)
{
    ++m_row;
    std::string &out = *m_out;
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        if (record.plain[i] != 0)
            out.append(record.cells[i]);
        else
            appendCell(out, record.cells[i], m_delimiter);
        out += m_delimiter;
    }
    for (std::size_t i = record.cells.size(); i < m_headings.size(); ++i)
        out += m_delimiter;

    const bool blank =
        !record.tooLong && !record.unterminatedQuote &&
        std::all_of(record.cells.begin(), record.cells.end(), [](std::string_view c) { return c.empty(); });
    if (blank) {
        ++m_summary.blank;
        out.append(1, m_delimiter).append(1, m_delimiter).append(kLineEnd);
        return;
    }
    readAmounts(record, out);
    out += kLineEnd;
}

// Appends the row's tax base, tax payable and why it failed, delimited.
void SheetConverter::readAmounts(const Record &record, std::string &out)
{
    std::string why;
    const auto failed = [&](std::string reason) {
        ++m_summary.failed;
        if (m_summary.firstFailedRows.size() < kFailedRowsKept)
            m_summary.firstFailedRows.push_back(m_row);
        out.append(1, m_delimiter).append(1, m_delimiter);
        appendCell(out, reason, m_delimiter);
    };
    if (record.tooLong)
        return failed("这一行超过 1 MiB，未计算");
    if (record.unterminatedQuote)
        return failed("引号没有闭合：从这里到文件末尾都在一个单元格里");
    if (record.cells.size() != m_headings.size()) {
        return failed("这一行有 " + std::to_string(record.cells.size()) + " 个单元格，表头有 " +
                      std::to_string(m_headings.size()) + " 个");
    }
    // Any U+FFFD, not only those the decoder has written so far: how far it
    // has read ahead depends on the pieces the sheet came in.
    for (const std::string_view cell : record.cells) {
        if (cell.find("\xEF\xBF\xBD") != std::string_view::npos)
            return failed("含有无法按 " + std::string(encodingName(m_decoder.encoding())) +
                          " 读出的字节（可用 --encoding= 指明编码）");
    }

    std::string scratch;
    double amounts[3] = {0, 0, kStandardThreshold};
    const std::optional<std::size_t> columns[3] = {m_income, m_insurance, m_threshold};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!columns[i])
            continue;
        const Result<double> amount = readAmount(record.cells[*columns[i]], amounts[i], m_separators, scratch);
        if (!amount) {
            return failed("“" + m_headings[*columns[i]] + "”列" +
                          (amount.error() == RunTimeError::Overflow ? "超出数值范围" : "不是金额"));
        }
        amounts[i] = *amount;
    }
    const Result<Utf8TaxAssessment> result = calculateAmounts(amounts[0], amounts[1], amounts[2], m_separators);
    if (!result)
        return failed(errorReport(result.error()));
    ++m_summary.calculated;
    // A number holds no quote or line break, and the delimiter only where
    // it is the decimal separator too.
    if (m_separators.decimal == static_cast<unsigned char>(m_delimiter)) {
        appendCell(out, result->taxBaseText.view(), m_delimiter);
        out += m_delimiter;
        appendCell(out, result->shownTaxPayable().view(), m_delimiter);
    } else {
        out.append(result->taxBaseText.view()).append(1, m_delimiter).append(result->shownTaxPayable().view());
    }
    out += m_delimiter;
}

} // namespace iitcalc::sheet
