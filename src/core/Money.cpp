#include "core/Money.h"

#include <limits>
#include <vector>

namespace kvor {

namespace {

constexpr char16_t kGroupMark = 0x00A0;
constexpr char16_t kDecimalComma = u',';
constexpr int kGroupSize = 3;
constexpr int kDecimals = 2;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBulgarianGroupMark(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isCommaGroupMark(QChar c)
{
    return c == u',';
}

// The digits of a number without its separators: whole part and decimals.
struct Digits
{
    QString whole;
    QString decimals;
    qsizetype end = 0; // where the whole part ended
};

// Whole digits from i on, grouped in threes by one kind of mark when grouped at all; nullopt when
// the groups are uneven.
std::optional<Digits> wholePart(QStringView text, qsizetype i, bool (*isMark)(QChar))
{
    Digits d;
    std::vector<int> groups{0};
    const qsizetype e = text.size();
    for (; i < e; ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            d.whole += c;
            ++groups.back();
        } else if (isMark(c) && groups.back() > 0 && i + 1 < e && isAsciiDigit(text[i + 1])) {
            groups.push_back(0);
        } else {
            break;
        }
    }
    if (groups.size() > 1) {
        if (groups.front() > kGroupSize) {
            return std::nullopt;
        }
        for (size_t g = 1; g < groups.size(); ++g) {
            if (groups[g] != kGroupSize) {
                return std::nullopt;
            }
        }
    }
    d.end = i;
    return d;
}

// The decimals after the separator at i; false when anything but digits follows.
bool decimalPart(QStringView text, qsizetype i, Digits& d)
{
    for (++i; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i])) {
            return false;
        }
        d.decimals += text[i];
    }
    return true;
}

// The number without sign and blanks, in either form; nullopt when it is neither.
std::optional<Digits> unsignedNumber(QStringView text)
{
    // "1,234.50": only with groups and a point after them, so that "1,234" stays the Bulgarian
    // 1,234 (one lev and 234 thousandths).
    if (auto en = wholePart(text, 0, isCommaGroupMark); en && en->end < text.size() &&
                                                        text[en->end] == u'.' &&
                                                        text.first(en->end).contains(u',')) {
        if (decimalPart(text, en->end, *en)) {
            return en;
        }
        return std::nullopt;
    }
    auto bg = wholePart(text, 0, isBulgarianGroupMark);
    if (!bg) {
        return std::nullopt;
    }
    // A point is read as the decimal separator too: the keypad of many keyboards types one.
    if (bg->end < text.size() && (text[bg->end] == kDecimalComma || text[bg->end] == u'.')) {
        if (!decimalPart(text, bg->end, *bg)) {
            return std::nullopt;
        }
    } else if (bg->end != text.size()) {
        return std::nullopt;
    }
    if (bg->whole.isEmpty() && bg->decimals.isEmpty()) {
        return std::nullopt;
    }
    return bg;
}

// Appends a digit to a magnitude; false on leaving the 64-bit range.
bool pushDigit(std::int64_t& magnitude, QChar digit)
{
    return !__builtin_mul_overflow(magnitude, 10, &magnitude) &&
           !__builtin_add_overflow(magnitude, digit.unicode() - u'0', &magnitude);
}

// The stotinki of whole and decimal digits, rounded half away from zero on the third decimal.
std::optional<std::int64_t> stotinkiOf(const Digits& d)
{
    std::int64_t magnitude = 0;
    for (const QChar c : d.whole) {
        if (!pushDigit(magnitude, c)) {
            return std::nullopt;
        }
    }
    for (int k = 0; k < kDecimals; ++k) {
        if (!pushDigit(magnitude, k < d.decimals.size() ? d.decimals[k] : QChar(u'0'))) {
            return std::nullopt;
        }
    }
    if (d.decimals.size() > kDecimals && d.decimals[kDecimals] >= u'5' &&
        __builtin_add_overflow(magnitude, 1, &magnitude)) {
        return std::nullopt;
    }
    return magnitude;
}

} // namespace

std::optional<Money> Money::parse(QStringView text)
{
    return parse(text, nullptr);
}

std::optional<Money> Money::parse(QStringView text, bool* outOfRange)
{
    if (outOfRange) {
        *outOfRange = false;
    }
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b])) {
        ++b;
    }
    while (e > b && isBlank(text[e - 1])) {
        --e;
    }
    if (b == e) {
        return std::nullopt;
    }
    bool negative = false;
    const QChar first = text[b];
    if (first == u'-' || first == u'+' || first == QChar(0x2212)) {
        negative = first != u'+';
        ++b;
    }
    const auto digits = unsignedNumber(text.sliced(b, e - b));
    if (!digits) {
        return std::nullopt;
    }
    const auto magnitude = stotinkiOf(*digits);
    if (!magnitude) {
        if (outOfRange) {
            *outOfRange = true;
        }
        return std::nullopt;
    }
    return Money(negative ? -*magnitude : *magnitude);
}

QString Money::text() const
{
    // The magnitude as unsigned, so that the most negative figure has one too.
    const bool negative = m_stotinki < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(m_stotinki)
                                       : static_cast<std::uint64_t>(m_stotinki);
    const QString whole = QString::number(magnitude / kStotinkiPerLev);
    const unsigned cents = static_cast<unsigned>(magnitude % kStotinkiPerLev);
    QString out;
    out.reserve(whole.size() + whole.size() / kGroupSize + 4);
    if (negative) {
        out += u'-';
    }
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % kGroupSize == 0) {
            out += QChar(kGroupMark);
        }
        out += whole[i];
    }
    out += QChar(kDecimalComma);
    out += QChar(u'0' + cents / 10);
    out += QChar(u'0' + cents % 10);
    return out;
}

std::optional<Money> Money::plus(Money other) const
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(m_stotinki, other.m_stotinki, &sum)) {
        return std::nullopt;
    }
    return Money(sum);
}

std::optional<Money> Money::minus(Money other) const
{
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(m_stotinki, other.m_stotinki, &difference)) {
        return std::nullopt;
    }
    return Money(difference);
}

} // namespace kvor
