#include "core/ReportModel.h"

#include "core/ReportFormat.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace kvor {

namespace {

using Kind = ReportFigures::Kind;

// The stored attribute of each figure, by kind.
constexpr std::array<const char*, ReportFigures::kKinds> kFigureAttributes = {
    xmlname::kOpening, xmlname::kAdded, xmlname::kSubtracted};

// The figure a grid column shows; none for the other columns.
std::optional<Kind> KindOf(int col)
{
    switch (col) {
    case grid::kOpening:
        return ReportFigures::kOpening;
    case grid::kAdded:
        return ReportFigures::kAdded;
    case grid::kSubtracted:
        return ReportFigures::kSubtracted;
    default:
        return std::nullopt;
    }
}

// Amounts on every second row carry one leading blank, so that the same figure on two consecutive
// rows of the printout is never merged into one cell.
QString WithRowBlank(const QString& text, int n)
{
    return n % 2 == 1 ? u' ' + text : text;
}

QString WithoutLeadingBlanks(const QString& text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == u' ') {
        ++blanks;
    }
    return text.mid(blanks);
}

bool IsReportRoot(XmlNode root)
{
    return root && std::strcmp(root.name(), xmlname::kReportRoot) == 0;
}

// The stored rows of a report document, in document order; none without its rows' element.
std::vector<XmlNode> StoredRows(const DomDocument& document)
{
    const XmlNode root = document.documentElement();
    return IsReportRoot(root) && root.child(xmlname::kRows)
               ? ElementsNamed(document.node(), xmlname::kRow)
               : std::vector<XmlNode>{};
}

void Write(XmlNode row, const char* name, const QString& text)
{
    pugi::xml_attribute a = row.attribute(name);
    (a ? a : row.append_attribute(name)).set_value(text.toUtf8().constData());
}

} // namespace

ReportModel::ReportModel(const DomDocument& structure, const DomDocument& document)
    : m_structure(structure), m_form(structure), m_figures(m_form.rowCount()),
      m_codes(size_t(m_form.rowCount()), -1)
{
    const std::vector<XmlNode> stored = StoredRows(document);
    const auto& columns = m_form.storedColumns();
    for (int n = 0; n < rowCount(); ++n) {
        if (size_t(n) >= stored.size()) {
            // A row the report lacks: what a new report would hold, written on the next save.
            m_codes[size_t(n)] = m_form.codesFor(id(n).toUtf8().constData());
            for (int k = 0; k < ReportFigures::kKinds; ++k) {
                const bool carried = std::find(columns.begin(), columns.end(),
                                               kFigureAttributes[size_t(k)]) != columns.end();
                m_figures.setRead(n, Kind(k), carried ? QStringLiteral("0") : QString(), false);
            }
            continue;
        }
        const XmlNode row = stored[size_t(n)];
        for (int k = 0; k < ReportFigures::kKinds; ++k) {
            const pugi::xml_attribute a = row.attribute(kFigureAttributes[size_t(k)]);
            // Blanks in front are not kept in the file: such a text is written again.
            m_figures.setRead(n, Kind(k), QString::fromUtf8(a.value()), a && *a.value() != ' ');
        }
        m_codes[size_t(n)] = m_form.codesFor(row.attribute(xmlname::kRowId).value());
    }
}

bool ReportModel::isEditable(int n, int col) const
{
    return n >= 0 && n < rowCount() && KindOf(col) && !isRestricted(n);
}

QString ReportModel::text(int n, int col) const
{
    const int codes = m_codes[size_t(n)];
    switch (col) {
    case grid::kCaption:
        return caption(n);
    case grid::kCodeAdded:
        return codes < 0 ? QString() : m_form.codeTexts(codes).added;
    case grid::kCodeSubtracted:
        return codes < 0 ? QString() : m_form.codeTexts(codes).subtracted;
    case grid::kClosing:
        return WithRowBlank(m_figures.closingText(n), n);
    default: {
        const auto kind = KindOf(col);
        return kind ? WithRowBlank(m_figures.text(n, *kind), n) : QString();
    }
    }
}

Money ReportModel::amount(int n, int col) const
{
    if (col == grid::kClosing) {
        return m_figures.closing(n).value_or(Money());
    }
    const auto kind = KindOf(col);
    return kind ? m_figures.amount(n, *kind) : Money();
}

std::optional<Money> ReportModel::shownAmount(int n, int col) const
{
    if (col == grid::kClosing) {
        return m_figures.closing(n);
    }
    const auto kind = KindOf(col);
    return kind ? m_figures.shownAmount(n, *kind) : std::nullopt;
}

ReportModel::Entry ReportModel::enter(int n, int col, const QString& typed,
                                      std::vector<int>* touched)
{
    if (!isEditable(n, col)) {
        return Entry::Accepted;
    }
    Money value;
    if (!typed.trimmed().isEmpty()) {
        bool outOfRange = false;
        const std::optional<Money> parsed = Money::parse(typed, &outOfRange);
        if (!parsed) {
            return outOfRange ? Entry::TooLarge : Entry::NotANumber;
        }
        value = *parsed;
    }
    return m_figures.enter(n, *KindOf(col), value, m_form.totalsOf(n), touched);
}

Status ReportModel::store(DomDocument& document)
{
    const XmlNode root = document.documentElement();
    if (!IsReportRoot(root)) {
        return Failure::of(Failure::Kind::NotAReport, {},
                           QStringLiteral("Файлът не е справка: няма елемент „positions“."));
    }
    if (!*root.attribute(xmlname::kReportPeriod).value()) {
        return Failure::of(Failure::Kind::NotAReport, {},
                           QStringLiteral("Във файла на справката липсва периодът."));
    }
    std::vector<XmlNode> rows = StoredRows(document);
    if (rows.size() < size_t(rowCount())) {
        if (Status added = addMissingRows(document, rows); !added) {
            return added;
        }
    }
    for (int n = 0; n < rowCount(); ++n) {
        for (int k = 0; k < ReportFigures::kKinds; ++k) {
            if (!m_figures.isHeld(n, Kind(k))) {
                const QString text = WithoutLeadingBlanks(m_figures.text(n, Kind(k)));
                Write(rows[size_t(n)], kFigureAttributes[size_t(k)], text);
                m_figures.setHeld(n, Kind(k), text);
            }
        }
        if (!m_figures.isClosingHeld(n)) {
            Write(rows[size_t(n)], xmlname::kClosing, m_figures.closingText(n));
            m_figures.setClosingHeld(n);
        }
        m_figures.takeOpeningAsReference(n);
    }
    return {};
}

Status ReportModel::addMissingRows(DomDocument& document, std::vector<XmlNode>& rows) const
{
    const std::vector<XmlNode> formRows = FormRows(m_structure);
    if (formRows.size() != size_t(rowCount())) {
        return Failure::of(Failure::Kind::Invalid, {},
                           QStringLiteral("Структурата на справката е променена."));
    }
    XmlNode root = document.documentElement();
    XmlNode list = root.child(xmlname::kRows);
    if (!list) {
        // As a new report carries it: the form's list element with its attributes.
        list = root.append_child(xmlname::kRows);
        for (const pugi::xml_attribute a :
             m_structure.documentElement().child(xmlname::kRows).attributes()) {
            list.append_attribute(a.name()).set_value(a.value());
        }
    }
    // A row goes under its enclosing row when that one is added too, so that the document order
    // stays the form's; otherwise after every stored row.
    std::unordered_map<pugi::xml_node_struct*, size_t> added;
    const size_t first = rows.size();
    for (size_t n = first; n < formRows.size(); ++n) {
        const auto parent = added.find(formRows[n].parent().internal_object());
        XmlNode row =
            (parent == added.end() ? list : rows[parent->second]).append_child(xmlname::kRow);
        for (const pugi::xml_attribute a : formRows[n].attributes()) {
            if (std::strcmp(a.name(), xmlname::kRowCaption) != 0) {
                Write(row, a.name(), QString::fromUtf8(a.value()));
            }
        }
        for (const std::string& column : m_form.storedColumns()) {
            Write(row, column.c_str(), QStringLiteral("0"));
        }
        added.emplace(formRows[n].internal_object(), n);
        rows.push_back(row);
    }
    return {};
}

} // namespace kvor
