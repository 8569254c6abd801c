#pragma once
// Amounts as the user reads and types them: two decimals in the user's regional number format.

#include <QLocale>
#include <QString>
#include <optional>

namespace kvor {

// The amount text of v: two decimals, the regional decimal separator, the integer part grouped in
// threes with the regional group separator, the regional minus sign ("1 234,50" in Bulgarian).
QString AmountText(double v, const QLocale& locale = QLocale());

// The numeric test: an optional sign, digits that may be grouped in threes (by the regional group
// separator, a blank, U+00A0 or U+202F), the regional decimal separator and decimals, and blanks
// around it all. Letters, exponents and currency signs are no number.
std::optional<double> ParseAmount(const QString& text, const QLocale& locale = QLocale());

inline bool IsNumeric(const QString& text, const QLocale& locale = QLocale())
{
    return ParseAmount(text, locale).has_value();
}

// A figure of the grid read as a number: a text that is empty or only blanks counts as 0, and so
// does one that is no number (a hand-edited file), so that the totals carry on.
double AmountValue(const QString& text, const QLocale& locale = QLocale());

} // namespace kvor
