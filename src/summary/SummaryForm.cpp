#include "summary/SummaryForm.h"

#include "core/XmlDom.h"

#include <QHash>

namespace kvor::summary {

namespace {

constexpr int kLastMonth = 12;
constexpr int kYearDigits = 4;

bool IsDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return !text.isEmpty();
}

} // namespace

QString ColumnName(int column)
{
    static const QString kNames[kAmountColumns] = {
        QStringLiteral("Дълг в началото на месеца"), QStringLiteral("Увеличения през месеца"),
        QStringLiteral("Намаления през месеца"), QStringLiteral("Дълг в края на месеца")};
    return column >= 0 && column < kAmountColumns ? kNames[column] : QString();
}

std::optional<Period> Period::parse(QStringView text)
{
    const qsizetype slash = text.indexOf(u'/');
    if (slash < 0) {
        return std::nullopt;
    }
    const QStringView month = text.left(slash).trimmed();
    const QStringView year = text.mid(slash + 1).trimmed();
    if (!IsDigits(month) || month.size() > 2 || !IsDigits(year) || year.size() != kYearDigits) {
        return std::nullopt;
    }
    const Period p{year.toInt(), month.toInt()};
    if (p.month < 1 || p.month > kLastMonth) {
        return std::nullopt;
    }
    return p;
}

QString Period::text() const
{
    return QStringLiteral("%1 / %2").arg(month, 2, 10, QChar(u'0')).arg(year, 4, 10, QChar(u'0'));
}

std::optional<SummaryForm> SummaryForm::fromStructure(const DomDocument& structure)
{
    return read(structure, QStringLiteral("nomenclatures/structure//str"));
}

std::optional<SummaryForm> SummaryForm::fromReport(const DomDocument& report)
{
    return read(report, QStringLiteral("positions/structure//str"));
}

std::optional<SummaryForm> SummaryForm::read(const DomDocument& doc, const QString& rowsPath)
{
    const std::vector<XmlNode> nodes = selectNodes(doc, rowsPath);
    if (nodes.empty()) {
        return std::nullopt;
    }
    SummaryForm form;
    form.m_rows.resize(nodes.size());
    QHash<QString, int> firstById;
    for (size_t n = 0; n < nodes.size(); ++n) {
        FormRow& row = form.m_rows[n];
        row.id = GetAttribute(nodes[n], QStringLiteral("id"));
        row.caption = GetAttribute(nodes[n], QStringLiteral("name"));
        row.restricted = GetAttribute(nodes[n], QStringLiteral("restricted")) == u"1";
    }
    // A total is the first row of its id.
    for (int n = form.rowCount() - 1; n >= 0; --n) {
        firstById[form.m_rows[size_t(n)].id] = n;
    }
    // As the editor carries an entry to the totals: ids from left to right, once per mention,
    // parts that name no row passed over; a restricted row takes no entries, so feeds nothing.
    for (size_t n = 0; n < nodes.size(); ++n) {
        FormRow& row = form.m_rows[n];
        if (row.restricted) {
            continue;
        }
        const QString sumid = GetAttribute(nodes[n], QStringLiteral("sumid"));
        for (const QStringView part : QStringView(sumid).split(u'-')) {
            const auto total = firstById.constFind(part.trimmed().toString());
            if (total != firstById.constEnd()) {
                row.feeds.push_back(*total);
                form.m_rows[size_t(*total)].isTotal = true;
            }
        }
    }
    for (int n = 0; n < form.rowCount(); ++n) {
        if (form.m_rows[size_t(n)].isTotal) {
            form.m_firstTotal = n;
            break;
        }
    }
    return form;
}

QByteArray SummaryForm::structureXml() const
{
    const auto escaped = [](const QString& text) { return text.toHtmlEscaped().toUtf8(); };
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><nomenclatures><structure>";
    for (const FormRow& row : m_rows) {
        QByteArray sumid;
        for (const int total : row.feeds) {
            sumid += (sumid.isEmpty() ? "" : "-") + escaped(m_rows[size_t(total)].id);
        }
        x += "<str id=\"" + escaped(row.id) + "\" name=\"" +
             escaped(row.caption.isEmpty() ? QStringLiteral("Ред ") + row.id : row.caption) + "\"" +
             (row.restricted ? " restricted=\"1\"" : "") + " sumid=\"" + sumid + "\"/>";
    }
    return x + "</structure><columns/></nomenclatures>";
}

} // namespace kvor::summary
