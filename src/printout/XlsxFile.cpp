#include "printout/XlsxFile.h"

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "printout/PrintedForm.h"
#include "printout/ZipEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace kvor {

namespace {

inline constexpr char kStylesEntry[] = "xl/styles.xml";
inline constexpr char kAppEntry[] = "docProps/app.xml";
inline constexpr char kApplication[] = "KVOR";
// The default style's font as the writer puts it first in the font list, and as it becomes.
inline constexpr char kFontsStart[] = "<fonts ";
inline constexpr char kFontStart[] = "<font>";
inline constexpr char kFontEnd[] = "</font>";
inline constexpr char kNormalFont[] =
    "<font><sz val=\"10\"/><color theme=\"1\"/><name val=\"Arial\"/><family val=\"2\"/></font>";
inline constexpr char kApplicationStart[] = "<Application>";
inline constexpr char kApplicationEnd[] = "</Application>";

// The writer's sheet, with one format for each look of the form.
class XlsxSheet final : public FormSheet
{
public:
    XlsxSheet(lxw_workbook* book, lxw_worksheet* sheet) : m_sheet(sheet)
    {
        for (int i = 0; i < kLookCount; ++i) {
            m_formats[size_t(i)] = makeFormat(book, kLooks[size_t(i)]);
        }
    }

    void page(const PageLayout& p) override
    {
        worksheet_set_default_row(m_sheet, p.defaultRowHeight, LXW_FALSE);
        worksheet_set_paper(m_sheet, uint8_t(p.paperSize));
        if (p.landscape) {
            worksheet_set_landscape(m_sheet);
        }
        worksheet_set_print_scale(m_sheet, uint16_t(p.scale));
        worksheet_set_margins(m_sheet, p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin);
    }
    void columnWidth(int col, double characters) override
    {
        note(worksheet_set_column(m_sheet, lxw_col_t(col - 1), lxw_col_t(col - 1), characters,
                                  nullptr));
    }
    void rowHeight(int row, double points) override
    {
        note(worksheet_set_row(m_sheet, lxw_row_t(row - 1), points, nullptr));
    }
    void merge(int top, int left, int bottom, int right) override
    {
        note(worksheet_merge_range(m_sheet, lxw_row_t(top - 1), lxw_col_t(left - 1),
                                   lxw_row_t(bottom - 1), lxw_col_t(right - 1), "", nullptr));
    }
    void text(int row, int col, const QString& text, Look look) override
    {
        note(worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(col - 1),
                                    text.toUtf8().constData(), format(look)));
    }
    void number(int row, int col, double value, Look look) override
    {
        note(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(col - 1), value,
                                    format(look)));
    }
    void blank(int row, int col, Look look) override
    {
        note(worksheet_write_blank(m_sheet, lxw_row_t(row - 1), lxw_col_t(col - 1), format(look)));
    }

    // The first refusal of the writer; a cell it refused would be missing from the form.
    lxw_error error() const { return m_error; }

private:
    static lxw_format* makeFormat(lxw_workbook* book, const LookSpec& look)
    {
        lxw_format* f = workbook_add_format(book);
        format_set_font_name(f, kFormFont);
        format_set_font_size(f, look.size);
        if (look.amount) {
            format_set_num_format(f, kAmountFormat);
        }
        if (look.bold) {
            format_set_bold(f);
        }
        if (look.underline) {
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        }
        if (look.horizontal == HAlign::Center) {
            format_set_align(f, LXW_ALIGN_CENTER);
        } else if (look.horizontal == HAlign::Right) {
            format_set_align(f, LXW_ALIGN_RIGHT);
        }
        if (look.verticalCenter) {
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        }
        if (look.wrap) {
            format_set_text_wrap(f);
        }
        if (look.lines) {
            format_set_border(f, LXW_BORDER_THIN);
        }
        if (look.grey) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, kGreyBand);
        }
        return f;
    }
    lxw_format* format(Look look) const { return m_formats[size_t(look)]; }
    void note(lxw_error e)
    {
        if (m_error == LXW_NO_ERROR) {
            m_error = e;
        }
    }

    lxw_worksheet* m_sheet;
    std::array<lxw_format*, kLookCount> m_formats{};
    lxw_error m_error = LXW_NO_ERROR;
};

// Replaces the part of text from the first start marker (searched from `from` on) to its end
// marker; nullopt when either is missing.
std::optional<QByteArray> replaceBetween(QByteArray text, QByteArrayView start, QByteArrayView end,
                                         QByteArrayView by, bool keepMarkers, qsizetype from = 0)
{
    const qsizetype b = text.indexOf(start, from);
    const qsizetype e = b < 0 ? -1 : text.indexOf(end, b);
    if (e < 0) {
        return std::nullopt;
    }
    if (keepMarkers) {
        text.replace(b + start.size(), e - b - start.size(), by);
    } else {
        text.replace(b, e + end.size() - b, by);
    }
    return text;
}

QString writerError(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

} // namespace

std::optional<QByteArray> FinishXlsx(const QByteArray& written, QString* reason)
{
    std::map<QByteArray, ZipEntryEdit> edits;
    edits[kStylesEntry] = [](const QByteArray& styles) -> std::optional<QByteArray> {
        const qsizetype fonts = styles.indexOf(kFontsStart);
        if (fonts < 0) {
            return std::nullopt;
        }
        return replaceBetween(styles, kFontStart, kFontEnd, kNormalFont, false, fonts);
    };
    edits[kAppEntry] = [](const QByteArray& app) {
        return replaceBetween(app, kApplicationStart, kApplicationEnd, kApplication, true);
    };
    return EditZipEntries(written, edits, reason);
}

std::optional<QString> AddFormSheet(lxw_workbook* book, const QString& sheetName,
                                    const PrintoutInput& input)
{
    lxw_worksheet* ws = workbook_add_worksheet(book, sheetName.toUtf8().constData());
    if (!ws) {
        return sheetName;
    }
    XlsxSheet sheet(book, ws);
    WriteForm(input, sheet);
    worksheet_set_selection(ws, 0, 0, 0, 0);
    if (sheet.error() != LXW_NO_ERROR) {
        return writerError(sheet.error());
    }
    return std::nullopt;
}

std::optional<QString> WriteFormFile(const PrintoutInput& input, const QString& sheetName,
                                     const QString& path)
{
    return WriteXlsxFile(path,
                         [&](lxw_workbook* book) { return AddFormSheet(book, sheetName, input); });
}

std::optional<QString> WriteXlsxFile(const QString& path, const WorkbookFill& fill)
{
    // The writer makes its file and its own temporary files in a folder beside the target; the
    // finished bytes then replace the target in one step.
    QTemporaryDir scratch(QFileInfo(path).absolutePath() + QStringLiteral("/kvor-XXXXXX"));
    if (!scratch.isValid()) {
        return scratch.errorString();
    }
    const QByteArray scratchDir = QFile::encodeName(scratch.path());
    const QString scratchFile = scratch.filePath(QStringLiteral("form.xlsx"));
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(scratchDir.constData());
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(scratchFile).constData(), &options);
    if (!book) {
        return writerError(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    const QByteArray author = msg::kExcelAuthor.toUtf8();
    lxw_doc_properties properties{};
    properties.author = const_cast<char*>(author.constData());
    workbook_set_properties(book, &properties);

    const std::optional<QString> unfilled = fill(book);
    const lxw_error closed = workbook_close(book);
    if (unfilled) {
        return unfilled;
    }
    if (closed != LXW_NO_ERROR) {
        return writerError(closed);
    }

    QFile written(scratchFile);
    if (!written.open(QIODevice::ReadOnly)) {
        return written.errorString();
    }
    QString reason;
    const auto finished = FinishXlsx(written.readAll(), &reason);
    if (!finished) {
        return reason;
    }
    // The program's one writer: a temporary file beside the target takes its name only once
    // every byte is on disk, never through a link another user planted.
    if (!WriteFileAtomically(path, *finished, &reason)) {
        return reason;
    }
    return std::nullopt;
}

} // namespace kvor
