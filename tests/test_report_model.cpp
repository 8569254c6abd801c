// The report model: rows, restrictions and code texts read from the structure, entries and the
// totals they feed, refused entries, the comparison with the previous month, storing, the saved
// bytes with their hash, and the texts of the information pane at the rows where the footnote
// starts.

#include "core/InfoPane.h"
#include "core/Money.h"
#include "core/ReportDocument.h"
#include "core/ReportHash.h"
#include "core/ReportModel.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

using namespace kvor;

namespace {

const QLocale kBg(QLocale::Bulgarian, QLocale::Bulgaria);

// An amount and its text, from a figure as typed.
Money M(const char* figure)
{
    return Money::parse(QString::fromUtf8(figure)).value();
}
QString T(const char* figure)
{
    return M(figure).text();
}

class BulgarianAmounts : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(kBg); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

// A form of its own: nested rows, odd sumid lists, codes listed twice and an id used twice.
const char kForm[] = "<nomenclatures><structure name='Вид'>"
                     "<str id='2' name='Общо' restricted='1'>"
                     "<str id='5' name='А' sumid='2'/>"
                     "<str id='7' name='Б' sumid='2-2'/>"     // listed twice: applied twice
                     "<str id='8' name='В' sumid='-99--5-'/>" // empty parts and an unknown id
                     "<str id='9' name='Г' sumid='9-2'/>"     // a row that feeds itself
                     "</str><str id='5' name='втори 5'/>"     // a second id 5 is never a total
                     "</structure><columns/><codes>"
                     "<code strid='5' colid='7' item='x7'/><code strid='5' colid='5' item='x5'/>"
                     "<code strid='5' colid='5' item='later'/><code strid='7' colid='7' item='y'/>"
                     "</codes></nomenclatures>";
const char kDoc[] = "<positions period='03 / 2004'><structure>"
                    "<str id='2' col1='10' col6='0' col8='0'/><str id='5' col1='10'/>"
                    "<str id='7' col1='x'/><str id='8'/><str id='9' col1='0' col6='0' col8='0'/>"
                    "</structure></positions>";

class Model : public BulgarianAmounts
{
protected:
    void SetUp() override
    {
        BulgarianAmounts::SetUp();
        ASSERT_EQ(structure.loadBytes(kForm), kLoadOk);
        ASSERT_EQ(document.loadBytes(kDoc), kLoadOk);
        model = std::make_unique<ReportModel>(structure, document);
    }
    DomDocument structure;
    DomDocument document;
    std::unique_ptr<ReportModel> model;
};

TEST_F(Model, RowsCodesAndTextsComeFromTheStructureAndTheDocument)
{
    ASSERT_EQ(model->rowCount(), 6);
    EXPECT_EQ(model->caption(1), "А");
    EXPECT_TRUE(model->isHighlighted(0));
    EXPECT_FALSE(model->isHighlighted(1));
    // The first code of a row and column counts; a row with codes for one column only.
    EXPECT_EQ(model->text(1, grid::kCodeAdded), "x5");
    EXPECT_EQ(model->text(1, grid::kCodeSubtracted), "x7");
    EXPECT_EQ(model->text(2, grid::kCodeAdded), "");
    EXPECT_EQ(model->text(2, grid::kCodeSubtracted), "y");
    // Stored figures are shown as they are, after one blank on every second row; the closing
    // amount is always worked out. A missing document row gives empty figures.
    EXPECT_EQ(model->text(0, grid::kOpening), "10");
    EXPECT_EQ(model->text(1, grid::kOpening), " 10");
    EXPECT_EQ(model->text(1, grid::kClosing), u' ' + T("10"));
    EXPECT_EQ(model->text(5, grid::kOpening), " ");
    EXPECT_EQ(model->amount(2, grid::kClosing), Money()); // a figure that is no number counts as 0
    EXPECT_EQ(model->shownAmount(2, grid::kOpening), std::nullopt);
    EXPECT_EQ(model->shownAmount(1, grid::kCaption), std::nullopt);
    EXPECT_EQ(model->heading(grid::kGroupHeadingRow, 0), "Вид");
    EXPECT_EQ(model->heading(grid::kNumberHeadingRow, 6), "7");

    QString editable;
    for (const auto& [n, c] : {std::pair{1, 1},
                               {1, 3},
                               {1, 5},
                               {1, 0},
                               {1, 2},
                               {1, 4},
                               {1, 6},
                               {0, 1},
                               {-1, 1},
                               {6, 1}}) {
        editable += model->isEditable(n, c) ? u'y' : u'n';
    }
    EXPECT_EQ(editable, "yyynnnnnnn");
}

TEST_F(Model, EntriesFeedTheTotalsTheirRowsName)
{
    std::vector<int> touched;
    ASSERT_EQ(model->enter(1, grid::kAdded, " 1 234,5 ", &touched), ReportModel::Entry::Accepted);
    EXPECT_EQ(touched, (std::vector<int>{1, 0}));
    EXPECT_EQ(model->text(1, grid::kAdded), u' ' + T("1234,5"));
    EXPECT_EQ(model->amount(0, grid::kAdded), M("1234,5"));
    EXPECT_EQ(model->amount(0, grid::kClosing), M("1244,5"));
    // A second entry counts the difference only; an empty text is 0.
    ASSERT_EQ(model->enter(1, grid::kAdded, "1000"), ReportModel::Entry::Accepted);
    EXPECT_EQ(model->amount(0, grid::kAdded), M("1000"));
    ASSERT_EQ(model->enter(1, grid::kAdded, ""), ReportModel::Entry::Accepted);
    EXPECT_EQ(model->text(1, grid::kAdded), u' ' + T("0"));
    EXPECT_EQ(model->amount(0, grid::kAdded), M("0"));
    // Listed twice, applied twice.
    ASSERT_EQ(model->enter(2, grid::kSubtracted, "3"), ReportModel::Entry::Accepted);
    EXPECT_EQ(model->amount(0, grid::kSubtracted), M("6"));
    EXPECT_EQ(model->amount(0, grid::kClosing), M("4")); // 10 + 0 - 6
    // Empty parts and unknown ids are passed over; a second row with id 5 is no total.
    touched.clear();
    ASSERT_EQ(model->enter(3, grid::kOpening, "4", &touched), ReportModel::Entry::Accepted);
    EXPECT_EQ(touched, (std::vector<int>{3, 1}));
    EXPECT_EQ(model->amount(1, grid::kOpening), M("14"));
    EXPECT_EQ(model->amount(5, grid::kOpening), M("0"));
    // A row that feeds itself counts the entry twice, as an entry written before its totals does.
    ASSERT_EQ(model->enter(4, grid::kAdded, "5"), ReportModel::Entry::Accepted);
    EXPECT_EQ(model->amount(4, grid::kAdded), M("10"));
    EXPECT_EQ(model->amount(0, grid::kAdded), M("5"));
    // Restricted rows and the other columns take nothing.
    EXPECT_EQ(model->enter(0, grid::kOpening, "9"), ReportModel::Entry::Accepted);
    EXPECT_EQ(model->amount(0, grid::kOpening), M("10"));
}

TEST_F(Model, RefusedEntriesChangeNothing)
{
    ASSERT_EQ(model->enter(1, grid::kOpening, "20"), ReportModel::Entry::Accepted);
    const std::string nines(308, '9');
    const struct
    {
        const char* typed;
        ReportModel::Entry result;
    } cases[] = {
        {"аб", ReportModel::Entry::NotANumber},
        {"1e5", ReportModel::Entry::NotANumber},
        {"12,5x", ReportModel::Entry::NotANumber},
        {"92233720368547758,08", ReportModel::Entry::TooLarge},
        {"-92 233 720 368 547 758,08", ReportModel::Entry::TooLarge},
        {nines.c_str(), ReportModel::Entry::TooLarge},
    };
    for (const auto& c : cases) {
        std::vector<int> touched;
        EXPECT_EQ(model->enter(1, grid::kOpening, QString::fromUtf8(c.typed), &touched), c.result)
            << c.typed;
        EXPECT_TRUE(touched.empty());
        EXPECT_EQ(model->text(1, grid::kOpening), u' ' + T("20"));
        EXPECT_EQ(model->amount(0, grid::kOpening), M("20"));
    }
    // A figure that fits alone but would carry its row's closing amount (20 + it) or its total
    // beyond the range is refused too; the
    // largest figures are kept to the stotinka, half-way ones rounded away from zero.
    EXPECT_EQ(model->enter(1, grid::kAdded, "92233720368547758"), ReportModel::Entry::TooLarge);
    EXPECT_EQ(model->amount(0, grid::kAdded), Money());
    ASSERT_EQ(model->enter(1, grid::kOpening, "60 000 000 000 000 000"),
              ReportModel::Entry::Accepted);
    EXPECT_EQ(model->enter(2, grid::kOpening, "40 000 000 000 000 000"),
              ReportModel::Entry::TooLarge);
    EXPECT_EQ(model->amount(0, grid::kOpening), M("60 000 000 000 000 000"));
    ASSERT_EQ(model->enter(1, grid::kOpening, "999 999 999 999 999,99"),
              ReportModel::Entry::Accepted);
    EXPECT_EQ(model->amount(0, grid::kClosing).stotinki(), 99'999'999'999'999'999);
    for (const auto& [typed, shown] :
         {std::pair{"2,675", "2,68"}, {"1,005", "1,01"}, {"-2,675", "-2,68"}, {"0,125", "0,13"}}) {
        ASSERT_EQ(model->enter(1, grid::kAdded, typed), ReportModel::Entry::Accepted);
        EXPECT_EQ(model->text(1, grid::kAdded), QStringLiteral(" ") + shown);
    }
}

TEST_F(Model, OpeningsThatDisagreeAreCountedUntilStoredOrCorrected)
{
    EXPECT_TRUE(model->compareOpening(1));
    ASSERT_EQ(model->enter(1, grid::kOpening, "8"), ReportModel::Entry::Accepted); // 9 with row 3
    ASSERT_EQ(model->enter(3, grid::kOpening, "1"), ReportModel::Entry::Accepted);
    EXPECT_FALSE(model->compareOpening(1));
    EXPECT_FALSE(model->compareOpening(1)); // compared again: still one
    EXPECT_FALSE(model->compareOpening(3));
    EXPECT_EQ(model->differingOpenings(), 2);
    ASSERT_EQ(model->enter(1, grid::kOpening, "10"), ReportModel::Entry::Accepted);
    EXPECT_TRUE(model->compareOpening(1)); // back to the stored figure
    EXPECT_EQ(model->differingOpenings(), 1);
    model->clearOpeningMark(3);
    EXPECT_EQ(model->differingOpenings(), 0);
    // Once stored, the entered figure is the reference.
    ASSERT_EQ(model->enter(3, grid::kOpening, "2"), ReportModel::Entry::Accepted);
    ASSERT_TRUE(model->store(document));
    EXPECT_TRUE(model->compareOpening(3));
}

TEST_F(Model, StoringWritesFiguresWithoutBlanksAndTheClosingAmount)
{
    ASSERT_EQ(model->enter(1, grid::kAdded, "2,5"), ReportModel::Entry::Accepted);
    ASSERT_EQ(model->enter(5, grid::kOpening, "7"), ReportModel::Entry::Accepted);
    ASSERT_TRUE(model->store(document));
    const auto rows = selectNodes(document, QStringLiteral("positions//str"));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(NodeXml(rows[1]), QStringLiteral("<str id=\"5\" col1=\"10\" col6=\"") + T("2,5") +
                                    "\" col8=\"\" col4=\"" + T("12,5") + "\"/>");
    EXPECT_EQ(GetAttribute(rows[0], "col6"), T("2,5"));
    EXPECT_EQ(GetAttribute(rows[0], "col4"), T("12,5"));
    EXPECT_EQ(GetAttribute(rows[2], "col1"), "x");
    // The form's last row, which the document lacked, is added with its attributes but the
    // caption, after the stored rows.
    EXPECT_EQ(NodeXml(rows[5]), QStringLiteral("<str id=\"5\" col1=\"") + T("7") +
                                    "\" col6=\"\" col8=\"\" col4=\"" + T("7") + "\"/>");
    EXPECT_EQ(rows[5].parent(), rows[0].parent());
}

TEST_F(Model, AReportThatCannotTakeTheFiguresIsRefusedUnchanged)
{
    for (const char* bytes : {"<report period='1'><structure><str/></structure></report>",
                              "<positions><structure><str/></structure></positions>"}) {
        DomDocument other;
        ASSERT_EQ(other.loadBytes(bytes), kLoadOk);
        ReportModel report(structure, other);
        ASSERT_EQ(report.enter(1, grid::kAdded, "2"), ReportModel::Entry::Accepted);
        const QString before = NodeXml(other.documentElement());
        const Status stored = report.store(other);
        ASSERT_FALSE(stored) << bytes;
        EXPECT_EQ(stored.failure().kind, Failure::Kind::NotAReport);
        EXPECT_FALSE(stored.failure().reason.isEmpty());
        EXPECT_EQ(NodeXml(other.documentElement()), before);
    }
}

// The text saved is built once; it must be what storing the hash in the document and saving the
// document would write, whatever the attributes before `hash` hold and whether it exists yet.
class HashedSave : public ::testing::TestWithParam<const char*>
{
};

TEST_P(HashedSave, WritesTheDocumentWithTheHashOfItsOwnText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.xml"));
    DomDocument doc;
    ASSERT_EQ(doc.loadBytes(QByteArray(GetParam())), kLoadOk);
    ASSERT_TRUE(SaveHashedDocument(doc, path).ok());

    DomDocument expected;
    ASSERT_EQ(expected.loadBytes(QByteArray(GetParam())), kLoadOk);
    const XmlNode root = expected.documentElement();
    SetAttribute(root, QStringLiteral("hash"), QString());
    SetAttribute(root, QStringLiteral("hash"), DocumentHash(NodeXml(root)).value_or(QString()));
    EXPECT_EQ(test::ReadBytes(path), expected.toBytes());
    EXPECT_EQ(GetAttribute(doc.documentElement(), "hash"), GetAttribute(root, "hash"));
    EXPECT_FALSE(GetAttribute(root, "hash").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, HashedSave,
    ::testing::Values(
        "<?xml version='1.0' encoding='windows-1251'?><positions version='1'><structure>"
        "<str id='2' col1='1 234,50'/></structure></positions>",
        "<positions ob_name='&quot;А&amp;Б&quot; hash=&quot;&quot;' hash='1_2_3' ebk='x'/>",
        "<positions a='&#9;&lt;' hash=''>текст &amp; още</positions>"));

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

// The note starts at row 14 when a cell is left and at row 13 after a comparison.
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
