// The grid control: the order of its events, fixed rows and columns, posted keys, merging.

#include "gui/FlexGrid.h"
#include "gui/VirtualKeys.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace kvor;

class FlexGridTest : public QObject
{
    Q_OBJECT

private:
    // A shown grid of the editor's shape: 3 fixed heading rows, 7 columns, 10 data rows; the
    // current cell is 4,1 and the body has the focus.
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
        g->setRow(4);
        g->setCol(1);
        g->SetFocus();
        return g;
    }

    // Records each event with the current cell as the grid names it at that moment.
    static void record(FlexGrid* g, QStringList& log)
    {
        QObject::connect(g, &FlexGrid::LeaveCell, g, [&log, g] {
            log << QStringLiteral("leave %1,%2").arg(g->Row()).arg(g->Col());
        });
        QObject::connect(g, &FlexGrid::EnterCell, g, [&log, g] {
            log << QStringLiteral("enter %1,%2").arg(g->Row()).arg(g->Col());
        });
    }

    // "row N" and "col N" set the current cell, "fixed N" the fixed columns; "click R,C" clicks the
    // body, "head R,C" the fixed rows; anything else is the name of a key.
    static void act(FlexGrid& g, const QString& action)
    {
        const QStringList w = action.split(u' ');
        if (w[0] == u"row") {
            g.setRow(w[1].toInt());
        } else if (w[0] == u"col") {
            g.setCol(w[1].toInt());
        } else if (w[0] == u"fixed") {
            g.setFixedCols(w[1].toInt());
        } else if (w[0] == u"click" || w[0] == u"head") {
            const QStringList rc = w[1].split(u',');
            QTableView* view = w[0] == u"click" ? g.body() : g.fixedRowsView();
            const QRect cell = view->visualRect(g.model()->index(rc[0].toInt(), rc[1].toInt()));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            const QMap<QString, Qt::Key> keys{
                {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down}, {"Left", Qt::Key_Left}};
            QTest::keyClick(g.body(), keys.value(w[0], Qt::Key_Right));
        }
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // Actions and events are separated by "|"; row and col are the current cell afterwards.
    static void move(const char* name, const char* actions, const char* log, int row, int col)
    {
        QTest::newRow(name) << QString::fromUtf8(actions) << QString::fromUtf8(log)
                            << QPoint(row, col);
    }
    void movesRaiseLeaveThenEnterBeforeReturning_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QPoint>("cell");
        move("row set", "row 6", "leave 4,1|enter 6,1", 6, 1);
        move("column set", "col 3", "leave 4,1|enter 4,3", 4, 3);
        move("unchanged: nothing happens", "col 1|row 4", "", 4, 1);
        move("key down", "Down", "leave 4,1|enter 5,1", 5, 1);
        move("headings never entered", "Up|Up|Up", "leave 4,1|enter 3,1", 3, 1);
        move("key right", "Right", "leave 4,1|enter 4,2", 4, 2);
        move("click", "click 6,4", "leave 4,1|enter 6,4", 6, 4);
        move("click on a heading ignored", "head 1,2", "", 4, 1);
        move("fixed column not entered", "fixed 1|Left", "", 4, 1);
        move("column entered once not fixed", "fixed 1|fixed 0|Left", "leave 4,1|enter 4,0", 4, 0);
    }
    void movesRaiseLeaveThenEnterBeforeReturning()
    {
        QFETCH(QString, actions);
        QFETCH(QString, log);
        QFETCH(QPoint, cell);
        auto g = makeGrid();
        QStringList seen;
        record(g.get(), seen);
        for (const QString& a : actions.split(u'|')) {
            act(*g, a);
        }
        QCOMPARE(seen, log.split(u'|', Qt::SkipEmptyParts));
        QCOMPARE(QPoint(g->Row(), g->Col()), cell);
    }

    void keyDownAndKeyPressCarryCodesAndAHandlerMaySwallowAKey()
    {
        auto g = makeGrid();
        QList<QPair<int, int>> downs;
        QList<int> presses;
        connect(g.get(), &FlexGrid::KeyDown, g.get(), [&](int& code, int shift) {
            downs.append({code, shift});
            if (code == vk::Down) {
                code = 0;
            }
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
        // A code set to zero by the handler is not acted on.
        g->setRow(4);
        QTest::keyClick(g->body(), Qt::Key_Down);
        QCOMPARE(g->Row(), 4);
    }

    void aPostedKeyIsHandledAfterTheRunningHandlerAndMovesTheCell()
    {
        auto g = makeGrid();
        QStringList log;
        connect(g.get(), &FlexGrid::DblClick, g.get(), [&] {
            g->PostKeyDown(vk::Down, 0);
            log << QStringLiteral("handler ends at %1").arg(g->Row());
        });
        connect(g.get(), &FlexGrid::KeyDown, g.get(),
                [&](int& code, int) { log << QStringLiteral("keydown %1").arg(code); });
        connect(g.get(), &FlexGrid::EnterCell, g.get(),
                [&] { log << QStringLiteral("enter %1").arg(g->Row()); });
        const QRect cell = g->body()->visualRect(g->model()->index(4, 1));
        // A double click is a press, then the double-click event.
        QTest::mouseClick(g->body()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(g->body()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(g->Row(), 4);
        QTRY_COMPARE(g->Row(), 5);
        QCOMPARE(log, QStringList({"handler ends at 4", "keydown 40", "enter 5"}));
    }

    void fixedPartsStayInViewWhileTheBodyScrolls()
    {
        auto g = makeGrid(60);
        QSignalSpy focus(g.get(), &FlexGrid::GotFocus);
        QSignalSpy scroll(g.get(), &FlexGrid::Scroll);
        g->body()->clearFocus();
        g->SetFocus();
        QTRY_VERIFY(focus.count() >= 1);
        QTableView* top = g->fixedRowsView();
        const QPoint before = top->mapTo(g.get(), QPoint(0, 0));
        g->body()->verticalScrollBar()->setValue(g->body()->verticalScrollBar()->maximum());
        QVERIFY(scroll.count() >= 1);
        QCOMPARE(top->mapTo(g.get(), QPoint(0, 0)), before);
        QVERIFY(!top->isRowHidden(0));
        QVERIFY(top->isRowHidden(3));
        QVERIFY(g->body()->isRowHidden(2));
        QVERIFY(!g->body()->isRowHidden(3));
        // Horizontal scrolling moves the headings with the figures.
        g->setColWidth(0, 6000);
        QCoreApplication::processEvents();
        g->body()->horizontalScrollBar()->setValue(50);
        QCOMPARE(top->horizontalScrollBar()->value(), 50);
        g->setFixedCols(1);
        QVERIFY(g->body()->isColumnHidden(0));
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
        QCOMPARE(top->rowSpan(0, 6), 2);
        QCOMPARE(top->rowSpan(1, 3), 1);
        QCOMPARE(top->rowSpan(2, 0), 1);
        // Equal figures in consecutive data rows are never joined.
        QCOMPARE(g->body()->rowSpan(3, 1), 1);
        g->setMergeCells(0);
        QCOMPARE(top->columnSpan(0, 2), 1);
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
        QVERIFY(g->body()->isRowHidden(1));
        QVERIFY(!g->body()->isRowHidden(5));
        QVERIFY(g->fixedRowsView()->isRowHidden(5));
    }
};

QTEST_MAIN(FlexGridTest)
#include "tst_flexgrid.moc"
