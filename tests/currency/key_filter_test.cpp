// The key filter rule by rule: text, caret and selection before the key, what goes in, and the
// text, caret and selection the filter leaves.
#include "currency/eurobox/key_filter.h"

#include <gtest/gtest.h>

namespace nx::eurobox {
namespace {

struct Row {
  const char* name;
  const char* text;
  int selStart;
  int selLength;
  char32_t key;
  int decimals;
  int maxLeft;
  char32_t goesIn;    // 0: rejected
  const char* after;  // text afterwards
  int afterStart;
  int afterLength;
};

constexpr char32_t kBack = 8;

const Row kRows[] = {
    {"digit at the end of the integer part", "12", 2, 0, U'3', 2, 9, U'3', "12", 2, 0},
    {"letter refused", "12", 2, 0, U'a', 2, 9, 0, "12", 2, 0},
    {"blank refused", "12", 2, 0, U' ', 2, 9, 0, "12", 2, 0},
    {"enter refused", "12", 2, 0, U'\r', 2, 9, 0, "12", 2, 0},
    {"point becomes comma", "12", 2, 0, U'.', 2, 9, U',', "12", 2, 0},
    {"comma with no decimals refused", "12", 2, 0, U',', 0, 9, 0, "12", 2, 0},
    {"point with no decimals refused", "12", 2, 0, U'.', 0, 9, 0, "12", 2, 0},
    {"second comma selects the decimals", "12,34", 1, 0, U',', 2, 9, 0, "12,34", 3, 2},
    {"second point selects the decimals", "1,5", 0, 0, U'.', 3, 9, 0, "1,5", 2, 3},
    {"decimal beyond the limit refused", "12,34", 5, 0, U'5', 2, 9, 0, "12,34", 5, 0},
    {"decimal beyond the limit with a selection", "12,34", 4, 1, U'5', 2, 9, U'5', "12,34", 4, 1},
    {"decimal below the limit", "12,3", 4, 0, U'4', 2, 9, U'4', "12,3", 4, 0},
    {"integer digit while the decimals are full", "12,34", 1, 0, U'5', 2, 9, U'5', "12,34", 1, 0},
    {"integer digit at the limit refused", "123", 3, 0, U'4', 2, 3, 0, "123", 3, 0},
    {"integer digit at the limit in front", "123,45", 0, 0, U'9', 2, 3, 0, "123,45", 0, 0},
    {"the sign counts as a digit", "-12", 3, 0, U'3', 2, 3, 0, "-12", 3, 0},
    {"integer digit at the limit with a selection", "123", 0, 3, U'4', 2, 3, U'4', "123", 0, 3},
    {"empty integer part counts as 0", "", 0, 0, U'1', 2, 1, 0, "", 0, 0},
    {"empty integer part before a comma counts as 0", ",50", 0, 0, U'1', 2, 1, 0, ",50", 0, 0},
    {"leading zeros do not count", "00", 2, 0, U'5', 2, 2, U'5', "00", 2, 0},
    {"backspace after the comma steps over it", "12,34", 3, 0, kBack, 2, 9, 0, "12,34", 2, 0},
    {"backspace elsewhere goes in", "12,34", 5, 0, kBack, 2, 9, kBack, "12,34", 5, 0},
    {"backspace after the comma with a selection", "12,34", 3, 2, kBack, 2, 9, 0, "12,34", 2, 0},
    {"minus makes the amount negative", "12,50", 2, 0, U'-', 2, 9, 0, "-12,50", 3, 0},
    {"minus again makes it positive", "-12,50", 3, 0, U'-', 2, 9, 0, "12,50", 2, 0},
    {"minus at the start of a negative amount", "-12", 0, 0, U'-', 2, 9, 0, "12", 0, 0},
    {"minus on an empty box", "", 0, 0, U'-', 2, 9, 0, "-", 1, 0},
    {"nothing in front of the sign", "-12", 0, 0, U'5', 2, 9, 0, "-12", 0, 0},
    {"comma in front of the sign refused", "-12", 0, 0, U',', 2, 9, 0, "-12", 0, 0},
    {"digit after the sign", "-12", 1, 0, U'5', 2, 9, U'5', "-12", 1, 0},
};

TEST(KeyFilter, EveryRuleWithCaretAndSelection) {
  for (const Row& r : kRows) {
    EditState s{r.text, r.selStart, r.selLength};
    const char32_t in = filterKey(r.key, s, r.decimals, r.maxLeft);
    EXPECT_EQ(in, r.goesIn) << r.name;
    EXPECT_EQ(s.text, r.after) << r.name;
    EXPECT_EQ(s.selStart, r.afterStart) << r.name;
    EXPECT_EQ(s.selLength, r.afterLength) << r.name;
    EXPECT_EQ(s.textChanged, s.text != r.text) << r.name;
  }
}

}  // namespace
}  // namespace nx::eurobox
