#include "gui/ReportEditor.h"

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/OpenReport.h"
#include "core/Platform.h"
#include "core/ReportDocument.h"
#include "core/ReportModel.h"
#include "core/ReportName.h"
#include "gui/FormPrintButtons.h"
#include "gui/EditorActions.h"
#include "gui/EditorJournal.h"
#include "gui/HelpWindow.h"
#include "gui/ReportGridView.h"
#include "gui/ReportTableModel.h"
#include "printout/FormPdf.h"
#include "gui/UserPrompts.h"
#include "printout/PrintReport.h"
#include "printout/PrintoutInput.h"

#include <QAccessible>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace kvor {

namespace {

const QColor kHeaderBack(253, 253, 238);
constexpr int kInfoLines = 3;
// The window opens at this share of the screen, wide enough for all seven columns at 1280.
constexpr double kScreenShare = 0.95;
constexpr int kPreferredWidth = 1240;
constexpr int kPreferredHeight = 900;

QLabel* BoldLabel(const char* name, const QString& text)
{
    auto* l = new QLabel(text);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLineEdit* HeaderField(const char* name, const QString& accessible)
{
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAccessibleName(accessible);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, kHeaderBack);
    e->setPalette(p);
    return e;
}

QGroupBox* Frame(const char* name, const QString& accessible)
{
    auto* g = new QGroupBox;
    g->setObjectName(QString::fromLatin1(name));
    g->setAccessibleName(accessible);
    return g;
}

QPushButton* Button(const char* name, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the table and the in-place editor, never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

void ShowReportEditor(QWidget* parent, OpenReport& report)
{
    ReportEditor editor(report, parent);
    editor.exec();
}

ReportEditor::ReportEditor(OpenReport& report, QWidget* parent)
    : QDialog(parent),
      m_open(report), m_pane{msg::kInfoTitle, msg::kMsgRed,
                             report.previousMonthExists ? QString() : msg::kMsgNoPrev, msg::kNote},
      m_report(std::make_unique<ReportModel>(*report.structure, *report.document))
{
    setObjectName(QStringLiteral("frmSpravka"));
    setWindowTitle(QStringLiteral("Справка"));
    setModal(true);
    setSizeGripEnabled(true);
    buildControls();

    m_period->setText(report.period.text());
    m_municipality->setText(report.municipality.name);
    m_ebk->setText(report.municipality.ebk);
    m_period->setCursorPosition(0);
    m_municipality->setCursorPosition(0);

    // The figures start where the user can type: the first opening amount of a free row.
    for (int n = 0; n < m_report->rowCount(); ++n) {
        if (m_report->isEditable(n, grid::kOpening)) {
            m_grid->setCurrentIndex(m_table->index(n, grid::kOpening));
            break;
        }
    }
    setInfo(ActivatePaneText(m_pane));
    openJournal();

    placeOnScreen();
}

ReportEditor::~ReportEditor()
{
    // The table and its view read the report until they are gone: they go first.
    delete m_grid;
    delete m_table;
}

void ReportEditor::buildControls()
{
    auto* lblPeriod = BoldLabel("lblPeriod", QStringLiteral("Период:"));
    m_period = HeaderField("txtPeriod", QStringLiteral("Период"));
    auto* lblObshtina = BoldLabel("lblObshtina", QStringLiteral("Община:"));
    m_municipality = HeaderField("txtObshtina", QStringLiteral("Община"));
    auto* lblEBK = BoldLabel("lblEBK", QStringLiteral("ЕБК:"));
    m_ebk = HeaderField("txtEBK", QStringLiteral("ЕБК"));
    lblPeriod->setBuddy(m_period);
    lblObshtina->setBuddy(m_municipality);
    lblEBK->setBuddy(m_ebk);
    auto* identity = new QHBoxLayout;
    identity->addWidget(lblPeriod);
    identity->addWidget(m_period, 1);
    identity->addSpacing(fontMetrics().averageCharWidth() * 2);
    identity->addWidget(lblObshtina);
    identity->addWidget(m_municipality, 2);
    identity->addSpacing(fontMetrics().averageCharWidth() * 2);
    identity->addWidget(lblEBK);
    identity->addWidget(m_ebk, 1);
    identity->addStretch(1);

    m_table = new ReportTableModel(*m_report, this);
    m_grid = new ReportGridView;
    m_grid->setObjectName(QStringLiteral("grdDocEnter"));
    m_grid->setAccessibleName(QStringLiteral("Таблица на справката"));
    m_grid->setReportModel(m_table);
    m_table->setComparingOpenings(m_open.previousMonthExists);
    m_actions = new EditorActions(m_grid, m_table, this);

    auto* frmLock = Frame("frmLock", QStringLiteral("Заключване и информация"));
    m_lock = new QCheckBox(QStringLiteral("Заключване  на &колона"));
    m_lock->setObjectName(QStringLiteral("chkLock"));
    auto* frmInfo = Frame("frmInfo", QStringLiteral("Информация"));
    m_infoPane = new QPlainTextEdit;
    m_infoPane->setObjectName(QStringLiteral("txtInfo"));
    m_infoPane->setAccessibleName(QStringLiteral("Информация"));
    m_infoPane->setReadOnly(true);
    m_infoPane->setFixedHeight(m_infoPane->fontMetrics().lineSpacing() * kInfoLines +
                               2 * m_infoPane->frameWidth() +
                               static_cast<int>(2 * m_infoPane->document()->documentMargin()));
    QPalette p = m_infoPane->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    m_infoPane->setPalette(p);
    auto* infoLayout = new QVBoxLayout(frmInfo);
    infoLayout->addWidget(m_infoPane);
    auto* lockLayout = new QHBoxLayout(frmLock);
    lockLayout->addWidget(m_lock, 0, Qt::AlignTop);
    lockLayout->addWidget(frmInfo, 1);

    auto* frmCommands = Frame("frmCommands", QStringLiteral("Команди"));
    auto* cmdPrint = Button("cmdPrint", QStringLiteral("Към &Excel"));
    auto* cmdSave = Button("cmdSave", QStringLiteral("&Запис"));
    auto* cmdExit = Button("cmdExit", QStringLiteral("&Изход"));
    auto* commands = new QHBoxLayout(frmCommands);
    commands->addStretch(1);
    commands->addWidget(cmdPrint);
    // Paper and PDF without a spreadsheet program, drawn by the program itself.
    const FormPrintButtons form = AddFormPrintButtons(
        this, commands,
        [this] {
            return PrintoutOf(*m_report, m_open.municipality.name, m_open.period.text(),
                              msg::kNote);
        },
        [this] { return FormPdfFileName(m_open.municipality.ebk, m_open.period.text()); });
    commands->addWidget(cmdSave);
    commands->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(identity);
    layout->addWidget(m_grid, 1);
    layout->addWidget(frmLock);
    layout->addWidget(frmCommands);

    setTabOrder(m_grid, m_lock);
    setTabOrder(m_lock, cmdPrint);
    setTabOrder(cmdPrint, form.print);
    setTabOrder(form.print, form.pdf);
    setTabOrder(form.pdf, cmdSave);
    setTabOrder(cmdSave, cmdExit);

    connect(m_grid, &ReportGridView::cellLeft, this, &ReportEditor::onCellLeft);
    connect(m_grid, &ReportGridView::edited, this, &ReportEditor::onEdited);
    connect(m_actions, &EditorActions::changed, this, &ReportEditor::onEdited);
    connect(m_lock, &QCheckBox::toggled, m_grid, &ReportGridView::setCaptionLocked);
    connect(cmdExit, &QPushButton::clicked, this, &ReportEditor::close);
    connect(cmdSave, &QPushButton::clicked, this, &ReportEditor::save);
    connect(cmdPrint, &QPushButton::clicked, this, &ReportEditor::print);
    auto* saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(saveKey, &QShortcut::activated, this, &ReportEditor::save);
    AddHelpKey(this);
}

void ReportEditor::placeOnScreen()
{
    // The window opens inside the screen's free area, whatever its size.
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    QSize start(kPreferredWidth, kPreferredHeight);
    if (!screen) {
        resize(start.expandedTo(minimumSizeHint()));
        return;
    }
    const QRect free = screen->availableGeometry();
    start = start.boundedTo(free.size() * kScreenShare);
    resize(start);
    QRect frame(QPoint(), start);
    frame.moveCenter(free.center());
    move(frame.topLeft());
}

void ReportEditor::openJournal()
{
    const QString year = m_open.period.yearText();
    const QString month = m_open.period.monthText();
    const QString& ebk = m_open.municipality.ebk;
    if (!IsSafeEbkCode(ebk) || !IsSafeEbkCode(year) || !IsSafeEbkCode(month)) {
        return; // such a report cannot be saved either
    }
    EnsureDataFolder();
    m_journal = std::make_unique<EditorJournal>(m_table, m_open.filePath,
                                                JournalKey{ebk, year, month});
    // Figures typed before the program was stopped are offered back.
    if (m_journal->offerRestore()) {
        onEdited();
    }
}

void ReportEditor::setInfo(const QString& text)
{
    if (text == m_info && !m_infoPane->toPlainText().isEmpty()) {
        return;
    }
    m_info = text;
    QString shown = text;
    shown.remove(u'\r');
    const QString before = m_infoPane->toPlainText();
    m_infoPane->setPlainText(shown);
    // A screen reader announces the pane's new text: Qt 6.4 has no announcement of its own.
    m_infoPane->setAccessibleDescription(shown);
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent update(m_infoPane, 0, before, shown);
        QAccessible::updateAccessibility(&update);
    }
}

void ReportEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Typing goes to the table from the start, also where no window manager hands the focus on.
    activateWindow();
    m_grid->setFocus(Qt::OtherFocusReason);
}

void ReportEditor::onEdited()
{
    m_changed = true;
    m_saved = false;
}

void ReportEditor::onCellLeft(int row, int column)
{
    const int formRow = row + grid::kHeadingRows;
    setInfo(LeavePaneText(formRow, m_pane));
    if (column == grid::kOpening && m_open.previousMonthExists) {
        const bool equal = m_table->compareOpening(row);
        const bool allAgree = m_report->differingOpenings() == 0;
        setInfo(CheckColPaneText(formRow, equal, equal && allAgree, m_pane));
    }
}

bool ReportEditor::save()
{
    platform().SetBusy(true);
    EnsureDataFolder();
    // A figure still being typed is saved too; a refused one is corrected first.
    if (!m_grid->commitEditor()) {
        platform().SetBusy(false);
        return false;
    }
    // The current cell is compared as if it were left, before the document becomes the
    // reference.
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid()) {
        onCellLeft(current.row(), current.column());
    }
    const QString path = m_open.filePath;
    Status saved = m_table->store(*m_open.document);
    if (saved) {
        saved = SaveHashedDocument(*m_open.document, path);
    }
    platform().SetBusy(false);
    if (saved) {
        m_saved = true;
        if (m_journal) {
            m_journal->discard();
        }
        return true;
    }
    // A failed save is never passed off as a good one: the user is told, and closing still asks.
    const Failure& failure = saved.failure();
    prompts().showMessage(WriteFailureMessage(path, failure.systemError, failure.reason),
                          MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWriteError);
    return false;
}

void ReportEditor::print()
{
    // The sheet names of the printouts count on through the program's run, editor after editor.
    static PrintoutRun printouts;
    printReport(PrintoutOf(*m_report, m_open.municipality.name, m_open.period.text(), msg::kNote),
                printouts);
}

void ReportEditor::reject()
{
    // Esc outside the table closes the window the same way as its close box: through the
    // question.
    close();
}

void ReportEditor::closeEvent(QCloseEvent* event)
{
    if (keepOpen()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

bool ReportEditor::keepOpen()
{
    if (hasUnsavedChanges()) {
        switch (prompts().showMessage(msg::kAskSave, MsgButtons::YesNoCancel, MsgIcon::Exclamation,
                                      msg::kTitleWarning)) {
        case MsgAnswer::Cancel:
            // The editor stays as it was, comparisons with the previous month included.
            return true;
        case MsgAnswer::Yes:
            if (!save()) {
                return true;
            }
            break;
        default:
            break;
        }
    }
    if (m_journal) {
        m_journal->discard();
    }
    return false;
}

} // namespace kvor
