// The country list as data: rows at the pitch of the flags, the highlight moved by the keys with
// the list scrolling by one highlight when it leaves the window, and the mouse.
#include "taxid/vatbox/country_list.h"

#include <gtest/gtest.h>

namespace nx::vatbox {
namespace {

constexpr std::uint16_t kDown = 40, kUp = 38, kEnter = 13, kEscape = 27;

// Flags of 16 pixels at 15 twips a pixel: rows 240 high at a pitch of 255, the first at 15;
// the window shows 2295 twips of the 6900 the rows take.
TEST(CountryList, GeometryOfTheRowsAndTheScrollBar) {
  const ListGeometry g;
  EXPECT_EQ(g.flagTop(0), 15);
  EXPECT_EQ(g.flagTop(26), 6645);
  EXPECT_EQ(g.listHeight(), 6900);
  EXPECT_EQ(g.scrollMax(), 4605);
  EXPECT_EQ(g.smallStep(), 255);
  EXPECT_EQ(g.largeStep(), 1020);
  ListGeometry tall;
  tall.innerHeight = 9000;  // every row shows: the bar does not go below 0
  EXPECT_EQ(tall.scrollMax(), 0);
}

TEST(CountryList, DownWalksToTheLastRowScrollingOneRowAtATime) {
  CountryList list;
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(list.scroll(), 0);
  // The highlight leaves the window (top - scroll + 15 > 2295) first at row 9.
  for (int row = 1; row <= 26; ++row) {
    EXPECT_EQ(list.key(kDown), ListKey::Moved);
    EXPECT_EQ(list.selected(), row);
    EXPECT_EQ(list.highlightTop(), 255.0 * row + 15);
    const double expected = row < 9 ? 0 : 255.0 * (row - 8);
    EXPECT_EQ(list.scroll(), expected) << "after Down to row " << row;
  }
  EXPECT_EQ(list.selected(), 26);  // SK
  EXPECT_EQ(list.scroll(), 4590);
  // A 27th press changes nothing.
  EXPECT_EQ(list.key(kDown), ListKey::Moved);
  EXPECT_EQ(list.selected(), 26);
  EXPECT_EQ(list.highlightTop(), 6645);
  EXPECT_EQ(list.scroll(), 4590);
}

TEST(CountryList, UpScrollsBackOnlyWhenTheHighlightLeavesTheTop) {
  CountryList list;
  for (int i = 0; i < 26; ++i) list.key(kDown);
  ASSERT_EQ(list.scroll(), 4590);
  // Rows 25 to 18 are still in the window; row 17 is above it (4350 - 4590 + 15 < 0).
  for (int row = 25; row >= 18; --row) {
    list.key(kUp);
    EXPECT_EQ(list.scroll(), 4590) << "after Up to row " << row;
  }
  list.key(kUp);
  EXPECT_EQ(list.selected(), 17);
  EXPECT_EQ(list.scroll(), 4335);
  for (int row = 16; row >= 0; --row) {
    list.key(kUp);
    EXPECT_EQ(list.scroll(), 255.0 * row) << "after Up to row " << row;
  }
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(list.highlightTop(), 15);
}

TEST(CountryList, UpOnTheFirstRowAndOtherKeysDoNothing) {
  CountryList list;
  EXPECT_EQ(list.key(kUp), ListKey::Moved);
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(list.highlightTop(), 0);  // not even moved onto the first row
  EXPECT_EQ(list.scroll(), 0);
  for (std::uint16_t k : {std::uint16_t{0}, std::uint16_t{37}, std::uint16_t{39},
                          std::uint16_t{115}, std::uint16_t{0xFFFF}})
    EXPECT_EQ(list.key(k), ListKey::None) << k;
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(list.key(kEnter), ListKey::Accept);
  EXPECT_EQ(list.key(kEscape), ListKey::Cancel);
}

TEST(CountryList, ScrollingByKeyMovesTheRememberedMouseWithTheList) {
  CountryList list;
  ASSERT_TRUE(list.mouseMove(100, 100));  // row 0
  for (int i = 0; i < 9; ++i) list.key(kDown);
  ASSERT_EQ(list.scroll(), 255);
  EXPECT_EQ(list.lastMouseY(), 355);
  // The pointer has not moved on the screen: the list now reports it one row lower, which is
  // the position remembered, so the key's highlight stays.
  EXPECT_FALSE(list.mouseMove(100, 355));
  EXPECT_EQ(list.selected(), 9);
  list.key(kUp);
  list.key(kUp);  // no scroll: rows 8 and 7 are in the window
  EXPECT_EQ(list.lastMouseY(), 355);
}

TEST(CountryList, RowAtCountsBothEdgesOfAFlagAndNoGap) {
  const CountryList list;
  EXPECT_EQ(list.rowAt(14.9), -1);
  EXPECT_EQ(list.rowAt(15), 0);
  EXPECT_EQ(list.rowAt(255), 0);  // top + flag height is still the row
  EXPECT_EQ(list.rowAt(255.5), -1);
  EXPECT_EQ(list.rowAt(269), -1);
  EXPECT_EQ(list.rowAt(270), 1);
  EXPECT_EQ(list.rowAt(6645), 26);
  EXPECT_EQ(list.rowAt(6885), 26);
  EXPECT_EQ(list.rowAt(6886), -1);
  EXPECT_EQ(list.rowAt(-1e9), -1);
  EXPECT_EQ(list.rowAt(1e9), -1);
}

TEST(CountryList, MouseHighlightsTheRowUnderItButNotFromTheGapOrTheSamePlace) {
  CountryList list;
  EXPECT_TRUE(list.mouseMove(500, 800));  // row 3 (780..1020)
  EXPECT_EQ(list.selected(), 3);
  EXPECT_EQ(list.highlightTop(), 780);
  EXPECT_FALSE(list.mouseMove(500, 1000));  // same row: the highlight is there already
  EXPECT_FALSE(list.mouseMove(500, 1025));  // the gap under row 3
  EXPECT_EQ(list.selected(), 3);
  EXPECT_EQ(list.highlightTop(), 780);
  // Down moves the highlight; the pointer reported again where it was last leaves it there.
  list.key(kDown);
  ASSERT_EQ(list.selected(), 4);
  EXPECT_FALSE(list.mouseMove(500, 1025));
  EXPECT_EQ(list.selected(), 4);
  // Moved anywhere else over row 3, the highlight follows the mouse again.
  EXPECT_TRUE(list.mouseMove(501, 1025 - 40));
  EXPECT_EQ(list.selected(), 3);
  // Outside the rows nothing changes.
  EXPECT_FALSE(list.mouseMove(500, -5));
  EXPECT_FALSE(list.mouseMove(500, 7000));
  EXPECT_EQ(list.selected(), 3);
}

TEST(CountryList, ScrollBarValueIsClampedToItsRange) {
  CountryList list;
  list.setScroll(-50);
  EXPECT_EQ(list.scroll(), 0);
  list.setScroll(99999);
  EXPECT_EQ(list.scroll(), 4605);
  list.setScroll(510);
  EXPECT_EQ(list.scroll(), 510);
  // The keys work from the scrolled position: row 1 is above the window, so Down scrolls up.
  list.key(kDown);
  EXPECT_EQ(list.selected(), 1);
  EXPECT_EQ(list.scroll(), 255);
}

}  // namespace
}  // namespace nx::vatbox
