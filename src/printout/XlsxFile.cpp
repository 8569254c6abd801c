#include "printout/XlsxFile.h"

#include "core/Messages.h"
#include "core/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <xlsxwriter.h>

namespace kvor::xl {

namespace {

inline constexpr double kPointsPerInch = 72;

[[noreturn]] void notWritten(const QString& reason)
{
    throw XlError(kErrFileAccess, msg::kXlFileNotWritten + reason);
}

uint8_t borderStyle(int lineStyle)
{
    switch (lineStyle) {
    case xlContinuous:
        return LXW_BORDER_THIN;
    case xlDash:
        return LXW_BORDER_DASHED;
    case xlDot:
        return LXW_BORDER_DOTTED;
    case xlDouble:
        return LXW_BORDER_DOUBLE;
    default:
        return LXW_BORDER_NONE;
    }
}

// The writer's formats, one per distinct cell format.
class FormatTable final
{
public:
    explicit FormatTable(lxw_workbook* wb) : m_wb(wb) {}

    // Every cell gets a format of its own, since the file's default font is not the
    // spreadsheet's.
    lxw_format* get(const CellFormat& f)
    {
        auto it = m_formats.find(f);
        if (it != m_formats.end()) {
            return it->second;
        }
        lxw_format* fmt = workbook_add_format(m_wb);
        format_set_font_name(fmt, kDefaultFontName);
        format_set_font_size(fmt, f.Size);
        if (f.NumberFormat != CellFormat().NumberFormat) {
            format_set_num_format(fmt, f.NumberFormat.toUtf8().constData());
        }
        if (f.Bold) {
            format_set_bold(fmt);
        }
        if (f.Underline) {
            format_set_underline(fmt, LXW_UNDERLINE_SINGLE);
        }
        switch (f.HorizontalAlignment) {
        case xlLeft:
            format_set_align(fmt, LXW_ALIGN_LEFT);
            break;
        case xlCenter:
            format_set_align(fmt, LXW_ALIGN_CENTER);
            break;
        case xlRight:
            format_set_align(fmt, LXW_ALIGN_RIGHT);
            break;
        default:
            break;
        }
        switch (f.VerticalAlignment) {
        case xlTop:
            format_set_align(fmt, LXW_ALIGN_VERTICAL_TOP);
            break;
        case xlCenter:
            format_set_align(fmt, LXW_ALIGN_VERTICAL_CENTER);
            break;
        default:
            break;
        }
        if (f.WrapText) {
            format_set_text_wrap(fmt);
        }
        format_set_left(fmt, borderStyle(f.Border[kEdgeLeft]));
        format_set_top(fmt, borderStyle(f.Border[kEdgeTop]));
        format_set_bottom(fmt, borderStyle(f.Border[kEdgeBottom]));
        format_set_right(fmt, borderStyle(f.Border[kEdgeRight]));
        if (f.Fill != kNoFill) {
            format_set_pattern(fmt, LXW_PATTERN_SOLID);
            // The writer reads 0 as "no colour"; black has a value of its own.
            format_set_bg_color(fmt,
                                f.Fill == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(f.Fill));
        }
        m_formats.emplace(f, fmt);
        return fmt;
    }

private:
    lxw_workbook* m_wb;
    std::map<CellFormat, lxw_format*> m_formats;
};

void writeValue(lxw_worksheet* ws, int row, int col, const QVariant& value, lxw_format* fmt)
{
    const lxw_row_t r = lxw_row_t(row - 1);
    const lxw_col_t c = lxw_col_t(col - 1);
    if (value.typeId() == QMetaType::Double) {
        worksheet_write_number(ws, r, c, value.toDouble(), fmt);
    } else if (value.isValid()) {
        worksheet_write_string(ws, r, c, value.toString().toUtf8().constData(), fmt);
    } else {
        worksheet_write_blank(ws, r, c, fmt);
    }
}

void writeSheet(lxw_worksheet* ws, const Worksheet& sheet, FormatTable& formats)
{
    static const CellFormat kDefault;
    for (const auto& [pos, cell] : sheet.cells()) {
        if (!sheet.mergeAt(pos.first, pos.second)) {
            writeValue(ws, pos.first, pos.second, cell.Value, formats.get(cell.Format));
        }
    }
    for (const Area& a : sheet.merges()) {
        const Cell* first = sheet.cell(a.top, a.left);
        lxw_format* firstFormat = formats.get(first ? first->Format : kDefault);
        const QVariant firstValue = first ? first->Value : QVariant();
        const QByteArray text =
            firstValue.typeId() == QMetaType::QString ? firstValue.toString().toUtf8() : "";
        worksheet_merge_range(ws, lxw_row_t(a.top - 1), lxw_col_t(a.left - 1),
                              lxw_row_t(a.bottom - 1), lxw_col_t(a.right - 1), text.constData(),
                              firstFormat);
        if (firstValue.typeId() == QMetaType::Double) {
            writeValue(ws, a.top, a.left, firstValue, firstFormat);
        }
        // The merge gives every cell the first cell's format; each keeps its own (borders).
        for (int r = a.top; r <= a.bottom; ++r) {
            for (int c = a.left; c <= a.right; ++c) {
                if (r != a.top || c != a.left) {
                    const Cell* other = sheet.cell(r, c);
                    worksheet_write_blank(ws, lxw_row_t(r - 1), lxw_col_t(c - 1),
                                          formats.get(other ? other->Format : kDefault));
                }
            }
        }
    }
    worksheet_set_default_row(ws, kDefaultRowHeight, LXW_FALSE);
    for (const auto& [row, height] : sheet.rowHeights()) {
        worksheet_set_row(ws, lxw_row_t(row - 1), height, nullptr);
    }
    for (const auto& [col, width] : sheet.columnWidths()) {
        worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);
    }
    const PageSetup& page = sheet.pageSetup();
    worksheet_set_paper(ws, uint8_t(page.PaperSize()));
    if (page.Orientation() == xlLandscape) {
        worksheet_set_landscape(ws);
    }
    worksheet_set_print_scale(ws, uint16_t(page.Zoom()));
    worksheet_set_margins(ws, page.LeftMargin() / kPointsPerInch,
                          page.RightMargin() / kPointsPerInch, page.TopMargin() / kPointsPerInch,
                          page.BottomMargin() / kPointsPerInch);
    const Area sel = sheet.selection();
    worksheet_set_selection(ws, lxw_row_t(sel.top - 1), lxw_col_t(sel.left - 1),
                            lxw_row_t(sel.bottom - 1), lxw_col_t(sel.right - 1));
}

} // namespace

void WriteXlsx(const Workbook& book, const QString& path)
{
    // The writer makes its file in a folder of its own; the finished bytes then replace the
    // target in one step.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/kvor-XXXXXX"));
    if (!scratch.isValid()) {
        notWritten(scratch.errorString());
    }
    const QByteArray scratchDir = QFile::encodeName(scratch.path());
    const QString scratchFile = scratch.filePath(QStringLiteral("book.xlsx"));
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(scratchDir.constData());
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(scratchFile).constData(), &options);
    if (!wb) {
        notWritten(QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED)));
    }

    const QByteArray author = book.property(QStringLiteral("Author")).toUtf8();
    lxw_doc_properties properties{};
    if (!author.isEmpty()) {
        properties.author = const_cast<char*>(author.constData());
    }
    workbook_set_properties(wb, &properties);

    FormatTable formats(wb);
    const auto active = book.activeSheet();
    for (const auto& sheet : book.sheets()) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet->Name().toUtf8().constData());
        if (!ws) {
            workbook_close(wb);
            notWritten(sheet->Name());
        }
        writeSheet(ws, *sheet, formats);
        if (sheet == active) {
            worksheet_activate(ws);
        }
    }
    const lxw_error closed = workbook_close(wb);
    if (closed != LXW_NO_ERROR) {
        notWritten(QString::fromUtf8(lxw_strerror(closed)));
    }

    QFile written(scratchFile);
    if (!written.open(QIODevice::ReadOnly)) {
        notWritten(written.errorString());
    }
    const QByteArray bytes = written.readAll();
    QString reason;
    if (!WriteFileAtomically(path, bytes, &reason)) {
        notWritten(reason);
    }
}

QString WriteXlsxToTemp(const Workbook& book)
{
    const QDir temp(QDir::tempPath());
    const QString stem = QStringLiteral("KVOR_") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = temp.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = temp.filePath(stem + u'_' + QString::number(n) + QStringLiteral(".xlsx"));
    }
    WriteXlsx(book, path);
    return path;
}

} // namespace kvor::xl
