#include "core/Period.h"

#include <QRegularExpression>

namespace kvor {

namespace {

constexpr int kJanuary = 1;
constexpr int kDecember = 12;
constexpr int kLastYear = 9999;
constexpr int kYearDigits = 4;
constexpr int kMonthDigits = 2;

QString Digits(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

} // namespace

Period::Period(int month, int year)
{
    if (month >= kJanuary && month <= kDecember && year >= 0 && year <= kLastYear) {
        m_month = month;
        m_year = year;
    }
}

std::optional<Period> Period::fromText(const QString& text)
{
    // \z, not $: a dollar also matches before a final line break.
    static const QRegularExpression re(QStringLiteral(R"(^(0[1-9]|1[0-2]) / ([0-9]{4})\z)"));
    const QRegularExpressionMatch match = re.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return Period(match.captured(1).toInt(), match.captured(2).toInt());
}

Period Period::previous() const
{
    if (!isValid()) {
        return {};
    }
    return m_month == kJanuary ? Period(kDecember, m_year - 1) : Period(m_month - 1, m_year);
}

QString Period::text() const
{
    return monthText() + QStringLiteral(" / ") + yearText();
}

QString Period::monthText() const
{
    return isValid() ? Digits(m_month, kMonthDigits) : QString();
}

QString Period::yearText() const
{
    return isValid() ? Digits(m_year, kYearDigits) : QString();
}

} // namespace kvor
