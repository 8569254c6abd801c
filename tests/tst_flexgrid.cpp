// The grid control: the order of its events, fixed rows and columns, posted keys, merging.

#include "editor/FlexGrid.h"
#include "editor/VirtualKeys.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace kvor;

class FlexGridTest : public QObject
{
    Q_OBJECT

private:
    // A shown grid of the editor's shape: 3 fixed heading rows, 7 columns, 10 data rows.
    std::unique_ptr<FlexGrid> makeGrid(int dataRows = 10)
    {
        auto g = std::make_unique<FlexGrid>();
        g->resize(700, 300);
        g->setCols(7);
        g->setRows(3 + dataRows);
        g->setFixedRows(3);
        g->setFixedCols(0);
        for (int r = 0; r < g->Rows(); ++r) {
            for (int c = 0; c < g->Cols(); ++c) {
                g->setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
            }
        }
        g->show();
        g->activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(g.get());
        return g;
    }

    // Records each event with the current cell as the grid names it at that moment.
    struct Recorder
    {
        QStringList log;
        void attach(FlexGrid* g)
        {
            QObject::connect(g, &FlexGrid::LeaveCell, g, [this, g] {
                log << QStringLiteral("leave %1,%2").arg(g->Row()).arg(g->Col());
            });
            QObject::connect(g, &FlexGrid::EnterCell, g, [this, g] {
                log << QStringLiteral("enter %1,%2").arg(g->Row()).arg(g->Col());
            });
        }
    };

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void settingRowRaisesLeaveThenEnterBeforeReturning()
    {
        auto g = makeGrid();
        g->setRow(3);
        g->setCol(1);
        Recorder rec;
        rec.attach(g.get());
        g->setRow(5);
        QCOMPARE(rec.log, QStringList({"leave 3,1", "enter 5,1"}));
        rec.log.clear();
        g->setCol(3);
        QCOMPARE(rec.log, QStringList({"leave 5,1", "enter 5,3"}));
        rec.log.clear();
        g->setCol(3); // unchanged: nothing happens
        QVERIFY(rec.log.isEmpty());
    }

    void aHandlerMayMoveTheCellWhileLeaving()
    {
        auto g = makeGrid();
        g->setRow(3);
        g->setCol(1);
        Recorder rec;
        bool walking = false;
        connect(g.get(), &FlexGrid::LeaveCell, g.get(), [&] {
            if (walking) {
                return;
            }
            walking = true;
            const int row = g->Row();
            for (int r = 3; r < g->Rows(); ++r) {
                g->setRow(r);
            }
            g->setRow(row);
            walking = false;
        });
        rec.attach(g.get());
        g->setRow(4);
        QCOMPARE(g->Row(), 4);
        QCOMPARE(rec.log.first(), QStringLiteral("leave 3,1"));
        QCOMPARE(rec.log.last(), QStringLiteral("enter 4,1"));
    }

    void programMayMakeAFixedCellCurrent()
    {
        auto g = makeGrid();
        g->setRow(0);
        g->setCol(2);
        g->setCellAlignment(flexAlignCenterCenter);
        g->setCellBackColor(QColor(191, 217, 236));
        QCOMPARE(g->CellAlignment(), int(flexAlignCenterCenter));
        QCOMPARE(g->CellBackColor(), QColor(191, 217, 236));
        QCOMPARE(g->Text(), QStringLiteral("0,2"));
        QVERIFY(!g->body()->currentIndex().isValid());
    }

    void keysMoveTheCurrentCellButNeverIntoFixedRows()
    {
        auto g = makeGrid();
        g->setRow(4);
        g->setCol(2);
        g->SetFocus();
        Recorder rec;
        rec.attach(g.get());
        QTest::keyClick(g->body(), Qt::Key_Down);
        QCOMPARE(g->Row(), 5);
        QCOMPARE(rec.log, QStringList({"leave 4,2", "enter 5,2"}));
        QTest::keyClick(g->body(), Qt::Key_Up);
        QTest::keyClick(g->body(), Qt::Key_Up);
        QTest::keyClick(g->body(), Qt::Key_Up);
        QCOMPARE(g->Row(), 3); // the heading rows are never entered
        QTest::keyClick(g->body(), Qt::Key_Right);
        QCOMPARE(g->Col(), 3);
    }

    void clicksMoveTheCurrentCellAndFixedRowsIgnoreThem()
    {
        auto g = makeGrid();
        g->setRow(3);
        g->setCol(0);
        Recorder rec;
        rec.attach(g.get());
        QTableView* body = g->body();
        const QRect cell = body->visualRect(g->model()->index(6, 4));
        QTest::mouseClick(body->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(g->Row(), 6);
        QCOMPARE(g->Col(), 4);
        QCOMPARE(rec.log, QStringList({"leave 3,0", "enter 6,4"}));

        QTableView* top = g->fixedRowsView();
        const QRect heading = top->visualRect(g->model()->index(1, 2));
        QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, heading.center());
        QCOMPARE(g->Row(), 6);
    }

    void keyDownAndKeyPressCarryCodesAndCharacters()
    {
        auto g = makeGrid();
        g->setRow(3);
        g->setCol(1);
        g->SetFocus();
        QList<QPair<int, int>> downs;
        QList<int> presses;
        connect(g.get(), &FlexGrid::KeyDown, g.get(), [&](int& code, int shift) {
            downs.append({code, shift});
        });
        connect(g.get(), &FlexGrid::KeyPress, g.get(), [&](int& ascii) { presses.append(ascii); });
        QTest::keyClick(g->body(), Qt::Key_5);
        QTest::keyClick(g->body(), Qt::Key_Return);
        QTest::sendKeyEvent(QTest::Press, g->body(), Qt::Key_unknown, QChar(u'ж'), Qt::NoModifier);
        QTest::keyClick(g->body(), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(g->body(), Qt::Key_F2);
        QCOMPARE(downs.value(0), qMakePair(int('5'), 0));
        QCOMPARE(downs.value(1), qMakePair(int(vk::Return), 0));
        // Ctrl itself comes first, as a key of its own.
        QCOMPARE(downs.value(3), qMakePair(int(vk::Control), int(vk::CtrlMask)));
        QCOMPARE(downs.value(4), qMakePair(int(vk::Home), int(vk::CtrlMask)));
        QCOMPARE(downs.value(5), qMakePair(int(vk::F2), 0));
        QCOMPARE(presses, QList<int>({'5', 13, 0x0436}));
    }

    void aHandlerSwallowsAKeyBySettingItsCodeToZero()
    {
        auto g = makeGrid();
        g->setRow(4);
        g->setCol(1);
        g->SetFocus();
        connect(g.get(), &FlexGrid::KeyDown, g.get(), [](int& code, int) { code = 0; });
        QTest::keyClick(g->body(), Qt::Key_Down);
        QCOMPARE(g->Row(), 4);
    }

    void aPostedKeyIsHandledAfterTheRunningHandlerAndMovesTheCell()
    {
        auto g = makeGrid();
        g->setRow(4);
        g->setCol(3);
        QStringList log;
        connect(g.get(), &FlexGrid::DblClick, g.get(), [&] {
            g->PostKeyDown(vk::Down, 0);
            log << QStringLiteral("handler ends at %1").arg(g->Row());
        });
        connect(g.get(), &FlexGrid::KeyDown, g.get(),
                [&](int& code, int) { log << QStringLiteral("keydown %1").arg(code); });
        connect(g.get(), &FlexGrid::EnterCell, g.get(),
                [&] { log << QStringLiteral("enter %1").arg(g->Row()); });
        const QRect cell = g->body()->visualRect(g->model()->index(4, 3));
        // A double click is a press, then the double-click event.
        QTest::mouseClick(g->body()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(g->body()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(g->Row(), 4);
        QTRY_COMPARE(g->Row(), 5);
        QCOMPARE(log, QStringList({"handler ends at 4", "keydown 40", "enter 5"}));
    }

    void focusAndScrollingAreReported()
    {
        auto g = makeGrid(60);
        QSignalSpy focus(g.get(), &FlexGrid::GotFocus);
        QSignalSpy scroll(g.get(), &FlexGrid::Scroll);
        g->body()->clearFocus();
        g->SetFocus();
        QTRY_VERIFY(focus.count() >= 1);
        g->body()->verticalScrollBar()->setValue(g->body()->verticalScrollBar()->maximum());
        QVERIFY(scroll.count() >= 1);
    }

    void fixedRowsStayInViewWhileTheBodyScrolls()
    {
        auto g = makeGrid(60);
        QTableView* top = g->fixedRowsView();
        const QPoint before = top->mapTo(g.get(), QPoint(0, 0));
        g->body()->verticalScrollBar()->setValue(g->body()->verticalScrollBar()->maximum());
        QCOMPARE(top->mapTo(g.get(), QPoint(0, 0)), before);
        QVERIFY(top->isVisible());
        QVERIFY(!top->isRowHidden(0));
        QVERIFY(top->isRowHidden(3));
        QVERIFY(g->body()->isRowHidden(2));
        QVERIFY(!g->body()->isRowHidden(3));
        // Horizontal scrolling moves the headings with the figures.
        g->setColWidth(0, 6000);
        QCoreApplication::processEvents();
        g->body()->horizontalScrollBar()->setValue(50);
        QCOMPARE(g->body()->horizontalScrollBar()->value(), 50);
        QCOMPARE(top->horizontalScrollBar()->value(), 50);
    }

    void aFixedColumnLeavesTheBodyAndCannotBeEntered()
    {
        auto g = makeGrid();
        g->setRow(3);
        g->setCol(1);
        g->setFixedCols(1);
        QVERIFY(g->body()->isColumnHidden(0));
        g->SetFocus();
        QTest::keyClick(g->body(), Qt::Key_Left);
        QCOMPARE(g->Col(), 1);
        g->setFixedCols(0);
        QVERIFY(!g->body()->isColumnHidden(0));
        QTest::keyClick(g->body(), Qt::Key_Left);
        QCOMPARE(g->Col(), 0);
    }

    void equalHeadingTextsMergeAsTheEditorLaysThemOut()
    {
        auto g = makeGrid(2);
        const QStringList row0 = {"Вид",       "Начало",    "Увеличения", "Увеличения",
                                  "Намаления", "Намаления", "Край"};
        const QStringList row1 = {"Вид", "Начало", "Код", "Сума", "Код", "Сума", "Край"};
        for (int c = 0; c < 7; ++c) {
            g->setTextMatrix(0, c, row0[c]);
            g->setTextMatrix(1, c, row1[c]);
            g->setTextMatrix(2, c, QString::number(c + 1));
            g->setTextMatrix(3, c, QStringLiteral("0"));
            g->setTextMatrix(4, c, QStringLiteral("0"));
        }
        g->setMergeCells(2);
        g->setMergeRow(0, true);
        g->setMergeCells(3);
        for (int c = 0; c < 7; ++c) {
            g->setMergeCol(c, true);
        }
        QTableView* top = g->fixedRowsView();
        QCOMPARE(top->columnSpan(0, 2), 2);
        QCOMPARE(top->columnSpan(0, 4), 2);
        QCOMPARE(top->rowSpan(0, 0), 2);
        QCOMPARE(top->rowSpan(0, 1), 2);
        QCOMPARE(top->rowSpan(0, 6), 2);
        QCOMPARE(top->rowSpan(1, 3), 1);
        QCOMPARE(top->rowSpan(2, 0), 1);
        // Equal figures in consecutive data rows are never joined.
        QCOMPARE(g->body()->rowSpan(3, 1), 1);
        g->setMergeCells(0);
        QCOMPARE(top->columnSpan(0, 2), 1);
    }

    void sizesAreInTwips()
    {
        auto g = makeGrid(1);
        g->setColWidth(2, 1440);
        QCOMPARE(g->ColWidth(2), 1440);
        QCOMPARE(g->body()->columnWidth(2), g->logicalDpiX());
        const int h = g->RowHeight(1);
        g->setRowHeight(1, h * 2);
        QVERIFY(std::abs(g->RowHeight(1) - 2 * h) <= 15);
        g->setRow(3);
        g->setCol(2);
        QVERIFY(std::abs(g->CellWidth() - 1440) <= 15);
        QVERIFY(g->CellTop() >= g->RowHeight(0) + g->RowHeight(1) + g->RowHeight(2) - 45);
    }

    void shapeChangesKeepTheCurrentCellInside()
    {
        auto g = makeGrid();
        g->setRow(12);
        g->setCol(6);
        g->setRows(4);
        QCOMPARE(g->Row(), 3);
        QCOMPARE(g->TextMatrix(12, 6), QString());
        g->setTextMatrix(40, 0, QStringLiteral("x")); // outside: ignored
        g->Clear();
        QCOMPARE(g->TextMatrix(3, 1), QString());
        g->setRows(6);
        QCOMPARE(g->Rows(), 6);
        QVERIFY(g->body()->isRowHidden(1));
        QVERIFY(!g->body()->isRowHidden(5));
        QVERIFY(g->fixedRowsView()->isRowHidden(5));
    }
};

QTEST_MAIN(FlexGridTest)
#include "tst_flexgrid.moc"
