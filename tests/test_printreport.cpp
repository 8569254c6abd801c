// The printed form: the sheet a printout of the sample report leaves in the spreadsheet (values,
// merges, formats cell by cell, sizes, page setup, author), a second printout, and what the user
// is told when a printout fails.

#include "core/Messages.h"
#include "printout/PrintReport.h"
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

using namespace xl;

// A cell's format in words, so that a difference reads plainly: the font size, then bold,
// underlined, wrapped, the two alignments, grey, thin lines on every edge, a number format.
std::string Look(const CellFormat& f)
{
    const auto align = [](int a) {
        return a == xlCenter    ? "center"
               : a == xlRight   ? "right"
               : a == xlGeneral ? "general"
               : a == xlBottom  ? "bottom"
                                : "other";
    };
    const auto all = [&](int line) { return f.Border == std::array{line, line, line, line}; };
    std::string out = std::to_string(int(f.Size)) + (f.Bold ? " bold" : "") +
                      (f.Underline ? " underlined" : "") + (f.WrapText ? " wrapped" : "") + " " +
                      align(f.HorizontalAlignment) + "/" + align(f.VerticalAlignment);
    out += f.Fill == 0xC0C0C0 ? " grey" : f.Fill == kNoFill ? "" : " other fill";
    out += all(xlContinuous) ? " lines" : all(xlNone) ? "" : " other lines";
    return f.NumberFormat == u"General" ? out : out + " " + str(f.NumberFormat);
}

const char* const kTitle = "12 bold underlined wrapped center/center";
const char* const kSubtitle = "12 bold wrapped center/center";
const char* const kHeading = "11 bold wrapped center/center grey lines";
const char* const kSubheading = "11 wrapped center/center grey lines";
const char* const kNumbers = "11 wrapped center/center lines";
const char* const kCaption = "10 general/bottom lines";
const char* const kGreyCaption = "10 general/bottom grey lines";
const char* const kAmount = "10 right/bottom lines 0.00";
const char* const kGreyAmount = "10 right/bottom grey lines 0.00";
const char* const kCode = "10 center/bottom lines";
const char* const kSignature = "10 bold general/bottom";

struct CellCase
{
    const char* ref;
    const char* text; // nullptr: empty; "#n": the number n
    const char* look;
};

// Report row n sits on sheet row n + 7 and holds n × 1000.5, n and 0.25 (closing n × 1001.5 −
// 0.25). Rows 7, 8 and 20 are the total and the two kinds of debt.
const CellCase kSampleCells[] = {
    {"A1", "СПРАВКА", kTitle},
    {"G1", nullptr, kTitle},
    {"A2", "за структурата и размера на дълга на община Пловдив към 03 / 2004", kSubtitle},
    {"A3", nullptr, kSubtitle},
    {"A4", "Вид на дълга", kHeading},
    {"A5", nullptr, kSubheading},
    {"B4", "Дълг в началото на месеца", kHeading},
    {"C4", "Увеличения през месеца", kHeading},
    {"D4", nullptr, kHeading},
    {"E4", "Намаления през месеца", kHeading},
    {"G4", "Дълг в края на месеца", kHeading},
    {"C5", "Код по ЕБК", kSubheading},
    {"F5", "Сума", kSubheading},
    {"A6", "#1", kNumbers},
    {"G6", "#7", kNumbers},
    {"A7", "Общ размер на общинския дълг (I + II)", kGreyCaption},
    {"G7", "#-0.25", kGreyAmount},
    {"B8", "#1000.5", kGreyAmount},
    {"A9", "1. Общински облигации, емитирани на вътрешния пазар", kCaption},
    {"B9", "#2001", kAmount},
    {"C9", "§ 82-11", kCode},
    {"D9", "#2", kAmount},
    {"E9", "§ 82-12", kCode},
    {"F9", "#0.25", kAmount},
    {"G9", "#2002.75", kAmount},
    {"E10", nullptr, kCode},
    {"A20", "II. Външен дълг 1/", kGreyCaption},
    {"G33", "#26038.75", kAmount},
    {"A36", "Забележка:", "10 underlined general/bottom"},
    {"A37",
     "1/ Дълга, деноминиран във валута, както и извършените усвоявания и плащания по него, "
     "следва да се дават само в оригинална валута /посочва се вида на валутата/, по отделни "
     "заеми.",
     "10 wrapped general/bottom"},
    {"A43", "Дата:...................", kSignature},
    {"E43", "Изготвил:", kSignature},
    {"F44", "/имена и длъжност на лицето/", kSignature},
};

TEST_F(PrintoutTest, SampleReportBecomesTheFormOnALandscapePage)
{
    print();
    EXPECT_TRUE(fake.messages.isEmpty()) << str(fake.texts().join(u'|'));
    EXPECT_EQ(fake.busyDepth, 0);
    for (const CellCase& p : kSampleCells) {
        SCOPED_TRACE(p.ref);
        const Cell& c = cell(p.ref);
        const QString text = QString::fromUtf8(p.text ? p.text : "");
        if (!p.text) {
            EXPECT_FALSE(c.Value.isValid()) << str(c.Value.toString());
        } else if (text.startsWith(u'#')) {
            ASSERT_EQ(c.Value.typeId(), QMetaType::Double) << str(c.Value.toString());
            EXPECT_DOUBLE_EQ(c.Value.toDouble(), text.mid(1).toDouble());
        } else {
            EXPECT_EQ(str(c.Value.toString()), p.text);
        }
        EXPECT_EQ(Look(c.Format), p.look);
    }

    const auto app = Excel().xlApp;
    ASSERT_TRUE(app);
    EXPECT_TRUE(app->Visible());
    EXPECT_FALSE(app->DisplayFullScreen());
    ASSERT_EQ(app->workbooks().size(), 1u);
    const auto book = Excel().xlBook;
    EXPECT_EQ(str(book->property(QStringLiteral("Author"))), "NVAuthor");
    ASSERT_EQ(book->sheets().size(), 1u);
    EXPECT_EQ(str(sheet().Name()), "Лист1");
    const std::vector<Area> merges{{4, 1, 5, 1}, {4, 2, 5, 2}, {4, 7, 5, 7}, {4, 3, 4, 4},
                                   {4, 5, 4, 6}, {1, 1, 1, 7}, {2, 1, 2, 7}, {37, 1, 37, 7}};
    EXPECT_EQ(sheet().merges(), merges);

    // Every data row is grey exactly when the editor highlights it: ids 2, 3 and 4.
    const ReportModel form(State().xmlStructure, DomDocument());
    ASSERT_EQ(form.rowCount(), kSampleRows);
    for (int n = 0; n < kSampleRows; ++n) {
        const QString id = form.id(n);
        for (int c = 1; c <= 7; ++c) {
            ASSERT_TRUE(sheet().cell(n + 7, c)) << n + 7 << "," << c;
            EXPECT_EQ(sheet().cell(n + 7, c)->Format.Fill != kNoFill,
                      id == u"2" || id == u"3" || id == u"4")
                << n + 7 << "," << c;
        }
    }
    for (int c = 1; c <= 7; ++c) {
        EXPECT_FALSE(sheet().cell(kLastTableRow + 1, c)) << c;
    }

    EXPECT_EQ(sheet().rowHeights(), (std::map<int, double>{{4, 2.5 * kDefaultRowHeight}}));
    const std::map<int, double> widths{{1, 68}, {2, 20}, {3, 15}, {4, 20},
                                       {5, 15}, {6, 20}, {7, 20}};
    EXPECT_EQ(sheet().columnWidths(), widths);
    const PageSetup& page = sheet().pageSetup();
    EXPECT_EQ(page.Orientation(), xlLandscape);
    EXPECT_EQ(page.Zoom(), 75);
    EXPECT_EQ(page.RightMargin(), 0);
    EXPECT_EQ(page.PaperSize(), xlPaperA4);
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
    EXPECT_EQ(book->activeSheet(), Excel().xlSheet);
    EXPECT_EQ(book->sheets()[1], first);
    EXPECT_TRUE(first->isLive());
    EXPECT_EQ(str(first->cell(2, 1)->Value.toString()),
              "за структурата и размера на дълга на община Пловдив към 03 / 2004");
    EXPECT_EQ(str(sheet().cell(2, 1)->Value.toString()),
              "за структурата и размера на дълга на община Варна към 03 / 2004");
    EXPECT_EQ(first->merges(), sheet().merges());
    ASSERT_EQ(opened.size(), 2);
    EXPECT_NE(opened[0], opened[1]);
    EXPECT_TRUE(QFile::exists(opened[0]) && QFile::exists(opened[1]));
}

TEST_F(PrintoutTest, StructureWithoutRowsLeavesTheHeadingAsItIs)
{
    const TextTable grid = ReportGrid(State().xmlStructure);
    TextTable headingOnly(3, 7);
    for (int i = 0; i < 21; ++i) {
        headingOnly.setTextMatrix(i / 7, i % 7, grid.TextMatrix(i / 7, i % 7));
    }
    cmdPrint_Click(headingOnly);
    EXPECT_TRUE(fake.messages.isEmpty());
    for (int c = 1; c <= 7; ++c) {
        ASSERT_TRUE(sheet().cell(6, c));
        EXPECT_EQ(Look(sheet().cell(6, c)->Format), kNumbers) << c;
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
    EXPECT_EQ(str(fake.messages[0].title), p.title);
    // A missing printer is a warning; the spreadsheet's own failures are errors.
    EXPECT_EQ(fake.messages[0].icon, p.number == 1004 ? MsgIcon::Exclamation : MsgIcon::Critical);
    EXPECT_EQ(fake.messages[0].buttons, MsgButtons::Ok);
}

const char* const kExcelFailed = "Грешката е предизвикана от EXCEL";

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    ::testing::Values(RefusalCase{"no_printer", 1004, "Нямате инсталиран принтер!    ",
                                  "TAVN - Внимание!"},
                      RefusalCase{"overflow", 6, kExcelFailed, "TAVN - Грешка"},
                      RefusalCase{"file_not_written", 75, kExcelFailed, "TAVN - Грешка"},
                      RefusalCase{"class_not_found", 432, nullptr, ""},
                      RefusalCase{"zero", 0, nullptr, ""},
                      RefusalCase{"automation_error", -2147417848, nullptr, ""}),
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
