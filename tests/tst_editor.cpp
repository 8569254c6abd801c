// The report editor driven through its real widgets: typing, committing, totals, the previous-month
// colours and the information pane, saving and a failed save, what screen readers are told, and
// closing.

#include "core/VerifyReport.h"
#include "support/EditorFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

using namespace kvor;
using namespace kvor::test;

class EditorTest : public EditorFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { setLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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

        // Ctrl+S saves too; the unchanged figures give the same file.
        const QByteArray first = m_folder->read("Data/mfddd_sd_5101_2004_03.xml");
        QFile::remove(reportPath());
        key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_folder->read("Data/mfddd_sd_5101_2004_03.xml"), first);
        QVERIFY(!f.hasUnsavedChanges());
        // Edited again after the save, closing asks again, and "Yes" saves.
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
