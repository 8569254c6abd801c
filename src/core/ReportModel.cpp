#include "core/ReportModel.h"

#include "core/Amount.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace kvor {

namespace {

constexpr std::array<int, 3> kFigureCols = {grid::kOpening, grid::kAdded, grid::kSubtracted};
constexpr std::array<const char*, 3> kFigureAttributes = {"col1", "col6", "col8"};
constexpr const char* kClosingAttribute = "col4";

QString Attribute(XmlNode node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

bool Representable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kLargestAmount;
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

// Every element of the document named `name`, in document order: what "//name" selects, without
// the node set an XPath query builds and sorts.
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

} // namespace

bool IsHighlightedId(const QString& id)
{
    return id == u"2" || id == u"3" || id == u"4";
}

ReportModel::ReportModel(const DomDocument& structure, const DomDocument& document)
{
    const XmlNode form = selectSingleNode(structure, QStringLiteral("nomenclatures/structure"));
    const std::vector<XmlNode> formRows =
        form ? ElementsNamed(structure.node(), "str") : std::vector<XmlNode>{};
    const XmlNode stored = selectSingleNode(document, QStringLiteral("positions/structure"));
    const std::vector<XmlNode> storedRows =
        stored ? ElementsNamed(document.node(), "str") : std::vector<XmlNode>{};
    const CodeIndex codesByRow = readCodes(structure);

    m_rows.resize(formRows.size());
    m_firstById.reserve(static_cast<qsizetype>(formRows.size()));
    for (size_t n = 0; n < formRows.size(); ++n) {
        Row& row = m_rows[n];
        row.id = Attribute(formRows[n], "id");
        row.caption = Attribute(formRows[n], "name");
        row.sumid = Attribute(formRows[n], "sumid");
        row.restricted = std::strcmp(formRows[n].attribute("restricted").value(), "1") == 0;

        // Figures are read as numbers when they are first needed: a large form opens at once.
        const XmlNode d = n < storedRows.size() ? storedRows[n] : XmlNode();
        for (int f = 0; f < kFigures; ++f) {
            const pugi::xml_attribute a = d.attribute(kFigureAttributes[size_t(f)]);
            // Blanks in front are not kept in the file: such a text is written again.
            row.figures[size_t(f)] = Figure(QString::fromUtf8(a.value()), a && *a.value() != ' ');
        }
        row.reference = row.figures[0];
        // The stored id is a 16-bit number; a row whose id is none has no code texts.
        bool ok = false;
        const int storedId = QByteArrayView(d.attribute("id").value()).toInt(&ok);
        if (ok && storedId >= std::numeric_limits<qint16>::min() &&
            storedId <= std::numeric_limits<qint16>::max()) {
            const std::string key = std::to_string(storedId);
            const auto it = codesByRow.find(key);
            row.codes = it == codesByRow.end() ? -1 : it->second;
        }
    }
    // Backwards, so that the first row with an id is the one kept.
    for (size_t n = m_rows.size(); n-- > 0;) {
        m_firstById.insert(m_rows[n].id, static_cast<int>(n));
    }
    readHeadings(structure);
}

ReportModel::CodeIndex ReportModel::readCodes(const DomDocument& structure)
{
    // The first code of a row for each column counts, in document order.
    struct Found
    {
        bool added = false;
        bool subtracted = false;
    };
    std::vector<Found> found;
    CodeIndex byRow;
    for (const XmlNode code : selectNodes(structure, QStringLiteral("/nomenclatures/codes/code"))) {
        const auto [it, fresh] =
            byRow.try_emplace(code.attribute("strid").value(), static_cast<int>(m_codes.size()));
        if (fresh) {
            m_codes.emplace_back();
            found.emplace_back();
        }
        Codes& codes = m_codes[size_t(it->second)];
        Found& seen = found[size_t(it->second)];
        const char* colid = code.attribute("colid").value();
        if (std::strcmp(colid, "5") == 0 && !seen.added) {
            seen.added = true;
            codes.added = Attribute(code, "item");
        } else if (std::strcmp(colid, "7") == 0 && !seen.subtracted) {
            seen.subtracted = true;
            codes.subtracted = Attribute(code, "item");
        }
    }
    return byRow;
}

void ReportModel::readHeadings(const DomDocument& structure)
{
    auto name = [&](const char* expr) {
        return GetAttribute(selectSingleNode(structure, QString::fromLatin1(expr)),
                            QStringLiteral("name"));
    };
    const QString rows = name("nomenclatures/structure");
    const QString c1 = name("nomenclatures/columns/col[@id='1']");
    const QString c2 = name("nomenclatures/columns/col[@id='2']");
    const QString c3 = name("nomenclatures/columns/col[@id='3']");
    const QString c4 = name("nomenclatures/columns/col[@id='4']");
    const QString c5 = name("nomenclatures/columns//col[@id='5']");
    const QString c6 = name("nomenclatures/columns//col[@id='6']");
    const QString c7 = name("nomenclatures/columns//col[@id='7']");
    const QString c8 = name("nomenclatures/columns//col[@id='8']");
    // A group heading stands over both of its columns and a single heading on both levels, so
    // that equal neighbours read as one cell.
    m_headings[grid::kGroupHeadingRow] = {rows, c1, c2, c2, c3, c3, c4};
    m_headings[grid::kTallHeadingRow] = {rows, c1, c5, c6, c7, c8, c4};
    for (int c = 0; c < grid::kCols; ++c) {
        m_headings[grid::kNumberHeadingRow][size_t(c)] = QString::number(c + 1);
    }
}

double ReportModel::Figure::value() const
{
    if (!m_known) {
        m_value = AmountValue(m_text);
        m_known = true;
    }
    return m_value;
}

int ReportModel::figureIndex(int col)
{
    switch (col) {
    case grid::kOpening:
        return 0;
    case grid::kAdded:
        return 1;
    case grid::kSubtracted:
        return 2;
    default:
        return -1;
    }
}

bool ReportModel::isEditable(int n, int col) const
{
    return n >= 0 && n < rowCount() && figureIndex(col) >= 0 && !isRestricted(n);
}

double ReportModel::closing(int n) const
{
    const auto& f = m_rows[size_t(n)].figures;
    return f[0].value() + f[1].value() - f[2].value();
}

double ReportModel::value(int n, int col) const
{
    if (col == grid::kClosing) {
        return closing(n);
    }
    const int f = figureIndex(col);
    return f < 0 ? 0 : m_rows[size_t(n)].figures[size_t(f)].value();
}

QString ReportModel::text(int n, int col) const
{
    const Row& row = m_rows[size_t(n)];
    switch (col) {
    case grid::kCaption:
        return row.caption;
    case grid::kCodeAdded:
        return row.codes < 0 ? QString() : m_codes[size_t(row.codes)].added;
    case grid::kCodeSubtracted:
        return row.codes < 0 ? QString() : m_codes[size_t(row.codes)].subtracted;
    case grid::kClosing:
        return WithRowBlank(closingText(n), n);
    default: {
        const int f = figureIndex(col);
        return f < 0 ? QString() : WithRowBlank(row.figures[size_t(f)].text(), n);
    }
    }
}

ReportModel::Entry ReportModel::enter(int n, int col, const QString& typed,
                                      std::vector<int>* touched)
{
    const int f = figureIndex(col);
    if (!isEditable(n, col)) {
        return Entry::Accepted;
    }
    const QString trimmed = typed.trimmed();
    double v = 0;
    if (!trimmed.isEmpty()) {
        const std::optional<double> parsed = ParseAmount(trimmed);
        if (!parsed) {
            return Entry::NotANumber;
        }
        v = *parsed;
    }
    if (!Representable(v)) {
        return Entry::TooLarge;
    }
    const QString newText = AmountText(v);
    const double newValue = AmountValue(newText);
    const double oldValue = m_rows[size_t(n)].figures[size_t(f)].value();

    // The totals are worked out first, so that a refused entry leaves every row as it was.
    std::vector<std::pair<int, Figure>> totals;
    QStringView rest(m_rows[size_t(n)].sumid);
    while (!rest.isEmpty()) {
        const qsizetype dash = rest.indexOf(u'-');
        const QStringView target = dash < 0 ? rest : rest.left(dash);
        rest = dash < 0 ? QStringView() : rest.mid(dash + 1);
        const auto it = m_firstById.constFind(target.toString());
        if (target.isEmpty() || it == m_firstById.constEnd()) {
            continue;
        }
        // A row listed twice, or a total listed before, builds on the value worked out so far.
        // The entry itself is in place before the first total is worked out.
        double current = *it == n ? newValue : m_rows[size_t(*it)].figures[size_t(f)].value();
        for (const auto& [row, figure] : totals) {
            if (row == *it) {
                current = figure.value();
            }
        }
        QString total = AmountText(current - oldValue + newValue);
        const double value = AmountValue(total);
        totals.emplace_back(*it, Figure(std::move(total), value));
    }
    auto closingWith = [&](int row, int figure, double value) {
        std::array<double, kFigures> v{};
        for (int i = 0; i < kFigures; ++i) {
            v[size_t(i)] = i == figure ? value : m_rows[size_t(row)].figures[size_t(i)].value();
        }
        return v[0] + v[1] - v[2];
    };
    if (!Representable(closingWith(n, f, newValue))) {
        return Entry::TooLarge;
    }
    for (const auto& [row, figure] : totals) {
        if (!Representable(figure.value()) || !Representable(closingWith(row, f, figure.value()))) {
            return Entry::TooLarge;
        }
    }

    m_rows[size_t(n)].figures[size_t(f)] = Figure(newText, newValue);
    figuresChanged(n);
    if (touched) {
        touched->push_back(n);
    }
    for (const auto& [row, figure] : totals) {
        m_rows[size_t(row)].figures[size_t(f)] = figure;
        figuresChanged(row);
        if (touched) {
            touched->push_back(row);
        }
    }
    return Entry::Accepted;
}

void ReportModel::setDiffers(int n, bool on)
{
    Row& row = m_rows[size_t(n)];
    if (row.differs != on) {
        row.differs = on;
        m_differing += on ? 1 : -1;
    }
}

bool ReportModel::compareOpening(int n)
{
    const Row& row = m_rows[size_t(n)];
    const bool equal = row.figures[0].value() == row.reference.value();
    setDiffers(n, !equal);
    return equal;
}

void ReportModel::store(DomDocument& document)
{
    const XmlNode stored = selectSingleNode(document, QStringLiteral("positions/structure"));
    const std::vector<XmlNode> storedRows =
        stored ? ElementsNamed(document.node(), "str") : std::vector<XmlNode>{};
    const size_t n = std::min(storedRows.size(), m_rows.size());
    const auto write = [](XmlNode row, const char* name, const QString& text) {
        pugi::xml_attribute a = row.attribute(name);
        (a ? a : row.append_attribute(name)).set_value(text.toUtf8().constData());
    };
    for (size_t i = 0; i < n; ++i) {
        Row& row = m_rows[i];
        for (int f = 0; f < kFigures; ++f) {
            Figure& figure = row.figures[size_t(f)];
            if (!figure.stored()) {
                write(storedRows[i], kFigureAttributes[size_t(f)],
                      WithoutLeadingBlanks(figure.text()));
                figure.setStored();
            }
        }
        if (!row.closingStored) {
            write(storedRows[i], kClosingAttribute, closingText(static_cast<int>(i)));
            row.closingStored = true;
        }
        row.reference = row.figures[0];
    }
}

const QString& ReportModel::closingText(int n) const
{
    const Row& row = m_rows[size_t(n)];
    if (row.closingText.isEmpty()) {
        row.closingText = AmountText(closing(n));
    }
    return row.closingText;
}

void ReportModel::figuresChanged(int n)
{
    m_rows[size_t(n)].closingText.clear();
    m_rows[size_t(n)].closingStored = false;
}

QString ReportModel::TextMatrix(int row, int col) const
{
    if (col < 0 || col >= grid::kCols || row < 0 || row >= Rows()) {
        return {};
    }
    if (row < grid::kHeadingRows) {
        return heading(row, col);
    }
    return text(row - grid::kHeadingRows, col);
}

} // namespace kvor
