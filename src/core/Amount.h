#pragma once
// Amounts as the user reads and types them: two decimals in the Bulgarian form, whatever
// language the system is set to, so that a report reads the same on every machine.

#include <QString>
#include <optional>

namespace kvor {

// The amount text of v: two decimals after a comma, the integer part grouped in threes with a
// no-break blank (U+00A0), a leading "-" when negative ("1 234,50").
QString AmountText(double v);

// The numeric test: an optional sign, digits that may be grouped in threes by a blank, U+00A0 or
// U+202F, a comma or a point and decimals, and blanks around it all. The form "1,234.50" (groups
// by commas, a point before the decimals) is read too: saves made under an English or C language
// setting wrote it. Letters, exponents and currency signs are no number.
std::optional<double> ParseAmount(const QString& text);

inline bool IsNumeric(const QString& text)
{
    return ParseAmount(text).has_value();
}

// A figure of the grid read as a number: a text that is empty or only blanks counts as 0, and so
// does one that is no number (a hand-edited file), so that the totals carry on.
double AmountValue(const QString& text);

} // namespace kvor
