// The integrity hash: vectors worked out by hand from the definition, the long-text limit, and
// the hash of a whole report as a receiver recomputes it.

#include "core/ReportHash.h"

#include <gtest/gtest.h>

using namespace kvor;

namespace {

struct HashCase
{
    const char* name;
    const char16_t* text;
    const char* expected;
};

class HashVectors : public ::testing::TestWithParam<HashCase>
{
};

TEST_P(HashVectors, Match)
{
    const auto hash = DocumentHash(QString::fromUtf16(GetParam().text));
    ASSERT_TRUE(hash.has_value());
    EXPECT_EQ(hash->toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HashVectors,
    ::testing::Values(
        HashCase{"empty", u"", "0_0_0"},
        // A runs 157, 6, 159; B = 158 + 157 + 156; C = 471 + 294.
        HashCase{"abc", u"abc", "159_471_765"},
        // Cyrillic by its Windows-1251 code (А is 192, я is 255), not by its Unicode value.
        HashCase{"cyrillic_capital_a", u"А", "62_63_255"},
        HashCase{"cyrillic_small_ya", u"я", "511_0_255"},
        HashCase{"euro_sign_is_0x88", u"€", "118_119_255"},
        // No Windows-1251 form: counted as '?'.
        HashCase{"han_counts_as_question_mark", u"中", "191_192_255"},
        // Outside the BMP: two UTF-16 units, two question marks.
        HashCase{"surrogate_pair_is_two_characters", u"\U0001F600", "1_384_510"},
        // Swapping characters moves only the first number.
        HashCase{"ab", u"ab", "6_315_510"}, HashCase{"ba", u"ba", "0_315_510"},
        HashCase{"amount_text", u"Дълг 12,50", "43_1366_2550"},
        HashCase{"element_with_empty_hash", u"<positions hash=\"\"/>", "206_3350_5100"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HashLimit, TheLongestTextFitsAndOneMoreCharacterHasNoHash)
{
    QString text(kLongestHashedText, QChar(u'я'));
    const auto longest = DocumentHash(text);
    ASSERT_TRUE(longest.has_value());
    // Every position cancels the one before in pairs: 8,421,504 is even.
    EXPECT_EQ(longest->toStdString(), "0_0_2147483520");
    text += u'a';
    EXPECT_FALSE(DocumentHash(text).has_value());
}

} // namespace
