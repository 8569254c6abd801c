#pragma once
// The editor's commands that put the official form on paper or into a PDF without a spreadsheet
// program: "Печат…" (Ctrl+P) through Qt's print preview and print dialog, "PDF…" through a save
// dialog and the atomic writer.

#include <QString>
#include <functional>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace kvor {

struct PrintoutInput;

struct FormPrintButtons
{
    QPushButton* print;
    QPushButton* pdf;
};

// Adds both buttons to `commands` and Ctrl+P to `window`. `input` gives the form as it stands when
// a command runs, `pdfName` the file name a PDF is offered under.
FormPrintButtons AddFormPrintButtons(QWidget* window, QBoxLayout* commands,
                                     std::function<PrintoutInput()> input,
                                     std::function<QString()> pdfName);

// The commands themselves: a user who cancels a dialog is left where they were; every failure is
// told and leaves no half-written file.
void PrintForm(QWidget* parent, const PrintoutInput& input);
void SaveFormPdfAs(QWidget* parent, const PrintoutInput& input, const QString& fileName);

} // namespace kvor
