// Money: figures read exactly, rounded half away from zero on their decimal digits, shown in the
// one Bulgarian form, and sums that would overflow refused instead of wrapped.

#include "core/Money.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <limits>
#include <string>

using namespace kvor;

namespace {

struct ParseCase
{
    const char* text;
    std::optional<std::int64_t> stotinki;
};

class MoneyParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(MoneyParse, ReadsExactlyAndRoundsHalfAwayFromZero)
{
    const auto money = Money::parse(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(money.has_value(), GetParam().stotinki.has_value()) << GetParam().text;
    if (money) {
        EXPECT_EQ(money->stotinki(), *GetParam().stotinki) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MoneyParse,
    ::testing::Values(ParseCase{"2,675", 268}, ParseCase{"1,005", 101}, ParseCase{"1,115", 112},
                      ParseCase{"-2,675", -268}, ParseCase{"0,125", 13}, ParseCase{"2,6749", 267},
                      ParseCase{"1 234,50", 123450}, ParseCase{"1\u00a0234\u00a0567,5", 123456750},
                      ParseCase{"1\u202f234.5", 123450}, ParseCase{"1,234.50", 123450},
                      ParseCase{"1,234", 123}, ParseCase{" +7 ", 700}, ParseCase{"\u22123", -300},
                      ParseCase{",5", 50}, ParseCase{"999 999 999 999 999,99", 99999999999999999},
                      ParseCase{"92233720368547758,07", std::numeric_limits<std::int64_t>::max()},
                      ParseCase{"92233720368547758,08", std::nullopt}, ParseCase{"", std::nullopt},
                      ParseCase{"12 34", std::nullopt}, ParseCase{"1e5", std::nullopt},
                      ParseCase{"5 лв.", std::nullopt}, ParseCase{"=A1+B2", std::nullopt},
                      ParseCase{"1,2,3", std::nullopt}, ParseCase{"-", std::nullopt},
                      // Forms earlier saves and users wrote: the keypad's point, English groups.
                      ParseCase{"12,", 1200}, ParseCase{"12.5", 1250},
                      ParseCase{"-1,234,567.00", -123456700}, ParseCase{" -12.00", -1200},
                      ParseCase{"0", 0}, ParseCase{"   ", std::nullopt},
                      ParseCase{"1 2345", std::nullopt}, ParseCase{"1,23.50", std::nullopt},
                      ParseCase{"1,234.5.0", std::nullopt}, ParseCase{"--1", std::nullopt},
                      ParseCase{",", std::nullopt}, ParseCase{"$12", std::nullopt},
                      ParseCase{"1е3", std::nullopt}));

// The process's language setting, as LANG/LC_ALL would give it, for one test.
class LanguageSetting final
{
public:
    explicit LanguageSetting(const char* name) : m_saved(std::setlocale(LC_ALL, nullptr))
    {
        // The C library may lack the locale; Qt's default is set in any case.
        std::setlocale(LC_ALL, name);
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    }
    ~LanguageSetting()
    {
        std::setlocale(LC_ALL, m_saved.c_str());
        QLocale::setDefault(QLocale::c());
    }

private:
    std::string m_saved;
};

TEST(Money, TextAndParseAreTheSameUnderEveryLanguageSetting)
{
    for (const char* language : {"bg_BG.UTF-8", "en_US.UTF-8", "C", "de_DE.UTF-8"}) {
        const LanguageSetting setting(language);
        for (const std::int64_t s : {0LL, 1LL, 1250LL, 123456LL, -9876543LL, 100000000000LL}) {
            const Money m = Money::fromStotinki(s);
            EXPECT_EQ(Money::parse(m.text()), m) << language << " " << s;
            EXPECT_EQ(Money::parse(u' ' + m.text()), m) << language << " " << s;
        }
        EXPECT_EQ(Money::fromStotinki(-123456750).text(), "-1\u00A0234\u00A0567,50") << language;
    }
}

TEST(Money, TextIsBulgarianWhateverTheSign)
{
    const QString nbsp(QChar(0x00A0));
    EXPECT_EQ(Money::fromStotinki(0).text(), "0,00");
    EXPECT_EQ(Money::fromStotinki(5).text(), "0,05");
    EXPECT_EQ(Money::fromStotinki(-123456750).text(), "-1" + nbsp + "234" + nbsp + "567,50");
    const Money lowest = Money::fromStotinki(std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(Money::parse(lowest.text()), std::nullopt); // one stotinka beyond the positive range
    const Money highest = Money::fromStotinki(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Money::parse(highest.text()), highest);
}

TEST(Money, SumsThatOverflowAreRefused)
{
    // A figure beyond the range is told from a text that is no figure.
    for (const auto& [text, outside] : {std::pair{"92233720368547758,08", true},
                                        {"-99999999999999999999", true},
                                        {"9,99x", false}}) {
        bool outOfRange = !outside;
        EXPECT_EQ(Money::parse(QString::fromLatin1(text), &outOfRange), std::nullopt);
        EXPECT_EQ(outOfRange, outside) << text;
    }
    const Money highest = Money::fromStotinki(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(highest.plus(Money::fromStotinki(1)), std::nullopt);
    EXPECT_EQ(Money::fromStotinki(-2).minus(highest), std::nullopt);
    EXPECT_EQ(highest.minus(Money::fromStotinki(1))->stotinki(),
              std::numeric_limits<std::int64_t>::max() - 1);
}

} // namespace
