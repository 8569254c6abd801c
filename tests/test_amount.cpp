// Amount texts and the numeric test: one Bulgarian form whatever the language setting, and the
// texts earlier saves wrote read back to their figures.

#include "core/Amount.h"
#include "core/XmlDom.h"
#include "support/Files.h"

#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

struct FormatCase
{
    double value;
    const char* expected; // "_" stands for the no-break blank between groups
};

class AmountFormat : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(AmountFormat, TwoDecimalsGroupedInThrees)
{
    QString expected = QString::fromUtf8(GetParam().expected);
    expected.replace(u'_', QChar(0x00A0));
    EXPECT_EQ(AmountText(GetParam().value), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AmountFormat,
    ::testing::Values(FormatCase{0, "0,00"}, FormatCase{0.5, "0,50"},
                      FormatCase{1234.5, "1_234,50"}, FormatCase{1234567.5, "1_234_567,50"},
                      FormatCase{123456, "123_456,00"}, FormatCase{-1234.5, "-1_234,50"},
                      FormatCase{-0.001, "0,00"}, FormatCase{999.999, "1_000,00"}));

struct ParseCase
{
    const char* text;
    std::optional<double> expected;
};

class AmountParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(AmountParse, AcceptsNumbersAndRejectsTheRest)
{
    EXPECT_EQ(ParseAmount(QString::fromUtf8(GetParam().text)), GetParam().expected)
        << "[" << GetParam().text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Table, AmountParse,
    ::testing::Values(
        // The Bulgarian form with each group separator a save or a user may have typed.
        ParseCase{"1234,5", 1234.5}, ParseCase{"1 234,50", 1234.5},
        ParseCase{"1\u00A0234,50", 1234.5}, ParseCase{"1\u202F234,50", 1234.5},
        ParseCase{"1 234 567,5", 1234567.5}, ParseCase{"  12,50  ", 12.5},
        ParseCase{" -12,5", -12.5},
        ParseCase{"\u2212"
                  "3,00",
                  -3},
        ParseCase{"+7", 7}, ParseCase{"0", 0}, ParseCase{",5", 0.5}, ParseCase{"12,", 12},
        ParseCase{"12.5", 12.5},   // the keypad's point
        ParseCase{"1,234", 1.234}, // a Bulgarian decimal, not an English group
        // What saves under an English or C language setting wrote.
        ParseCase{"1,234.50", 1234.5}, ParseCase{"-1,234,567.00", -1234567},
        ParseCase{"1234.50", 1234.5},
        // No numbers.
        ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt}, ParseCase{"abc", std::nullopt},
        ParseCase{"12a", std::nullopt}, ParseCase{"1е3", std::nullopt},
        ParseCase{"1e3", std::nullopt}, ParseCase{"12 34", std::nullopt},
        ParseCase{"1 2345", std::nullopt}, ParseCase{"1,2,3", std::nullopt},
        ParseCase{"1,23.50", std::nullopt}, ParseCase{"1,234.5.0", std::nullopt},
        ParseCase{"--1", std::nullopt}, ParseCase{"-", std::nullopt}, ParseCase{",", std::nullopt},
        ParseCase{"12 лв.", std::nullopt}, ParseCase{"$12", std::nullopt}));

// The process's language setting, as LANG/LC_ALL would give it, for one test.
class LanguageSetting final
{
public:
    explicit LanguageSetting(const char* name)
    {
        m_numeric = std::setlocale(LC_ALL, nullptr);
        // The C library may lack the locale; Qt's default is set in any case.
        std::setlocale(LC_ALL, name);
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    }
    ~LanguageSetting()
    {
        std::setlocale(LC_ALL, m_numeric.c_str());
        QLocale::setDefault(QLocale::c());
    }

private:
    std::string m_numeric;
};

const char* const kLanguages[] = {"bg_BG.UTF-8", "en_US.UTF-8", "C", "de_DE.UTF-8"};

TEST(Amount, TextAndValueAreTheSameUnderEveryLanguageSetting)
{
    for (const char* language : kLanguages) {
        const LanguageSetting setting(language);
        EXPECT_EQ(AmountText(-1234567.5), QStringLiteral("-1\u00A0234\u00A0567,50")) << language;
        for (double v : {0.0, 0.01, 12.5, 1234.56, -98765.43, 1e9}) {
            EXPECT_EQ(ParseAmount(AmountText(v)), v) << language << " " << v;
            EXPECT_EQ(ParseAmount(u' ' + AmountText(v)), v) << language << " " << v;
        }
        EXPECT_EQ(AmountValue(QString()), 0.0);
        EXPECT_EQ(AmountValue(QStringLiteral(" ")), 0.0);
    }
}

// What the editor does with a stored amount: reads it and writes it back in its own form.
QString Reformatted(const QString& stored)
{
    return AmountText(AmountValue(stored));
}

TEST(Amount, AReportSavedInBulgarianReopensAndSavesWithTheSameFigures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mfddd_sd_5101_2004_03.xml"));
    const double figures[] = {1234.5, -40.5, 0, 7654321.09};
    {
        const LanguageSetting bulgarian("bg_BG.UTF-8");
        DomDocument doc;
        ASSERT_EQ(doc.loadBytes(test::ReadBytes(test::GoldenPath("opened_sample.xml"))), kLoadOk);
        const auto rows = selectNodes(doc, QStringLiteral("positions/structure//str"));
        for (size_t i = 0; i < std::size(figures); ++i) {
            SetAttribute(rows[i], QStringLiteral("col4"), AmountText(figures[i]));
        }
        ASSERT_TRUE(doc.save(path));
    }
    const QByteArray saved = test::ReadBytes(path);
    for (const char* language : kLanguages) {
        const LanguageSetting setting(language);
        DomDocument doc;
        ASSERT_EQ(doc.load(path), kLoadOk);
        const auto rows = selectNodes(doc, QStringLiteral("positions/structure//str"));
        for (size_t i = 0; i < std::size(figures); ++i) {
            const QString stored = GetAttribute(rows[i], QStringLiteral("col4"));
            EXPECT_EQ(AmountValue(stored), figures[i]) << language;
            SetAttribute(rows[i], QStringLiteral("col4"), Reformatted(stored));
        }
        ASSERT_TRUE(doc.save(path));
        EXPECT_EQ(test::ReadBytes(path), saved) << language;
    }
}

TEST(Amount, FiguresAnEnglishSettingSavedAreReadAndWrittenInBulgarian)
{
    EXPECT_EQ(Reformatted(QStringLiteral("1,234.50")), QStringLiteral("1\u00A0234,50"));
    EXPECT_EQ(Reformatted(QStringLiteral(" -12.00")), QStringLiteral("-12,00"));
}

} // namespace
