// Where reports live: the file-name rule, the previous month's name, and the check that keeps a
// municipality's code from leading a file name out of Data.

#include "core/AppState.h"
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
    const char* name;
    const char* ebk;
    const char* year;
    const char* month;
    const char* fileName;
    const char* previous; // month and year before, "/" when there is none
};

class Periods : public ::testing::TestWithParam<PeriodCase>
{
};

TEST_P(Periods, NameTheReportAndTheMonthBefore)
{
    const PeriodCase& c = GetParam();
    const QString year = QString::fromUtf8(c.year);
    const QString month = QString::fromUtf8(c.month);
    EXPECT_EQ(ReportFileName(QString::fromUtf8(c.ebk), year, month).toStdString(), c.fileName);
    const PrevPeriod prev = PreviousPeriod(month, year);
    EXPECT_EQ((prev.month + u'/' + prev.year).toStdString(), c.previous);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Periods,
    ::testing::Values(
        PeriodCase{"january", "1234", "2004", "01", "mfddd_sd_1234_2004_01.xml", "12/2003"},
        PeriodCase{"october", "1234", "2004", "10", "mfddd_sd_1234_2004_10.xml", "09/2004"},
        PeriodCase{"december", "5101", "2005", "12", "mfddd_sd_5101_2005_12.xml", "11/2005"},
        // A register row without a code: two underscores in a row.
        PeriodCase{"empty_code", "", "2004", "01", "mfddd_sd__2004_01.xml", "12/2003"},
        // The code is used unchanged: no blanks removed, no digits added.
        PeriodCase{"code_unchanged", "07 1", "2004", "01", "mfddd_sd_07 1_2004_01.xml", "12/2003"},
        PeriodCase{"month_zero", "1", "2004", "00", "mfddd_sd_1_2004_00.xml", "/"},
        PeriodCase{"no_number", "1", "2004", "ab", "mfddd_sd_1_2004_ab.xml", "/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportPaths, AreInDataBelowTheProgramFolderAndThePreviousOneCreatesData)
{
    test::FakePlatform fake;
    QTemporaryDir dir;
    fake.folder = dir.path();
    EXPECT_EQ(ReportFilePath("1234", "2005", "03"), dir.path() + "/Data/mfddd_sd_1234_2005_03.xml");
    EXPECT_EQ(GetPrevFileName("1234", "01", "2004"),
              dir.path() + "/Data/mfddd_sd_1234_2003_12.xml");
    EXPECT_TRUE(QFileInfo(dir.filePath("Data")).isDir());
    // A year that would lead out of Data gives no previous report at all.
    EXPECT_EQ(GetPrevFileName("1234", "05", "/../"), QString());
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
