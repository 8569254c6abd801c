// The printed form as it is told to a sheet: which cells it writes with which look, a structure
// without rows, and which texts become numbers. Texts, looks, merges, sizes and the page as a
// person sees them are checked on the file by an independent reader (check_printout.py).

#include "core/Messages.h"
#include "core/Money.h"
#include "printout/PrintedForm.h"
#include "support/PrintoutFixture.h"

#include <QLocale>
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

// What the independent reader of the file cannot tell apart: the cells the form writes and
// those it leaves out, the hidden cells of merged blocks, and nothing written twice.
TEST(PrintedForm, SampleReportHasExactlyTheCellsOfTheForm)
{
    RecordedSheet sheet;
    WriteForm(SamplePrintout(), sheet);
    EXPECT_EQ(sheet.writtenTwice, 0);
    ExpectCells(sheet, {
                           {"G1", nullptr, Look::Title},
                           {"A3", nullptr, Look::Subtitle},
                           {"G3", nullptr, Look::Subtitle},
                           {"A5", nullptr, Look::Subheading},
                           {"D4", nullptr, Look::Heading},
                           {"F4", nullptr, Look::Heading},
                           {"G5", nullptr, Look::Subheading},
                           {"C7", nullptr, Look::GreyCode},
                           {"G33", "#26038.75", Look::Amount},
                           {"A37", kFootnote, Look::Footnote},
                           {"B37", nullptr, Look::Plain},
                           {"G37", nullptr, Look::Plain},
                       });
    // Rows 1 to 33 whole, then the note, the merged footnote and three signature cells.
    EXPECT_EQ(sheet.cells.size(), size_t(7 * 33 + 1 + 7 + 3));
    for (const char* empty : {"A34", "A35", "B36", "A38", "A42", "B43", "A44", "G44", "A45"}) {
        EXPECT_FALSE(sheet.at(empty)) << empty;
    }
    EXPECT_EQ(sheet.heights, (std::map<int, double>{{4, 2.5 * 12.75}}));
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

// Texts that read as amounts become numbers, whatever the regional settings say: the amount's
// stotinki as lev. A text that is no amount stays a text.
TEST(PrintedForm, TextsThatReadAsAmountsBecomeNumbers)
{
    const char* const texts[] = {
        "0,00",
        " 0,25",
        "-0,00",
        "1 000,50",
        "  12 345 678,91",
        "1234567,89",
        "\u00A01 234,50",
        "1\u00A0234,50",
        "1\u202F234,50",
        "-999 999 999,99",
        "12 34,50",
        "1 23 456,00",
        "1 2345,50",
        "1 234,5",
        "1 234,505",
        "1 234,50 ",
        "1  234,50",
        ",50",
        "-,50",
        "1,",
        "- 1,00",
        "0,1",
        "+1,00",
        "1.50",
        "1 234.50",
        "9999999999999,99",
        "99999999999999,99",
        "123456789012345678901234567890,00",
        "§ 82-11",
        "1,2,3",
        "1e5",
        "  ",
    };
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    PrintoutInput in;
    in.rows.resize(grid::kHeadingRows + std::size(texts));
    for (size_t i = 0; i < std::size(texts); ++i) {
        in.rows[grid::kHeadingRows + i][grid::kOpening] = QString::fromUtf8(texts[i]);
    }
    for (const QLocale& regional : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(regional);
        RecordedSheet sheet;
        WriteForm(in, sheet);
        for (size_t i = 0; i < std::size(texts); ++i) {
            SCOPED_TRACE(texts[i]);
            const Value& v = sheet.cells.at({int(7 + i), 2}).value;
            const auto parsed = Money::parse(QString::fromUtf8(texts[i]));
            ASSERT_EQ(std::holds_alternative<double>(v), parsed.has_value());
            if (parsed) {
                EXPECT_EQ(std::get<double>(v), double(parsed->stotinki()) / 100);
            } else {
                EXPECT_EQ(std::get<QString>(v), QString::fromUtf8(texts[i]));
            }
        }
    }
    QLocale::setDefault(QLocale::c());

    // A text the regional settings read, as typing it into the spreadsheet would.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    in.rows.back()[grid::kOpening] = u"1,234.50"_qs;
    RecordedSheet sheet;
    WriteForm(in, sheet);
    QLocale::setDefault(QLocale::c());
    const std::string last = "B" + std::to_string(7 + std::size(texts) - 1);
    ExpectCells(sheet, {{last.c_str(), "#1234.5", Look::Amount}});
}

} // namespace
