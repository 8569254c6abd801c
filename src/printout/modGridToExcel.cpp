#include "printout/modGridToExcel.h"

#include "core/Messages.h"
#include "core/Platform.h"
#include "printout/SpreadsheetOpener.h"
#include "printout/XlsxFile.h"

#include <QDir>
#include <limits>

namespace kvor {

namespace {

inline constexpr int kSheetsInNewWorkbook = 1;

// The automation runtime's 16-bit integers: a result outside their range is an overflow.
short to16(long long value)
{
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max()) {
        throw xl::XlError(xl::kErrOverflow, msg::kXlOverflow);
    }
    return short(value);
}

template <class T> T& need(const std::shared_ptr<T>& ref)
{
    if (!ref) {
        throw xl::XlError(xl::kErrObjectNotSet, msg::kXlObjectNotSet);
    }
    return *ref;
}

bool isOwnWorkbook(xl::Workbook& book)
{
    return book.BuiltinDocumentProperties(QStringLiteral("Author")).Value() == msg::kExcelAuthor;
}

void markOwn(xl::Workbook& book)
{
    book.BuiltinDocumentProperties(QStringLiteral("Author")).setValue(msg::kExcelAuthor);
}

QString errorText(const xl::XlError& e)
{
    return msg::kExcelCloseError + QString::number(e.Number) + QStringLiteral(". ") + e.Description;
}

} // namespace

ExcelRefs& Excel()
{
    static ExcelRefs refs;
    return refs;
}

void GridToArray(xl::VariantArray& arr, const GridText& grid)
{
    const short rows = to16(grid.Rows());
    const short cols = to16(grid.Cols());
    arr.Redim(rows, cols);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            arr(r, c) = grid.TextMatrix(r, c);
        }
    }
}

void StartExcel(std::shared_ptr<xl::Application>& app)
{
    try {
        app = xl::Application::GetActive();
    } catch (const xl::XlError&) {
        try {
            app = xl::Application::Create(&ShowWorkbook);
        } catch (const xl::XlError&) {
        }
    }
    Excel().xlApp = app;
}

std::shared_ptr<xl::Application> GetExcel()
{
    std::shared_ptr<xl::Application> scratch;
    StartExcel(scratch);
    return Excel().xlApp;
}

std::shared_ptr<xl::Workbook> GetWorkbook()
{
    ExcelRefs& x = Excel();
    if (!x.xlApp) {
        StartExcel(x.xlApp);
    }
    xl::Application& app = need(x.xlApp);
    if (app.Workbooks().Count() < 1) {
        app.setSheetsInNewWorkbook(kSheetsInNewWorkbook);
        x.xlBook = app.Workbooks().Add();
        markOwn(*x.xlBook);
        x.xlSheet = x.xlBook->Sheets(1);
        x.xlSheet->Activate();
        if (x.xlBook->Worksheets().Count() > 1) {
            app.setDisplayAlerts(false);
            for (int i = x.xlBook->Worksheets().Count(); i >= 2; --i) {
                x.xlBook->Worksheets(i)->Delete();
            }
            app.setDisplayAlerts(true);
        }
        return x.xlBook;
    }

    x.xlBook = app.ActiveWorkbook();
    if (!isOwnWorkbook(need(x.xlBook))) {
        // The user's own workbook is left alone: the printout gets a workbook of its own.
        app.setSheetsInNewWorkbook(kSheetsInNewWorkbook);
        x.xlBook = app.Workbooks().Add();
        x.xlSheet = x.xlBook->Sheets(1);
        x.xlSheet->Activate();
        markOwn(*x.xlBook);
        if (x.xlBook->Worksheets().Count() > 1) {
            app.setDisplayAlerts(false);
            // A sheet that cannot be deleted stays; the printout goes on regardless.
            try {
                for (int i = x.xlBook->Worksheets().Count(); i >= 2; --i) {
                    try {
                        x.xlBook->Worksheets(i)->Delete();
                    } catch (const xl::XlError&) {
                    }
                }
            } catch (const xl::XlError&) {
            }
            try {
                app.setDisplayAlerts(true);
            } catch (const xl::XlError&) {
            }
        }
    } else {
        x.xlSheet = x.xlBook->Worksheets().Add();
        x.xlSheet->Activate();
    }
    return x.xlBook;
}

bool ArrayToRange(short dims, short row, short col, const xl::VariantArray& arr)
{
    try {
        xl::Worksheet& sheet = need(Excel().xlSheet);
        const short lastRow = to16(row + static_cast<long long>(arr.UBound(1)) - 1);
        const short lastCol =
            dims >= 2 ? to16(col + static_cast<long long>(arr.UBound(2)) - 1) : col;
        xl::Range target = sheet.Range(sheet.Cells(row, col), sheet.Cells(lastRow, lastCol));
        target.setValue(arr);
        return true;
    } catch (const xl::XlError& e) {
        platform().MsgBox(msg::kExcelWriteFailed + QStringLiteral("\r\n") + e.Description,
                          MsgButtons::Ok, MsgIcon::None, QString());
        return false;
    }
}

void CloseWorkbook(bool saveChanges)
{
    try {
        need(Excel().xlBook).Close(saveChanges);
    } catch (const xl::XlError& e) {
        platform().MsgBox(errorText(e), MsgButtons::Ok, MsgIcon::None, msg::kTitleCloseWorkbook);
    }
}

void CloseExcel()
{
    ExcelRefs& x = Excel();
    try {
        need(x.xlApp).Quit();
    } catch (const xl::XlError& e) {
        platform().MsgBox(errorText(e), MsgButtons::Ok, MsgIcon::None, msg::kTitleCloseExcel);
    }
    // Nothing more can be done with an application that would not quit; the next printout
    // finds or starts one anew.
    x.xlApp.reset();
}

void ShowWorkbook(xl::Application& app)
{
    const auto book = app.ActiveWorkbook();
    if (!book) {
        return;
    }
    const QString path = xl::WriteXlsxToTemp(*book);
    const FileOpener& open = SpreadsheetOpener();
    if (!open || !open(path)) {
        platform().MsgBox(msg::kExcelNoViewer + QDir::toNativeSeparators(path), MsgButtons::Ok,
                          MsgIcon::Exclamation, msg::kTitleExcelWarning);
    }
}

} // namespace kvor
