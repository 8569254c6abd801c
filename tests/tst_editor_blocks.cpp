// Blocks of figures copied, pasted, undone and redone in the report editor, as one step each and
// few events to a screen reader; and the figures of an editor that never closed, offered again.

#include "support/EditorFixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>

using namespace kvor;
using namespace kvor::test;

class EditorBlocksTest : public EditorFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { setLocale(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
        QVERIFY(m_fake->messages[0].text.contains(m_state->structure->node()
                                                      .select_node("//str[@id='8']")
                                                      .node()
                                                      .attribute("name")
                                                      .value()));
        QVERIFY(m_fake->messages[0].text.contains(
            grid()->model()->headerData(5, Qt::Horizontal).toString()));
        QCOMPARE(value(kLongTerm, 3), 0.0);
        QCOMPARE(value(kTotal, 6), 1010.01);

        // Shift+Down twice selects a column of three, which pastes back into the increases.
        goTo(kBonds, 1);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), Money::fromStotinki(1000).text() + u'\n' +
                                        Money::fromStotinki(100001).text() + u'\n' +
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
        const QStringList screen = figures();
        m_form.reset(); // neither saved nor closed
        QVERIFY(QFileInfo::exists(journal));

        m_fake->answers = {MsgAnswer::Yes};
        open();
        QCOMPARE(m_fake->messages.size(), 1);
        QCOMPARE(m_fake->messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(figures(), screen);
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
};

QTEST_MAIN(EditorBlocksTest)
#include "tst_editor_blocks.moc"
