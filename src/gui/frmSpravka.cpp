#include "gui/frmSpravka.h"

#include "core/Amount.h"
#include "core/AppState.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "core/ReportDocument.h"
#include "core/ReportName.h"
#include "gui/FlexGrid.h"
#include "gui/Twips.h"
#include "gui/VirtualKeys.h"
#include "printout/PrintReport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace kvor {

const QColor frmSpravka::kRed(255, 0, 0);
const QColor frmSpravka::kBlack(0, 0, 0);
const QColor frmSpravka::kHighlight(191, 217, 236);

namespace {

// Design sizes of the form, in twips.
constexpr int kMinWidth = 8000;
constexpr int kMinHeight = 5000;
constexpr int kEditInset = 8;
constexpr int kLockDesignWidth = 2295;
constexpr double kColumnShare = 15.0; // per cent of the grid's width
constexpr double kCaptionShare = 30.0;
const QColor kHeaderBack(253, 253, 238);

QLabel* boldLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLineEdit* headerField(QWidget* parent, const char* name, const QString& text,
                       const QString& accessible)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAccessibleName(accessible);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, kHeaderBack);
    e->setPalette(p);
    return e;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& accessible)
{
    auto* g = new QGroupBox(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setAccessibleName(accessible);
    return g;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the grid and the in-place editor, never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

int widthTw(const QWidget* w)
{
    return PixelsToTwipsX(w->width(), w);
}
int heightTw(const QWidget* w)
{
    return PixelsToTwipsY(w->height(), w);
}
int leftTw(const QWidget* w)
{
    return PixelsToTwipsX(w->x(), w);
}
int topTw(const QWidget* w)
{
    return PixelsToTwipsY(w->y(), w);
}

} // namespace

frmSpravka::frmSpravka(QWidget* parent, AppState& state) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmSpravka"));
    setWindowTitle(QStringLiteral("Справка"));
    setModal(true);
    setSizeGripEnabled(true);
    // The form is laid out in twips for a small font; text in a larger one would not fit.
    QFont small = font();
    small.setPointSizeF(8.25);
    setFont(small);

    lblPeriod = boldLabel(this, "lblPeriod", QStringLiteral("Период:"));
    txtPeriod = headerField(this, "txtPeriod", QStringLiteral("дата"), QStringLiteral("Период"));
    lblObshtina = boldLabel(this, "lblObshtina", QStringLiteral("Община:"));
    txtObshtina =
        headerField(this, "txtObshtina", QStringLiteral("име на община"), QStringLiteral("Община"));
    lblEBK = boldLabel(this, "lblEBK", QStringLiteral("ЕБК:"));
    txtEBK = headerField(this, "txtEBK", QStringLiteral("ЕБК"), QStringLiteral("ЕБК"));
    lblPeriod->setBuddy(txtPeriod);
    lblObshtina->setBuddy(txtObshtina);
    lblEBK->setBuddy(txtEBK);

    grdDocEnter = new FlexGrid(this);
    grdDocEnter->setObjectName(QStringLiteral("grdDocEnter"));
    grdDocEnter->setAccessibleCaption(QStringLiteral("Таблица на справката"));

    txtEdit = new QLineEdit(QStringLiteral("Text1"), this);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setAccessibleName(QStringLiteral("Редактиране на сума"));
    txtEdit->setFrame(false);
    txtEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtEdit->hide();

    frmLock = frame(this, "frmLock", QStringLiteral("Заключване и информация"));
    chkLock = new QCheckBox(QStringLiteral("Заключване  на колона"), frmLock);
    chkLock->setObjectName(QStringLiteral("chkLock"));
    frmInfo = frame(frmLock, "frmInfo", QStringLiteral("Информация"));
    txtInfo = new QPlainTextEdit(frmInfo);
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    txtInfo->setAccessibleName(QStringLiteral("Информация"));
    txtInfo->setReadOnly(true);
    txtInfo->setPlainText(QStringLiteral("Информация"));
    {
        QPalette p = txtInfo->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        txtInfo->setPalette(p);
    }

    frmCommands = frame(this, "frmCommands", QStringLiteral("Команди"));
    cmdPrint = button(frmCommands, "cmdPrint", QStringLiteral("Към Excel"));
    cmdSave = button(frmCommands, "cmdSave", QStringLiteral("Запис"));
    cmdExit = button(frmCommands, "cmdExit", QStringLiteral("Изход"));

    // Design positions, in twips.
    MoveTwips(lblPeriod, 240, 240, 855, 255);
    MoveTwips(txtPeriod, 1140, 180, 1815, 315);
    MoveTwips(lblObshtina, 3120, 240, 975, 255);
    MoveTwips(txtObshtina, 4260, 183, 2775, 312);
    MoveTwips(lblEBK, 7320, 240, 495, 255);
    MoveTwips(txtEBK, 7980, 180, 1815, 315);
    MoveTwips(grdDocEnter, 120, 720, 9735, 3135);
    MoveTwips(txtEdit, 2160, 2280, 855, 285);
    MoveTwips(frmLock, 0, 3960, 9855, 1155);
    MoveTwips(chkLock, 240, 240, kLockDesignWidth, 195);
    MoveTwips(frmInfo, 2400, 120, 7335, 900);
    MoveTwips(txtInfo, 120, 120, 7215, 735);
    MoveTwips(frmCommands, 0, 5160, 9855, 675);
    MoveTwips(cmdPrint, 5640, 180, 1236, 372);
    MoveTwips(cmdSave, 7047, 180, 1236, 372);
    MoveTwips(cmdExit, 8460, 180, 1236, 372);
    // The check box must show its whole caption in whatever font the desktop uses.
    chkLock->resize(chkLock->size().expandedTo(chkLock->sizeHint()));

    setMinimumSize(TwipsToPixelsX(kMinWidth, this), TwipsToPixelsY(kMinHeight, this));
    // A window that shows the whole report at once, within the screen.
    QSize start(TwipsToPixelsX(16500, this), TwipsToPixelsY(11500, this));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        start = start.boundedTo(screen->availableSize() * 0.95);
    }
    resize(start.expandedTo(minimumSize()));

    setTabOrder(grdDocEnter, chkLock);
    setTabOrder(chkLock, cmdPrint);
    setTabOrder(cmdPrint, cmdSave);
    setTabOrder(cmdSave, cmdExit);

    connect(grdDocEnter, &FlexGrid::EnterCell, this, &frmSpravka::grdDocEnter_EnterCell);
    connect(grdDocEnter, &FlexGrid::LeaveCell, this, &frmSpravka::grdDocEnter_LeaveCell);
    connect(grdDocEnter, &FlexGrid::KeyPress, this, &frmSpravka::grdDocEnter_KeyPress);
    connect(grdDocEnter, &FlexGrid::KeyDown, this, &frmSpravka::grdDocEnter_KeyDown);
    connect(grdDocEnter, &FlexGrid::DblClick, this, &frmSpravka::grdDocEnter_DblClick);
    connect(grdDocEnter, &FlexGrid::GotFocus, this, &frmSpravka::grdDocEnter_GotFocus);
    connect(grdDocEnter, &FlexGrid::Scroll, this, &frmSpravka::grdDocEnter_Scroll);
    connect(txtEdit, &QLineEdit::textChanged, this, &frmSpravka::txtEdit_Change);
    txtEdit->installEventFilter(this);
    connect(chkLock, &QCheckBox::toggled, this, &frmSpravka::chkLock_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmSpravka::cmdExit_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSpravka::cmdSave_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmSpravka::cmdPrint_Click);
}

frmSpravka::~frmSpravka() = default;

PaneTexts frmSpravka::paneTexts() const
{
    const AppState& s = m_state;
    return {s.sInfoTitle, s.sMsgRed, s.sMsgNoPrev, s.sNote};
}

void frmSpravka::setInfo(const QString& text)
{
    m_info = text;
    QString shown = text;
    shown.remove(u'\r');
    txtInfo->setPlainText(shown);
}

// --- window -----------------------------------------------------------------------------------

void frmSpravka::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The editor is modal and shows only message boxes of its own: it is activated once, when it
    // is shown, and rebuilding it later would throw away the figures typed since.
    if (!m_activated) {
        m_activated = true;
        Form_Activate();
    }
}

void frmSpravka::Form_Activate()
{
    bChanged = false;
    bSaved = true;
    grdDocEnter->hide();
    repaint();

    const XmlNode positions = selectSingleNode(m_state.xmlDoc, QStringLiteral("positions"));
    txtPeriod->setText(GetAttribute(positions, QStringLiteral("period")));
    txtObshtina->setText(GetAttribute(positions, QStringLiteral("ob_name")));
    txtEBK->setText(GetAttribute(positions, QStringLiteral("ebk")));
    txtPeriod->setCursorPosition(0);
    txtObshtina->setCursorPosition(0);

    BuildGridHeader();
    FillGrid();
    FlagInit = false;
    setInfo(ActivatePaneText(paneTexts()));
    grdDocEnter->SetFocus();
}

void frmSpravka::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmSpravka::Form_Resize()
{
    if (isMinimized()) {
        return;
    }
    const int sw = widthTw(this);
    const int sh = heightTw(this);
    const int cmdH = heightTw(frmCommands);
    const int lockH = heightTw(frmLock);
    const int gridTop = topTw(grdDocEnter);

    MoveTwips(grdDocEnter, 0, gridTop, sw, std::max(0, sh - gridTop - cmdH - lockH));
    MoveTwips(frmLock, 0, sh - lockH - cmdH, sw, lockH);
    MoveTwips(frmCommands, 0, sh - cmdH, sw, cmdH);
    // The pane starts right of the check box and ends a little before the right edge; a check box
    // wider than designed (a larger font) pushes the pane's left edge, never its right one.
    const int chkLeft = leftTw(chkLock);
    const double infoLeft = std::max(10.5 * chkLeft, chkLeft + widthTw(chkLock) + 60.0);
    const double infoRight = 10.5 * chkLeft + sw - 1.15 * kLockDesignWidth;
    MoveTwips(frmInfo, infoLeft, topTw(frmInfo), std::max(0.0, infoRight - infoLeft),
              heightTw(frmInfo));
    MoveTwips(txtInfo, 100, topTw(txtInfo), widthTw(frmInfo) - 200, heightTw(txtInfo));
    const int exitWidth = widthTw(cmdExit);
    const int cmdWidth = widthTw(frmCommands);
    MoveTwips(cmdExit, cmdWidth - 1.1 * exitWidth, topTw(cmdExit), exitWidth, heightTw(cmdExit));
    MoveTwips(cmdSave, cmdWidth - 2.2 * exitWidth, topTw(cmdSave), widthTw(cmdSave),
              heightTw(cmdSave));
    MoveTwips(cmdPrint, leftTw(cmdSave) - 1.1 * widthTw(cmdPrint), topTw(cmdPrint),
              widthTw(cmdPrint), heightTw(cmdPrint));
}

void frmSpravka::chkLock_Click()
{
    grdDocEnter->setFixedCols(chkLock->isChecked() ? 1 : 0);
}

void frmSpravka::cmdExit_Click()
{
    close();
}

void frmSpravka::reject()
{
    // Esc outside the grid closes the window the same way as its close box: through the question.
    close();
}

void frmSpravka::closeEvent(QCloseEvent* event)
{
    if (Form_Unload()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

bool frmSpravka::Form_Unload()
{
    if (bChanged && !bSaved) {
        switch (platform().MsgBox(msg::kAskSave, MsgButtons::YesNoCancel, MsgIcon::Exclamation,
                                  msg::kTitleWarning)) {
        case MsgAnswer::Cancel:
            // The editor stays as it was, comparisons with the previous month included.
            return true;
        case MsgAnswer::Yes:
            cmdSave_Click();
            if (!bSaved) {
                return true;
            }
            break;
        default:
            break;
        }
    }
    m_state.bPrevData = false;
    return false;
}

// --- grid construction ------------------------------------------------------------------------

void frmSpravka::BuildGridHeader()
{
    FlexGrid* g = grdDocEnter;
    g->hide();
    g->setRedraw(false);
    FlagInit = true;
    m_form = std::make_unique<ReportForm>(m_state.xmlStructure);

    g->Clear();
    g->setCols(grid::kCols);
    g->setRows(grid::kHeadingRows + 1);
    g->setFixedRows(grid::kHeadingRows);
    g->setFixedCols(0);
    g->setWordWrap(true);

    g->setColAlignment(grid::kCaption, flexAlignLeftCenter);
    for (int c : {grid::kOpening, grid::kAdded, grid::kSubtracted, grid::kClosing}) {
        g->setColAlignment(c, flexAlignRightCenter);
    }
    g->setColAlignment(grid::kCodeAdded, flexAlignCenterCenter);
    g->setColAlignment(grid::kCodeSubtracted, flexAlignCenterCenter);

    const ReportForm::Headings& headings = m_form->headings();
    for (int r = 0; r < grid::kHeadingRows; ++r) {
        for (int c = 0; c < grid::kCols; ++c) {
            g->setTextMatrix(r, c, headings[r][c]);
        }
    }
    g->setRowHeight(grid::kTallHeadingRow, g->RowHeight(grid::kTallHeadingRow) * 2);

    g->setMergeCells(2);
    g->setMergeRow(grid::kMergedHeadingRow, true);
    g->setMergeCells(3);
    const int width = g->Width();
    for (int c = 0; c < grid::kCols; ++c) {
        g->setColWidth(c, static_cast<int>(std::lround(width / 100.0 * kColumnShare)));
        g->setMergeCol(c, true);
    }
    g->setColWidth(grid::kCaption, static_cast<int>(std::lround(width / 100.0 * kCaptionShare)));

    for (int c = 0; c < grid::kCols; ++c) {
        for (int r = 0; r < grid::kHeadingRows; ++r) {
            g->setRow(r);
            g->setCol(c);
            g->setCellAlignment(flexAlignCenterCenter);
        }
    }
    g->setRows(grid::kHeadingRows);
    g->show();
    g->setRedraw(true);
}

void frmSpravka::FillGrid()
{
    FlexGrid* g = grdDocEnter;
    g->setRedraw(false);
    const XmlNode docStructure =
        selectSingleNode(m_state.xmlDoc, QStringLiteral("positions/structure"));
    const std::vector<XmlNode> docRows =
        docStructure ? selectNodes(docStructure, QStringLiteral("//str")) : std::vector<XmlNode>{};
    const int n = m_form->rowCount();
    for (int i = 0; i < n; ++i) {
        const XmlNode d = i < static_cast<int>(docRows.size()) ? docRows[i] : XmlNode();
        bool idOk = false;
        const int id = GetAttribute(d, QStringLiteral("id")).toInt(&idOk);
        const bool idValid = idOk && id >= -32768 && id <= 32767;
        AddGridRow(m_form->row(i).caption, GetAttribute(d, QStringLiteral("col1")),
                   GetAttribute(d, QStringLiteral("col6")), GetAttribute(d, QStringLiteral("col8")),
                   GetAttribute(d, QStringLiteral("col4")), id, idValid, i);
    }
    for (int r = grid::kHeadingRows; r < g->Rows(); ++r) {
        if (IsHighlightedRow(r)) {
            g->setRow(r);
            for (int c = 0; c < grid::kCols; ++c) {
                g->setCol(c);
                g->setCellBackColor(kHighlight);
            }
        }
    }
    // The figures start where the user can type: the first opening amount of a row that is not
    // restricted.
    for (int r = grid::kHeadingRows; r < g->Rows(); ++r) {
        if (m_form->IsEditableCell(r, grid::kOpening)) {
            g->setRow(r);
            g->setCol(grid::kOpening);
            break;
        }
    }
    g->setRedraw(true);
}

void frmSpravka::AddGridRow(const QString& caption, const QString& opening, const QString& added,
                            const QString& subtracted, const QString& closing, int rowId,
                            bool rowIdValid, int n)
{
    FlexGrid* g = grdDocEnter;
    const bool blank = n % 2 == 1;
    auto amount = [blank](const QString& t) { return blank ? u' ' + t : t; };
    g->setRows(g->Rows() + 1);
    const int r = n + grid::kHeadingRows;
    g->setTextMatrix(r, grid::kCaption, caption);
    g->setTextMatrix(r, grid::kOpening, amount(opening));
    g->setTextMatrix(r, grid::kAdded, amount(added));
    g->setTextMatrix(r, grid::kSubtracted, amount(subtracted));
    g->setTextMatrix(r, grid::kClosing, amount(closing));
    recomputeClosing(r);
    // A document row whose id is no 16-bit number simply has no code texts.
    if (rowIdValid) {
        const auto [codeAdded, codeSubtracted] = m_form->CodeTexts(rowId);
        g->setTextMatrix(r, grid::kCodeAdded, codeAdded);
        g->setTextMatrix(r, grid::kCodeSubtracted, codeSubtracted);
    }
}

bool frmSpravka::IsHighlightedRow(int r) const
{
    return m_form && m_form->IsHighlightedRow(r);
}

bool frmSpravka::IsRestrictedRow(int r) const
{
    return m_form && m_form->IsRestrictedRow(r);
}

void frmSpravka::recomputeClosing(int r)
{
    RecomputeClosing(*grdDocEnter, r);
}

// --- editing ----------------------------------------------------------------------------------

bool frmSpravka::isCurrentCellEditable() const
{
    return m_form && m_form->IsEditableCell(grdDocEnter->Row(), grdDocEnter->Col());
}

void frmSpravka::MSFlexGridEdit(int keyAscii)
{
    FlexGrid* g = grdDocEnter;
    const bool reopened = txtEdit->isVisible() && iRow == g->Row() && iCol == g->Col();
    // Enter, a blank or a control key edits the cell's text; a character replaces it.
    if (keyAscii >= 0 && keyAscii <= vk::Space) {
        txtEdit->setText(g->Text());
        txtEdit->setCursorPosition(txtEdit->text().size());
    } else {
        txtEdit->setText(QString(QChar(char16_t(keyAscii))));
        txtEdit->setCursorPosition(1);
    }
    const int left = g->Left() + g->CellLeft();
    const int top = g->Top() + g->CellTop();
    MoveTwips(txtEdit, left, top, g->CellWidth() - kEditInset, g->CellHeight() - kEditInset);
    txtEdit->show();
    txtEdit->raise();
    iRow = g->Row();
    iCol = g->Col();
    sValuePrev = g->TextMatrix(iRow, iCol);
    if (!reopened) {
        m_colorBeforeEdit = g->CellForeColor();
    }
    g->setCellForeColor(kRed);
    txtEdit->setFocus(Qt::OtherFocusReason);
}

void frmSpravka::EditKeyCode(int keyCode, int shift)
{
    FlexGrid* g = grdDocEnter;
    switch (keyCode) {
    case vk::Return:
        g->SetFocus();
        // A refused figure keeps the editor where it is until it is corrected.
        if (!txtEdit->isVisible()) {
            g->PostKeyDown(vk::Down, 0);
        }
        return;
    case vk::Escape: {
        // Esc leaves the cell as it was: its text, its colour and the place of the cursor.
        const int row = iRow;
        const int col = iCol;
        const QColor before = m_colorBeforeEdit.isValid() ? m_colorBeforeEdit : kBlack;
        txtEdit->hide();
        g->SetFocus();
        g->setCol(0);
        g->setCellForeColor(kBlack);
        g->setRow(row);
        g->setCol(col);
        g->setCellForeColor(before);
        return;
    }
    case vk::Prior:
    case vk::Next:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
        g->SetFocus();
        QCoreApplication::processEvents();
        if (!txtEdit->isVisible()) {
            g->PostKeyDown(keyCode, shift);
        }
        return;
    case vk::End:
    case vk::Home:
        if (shift == vk::CtrlMask) {
            g->SetFocus();
            QCoreApplication::processEvents();
            if (!txtEdit->isVisible()) {
                g->PostKeyDown(keyCode, shift);
            }
        }
        return;
    default:
        return;
    }
}

void frmSpravka::grdDocEnter_EnterCell()
{
    if (FlagInit) {
        return;
    }
    iRow = grdDocEnter->Row();
    iCol = grdDocEnter->Col();
    sValuePrev = grdDocEnter->Text();
}

void frmSpravka::grdDocEnter_LeaveCell()
{
    if (FlagInit) {
        return;
    }
    txtEdit_LostFocus();
    if (txtEdit->isVisible()) {
        // The figure was refused: the editor stays over its own cell, so that the corrected
        // figure cannot land in the cell the user clicked.
        grdDocEnter->CancelPendingMove();
        return;
    }
    iRow = grdDocEnter->Row();
    iCol = grdDocEnter->Col();
    SetLeavePane(iRow);
    if (iCol == grid::kOpening && m_state.bPrevData) {
        FlagInit = true;
        CheckCol(grdDocEnter->Row());
        FlagInit = false;
    }
    grdDocEnter->setRow(iRow);
    grdDocEnter->setCol(iCol);
}

void frmSpravka::SetLeavePane(int r)
{
    setInfo(LeavePaneText(r, paneTexts()));
}

void frmSpravka::grdDocEnter_KeyPress(int& keyAscii)
{
    if (isCurrentCellEditable()) {
        MSFlexGridEdit(keyAscii);
    }
}

void frmSpravka::grdDocEnter_DblClick()
{
    if (isCurrentCellEditable()) {
        MSFlexGridEdit(vk::Space);
    }
}

void frmSpravka::grdDocEnter_KeyDown(int& keyCode, int shift)
{
    if (keyCode >= vk::F2) {
        return;
    }
    sValuePrev = grdDocEnter->TextMatrix(iRow, iCol);
    if (!isCurrentCellEditable()) {
        return;
    }
    if (keyCode != vk::Delete && keyCode != vk::Decimal) {
        bChanged = true;
        bSaved = false;
        iCol = grdDocEnter->Col();
        iRow = grdDocEnter->Row();
        recomputeClosing(iRow);
    }
    if (keyCode == vk::Return) {
        QCoreApplication::processEvents();
        grdDocEnter->PostKeyDown(vk::Down, 0);
        MSFlexGridEdit(vk::Space);
    }
}

void frmSpravka::grdDocEnter_GotFocus()
{
    if (txtEdit->isVisible() && !m_refusalShown) {
        txtEdit->hide();
    }
}

void frmSpravka::grdDocEnter_Scroll()
{
    // An open editor no longer lies over its cell: taking the focus from it commits it.
    if (txtEdit->isVisible()) {
        grdDocEnter->SetFocus();
    }
}

void frmSpravka::txtEdit_Change()
{
    bChanged = true;
    bSaved = false;
    QPalette p = txtEdit->palette();
    p.setColor(QPalette::Text, kRed);
    txtEdit->setPalette(p);
}

void frmSpravka::txtEdit_LostFocus()
{
    FlexGrid* g = grdDocEnter;
    const QString t = txtEdit->text().trimmed();
    if (!t.isEmpty() && txtEdit->isVisible() && !IsNumeric(t)) {
        FlagInit = true;
        txtEdit->hide();
        // One action (a click on another cell, a key) may leave the editor twice; the user is
        // told once.
        if (!m_refusalShown) {
            m_refusalShown = true;
            platform().MsgBox(msg::kEnterNumber, MsgButtons::Ok, MsgIcon::Critical,
                              msg::kTitleWarning);
            // The focus change that led here is still under way; the editor takes the focus
            // back once it is over.
            QTimer::singleShot(0, this, [this] {
                m_refusalShown = false;
                if (txtEdit->isVisible()) {
                    txtEdit->setFocus(Qt::OtherFocusReason);
                    txtEdit->selectAll();
                }
            });
        }
        txtEdit->show();
        txtEdit->selectAll();
        txtEdit->setFocus(Qt::OtherFocusReason);
        FlagInit = false;
        return;
    }
    if (txtEdit->isVisible()) {
        g->setCellForeColor(kBlack);
        const double v = CellValue(ZeroIfEmpty(t));
        const QString newText = RowAmountText(v, iRow);
        g->setTextMatrix(iRow, iCol, newText);
        recomputeClosing(iRow);
        UpdateTotals(*g, *m_form, iRow, iCol, sValuePrev, newText);
    }
    const bool hadFocus = txtEdit->hasFocus();
    txtEdit->hide();
    if (hadFocus) {
        // The cursor goes back to the grid rather than to whatever follows the box.
        g->SetFocus();
    }
}

// --- previous month ---------------------------------------------------------------------------

void frmSpravka::CheckCol(int r)
{
    FlexGrid* g = grdDocEnter;
    const XmlNode docStructure =
        selectSingleNode(m_state.xmlDoc, QStringLiteral("positions/structure"));
    const auto rows =
        docStructure ? selectNodes(docStructure, QStringLiteral("//str")) : std::vector<XmlNode>{};
    const int n = r - grid::kHeadingRows;
    const XmlNode d = n >= 0 && n < static_cast<int>(rows.size()) ? rows[n] : XmlNode();
    const double reference = CellValue(GetAttribute(d, QStringLiteral("col1")));
    const double current = CellValue(g->TextMatrix(r, grid::kOpening));
    const bool equal = current == reference;
    if (equal) {
        g->setCellForeColor(kBlack);
        setInfo(CheckColPaneText(r, true, ColumnAllBlack(r), paneTexts()));
    } else {
        setInfo(CheckColPaneText(r, false, false, paneTexts()));
        g->setCellForeColor(kRed);
    }
}

bool frmSpravka::ColumnAllBlack(int r)
{
    FlexGrid* g = grdDocEnter;
    g->setRedraw(false);
    bool result = true;
    for (int row = grid::kHeadingRows; row < g->Rows(); ++row) {
        g->setRow(row);
        if (g->CellForeColor() == kRed) {
            result = false;
            break;
        }
    }
    g->setRow(r);
    g->setRedraw(true);
    return result;
}

// --- commands ---------------------------------------------------------------------------------

namespace {

// The figures as they are stored: without the blanks the grid puts in front of every second
// row, so that a report does not gain a blank each time it is opened and saved.
class StoredFigures final : public GridText
{
public:
    explicit StoredFigures(const GridText& grid) : m_grid(grid) {}
    int Rows() const override { return m_grid.Rows(); }
    int Cols() const override { return m_grid.Cols(); }
    QString TextMatrix(int row, int col) const override
    {
        QString text = m_grid.TextMatrix(row, col);
        if (row >= grid::kHeadingRows) {
            qsizetype blanks = 0;
            while (blanks < text.size() && text[blanks] == u' ') {
                ++blanks;
            }
            text.remove(0, blanks);
        }
        return text;
    }

private:
    const GridText& m_grid;
};

} // namespace

void frmSpravka::cmdSave_Click()
{
    platform().SetBusy(true);
    EnsureDataFolder();
    // Leaving the current cell commits a figure still being typed.
    grdDocEnter->setCol(0);
    if (txtEdit->isVisible()) {
        // The figure was refused and is still being corrected: nothing is saved without it.
        platform().SetBusy(false);
        return;
    }
    AppState& state = m_state;
    state.sMonth = PeriodMonth(txtPeriod->text());
    state.sYear = PeriodYear(txtPeriod->text());
    const QString path = ReportFilePath(state.Obshtina.NumEBK, state.sYear, state.sMonth);
    QString reason;
    int err = 0;
    bool saved = false;
    if (!IsSafeEbkCode(state.Obshtina.NumEBK) || !IsSafeEbkCode(state.sYear) ||
        !IsSafeEbkCode(state.sMonth)) {
        reason = msg::kInvalidEbk;
    } else {
        StoreGridValues(state.xmlDoc, StoredFigures(*grdDocEnter));
        saved = SaveDocument(state.xmlDoc, path, &reason, &err);
    }
    platform().SetBusy(false);
    if (saved) {
        bSaved = true;
        return;
    }
    // A failed save is never passed off as a good one: the user is told, and closing still asks.
    platform().MsgBox(WriteFailureMessage(path, err, reason), MsgButtons::Ok, MsgIcon::Critical,
                      msg::kTitleWriteError);
}

void frmSpravka::cmdPrint_Click()
{
    // The sheet names of the printouts count on through the program's run, editor after editor.
    static PrintoutRun printouts;
    printReport(PrintoutFromGrid(*grdDocEnter, ReportForm(m_state.xmlStructure),
                                 m_state.Obshtina.Name, m_state.sPeriod, m_state.sNote),
                printouts);
}

// --- events -----------------------------------------------------------------------------------

bool frmSpravka::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtEdit) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        const int keyCode = vk::KeyCode(ke);
        const int shift = vk::ShiftState(ke->modifiers());
        EditKeyCode(keyCode, shift);
        switch (keyCode) {
        case vk::Return:
        case vk::Escape:
        case vk::Prior:
        case vk::Next:
        case vk::Left:
        case vk::Up:
        case vk::Right:
        case vk::Down:
            return true;
        case vk::Home:
        case vk::End:
            return shift == vk::CtrlMask;
        default:
            return false;
        }
    }
    case QEvent::FocusOut: {
        // Another application taking the focus, or a menu, is no reason to commit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            txtEdit_LostFocus();
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace kvor
