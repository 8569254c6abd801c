// Blocks of figures from the clipboard: what spreadsheets and text editors put there is pasted
// whole with each figure read as typing reads it, and anything else is refused at its first bad
// cell before a single figure goes in.

#include "core/ClipboardBlock.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

using Kind = PasteRefusal::Kind;

// A grid of 4 rows by 7 columns in which row 1 and columns 0, 2 and 6 take no figure.
const PasteGrid kGrid{4, 7, [](int r, int c) { return r != 1 && c != 0 && c != 2 && c != 6; }};

struct Case
{
    const char* name;
    const char* text;
    int row;
    int column;
    // "row,column=stotinki;" for each figure, or the refusal.
    const char* figures;
    std::optional<PasteRefusal> refusal;
};

std::string Figures(const PastePlan& plan)
{
    std::string out;
    for (const PastedFigure& f : plan.figures) {
        out += std::to_string(f.row) + ',' + std::to_string(f.column) + '=' +
               std::to_string(f.amount.stotinki()) + ';';
    }
    return out;
}

class PasteTable : public ::testing::TestWithParam<Case>
{
};

TEST_P(PasteTable, PastesWholeOrRefusesAtTheFirstBadCell)
{
    const Case& c = GetParam();
    const PastePlan plan = PlanPaste(QString::fromUtf8(c.text), c.row, c.column, kGrid);
    ASSERT_EQ(plan.refusal.has_value(), c.refusal.has_value()) << c.name;
    if (c.refusal) {
        EXPECT_EQ(plan.refusal->kind, c.refusal->kind) << c.name;
        EXPECT_EQ(plan.refusal->row, c.refusal->row) << c.name;
        EXPECT_EQ(plan.refusal->column, c.refusal->column) << c.name;
    } else {
        EXPECT_EQ(Figures(plan), c.figures) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PasteTable,
    ::testing::Values(
        Case{"one figure", "12,5", 0, 1, "0,1=1250;", {}},
        Case{"column over a restricted row, LF", "1\n2\n3\n", 0, 1, "0,1=100;2,1=300;", {}},
        Case{"CR LF and plain forms",
             "1234.5\t9\r\n1,234.50\t2,675\r\n",
             2,
             3,
             "2,3=123450;2,4=900;3,3=123450;3,4=268;",
             {}},
        Case{"old Mac line ends", "1\r2", 2, 1, "2,1=100;3,1=200;", {}},
        Case{"Bulgarian grouping, no-break blanks",
             "1\u00a0234\u00a0567,89\t\t7\t\t",
             0,
             1,
             "0,1=123456789;0,3=700;0,4=0;0,5=0;",
             {}},
        Case{"codes and closings passed over",
             "x\t5\tcode\t6\t\t8\tzz",
             0,
             0,
             "0,1=500;0,3=600;0,4=0;0,5=800;",
             {}},
        Case{"an empty cell is 0", "\t5", 0, 4, "0,4=0;0,5=500;", {}},
        Case{"letters", "1\nабв", 2, 1, "", PasteRefusal{Kind::NotANumber, 3, 1}},
        Case{"formula", "=A1+B2", 0, 1, "", PasteRefusal{Kind::NotANumber, 0, 1}},
        Case{"лв.", "12 лв.", 0, 3, "", PasteRefusal{Kind::NotANumber, 0, 3}},
        Case{"currency sign", "€12", 0, 3, "", PasteRefusal{Kind::NotANumber, 0, 3}},
        Case{"exponent", "1e5", 0, 3, "", PasteRefusal{Kind::NotANumber, 0, 3}},
        Case{"too many rows", "1\n\n3\n4", 1, 1, "", PasteRefusal{Kind::PastTheGrid, 4, 1}},
        Case{"too many columns", "1\t2\t3", 0, 5, "", PasteRefusal{Kind::PastTheGrid, 0, 7}},
        Case{"bad figure before the edge", "x\t2\t3", 0, 5, "",
             PasteRefusal{Kind::NotANumber, 0, 5}},
        Case{"only line ends", "\r\n\n", 0, 1, "", PasteRefusal{Kind::Empty}},
        Case{"nothing", "", 0, 1, "", PasteRefusal{Kind::Empty}}),
    [](const auto& info) {
        std::string name;
        for (const char ch : std::string(info.param.name)) {
            if (std::isalnum(static_cast<unsigned char>(ch))) {
                name += ch;
            }
        }
        return name + std::to_string(info.index);
    });

TEST(PasteLimits, HugeTextIsRefusedAndOneHugeLineIsNoNumber)
{
    const QString huge(kMaxClipboardChars + 1, u'1');
    EXPECT_EQ(PlanPaste(huge, 0, 1, kGrid).refusal->kind, Kind::TooLarge);
    const QString line(kMaxClipboardChars, u'9');
    const PastePlan plan = PlanPaste(line, 0, 1, kGrid);
    ASSERT_TRUE(plan.refusal);
    EXPECT_EQ(plan.refusal->kind, Kind::NotANumber);
}

TEST(CopyBlock, TabsLinesAndAnEscapedHtmlTable)
{
    const std::vector<std::vector<QString>> cells{{"Заеми <A&B>", "1\u00a0234,50"}, {"x\ty", ""}};
    EXPECT_EQ(BlockText(cells), QString::fromUtf8("Заеми <A&B>\t1\u00a0234,50\nx y\t\n"));
    const QString html = BlockHtml(cells);
    EXPECT_TRUE(html.contains(
        QString::fromUtf8("<tr><td>Заеми &lt;A&amp;B&gt;</td><td>1\u00a0234,50</td></tr>")))
        << html.toStdString();
    // What is copied pastes back as the same figures.
    const PastePlan plan = PlanPaste(BlockText({{"1\u00a0234,50", "-7,00"}}), 0, 3, kGrid);
    EXPECT_EQ(Figures(plan), "0,3=123450;0,4=-700;");
}

} // namespace
