#include "core/ReportForm.h"

namespace kvor {

bool IsHighlightedId(const QString& id)
{
    return id == u"2" || id == u"3" || id == u"4";
}

ReportForm::ReportForm(const DomDocument& structure) : m_structure(structure)
{
    const XmlNode structureNode =
        selectSingleNode(structure, QStringLiteral("nomenclatures/structure"));
    if (structureNode) {
        const auto rows = selectNodes(structureNode, QStringLiteral("//str"));
        m_rows.reserve(rows.size());
        for (const XmlNode s : rows) {
            Row r;
            r.id = GetAttribute(s, QStringLiteral("id"));
            r.caption = GetAttribute(s, QStringLiteral("name"));
            r.sumid = GetAttribute(s, QStringLiteral("sumid"));
            r.restricted = GetAttribute(s, QStringLiteral("restricted")) == u"1";
            if (!m_firstById.contains(r.id)) {
                m_firstById.insert(r.id, static_cast<int>(m_rows.size()));
            }
            m_rows.push_back(std::move(r));
        }
    }

    auto colName = [&](const char* expr) {
        return GetAttribute(selectSingleNode(structure, QString::fromLatin1(expr)),
                            QStringLiteral("name"));
    };
    const QString rowName = GetAttribute(structureNode, QStringLiteral("name"));
    const QString c1 = colName("nomenclatures/columns/col[@id='1']");
    const QString c2 = colName("nomenclatures/columns/col[@id='2']");
    const QString c3 = colName("nomenclatures/columns/col[@id='3']");
    const QString c4 = colName("nomenclatures/columns/col[@id='4']");
    const QString c5 = colName("nomenclatures/columns//col[@id='5']");
    const QString c6 = colName("nomenclatures/columns//col[@id='6']");
    const QString c7 = colName("nomenclatures/columns//col[@id='7']");
    const QString c8 = colName("nomenclatures/columns//col[@id='8']");
    // Group headings stand over both of their columns and single headings over both heading
    // rows, so that equal neighbours merge into one cell.
    m_headings[0] = {rowName, c1, c2, c2, c3, c3, c4};
    m_headings[1] = {rowName, c1, c5, c6, c7, c8, c4};
    for (int c = 0; c < grid::kCols; ++c) {
        m_headings[2][c] = QString::number(c + 1);
    }
}

const ReportForm::Row& ReportForm::row(int n) const
{
    static const Row none;
    return n >= 0 && n < rowCount() ? m_rows[static_cast<size_t>(n)] : none;
}

bool ReportForm::IsEditableCell(int gridRow, int col) const
{
    if (gridRow < grid::kHeadingRows || gridRow >= grid::kHeadingRows + rowCount()) {
        return false;
    }
    if (col != grid::kOpening && col != grid::kAdded && col != grid::kSubtracted) {
        return false;
    }
    return !IsRestrictedRow(gridRow);
}

int ReportForm::TotalGridRow(const QString& id) const
{
    const auto it = m_firstById.constFind(id);
    return it == m_firstById.constEnd() ? -1 : *it + grid::kHeadingRows;
}

std::pair<QString, QString> ReportForm::CodeTexts(int rowId) const
{
    const QString id = QString::number(rowId);
    const QString base = QStringLiteral("/nomenclatures/codes/code[@strid='") + id + u'\'';
    if (!selectSingleNode(m_structure, base + u']')) {
        return {};
    }
    return {GetAttribute(selectSingleNode(m_structure, base + QStringLiteral(" and @colid='5']")),
                         QStringLiteral("item")),
            GetAttribute(selectSingleNode(m_structure, base + QStringLiteral(" and @colid='7']")),
                         QStringLiteral("item"))};
}

} // namespace kvor
