#include "core/Amount.h"

#include <cmath>
#include <vector>

namespace kvor {

namespace {

constexpr char16_t kGroupMark = 0x00A0;
constexpr char16_t kDecimalComma = u',';
constexpr int kGroupSize = 3;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

struct Digits
{
    QString normal; // "1234.50" for QString::toDouble, which does not depend on the language
    int count = 0;
    qsizetype end = 0;
};

// Integer digits from i on, grouped in threes by any of the marks when grouped at all; nullopt
// when the groups are uneven.
std::optional<Digits> integerPart(const QString& text, qsizetype i, qsizetype e,
                                  bool (*isMark)(QChar))
{
    Digits d;
    std::vector<int> groups{0};
    for (; i < e; ++i) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            d.normal += c;
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
    for (const int g : groups) {
        d.count += g;
    }
    d.end = i;
    return d;
}

bool isBulgarianGroupMark(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isCommaGroupMark(QChar c)
{
    return c == u',';
}

// The decimals after the separator at i; false when anything but digits follows.
bool fraction(const QString& text, qsizetype i, qsizetype e, Digits& d)
{
    d.normal += u'.';
    for (++i; i < e; ++i) {
        if (!isAsciiDigit(text[i])) {
            return false;
        }
        d.normal += text[i];
        ++d.count;
    }
    return true;
}

// The number without sign and blanks, in either form; nullopt when it is neither.
std::optional<QString> unsignedNumber(const QString& text, qsizetype b, qsizetype e)
{
    // "1,234.50": only with groups and a point after them, so that "1,234" stays the Bulgarian
    // 1.234.
    if (auto en = integerPart(text, b, e, isCommaGroupMark);
        en && en->end < e && text[en->end] == u'.' && text.mid(b, en->end - b).contains(u',')) {
        if (fraction(text, en->end, e, *en) && en->count > 0) {
            return en->normal;
        }
        return std::nullopt;
    }
    auto bg = integerPart(text, b, e, isBulgarianGroupMark);
    if (!bg) {
        return std::nullopt;
    }
    // A point is read as the decimal separator too: the keypad of many keyboards types one.
    if (bg->end < e && (text[bg->end] == kDecimalComma || text[bg->end] == u'.')) {
        if (!fraction(text, bg->end, e, *bg)) {
            return std::nullopt;
        }
    } else if (bg->end != e) {
        return std::nullopt;
    }
    if (bg->count == 0) {
        return std::nullopt;
    }
    return bg->normal;
}

} // namespace

QString AmountText(double v)
{
    // Digits from QString::number, which ignores the language setting; grouped here.
    const QString digits = QString::number(std::fabs(v), 'f', 2);
    const bool negative = v < 0 && digits != u"0.00";
    const qsizetype point = digits.indexOf(u'.');
    const QString intPart = digits.left(point);
    QString out;
    out.reserve(intPart.size() + intPart.size() / kGroupSize + 4);
    if (negative) {
        out += u'-';
    }
    for (qsizetype i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % kGroupSize == 0) {
            out += QChar(kGroupMark);
        }
        out += intPart[i];
    }
    out += QChar(kDecimalComma);
    out += digits.mid(point + 1);
    return out;
}

std::optional<double> ParseAmount(const QString& text)
{
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
    const auto number = unsignedNumber(text, b, e);
    if (!number) {
        return std::nullopt;
    }
    bool ok = false;
    const double v = number->toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        return std::nullopt;
    }
    return negative ? -v : v;
}

double AmountValue(const QString& text)
{
    return ParseAmount(text).value_or(0.0);
}

} // namespace kvor
