// The report editor driven through its real widgets: typing, committing, totals, the previous-month
// colours and the information pane, what screen readers are told, and closing.

#include "core/Messages.h"
#include "core/Money.h"
#include "core/OpenReport.h"
#include "core/VerifyReport.h"
#include "gui/ReportEditor.h"
#include "gui/ReportGridView.h"
#include "gui/ReportTableModel.h"
#include "support/ReportFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <clocale>

using namespace kvor;

namespace {

// Rows of the sample form, counted from its first row.
constexpr int kTotal = 0;         // id 2, restricted
constexpr int kDomestic = 1;      // id 3, restricted
constexpr int kBonds = 2;         // id 5, sumid 3-2
constexpr int kBanks = 3;         // id 6, restricted, fed by 7 and 8
constexpr int kLongTerm = 4;      // id 7, sumid 6-3-2
constexpr int kShortTerm = 5;     // id 8, sumid 6-3-2
constexpr int kForeignBanks = 16; // id 18, sumid 4-2
constexpr int kExternal = 13;     // id 4

const QLocale kBg(QLocale::Bulgarian, QLocale::Bulgaria);
const QColor kRed = ReportTableModel::kRed;
const QColor kBlack = ReportTableModel::kBlack;
const QColor kHighlight = ReportTableModel::kHighlight;

} // namespace

class EditorTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::FakePlatform> m_fake;
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<OpenReport> m_state;
    std::unique_ptr<ReportEditor> m_form;

    ReportEditor& open()
    {
        m_form = std::make_unique<ReportEditor>(*m_state);
        m_form->show();
        m_form->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(m_form.get());
        return *m_form;
    }
    ReportGridView* grid() const
    {
        return m_form->findChild<ReportGridView*>(QStringLiteral("grdDocEnter"));
    }
    QModelIndex at(int row, int col) const { return grid()->model()->index(row, col); }
    QString text(int row, int col) const { return at(row, col).data().toString(); }
    QLineEdit* editor() const { return grid()->cellEditor(); }
    int row() const { return grid()->currentIndex().row(); }
    static int& a11yEvents()
    {
        static int count = 0;
        return count;
    }
    int col() const { return grid()->currentIndex().column(); }
    template <typename T> T* child(const char* name) const
    {
        return m_form->findChild<T*>(QString::fromLatin1(name));
    }

    void goTo(int row, int col)
    {
        grid()->setCurrentIndex(at(row, col));
        grid()->setFocus();
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
        QTRY_VERIFY(!editor());
    }
    void click(int row, int col, bool twice = false)
    {
        const QPoint point = grid()->visualRect(at(row, col)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, point);
        if (twice) {
            QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, point);
        }
    }
    double value(int row, int col) const
    {
        return double(Money::parse(text(row, col)).value_or(Money()).stotinki()) / 100;
    }
    QColor colour(int row, int col) const
    {
        return at(row, col).data(Qt::ForegroundRole).value<QColor>();
    }
    QColor back(int row, int col) const
    {
        return at(row, col).data(Qt::BackgroundRole).value<QColor>();
    }
    QString reportPath() const { return m_folder->dataPath("mfddd_sd_5101_2004_03.xml"); }
    QString savedAmount(int row, const char* col)
    {
        DomDocument saved;
        return saved.load(reportPath()) == kLoadOk ? GetAttribute(test::DocRow(saved, row), col)
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
        m_state = std::make_unique<OpenReport>();
        test::LoadSampleReport(*m_state);
    }

    void cleanup()
    {
        if (m_form) {
            m_fake->answers = {MsgAnswer::No};
            m_form->close();
        }
        m_form.reset();
        m_folder.reset();
        m_fake.reset();
    }

    void opensWithTheReportLaidOut()
    {
        ReportEditor& f = open();
        QCOMPARE(child<QLineEdit>("txtPeriod")->text(), QStringLiteral("03 / 2004"));
        QCOMPARE(child<QLineEdit>("txtObshtina")->text(), QStringLiteral("Банско"));
        QCOMPARE(child<QLineEdit>("txtEBK")->text(), QStringLiteral("5101"));
        QCOMPARE(grid()->model()->rowCount(), 27);
        QCOMPARE(text(kBonds, 2), QStringLiteral("§ 82-11"));
        // Stored "0" is shown as it is, with the blank of every second row; the closing is
        // recomputed.
        QCOMPARE(text(kBanks, 1), QStringLiteral(" 0"));
        QCOMPARE(text(kBonds, 1), QStringLiteral("0"));
        QCOMPARE(text(kBanks, 6), QStringLiteral(" 0,00"));
        QCOMPARE(back(kTotal, 4), kHighlight);
        QCOMPARE(back(kExternal, 0), kHighlight);
        QVERIFY(back(kBonds, 0) != kHighlight);
        QCOMPARE(f.infoText(), QStringLiteral("Информация!\r\n") + msg::kMsgNoPrev);
        QVERIFY(!f.hasUnsavedChanges());
        // The cursor starts on the first opening amount that can be typed into.
        QCOMPARE(row(), kBonds);
        QCOMPARE(col(), 1);
        // Every caption can be read whole.
        QCOMPARE(at(kBonds, 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("1. Общински облигации, емитирани на вътрешния пазар"));

        // To a screen reader: one table, headings read on both levels, rows by their captions,
        // and the current cell focused.
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid());
        QVERIFY(table && table->tableInterface());
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Таблица на справката"));
        QCOMPARE(table->tableInterface()->columnCount(), 7);
        QCOMPARE(table->tableInterface()->rowCount(), 27);
        const char* headings[] = {"Вид на дълга",
                                  "Дълг в началото на месеца",
                                  "Увеличения през месеца, Код по ЕБК",
                                  "Увеличения през месеца, Сума",
                                  "Намаления през месеца, Код по ЕБК",
                                  "Намаления през месеца, Сума",
                                  "Дълг в края на месеца"};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(table->tableInterface()->columnDescription(c), QString::fromUtf8(headings[c]));
        }
        QCOMPARE(table->tableInterface()->rowDescription(kLongTerm),
                 QStringLiteral("2.1. Дългосрочни банкови кредити"));
        goTo(kLongTerm, 3);
        QAccessibleInterface* focused = table->focusChild();
        QVERIFY(focused && focused->tableCellInterface());
        QCOMPARE(focused->tableCellInterface()->rowIndex(), kLongTerm);
        QCOMPARE(focused->tableCellInterface()->columnIndex(), 3);
        QVERIFY(focused->state().focused);
    }

    void typingUpdatesTheRowAndItsTotalsAndEnterMovesDown()
    {
        ReportEditor& f = open();
        goTo(kLongTerm, 3);
        type(QStringLiteral("150"));
        QVERIFY(editor());
        QCOMPARE(editor()->text(), QStringLiteral("150"));
        QCOMPARE(colour(kLongTerm, 3), kRed);
        key(Qt::Key_Return);
        QTRY_COMPARE(row(), kShortTerm);
        QVERIFY(!editor());
        QCOMPARE(text(kLongTerm, 3), Money::fromStotinki(15000).text());
        QCOMPARE(colour(kLongTerm, 3), kBlack);
        QCOMPARE(value(kLongTerm, 6), 150.0);
        for (int total : {kBanks, kDomestic, kTotal}) {
            QCOMPARE(value(total, 3), 150.0);
            QCOMPARE(value(total, 6), 150.0);
        }
        QCOMPARE(value(kExternal, 3), 0.0);
        QVERIFY(f.hasUnsavedChanges());

        // A decrease on the short-term row lowers the same totals.
        goTo(kShortTerm, 5);
        type(QStringLiteral("40,5"));
        key(Qt::Key_Return);
        QTRY_COMPARE(row(), kShortTerm + 1);
        QCOMPARE(text(kShortTerm, 5), u' ' + Money::fromStotinki(4050).text());
        QCOMPARE(value(kShortTerm, 6), -40.5);
        QCOMPARE(value(kTotal, 5), 40.5);
        QCOMPARE(value(kTotal, 6), 109.5);
    }

    void editingACellAgainCountsTheDifferenceOnly()
    {
        open();
        enter(kForeignBanks, 1, QStringLiteral("100"), Qt::Key_Up);
        goTo(kForeignBanks, 1);
        click(kForeignBanks, 1, true);
        QVERIFY(editor());
        QCOMPARE(editor()->text(), Money::fromStotinki(10000).text()); // the whole text to edit
        editor()->selectAll();
        type(QStringLiteral("70"));
        key(Qt::Key_Down);
        QTRY_COMPARE(row(), kForeignBanks + 1);
        QCOMPARE(value(kExternal, 1), 70.0);
        QCOMPARE(value(kTotal, 1), 70.0);
        QCOMPARE(value(kTotal, 6), 70.0);
        // Enter commits the cell's text as it stands and moves down.
        enter(kForeignBanks, 1, QString(), Qt::Key_Return);
        QCOMPARE(row(), kForeignBanks + 1);
        QCOMPARE(value(kTotal, 1), 70.0);
        // An emptied editor stores zero.
        goTo(kForeignBanks, 1);
        type(QStringLiteral("5"));
        editor()->clear();
        key(Qt::Key_Return);
        QTRY_VERIFY(!editor());
        QCOMPARE(text(kForeignBanks, 1), Money::fromStotinki(0).text());
        QCOMPARE(value(kTotal, 1), 0.0);
    }

    void escLeavesEverythingAsItWas()
    {
        ReportEditor& f = open();
        goTo(kBonds, 3);
        type(QStringLiteral("999"));
        QVERIFY(editor());
        key(Qt::Key_Escape);
        QVERIFY(!editor());
        QCOMPARE(text(kBonds, 3), QStringLiteral("0"));
        QCOMPARE(text(kTotal, 3), QStringLiteral("0"));
        QCOMPARE(colour(kBonds, 3), kBlack);
        QCOMPARE(row(), kBonds);
        QCOMPARE(col(), 3);
        QVERIFY(f.isVisible()); // Esc in the editor does not close the window
    }

    void refusedFiguresKeepTheEditorOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << QStringLiteral("аб");
        QTest::newRow("beyond the range") << QStringLiteral("92233720368547758,08");
        QTest::newRow("no finite total") << QString(308, u'9');
    }
    void refusedFiguresKeepTheEditorOpen()
    {
        QFETCH(QString, typed);
        ReportEditor& f = open();
        goTo(kBonds, 1);
        type(typed);
        key(Qt::Key_Return);
        QCOMPARE(m_fake->texts(), QStringList({"Въведете число!"}));
        QCOMPARE(m_fake->messages[0].title, msg::kTitleWarning);
        QCOMPARE(m_fake->messages[0].icon, MsgIcon::Critical);
        QVERIFY(editor());
        QTRY_VERIFY(editor()->hasFocus());
        QCOMPARE(editor()->selectedText(), typed);
        // Clicking another cell is refused the same way, once, and the editor stays on its cell.
        click(kLongTerm, 3);
        QTRY_VERIFY(editor() && editor()->hasFocus());
        QCOMPARE(m_fake->messages.size(), 2);
        QCOMPARE(row(), kBonds);
        QCOMPARE(col(), 1);
        QCOMPARE(editor()->selectedText(), typed);
        QCOMPARE(text(kTotal, 1), QStringLiteral("0"));
        QCOMPARE(text(kTotal, 6), QStringLiteral("0,00"));
        // Correcting the text commits it.
        type(QStringLiteral("12"));
        key(Qt::Key_Return);
        QTRY_VERIFY(!editor());
        QCOMPARE(value(kBonds, 1), 12.0);
        QCOMPARE(value(kTotal, 1), 12.0);
        // Without the previous month's report an opening amount is never red.
        QCOMPARE(colour(kBonds, 1), kBlack);
        QCOMPARE(f.infoText(), msg::kMsgNoPrev);
    }

    void cellsThatTakeNoFigureOpenNothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        const int digit = Qt::Key_5;
        QTest::newRow("total row") << kTotal << 1 << digit << false;
        QTest::newRow("group row") << kDomestic << 3 << digit << false;
        QTest::newRow("sub-total row") << kBanks << 5 << digit << false;
        QTest::newRow("caption") << kBonds << 0 << digit << false;
        QTest::newRow("code of increases") << kBonds << 2 << digit << false;
        QTest::newRow("code of decreases") << kBonds << 4 << digit << false;
        QTest::newRow("closing") << kBonds << 6 << digit << false;
        QTest::newRow("delete on a figure") << kBonds << 1 << int(Qt::Key_Delete) << false;
        QTest::newRow("keypad point") << kBonds << 3 << int(Qt::Key_Period) << true;
        QTest::newRow("keypad comma") << kBonds << 3 << int(Qt::Key_Comma) << true;
    }
    void cellsThatTakeNoFigureOpenNothing()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        ReportEditor& f = open();
        goTo(row, col);
        const Qt::KeyboardModifiers mods = keypad ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(grid(), Qt::Key(key), mods);
        QVERIFY(!editor());
        if (m_form->findChild<ReportGridView*>()->reportModel()->isEditable(at(row, col))) {
            QVERIFY(!f.hasUnsavedChanges());
            return;
        }
        this->key(Qt::Key_Return);
        click(row, col, true);
        QVERIFY(!editor());
        QVERIFY(!f.hasUnsavedChanges());
        QCOMPARE(value(kTotal, 1) + value(kTotal, 3) + value(kTotal, 5), 0.0);
    }

    void theLockedCaptionColumnCannotBeEntered()
    {
        open();
        goTo(kBonds, 0);
        child<QCheckBox>("chkLock")->setChecked(true);
        QCOMPARE(col(), 1);
        goTo(kBonds, 1);
        key(Qt::Key_Left);
        QCOMPARE(col(), 1);
        key(Qt::Key_Home);
        QCOMPARE(col(), 1);
        click(kLongTerm, 0);
        QCOMPARE(row(), kBonds);
        child<QCheckBox>("chkLock")->setChecked(false);
        key(Qt::Key_Left);
        QCOMPARE(col(), 0);
    }

    void openingAmountsThatDisagreeWithThePreviousMonthTurnRed()
    {
        // The opening amount carried over from the previous month's closing amount.
        m_state->previousMonthExists = true;
        SetAttribute(test::DocRow(*m_state->document, kBonds), "col1", "25");
        ReportEditor& f = open();
        QCOMPARE(f.infoText(), QStringLiteral("Информация!\r\n"));
        goTo(kBonds, 1);
        key(Qt::Key_Right); // an unchanged opening amount stays black
        QCOMPARE(colour(kBonds, 1), kBlack);
        QCOMPARE(f.infoText(), msg::kInfoTitle);

        enter(kBonds, 1, QStringLiteral("30"));
        QCOMPARE(colour(kBonds, 1), kRed);
        QCOMPARE(f.infoText(), msg::kInfoTitle + "\r\n" + msg::kMsgRed);
        // A screen reader hears the red as words, and the pane's new text.
        QCOMPARE(at(kBonds, 1).data(Qt::AccessibleDescriptionRole).toString(),
                 ReportTableModel::kDiffersDescription);
        QVERIFY(child<QWidget>("txtInfo")->accessibleDescription().contains(msg::kMsgRed));
        // Low in the table the pane shows the footnote after the red-font line.
        enter(kForeignBanks, 1, QStringLiteral("3"));
        QCOMPARE(colour(kForeignBanks, 1), kRed);
        QCOMPARE(f.infoText(), msg::kMsgRed + "\r\n" + msg::kNote);
        // Back to the previous month's figure: black, but another cell of the column is still red.
        enter(kBonds, 1, QStringLiteral("25"));
        QCOMPARE(colour(kBonds, 1), kBlack);
        QCOMPARE(f.infoText(), msg::kInfoTitle + "\r\n" + msg::kMsgRed);
        enter(kForeignBanks, 1, QStringLiteral("0"));
        QCOMPARE(colour(kForeignBanks, 1), kBlack);
        QCOMPARE(f.infoText(), msg::kNote);
        // Other columns never compare anything.
        enter(kBonds, 3, QStringLiteral("7"));
        QCOMPARE(colour(kBonds, 3), kBlack);
        QCOMPARE(f.infoText(), msg::kInfoTitle);
    }

    void closingAsksOnlyAfterAChangeAndCancelKeepsComparing()
    {
        ReportEditor& f = open();
        f.close();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!f.isVisible());

        m_state->previousMonthExists = true;
        ReportEditor& g = open();
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
        QCOMPARE(colour(kShortTerm, 1), kRed);
        m_fake->answers = {MsgAnswer::No};
        g.close();
        QVERIFY(!g.isVisible());
        QVERIFY(!QFileInfo::exists(reportPath()));
    }

    void saveWritesTheFiguresWithoutBlanksAndACorrectHash()
    {
        ReportEditor& f = open();
        enter(kLongTerm, 3, QStringLiteral("150"), Qt::Key_Return);
        QCOMPARE(row(), kShortTerm);
        goTo(kShortTerm, 5);
        type(QStringLiteral("40,5"));
        // "Запис" while a figure is still being typed saves that figure too.
        child<QPushButton>("cmdSave")->click();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!f.hasUnsavedChanges());
        QCOMPARE(VerifyReportFile(reportPath()).status, VerifyStatus::Ok);
        QCOMPARE(savedAmount(kLongTerm, "col6"), Money::fromStotinki(15000).text());
        // Row 8 of the form shows its figures after a blank; the file holds them without it.
        QCOMPARE(savedAmount(kShortTerm, "col8"), Money::fromStotinki(4050).text());
        QCOMPARE(savedAmount(kShortTerm, "col4"), Money::fromStotinki(-4050).text());
        QCOMPARE(savedAmount(kTotal, "col4"), Money::fromStotinki(10950).text());
        QCOMPARE(savedAmount(kBanks, "col1"), QStringLiteral("0"));

        // Ctrl+S saves too; the unchanged figures give the same file, and closing asks nothing.
        const QByteArray first = m_folder->read("Data/mfddd_sd_5101_2004_03.xml");
        QFile::remove(reportPath());
        key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_folder->read("Data/mfddd_sd_5101_2004_03.xml"), first);
        f.close();
        QVERIFY(m_fake->messages.isEmpty());
        QVERIFY(!f.isVisible());
    }

    void editedAgainAfterASaveAsksAgainAndYesSaves()
    {
        ReportEditor& f = open();
        goTo(kBonds, 1);
        type(QStringLiteral("5"));
        child<QPushButton>("cmdSave")->click();
        QVERIFY(!f.hasUnsavedChanges());
        enter(kBonds, 3, QStringLiteral("6"), Qt::Key_Return);
        m_fake->answers = {MsgAnswer::Yes};
        f.close();
        QCOMPARE(m_fake->texts(), QStringList({msg::kAskSave}));
        QVERIFY(!f.isVisible());
        QCOMPARE(savedAmount(kBonds, "col6"), Money::fromStotinki(600).text());
    }

    void aSaveThatFailsIsReportedAndClosingStillAsks()
    {
        const QString data = m_folder->filePath("Data");
        m_folder->write("Data/mfddd_sd_5101_2004_03.xml", "previous content");
        QFile::setPermissions(reportPath(), QFileDevice::ReadOwner);
        QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        ReportEditor& f = open();
        enter(kBonds, 1, QStringLiteral("5"), Qt::Key_Return);
        child<QPushButton>("cmdSave")->click();
        QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
        QFile::setPermissions(reportPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(m_fake->messages.size(), 1);
        const auto& m = m_fake->messages[0];
        QCOMPARE(m.text, msg::kWriteDenied + QDir::toNativeSeparators(reportPath()));
        QCOMPARE(m.title, msg::kTitleWriteError);
        QCOMPARE(m.icon, MsgIcon::Critical);
        QVERIFY(f.hasUnsavedChanges());
        QCOMPARE(m_folder->read("Data/mfddd_sd_5101_2004_03.xml"), QByteArray("previous content"));
        m_fake->answers = {MsgAnswer::Cancel};
        f.close();
        QCOMPARE(m_fake->texts().last(), msg::kAskSave);
        QVERIFY(f.isVisible());
    }

    // Selection, copy, paste, undo and redo through their keys, with a screen reader's bridge
    // on: each step announces itself by a handful of events, not one per cell, and so does a save.
    void blocksAreCopiedPastedAndUndoneAsOneStep()
    {
        QAccessible::setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent*) { ++a11yEvents(); });
        const auto cleanup = qScopeGuard([] {
            QAccessible::installUpdateHandler(nullptr);
            QAccessible::setActive(false);
        });
        ReportEditor& f = open();
        QClipboard* clipboard = QApplication::clipboard();
        // The restricted row between them is passed over; the totals follow.
        clipboard->setText(QStringLiteral("10\n999\n1\u00a0000,005\r\n"));
        goTo(kBonds, 1);
        a11yEvents() = 0;
        key(Qt::Key_V, Qt::ControlModifier);
        QVERIFY2(a11yEvents() <= 4, qPrintable(QString::number(a11yEvents())));
        QVERIFY(m_fake->messages.isEmpty());
        QCOMPARE(text(kBonds, 1), Money::fromStotinki(1000).text());
        QCOMPARE(value(kBanks, 1), 1000.01);
        QCOMPARE(value(kTotal, 1), 1010.01);
        QVERIFY(f.hasUnsavedChanges());

        // A bad figure anywhere changes nothing and names its cell.
        clipboard->setText(QStringLiteral("5\tкод\t6\n7\t\t=A1+B2"));
        goTo(kLongTerm, 3);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_fake->messages.size(), 1);
        QVERIFY(m_fake->messages[0].text.contains(m_state->structure->node().select_node(
                    "//str[@id='8']").node().attribute("name").value()));
        QVERIFY(m_fake->messages[0].text.contains(
            grid()->model()->headerData(5, Qt::Horizontal).toString()));
        QCOMPARE(value(kLongTerm, 3), 0.0);
        QCOMPARE(value(kTotal, 6), 1010.01);

        // Shift+Down twice selects a column of three, which pastes back into the increases.
        goTo(kBonds, 1);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), Money::fromStotinki(1000).text() + u'\n' + Money::fromStotinki(100001).text() + u'\n' +
                                        Money::fromStotinki(100001).text() + u'\n');
        QVERIFY(clipboard->mimeData()->hasHtml());
        goTo(kBonds, 3);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(value(kTotal, 3), 1010.01);
        QCOMPARE(value(kTotal, 6), 2020.02);

        // Each paste is one step back and forth; the opening amounts follow them.
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(value(kTotal, 3), 0.0);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(value(kTotal, 1), 0.0);
        QCOMPARE(value(kLongTerm, 6), 0.0);
        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(value(kTotal, 1), 1010.01);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(value(kTotal, 6), 2020.02);

        // Saving keeps the history; typed entries are steps too.
        a11yEvents() = 0;
        child<QPushButton>("cmdSave")->click();
        QVERIFY2(a11yEvents() <= 8, qPrintable(QString::number(a11yEvents())));
        QCOMPARE(savedAmount(kTotal, "col4"), Money::fromStotinki(202002).text());
        enter(kBonds, 1, QStringLiteral("1"));
        QCOMPARE(value(kTotal, 1), 1001.01);
        key(Qt::Key_Z, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(value(kTotal, 6), 1010.01);

        // The menu holds the same commands, named, and opens on the Menu key.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint());
        QApplication::sendEvent(grid(), &menuKey);
        auto* menu = grid()->findChild<QMenu*>(QStringLiteral("mnuGrid"));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!menu->accessibleName().isEmpty());
        QCOMPARE(menu->actions().size(), 6);
        menu->close();

        // Ctrl+A selects the figures.
        key(Qt::Key_A, Qt::ControlModifier);
        const auto selected = grid()->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), grid()->model()->rowCount() * 6);
    }

    // An editor that never closed (the program killed) leaves its entries in the journal; the
    // next open offers them and gives back exactly what was on the screen.
    void figuresOfAnEditorThatNeverClosedAreOffered()
    {
        const QString journal = m_folder->dataPath(".mfddd_sd_5101_2004_03.xml.journal");
        open();
        enter(kBonds, 1, QStringLiteral("2,675"));
        enter(kShortTerm, 5, QStringLiteral("40,5"));
        QApplication::clipboard()->setText(QStringLiteral("7\n8\n9"));
        goTo(kLongTerm, 3);
        key(Qt::Key_V, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier);
        key(Qt::Key_Y, Qt::ControlModifier);
        enter(kBonds, 1, QStringLiteral("-1,005"));
        QStringList screen;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            for (int c = 1; c < grid()->model()->columnCount(); ++c) {
                screen << text(r, c);
            }
        }
        m_form.reset(); // neither saved nor closed
        QVERIFY(QFileInfo::exists(journal));

        m_fake->answers = {MsgAnswer::Yes};
        open();
        QCOMPARE(m_fake->messages.size(), 1);
        QCOMPARE(m_fake->messages[0].buttons, MsgButtons::YesNo);
        QStringList restored;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            for (int c = 1; c < grid()->model()->columnCount(); ++c) {
                restored << text(r, c);
            }
        }
        QCOMPARE(restored, screen);
        QVERIFY(m_form->hasUnsavedChanges());

        // Refused, the report stays as saved and the figures are not offered again.
        m_form.reset();
        m_fake->messages.clear();
        m_fake->answers = {MsgAnswer::No};
        open();
        QCOMPARE(m_fake->messages.size(), 1);
        QCOMPARE(value(kTotal, 6), 0.0);
        QVERIFY(!QFileInfo::exists(journal));

        // Another report's journal is told about and left as it was.
        const QByteArray other = "KVOR-JOURNAL 1\t5101\t2004\t04\n";
        m_folder->write("Data/.mfddd_sd_5101_2004_03.xml.journal", other);
        m_form.reset();
        m_fake->messages.clear();
        open();
        QCOMPARE(m_fake->messages.size(), 1);
        QVERIFY(m_fake->messages[0].text.contains(QDir::toNativeSeparators(journal)));
        enter(kBonds, 1, QStringLiteral("3"));
        QCOMPARE(m_folder->read("Data/.mfddd_sd_5101_2004_03.xml.journal"), other);
    }

    void commandsHaveTheirOwnMnemonicsAndF1OpensTheHelp()
    {
        ReportEditor& f = open();
        QSet<QChar> letters;
        for (const auto* button : f.findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty()) {
                continue; // the table's corner
            }
            const qsizetype at = button->text().indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < button->text().size(), qPrintable(button->text()));
            QVERIFY2(!letters.contains(button->text()[at + 1].toLower()),
                     qPrintable(button->text()));
            letters.insert(button->text()[at + 1].toLower());
        }
        QCOMPARE(letters.size(), 6); // the lock box and the five commands
        key(Qt::Key_F1);
        // The test's program folder has no guide: asking for it says where it was looked for.
        QCOMPARE(m_fake->texts(),
                 QStringList({msg::kNoHelpFile +
                              QDir::toNativeSeparators(m_folder->filePath("help.html"))}));
    }
};

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
