#pragma once
// The spreadsheet application of the printouts, held in memory: application, workbooks,
// worksheets with their cells, merges, row heights, column widths and page setup, and the range
// objects through which a caller writes and formats cells. Members that a caller of the
// spreadsheet uses carry the spreadsheet's own names (Workbooks, Cells, Range, Value...); the
// lower-case accessors are for code that reads a finished workbook (the file writer, tests).
//
// Rows and columns count from 1. A refused call throws XlError, as an automation call would
// fail; objects of a closed workbook or a quit application refuse every call.

#include "printout/XlConstants.h"
#include "printout/XlError.h"

#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kvor::xl {

class Application;
class Workbook;
class Worksheet;
class Range;
class Font;
class Border;
class Interior;

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;
// The default font is the one the printed form was laid out for (the spreadsheet's default of
// its time): with its row height the form fits one landscape A4 page at 75 %.
inline const char* const kDefaultFontName = "Arial";
inline constexpr double kDefaultFontSize = 10;
inline constexpr double kDefaultRowHeight = 12.75;  // points, for the default font
inline constexpr double kDefaultColumnWidth = 8.43; // characters of the default font
inline constexpr int xlPaperA4 = 9;

// Values handed over in one Value assignment: one or two dimensions, bounds starting at 0.
class VariantArray final
{
public:
    void Redim(int upper1);
    void Redim(int upper1, int upper2);
    int Dimensions() const { return m_dims; }
    // The upper bound of dimension 1 or 2; a dimension the array lacks is refused.
    int UBound(int dimension) const;
    QVariant& operator()(int i, int j = 0);
    // An element outside the bounds reads as empty.
    QVariant at(int i, int j = 0) const;

private:
    int m_dims = 0;
    int m_upper1 = -1;
    int m_upper2 = -1;
    std::vector<QVariant> m_items;
};

enum Edge
{
    kEdgeLeft,
    kEdgeTop,
    kEdgeBottom,
    kEdgeRight,
    kEdges
};

inline constexpr int kNoFill = -1;

struct CellFormat
{
    QString NumberFormat = QStringLiteral("General");
    bool Bold = false;
    double Size = kDefaultFontSize;
    bool Underline = false;
    int HorizontalAlignment = xlGeneral;
    int VerticalAlignment = xlBottom;
    bool WrapText = false;
    std::array<int, kEdges> Border{xlNone, xlNone, xlNone, xlNone}; // line style per edge
    int Fill = kNoFill;                                             // 0xRRGGBB

    bool operator==(const CellFormat&) const = default;
    bool operator<(const CellFormat& other) const;
};

struct Cell
{
    QVariant Value; // empty, a text (QString) or a number (double)
    CellFormat Format;
};

// A block of cells: first and last row and column, inclusive.
struct Area
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    bool contains(int row, int col) const
    {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
    bool intersects(const Area& o) const
    {
        return top <= o.bottom && o.top <= bottom && left <= o.right && o.left <= right;
    }
    bool operator==(const Area&) const = default;
};

// The RGB colour of an index into the default palette of 56 colours; kNoFill for none.
int PaletteColor(int colorIndex);

class Range final
{
public:
    Range(std::shared_ptr<xl::Worksheet> sheet, const Area& area);

    int Row() const { return m_area.top; }
    int Column() const { return m_area.left; }
    Area area() const { return m_area; }
    const std::shared_ptr<xl::Worksheet>& sheet() const { return m_sheet; }

    // The value of the first cell.
    QVariant Value() const;
    // Every cell of the block gets the value. A text that reads as a number under the regional
    // settings becomes that number, as when it is typed; the empty text empties the cell. The
    // hidden cells of a merged block stay empty.
    void setValue(const QVariant& value);
    // Cell (i, j) of the block gets element (i, j); a one-dimensional array runs down the
    // block's first column.
    void setValue(const VariantArray& values);
    void setFormulaR1C1(const QString& text) { setValue(QVariant(text)); }
    void ClearContents();

    // Makes the block the selection of its sheet, which must be the active one.
    void Select();

    bool MergeCells() const;
    // Merging keeps one value, the first in reading order; blocks it overlaps are unmerged
    // first.
    void setMergeCells(bool on);
    void setWrapText(bool on);
    void setHorizontalAlignment(int alignment);
    void setVerticalAlignment(int alignment);
    void setNumberFormat(const QString& format);
    xl::Font Font() const;
    xl::Border Borders(int edge) const;
    xl::Interior Interior() const;

    double RowHeight() const;
    void setRowHeight(double points);
    double ColumnWidth() const;
    void setColumnWidth(double characters);

    // Runs fn on the format of every cell of the block.
    void formatCells(const std::function<void(CellFormat&)>& fn) const;
    void formatCellsAt(const std::function<void(int row, int col, CellFormat&)>& fn) const;
    const CellFormat& firstFormat() const;

private:
    xl::Worksheet& live() const;

    std::shared_ptr<xl::Worksheet> m_sheet;
    Area m_area;
};

class Font final
{
public:
    explicit Font(const xl::Range& range) : m_range(range) {}
    bool Bold() const;
    void setBold(bool on);
    double Size() const;
    void setSize(double points);
    bool Underline() const;
    void setUnderline(bool on);

private:
    xl::Range m_range;
};

class Border final
{
public:
    Border(const xl::Range& range, int edge) : m_range(range), m_edge(edge) {}
    void setLineStyle(int style);

private:
    xl::Range m_range;
    int m_edge;
};

class Interior final
{
public:
    explicit Interior(const xl::Range& range) : m_range(range) {}
    void setColorIndex(int index);

private:
    xl::Range m_range;
};

class PageSetup final
{
public:
    int Orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    int Zoom() const { return m_zoom; }
    void setZoom(int percent);
    // Margins in points.
    double LeftMargin() const { return m_left; }
    double RightMargin() const { return m_right; }
    void setRightMargin(double points);
    double TopMargin() const { return m_top; }
    double BottomMargin() const { return m_bottom; }
    // The paper of the printer; A4 where the report is printed.
    int PaperSize() const { return m_paper; }

private:
    int m_orientation = xlPortrait;
    int m_paper = xlPaperA4;
    int m_zoom = 100;
    double m_left = 0.7 * 72;
    double m_right = 0.7 * 72;
    double m_top = 0.75 * 72;
    double m_bottom = 0.75 * 72;
};

class Worksheet final : public std::enable_shared_from_this<Worksheet>
{
public:
    Worksheet(xl::Workbook* book, QString name) : m_book(book), m_name(std::move(name)) {}

    QString Name() const { return m_name; }
    void Activate();
    // Removes the sheet from its workbook; the last sheet of a workbook cannot go.
    void Delete();
    xl::Range Cells(int row, int col);
    xl::Range Range(const xl::Range& from, const xl::Range& to);
    xl::PageSetup& PageSetup();

    // Read side.
    bool isLive() const;
    xl::Workbook* workbook() const { return m_book; }
    const Cell* cell(int row, int col) const;
    const std::map<std::pair<int, int>, Cell>& cells() const { return m_cells; }
    const std::vector<Area>& merges() const { return m_merges; }
    // The merged block that holds the cell, or none.
    const Area* mergeAt(int row, int col) const;
    double rowHeight(int row) const;
    double columnWidth(int col) const;
    const std::map<int, double>& rowHeights() const { return m_rowHeights; }
    const std::map<int, double>& columnWidths() const { return m_colWidths; }
    Area selection() const { return m_selection; }
    const xl::PageSetup& pageSetup() const { return m_pageSetup; }

private:
    friend class xl::Range;
    friend class xl::Workbook;

    Cell& cellAt(int row, int col) { return m_cells[{row, col}]; }

    xl::Workbook* m_book;
    QString m_name;
    std::map<std::pair<int, int>, Cell> m_cells;
    std::vector<Area> m_merges;
    std::map<int, double> m_rowHeights;
    std::map<int, double> m_colWidths;
    Area m_selection;
    xl::PageSetup m_pageSetup;
};

class WorksheetList final
{
public:
    explicit WorksheetList(Workbook* book) : m_book(book) {}
    int Count() const;
    // A new sheet before the active one, which it becomes.
    std::shared_ptr<Worksheet> Add();

private:
    Workbook* m_book;
};

class Workbook final : public std::enable_shared_from_this<Workbook>
{
public:
    class DocumentProperty final
    {
    public:
        DocumentProperty(Workbook* book, QString name) : m_book(book), m_name(std::move(name)) {}
        QString Value() const;
        void setValue(const QString& value);

    private:
        Workbook* m_book;
        QString m_name;
    };

    Workbook(Application* app, QString name) : m_app(app), m_name(std::move(name)) {}
    ~Workbook();

    QString Name() const { return m_name; }
    DocumentProperty BuiltinDocumentProperties(const QString& name)
    {
        return DocumentProperty(this, name);
    }
    // Sheets count from 1.
    std::shared_ptr<xl::Worksheet> Sheets(int index) { return Worksheets(index); }
    std::shared_ptr<xl::Worksheet> Worksheets(int index);
    WorksheetList Worksheets();
    std::shared_ptr<xl::Worksheet> ActiveSheet();
    // Closes the workbook; it has no file of its own, so it cannot be saved on the way.
    void Close(bool saveChanges);

    // Read side.
    bool isLive() const;
    Application* application() const { return m_app; }
    QString property(const QString& name) const;
    const std::vector<std::shared_ptr<xl::Worksheet>>& sheets() const { return m_sheets; }
    std::shared_ptr<xl::Worksheet> activeSheet() const { return m_active.lock(); }

private:
    friend class Application;
    friend class WorkbookList;
    friend class WorksheetList;
    friend class xl::Worksheet;
    friend class DocumentProperty;

    void requireLive() const;
    std::shared_ptr<xl::Worksheet> newSheet();
    void detach();

    Application* m_app;
    QString m_name;
    std::map<QString, QString> m_properties;
    std::vector<std::shared_ptr<xl::Worksheet>> m_sheets;
    std::weak_ptr<xl::Worksheet> m_active;
    int m_sheetCounter = 0;
};

class WorkbookList final
{
public:
    explicit WorkbookList(Application* app) : m_app(app) {}
    int Count() const;
    // A new workbook with SheetsInNewWorkbook sheets; it becomes the active one.
    std::shared_ptr<Workbook> Add();

private:
    Application* m_app;
};

class Application final : public std::enable_shared_from_this<Application>
{
public:
    // Shows the workbooks when the application is made visible.
    using Presenter = std::function<void(Application&)>;

    explicit Application(Presenter presenter) : m_presenter(std::move(presenter)) {}
    ~Application();

    // The application that is running, as the desktop's get-active-object call finds it.
    static std::shared_ptr<Application> GetActive();
    // Starts a new application; it is the running one unless another already is.
    static std::shared_ptr<Application> Create(Presenter presenter = {});

    WorkbookList Workbooks();
    // The active workbook, or none.
    std::shared_ptr<Workbook> ActiveWorkbook();
    int SheetsInNewWorkbook() const { return m_sheetsInNewWorkbook; }
    void setSheetsInNewWorkbook(int count);
    bool DisplayAlerts() const { return m_displayAlerts; }
    void setDisplayAlerts(bool on);
    bool Visible() const { return m_visible; }
    // Turning visible hands the workbooks to the presenter; when that fails the application
    // stays hidden and the failure goes to the caller.
    void setVisible(bool on);
    bool DisplayFullScreen() const { return m_fullScreen; }
    void setDisplayFullScreen(bool on);
    // The selection of the active sheet.
    xl::Range Selection();
    // Closes every workbook without saving and ends the application.
    void Quit();

    // Read side.
    bool hasQuit() const { return m_quit; }
    const std::vector<std::shared_ptr<Workbook>>& workbooks() const { return m_books; }

private:
    friend class WorkbookList;
    friend class Workbook;
    friend class xl::Worksheet;

    void requireLive() const;
    void activate(const std::shared_ptr<Workbook>& book) { m_activeBook = book; }
    void forget(Workbook* book);

    Presenter m_presenter;
    std::vector<std::shared_ptr<Workbook>> m_books;
    std::weak_ptr<Workbook> m_activeBook;
    int m_bookCounter = 0;
    int m_sheetsInNewWorkbook = 3;
    bool m_displayAlerts = true;
    bool m_visible = false;
    bool m_fullScreen = false;
    bool m_quit = false;
};

} // namespace kvor::xl
