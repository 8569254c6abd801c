#pragma once
// The one place that talks to the spreadsheet application: starting or finding it, the workbook
// of the printouts with a fresh sheet for each, the grid's texts written into the sheet in one
// block, closing the workbook and quitting.
//
// The workbooks this program makes carry the Author "NVAuthor"; while such a workbook is the
// active one, further printouts become new sheets of it.

#include "core/GridText.h"
#include "printout/XlModel.h"

#include <memory>

namespace kvor {

struct ExcelRefs
{
    std::shared_ptr<xl::Application> xlApp;
    std::shared_ptr<xl::Workbook> xlBook;
    std::shared_ptr<xl::Worksheet> xlSheet; // where ArrayToRange writes
};

// The references of the printouts; they live as long as the program.
ExcelRefs& Excel();

// Every text of the grid into arr, whose bounds become the grid's row and column counts (one
// more row and column than the grid, left empty).
void GridToArray(xl::VariantArray& arr, const GridText& grid);

// Finds the running application or starts one, keeps it in xlApp and gives it.
std::shared_ptr<xl::Application> GetExcel();

// Makes xlBook a workbook of this program and xlSheet a fresh, active sheet in it.
std::shared_ptr<xl::Workbook> GetWorkbook();

// Writes arr into xlSheet from (row, col) on, as large as the array's upper bounds; a
// one-dimensional array (dims 1) fills one column. Row and column arithmetic is 16-bit. A
// failure is shown ("Грешка" and its description) and gives false.
bool ArrayToRange(short dims, short row, short col, const xl::VariantArray& arr);

// Closes xlBook; a failure is shown under the title "CloseWorkbook".
void CloseWorkbook(bool saveChanges);

// Quits xlApp and lets go of it; a failure is shown under the title "CloseExcel".
void CloseExcel();

// Finds the running application or starts one; both in app and xlApp. Failures are ignored.
void StartExcel(std::shared_ptr<xl::Application>& app);

// What making the application visible does on this desktop: the active workbook is written to
// a new file in the temporary folder and opened with the desktop's program for it.
void ShowWorkbook(xl::Application& app);

} // namespace kvor
