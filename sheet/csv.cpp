#include "sheet/csv.h"

#include <algorithm>
#include <array>

namespace iitcalc::sheet {

namespace {

std::size_t byteIndex(char c) { return static_cast<unsigned char>(c); }

} // namespace

CsvReader::CsvReader(char delimiter)
    : m_delimiter(delimiter)
{
    for (const char c : {delimiter, '\r', '\n', '"'})
        m_stopsUnquoted[byteIndex(c)] = true;
}

void CsvReader::append(const char *begin, const char *end)
{
    const auto size = static_cast<std::size_t>(end - begin);
    if (m_text.size() + size > kMaxRecordBytes) {
        m_record.tooLong = true;
        return;
    }
    m_text.append(begin, size);
}

void CsvReader::endCell()
{
    m_cellEnds.push_back(m_text.size());
    m_cellsPlain.push_back(m_cellPlain);
    m_cellPlain = true;
    m_state = State::CellStart;
}

void CsvReader::endRecord(const OnRecord &onRecord)
{
    endCell();
    m_record.cells.clear();
    std::size_t start = 0;
    for (const std::size_t end : m_cellEnds) {
        m_record.cells.emplace_back(m_text.data() + start, end - start);
        start = end;
    }
    m_record.plain.swap(m_cellsPlain);
    onRecord(m_record);
    m_text.clear();
    m_cellEnds.clear();
    m_cellsPlain.clear();
    m_record.unterminatedQuote = false;
    m_record.tooLong = false;
    m_recordBegun = false;
}

void CsvReader::read(std::string_view text, const OnRecord &onRecord)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    const char delimiter = m_delimiter;
    while (p < end) {
        const char c = *p;
        switch (m_state) {
        case State::AfterCarriageReturn:
            m_state = State::CellStart;
            if (c == '\n') {
                ++p;
                break;
            }
            [[fallthrough]];
        case State::CellStart:
            m_recordBegun = true;
            if (c == '"') {
                m_state = State::Quoted;
                m_cellPlain = false;
                ++p;
                break;
            }
            m_state = State::Unquoted;
            [[fallthrough]];
        case State::Unquoted: {
            const char *const start = p;
            // Looked up rather than compared four times; a quote here is
            // text, which only makes the cell need quotes when written.
            for (;;) {
                while (p < end && !m_stopsUnquoted[byteIndex(*p)])
                    ++p;
                if (p == end || *p != '"')
                    break;
                m_cellPlain = false;
                ++p;
            }
            append(start, p);
            if (p == end)
                break;
            if (*p == delimiter) {
                endCell();
            } else {
                endRecord(onRecord);
                m_state = *p == '\r' ? State::AfterCarriageReturn : State::CellStart;
            }
            ++p;
            break;
        }
        case State::Quoted: {
            const char *const start = p;
            while (p < end && *p != '"')
                ++p;
            append(start, p);
            if (p == end)
                break;
            m_state = State::QuoteInQuoted;
            ++p;
            break;
        }
        case State::QuoteInQuoted:
            if (c == '"') {
                append(p, p + 1);
                m_state = State::Quoted;
                ++p;
            } else {
                // The cell's closing quote; what follows up to the
                // delimiter is read as unquoted text.
                m_state = State::Unquoted;
            }
            break;
        }
    }
}

void CsvReader::finish(const OnRecord &onRecord)
{
    if (!m_recordBegun)
        return;
    m_record.unterminatedQuote = m_state == State::Quoted;
    endRecord(onRecord);
    m_state = State::CellStart;
}

char detectDelimiter(std::string_view text)
{
    constexpr std::array<char, 3> kCandidates{',', ';', '\t'};
    std::array<std::size_t, 3> counts{};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == '\n' || c == '\r')
                break;
            for (std::size_t i = 0; i < kCandidates.size(); ++i)
                counts[i] += c == kCandidates[i];
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < kCandidates.size(); ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return kCandidates[best];
}

void appendCell(std::string &out, std::string_view cell, char delimiter)
{
    // One look-up a byte, the common case being nothing to quote.
    thread_local char tableDelimiter = 0;
    thread_local std::array<bool, 256> needsQuotes{};
    if (tableDelimiter != delimiter || !needsQuotes[byteIndex('"')]) {
        needsQuotes.fill(false);
        for (const char c : {delimiter, '"', '\r', '\n'})
            needsQuotes[byteIndex(c)] = true;
        tableDelimiter = delimiter;
    }
    if (std::none_of(cell.begin(), cell.end(), [](char c) { return needsQuotes[byteIndex(c)]; })) {
        out.append(cell);
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace iitcalc::sheet
