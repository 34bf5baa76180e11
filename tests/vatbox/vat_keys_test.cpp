// The key filter of the number box: which typed characters go in, and in which case.
#include "taxid/vatbox/vat_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace nx::vatbox {
namespace {

struct KeyCase {
  char32_t typed;
  const char* text;  // what the box holds already
  bool findNumber;
  char32_t expected;  // 0: discarded
};

TEST(VatKeyFilter, AcceptsLettersInTheirCaseDigitsAndTheEditingKeys) {
  const KeyCase cases[] = {
      {U'a', "", true, U'a'},    {U'z', "", false, U'z'},   {U'A', "", true, U'A'},
      {U'Z', "U1", false, U'Z'}, {U'0', "", true, U'0'},    {U'9', "", false, U'9'},
      {8, "", false, 8},         {13, "", false, 13},       {8, "12?", true, 8},
      {13, "12?", true, 13},     {U'q', "12?", true, U'q'}, {U'5', "12?", false, U'5'},
  };
  for (const KeyCase& c : cases)
    EXPECT_EQ(filterVatKey(c.typed, c.text, c.findNumber), c.expected)
        << static_cast<std::uint32_t>(c.typed) << " after \"" << c.text << "\"";
}

TEST(VatKeyFilter, RefusesPunctuationBlanksAndLettersOutsideTheAlphabet) {
  for (char32_t ch : {U'!', U'-', U' ', U'.', U'/', U'@', U'[', U'`', U'{', U'\u00E9', U'\u00C9',
                      U'\u00DF', U'\u20AC', char32_t{9}, char32_t{27}, char32_t{0}}) {
    EXPECT_EQ(filterVatKey(ch, "", true), 0u) << static_cast<std::uint32_t>(ch);
    EXPECT_EQ(filterVatKey(ch, "AB12", false), 0u) << static_cast<std::uint32_t>(ch);
  }
  // Neighbours of the digits, and letters whose Unicode upper case is "I" or "S".
  for (char32_t ch : {U':', U'/', U'\u0131', U'\u017F'})
    EXPECT_EQ(filterVatKey(ch, "", true), 0u) << static_cast<std::uint32_t>(ch);
}

TEST(VatKeyFilter, QuestionMarkOnlyWithCompletionAndOnlyOnce) {
  EXPECT_EQ(filterVatKey(U'?', "", true), U'?');
  EXPECT_EQ(filterVatKey(U'?', "1234", true), U'?');
  EXPECT_EQ(filterVatKey(U'?', "", false), 0u);
  EXPECT_EQ(filterVatKey(U'?', "1234", false), 0u);
  EXPECT_EQ(filterVatKey(U'?', "12?4", true), 0u);
  EXPECT_EQ(filterVatKey(U'?', "?", true), 0u);
  EXPECT_EQ(filterVatKey(U'?', "1234?", true), 0u);
}

}  // namespace
}  // namespace nx::vatbox
