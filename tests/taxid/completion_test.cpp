#include <gtest/gtest.h>

#include <string>

#include "engine/nif_validator.h"

using namespace nx::taxid;

namespace {
constexpr int AT = 0, ES = 9, SI = 25, SK = 26;
}

TEST(Completion, KnownCountry) {
  EXPECT_EQ(completeNumber("12345678?", ES), "12345678Z");
  EXPECT_EQ(completeNumber("1234567?Z", ES), "12345678Z");
  EXPECT_EQ(completeNumber("U1358562?", AT), "U13585627");
  EXPECT_EQ(completeNumber("U?3585627", AT), "U13585627");
  // Normalised first: blanks trimmed, letters upper-cased.
  EXPECT_EQ(completeNumber("  u1358562?  ", AT), "U13585627");
  // Without "?" the missing last character is completed.
  EXPECT_EQ(completeNumber("U1358562", AT), "U13585627");
  // Nothing completes: "".
  EXPECT_EQ(completeNumber("U135856", AT), "");
  EXPECT_EQ(completeNumber("?", AT), "");
  EXPECT_EQ(completeNumber("", AT), "");
}

TEST(Completion, PrefixOverridesCallersCountry) {
  EXPECT_EQ(completeNumber("ES12345678?", AT), "12345678Z");
  EXPECT_EQ(completeNumber("es12345678?", -1), "12345678Z");
  EXPECT_EQ(completeNumber("ATU1358562?", ES), "U13585627");
  // An unknown prefix is not stripped and is part of the number.
  EXPECT_EQ(completeNumber("XX12345678?", ES), "");
}

TEST(Completion, ValidNumberGetsOneMoreCharacter) {
  // A complete Spanish number plus one character is nine-plus-one long: nothing fits.
  EXPECT_EQ(completeNumber("12345678Z", ES), "");
  // A Romanian number of 2..9 digits gains a valid last digit.
  const std::string longer = completeNumber("18547290", 23);
  EXPECT_EQ(longer.size(), 9u);
  EXPECT_TRUE(longer.empty() || checkNumber(longer, 23));
}

TEST(Completion, TwoMarksGiveNothing) {
  for (int index : {-1, AT, ES, 27}) EXPECT_EQ(completeNumber("1234567??", index), "") << index;
  EXPECT_EQ(completeNumber("?2345678?", ES), "");
  EXPECT_EQ(completeNumber("ES?2345678?", -1), "");
}

TEST(Completion, NoCountrySearchesTableOrder) {
  // The first country in table order that accepts a candidate wins, with its code in front.
  const std::string result = completeNumber("12345678?", -1);
  ASSERT_GE(result.size(), 2u);
  const int found = countryIndex(result.substr(0, 2));
  ASSERT_NE(found, -1);
  EXPECT_TRUE(checkNumber(result.substr(2), found));
  for (int earlier = 0; earlier < found; ++earlier)
    EXPECT_EQ(completeNumber("12345678?", earlier), "") << earlier;
  // A lone "?" is completed by the first country taking one character: none does.
  EXPECT_EQ(completeNumber("?", -1), "");
}

TEST(Completion, SloveniaAndSlovakiaAreNotSearched) {
  // Every numeric body of eight or ten digits is completed by some earlier state (Hungary's
  // and Romania's check digits always exist), so the search over countries answers with the
  // first of those in table order and never with SI or SK, even for their own numbers.
  ASSERT_EQ(completeNumber("1501255?", SI), "15012557");
  ASSERT_EQ(completeNumber("202274961?", SK), "2022749619");
  for (const std::string body : {"1501255?", "202274961?", "1?012557", "20227?9619"}) {
    const std::string result = completeNumber(body, -1);
    ASSERT_GE(result.size(), 2u) << body;
    const int country = countryIndex(result.substr(0, 2));
    EXPECT_LT(country, SI) << body << " -> " << result;
    EXPECT_EQ(completeNumber(body, country), result.substr(2));
    for (int earlier = 0; earlier < country; ++earlier)
      EXPECT_EQ(completeNumber(body, earlier), "") << body << " in " << earlier;
  }
}

TEST(Completion, OtherIndexesOutsideTheTableAcceptTheFirstCandidate) {
  // Only -1 starts the search over countries; any other index outside the table accepts
  // every text, so the first character of the alphabet completes.
  EXPECT_EQ(completeNumber("123?", 27), "1230");
  EXPECT_EQ(completeNumber("123", -2), "1230");
}
