// The spreadsheet layer where the printed form does not reach it: the last row a grid may fill,
// and how typed texts become numbers under the regional settings. The workbook a printout gets,
// merging and closing after a failed write are tested with the printed form.

#include "core/Messages.h"
#include "support/ExcelFixture.h"

using namespace kvor;
using namespace kvor::test;

namespace {

// --- where the grid lands ----------------------------------------------------------------------

struct PlacementCase
{
    const char* name;
    int rows; // of the grid, 7 columns wide
    short row;
    const char* failure; // the description after "Грешка", or nullptr
};

class ArrayToRangeCases : public ExcelTest, public ::testing::WithParamInterface<PlacementCase>
{
};

QString cellText(int r, int c)
{
    return QStringLiteral("к%1-%2").arg(r).arg(c);
}

TEST_P(ArrayToRangeCases, FillsExactlyTheBlockOrSaysWhyNot)
{
    const auto& p = GetParam();
    GetExcel();
    GetWorkbook();
    TextTable grid(p.rows, 7);
    for (int r = 0; r < p.rows; ++r) {
        for (int c = 0; c < 7; ++c) {
            grid.setTextMatrix(r, c, cellText(r, c));
        }
    }
    xl::VariantArray arr;
    GridToArray(arr, grid);
    const bool written = ArrayToRange(2, p.row, 1, arr);

    const xl::Worksheet& sheet = *Excel().xlSheet;
    if (p.failure) {
        EXPECT_FALSE(written);
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(str(fake.messages[0].text), std::string("Грешка\r\n") + p.failure);
        EXPECT_TRUE(fake.messages[0].title.isEmpty()); // the program's own title
        EXPECT_EQ(fake.messages[0].icon, MsgIcon::None);
        EXPECT_TRUE(sheet.cells().empty());
        return;
    }
    EXPECT_TRUE(written);
    EXPECT_TRUE(fake.messages.isEmpty());
    const xl::Area filled{p.row, 1, p.row + p.rows - 1, 7};
    int count = 0;
    for (const auto& [pos, cell] : sheet.cells()) {
        const auto [r, c] = pos;
        ASSERT_TRUE(filled.contains(r, c)) << r << "," << c;
        EXPECT_EQ(str(cell.Value.toString()), str(cellText(r - p.row, c - 1)));
        ++count;
    }
    EXPECT_EQ(count, p.rows * 7);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArrayToRangeCases,
                         ::testing::Values(PlacementCase{"grid_at_A4", 30, 4, nullptr},
                                           PlacementCase{"last_row_32767", 3, 32765, nullptr},
                                           PlacementCase{"past_row_32767_overflows", 3, 32766,
                                                         "Препълване"},
                                           PlacementCase{"row_zero_is_outside_the_sheet", 2, 0,
                                                         "Клетката е извън листа"}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- texts that become numbers ---------------------------------------------------------------

struct ValueCase
{
    const char* name;
    bool bulgarian;
    const char* text;
    std::optional<double> number; // nullopt: stays a text (or empties the cell when "")
};

class ValueCases : public ExcelTest, public ::testing::WithParamInterface<ValueCase>
{
};

TEST_P(ValueCases, NumbersAsTypedUnderTheRegionalSettings)
{
    const auto& p = GetParam();
    if (!p.bulgarian) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    GetExcel();
    GetWorkbook();
    xl::Range cell = Excel().xlSheet->Cells(2, 2);
    const QString text = QString::fromUtf8(p.text);
    cell.setValue(QVariant(text));
    const QVariant v = cell.Value();
    if (p.number) {
        ASSERT_EQ(v.typeId(), QMetaType::Double) << p.text;
        EXPECT_DOUBLE_EQ(v.toDouble(), *p.number);
    } else if (text.isEmpty()) {
        EXPECT_FALSE(v.isValid());
    } else {
        ASSERT_EQ(v.typeId(), QMetaType::QString);
        EXPECT_EQ(str(v.toString()), p.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueCases,
    ::testing::Values(ValueCase{"grouped_with_blank", true, "1 234,50", 1234.5},
                      ValueCase{"leading_blank_of_even_rows", true, " 2 001,00", 2001},
                      ValueCase{"new_document_zero", true, " 0", 0},
                      ValueCase{"negative", true, "-12,25", -12.25},
                      ValueCase{"us_grouping", false, "1,234.50", 1234.5},
                      ValueCase{"code_text", true, "§ 82-11", {}},
                      ValueCase{"numbered_caption", true, "2.1. Дългосрочни банкови кредити", {}},
                      ValueCase{"empty_text_empties", true, "", {}},
                      ValueCase{"lone_blank_stays_text", true, " ", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
