// Bytes of every encoding a clerk's file comes in, decoded whole and a byte
// at a time: the two must agree.
#include "sheet/gb18030.h"
#include "sheet/text_decoder.h"
#include "tests/support/row_name.h"
#include "tests/support/text.h"

#include <gtest/gtest.h>

#include <string>

namespace iitcalc::sheet {
namespace {

struct DecoderRow {
    const char *name;
    std::string in;
    std::string out;
    Encoding decided;
    int replaced = 0;
    Encoding given = Encoding::Detect;
};
IITCALC_PRINTABLE_ROW(DecoderRow)

using testing_support::repeated;

const std::string kFffd = "\xEF\xBF\xBD";
const std::string kAscii(2000, 'a');
const std::string kTenE = repeated("é", 10);
const std::string kTenMao = repeated("茅", 10);

// clang-format off
const DecoderRow kDecoderRows[] = {
    {"ascii", "1,2\r\n", "1,2\r\n", Encoding::Utf8},
    {"empty", "", "", Encoding::Utf8},
    {"utf8", "中文,1", "中文,1", Encoding::Utf8},
    {"utf8_mark_dropped", "\xEF\xBB\xBF" "中", "中", Encoding::Utf8},
    {"utf8_every_leading_mark_dropped", "\xEF\xBB\xBF\xEF\xBB\xBF" "a\xEF\xBB\xBF", "a\xEF\xBB\xBF", Encoding::Utf8},
    {"utf8_malformed_after_the_window", kAscii + "中" + kAscii + "\xFF", kAscii + "中" + kAscii + kFffd,
     Encoding::Utf8, 1},
    {"utf8_surrogate_and_overlong_replaced", "中" + kAscii + "\xED\xA0\x80\xE0\x80\x80", "中" + kAscii + kFffd + kFffd,
     Encoding::Utf8, 2},
    {"utf8_replacement_in_the_text_is_text", "中\xEF\xBF\xBD", "中\xEF\xBF\xBD", Encoding::Utf8},
    {"utf8_cut_at_the_end", "中\xE6\x96", "中" + kFffd, Encoding::Utf8, 1},
    {"gb18030", "\xD6\xD0\xCE\xC4,1", "中文,1", Encoding::Gb18030},
    // Ten "é" read as UTF-8, then a byte that is not: GB18030's 茅 ten times.
    {"not_utf8_within_the_first_kib", kTenE + "\xD6\xD0", kTenMao + "中", Encoding::Gb18030},
    {"gb18030_after_a_long_ascii_start", kAscii + "\xD5\xC5\xC8\xFD", kAscii + "张三", Encoding::Gb18030},
    {"gb18030_four_bytes_supplementary", "\xD6\xD0\x95\x32\x82\x36", "中\xF0\xA0\x80\x80", Encoding::Gb18030},
    {"gbk_euro", "\xD6\xD0\x80", "中€", Encoding::Gb18030},
    {"gb18030_lead_without_trail", "\xD6\xD0\x81 1", "中" + kFffd + " 1", Encoding::Gb18030, 1},
    {"gb18030_ff", "\xD6\xD0\xFF", "中" + kFffd, Encoding::Gb18030, 1},
    {"gb18030_four_bytes_for_nothing", "\xD6\xD0\x84\x31\xA5\x30", "中" + kFffd, Encoding::Gb18030, 1},
    {"gb18030_cut_at_the_end", "\xD6\xD0\x81\x30", "中" + kFffd + "0", Encoding::Gb18030, 1},
    {"utf16le_marked", std::string("\xFF\xFE" "1\0,\0\x2D\x4E", 8), "1,中", Encoding::Utf16LittleEndian},
    {"utf16be_marked", std::string("\xFE\xFF\0" "1\x4E\x2D", 6), "1中", Encoding::Utf16BigEndian},
    {"utf16le_unmarked", std::string("1\0\t\0" "0\0\n\0", 8), "1\t0\n", Encoding::Utf16LittleEndian},
    {"utf16be_unmarked", std::string("\0" "1\0\t\0" "0", 6), "1\t0", Encoding::Utf16BigEndian},
    {"utf16_surrogates", std::string("\xFF\xFE\x3D\xD8\x00\xDE\x00\xD8" "1\0\x00\xDC", 12),
     "\xF0\x9F\x98\x80" + kFffd + "1" + kFffd, Encoding::Utf16LittleEndian, 2},
    {"utf16_odd_byte_at_the_end", std::string("\xFF\xFE" "1\0" "2", 5), "1" + kFffd, Encoding::Utf16LittleEndian, 1},
    {"given_utf8_on_gb18030", "\xD6\xD0", kFffd + kFffd, Encoding::Utf8, 2, Encoding::Utf8},
    {"given_gb18030_on_ascii", "1,2", "1,2", Encoding::Gb18030, 0, Encoding::Gb18030},
};
// clang-format on

class Decoder : public testing::TestWithParam<DecoderRow> {};

TEST_P(Decoder, DecodesWholeAndInPieces)
{
    const DecoderRow &row = GetParam();
    TextDecoder whole(row.given);
    std::string out;
    whole.decode(row.in, out);
    whole.finish(out);
    EXPECT_EQ(out, row.out);
    EXPECT_EQ(whole.encoding(), row.decided);
    EXPECT_EQ(whole.replaced(), static_cast<std::uint64_t>(row.replaced));

    TextDecoder pieces(row.given);
    std::string byByte;
    for (const char c : row.in)
        pieces.decode(std::string_view(&c, 1), byByte);
    pieces.finish(byByte);
    EXPECT_EQ(byByte, row.out);
}

INSTANTIATE_TEST_SUITE_P(Rows, Decoder, testing::ValuesIn(kDecoderRows), testing_support::RowName());

// The four-byte codes of the basic plane need GB18030's own table, which a
// Windows without code page 54936 (Wine) lacks: there they are U+FFFD and
// counted, never a wrong character.
TEST(Decoder, FourByteCodesOfTheBasicPlane)
{
    TextDecoder decoder(Encoding::Gb18030);
    std::string out;
    decoder.decode("\x81\x30\x84\x36\x81\x30\x81\x30", out);
    decoder.finish(out);
    if (hasWholeGb18030()) {
        EXPECT_EQ(out, "¥\xC2\x80");
        EXPECT_EQ(decoder.replaced(), 0u);
    } else {
        EXPECT_EQ(out, kFffd + kFffd);
        EXPECT_EQ(decoder.replaced(), 2u);
    }
}

TEST(EncodingNamed, TakesTheUsualSpellings)
{
    EXPECT_EQ(encodingNamed("UTF8"), Encoding::Utf8);
    EXPECT_EQ(encodingNamed("utf_16le"), Encoding::Utf16LittleEndian);
    EXPECT_EQ(encodingNamed("UTF-16BE"), Encoding::Utf16BigEndian);
    for (const char *gb : {"GBK", "gb2312", "CP936", "GB18030"})
        EXPECT_EQ(encodingNamed(gb), Encoding::Gb18030) << gb;
    EXPECT_EQ(encodingNamed("latin1"), std::nullopt);
    EXPECT_EQ(encodingNamed(""), std::nullopt);
}

} // namespace
} // namespace iitcalc::sheet
