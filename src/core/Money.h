#pragma once
// An amount of money as a whole number of stotinki, exact from the moment a figure is read or
// typed until it is shown, written or printed. Text exists only at those edges: Money::parse reads
// every form a person types or an earlier version stored, Money::text writes the Bulgarian one.

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>

namespace kvor {

class Money final
{
public:
    static constexpr int kStotinkiPerLev = 100;

    constexpr Money() = default;
    static constexpr Money fromStotinki(std::int64_t stotinki) { return Money(stotinki); }

    constexpr std::int64_t stotinki() const { return m_stotinki; }
    constexpr bool isZero() const { return m_stotinki == 0; }

    // A typed or stored figure: an optional sign, digits that may be grouped in threes by a blank,
    // U+00A0 or U+202F, a comma or a point and decimals, blanks around it all; also "1,234.50",
    // which saves made under an English or C language setting wrote. More than two decimals are
    // rounded half away from zero on the decimal digits given ("2,675" is 2,68). Letters,
    // exponents, currency signs and figures beyond the 64-bit range of stotinki are no amount.
    static std::optional<Money> parse(QStringView text);
    // The same; `outOfRange` tells a well-formed figure beyond the range from a text that is no
    // amount at all.
    static std::optional<Money> parse(QStringView text, bool* outOfRange);

    // The Bulgarian form: the integer part grouped in threes with a no-break blank (U+00A0), a
    // comma and two decimals, a leading "-" when negative ("1 234,50").
    QString text() const;

    // Sums that would leave the 64-bit range give nullopt instead of a wrong figure.
    std::optional<Money> plus(Money other) const;
    std::optional<Money> minus(Money other) const;

    friend constexpr bool operator==(Money, Money) = default;
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    constexpr explicit Money(std::int64_t stotinki) : m_stotinki(stotinki) {}

    std::int64_t m_stotinki = 0;
};

} // namespace kvor
