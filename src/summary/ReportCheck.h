#pragma once
// The figures of one report checked against its form: every row's closing amount, every total
// against the rows that feed it, and the opening amounts against the closing amounts of the month
// before. Exact to the stotinka.

#include "summary/SummaryForm.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace kvor {

class DomDocument;

namespace summary {

// Told of each thing found: the form's row (-1: the whole report), the column (-1: the whole
// row), what was expected and found where an amount is concerned, and what it means.
using FindingSink = std::function<void(int row, int column, std::optional<Money> expected,
                                       std::optional<Money> found, const QString& meaning)>;

// The four amounts of every row of a report, in the form's order. Nullopt, told to `note`, when
// the report's rows are not the form's. A figure that is no amount is told and counts as 0; an
// empty one is 0, as the editor takes it.
std::optional<std::vector<Amounts>> ReadAmounts(const DomDocument& report, const SummaryForm& form,
                                                const FindingSink& note);

// The closing amounts of the month before, from the report of that month.
struct PreviousMonth
{
    std::vector<Money> closings;
    QString file;
};

// Whether the amounts agree with themselves and, when given, with the month before; each
// disagreement is told to `note`.
bool CheckAmounts(const SummaryForm& form, const std::vector<Amounts>& amounts,
                  const PreviousMonth* previous, const FindingSink& note);

} // namespace summary
} // namespace kvor
