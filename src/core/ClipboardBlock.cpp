#include "core/ClipboardBlock.h"

namespace kvor {

namespace {

// The lines of a block; one line end after the last line is no further line.
std::vector<QStringView> Lines(QStringView text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\n' && c != u'\r') {
            continue;
        }
        lines.push_back(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.mid(start));
    }
    return lines;
}

// Longer than any amount with its grouping blanks: no figure, and not worth reading.
constexpr qsizetype kMaxFigureChars = 64;

bool OnlyBlanks(QStringView s)
{
    return s.trimmed().isEmpty();
}

} // namespace

PastePlan PlanPaste(QStringView text, int row, int column, const PasteGrid& grid)
{
    using Kind = PasteRefusal::Kind;
    PastePlan plan;
    if (text.size() > kMaxClipboardChars) {
        plan.refusal = PasteRefusal{Kind::TooLarge};
        return plan;
    }
    const std::vector<QStringView> lines = Lines(text);
    bool anything = false;
    for (const QStringView line : lines) {
        anything = anything || !OnlyBlanks(line);
    }
    if (!anything) {
        plan.refusal = PasteRefusal{Kind::Empty};
        return plan;
    }
    for (size_t l = 0; l < lines.size(); ++l) {
        const int r = row + static_cast<int>(l);
        if (r >= grid.rows) {
            plan.refusal = PasteRefusal{Kind::PastTheGrid, r, column};
            return plan;
        }
        int c = column;
        for (const QStringView cell : lines[l].tokenize(u'\t')) {
            if (c >= grid.columns) {
                plan.refusal = PasteRefusal{Kind::PastTheGrid, r, c};
                return plan;
            }
            if (grid.editable(r, c)) {
                const std::optional<Money> amount = cell.size() > kMaxFigureChars ? std::nullopt
                                                    : OnlyBlanks(cell)
                                                        ? std::optional<Money>(Money())
                                                        : Money::parse(cell);
                if (!amount) {
                    plan.refusal = PasteRefusal{Kind::NotANumber, r, c};
                    return plan;
                }
                plan.figures.push_back({r, c, *amount});
            }
            ++c;
        }
    }
    return plan;
}

QString BlockText(const std::vector<std::vector<QString>>& cells)
{
    QString out;
    for (const auto& line : cells) {
        for (size_t c = 0; c < line.size(); ++c) {
            if (c > 0) {
                out += u'\t';
            }
            // A tab or line end inside a cell would split it.
            QString cell = line[c];
            cell.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
            out += cell;
        }
        out += u'\n';
    }
    return out;
}

QString BlockHtml(const std::vector<std::vector<QString>>& cells)
{
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>");
    for (const auto& line : cells) {
        out += QStringLiteral("<tr>");
        for (const QString& cell : line) {
            out += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        }
        out += QStringLiteral("</tr>");
    }
    out += QStringLiteral("</table></body></html>");
    return out;
}

} // namespace kvor
