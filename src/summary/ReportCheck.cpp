#include "summary/ReportCheck.h"

#include "core/ReportFormat.h"
#include "core/XmlDom.h"

namespace kvor::summary {

namespace {

const QString kOutOfRange = QStringLiteral("сумата излиза извън обхвата на числата");

std::optional<Money> AmountOf(const char* text)
{
    const QString value = QString::fromUtf8(text);
    if (value.trimmed().isEmpty()) {
        return Money();
    }
    return Money::parse(value);
}

// The totals as the rows feeding them make them, column by column; nullopt when a sum leaves the
// range of Money.
std::optional<std::vector<Amounts>> TotalsOf(const SummaryForm& form,
                                             const std::vector<Amounts>& amounts)
{
    std::vector<Amounts> totals(amounts.size());
    for (size_t r = 0; r < amounts.size(); ++r) {
        for (const int total : form.rows()[r].feeds) {
            for (int c = 0; c < kAmountColumns; ++c) {
                const auto sum = totals[size_t(total)][size_t(c)].plus(amounts[r][size_t(c)]);
                if (!sum) {
                    return std::nullopt;
                }
                totals[size_t(total)][size_t(c)] = *sum;
            }
        }
    }
    return totals;
}

// The stored attribute of each amount column, in the order of Amounts.
constexpr const char* kStoredColumns[kAmountColumns] = {xmlname::kOpening, xmlname::kAdded,
                                                       xmlname::kSubtracted, xmlname::kClosing};

} // namespace

std::optional<std::vector<Amounts>> ReadAmounts(const DomDocument& report, const SummaryForm& form,
                                                const FindingSink& note)
{
    const std::vector<XmlNode> rows =
        selectNodes(report, QStringLiteral("positions/structure//str"));
    bool fits = int(rows.size()) == form.rowCount();
    for (size_t n = 0; fits && n < rows.size(); ++n) {
        fits = GetAttribute(rows[n], QStringLiteral("id")) == form.rows()[n].id;
    }
    if (!fits) {
        note(-1, -1, {}, {},
             QStringLiteral("редовете на справката не са тези на формата (Structure.xml); "
                            "справката не е проверена по редове и не е сумирана"));
        return std::nullopt;
    }
    std::vector<Amounts> amounts(rows.size());
    for (size_t n = 0; n < rows.size(); ++n) {
        for (int c = 0; c < kAmountColumns; ++c) {
            const char* text = rows[n].attribute(kStoredColumns[c]).value();
            if (const auto amount = AmountOf(text)) {
                amounts[n][size_t(c)] = *amount;
            } else {
                note(int(n), c, {}, {},
                     QStringLiteral("„%1“ не е сума; смята се за 0").arg(QString::fromUtf8(text)));
            }
        }
    }
    return amounts;
}

bool CheckAmounts(const SummaryForm& form, const std::vector<Amounts>& amounts,
                  const PreviousMonth* previous, const FindingSink& note)
{
    bool consistent = true;
    const auto differs = [&](int row, int column, Money expected, Money found,
                             const QString& what) {
        if (expected != found) {
            note(row, column, expected, found, what);
            consistent = false;
        }
    };
    for (int n = 0; n < int(amounts.size()); ++n) {
        const Amounts& a = amounts[size_t(n)];
        const auto closing = a[kOpening].plus(a[kAdded]);
        const auto net = closing ? closing->minus(a[kSubtracted]) : std::nullopt;
        if (!net) {
            note(n, kClosing, {}, a[kClosing], kOutOfRange);
            consistent = false;
            continue;
        }
        differs(n, kClosing, *net, a[kClosing],
                QStringLiteral("дългът в края на месеца не е равен на дълга в началото плюс "
                               "увеличенията минус намаленията"));
    }
    const auto totals = TotalsOf(form, amounts);
    if (!totals) {
        note(-1, -1, {}, {}, kOutOfRange);
        return false;
    }
    for (int n = 0; n < int(amounts.size()); ++n) {
        for (int c = 0; form.rows()[size_t(n)].isTotal && c < kAmountColumns; ++c) {
            differs(n, c, (*totals)[size_t(n)][size_t(c)], amounts[size_t(n)][size_t(c)],
                    QStringLiteral("общият ред не е равен на сбора на редовете, които го "
                                   "съставят"));
        }
    }
    for (size_t n = 0; previous && n < amounts.size() && n < previous->closings.size(); ++n) {
        differs(int(n), kOpening, previous->closings[n], amounts[n][kOpening],
                QStringLiteral("дългът в началото на месеца не е равен на дълга в края на "
                               "предходния месец (%1)")
                    .arg(previous->file));
    }
    return consistent;
}

} // namespace kvor::summary
