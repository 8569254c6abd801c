// The report editor driven through its real widgets: typing, committing, totals, the previous-month
// colours and the information pane, and closing.

#include "core/Amount.h"
#include "core/AppState.h"
#include "core/Messages.h"
#include "core/VerifyReport.h"
#include "gui/FlexGrid.h"
#include "gui/frmSpravka.h"
#include "support/ReportFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <clocale>

using namespace kvor;

namespace {

// Grid rows of the sample form.
constexpr int kTotal = 3;         // id 2, restricted
constexpr int kDomestic = 4;      // id 3, restricted
constexpr int kBonds = 5;         // id 5, sumid 3-2
constexpr int kBanks = 6;         // id 6, restricted, fed by 7 and 8
constexpr int kLongTerm = 7;      // id 7, sumid 6-3-2
constexpr int kShortTerm = 8;     // id 8, sumid 6-3-2
constexpr int kForeignBanks = 19; // id 18, sumid 4-2
constexpr int kExternal = 16;     // id 4

const QLocale kBg(QLocale::Bulgarian, QLocale::Bulgaria);

} // namespace

class EditorTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<frmSpravka> m_form;

    frmSpravka& open()
    {
        m_form = std::make_unique<frmSpravka>(nullptr, *m_state);
        m_form->show();
        m_form->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(m_form.get());
        return *m_form;
    }
    FlexGrid* grid() const { return m_form->grdDocEnter; }
    QWindow* window() const { return m_form->windowHandle(); }

    void goTo(int row, int col)
    {
        grid()->setRow(row);
        grid()->setCol(col);
        grid()->SetFocus();
    }
    // Keys as the user types them: they go to whatever has the focus.
    void type(const QString& text)
    {
        for (const QChar ch : text) {
            QWidget* target = QApplication::focusWidget();
            QVERIFY(target);
            if (ch.isDigit()) {
                QTest::keyClick(target, Qt::Key(Qt::Key_0 + ch.digitValue()));
            } else {
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, ch, Qt::NoModifier);
            }
        }
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), k, m);
        QCoreApplication::processEvents();
    }
    // Types a figure into a cell and leaves it with `leave`, waiting until it is committed.
    void enter(int row, int col, const QString& text, Qt::Key leave = Qt::Key_Right)
    {
        goTo(row, col);
        type(text);
        key(leave);
        QTRY_VERIFY(!m_form->txtEdit->isVisible());
    }
    void click(int row, int col, bool twice = false)
    {
        const QPoint at = grid()->body()->visualRect(grid()->model()->index(row, col)).center();
        QTest::mouseClick(grid()->body()->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(grid()->body()->viewport(), Qt::LeftButton, {}, at);
        }
    }
    double value(int row, int col) const { return AmountValue(grid()->TextMatrix(row, col)); }
    QColor colour(int row, int col) { return grid()->model()->foreColor(row, col); }
    QString reportPath() const { return m_folder->dataPath("mfddd_sd_5101_2004_03.xml"); }
    QString savedAmount(int row, const char* col)
    {
        DomDocument saved;
        return saved.load(reportPath()) == kLoadOk ? GetAttribute(test::DocRow(saved, row - 3), col)
                                                   : QStringLiteral("<unreadable>");
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(kBg);
        std::setlocale(LC_NUMERIC, "C");
    }

    void init()
    {
        m_fake = std::make_unique<test::FakePlatform>();
        m_folder = std::make_unique<test::ProgramFolder>(*m_fake);
        m_state = std::make_unique<AppState>();
        test::LoadSampleReport(*m_state);
    }

    void cleanup()
    {
        if (m_form) {
            m_form->bChanged = false;
            m_form->close();
        }
        m_form.reset();
        m_folder.reset();
        m_fake.reset();
    }

    void opensWithTheReportLaidOut()
    {
        frmSpravka& f = open();
        QCOMPARE(f.txtPeriod->text(), QStringLiteral("03 / 2004"));
        QCOMPARE(f.txtObshtina->text(), QStringLiteral("Банско"));
        QCOMPARE(f.txtEBK->text(), QStringLiteral("5101"));
        QCOMPARE(grid()->Rows(), 30);
        QCOMPARE(grid()->FixedRows(), 3);
        QCOMPARE(grid()->TextMatrix(1, 3), QStringLiteral("Сума"));
        QCOMPARE(grid()->TextMatrix(kBonds, 2), QStringLiteral("§ 82-11"));
        // Stored "0" is shown as it is, with the blank of an even row; the closing is recomputed.
        QCOMPARE(grid()->TextMatrix(kBanks, 1), QStringLiteral(" 0"));
        QCOMPARE(grid()->TextMatrix(kBonds, 1), QStringLiteral("0"));
        QCOMPARE(grid()->TextMatrix(kBanks, 6), QStringLiteral(" 0,00"));
        QCOMPARE(grid()->model()->backColor(kTotal, 4), frmSpravka::kHighlight);
        QCOMPARE(grid()->model()->backColor(kExternal, 0), frmSpravka::kHighlight);
        QVERIFY(grid()->model()->backColor(kBonds, 0) != frmSpravka::kHighlight);
        QCOMPARE(f.InfoText(), QStringLiteral("Информация!\r\n") + msg::kMsgNoPrev);
        QVERIFY(!f.bChanged);
    }

    void typingUpdatesTheRowAndItsTotalsAndEnterMovesDown()
    {
        frmSpravka& f = open();
        goTo(kLongTerm, 3);
        type(QStringLiteral("150"));
        QVERIFY(f.txtEdit->isVisible());
        QCOMPARE(f.txtEdit->text(), QStringLiteral("150"));
        QCOMPARE(colour(kLongTerm, 3), frmSpravka::kRed);
        key(Qt::Key_Return);
        QTRY_COMPARE(grid()->Row(), kShortTerm);
        QVERIFY(!f.txtEdit->isVisible());
        QCOMPARE(grid()->TextMatrix(kLongTerm, 3), AmountText(150));
        QCOMPARE(colour(kLongTerm, 3), frmSpravka::kBlack);
        QCOMPARE(value(kLongTerm, 6), 150.0);
        for (int total : {kBanks, kDomestic, kTotal}) {
            QCOMPARE(value(total, 3), 150.0);
            QCOMPARE(value(total, 6), 150.0);
        }
        QCOMPARE(value(kExternal, 3), 0.0);
        QVERIFY(f.bChanged);
        QVERIFY(!f.bSaved);

        // A decrease on the short-term row lowers the same totals.
        grid()->setCol(5);
        type(QStringLiteral("40,5"));
        key(Qt::Key_Return);
        QTRY_COMPARE(grid()->Row(), kShortTerm + 1);
        QCOMPARE(grid()->TextMatrix(kShortTerm, 5), u' ' + AmountText(40.5));
        QCOMPARE(value(kShortTerm, 6), -40.5);
        QCOMPARE(value(kTotal, 5), 40.5);
        QCOMPARE(value(kTotal, 6), 109.5);
    }

    void editingACellAgainCountsTheDifferenceOnly()
    {
        frmSpravka& f = open();
        enter(kForeignBanks, 1, QStringLiteral("100"), Qt::Key_Up);
        goTo(kForeignBanks, 1);
        click(kForeignBanks, 1, true);
        QVERIFY(f.txtEdit->isVisible());
        QCOMPARE(f.txtEdit->text(), AmountText(100)); // the whole text to edit
        f.txtEdit->selectAll();
        type(QStringLiteral("70"));
        key(Qt::Key_Down);
        QTRY_COMPARE(grid()->Row(), kForeignBanks + 1);
        QCOMPARE(value(kExternal, 1), 70.0);
        QCOMPARE(value(kTotal, 1), 70.0);
        QCOMPARE(value(kTotal, 6), 70.0);
        // Enter opens the editor on the cell's text and the posted Down commits it unchanged.
        enter(kForeignBanks, 1, QString(), Qt::Key_Return);
        QCOMPARE(value(kTotal, 1), 70.0);
        // An emptied editor stores zero.
        goTo(kForeignBanks, 1);
        type(QStringLiteral("5"));
        f.txtEdit->clear();
        key(Qt::Key_Return);
        QTRY_VERIFY(!f.txtEdit->isVisible());
        QCOMPARE(grid()->TextMatrix(kForeignBanks, 1), AmountText(0));
        QCOMPARE(value(kTotal, 1), 0.0);
    }

    void escLeavesEverythingAsItWas()
    {
        frmSpravka& f = open();
        goTo(kBonds, 3);
        type(QStringLiteral("999"));
        QVERIFY(f.txtEdit->isVisible());
        key(Qt::Key_Escape);
        QVERIFY(!f.txtEdit->isVisible());
        QCOMPARE(grid()->TextMatrix(kBonds, 3), QStringLiteral("0"));
        QCOMPARE(grid()->TextMatrix(kTotal, 3), QStringLiteral("0"));
        QCOMPARE(colour(kBonds, 3), frmSpravka::kBlack);
        QCOMPARE(grid()->Row(), kBonds);
        QCOMPARE(grid()->Col(), 3);
        QVERIFY(f.isVisible()); // Esc in the editor does not close the window
    }

    void lettersAreRefusedAndTheEditorStaysOpen()
    {
        frmSpravka& f = open();
        goTo(kBonds, 1);
        type(QStringLiteral("аб"));
        key(Qt::Key_Return);
        QCOMPARE(m_fake->texts(), QStringList({"Въведете число!"}));
        QCOMPARE(m_fake->messages[0].title, msg::kTitleWarning);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Critical);
        QVERIFY(f.txtEdit->isVisible());
        QTRY_VERIFY(f.txtEdit->hasFocus());
        QCOMPARE(f.txtEdit->selectedText(), QStringLiteral("аб"));
        // Clicking another cell is refused the same way, once, and the editor stays on its cell.
        click(kLongTerm, 3);
        QTRY_VERIFY(f.txtEdit->hasFocus());
        QCOMPARE(m_fake->messages.size(), 2);
        QCOMPARE(grid()->Row(), kBonds);
        QCOMPARE(grid()->Col(), 1);
        QCOMPARE(f.txtEdit->selectedText(), QStringLiteral("аб"));
        QCOMPARE(grid()->TextMatrix(kTotal, 1), QStringLiteral("0"));
        // Correcting the text commits it.
        type(QStringLiteral("12"));
        key(Qt::Key_Return);
        QTRY_VERIFY(!f.txtEdit->isVisible());
        QCOMPARE(value(kBonds, 1), 12.0);
        QCOMPARE(value(kTotal, 1), 12.0);
        // Without the previous month's report an opening amount is never red.
        QCOMPARE(colour(kBonds, 1), frmSpravka::kBlack);
        QCOMPARE(f.InfoText(), msg::kMsgNoPrev);
    }

    void restrictedRowsAndOtherColumnsOpenNothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("total row") << kTotal << 1;
        QTest::newRow("group row") << kDomestic << 3;
        QTest::newRow("sub-total row") << kBanks << 5;
        QTest::newRow("caption") << kBonds << 0;
        QTest::newRow("code of increases") << kBonds << 2;
        QTest::newRow("code of decreases") << kBonds << 4;
        QTest::newRow("closing") << kBonds << 6;
    }
    void restrictedRowsAndOtherColumnsOpenNothing()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        frmSpravka& f = open();
        goTo(row, col);
        type(QStringLiteral("5"));
        key(Qt::Key_Return);
        click(row, col, true);
        QVERIFY(!f.txtEdit->isVisible());
        QVERIFY(!f.bChanged);
        QCOMPARE(value(kTotal, 1) + value(kTotal, 3) + value(kTotal, 5), 0.0);
    }

    void openingAmountsThatDisagreeWithThePreviousMonthTurnRed()
    {
        // The opening amount carried over from the previous month's closing amount.
        m_state->bPrevData = true;
        m_state->sMsgNoPrev.clear();
        SetAttribute(test::DocRow(m_state->xmlDoc, kBonds - 3), "col1", "25");
        frmSpravka& f = open();
        QCOMPARE(f.InfoText(), QStringLiteral("Информация!\r\n"));
        goTo(kBonds, 1);
        key(Qt::Key_Right); // an unchanged opening amount stays black
        QCOMPARE(colour(kBonds, 1), frmSpravka::kBlack);
        QCOMPARE(f.InfoText(), m_state->sInfoTitle);

        enter(kBonds, 1, QStringLiteral("30"));
        QCOMPARE(colour(kBonds, 1), frmSpravka::kRed);
        QCOMPARE(f.InfoText(), m_state->sInfoTitle + "\r\n" + m_state->sMsgRed);
        // Low in the table the pane shows the footnote after the red-font line.
        enter(kForeignBanks, 1, QStringLiteral("3"));
        QCOMPARE(colour(kForeignBanks, 1), frmSpravka::kRed);
        QCOMPARE(f.InfoText(), m_state->sMsgRed + "\r\n" + m_state->sNote);
        // Back to the previous month's figure: black, but another cell of the column is still red.
        enter(kBonds, 1, QStringLiteral("25"));
        QCOMPARE(colour(kBonds, 1), frmSpravka::kBlack);
        QCOMPARE(f.InfoText(), m_state->sInfoTitle + "\r\n" + m_state->sMsgRed);
        enter(kForeignBanks, 1, QStringLiteral("0"));
        QCOMPARE(colour(kForeignBanks, 1), frmSpravka::kBlack);
        QCOMPARE(f.InfoText(), m_state->sNote);
        // Other columns never compare anything.
        enter(kBonds, 3, QStringLiteral("7"));
        QCOMPARE(colour(kBonds, 3), frmSpravka::kBlack);
        QCOMPARE(f.InfoText(), m_state->sInfoTitle);
    }

    void closingAsksOnlyAfterAChangeAndCancelKeepsComparing()
    {
        frmSpravka& f = open();
        f.close();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!f.isVisible());

        m_state->bPrevData = true;
        m_state->sMsgNoPrev.clear();
        frmSpravka& g = open();
        enter(kBonds, 1, QStringLiteral("1"), Qt::Key_Return);
        m_fake->answers = {MsgAnswer::Cancel};
        g.close();
        QCOMPARE(m_fake->texts(), QStringList({"Желаете ли да съхраните промените в документа?"}));
        QCOMPARE(m_fake->messages[0].buttons, MsgButtons::YesNoCancel);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Exclamation);
        QVERIFY(g.isVisible());
        QCOMPARE(value(kBonds, 1), 1.0);
        // Still compared with the previous month.
        enter(kShortTerm, 1, QStringLiteral("4"));
        QCOMPARE(colour(kShortTerm, 1), frmSpravka::kRed);
        m_fake->answers = {MsgAnswer::No};
        g.close();
        QVERIFY(!g.isVisible());
        QVERIFY(!m_state->bPrevData);
        QVERIFY(!QFileInfo::exists(reportPath()));
    }

    void saveWritesTheFiguresWithoutGridBlanksAndACorrectHash()
    {
        frmSpravka& f = open();
        enter(kLongTerm, 3, QStringLiteral("150"), Qt::Key_Return);
        QCOMPARE(grid()->Row(), kShortTerm);
        grid()->setCol(5);
        type(QStringLiteral("40,5"));
        // "Запис" while a figure is still being typed saves that figure too.
        f.cmdSave->click();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(f.bSaved);
        QCOMPARE(VerifyReportFile(reportPath()).status, VerifyStatus::Ok);
        QCOMPARE(savedAmount(kLongTerm, "col6"), AmountText(150));
        // Grid row 8 shows its figures after a blank; the file holds them without it.
        QCOMPARE(savedAmount(kShortTerm, "col8"), AmountText(40.5));
        QCOMPARE(savedAmount(kShortTerm, "col4"), AmountText(-40.5));
        QCOMPARE(savedAmount(kTotal, "col4"), AmountText(109.5));
        QCOMPARE(savedAmount(kBanks, "col1"), QStringLiteral("0"));

        // A second save of the unchanged grid writes the same file; closing asks nothing.
        const QByteArray first = m_folder->read("Data/mfddd_sd_5101_2004_03.xml");
        f.cmdSave->click();
        QCOMPARE(m_folder->read("Data/mfddd_sd_5101_2004_03.xml"), first);
        f.close();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!f.isVisible());
    }

    void editedAgainAfterASaveAsksAgainAndYesSaves()
    {
        frmSpravka& f = open();
        goTo(kBonds, 1);
        type(QStringLiteral("5"));
        f.cmdSave->click();
        QVERIFY(f.bSaved);
        enter(kBonds, 3, QStringLiteral("6"), Qt::Key_Return);
        m_fake->answers = {MsgAnswer::Yes};
        f.close();
        QCOMPARE(m_fake->texts(), QStringList({msg::kAskSave}));
        QVERIFY(!f.isVisible());
        QCOMPARE(savedAmount(kBonds, "col6"), AmountText(6));
    }

    void aSaveThatFailsIsReportedAndClosingStillAsks()
    {
        const QString data = m_folder->filePath("Data");
        m_folder->write("Data/mfddd_sd_5101_2004_03.xml", "previous content");
        QFile::setPermissions(reportPath(), QFileDevice::ReadOwner);
        QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        frmSpravka& f = open();
        enter(kBonds, 1, QStringLiteral("5"), Qt::Key_Return);
        f.cmdSave->click();
        QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
        QFile::setPermissions(reportPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(m_fake->messages.size(), 1);
        const auto& m = m_fake->messages[0];
        QCOMPARE(m.text, msg::kWriteDenied + QDir::toNativeSeparators(reportPath()));
        QCOMPARE(m.title, msg::kTitleWriteError);
        QCOMPARE(m.icon, MsgIcon::Critical);
        QVERIFY(!f.bSaved);
        QCOMPARE(m_folder->read("Data/mfddd_sd_5101_2004_03.xml"), QByteArray("previous content"));
        m_fake->answers = {MsgAnswer::Cancel};
        f.close();
        QCOMPARE(m_fake->texts().last(), msg::kAskSave);
        QVERIFY(f.isVisible());
    }
};

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
