#pragma once
// The report editor of the sample report on a program folder of its own, driven through its real
// widgets: the rows of the form, and keys, clicks and reads of cells as the user does them.

#include "core/Messages.h"
#include "core/Money.h"
#include "core/OpenReport.h"
#include "gui/ReportEditor.h"
#include "gui/ReportGridView.h"
#include "gui/ReportTableModel.h"
#include "support/ReportFixture.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace kvor::test {

// Rows of the sample form, counted from its first row.
constexpr int kTotal = 0;         // id 2, restricted
constexpr int kDomestic = 1;      // id 3, restricted
constexpr int kBonds = 2;         // id 5, sumid 3-2
constexpr int kBanks = 3;         // id 6, restricted, fed by 7 and 8
constexpr int kLongTerm = 4;      // id 7, sumid 6-3-2
constexpr int kShortTerm = 5;     // id 8, sumid 6-3-2
constexpr int kForeignBanks = 16; // id 18, sumid 4-2
constexpr int kExternal = 13;     // id 4

const QColor kRed = ReportTableModel::kRed;
const QColor kBlack = ReportTableModel::kBlack;
const QColor kHighlight = ReportTableModel::kHighlight;

// A base of the editor's test classes: their init() calls setUp() and their cleanup() tearDown().
class EditorFixture : public WindowFixture
{
protected:
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
    QStringList figures() const // every figure on the screen, row by row
    {
        QStringList all;
        for (int r = 0; r < grid()->model()->rowCount(); ++r) {
            for (int c = 1; c < grid()->model()->columnCount(); ++c) {
                all << text(r, c);
            }
        }
        return all;
    }
    QString reportPath() const { return m_folder->dataPath("mfddd_sd_5101_2004_03.xml"); }
    QString savedAmount(int row, const char* col)
    {
        DomDocument saved;
        return saved.load(reportPath()) == kLoadOk ? GetAttribute(DocRow(saved, row), col)
                                                   : QStringLiteral("<unreadable>");
    }

    void setUp()
    {
        WindowFixture::setUp();
        m_state = std::make_unique<OpenReport>();
        LoadSampleReport(*m_state);
    }
    void tearDown()
    {
        if (m_form) {
            m_fake->answers = {MsgAnswer::No};
            m_form->close();
        }
        m_form.reset();
        WindowFixture::tearDown();
    }
};

} // namespace kvor::test
