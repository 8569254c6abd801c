#include "core/ReportFigures.h"

#include <limits>

namespace kvor {

namespace {

using Wide = __int128;

std::optional<Money> InRange(Wide stotinki)
{
    if (stotinki < std::numeric_limits<std::int64_t>::min() ||
        stotinki > std::numeric_limits<std::int64_t>::max()) {
        return std::nullopt;
    }
    return Money::fromStotinki(static_cast<std::int64_t>(stotinki));
}

} // namespace

std::optional<Money> ReportFigures::Figure::shown() const
{
    if (entered) {
        return enteredValue;
    }
    if (!isParsed) {
        parsed = Money::parse(read);
        isParsed = true;
    }
    return parsed;
}

void ReportFigures::setRead(int n, Kind kind, QString text, bool held)
{
    Figure& f = m_rows[size_t(n)].figures[size_t(kind)];
    f = Figure{};
    f.read = std::move(text);
    f.held = held;
    if (kind == kOpening) {
        m_rows[size_t(n)].reference = f;
    }
    changed(n);
}

Money ReportFigures::amount(int n, Kind kind) const
{
    return figure(n, kind).amount();
}

std::optional<Money> ReportFigures::shownAmount(int n, Kind kind) const
{
    return figure(n, kind).shown();
}

QString ReportFigures::text(int n, Kind kind) const
{
    const Figure& f = figure(n, kind);
    return f.entered ? f.enteredValue.text() : f.read;
}

std::optional<Money> ReportFigures::closing(int n) const
{
    const auto& f = m_rows[size_t(n)].figures;
    return InRange(Wide(f[kOpening].amount().stotinki()) + f[kAdded].amount().stotinki() -
                   f[kSubtracted].amount().stotinki());
}

const QString& ReportFigures::closingText(int n) const
{
    const Row& row = m_rows[size_t(n)];
    if (row.closingText.isEmpty()) {
        const std::optional<Money> c = closing(n);
        row.closingText = c ? c->text() : QString();
    }
    return row.closingText;
}

ReportFigures::Entry ReportFigures::enter(int n, Kind kind, Money value,
                                          const std::vector<int>& totals, std::vector<int>* touched)
{
    const Money old = amount(n, kind);
    const Wide difference = Wide(value.stotinki()) - old.stotinki();
    // Every figure the entry changes, worked out before anything changes: a refused entry leaves
    // every row as it was. The entry itself is in place before the first total is worked out.
    std::vector<std::pair<int, Money>> changes{{n, value}};
    changes.reserve(totals.size() + 1);
    for (const int total : totals) {
        Money current = amount(total, kind);
        for (const auto& [row, figure] : changes) {
            if (row == total) {
                current = figure;
            }
        }
        const std::optional<Money> sum = InRange(Wide(current.stotinki()) + difference);
        if (!sum) {
            return Entry::TooLarge;
        }
        changes.emplace_back(total, *sum);
    }
    // Each row's closing amount with its last change in place.
    for (const auto& [row, figure] : changes) {
        std::array<Wide, kKinds> v{};
        for (int k = 0; k < kKinds; ++k) {
            v[size_t(k)] = amount(row, Kind(k)).stotinki();
        }
        for (const auto& [other, later] : changes) {
            if (other == row) {
                v[size_t(kind)] = later.stotinki();
            }
        }
        if (!InRange(v[kOpening] + v[kAdded] - v[kSubtracted])) {
            return Entry::TooLarge;
        }
    }
    for (const auto& [row, figure] : changes) {
        Figure& f = m_rows[size_t(row)].figures[size_t(kind)];
        f.enteredValue = figure;
        f.entered = true;
        f.held = false;
        changed(row);
        if (touched) {
            touched->push_back(row);
        }
    }
    return Entry::Accepted;
}

void ReportFigures::setDiffers(int n, bool on)
{
    Row& row = m_rows[size_t(n)];
    if (row.differs != on) {
        row.differs = on;
        m_differing += on ? 1 : -1;
    }
}

bool ReportFigures::compareOpening(int n)
{
    const Row& row = m_rows[size_t(n)];
    const bool equal = row.figures[kOpening].amount() == row.reference.amount();
    setDiffers(n, !equal);
    return equal;
}

void ReportFigures::setHeld(int n, Kind kind, const QString& text)
{
    Figure& f = m_rows[size_t(n)].figures[size_t(kind)];
    if (!f.entered) {
        f.read = text;
        f.isParsed = false;
    }
    f.held = true;
}

void ReportFigures::changed(int n)
{
    m_rows[size_t(n)].closingText.clear();
    m_rows[size_t(n)].closingHeld = false;
}

} // namespace kvor
