#pragma once
// The report as the editor works on it, without widgets: the form (ReportForm) read from the
// structure, the figures (ReportFigures) read from the report document, and the binding of both to
// the report file: which attributes hold the figures, how the figures are written back, and the
// rows a report file lacks. Figures are Money throughout; text is made only where a cell is shown
// or written.

#include "core/ReportFigures.h"
#include "core/ReportForm.h"
#include "core/Result.h"
#include "core/XmlDom.h"

#include <QString>
#include <optional>
#include <vector>

namespace kvor {

class ReportModel final
{
public:
    using Entry = ReportFigures::Entry;

    // Rows are the form's; the figures come from the n-th "str" of the document's
    // "positions/structure" (in document order). Rows the document lacks show what a new report
    // holds. The structure must outlive the model: a save adds the rows it lacks from it.
    ReportModel(const DomDocument& structure, const DomDocument& document);

    int rowCount() const { return m_form.rowCount(); }
    const ReportForm& form() const { return m_form; }
    const ReportFigures& figures() const { return m_figures; }

    const QString& caption(int n) const { return m_form.caption(n); }
    const QString& id(int n) const { return m_form.id(n); }
    bool isRestricted(int n) const { return m_form.isRestricted(n); }
    bool isHighlighted(int n) const { return IsHighlightedId(id(n)); }
    // The opening amount, the increases and the decreases of a row that is not restricted.
    bool isEditable(int n, int col) const;

    // The cell as it is shown: figures as stored until they are entered, then as amount texts;
    // on every second row (odd n) amounts carry one leading blank, as the printout has them.
    QString text(int n, int col) const;
    // The amount a figure column or the closing column stands for (0 for any other column and
    // for a stored text that is no amount).
    Money amount(int n, int col) const;
    // The amount a cell shows; none for a column of texts, an empty cell or a stored text that
    // is no amount.
    std::optional<Money> shownAmount(int n, int col) const;

    // Heading texts by level (the group, the column, the column number) and column.
    const QString& heading(int level, int col) const { return m_form.heading(level, col); }

    // Puts a typed figure into an editable cell: an empty text is 0, blanks around it are
    // ignored, more than two decimals are rounded half away from zero. The row's closing amount
    // and every total the row names in "sumid" follow. `touched` receives the rows that changed.
    // Nothing changes unless the entry is accepted.
    Entry enter(int n, int col, const QString& typed, std::vector<int>* touched = nullptr);

    // The previous month: the opening amount of row n compared with the document's as it was
    // read or last stored. The rows found different are counted.
    bool compareOpening(int n) { return m_figures.compareOpening(n); }
    bool openingDiffers(int n) const { return m_figures.openingDiffers(n); }
    int differingOpenings() const { return m_figures.differingOpenings(); }
    // An entry in the opening column draws it black until it is compared again.
    void clearOpeningMark(int n) { m_figures.clearOpeningMark(n); }

    // Writes the figures into the document the model was read from (without the leading blanks
    // of the display); they become the reference of later comparisons. Only what the document
    // does not hold yet is written. Rows of the form the document lacks are added first, as a new
    // report carries them. A document that is no report (another root, no period) or a structure
    // changed since the model was made is refused, and nothing is written.
    [[nodiscard]] Status store(DomDocument& document);

private:
    Status addMissingRows(DomDocument& document, std::vector<XmlNode>& rows) const;

    const DomDocument& m_structure;
    ReportForm m_form;
    ReportFigures m_figures;
    std::vector<int> m_codes; // per row, into the form's code texts; -1 for none
};

} // namespace kvor
