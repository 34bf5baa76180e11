#include "core/runtime/text.h"

#include <gtest/gtest.h>

namespace nx {
namespace {

TEST(Text, CaseFoldingIsAsciiOnly) {
  EXPECT_TRUE(equalsNoCase("BarColor", "barcolor"));
  EXPECT_FALSE(equalsNoCase("BarColor", "barcolo"));
  EXPECT_FALSE(equalsNoCase("\xC3\x84", "\xC3\xA4"));  // non-ASCII letters stay as they are
  EXPECT_TRUE(equalsNoCase(std::wstring_view(L"Name"), std::wstring_view(L"NAME")));
  EXPECT_TRUE(lessNoCase("abc", "ABD"));
  EXPECT_FALSE(lessNoCase("ABC", "abc"));
  EXPECT_FALSE(lessNoCase("abc", "ABC"));
}

TEST(Text, AccessKeyIsTheLetterAfterTheLastSingleAmpersand) {
  EXPECT_EQ(accessKeyOf("&Next"), 'n');
  EXPECT_EQ(accessKeyOf("Save &As"), 'a');
  EXPECT_EQ(accessKeyOf("&First &Second"), 's');
  EXPECT_EQ(accessKeyOf("Fish && Chips"), 0);
  EXPECT_EQ(accessKeyOf("Fish && &Chips"), 'c');
  EXPECT_EQ(accessKeyOf("&&&X"), 'x');
  EXPECT_EQ(accessKeyOf("Trailing&"), 0);
  EXPECT_EQ(accessKeyOf(""), 0);
}

TEST(Text, LinesEndAtCrLfAndCrLf) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(splitLines("a\r\n"), (V{"a", ""}));
  EXPECT_EQ(splitLines("\n\r"), (V{"", "", ""}));
  EXPECT_EQ(splitLines(""), (V{""}));
}

}  // namespace
}  // namespace nx
