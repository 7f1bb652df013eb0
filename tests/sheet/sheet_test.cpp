// Payroll sheets in, their results out: what a clerk gets for each kind of
// sheet and each kind of bad cell.
#include "sheet/sheet.h"
#include "tests/support/row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace iitcalc::sheet {
namespace {

constexpr Separators kChina{u'.', u',', {3}};
constexpr Separators kGermany{u',', u'.', {3}};

struct SheetRow {
    const char *name;
    std::string in;
    std::string out; // without the byte-order mark; "" when the sheet is refused
    std::string problem = "";
    SheetOptions options = {};
    Separators separators = kChina;
    SheetSummary summary = {};
    std::vector<std::string> notes = {};
};
IITCALC_PRINTABLE_ROW(SheetRow)

const std::string kHeader = "姓名,应发工资,五险一金";
const std::string kAdded = ",税基,应缴税额,出错原因\r\n";
const std::string kNoIncome =
    "表头中没有个人收入列（认得的列名：个人收入、应发工资、应发合计、应发金额、税前工资、税前收入）；表头的列：";

const std::string kNoInsurance = "表头中没有五险一金列，五险一金按 0 计算（可用 --insurance=列名或列号 指明）";

SheetOptions withIncome(std::string column)
{
    SheetOptions options;
    options.income = std::move(column);
    return options;
}

// clang-format off
const SheetRow kSheetRows[] = {
    {"example", kHeader + "\r\n张三,10000,1000\r\n", kHeader + kAdded + "张三,10000,1000,5500,545,\r\n", "", {}, kChina,
     {1, 0, 0, {}}},
    {"grouped_amounts_read_whole", kHeader + "\n张三,\"12,345.67\",\"1,234.50\"\n",
     kHeader + kAdded + "张三,\"12,345.67\",\"1,234.50\",7611.17,967.234,\r\n", "", {}, kChina, {1, 0, 0, {}}},
    {"currency_and_units", kHeader + ",个税起征点\n甲,¥10000,￥ 1000 元,3500元\n乙,-¥100,0,\n",
     kHeader + ",个税起征点" + kAdded + "甲,¥10000,￥ 1000 元,3500元,5500,545,\r\n乙,-¥100,0,,-3600,0,\r\n", "", {},
     kChina, {2, 0, 0, {}}},
    {"empty_amounts", kHeader + ",起征点\n甲,,,\n", kHeader + ",起征点" + kAdded + "甲,,,,-3500,0,\r\n", "", {}, kChina,
     {1, 0, 0, {}}},
    {"semicolons_under_a_comma_locale", "Name;应发工资(元);五险一金\r\nA;12.345,67;1.234,50\r\n",
     "Name;应发工资(元);五险一金;税基;应缴税额;出错原因\r\nA;12.345,67;1.234,50;7611,17;967,234;\r\n", "", {},
     kGermany, {1, 0, 0, {}}},
    {"decimal_comma_results_quoted", "应发工资,五险一金\n\"5000,5\",0\n",
     "应发工资,五险一金" + kAdded + "\"5000,5\",0,\"1500,5\",\"45,05\",\r\n", "", {}, kGermany, {1, 0, 0, {}}},
    {"bad_cells_fail_their_rows",
     kHeader + "\n甲,abc,0\n乙,\"1,0000\",0\n丙,10000,1E400\n丁,1E308,-1E308\n戊,10000,1000\n",
     kHeader + kAdded + "甲,abc,0,,,“应发工资”列不是金额\r\n乙,\"1,0000\",0,,,“应发工资”列不是金额\r\n"
     "丙,10000,1E400,,,“五险一金”列超出数值范围\r\n丁,1E308,-1E308,,,运行时错误 6：溢出\r\n"
     "戊,10000,1000,5500,545,\r\n", "", {}, kChina, {1, 4, 0, {2, 3, 4, 5}}},
    {"cell_counts_and_blank_rows", kHeader + "\n甲,10000\n,,\n\n乙,10000,1000,x\n",
     kHeader + kAdded + "甲,10000,,,,这一行有 2 个单元格，表头有 3 个\r\n,,,,,\r\n,,,,,\r\n"
     "乙,10000,1000,x,,,这一行有 4 个单元格，表头有 3 个\r\n", "", {}, kChina, {0, 2, 2, {2, 5}}},
    {"cells_kept_and_quoted_again", kHeader + "\n\"王\"\"五\"\"\r\n(兼)\",10000,1000\n赵\"六\",10000,1000\n",
     kHeader + kAdded + "\"王\"\"五\"\"\r\n(兼)\",10000,1000,5500,545,\r\n\"赵\"\"六\"\"\",10000,1000,5500,545,\r\n", "", {},
     kChina, {2, 0, 0, {}}},
    {"unterminated_quote", kHeader + "\n甲,10000,\"1000\n",
     kHeader + kAdded + "甲,10000,\"1000\n\",,,引号没有闭合：从这里到文件末尾都在一个单元格里\r\n", "", {}, kChina,
     {0, 1, 0, {2}}},
    {"undecodable_bytes", "\xD0\xD5\xC3\xFB,\xD3\xA6\xB7\xA2\xB9\xA4\xD7\xCA\n\xFF,10000\n",
     "姓名,应发工资" + kAdded + "\xEF\xBF\xBD,10000,,,含有无法按 GB18030 读出的字节（可用 --encoding= 指明编码）\r\n", "",
     {}, kChina, {0, 1, 0, {2}}, {kNoInsurance}},
    // However the sheet came in pieces: the decoder's count of what it
    // replaced so far must not decide it.
    {"replacement_character_fails_its_row", "应发工资,姓名\n10000,\xEF\xBF\xBD\n",
     "应发工资,姓名" + kAdded + "10000,\xEF\xBF\xBD,,,含有无法按 UTF-8 读出的字节（可用 --encoding= 指明编码）\r\n", "", {}, kChina,
     {0, 1, 0, {2}}, {kNoInsurance}},
    {"column_by_number", "a,b\n10000,1000\n", "a,b" + kAdded + "10000,1000,6500,745,\r\n", "", withIncome("1"),
     kChina, {1, 0, 0, {}}, {kNoInsurance}},
    {"column_by_heading_blanks_aside", "a, 工资 \n10000,1000\n", "a, 工资 " + kAdded + "10000,1000,-2500,0,\r\n", "",
     withIncome("工资"), kChina, {1, 0, 0, {}},
     {kNoInsurance}},
    {"no_income_column", "姓名,工号\n张三,1\n", "", kNoIncome + "1 姓名、2 工号；请用 --income=列名或列号 指明，五险一金与起征点列同样可用 --insurance=、--threshold= 指明"},
    {"unknown_column", "a,b\n1,2\n", "", "--income=“c”既不是表头中的列名，也不是 1 到 2 的列号；表头的列：1 a、2 b", withIncome("c")},
    {"column_number_past_the_end", "a,b\n1,2\n", "", "--income=“3”既不是表头中的列名，也不是 1 到 2 的列号；表头的列：1 a、2 b", withIncome("3")},
    {"two_income_columns", "个人收入,应发工资\n1,2\n", "", "表头中有多列可作个人收入（个人收入、应发工资）；请用 --income=列名或列号 指明用哪一列"},
    {"empty_input", "", "", "输入是空的：工资表的第一行应是表头"},
};
// clang-format on

class Sheet : public testing::TestWithParam<SheetRow> {};

TEST_P(Sheet, GivesTheSheetBackWithItsTaxes)
{
    const SheetRow &row = GetParam();
    SheetConverter converter(row.options, row.separators);
    std::string out;
    const bool usable = converter.read(row.in, out) && converter.finish(out);
    EXPECT_EQ(usable, row.problem.empty());
    EXPECT_EQ(converter.problem(), row.problem);
    EXPECT_EQ(out, row.out.empty() ? "" : "\xEF\xBB\xBF" + row.out);
    EXPECT_EQ(converter.summary().calculated, row.summary.calculated);
    EXPECT_EQ(converter.summary().failed, row.summary.failed);
    EXPECT_EQ(converter.summary().blank, row.summary.blank);
    EXPECT_EQ(converter.summary().firstFailedRows, row.summary.firstFailedRows);
    if (row.problem.empty()) {
        EXPECT_EQ(converter.notes(), row.notes);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Sheet, testing::ValuesIn(kSheetRows), testing_support::RowName());

// The same sheet in pieces of every size gives the same bytes.
TEST(Sheet, PiecesOfAnySizeGiveTheSameResult)
{
    const std::string in = "\xEF\xBB\xBF" + kHeader + "\r\n\"张三\",\"12,345.67\",1000\r\n李四,10000,\"1,000\"\r\n";
    std::string whole;
    {
        SheetConverter converter({}, kChina);
        ASSERT_TRUE(converter.read(in, whole) && converter.finish(whole));
    }
    for (std::size_t piece = 1; piece < 8; ++piece) {
        SheetConverter converter({}, kChina);
        std::string out;
        for (std::size_t at = 0; at < in.size(); at += piece)
            ASSERT_TRUE(converter.read(std::string_view(in).substr(at, piece), out));
        ASSERT_TRUE(converter.finish(out));
        EXPECT_EQ(out, whole) << "pieces of " << piece;
    }
}

} // namespace
} // namespace iitcalc::sheet
