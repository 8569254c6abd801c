#pragma once
// The figures of a report: per row the opening amount, the increases and the decreases as Money,
// the closing amount they give, the totals an entry feeds, and the comparison of the opening
// amounts with the previous month. Texts come in only as read from the document and go out only
// as shown or written.

#include "core/Money.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kvor {

class ReportFigures final
{
public:
    // The figures a row holds, in the order of their columns.
    enum Kind : int
    {
        kOpening = 0,
        kAdded = 1,
        kSubtracted = 2,
    };
    static constexpr int kKinds = 3;

    // The outcome of an entry.
    enum class Entry
    {
        Accepted,
        NotANumber, // letters or another text that is no amount
        TooLarge,   // the figure, its row's closing amount or a total it feeds leaves the range
    };

    explicit ReportFigures(int rows = 0) : m_rows(size_t(rows)) {}

    int rowCount() const { return static_cast<int>(m_rows.size()); }

    // A figure as the document holds it; `held` says that writing it back would change nothing.
    // Its amount is worked out when first needed: a large report opens at once.
    void setRead(int n, Kind kind, QString text, bool held);

    // The amount of a figure: one that is not an amount (a hand-edited file) counts as 0, so
    // that the totals carry on.
    Money amount(int n, Kind kind) const;
    // The amount the cell shows; none when it shows no amount (an empty or hand-edited text).
    std::optional<Money> shownAmount(int n, Kind kind) const;
    // The text shown: as read until an entry replaces it, then the amount's text.
    QString text(int n, Kind kind) const;
    bool isEntered(int n, Kind kind) const { return figure(n, kind).entered; }

    // Opening + added − subtracted; none when it leaves the 64-bit range of stotinki (only a
    // hand-edited file gets there: entries that would are refused).
    std::optional<Money> closing(int n) const;
    // Its text, kept until the row changes; empty when there is no closing amount.
    const QString& closingText(int n) const;

    // Puts an amount into a figure, and into each of `totals` the difference it makes (a row
    // named twice takes it twice; a total named before builds on the figure worked out so far).
    // `touched` receives the rows that changed, the entry's row first. Nothing changes unless
    // every figure and closing amount concerned stays within the 64-bit range.
    Entry enter(int n, Kind kind, Money value, const std::vector<int>& totals,
                std::vector<int>* touched = nullptr);

    // The previous month: the opening amount of row n compared with the document's as it was
    // read or last stored. The rows found different are counted.
    bool compareOpening(int n);
    bool openingDiffers(int n) const { return m_rows[size_t(n)].differs; }
    int differingOpenings() const { return m_differing; }
    void clearOpeningMark(int n) { setDiffers(n, false); }

    // For writing: whether the document holds the figure (and the closing amount) as it stands,
    // and marking them held once written; the stored opening becomes the reference.
    bool isHeld(int n, Kind kind) const { return figure(n, kind).held; }
    bool isClosingHeld(int n) const { return m_rows[size_t(n)].closingHeld; }
    void setHeld(int n, Kind kind, const QString& text);
    void setClosingHeld(int n) { m_rows[size_t(n)].closingHeld = true; }
    void takeOpeningAsReference(int n)
    {
        m_rows[size_t(n)].reference = m_rows[size_t(n)].figures[0];
    }

private:
    struct Figure
    {
        QString read;                        // as read; shown until an entry replaces it
        mutable std::optional<Money> parsed; // the amount of `read`, once worked out
        mutable bool isParsed = false;
        Money enteredValue;
        bool entered = false;
        bool held = false;

        std::optional<Money> shown() const;
        Money amount() const { return shown().value_or(Money()); }
    };
    struct Row
    {
        std::array<Figure, kKinds> figures;
        Figure reference; // the opening amount of the document, as read or last stored
        bool differs = false;
        bool closingHeld = false;
        mutable QString closingText; // empty until needed after a change
    };

    const Figure& figure(int n, Kind kind) const { return m_rows[size_t(n)].figures[size_t(kind)]; }
    void changed(int n);
    void setDiffers(int n, bool on);

    std::vector<Row> m_rows;
    int m_differing = 0;
};

} // namespace kvor
