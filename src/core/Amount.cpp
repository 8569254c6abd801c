#include "core/Amount.h"

#include <cmath>

namespace kvor {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool isGroupMark(QChar c, const QString& group)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F) ||
           (!group.isEmpty() && c == group[0]);
}

} // namespace

QString AmountText(double v, const QLocale& locale)
{
    // Qt's own grouping is wrong for some locales (Bulgarian: "1234 567,50"), so the digits are
    // grouped here.
    QString digits = QString::number(std::fabs(v), 'f', 2);
    const bool negative = v < 0 && digits != u"0.00";
    const qsizetype point = digits.indexOf(u'.');
    const QString intPart = digits.left(point);
    const QString fraction = digits.mid(point + 1);
    const QString group = locale.groupSeparator();
    QString grouped;
    grouped.reserve(intPart.size() + intPart.size() / 3 * group.size());
    for (qsizetype i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0) {
            grouped += group;
        }
        grouped += intPart[i];
    }
    QString out = grouped + locale.decimalPoint() + fraction;
    return negative ? locale.negativeSign() + out : out;
}

std::optional<double> ParseAmount(const QString& text, const QLocale& locale)
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
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    // A point is read as the decimal separator too where it cannot be a group separator: the
    // keypad of many keyboards types one.
    const bool pointToo = decimal != u"." && group != u".";

    QString normal; // "-1234.50" for QString::toDouble, which is not locale dependent
    qsizetype i = b;
    const QChar first = text[i];
    if (first == u'-' || first == u'+' || first == QChar(0x2212) ||
        (!locale.negativeSign().isEmpty() && first == locale.negativeSign()[0])) {
        if (first != u'+') {
            normal += u'-';
        }
        ++i;
    }

    // Integer digits, grouped in threes when groups are used at all.
    std::vector<int> groups{0};
    bool grouped = false;
    for (; i < e; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            normal += c;
            ++groups.back();
        } else if (isGroupMark(c, group) && !(c == decimal[0]) && groups.back() > 0 && i + 1 < e &&
                   text[i + 1].isDigit()) {
            grouped = true;
            groups.push_back(0);
        } else {
            break;
        }
    }
    if (grouped) {
        if (groups.front() > 3) {
            return std::nullopt;
        }
        for (size_t g = 1; g < groups.size(); ++g) {
            if (groups[g] != 3) {
                return std::nullopt;
            }
        }
    }
    int digits = 0;
    for (int g : groups) {
        digits += g;
    }

    if (i < e && (text[i] == decimal[0] || (pointToo && text[i] == u'.'))) {
        normal += u'.';
        ++i;
        for (; i < e; ++i) {
            const QChar c = text[i];
            if (!(c.isDigit() && c.unicode() < 128)) {
                break;
            }
            normal += c;
            ++digits;
        }
    }
    if (i != e || digits == 0) {
        return std::nullopt;
    }
    bool ok = false;
    const double v = normal.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

double AmountValue(const QString& text, const QLocale& locale)
{
    return ParseAmount(text, locale).value_or(0.0);
}

} // namespace kvor
