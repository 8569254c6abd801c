// The report form read from the structure, the closing amounts, the total rows and the texts of
// the information pane.

#include "editor/Amount.h"
#include "editor/ReportForm.h"
#include "editor/ReportRules.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

const QLocale kBg(QLocale::Bulgarian, QLocale::Bulgaria);

class SampleForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(structure.load(test::ProgramFolder::sampleFile("Structure.xml")), kLoadOk);
        form = std::make_unique<ReportForm>(structure);
    }
    int gridRowOf(const char* id) const { return form->TotalGridRow(QString::fromLatin1(id)); }

    DomDocument structure;
    std::unique_ptr<ReportForm> form;
};

TEST_F(SampleForm, RowsHeadingsAndCodesComeFromTheStructure)
{
    ASSERT_EQ(form->rowCount(), 27);
    EXPECT_EQ(form->row(0).id, "2");
    EXPECT_TRUE(form->row(0).restricted);
    EXPECT_EQ(gridRowOf("2"), 3);
    EXPECT_EQ(gridRowOf("3"), 4);
    EXPECT_EQ(gridRowOf("7"), 7); // nested two levels deep, in document order
    EXPECT_EQ(form->gridRow(7).sumid, "6-3-2");

    int highlighted = 0;
    for (int r = 3; r < 30; ++r) {
        highlighted += form->IsHighlightedRow(r);
    }
    EXPECT_EQ(highlighted, 3);

    const auto& h = form->headings();
    EXPECT_EQ(h[0][0], "Вид на дълга");
    EXPECT_EQ(h[1][0], "Вид на дълга");
    EXPECT_EQ(h[0][2], h[0][3]);
    EXPECT_EQ(h[0][2], "Увеличения през месеца");
    EXPECT_EQ(h[1][2], "Код по ЕБК");
    EXPECT_EQ(h[1][5], "Сума");
    EXPECT_EQ(h[0][6], "Дълг в края на месеца");
    EXPECT_EQ(h[2][6], "7");

    EXPECT_EQ(form->CodeTexts(5),
              std::make_pair(QStringLiteral("§ 82-11"), QStringLiteral("§ 82-12")));
    EXPECT_EQ(form->CodeTexts(14), std::make_pair(QStringLiteral("§ 88-11"), QString()));
    EXPECT_EQ(form->CodeTexts(15), std::make_pair(QString(), QString()));
}

struct EditableCase
{
    int row;
    int col;
    bool editable;
};

class Editable : public SampleForm, public ::testing::WithParamInterface<EditableCase>
{
};

TEST_P(Editable, OnlyFiguresOfFreeRows)
{
    EXPECT_EQ(form->IsEditableCell(GetParam().row, GetParam().col), GetParam().editable);
}

INSTANTIATE_TEST_SUITE_P(Cells, Editable,
                         ::testing::Values(EditableCase{5, 1, true}, EditableCase{5, 3, true},
                                           EditableCase{5, 5, true}, EditableCase{5, 0, false},
                                           EditableCase{5, 2, false}, EditableCase{5, 4, false},
                                           EditableCase{5, 6, false}, EditableCase{3, 1, false},
                                           EditableCase{4, 3, false}, EditableCase{6, 1, false},
                                           EditableCase{2, 1, false}, EditableCase{29, 5, true},
                                           EditableCase{30, 1, false}));

// A grid of the sample form with every figure 0, as a new report shows it.
TextTable emptyGrid(const ReportForm& form)
{
    TextTable g(3 + form.rowCount(), 7);
    for (int r = 3; r < g.Rows(); ++r) {
        for (int c : {1, 3, 5}) {
            g.setTextMatrix(r, c, RowText(QStringLiteral("0"), r));
        }
        RecomputeClosing(g, r, kBg);
    }
    return g;
}

TEST(RowText, EvenRowsCarryOneLeadingBlank)
{
    EXPECT_EQ(RowText("1,00", 3), "1,00");
    EXPECT_EQ(RowText("1,00", 4), " 1,00");
    EXPECT_EQ(RowText(" 1,00", 4), "  1,00");
    EXPECT_EQ(ZeroIfEmpty(""), "0");
    EXPECT_EQ(ZeroIfEmpty(" "), " ");
}

TEST_F(SampleForm, ClosingAmountIsOpeningPlusIncreasesMinusDecreases)
{
    TextTable g = emptyGrid(*form);
    g.setTextMatrix(8, 1, "1 000,00");
    g.setTextMatrix(8, 3, " 250,5");
    g.setTextMatrix(8, 5, "");
    RecomputeClosing(g, 8, kBg);
    EXPECT_EQ(g.TextMatrix(8, 6), " " + AmountText(1250.5, kBg));
    g.setTextMatrix(9, 5, "100");
    RecomputeClosing(g, 9, kBg);
    EXPECT_EQ(g.TextMatrix(9, 6), AmountText(-100, kBg));
}

TEST_F(SampleForm, AChangeReachesEveryListedTotalOnce)
{
    TextTable g = emptyGrid(*form);
    const int longTerm = gridRowOf("7"); // sumid 6-3-2
    const QString old = g.TextMatrix(longTerm, 3);
    const QString now = RowAmountText(150, longTerm, kBg);
    g.setTextMatrix(longTerm, 3, now);
    RecomputeClosing(g, longTerm, kBg);
    UpdateTotals(g, *form, longTerm, 3, old, now, kBg);
    for (const char* total : {"6", "3", "2"}) {
        const int t = gridRowOf(total);
        EXPECT_EQ(AmountValue(g.TextMatrix(t, 3), kBg), 150) << total;
        EXPECT_EQ(AmountValue(g.TextMatrix(t, 6), kBg), 150) << total;
        EXPECT_EQ(g.TextMatrix(t, 3), RowAmountText(150, t, kBg));
    }
    // The other group and the item rows are untouched.
    EXPECT_EQ(g.TextMatrix(gridRowOf("4"), 3), RowText("0", gridRowOf("4")));
    EXPECT_EQ(g.TextMatrix(gridRowOf("8"), 3), RowText("0", gridRowOf("8")));

    // Lowering the figure moves the totals by the difference only.
    UpdateTotals(g, *form, longTerm, 3, now, RowAmountText(30, longTerm, kBg), kBg);
    EXPECT_EQ(AmountValue(g.TextMatrix(gridRowOf("2"), 3), kBg), 30);
    EXPECT_EQ(AmountValue(g.TextMatrix(gridRowOf("2"), 6), kBg), 30);
}

TEST_F(SampleForm, AnUnchangedValueRewritesTheTotalsAsAmountTexts)
{
    TextTable g = emptyGrid(*form);
    const int bonds = gridRowOf("5"); // sumid 3-2
    UpdateTotals(g, *form, bonds, 1, g.TextMatrix(bonds, 1), g.TextMatrix(bonds, 1), kBg);
    EXPECT_EQ(g.TextMatrix(gridRowOf("3"), 1), RowAmountText(0, gridRowOf("3"), kBg));
    EXPECT_EQ(g.TextMatrix(gridRowOf("2"), 1), RowAmountText(0, gridRowOf("2"), kBg));
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
    UpdateTotals(g, form, 5, 3, "0", "10", kBg);
    EXPECT_EQ(AmountValue(g.TextMatrix(3, 3), kBg), 20);
    UpdateTotals(g, form, 6, 3, "", "4", kBg);
    EXPECT_EQ(AmountValue(g.TextMatrix(4, 3), kBg), 4);
    EXPECT_EQ(AmountValue(g.TextMatrix(3, 3), kBg), 20);
    UpdateTotals(g, form, 7, 3, "0", "1", kBg);
    EXPECT_EQ(g.TextMatrix(3, 3), RowAmountText(20, 3, kBg));
}

struct PaneCase
{
    const char* name;
    int row;
    bool prevFound;
    const char* expected; // I info title, R red-font text, N note, P no-previous text, | CR LF
};

QString expand(const char* pattern, const PaneTexts& t)
{
    QString out;
    for (const char* p = pattern; *p; ++p) {
        switch (*p) {
        case 'I':
            out += t.infoTitle;
            break;
        case 'R':
            out += t.msgRed;
            break;
        case 'N':
            out += t.note;
            break;
        case 'P':
            out += t.msgNoPrev;
            break;
        case '|':
            out += kCrLf;
            break;
        }
    }
    return out;
}

PaneTexts texts(bool prevFound)
{
    return {"Информация!", "червено", prevFound ? QString() : QStringLiteral("няма"), "бележка"};
}

class LeavePane : public ::testing::TestWithParam<PaneCase>
{
};

TEST_P(LeavePane, FootnoteFromRow14)
{
    const auto& p = GetParam();
    EXPECT_EQ(LeavePaneText(p.row, texts(p.prevFound)), expand(p.expected, texts(p.prevFound)));
}

INSTANTIATE_TEST_SUITE_P(Rows, LeavePane,
                         ::testing::Values(PaneCase{"r3_found", 3, true, "I"},
                                           PaneCase{"r13_found", 13, true, "I"},
                                           PaneCase{"r14_found", 14, true, "N"},
                                           PaneCase{"r13_missing", 13, false, "P"},
                                           PaneCase{"r14_missing", 14, false, "P|N"},
                                           PaneCase{"r29_missing", 29, false, "P|N"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CheckCase
{
    const char* name;
    int row;
    bool equal;
    bool allBlack;
    const char* expected;
};

class CheckPane : public ::testing::TestWithParam<CheckCase>
{
};

TEST_P(CheckPane, FootnoteFromRow13)
{
    const auto& p = GetParam();
    EXPECT_EQ(CheckColPaneText(p.row, p.equal, p.allBlack, texts(true)),
              expand(p.expected, texts(true)));
}

INSTANTIATE_TEST_SUITE_P(Rows, CheckPane,
                         ::testing::Values(CheckCase{"equal_black_r5", 5, true, true, "I"},
                                           CheckCase{"equal_black_r13", 13, true, true, "N"},
                                           CheckCase{"equal_red_left_r12", 12, true, false, "I|R"},
                                           CheckCase{"equal_red_left_r13", 13, true, false, "R|N"},
                                           CheckCase{"differs_r12", 12, false, false, "I|R"},
                                           CheckCase{"differs_r20", 20, false, false, "R|N"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ActivatePane, InfoTitleThenTheMissingReport)
{
    EXPECT_EQ(ActivatePaneText(texts(false)), "Информация!\r\nняма");
    EXPECT_EQ(ActivatePaneText(texts(true)), "Информация!\r\n");
}

} // namespace
