// Inputs no real number looks like: empty, blanks, control and non-ASCII bytes, embedded
// NUL, very long texts. Every operation answers with false, -1 or "".
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/nif_validator.h"

using namespace nx::taxid;

TEST(HostileInput, EveryRuleRejectsGarbage) {
  const std::string texts[] = {
      "",
      " ",
      std::string(9, ' '),
      std::string(9, '\0'),
      std::string("1234\0"
                  "5678",
                  9),
      "\xFF\xFE\xFD\xFC\xFB\xFA\xF9\xF8\xF7",
      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3",
      std::string(100000, '9'),
      std::string(100000, '?'),
      "---------",
  };
  for (int index = 0; index < kCountryCount; ++index)
    for (const std::string& text : texts) EXPECT_FALSE(checkNumber(text, index)) << index;
}

TEST(HostileInput, CompletionAndSplitNeverFail) {
  std::string huge(100000, 'A');
  huge[50000] = '?';
  EXPECT_EQ(completeNumber(huge, -1), "");
  EXPECT_EQ(completeNumber(huge, 5), "");
  EXPECT_EQ(completeNumber(std::string(3, '\0'), -1), "");
  EXPECT_EQ(completeNumber(std::string("ES1234567\0?", 11), -1), "");

  std::string blank(100000, ' ');
  int index = 5;
  splitCountryPrefix(blank, index, true);
  EXPECT_EQ(blank, "");
  EXPECT_EQ(index, -1);

  std::string nul("\0\0\0\0\0\0\0", 7);
  splitCountryPrefix(nul, index, true);
  EXPECT_EQ(nul.size(), 7u);
  EXPECT_EQ(index, -1);
}

TEST(HostileInput, RandomBytesAcrossAllOperations) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(rng() % 16, '\0');
    for (char& c : text) c = static_cast<char>(rng() % 4 ? "0123456789?AEBU "[rng() % 16] : rng());
    const int index = static_cast<int>(rng() % 31) - 2;
    const bool ok = checkNumber(text, index);
    if (index < 0 || index >= kCountryCount) {
      EXPECT_TRUE(ok);
    }
    const std::string completed = completeNumber(text, index);
    if (!completed.empty() && index >= 0 && index < kCountryCount &&
        text.find('?') != std::string::npos) {
      // A completion carries no "?" any more.
      EXPECT_EQ(completed.find('?'), std::string::npos) << text;
    }
    std::string copy = text;
    int found = 0;
    splitCountryPrefix(copy, found, round % 2 == 0);
    EXPECT_GE(found, -1);
    EXPECT_LT(found, kCountryCount);
    EXPECT_LE(copy.size(), text.size());
  }
}
