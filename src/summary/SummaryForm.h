#pragma once
// The form a month's reports are checked and summed by: its rows in order, their captions and the
// totals each row feeds, read from Structure.xml or, where that is missing, from a report itself.

#include "core/Money.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

namespace kvor {

class DomDocument;

namespace summary {

// The four stored amounts of a report row, in the order of kStoredAmounts: the opening amount,
// the increases, the decreases and the closing amount.
inline constexpr int kAmountColumns = 4;
enum AmountColumn : int
{
    kOpening = 0,
    kAdded = 1,
    kSubtracted = 2,
    kClosing = 3
};
using Amounts = std::array<Money, kAmountColumns>;

// How the receiver reads each column's name.
QString ColumnName(int column);

// A month: "03 / 2004" in a report, "03/2004" on the command line.
struct Period
{
    int year = 0;
    int month = 0; // 1 to 12

    // The text of a report's `period` attribute or of the command line: the month in one or two
    // digits, "/" with blanks around it or not, the year in four digits.
    static std::optional<Period> parse(QStringView text);
    // As a report writes it: "03 / 2004".
    QString text() const;
    Period previous() const { return month == 1 ? Period{year - 1, 12} : Period{year, month - 1}; }
    int key() const { return year * 12 + month - 1; }
    friend bool operator==(const Period&, const Period&) = default;
};

struct FormRow
{
    QString id;
    QString caption;
    bool restricted = false; // a total or heading: its own `sumid` feeds nothing
    std::vector<int> feeds;  // the rows it adds to, once per mention in `sumid`
    bool isTotal = false;    // some row names it in its `sumid`
};

class SummaryForm final
{
public:
    // The rows of Structure.xml (nomenclatures/structure) or of a report (positions/structure).
    // Nullopt when the document holds no rows.
    static std::optional<SummaryForm> fromStructure(const DomDocument& structure);
    static std::optional<SummaryForm> fromReport(const DomDocument& report);

    const std::vector<FormRow>& rows() const { return m_rows; }
    int rowCount() const { return int(m_rows.size()); }
    // The row whose four amounts stand for the whole report: the first total (the first row
    // where the form has no total).
    int firstTotal() const { return m_firstTotal; }
    // A structure file of these rows, for the printed layout when Structure.xml could not be used.
    QByteArray structureXml() const;

private:
    static std::optional<SummaryForm> read(const DomDocument& doc, const QString& rowsPath);

    std::vector<FormRow> m_rows;
    int m_firstTotal = 0;
};

} // namespace summary
} // namespace kvor
