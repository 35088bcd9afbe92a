// Conversion between the program's UTF-8 text and the library's wide characters.

#include "text_codec.h"

#include <gtest/gtest.h>
#include <langinfo.h>

#include <clocale>
#include <string>

namespace framefit {
namespace {

class TextCodecTest : public testing::Test {
 protected:
  void SetUp() override { SetUpTextLocale(); }
};

TEST_F(TextCodecTest, LocaleReadsUtf8AndWritesNumbersWithAPoint) {
  EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST_F(TextCodecTest, NonAsciiTextSurvivesTheRoundTrip) {
  const std::string text = "Über größe clip – 日本 \U0001F3AC.avi";
  const std::optional<std::wstring> wide = ToWide(text);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(*wide, L"Über größe clip – 日本 \U0001F3AC.avi");
  EXPECT_EQ(FromWide(*wide), text);
}

TEST_F(TextCodecTest, EmbeddedNullCharacterIsKept) {
  const std::optional<std::wstring> wide = ToWide(std::string_view("a\0b", 3));
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(*wide, std::wstring(L"a\0b", 3));
}

TEST_F(TextCodecTest, InvalidUtf8IsNotText) {
  for (const char* bytes : {"\xff", "clip\x80.avi", "\xc3", "caf\xc3", "\xed\xa0\x80" /* surrogate */,
                            "\xc0\xaf" /* overlong */}) {
    EXPECT_EQ(ToWide(bytes), std::nullopt) << bytes;
  }
}

TEST_F(TextCodecTest, CharacterWithoutUtf8FormBecomesQuestionMark) {
  std::wstring text = L"a";
  text.push_back(static_cast<wchar_t>(0xD800));  // half a UTF-16 surrogate pair: no character
  text += L"ü";
  EXPECT_EQ(FromWide(text), "a?ü");
}

}  // namespace
}  // namespace framefit
