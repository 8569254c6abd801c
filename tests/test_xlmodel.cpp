// The spreadsheet layer: which workbook and sheet a printout gets, where the grid lands, how
// typed texts become numbers, merging, and the messages of failed writes and closes.

#include "app/Messages.h"
#include "support/ExcelFixture.h"

using namespace kvor;
using namespace kvor::test;

namespace {

// --- which workbook a printout gets ----------------------------------------------------------

struct WorkbookCase
{
    const char* name;
    bool applicationRuns;
    bool usersWorkbook; // open in it, with data and an author of its own
};

class GetWorkbookCases : public ExcelTest, public ::testing::WithParamInterface<WorkbookCase>
{
};

// A second printout's sheet is tested with the printed form.
TEST_P(GetWorkbookCases, GivesAFreshActiveSheetInAWorkbookOfTheProgram)
{
    const auto& p = GetParam();
    std::shared_ptr<xl::Workbook> users;
    if (p.applicationRuns) {
        auto running = xl::Application::Create();
        if (p.usersWorkbook) {
            users = running->Workbooks().Add();
            users->BuiltinDocumentProperties(QStringLiteral("Author")).setValue(u"Иван Петров"_qs);
            users->Sheets(1)->Cells(1, 1).setValue(QVariant(u"моите данни"_qs));
        }
    }
    const size_t usersSheets = users ? users->sheets().size() : 0;
    const auto app = GetExcel();
    const auto book = GetWorkbook();

    ASSERT_TRUE(app && book);
    EXPECT_EQ(app->workbooks().size(), users ? 2u : 1u);
    EXPECT_NE(book, users);
    EXPECT_EQ(app->ActiveWorkbook(), book);
    EXPECT_EQ(str(book->BuiltinDocumentProperties(QStringLiteral("Author")).Value()), "NVAuthor");
    ASSERT_EQ(book->sheets().size(), 1u);
    EXPECT_EQ(str(book->sheets()[0]->Name()), "Лист1");
    EXPECT_EQ(book->ActiveSheet(), Excel().xlSheet);
    EXPECT_TRUE(Excel().xlSheet->cells().empty());
    if (users) {
        EXPECT_EQ(users->sheets().size(), usersSheets);
        EXPECT_EQ(str(users->property(QStringLiteral("Author"))), "Иван Петров");
        EXPECT_EQ(str(users->Sheets(1)->Cells(1, 1).Value().toString()), "моите данни");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GetWorkbookCases,
                         ::testing::Values(WorkbookCase{"no_application_running", false, false},
                                           WorkbookCase{"application_without_workbooks", true,
                                                        false},
                                           WorkbookCase{"users_workbook_left_alone", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- where the grid lands ----------------------------------------------------------------------

struct PlacementCase
{
    const char* name;
    int rows; // of the grid; for a one-dimensional array, its upper bound
    int cols; // 0: a one-dimensional array
    short dims;
    short row;
    short col;
    xl::Area filled;     // when written
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
    xl::VariantArray arr;
    if (p.cols == 0) {
        arr.Redim(p.rows);
        for (int i = 0; i <= p.rows; ++i) {
            arr(i) = cellText(i, 0);
        }
    } else {
        TextTable grid(p.rows, p.cols);
        for (int r = 0; r < p.rows; ++r) {
            for (int c = 0; c < p.cols; ++c) {
                grid.setTextMatrix(r, c, cellText(r, c));
            }
        }
        GridToArray(arr, grid);
        EXPECT_EQ(arr.UBound(1), p.rows);
        EXPECT_EQ(arr.UBound(2), p.cols);
    }

    const bool written = ArrayToRange(p.dims, p.row, p.col, arr);

    const xl::Worksheet& sheet = *Excel().xlSheet;
    if (p.failure) {
        EXPECT_FALSE(written);
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(str(fake.messages[0].text), std::string("Грешка\r\n") + p.failure);
        EXPECT_TRUE(fake.messages[0].title.isEmpty()); // the program's own title
        EXPECT_EQ(fake.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(fake.messages[0].buttons, MsgButtons::Ok);
        EXPECT_TRUE(sheet.cells().empty());
        return;
    }
    EXPECT_TRUE(written);
    EXPECT_TRUE(fake.messages.isEmpty());
    int count = 0;
    for (const auto& [pos, cell] : sheet.cells()) {
        if (!cell.Value.isValid()) {
            continue;
        }
        ++count;
        const auto [r, c] = pos;
        ASSERT_TRUE(p.filled.contains(r, c)) << r << "," << c;
        EXPECT_EQ(str(cell.Value.toString()), str(cellText(r - p.row, c - p.col)));
    }
    EXPECT_EQ(count, (p.filled.bottom - p.filled.top + 1) * (p.filled.right - p.filled.left + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArrayToRangeCases,
    ::testing::Values(
        PlacementCase{"grid_at_A1", 30, 7, 2, 1, 1, {1, 1, 30, 7}, nullptr},
        PlacementCase{"grid_at_A4", 30, 7, 2, 4, 1, {4, 1, 33, 7}, nullptr},
        PlacementCase{"last_row_32767", 3, 7, 2, 32765, 1, {32765, 1, 32767, 7}, nullptr},
        PlacementCase{"one_dimension_fills_one_column", 5, 0, 1, 2, 3, {2, 3, 6, 3}, nullptr},
        PlacementCase{"two_dimensions_taken_as_one_column", 4, 7, 1, 1, 2, {1, 2, 4, 2}, nullptr},
        PlacementCase{"past_row_32767_overflows", 3, 7, 2, 32766, 1, {}, "Препълване"},
        PlacementCase{"one_dimension_asked_for_two", 5, 0, 2, 1, 1, {}, "Индексът е извън обхвата"},
        PlacementCase{
            "row_zero_is_outside_the_sheet", 2, 2, 2, 0, 1, {}, "Клетката е извън листа"}),
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
                      ValueCase{"column_number", true, "7", 7},
                      ValueCase{"us_grouping", false, "1,234.50", 1234.5},
                      ValueCase{"code_text", true, "§ 82-11", {}},
                      ValueCase{"numbered_caption", true, "2.1. Дългосрочни банкови кредити", {}},
                      ValueCase{"empty_text_empties", true, "", {}},
                      ValueCase{"lone_blank_stays_text", true, " ", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- merging -----------------------------------------------------------------------------------

TEST_F(ExcelTest, MergingKeepsTheValueOfTheFirstCellAndReplacesAnOlderBlock)
{
    GetExcel();
    GetWorkbook();
    xl::Worksheet& ws = *Excel().xlSheet;
    ws.Cells(1, 1).setValue(QVariant(u"първо"_qs));
    ws.Cells(1, 2).setValue(QVariant(u"второ"_qs));
    xl::Range title = ws.Range(ws.Cells(1, 1), ws.Cells(1, 7));
    title.setMergeCells(true);
    EXPECT_EQ(str(ws.Cells(1, 1).Value().toString()), "първо");
    EXPECT_FALSE(ws.Cells(1, 2).Value().isValid());
    EXPECT_TRUE(title.MergeCells());
    // A text given to the whole merged block stays in its first cell.
    title.setFormulaR1C1(u"СПРАВКА"_qs);
    EXPECT_EQ(str(ws.Cells(1, 1).Value().toString()), "СПРАВКА");
    for (int c = 2; c <= 7; ++c) {
        EXPECT_FALSE(ws.Cells(1, c).Value().isValid()) << c;
    }
    ws.Range(ws.Cells(4, 3), ws.Cells(4, 4)).setMergeCells(true);
    ws.Range(ws.Cells(1, 1), ws.Cells(2, 2)).setMergeCells(true);
    EXPECT_EQ(ws.merges(), (std::vector<xl::Area>{{4, 3, 4, 4}, {1, 1, 2, 2}}));
}

// --- closing -----------------------------------------------------------------------------------

struct CloseCase
{
    const char* name;
    bool open; // a printout's workbook is open first
    bool closeWorkbook;
    bool saveChanges;
    const char* message; // nullptr: none
    const char* title;
};

class CloseCases : public ExcelTest, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseCases, ReportEachFailureOnce)
{
    const auto& p = GetParam();
    if (p.open) {
        GetExcel();
        GetWorkbook();
    }
    if (p.closeWorkbook) {
        CloseWorkbook(p.saveChanges);
    } else {
        CloseExcel();
        EXPECT_FALSE(Excel().xlApp);
        EXPECT_FALSE(SpreadsheetRuns());
    }
    if (!p.message) {
        EXPECT_TRUE(fake.messages.isEmpty());
        return;
    }
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(str(fake.messages[0].text), p.message);
    EXPECT_EQ(str(fake.messages[0].title), p.title);
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::None);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseCases,
    ::testing::Values(CloseCase{"workbook_closed", true, true, false, nullptr, ""},
                      CloseCase{"no_workbook", false, true, false,
                                "Error: 91. Обектната променлива не е зададена", "CloseWorkbook"},
                      CloseCase{"saving_a_workbook_without_a_file", true, true, true,
                                "Error: 1004. Книгата няма собствен файл, в който да бъде записана",
                                "CloseWorkbook"},
                      CloseCase{"application_quit", true, false, false, nullptr, ""},
                      CloseCase{"no_application", false, false, false,
                                "Error: 91. Обектната променлива не е зададена", "CloseExcel"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CloseCases, ObjectsOfAQuitApplicationRefuseWithoutANumberWorthAMessage)
{
    GetExcel();
    GetWorkbook();
    const auto sheet = Excel().xlSheet;
    CloseExcel();
    try {
        sheet->Cells(1, 1).setValue(QVariant(1.0));
        FAIL() << "a sheet of a quit application took a value";
    } catch (const xl::XlError& e) {
        EXPECT_LT(e.Number, 0);
    }
}

} // namespace
