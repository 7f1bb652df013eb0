#include "window/web/sheet_drop.h"

#include "calc/separators.h"
#include "sheet/sheet.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <string>

// The page's script feeds a file in pieces: it asks for room for a piece,
// copies the bytes there, reads them, and takes the result written so far
// before the next piece, so that memory stays the size of a piece whatever
// the size of the file.

namespace {

struct PageSheet {
    iitcalc::sheet::SheetConverter converter{{}, iitcalc::systemSeparators()};
    std::string piece;
    std::string result;
    std::string problem;
    std::string notes;
};

// A converter that ran out of memory (or met anything else it could not
// handle) says so as a problem, as a header it cannot use does: the page
// then offers no result.
template <typename Step>
int guarded(PageSheet *sheet, Step step)
{
    try {
        if (step())
            return 1;
        sheet->problem = sheet->converter.problem();
    } catch (const std::exception &error) {
        sheet->result.clear();
        sheet->problem = std::string("无法计算：") + error.what();
    }
    return 0;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE PageSheet *iitcalc_sheet_open()
{
    try {
        return new PageSheet;
    } catch (const std::exception &) {
        return nullptr;
    }
}

EMSCRIPTEN_KEEPALIVE void iitcalc_sheet_close(PageSheet *sheet) { delete sheet; }

// Room for the next piece of `size` bytes; null when there is none.
EMSCRIPTEN_KEEPALIVE char *iitcalc_sheet_room(PageSheet *sheet, std::size_t size)
{
    try {
        sheet->piece.resize(size);
        return sheet->piece.data();
    } catch (const std::exception &) {
        return nullptr;
    }
}

// Reads the first `size` bytes of the room, replacing the result taken
// before; 0 when the sheet cannot be calculated (problem).
EMSCRIPTEN_KEEPALIVE int iitcalc_sheet_read(PageSheet *sheet, std::size_t size)
{
    sheet->result.clear();
    return guarded(
        sheet, [&] { return sheet->converter.read(std::string_view(sheet->piece).substr(0, size), sheet->result); });
}

EMSCRIPTEN_KEEPALIVE int iitcalc_sheet_finish(PageSheet *sheet)
{
    sheet->result.clear();
    return guarded(sheet, [&] { return sheet->converter.finish(sheet->result); });
}

EMSCRIPTEN_KEEPALIVE const char *iitcalc_sheet_result(PageSheet *sheet) { return sheet->result.data(); }
EMSCRIPTEN_KEEPALIVE std::size_t iitcalc_sheet_result_size(PageSheet *sheet) { return sheet->result.size(); }

// What the summary counts, by number: 0 the rows calculated, 1 those that
// failed; 10 and on the first rows that failed, as a spreadsheet numbers
// them, 0 past the last. A double holds every count a file could reach.
EMSCRIPTEN_KEEPALIVE double iitcalc_sheet_count(PageSheet *sheet, int which)
{
    const iitcalc::sheet::SheetSummary &summary = sheet->converter.summary();
    switch (which) {
    case 0:
        return static_cast<double>(summary.calculated);
    case 1:
        return static_cast<double>(summary.failed);
    default:
        break;
    }
    const auto row = static_cast<std::size_t>(which - 10);
    return which >= 10 && row < summary.firstFailedRows.size() ? static_cast<double>(summary.firstFailedRows[row]) : 0;
}

// UTF-8, NUL-terminated: why the sheet cannot be calculated ("" while it
// can), and the notes on its result, one a line.
EMSCRIPTEN_KEEPALIVE const char *iitcalc_sheet_problem(PageSheet *sheet) { return sheet->problem.c_str(); }

EMSCRIPTEN_KEEPALIVE const char *iitcalc_sheet_notes(PageSheet *sheet)
{
    sheet->notes.clear();
    for (const std::string &note : sheet->converter.notes())
        sheet->notes.append(sheet->notes.empty() ? "" : "\n").append(note);
    return sheet->notes.c_str();
}

} // extern "C"

EM_JS(void, jsOfferSheetDrop, (), { Module['sheetDropOffer'](); });

namespace iitcalc::window {

void offerSheetDrop() { jsOfferSheetDrop(); }

} // namespace iitcalc::window
