// Amount texts and the numeric test under Bulgarian and US regional settings.

#include "core/Amount.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

const QLocale kBg(QLocale::Bulgarian, QLocale::Bulgaria);
const QLocale kUs(QLocale::English, QLocale::UnitedStates);

struct FormatCase
{
    const char* locale;
    double value;
    const char* expected; // "_" stands for the locale's group separator
};

class AmountFormat : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(AmountFormat, TwoDecimalsGroupedInThrees)
{
    const auto& p = GetParam();
    const QLocale& loc = QString::fromLatin1(p.locale) == u"bg" ? kBg : kUs;
    QString expected = QString::fromUtf8(p.expected);
    expected.replace(u'_', loc.groupSeparator());
    EXPECT_EQ(AmountText(p.value, loc), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AmountFormat,
    ::testing::Values(FormatCase{"bg", 0, "0,00"}, FormatCase{"bg", 0.5, "0,50"},
                      FormatCase{"bg", 1234.5, "1_234,50"},
                      FormatCase{"bg", 1234567.5, "1_234_567,50"},
                      FormatCase{"bg", 123456, "123_456,00"},
                      FormatCase{"bg", -1234.5, "-1_234,50"}, FormatCase{"bg", -0.001, "0,00"},
                      FormatCase{"us", 1234.5, "1_234.50"}, FormatCase{"us", 999.999, "1_000.00"},
                      FormatCase{"us", -12, "-12.00"}));

struct ParseCase
{
    const char* locale;
    const char* text;
    std::optional<double> expected;
};

class AmountParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(AmountParse, AcceptsNumbersAndRejectsTheRest)
{
    const auto& p = GetParam();
    const QLocale& loc = QString::fromLatin1(p.locale) == u"bg" ? kBg : kUs;
    QString text = QString::fromUtf8(p.text);
    text.replace(u'_', loc.groupSeparator());
    EXPECT_EQ(ParseAmount(text, loc), p.expected) << p.locale << " [" << p.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Table, AmountParse,
    ::testing::Values(
        ParseCase{"bg", "1234,5", 1234.5}, ParseCase{"bg", "1 234,50", 1234.5},
        ParseCase{"bg", "1\u00A0234,50", 1234.5}, ParseCase{"bg", "1\u202F234,50", 1234.5},
        ParseCase{"bg", "1_234_567,5", 1234567.5}, ParseCase{"bg", "  12,50  ", 12.5},
        ParseCase{"bg", " -12,5", -12.5}, ParseCase{"bg", "+7", 7}, ParseCase{"bg", "0", 0},
        ParseCase{"bg", ",5", 0.5}, ParseCase{"bg", "12,", 12},
        ParseCase{"bg", "12.5", 12.5}, // the keypad's point
        ParseCase{"bg", "", std::nullopt}, ParseCase{"bg", "   ", std::nullopt},
        ParseCase{"bg", "abc", std::nullopt}, ParseCase{"bg", "12a", std::nullopt},
        ParseCase{"bg", "1е3", std::nullopt}, ParseCase{"bg", "1e3", std::nullopt},
        ParseCase{"bg", "12 34", std::nullopt}, ParseCase{"bg", "1 2345", std::nullopt},
        ParseCase{"bg", "1,2,3", std::nullopt}, ParseCase{"bg", "--1", std::nullopt},
        ParseCase{"bg", "-", std::nullopt}, ParseCase{"bg", ",", std::nullopt},
        ParseCase{"bg", "12 лв.", std::nullopt}, ParseCase{"us", "1,234.50", 1234.5},
        ParseCase{"us", "1234.5", 1234.5}, ParseCase{"us", "1 234.50", 1234.5},
        ParseCase{"us", "1234,50", std::nullopt}, ParseCase{"us", "1,23", std::nullopt},
        ParseCase{"us", "$12", std::nullopt}));

TEST(Amount, FormattedTextsReadBackToTheirValueAndBlanksAreZero)
{
    for (const QLocale& loc : {kBg, kUs}) {
        for (double v : {0.0, 0.01, 12.5, 1234.56, -98765.43, 1e9}) {
            EXPECT_EQ(ParseAmount(AmountText(v, loc), loc), v) << v;
            EXPECT_EQ(ParseAmount(u' ' + AmountText(v, loc), loc), v) << v;
        }
        EXPECT_EQ(AmountValue(QString(), loc), 0.0);
        EXPECT_EQ(AmountValue(QStringLiteral(" "), loc), 0.0);
    }
}

} // namespace
