// Where reports live: the file-name rule, the previous month's name, and the check that keeps a
// municipality's code from leading a file name out of Data.

#include "core/PrevData.h"
#include "core/ReportName.h"
#include "support/FakePlatform.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string_view>

using namespace kvor;
using namespace std::string_view_literals;

namespace {

struct PeriodCase
{
    const char* text;     // as a report names its month
    const char* fileName; // of municipality 1234; "" when the text is no period
    const char* previous; // the month before, as a report names it
};

class Periods : public ::testing::TestWithParam<PeriodCase>
{
};

TEST_P(Periods, AreReadOnlyAsWrittenAndNameTheReportAndTheMonthBefore)
{
    const PeriodCase& c = GetParam();
    const auto period = Period::fromText(QString::fromUtf8(c.text));
    ASSERT_EQ(period.has_value(), *c.fileName != 0);
    if (!period) {
        return;
    }
    EXPECT_EQ(period->text().toStdString(), c.text);
    EXPECT_EQ(ReportFileName("1234", period->yearText(), period->monthText()).toStdString(),
              c.fileName);
    EXPECT_EQ(period->previous().text().toStdString(), c.previous);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Periods,
    ::testing::Values(PeriodCase{"01 / 2004", "mfddd_sd_1234_2004_01.xml", "12 / 2003"},
                      PeriodCase{"10 / 2004", "mfddd_sd_1234_2004_10.xml", "09 / 2004"},
                      PeriodCase{"12 / 2099", "mfddd_sd_1234_2099_12.xml", "11 / 2099"},
                      PeriodCase{"13 / 2004", "", ""}, PeriodCase{"00 / 2004", "", ""},
                      PeriodCase{"3 / 2004", "", ""}, PeriodCase{"03/2004", "", ""},
                      PeriodCase{"01 / 2004 ", "", ""}, PeriodCase{"01 - 2004", "", ""},
                      PeriodCase{"03 / ../a", "", ""}, PeriodCase{"03 / 20041", "", ""},
                      PeriodCase{"03 / 2004\n", "", ""}, PeriodCase{"03 / 2004\r\n", "", ""},
                      PeriodCase{"", "", ""}));

TEST(ReportPaths, AreInDataBelowTheProgramFolder)
{
    test::FakePlatform fake;
    QTemporaryDir dir;
    fake.folder = dir.path();
    EXPECT_EQ(ReportFilePath("1234", "2005", "03"), dir.path() + "/Data/mfddd_sd_1234_2005_03.xml");
    // A register row without a code: two underscores in a row; the code is used unchanged.
    EXPECT_EQ(ReportFileName("", "2004", "01"), "mfddd_sd__2004_01.xml");
    EXPECT_EQ(ReportFileName("07 1", "2004", "01"), "mfddd_sd_07 1_2004_01.xml");
    EXPECT_EQ(PreviousReportPath("1234", Period(1, 2004)),
              dir.path() + "/Data/mfddd_sd_1234_2003_12.xml");
    // A code that would lead out of Data gives no previous report at all.
    EXPECT_EQ(PreviousReportPath("/../x", Period(5, 2004)), QString());
}

// A code is safe only when it stays a plain file name on every system a report may travel to.
TEST(EbkCodes, AreSafeOnlyWhenTheyStayAPlainName)
{
    for (const std::u16string_view code : {u"5101"sv, u""sv, u"51 01"sv, u"Б12"sv, u"51.01"sv}) {
        EXPECT_TRUE(IsSafeEbkCode(QString::fromUtf16(code.data(), qsizetype(code.size()))))
            << QString::fromUtf16(code.data(), qsizetype(code.size())).toStdString();
    }
    for (const std::u16string_view code :
         {u"a/b"sv,       u"a\\b"sv,     u".."sv,       u"x..y"sv,  u"/../../etc/passwd"sv,
          u"C:x"sv,       u"a<b"sv,      u"a>b"sv,      u"a\"b"sv,  u"a|b"sv,
          u"a?b"sv,       u"a*b"sv,      u"a\0b"sv,     u"a\tb"sv,  u"a\nb"sv,
          u"a\u007Fb"sv,  u"a\u0085b"sv, u"a\u202Eb"sv, u" 5101"sv, u"5101 "sv,
          u"5101\u00A0"sv}) {
        EXPECT_FALSE(IsSafeEbkCode(QString::fromUtf16(code.data(), qsizetype(code.size()))))
            << QString::fromUtf16(code.data(), qsizetype(code.size())).toStdString();
    }
}

} // namespace
