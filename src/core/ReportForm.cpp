#include "core/ReportForm.h"

#include "core/ReportFormat.h"

#include <QByteArrayView>
#include <QHash>
#include <cstring>
#include <limits>

namespace kvor {

namespace {

QString Attribute(XmlNode node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

constexpr int kLowestRowId = std::numeric_limits<qint16>::min();
constexpr int kRowIds = std::numeric_limits<quint16>::max() + 1;

// The slot of a 16-bit row id, -1 for a text that is none. `plain` asks for the id's plain
// decimal form as well ("7", not "07" or " 7"), as code texts are matched by it.
int RowIdSlot(const char* text, bool plain)
{
    bool ok = false;
    const int id = QByteArrayView(text).toInt(&ok);
    if (!ok || id < kLowestRowId || id > std::numeric_limits<qint16>::max() ||
        (plain && std::to_string(id) != text)) {
        return -1;
    }
    return id - kLowestRowId;
}

} // namespace

bool IsHighlightedId(const QString& id)
{
    return id == u"2" || id == u"3" || id == u"4";
}

std::vector<XmlNode> ElementsNamed(XmlNode document, const char* name)
{
    std::vector<XmlNode> out;
    XmlNode node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0) {
            out.push_back(node);
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != document) {
            node = node.parent();
        }
        if (!node || node == document) {
            break;
        }
        node = node.next_sibling();
    }
    return out;
}

std::vector<XmlNode> FormRows(const DomDocument& structure)
{
    const XmlNode form = structure.documentElement().child(xmlname::kRows);
    const bool isForm = std::strcmp(structure.documentElement().name(), xmlname::kFormRoot) == 0;
    return isForm && form ? ElementsNamed(structure.node(), xmlname::kRow) : std::vector<XmlNode>{};
}

ReportForm::ReportForm(const DomDocument& structure)
{
    readRows(FormRows(structure));
    readCodes(structure);
    readHeadings(structure);
    const QString columns =
        QStringLiteral("%1/%2//%3").arg(xmlname::kFormRoot, xmlname::kColumns, xmlname::kColumn);
    for (const XmlNode column : selectNodes(structure, columns)) {
        if (std::strcmp(column.attribute(xmlname::kColumnProtected).value(), "1") == 0) {
            m_storedColumns.push_back(std::string(xmlname::kColumnPrefix) +
                                      column.attribute(xmlname::kColumnId).value());
        }
    }
}

void ReportForm::readRows(const std::vector<XmlNode>& rows)
{
    m_rows.resize(rows.size());
    QHash<QString, int> firstById;
    firstById.reserve(static_cast<qsizetype>(rows.size()));
    for (size_t n = 0; n < rows.size(); ++n) {
        Row& row = m_rows[n];
        row.id = Attribute(rows[n], xmlname::kRowId);
        row.caption = Attribute(rows[n], xmlname::kRowCaption);
        row.restricted = std::strcmp(rows[n].attribute(xmlname::kRowRestricted).value(), "1") == 0;
        if (!firstById.contains(row.id)) {
            firstById.insert(row.id, static_cast<int>(n));
        }
    }
    // The totals graph, once: an entry then walks a short list of rows.
    for (size_t n = 0; n < rows.size(); ++n) {
        const char* sumid = rows[n].attribute(xmlname::kRowTotals).value();
        if (*sumid == '\0') {
            continue;
        }
        const QString text = QString::fromUtf8(sumid);
        for (const QStringView part : QStringView(text).split(QChar(xmlname::kTotalsSeparator))) {
            const auto it = firstById.constFind(part.toString());
            if (!part.isEmpty() && it != firstById.constEnd()) {
                m_rows[n].totals.push_back(*it);
            }
        }
    }
}

void ReportForm::readCodes(const DomDocument& structure)
{
    // The first code of a row for each column counts, in document order.
    struct Found
    {
        bool added = false;
        bool subtracted = false;
    };
    std::vector<Found> found;
    const XmlNode root = structure.documentElement();
    const bool isForm = std::strcmp(root.name(), xmlname::kFormRoot) == 0;
    std::vector<XmlNode> all;
    for (XmlNode codes = isForm ? root.child(xmlname::kCodes) : XmlNode(); codes;
         codes = codes.next_sibling(xmlname::kCodes)) {
        for (XmlNode code = codes.child(xmlname::kCode); code;
             code = code.next_sibling(xmlname::kCode)) {
            all.push_back(code);
        }
    }
    m_codesByRow.assign(all.empty() ? 0 : kRowIds, -1);
    for (const XmlNode code : all) {
        // Only a row id in its plain decimal form is ever looked up.
        const int slot = RowIdSlot(code.attribute(xmlname::kCodeRow).value(), true);
        if (slot < 0) {
            continue;
        }
        if (m_codesByRow[size_t(slot)] < 0) {
            m_codesByRow[size_t(slot)] = static_cast<int>(m_codes.size());
            m_codes.emplace_back();
            found.emplace_back();
        }
        const int index = m_codesByRow[size_t(slot)];
        CodeTexts& texts = m_codes[size_t(index)];
        Found& seen = found[size_t(index)];
        const char* column = code.attribute(xmlname::kCodeColumn).value();
        if (std::strcmp(column, xmlname::kCodeColumnAdded) == 0 && !seen.added) {
            seen.added = true;
            texts.added = Attribute(code, xmlname::kCodeText);
        } else if (std::strcmp(column, xmlname::kCodeColumnSubtracted) == 0 && !seen.subtracted) {
            seen.subtracted = true;
            texts.subtracted = Attribute(code, xmlname::kCodeText);
        }
    }
}

int ReportForm::codesFor(const char* storedId) const
{
    // The stored id is a 16-bit number; a row whose id is none has no code texts.
    const int slot = m_codes.empty() ? -1 : RowIdSlot(storedId, false);
    return slot < 0 ? -1 : m_codesByRow[size_t(slot)];
}

void ReportForm::readHeadings(const DomDocument& structure)
{
    using namespace xmlname;
    const QString caption = QString::fromLatin1(kColumnCaption);
    const QString rows = GetAttribute(
        selectSingleNode(structure, QStringLiteral("%1/%2").arg(kFormRoot, kRows)), caption);
    // Columns 1 to 4 are the groups' own level; 5 to 8 may stand below a group.
    auto column = [&](int id) {
        const QString expr = QStringLiteral("%1/%2%3%4[@%5='%6']")
                                 .arg(kFormRoot, kColumns, id > 4 ? "//" : "/", kColumn, kColumnId)
                                 .arg(id);
        return GetAttribute(selectSingleNode(structure, expr), caption);
    };
    const QString c1 = column(1);
    const QString c2 = column(2);
    const QString c3 = column(3);
    const QString c4 = column(4);
    const QString c5 = column(5);
    const QString c6 = column(6);
    const QString c7 = column(7);
    const QString c8 = column(8);
    // A group heading stands over both of its columns and a single heading on both levels, so
    // that equal neighbours read as one cell.
    m_headings[grid::kGroupHeadingRow] = {rows, c1, c2, c2, c3, c3, c4};
    m_headings[grid::kTallHeadingRow] = {rows, c1, c5, c6, c7, c8, c4};
    for (int c = 0; c < grid::kCols; ++c) {
        m_headings[grid::kNumberHeadingRow][size_t(c)] = QString::number(c + 1);
    }
}

} // namespace kvor
