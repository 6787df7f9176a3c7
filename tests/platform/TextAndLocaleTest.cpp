#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Language.h"
#include "platform/SjisText.h"
#include "support/ScopedEnv.h"

namespace kvt {
namespace {

TEST(Language, JapaneseOnlyForJaLocales) {
    test::ScopedEnv all("LC_ALL", nullptr);
    test::ScopedEnv messages("LC_MESSAGES", nullptr);
    test::ScopedEnv language("LANG", nullptr);
    EXPECT_EQ(languageFromLocale(), 1);
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(languageFromLocale(), 0);
    setenv("LC_MESSAGES", "en_GB.UTF-8", 1);
    EXPECT_EQ(languageFromLocale(), 1);
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    EXPECT_EQ(languageFromLocale(), 0);
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(languageFromLocale(), 1);
}

TEST(SjisText, ConvertsBothWays) {
    EXPECT_EQ(sjisToUtf8("\x89\xBA\x8C\xC0\xB1\xD7\xB0\xD1"), "下限ｱﾗｰﾑ");
    EXPECT_EQ(utf8ToSjis("１グループ"), "\x82\x50\x83\x4F\x83\x8B\x81\x5B\x83\x76");
    EXPECT_EQ(sjisToUtf8("Group1 Pen1"), "Group1 Pen1");
}

TEST(SjisText, DamagedBytesDoNotStopConversion) {
    // A lone lead byte at the end (a tag cut in the middle of a character).
    std::string text = sjisToUtf8(std::string("AB\x82", 3));
    EXPECT_EQ(text.substr(0, 2), "AB");
}

TEST(SjisText, CharacterLengths) {
    EXPECT_EQ(sjisCharLength("A"), 1);
    EXPECT_EQ(sjisCharLength("\xB1"), 1);  // half-width katakana
    EXPECT_EQ(sjisCharLength("\x82\x50"), 2);
    EXPECT_EQ(sjisCharLength("\x82"), 1);
}

}  // namespace
}  // namespace kvt
