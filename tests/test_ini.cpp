// kvor.ini: the delimited-field reading, the key rule and the one line the program writes.

#include "core/KvorIni.h"
#include "core/Messages.h"
#include "gui/FailureMessages.h"
#include "support/FakePlatform.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvor;

namespace {

std::optional<short> positionOf(const char* text)
{
    return FindRememberedPosition(ReadDelimitedFields(QString::fromUtf8(text)));
}

struct KeyCase
{
    const char* name;
    const char* text;
    std::optional<short> expected;
};

class IniKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(IniKeys, GivesThePositionOrNone)
{
    EXPECT_EQ(positionOf(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniKeys,
    ::testing::Values(
        KeyCase{"written_form", "\"oba 5\"\r\n", 5},
        KeyCase{"no_key", "\"abc 5\"\r\nxyz\r\n", std::nullopt},
        KeyCase{"last_wins_unquoted_then_quoted", "oba 3\r\n\"oba 7\"\r\n", 7},
        KeyCase{"negative", "\"oba -2\"\r\n", -2},
        KeyCase{"blanks_around_value", "\"oba    12   \"\r\n", 12},
        KeyCase{"leading_blanks_skipped", "   oba 4\r\n", 4},
        KeyCase{"comma_ends_unquoted_field", "oba 4,oba 9x\r\n", 4},
        KeyCase{"comma_inside_quotes", "\"oba 1,2\"\r\n", std::nullopt},
        KeyCase{"key_is_case_sensitive", "\"Oba 5\"\r\n", std::nullopt},
        KeyCase{"prefix_is_not_the_key", "xoba 4\r\n", std::nullopt},
        // A value that is no 16-bit integer is passed over (it used to stop the program).
        KeyCase{"nothing_after_key", "\"oba\"\r\n", std::nullopt},
        KeyCase{"obama", "obama\r\n", std::nullopt},
        KeyCase{"out_of_range", "\"oba 40000\"\r\n", std::nullopt},
        KeyCase{"just_out_of_range", "\"oba 32768\"\r\n", std::nullopt},
        KeyCase{"bad_value_keeps_earlier", "\"oba 12\"\r\n\"oba x\"\r\n", 12},
        KeyCase{"lf_only_and_no_final_newline", "oba 1\noba 2", 2},
        KeyCase{"edge_of_range", "\"oba -32768\",\"oba 32767\"", 32767}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFields, QuotesAreRemovedAndMayHoldCommas)
{
    EXPECT_EQ(ReadDelimitedFields(QStringLiteral("\"a,b\",  c ,\"d\"junk,e\r\nf")),
              QStringList({"a,b", "c", "d", "e", "f"}));
}

class IniFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fake.folder = dir.path();
        path = dir.filePath(QStringLiteral("kvor.ini"));
    }
    void write(const QByteArray& bytes) { ASSERT_TRUE(test::WriteBytes(path, bytes)); }
    QByteArray read() const { return test::ReadBytes(path); }

    QTemporaryDir dir;
    test::FakePlatform fake;
    QString path;
};

TEST_F(IniFile, RememberingRewritesTheWholeFileAndTheNextReadFindsIt)
{
    write("\"oba 3\"\r\nsomething else\r\n");
    EXPECT_TRUE(RememberMunicipality(12).ok());
    EXPECT_EQ(read(), QByteArray("\"oba 12\"\r\n"));
    const auto position = ReadRememberedMunicipality(path);
    ASSERT_TRUE(position.ok());
    EXPECT_EQ(*position, std::optional<int>(12));
}

TEST_F(IniFile, IsReadAsWindows1251AndANegativeOrMissingKeyNamesNone)
{
    // A Cyrillic field before the key must not disturb the reading.
    for (const auto& [bytes, expected] :
         {std::pair<QByteArray, std::optional<int>>{"\"\xEE\xE1\xF9\xE8\xED\xE0\",\"oba 8\"\r\n",
                                                    8},
          std::pair<QByteArray, std::optional<int>>{"\"oba -1\"\r\n", std::nullopt},
          std::pair<QByteArray, std::optional<int>>{"\"abc\"\r\n", std::nullopt}}) {
        write(bytes);
        const auto position = ReadRememberedMunicipality(path);
        ASSERT_TRUE(position.ok());
        EXPECT_EQ(*position, expected);
    }
    QFile::remove(path);
    EXPECT_EQ(ReadRememberedMunicipality(path).failure().kind, Failure::Kind::NotFound);
}

// What the user is told: a missing file ends the program, a protected one is only reported.
TEST_F(IniFile, FailedRememberingIsToldAndLeavesTheFileAsItWas)
{
    const Status missing = RememberMunicipality(4);
    ASSERT_FALSE(missing.ok());
    TellFailure(missing.failure());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, msg::kNoIniFile);
    EXPECT_EQ(fake.messages[0].title, msg::kTitleWarning);
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(fake.ended);
    EXPECT_NE(fake.endCode, 0);
    EXPECT_FALSE(QFile::exists(path));

    fake.messages.clear();
    fake.ended = false;
    write("\"oba 3\"\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const Status denied = RememberMunicipality(9);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_FALSE(denied.ok());
    TellFailure(denied.failure());
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, msg::kIniReadOnly);
    EXPECT_EQ(fake.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(fake.ended);
    EXPECT_EQ(read(), QByteArray("\"oba 3\"\r\n"));
}

} // namespace
