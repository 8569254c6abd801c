// The printed form cell by cell, as the form tells it to a sheet: texts and numbers, the look of
// each cell, merges, sizes and the page, for the sample report and for a structure without rows.

#include "core/Amount.h"
#include "core/Messages.h"
#include "printout/PrintedForm.h"
#include "support/PrintoutFixture.h"

#include <QLocale>
#include <cstring>
#include <map>
#include <variant>

using namespace kvor;
using namespace kvor::test;

namespace {

struct Blank
{
    bool operator==(const Blank&) const = default;
};
using Value = std::variant<Blank, QString, double>;

struct Written
{
    Value value;
    Look look;
};

// A sheet that keeps what it was told; a cell told twice is a fault of the form.
class RecordedSheet final : public FormSheet
{
public:
    void page(const PageLayout& p) override { layout = p; }
    void columnWidth(int col, double w) override { widths[col] = w; }
    void rowHeight(int row, double h) override { heights[row] = h; }
    void merge(int top, int left, int bottom, int right) override
    {
        merges.push_back({top, left, bottom, right});
    }
    void text(int row, int col, const QString& t, Look look) override { put(row, col, {t, look}); }
    void number(int row, int col, double v, Look look) override { put(row, col, {v, look}); }
    void blank(int row, int col, Look look) override { put(row, col, {Blank{}, look}); }

    const Written* at(const char* ref) const
    {
        const auto it = cells.find({std::atoi(ref + 1), ref[0] - 'A' + 1});
        return it == cells.end() ? nullptr : &it->second;
    }

    PageLayout layout{};
    std::map<int, double> widths;
    std::map<int, double> heights;
    std::vector<std::array<int, 4>> merges;
    std::map<std::pair<int, int>, Written> cells;
    int writtenTwice = 0;

private:
    void put(int row, int col, Written w)
    {
        writtenTwice += cells.count({row, col}) ? 1 : 0;
        cells[{row, col}] = std::move(w);
    }
};

struct CellCase
{
    const char* ref;
    const char* text; // nullptr: blank; "#n": the number n
    Look look;
};

void ExpectCells(const RecordedSheet& sheet, const std::vector<CellCase>& cases)
{
    for (const CellCase& p : cases) {
        SCOPED_TRACE(p.ref);
        const Written* w = sheet.at(p.ref);
        ASSERT_TRUE(w);
        const QString text = QString::fromUtf8(p.text ? p.text : "");
        if (!p.text) {
            EXPECT_TRUE(std::holds_alternative<Blank>(w->value));
        } else if (text.startsWith(u'#')) {
            ASSERT_TRUE(std::holds_alternative<double>(w->value));
            EXPECT_DOUBLE_EQ(std::get<double>(w->value), text.mid(1).toDouble());
        } else {
            ASSERT_TRUE(std::holds_alternative<QString>(w->value));
            EXPECT_EQ(str(std::get<QString>(w->value)), p.text);
        }
        EXPECT_EQ(int(w->look), int(p.look));
    }
}

const char* const kFootnote =
    "1/ Дълга, деноминиран във валута, както и извършените усвоявания и плащания по него, следва "
    "да се дават само в оригинална валута /посочва се вида на валутата/, по отделни заеми.";

// Report row n sits on sheet row n + 7 and holds n × 1000.5, n and 0.25 (closing n × 1001.5 −
// 0.25). Rows 7, 8 and 20 are the total and the two kinds of debt.
TEST(PrintedForm, SampleReportCellByCell)
{
    RecordedSheet sheet;
    WriteForm(SamplePrintout(), sheet);
    EXPECT_EQ(sheet.writtenTwice, 0);
    ExpectCells(sheet,
                {
                    {"A1", "СПРАВКА", Look::Title},
                    {"G1", nullptr, Look::Title},
                    {"A2", "за структурата и размера на дълга на община Пловдив към 03 / 2004",
                     Look::Subtitle},
                    {"A3", nullptr, Look::Subtitle},
                    {"G3", nullptr, Look::Subtitle},
                    {"A4", "Вид на дълга", Look::Heading},
                    {"A5", nullptr, Look::Subheading},
                    {"B4", "Дълг в началото на месеца", Look::Heading},
                    {"B5", nullptr, Look::Subheading},
                    {"C4", "Увеличения през месеца", Look::Heading},
                    {"D4", nullptr, Look::Heading},
                    {"E4", "Намаления през месеца", Look::Heading},
                    {"F4", nullptr, Look::Heading},
                    {"G4", "Дълг в края на месеца", Look::Heading},
                    {"G5", nullptr, Look::Subheading},
                    {"C5", "Код по ЕБК", Look::Subheading},
                    {"F5", "Сума", Look::Subheading},
                    {"A6", "#1", Look::ColumnNumbers},
                    {"G6", "#7", Look::ColumnNumbers},
                    {"A7", "Общ размер на общинския дълг (I + II)", Look::GreyCaption},
                    {"C7", nullptr, Look::GreyCode},
                    {"G7", "#-0.25", Look::GreyAmount},
                    {"B8", "#1000.5", Look::GreyAmount},
                    {"A9", "1. Общински облигации, емитирани на вътрешния пазар", Look::Caption},
                    {"B9", "#2001", Look::Amount},
                    {"C9", "§ 82-11", Look::Code},
                    {"D9", "#2", Look::Amount},
                    {"E9", "§ 82-12", Look::Code},
                    {"F9", "#0.25", Look::Amount},
                    {"G9", "#2002.75", Look::Amount},
                    {"A20", "II. Външен дълг 1/", Look::GreyCaption},
                    {"G33", "#26038.75", Look::Amount},
                    {"A36", "Забележка:", Look::NoteHeading},
                    {"A37", kFootnote, Look::Footnote},
                    {"B37", nullptr, Look::Plain},
                    {"G37", nullptr, Look::Plain},
                    {"A43", "Дата:...................", Look::Signature},
                    {"E43", "Изготвил:", Look::Signature},
                    {"F44", "/имена и длъжност на лицето/", Look::Signature},
                });

    // Only what the form has: the table ends on row 33, the lines below stand alone.
    for (const char* empty : {"A34", "A35", "B36", "A38", "A42", "B43", "A44", "G44", "A45"}) {
        EXPECT_FALSE(sheet.at(empty)) << empty;
    }
    EXPECT_EQ(sheet.cells.size(), size_t(7 * 33 + 1 + 7 + 3));
    const std::vector<std::array<int, 4>> merges{{1, 1, 1, 7}, {2, 1, 2, 7},  {4, 1, 5, 1},
                                                 {4, 2, 5, 2}, {4, 7, 5, 7},  {4, 3, 4, 4},
                                                 {4, 5, 4, 6}, {37, 1, 37, 7}};
    EXPECT_EQ(sheet.merges, merges);
    EXPECT_EQ(sheet.widths, (std::map<int, double>{
                                {1, 68}, {2, 20}, {3, 15}, {4, 20}, {5, 15}, {6, 20}, {7, 20}}));
    EXPECT_EQ(sheet.heights, (std::map<int, double>{{4, 2.5 * 12.75}}));
    EXPECT_TRUE(sheet.layout.landscape);
    EXPECT_EQ(sheet.layout.paperSize, 9);
    EXPECT_EQ(sheet.layout.scale, 75);
    EXPECT_EQ(sheet.layout.rightMargin, 0);
}

TEST(PrintedForm, GreyBandsFollowTheEditorsHighlightedRows)
{
    const PrintoutInput in = SamplePrintout();
    RecordedSheet sheet;
    WriteForm(in, sheet);
    const ReportForm form(State().xmlStructure);
    int grey = 0;
    for (int r = grid::kHeadingRows; r < int(in.rows.size()); ++r) {
        for (int c = 1; c <= grid::kCols; ++c) {
            const Look look = sheet.cells.at({r + 4, c}).look;
            const bool isGrey =
                look == Look::GreyCaption || look == Look::GreyCode || look == Look::GreyAmount;
            EXPECT_EQ(isGrey, form.IsHighlightedRow(r)) << r << "," << c;
            grey += isGrey ? 1 : 0;
        }
    }
    EXPECT_EQ(grey, 3 * grid::kCols);
}

TEST(PrintedForm, StructureWithoutRowsKeepsTheHeadingAndMovesTheLinesUp)
{
    PrintoutInput in = SamplePrintout();
    in.rows.resize(grid::kHeadingRows);
    in.highlighted.resize(grid::kHeadingRows);
    RecordedSheet sheet;
    WriteForm(in, sheet);
    ExpectCells(sheet, {
                           {"A6", "#1", Look::ColumnNumbers},
                           {"G6", "#7", Look::ColumnNumbers},
                           {"A9", "Забележка:", Look::NoteHeading},
                           {"A10", kFootnote, Look::Footnote},
                           {"A16", "Дата:...................", Look::Signature},
                           {"F17", "/имена и длъжност на лицето/", Look::Signature},
                       });
    EXPECT_FALSE(sheet.at("A7"));
    EXPECT_EQ(sheet.merges.back(), (std::array<int, 4>{10, 1, 10, 7}));

    // A grid without even its heading prints the same frame with empty headings.
    in.rows.clear();
    RecordedSheet bare;
    WriteForm(in, bare);
    EXPECT_EQ(bare.cells.size(), sheet.cells.size());
    EXPECT_TRUE(std::holds_alternative<Blank>(bare.at("A4")->value));
}

struct ValueCase
{
    const char* text;
    const char* value; // nullptr: blank; "#n": the number n; otherwise the same text
};

// Amounts are read as the editor writes them, Bulgarian, whatever the regional settings say.
TEST(PrintedForm, FiguresBecomeNumbersUnderAnyRegionalSettings)
{
    const ValueCase cases[] = {
        {"1 234 567,50", "#1234567.5"},
        {"-0,25", "#-0.25"},
        {"12.5", "#12.5"},
        {" 7", "#7"},
        {"", nullptr},
        {"  ", "  "},
        {"§ 82-11", "§ 82-11"},
        {"1,2,3", "1,2,3"},
        {"1e5", "1e5"},
    };
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        PrintoutInput in;
        in.rows.resize(grid::kHeadingRows + std::size(cases));
        for (size_t i = 0; i < std::size(cases); ++i) {
            in.rows[grid::kHeadingRows + i][grid::kOpening] = QString::fromUtf8(cases[i].text);
        }
        RecordedSheet sheet;
        WriteForm(in, sheet);
        std::vector<CellCase> expected;
        std::vector<std::string> refs;
        for (size_t i = 0; i < std::size(cases); ++i) {
            refs.push_back("B" + std::to_string(7 + i));
        }
        for (size_t i = 0; i < std::size(cases); ++i) {
            expected.push_back({refs[i].c_str(), cases[i].value, Look::Amount});
        }
        ExpectCells(sheet, expected);
    }
    QLocale::setDefault(QLocale::c());
}

// However a figure is written, the form reads the value the amount parser reads, to the bit.
TEST(PrintedForm, FiguresReadExactlyAsTheAmountParserReadsThem)
{
    const char* const texts[] = {
        "0,00",
        " 0,25",
        "-0,00",
        "1 000,50",
        "  12 345 678,91",
        "-999 999 999,99",
        "1234567,89",
        "\u00A01 234,50",
        "1\u00A0234,50",
        "1\u202F234,50",
        "12 34,50",
        "1 2345,50",
        "1 234,5",
        "1 234,505",
        "1 234,50 ",
        "1  234,50",
        ",50",
        "-,50",
        "1,",
        "- 1,00",
        "9999999999999,99",
        "99999999999999,99",
        "123456789012345678901234567890,00",
        "0,1",
        "+1,00",
        "1.50",
        "1 234.50",
    };
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    PrintoutInput in;
    in.rows.resize(grid::kHeadingRows + std::size(texts));
    for (size_t i = 0; i < std::size(texts); ++i) {
        in.rows[grid::kHeadingRows + i][grid::kOpening] = QString::fromUtf8(texts[i]);
    }
    RecordedSheet sheet;
    WriteForm(in, sheet);
    for (size_t i = 0; i < std::size(texts); ++i) {
        SCOPED_TRACE(texts[i]);
        const Value& v = sheet.cells.at({int(7 + i), 2}).value;
        const auto parsed = ParseAmount(QString::fromUtf8(texts[i]), bulgarian);
        ASSERT_EQ(std::holds_alternative<double>(v), parsed.has_value());
        if (parsed) {
            const double read = std::get<double>(v);
            EXPECT_EQ(std::memcmp(&read, &*parsed, sizeof read), 0) << read << " " << *parsed;
        }
    }
}

} // namespace
