// The printed form: the sheet a printout of the sample report leaves in the spreadsheet (values,
// merges, formats cell by cell, sizes, page setup, author), a second printout, and what the user
// is told when a printout fails.

#include "app/Messages.h"
#include "excel/PrintReport.h"
#include "support/ExcelFixture.h"
#include "support/SampleReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace kvor;
using namespace kvor::test;

namespace {

const QString kStructure = QStringLiteral(KVOR_SAMPLE_DIR "/Structure.xml");
inline constexpr int kSampleRows = 27;
inline constexpr int kLastTableRow = kSampleRows + 6; // 33

class PrintoutTest : public ExcelTest
{
protected:
    void SetUp() override
    {
        ExcelTest::SetUp();
        ASSERT_TRUE(LoadSampleState(kStructure));
    }
    void print() { cmdPrint_Click(ReportGrid(State().xmlStructure, GrowingAmounts)); }
    const xl::Worksheet& sheet() const { return *Excel().xlSheet; }
    const xl::Cell& cell(const char* ref) const
    {
        static const xl::Cell kNone;
        const int col = ref[0] - 'A' + 1;
        const int row = std::atoi(ref + 1);
        const xl::Cell* c = sheet().cell(row, col);
        return c ? *c : kNone;
    }
};

// --- the sheet, cell by cell -------------------------------------------------------------------

enum Fill
{
    kWhite,
    kGrey
};
enum Lines
{
    kNoLines,
    kAllLines
};

struct CellCase
{
    const char* ref;
    const char* text; // expected text; nullptr: empty; "#n" a number n
    bool bold;
    double size;
    bool underline;
    int horizontal;
    int vertical;
    bool wrap;
    Fill fill;
    Lines lines;
    const char* numberFormat;
};

class SampleCells : public PrintoutTest, public ::testing::WithParamInterface<CellCase>
{
};

TEST_P(SampleCells, HaveTheValueAndFormatOfTheForm)
{
    print();
    ASSERT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    const auto& p = GetParam();
    const xl::Cell& c = cell(p.ref);
    const QString text = QString::fromUtf8(p.text ? p.text : "");
    if (!p.text) {
        EXPECT_FALSE(c.Value.isValid()) << str(c.Value.toString());
    } else if (text.startsWith(u'#')) {
        ASSERT_EQ(c.Value.typeId(), QMetaType::Double) << str(c.Value.toString());
        EXPECT_DOUBLE_EQ(c.Value.toDouble(), text.mid(1).toDouble());
    } else {
        EXPECT_EQ(str(c.Value.toString()), p.text);
    }
    const xl::CellFormat& f = c.Format;
    EXPECT_EQ(f.Bold, p.bold);
    EXPECT_EQ(f.Size, p.size);
    EXPECT_EQ(f.Underline, p.underline);
    EXPECT_EQ(f.HorizontalAlignment, p.horizontal);
    EXPECT_EQ(f.VerticalAlignment, p.vertical);
    EXPECT_EQ(f.WrapText, p.wrap);
    EXPECT_EQ(f.Fill, p.fill == kGrey ? 0xC0C0C0 : xl::kNoFill);
    const int line = p.lines == kAllLines ? xl::xlContinuous : xl::xlNone;
    EXPECT_EQ(f.Border, (std::array<int, xl::kEdges>{line, line, line, line}));
    EXPECT_EQ(str(f.NumberFormat), p.numberFormat);
}

using namespace xl;
const char* const kGeneral = "General";
const char* const kAmount = "0.00";

// Report row n sits on sheet row n + 7 and holds n × 1000.5, n and 0.25 (closing n × 1001.5 −
// 0.25). Rows 7, 8 and 20 are the total and the two kinds of debt.
INSTANTIATE_TEST_SUITE_P(
    Form, SampleCells,
    ::testing::Values(
        CellCase{"A1", "СПРАВКА", true, 12, true, xlCenter, xlCenter, true, kWhite, kNoLines,
                 kGeneral},
        CellCase{"G1", nullptr, true, 12, true, xlCenter, xlCenter, true, kWhite, kNoLines,
                 kGeneral},
        CellCase{"A2", "за структурата и размера на дълга на община Пловдив към 03 / 2004", true,
                 12, false, xlCenter, xlCenter, true, kWhite, kNoLines, kGeneral},
        CellCase{"A3", nullptr, true, 12, false, xlCenter, xlCenter, true, kWhite, kNoLines,
                 kGeneral},
        CellCase{"A4", "Вид на дълга", true, 11, false, xlCenter, xlCenter, true, kGrey, kAllLines,
                 kGeneral},
        CellCase{"A5", nullptr, false, 11, false, xlCenter, xlCenter, true, kGrey, kAllLines,
                 kGeneral},
        CellCase{"B4", "Дълг в началото на месеца", true, 11, false, xlCenter, xlCenter, true,
                 kGrey, kAllLines, kGeneral},
        CellCase{"C4", "Увеличения през месеца", true, 11, false, xlCenter, xlCenter, true, kGrey,
                 kAllLines, kGeneral},
        CellCase{"D4", nullptr, true, 11, false, xlCenter, xlCenter, true, kGrey, kAllLines,
                 kGeneral},
        CellCase{"E4", "Намаления през месеца", true, 11, false, xlCenter, xlCenter, true, kGrey,
                 kAllLines, kGeneral},
        CellCase{"G4", "Дълг в края на месеца", true, 11, false, xlCenter, xlCenter, true, kGrey,
                 kAllLines, kGeneral},
        CellCase{"C5", "Код по ЕБК", false, 11, false, xlCenter, xlCenter, true, kGrey, kAllLines,
                 kGeneral},
        CellCase{"F5", "Сума", false, 11, false, xlCenter, xlCenter, true, kGrey, kAllLines,
                 kGeneral},
        CellCase{"A6", "#1", false, 11, false, xlCenter, xlCenter, true, kWhite, kAllLines,
                 kGeneral},
        CellCase{"G6", "#7", false, 11, false, xlCenter, xlCenter, true, kWhite, kAllLines,
                 kGeneral},
        CellCase{"A7", "Общ размер на общинския дълг (I + II)", false, 10, false, xlGeneral,
                 xlBottom, false, kGrey, kAllLines, kGeneral},
        CellCase{"G7", "#-0.25", false, 10, false, xlRight, xlBottom, false, kGrey, kAllLines,
                 kAmount},
        CellCase{"B8", "#1000.5", false, 10, false, xlRight, xlBottom, false, kGrey, kAllLines,
                 kAmount},
        CellCase{"A9", "1. Общински облигации, емитирани на вътрешния пазар", false, 10, false,
                 xlGeneral, xlBottom, false, kWhite, kAllLines, kGeneral},
        CellCase{"B9", "#2001", false, 10, false, xlRight, xlBottom, false, kWhite, kAllLines,
                 kAmount},
        CellCase{"C9", "§ 82-11", false, 10, false, xlCenter, xlBottom, false, kWhite, kAllLines,
                 kGeneral},
        CellCase{"D9", "#2", false, 10, false, xlRight, xlBottom, false, kWhite, kAllLines,
                 kAmount},
        CellCase{"E9", "§ 82-12", false, 10, false, xlCenter, xlBottom, false, kWhite, kAllLines,
                 kGeneral},
        CellCase{"F9", "#0.25", false, 10, false, xlRight, xlBottom, false, kWhite, kAllLines,
                 kAmount},
        CellCase{"G9", "#2002.75", false, 10, false, xlRight, xlBottom, false, kWhite, kAllLines,
                 kAmount},
        CellCase{"E10", nullptr, false, 10, false, xlCenter, xlBottom, false, kWhite, kAllLines,
                 kGeneral},
        CellCase{"A20", "II. Външен дълг 1/", false, 10, false, xlGeneral, xlBottom, false, kGrey,
                 kAllLines, kGeneral},
        CellCase{"G33", "#26038.75", false, 10, false, xlRight, xlBottom, false, kWhite, kAllLines,
                 kAmount},
        CellCase{"A34", nullptr, false, 10, false, xlGeneral, xlBottom, false, kWhite, kNoLines,
                 kGeneral},
        CellCase{"A36", "Забележка:", false, 10, true, xlGeneral, xlBottom, false, kWhite, kNoLines,
                 kGeneral},
        CellCase{"A37",
                 "1/ Дълга, деноминиран във валута, както и извършените усвоявания и плащания по "
                 "него, следва да се дават само в оригинална валута /посочва се вида на "
                 "валутата/, по отделни заеми.",
                 false, 10, false, xlGeneral, xlBottom, true, kWhite, kNoLines, kGeneral},
        CellCase{"A43", "Дата:...................", true, 10, false, xlGeneral, xlBottom, false,
                 kWhite, kNoLines, kGeneral},
        CellCase{"E43", "Изготвил:", true, 10, false, xlGeneral, xlBottom, false, kWhite, kNoLines,
                 kGeneral},
        CellCase{"F44", "/имена и длъжност на лицето/", true, 10, false, xlGeneral, xlBottom, false,
                 kWhite, kNoLines, kGeneral}),
    [](const auto& info) { return std::string(info.param.ref); });

// --- the sheet as a whole ----------------------------------------------------------------------

TEST_F(PrintoutTest, SampleReportBecomesTheFormOnALandscapePage)
{
    print();
    EXPECT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    EXPECT_EQ(fake.busyDepth, 0);

    const auto app = Excel().xlApp;
    ASSERT_TRUE(app);
    EXPECT_TRUE(app->Visible());
    EXPECT_FALSE(app->DisplayFullScreen());
    ASSERT_EQ(app->workbooks().size(), 1u);
    const auto book = Excel().xlBook;
    EXPECT_EQ(str(book->property(QStringLiteral("Author"))), "NVAuthor");
    ASSERT_EQ(book->sheets().size(), 1u);
    EXPECT_EQ(str(sheet().Name()), "Лист1");

    std::vector<Area> merges = sheet().merges();
    std::vector<Area> expected{{4, 1, 5, 1}, {4, 2, 5, 2}, {4, 7, 5, 7}, {4, 3, 4, 4},
                               {4, 5, 4, 6}, {1, 1, 1, 7}, {2, 1, 2, 7}, {37, 1, 37, 7}};
    EXPECT_EQ(merges, expected);

    // Every data row: its caption, amounts as numbers, code texts, grey exactly when the editor
    // highlights it.
    const auto rows = selectNodes(State().xmlStructure, u"nomenclatures/structure//str"_qs);
    ASSERT_EQ(int(rows.size()), kSampleRows);
    for (int n = 0; n < kSampleRows; ++n) {
        const int r = n + 7;
        const QString id = GetAttribute(rows[size_t(n)], u"id"_qs);
        const bool grey = id == u"2" || id == u"3" || id == u"4";
        for (int c = 1; c <= 7; ++c) {
            const xl::Cell* cl = sheet().cell(r, c);
            ASSERT_TRUE(cl) << r << "," << c;
            EXPECT_EQ(cl->Format.Fill != xl::kNoFill, grey) << "row " << r;
        }
        EXPECT_EQ(sheet().cell(r, 1)->Value.toString(), GetAttribute(rows[size_t(n)], u"name"_qs));
        EXPECT_DOUBLE_EQ(sheet().cell(r, 2)->Value.toDouble(), n * 1000.5);
        EXPECT_DOUBLE_EQ(sheet().cell(r, 7)->Value.toDouble(), n * 1001.5 - 0.25);
    }
    for (int c = 1; c <= 7; ++c) {
        EXPECT_FALSE(sheet().cell(kLastTableRow + 1, c)) << c;
    }

    EXPECT_DOUBLE_EQ(sheet().rowHeight(4), 2.5 * xl::kDefaultRowHeight);
    for (int r : {1, 2, 3, 5, 6, 7, 33, 37, 44}) {
        EXPECT_EQ(sheet().rowHeights().count(r), 0u) << r;
    }
    const std::map<int, double> widths{{1, 68}, {2, 20}, {3, 15}, {4, 20},
                                       {5, 15}, {6, 20}, {7, 20}};
    EXPECT_EQ(sheet().columnWidths(), widths);

    const xl::PageSetup& page = sheet().pageSetup();
    EXPECT_EQ(page.Orientation(), xlLandscape);
    EXPECT_EQ(page.Zoom(), 75);
    EXPECT_EQ(page.RightMargin(), 0);
    EXPECT_EQ(page.PaperSize(), xl::xlPaperA4);
    EXPECT_EQ(sheet().selection(), (Area{1, 1, 1, 1}));

    // Shown: written to a new .xlsx in the temporary folder and handed to the desktop while the
    // hourglass is still on.
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(busyWhileOpening, QList<int>{1});
    const QFileInfo file(opened[0]);
    EXPECT_EQ(file.absolutePath(), QFileInfo(tempPath()).absoluteFilePath());
    EXPECT_EQ(str(file.suffix()), "xlsx");
    EXPECT_GT(file.size(), 0);
}

TEST_F(PrintoutTest, SecondPrintoutAddsASheetToTheSameWorkbook)
{
    print();
    const auto book = Excel().xlBook;
    const auto first = Excel().xlSheet;
    State().Obshtina.Name = u"Варна"_qs;
    print();

    EXPECT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    EXPECT_EQ(Excel().xlBook, book);
    ASSERT_EQ(book->sheets().size(), 2u);
    EXPECT_EQ(str(book->sheets()[0]->Name()), "Лист2");
    EXPECT_EQ(str(book->sheets()[1]->Name()), "Лист1");
    EXPECT_EQ(book->activeSheet(), Excel().xlSheet);
    EXPECT_NE(Excel().xlSheet, first);
    EXPECT_TRUE(first->isLive());
    EXPECT_EQ(str(first->cell(2, 1)->Value.toString()),
              "за структурата и размера на дълга на община Пловдив към 03 / 2004");
    EXPECT_EQ(str(sheet().cell(2, 1)->Value.toString()),
              "за структурата и размера на дълга на община Варна към 03 / 2004");
    EXPECT_EQ(first->merges(), sheet().merges());

    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], opened[1]);
    EXPECT_TRUE(QFile::exists(opened[0]));
    EXPECT_TRUE(QFile::exists(opened[1]));
}

TEST_F(PrintoutTest, StructureWithoutRowsLeavesTheHeadingAsItIs)
{
    TextTable grid = ReportGrid(State().xmlStructure);
    TextTable headingOnly(3, 7);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 7; ++c) {
            headingOnly.setTextMatrix(r, c, grid.TextMatrix(r, c));
        }
    }
    cmdPrint_Click(headingOnly);
    EXPECT_TRUE(fake.messages.isEmpty());
    for (int c = 1; c <= 7; ++c) {
        const xl::Cell* numbers = sheet().cell(6, c);
        ASSERT_TRUE(numbers);
        EXPECT_EQ(numbers->Format.HorizontalAlignment, xlCenter) << c;
        EXPECT_EQ(str(numbers->Format.NumberFormat), "General") << c;
        EXPECT_FALSE(sheet().cell(7, c)) << c;
    }
    EXPECT_EQ(str(sheet().cell(9, 1)->Value.toString()), "Забележка:");
}

// --- failures --------------------------------------------------------------------------------

struct RefusalCase
{
    const char* name;
    long number;
    const char* message; // nullptr: none at all
    MsgIcon icon;
    const char* title;
};

class Refusals : public ExcelTest, public ::testing::WithParamInterface<RefusalCase>
{
};

TEST_P(Refusals, AreReportedByTheirNumber)
{
    const auto& p = GetParam();
    ReportExcelError(xl::XlError(p.number, u"описание"_qs));
    if (!p.message) {
        EXPECT_TRUE(fake.messages.isEmpty());
        return;
    }
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(str(fake.messages[0].text), p.message);
    EXPECT_EQ(fake.messages[0].icon, p.icon);
    EXPECT_EQ(fake.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(str(fake.messages[0].title), p.title);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    ::testing::Values(RefusalCase{"no_printer", 1004, "Нямате инсталиран принтер!    ",
                                  MsgIcon::Exclamation, "TAVN - Внимание!"},
                      RefusalCase{"class_not_found", 432, nullptr, MsgIcon::None, ""},
                      RefusalCase{"overflow", 6, "Грешката е предизвикана от EXCEL",
                                  MsgIcon::Critical, "TAVN - Грешка"},
                      RefusalCase{"file_not_written", 75, "Грешката е предизвикана от EXCEL",
                                  MsgIcon::Critical, "TAVN - Грешка"},
                      RefusalCase{"zero", 0, nullptr, MsgIcon::None, ""},
                      RefusalCase{"automation_error", -2147417848, nullptr, MsgIcon::None, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintoutTest, WithoutAProgramForTheFileTheUserIsToldWhereItIs)
{
    openerAnswer = false;
    print();
    ASSERT_EQ(opened.size(), 1);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text,
              u"Няма програма за отваряне на електронни таблици. Файлът е записан в: "_qs +
                  QDir::toNativeSeparators(opened[0]));
    EXPECT_EQ(str(fake.messages[0].title), "TAVN - Внимание!");
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(QFile::exists(opened[0]));
    EXPECT_EQ(fake.busyDepth, 0);
}

TEST_F(PrintoutTest, UnwritableTemporaryFolderIsAFailureOfTheSpreadsheet)
{
    ASSERT_TRUE(QFile::setPermissions(tempPath(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    print();
    QFile::setPermissions(tempPath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(str(fake.messages[0].text), "Грешката е предизвикана от EXCEL");
    EXPECT_EQ(str(fake.messages[0].title), "TAVN - Грешка");
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(fake.busyDepth, 0);
    // The spreadsheet stays as far as it got: running, hidden, the sheet formatted.
    ASSERT_TRUE(Excel().xlApp);
    EXPECT_FALSE(Excel().xlApp->Visible());
    EXPECT_EQ(str(sheet().cell(1, 1)->Value.toString()), "СПРАВКА");
    EXPECT_TRUE(QDir(tempPath()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(PrintoutTest, GridPastRow32767IsNotWrittenAndTheSpreadsheetQuits)
{
    TextTable huge(32765, 7); // 4 + 32765 − 1 = 32768
    huge.setTextMatrix(0, 0, u"Вид на дълга"_qs);
    cmdPrint_Click(huge);

    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(str(fake.messages[0].text), "Грешка\r\nПрепълване");
    EXPECT_TRUE(fake.messages[0].title.isEmpty());
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::None);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(Excel().xlApp);
    EXPECT_FALSE(SpreadsheetRuns());
    EXPECT_EQ(fake.busyDepth, 0);
}

} // namespace
