// The report form read from the structure, the total rows named by odd sumid lists, and the texts
// of the information pane at the rows where the footnote starts. Typing, totals and closing
// amounts are tested through the editor itself; headings and code texts through the printout,
// whose grid the form lays out.

#include "core/Amount.h"
#include "core/ReportForm.h"
#include "core/ReportRules.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

TEST(SampleForm, RowsRestrictionsAndCodesComeFromTheStructure)
{
    DomDocument structure;
    ASSERT_EQ(structure.load(test::ProgramFolder::sampleFile("Structure.xml")), kLoadOk);
    const ReportForm form(structure);
    ASSERT_EQ(form.rowCount(), 27);
    EXPECT_EQ(form.row(0).id, "2");
    EXPECT_EQ(form.TotalGridRow("3"), 4);
    EXPECT_EQ(form.TotalGridRow("7"), 7); // nested two levels deep, in document order
    EXPECT_EQ(form.gridRow(7).sumid, "6-3-2");
    int highlighted = 0;
    for (int r = 3; r < 30; ++r) {
        highlighted += form.IsHighlightedRow(r);
    }
    EXPECT_EQ(highlighted, 3);
    // Figures of free rows only; the form ends at grid row 29.
    QString editable;
    for (const auto& [r, c] : {std::pair{5, 1},
                               {5, 3},
                               {5, 5},
                               {5, 0},
                               {5, 2},
                               {5, 4},
                               {5, 6},
                               {3, 1},
                               {4, 3},
                               {6, 1},
                               {2, 1},
                               {29, 5},
                               {30, 1}}) {
        editable += form.IsEditableCell(r, c) ? u'y' : u'n';
    }
    EXPECT_EQ(editable, "yyynnnnnnnnyn");
    EXPECT_EQ(form.CodeTexts(14), std::make_pair(QStringLiteral("§ 88-11"), QString()));
    EXPECT_EQ(form.CodeTexts(15), std::make_pair(QString(), QString()));
}

TEST(UpdateTotals, OddSumidListsAreHandledSafely)
{
    DomDocument s;
    ASSERT_EQ(s.loadBytes("<nomenclatures><structure>"
                          "<str id='2'/><str id='5'/>"
                          "<str id='7' sumid='2-2'/>"     // listed twice: applied twice
                          "<str id='8' sumid='-99--5-'/>" // empty parts and an unknown id
                          "<str id='9'/>"                 // no sumid
                          "</structure><columns/></nomenclatures>"),
              kLoadOk);
    const ReportForm form(s);
    TextTable g(8, 7);
    UpdateTotals(g, form, 5, 3, "0", "10");
    EXPECT_EQ(AmountValue(g.TextMatrix(3, 3)), 20);
    UpdateTotals(g, form, 6, 3, "", "4");
    EXPECT_EQ(AmountValue(g.TextMatrix(4, 3)), 4);
    EXPECT_EQ(AmountValue(g.TextMatrix(3, 3)), 20);
    UpdateTotals(g, form, 7, 3, "0", "1");
    EXPECT_EQ(g.TextMatrix(3, 3), RowAmountText(20, 3));
}

// --- the information pane ----------------------------------------------------------------------

struct PaneCase
{
    const char* name;
    int row;
    bool prevFound;    // the previous month's report exists
    bool equal;        // the compared opening amount agrees with it
    bool allBlack;     // no other opening amount is red
    const char* leave; // the pane when the cell is left
    const char* check; // the pane after the opening amount is compared
};

// Patterns: I info title, R red-font text, N note, P no-previous text, | CR LF.
QString Expand(QString pattern, const PaneTexts& t)
{
    return pattern.replace(u'I', t.infoTitle)
        .replace(u'R', t.msgRed)
        .replace(u'P', t.msgNoPrev)
        .replace(u'N', t.note)
        .replace(u'|', kCrLf);
}

class Pane : public ::testing::TestWithParam<PaneCase>
{
};

TEST_P(Pane, ShowsTheFootnoteLowInTheTable)
{
    const auto& p = GetParam();
    const PaneTexts t{"Информация!", "червено", p.prevFound ? QString() : QStringLiteral("няма"),
                      "бележка"};
    EXPECT_EQ(LeavePaneText(p.row, t), Expand(p.leave, t));
    if (p.prevFound) {
        EXPECT_EQ(CheckColPaneText(p.row, p.equal, p.allBlack, t), Expand(p.check, t));
    }
}

// The note starts at grid row 14 when a cell is left and at row 13 after a comparison.
INSTANTIATE_TEST_SUITE_P(
    Rows, Pane,
    ::testing::Values(PaneCase{"r3", 3, true, true, true, "I", "I"},
                      PaneCase{"r12_red_left", 12, true, true, false, "I", "I|R"},
                      PaneCase{"r12_differs", 12, true, false, false, "I", "I|R"},
                      PaneCase{"r13_black", 13, true, true, true, "I", "N"},
                      PaneCase{"r13_red_left", 13, true, true, false, "I", "R|N"},
                      PaneCase{"r14", 14, true, true, true, "N", "N"},
                      PaneCase{"r20_differs", 20, true, false, false, "N", "R|N"},
                      PaneCase{"r13_no_previous", 13, false, true, true, "P", ""},
                      PaneCase{"r14_no_previous", 14, false, true, true, "P|N", ""},
                      PaneCase{"r29_no_previous", 29, false, true, true, "P|N", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
