#include "printout/XlModel.h"

#include "core/Messages.h"

#include <algorithm>

namespace kvor::xl {

namespace {

std::shared_ptr<Application> g_running;

[[noreturn]] void refuse(long number, const QString& description)
{
    throw XlError(number, description);
}

[[noreturn]] void refuseGone()
{
    refuse(kErrDisconnected, msg::kXlDisconnected);
}

} // namespace

// ---- VariantArray

void VariantArray::Redim(int upper1)
{
    m_dims = 1;
    m_upper1 = upper1;
    m_upper2 = 0;
    m_items.assign(size_t(std::max(upper1 + 1, 0)), QVariant());
}

void VariantArray::Redim(int upper1, int upper2)
{
    m_dims = 2;
    m_upper1 = upper1;
    m_upper2 = upper2;
    m_items.assign(size_t(std::max(upper1 + 1, 0)) * size_t(std::max(upper2 + 1, 0)), QVariant());
}

int VariantArray::UBound(int dimension) const
{
    if (dimension < 1 || dimension > m_dims) {
        refuse(kErrSubscript, msg::kXlSubscript);
    }
    return dimension == 1 ? m_upper1 : m_upper2;
}

QVariant& VariantArray::operator()(int i, int j)
{
    if (i < 0 || i > m_upper1 || j < 0 || j > m_upper2 || (m_dims == 1 && j != 0)) {
        refuse(kErrSubscript, msg::kXlSubscript);
    }
    return m_items[size_t(i) * size_t(m_upper2 + 1) + size_t(j)];
}

QVariant VariantArray::at(int i, int j) const
{
    if (i < 0 || i > m_upper1 || j < 0 || j > m_upper2) {
        return {};
    }
    return m_items[size_t(i) * size_t(m_upper2 + 1) + size_t(j)];
}

// ---- PageSetup

void PageSetup::setOrientation(int orientation)
{
    if (orientation != xlPortrait && orientation != xlLandscape) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    m_orientation = orientation;
}

void PageSetup::setZoom(int percent)
{
    if (percent < 10 || percent > 400) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    m_zoom = percent;
}

void PageSetup::setRightMargin(double points)
{
    if (points < 0) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    m_right = points;
}

// ---- Worksheet

bool Worksheet::isLive() const
{
    return m_book && m_book->isLive();
}

void Worksheet::Activate()
{
    if (!isLive()) {
        refuseGone();
    }
    m_book->m_active = weak_from_this();
    for (const auto& b : m_book->m_app->m_books) {
        if (b.get() == m_book) {
            m_book->m_app->activate(b);
        }
    }
}

void Worksheet::Delete()
{
    if (!isLive()) {
        refuseGone();
    }
    auto& sheets = m_book->m_sheets;
    if (sheets.size() < 2) {
        refuse(kErrNoPrinter, msg::kXlLastSheet);
    }
    const auto self = shared_from_this();
    auto it = std::find(sheets.begin(), sheets.end(), self);
    const size_t index = size_t(it - sheets.begin());
    sheets.erase(it);
    if (m_book->m_active.lock() == self) {
        m_book->m_active = sheets[std::min(index, sheets.size() - 1)];
    }
    m_book = nullptr;
}

xl::Range Worksheet::Cells(int row, int col)
{
    if (!isLive()) {
        refuseGone();
    }
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns) {
        refuse(kErrNoPrinter, msg::kXlCellOutside);
    }
    return xl::Range(shared_from_this(), Area{row, col, row, col});
}

xl::Range Worksheet::Range(const xl::Range& from, const xl::Range& to)
{
    if (!isLive()) {
        refuseGone();
    }
    if (from.sheet().get() != this || to.sheet().get() != this) {
        refuse(kErrNoPrinter, msg::kXlOtherSheet);
    }
    const Area a = from.area();
    const Area b = to.area();
    return xl::Range(shared_from_this(),
                     Area{std::min(a.top, b.top), std::min(a.left, b.left),
                          std::max(a.bottom, b.bottom), std::max(a.right, b.right)});
}

xl::PageSetup& Worksheet::PageSetup()
{
    if (!isLive()) {
        refuseGone();
    }
    return m_pageSetup;
}

const Cell* Worksheet::cell(int row, int col) const
{
    const auto it = m_cells.find({row, col});
    return it == m_cells.end() ? nullptr : &it->second;
}

const Area* Worksheet::mergeAt(int row, int col) const
{
    for (const Area& a : m_merges) {
        if (a.contains(row, col)) {
            return &a;
        }
    }
    return nullptr;
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rowHeights.find(row);
    return it == m_rowHeights.end() ? kDefaultRowHeight : it->second;
}

double Worksheet::columnWidth(int col) const
{
    const auto it = m_colWidths.find(col);
    return it == m_colWidths.end() ? kDefaultColumnWidth : it->second;
}

// ---- Workbook

Workbook::~Workbook()
{
    detach();
}

void Workbook::detach()
{
    for (const auto& s : m_sheets) {
        s->m_book = nullptr;
    }
    m_app = nullptr;
}

bool Workbook::isLive() const
{
    return m_app && !m_app->m_quit;
}

void Workbook::requireLive() const
{
    if (!isLive()) {
        refuseGone();
    }
}

QString Workbook::DocumentProperty::Value() const
{
    m_book->requireLive();
    return m_book->property(m_name);
}

void Workbook::DocumentProperty::setValue(const QString& value)
{
    m_book->requireLive();
    m_book->m_properties[m_name.toLower()] = value;
}

QString Workbook::property(const QString& name) const
{
    const auto it = m_properties.find(name.toLower());
    return it == m_properties.end() ? QString() : it->second;
}

std::shared_ptr<xl::Worksheet> Workbook::Worksheets(int index)
{
    requireLive();
    if (index < 1 || index > int(m_sheets.size())) {
        refuse(kErrSubscript, msg::kXlSubscript);
    }
    return m_sheets[size_t(index - 1)];
}

WorksheetList Workbook::Worksheets()
{
    requireLive();
    return WorksheetList(this);
}

std::shared_ptr<xl::Worksheet> Workbook::ActiveSheet()
{
    requireLive();
    return m_active.lock();
}

std::shared_ptr<xl::Worksheet> Workbook::newSheet()
{
    return std::make_shared<xl::Worksheet>(this, msg::kExcelSheetPrefix +
                                                     QString::number(++m_sheetCounter));
}

void Workbook::Close(bool saveChanges)
{
    requireLive();
    if (saveChanges) {
        refuse(kErrNoPrinter, msg::kXlNoFileToSave);
    }
    Application* app = m_app;
    detach();
    app->forget(this);
}

int WorksheetList::Count() const
{
    m_book->requireLive();
    return int(m_book->m_sheets.size());
}

std::shared_ptr<Worksheet> WorksheetList::Add()
{
    m_book->requireLive();
    auto sheet = m_book->newSheet();
    auto& sheets = m_book->m_sheets;
    auto at = std::find(sheets.begin(), sheets.end(), m_book->m_active.lock());
    sheets.insert(at, sheet);
    m_book->m_active = sheet;
    return sheet;
}

// ---- Application

Application::~Application()
{
    for (const auto& b : m_books) {
        b->detach();
    }
}

std::shared_ptr<Application> Application::GetActive()
{
    if (!g_running) {
        refuse(kErrCannotCreate, msg::kXlNotRunning);
    }
    return g_running;
}

std::shared_ptr<Application> Application::Create(Presenter presenter)
{
    auto app = std::make_shared<Application>(std::move(presenter));
    if (!g_running) {
        g_running = app;
    }
    return app;
}

void Application::requireLive() const
{
    if (m_quit) {
        refuseGone();
    }
}

void Application::forget(Workbook* book)
{
    const bool wasActive = m_activeBook.lock().get() == book;
    std::erase_if(m_books, [book](const auto& b) { return b.get() == book; });
    if (wasActive) {
        m_activeBook.reset();
        if (!m_books.empty()) {
            m_activeBook = m_books.back();
        }
    }
}

WorkbookList Application::Workbooks()
{
    requireLive();
    return WorkbookList(this);
}

std::shared_ptr<Workbook> Application::ActiveWorkbook()
{
    requireLive();
    return m_activeBook.lock();
}

void Application::setSheetsInNewWorkbook(int count)
{
    requireLive();
    if (count < 1 || count > 255) {
        refuse(kErrNoPrinter, msg::kXlBadValue);
    }
    m_sheetsInNewWorkbook = count;
}

void Application::setDisplayAlerts(bool on)
{
    requireLive();
    m_displayAlerts = on;
}

void Application::setVisible(bool on)
{
    requireLive();
    if (on && !m_visible && m_presenter) {
        m_presenter(*this);
    }
    m_visible = on;
}

void Application::setDisplayFullScreen(bool on)
{
    requireLive();
    m_fullScreen = on;
}

xl::Range Application::Selection()
{
    requireLive();
    const auto book = ActiveWorkbook();
    const auto sheet = book ? book->ActiveSheet() : nullptr;
    if (!sheet) {
        refuse(kErrObjectNotSet, msg::kXlObjectNotSet);
    }
    return xl::Range(sheet, sheet->selection());
}

void Application::Quit()
{
    requireLive();
    for (const auto& b : m_books) {
        b->detach();
    }
    m_books.clear();
    m_quit = true;
    if (g_running.get() == this) {
        g_running.reset();
    }
}

int WorkbookList::Count() const
{
    m_app->requireLive();
    return int(m_app->m_books.size());
}

std::shared_ptr<Workbook> WorkbookList::Add()
{
    m_app->requireLive();
    auto book = std::make_shared<Workbook>(m_app, msg::kExcelBookPrefix +
                                                      QString::number(++m_app->m_bookCounter));
    for (int i = 0; i < m_app->m_sheetsInNewWorkbook; ++i) {
        book->m_sheets.push_back(book->newSheet());
    }
    book->m_active = book->m_sheets.front();
    m_app->m_books.push_back(book);
    m_app->activate(book);
    return book;
}

} // namespace kvor::xl
