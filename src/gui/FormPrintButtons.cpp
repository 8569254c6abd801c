#include "gui/FormPrintButtons.h"

#include "gui/UserPrompts.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "printout/FormPainter.h"
#include "printout/FormPdf.h"
#include "printout/PrintoutInput.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>

namespace kvor {

namespace {

const QString kNoPrinter = QStringLiteral(
    "Нямате инсталиран принтер!\r\n"
    "Формата може да се запише като PDF с бутона „PDF…“ и да се отпечата от друг компютър.");
const QString kNotPrinted = QStringLiteral("Формата не е отпечатана: принтерът отказа.");
const QString kPreviewTitle = QStringLiteral("Печат на справката");
const QString kPdfDialogTitle = QStringLiteral("Запис на справката като PDF");
const QString kPdfFilter = QStringLiteral("PDF файлове (*.pdf)");

// The user's documents folder, or the home folder where there is none yet.
QString DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

void PrintForm(QWidget* parent, const PrintoutInput& input)
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        prompts().showMessage(kNoPrinter, MsgButtons::Ok, MsgIcon::Exclamation, msg::kTitleWarning);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(FormPageLayout());
    printer.setDocName(msg::kPrintTitle);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("dlgPrintPreview"));
    preview.setWindowTitle(kPreviewTitle);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&input](QPrinter* target) { PaintForm(input, *target); });
    if (parent) {
        preview.resize(parent->size());
    }
    // The preview's print button goes through the print dialog; closing it prints nothing.
    preview.exec();
    if (printer.printerState() == QPrinter::Error) {
        prompts().showMessage(kNotPrinted, MsgButtons::Ok, MsgIcon::Critical, msg::kTitleWarning);
    }
}

void SaveFormPdfAs(QWidget* parent, const PrintoutInput& input, const QString& fileName)
{
    QFileDialog dialog(parent, kPdfDialogTitle, QDir(DocumentsFolder()).filePath(fileName),
                       kPdfFilter);
    dialog.setObjectName(QStringLiteral("dlgPdf"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    platform().SetBusy(true);
    const Status saved = SaveFormPdf(input, path);
    platform().SetBusy(false);
    if (!saved) {
        const Failure& why = saved.failure();
        prompts().showMessage(WriteFailureMessage(path, why.systemError, why.reason), MsgButtons::Ok,
                          MsgIcon::Critical, msg::kTitleWriteError);
    }
}

FormPrintButtons AddFormPrintButtons(QWidget* window, QBoxLayout* commands,
                                     std::function<PrintoutInput()> input,
                                     std::function<QString()> pdfName)
{
    FormPrintButtons buttons{new QPushButton(QStringLiteral("&Печат…")),
                             new QPushButton(QStringLiteral("P&DF…"))};
    buttons.print->setObjectName(QStringLiteral("cmdPrintForm"));
    buttons.pdf->setObjectName(QStringLiteral("cmdPdf"));
    for (QPushButton* b : {buttons.print, buttons.pdf}) {
        // Enter belongs to the table, never to a default button.
        b->setAutoDefault(false);
        commands->addWidget(b);
    }
    const auto print = [window, input] { PrintForm(window, input()); };
    QObject::connect(buttons.print, &QPushButton::clicked, window, print);
    QObject::connect(buttons.pdf, &QPushButton::clicked, window,
                     [window, input, pdfName] { SaveFormPdfAs(window, input(), pdfName()); });
    auto* printKey = new QShortcut(QKeySequence::Print, window);
    QObject::connect(printKey, &QShortcut::activated, window, print);
    return buttons;
}

} // namespace kvor
