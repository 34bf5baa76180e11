#include "core/runtime/region.h"

#include <gtest/gtest.h>

namespace nx {
namespace {

int area(const Region& r) {
  int a = 0;
  for (const Rect& x : r.rects()) a += x.width() * x.height();
  return a;
}

TEST(Region, UnionAndDifferenceStayCanonical) {
  Region a(Rect{0, 0, 10, 10});
  a.subtract(Region(Rect{3, 3, 6, 6}));
  EXPECT_EQ(area(a), 100 - 9);
  EXPECT_FALSE(a.contains(4, 4));
  EXPECT_TRUE(a.contains(2, 4));
  EXPECT_TRUE(a.contains(6, 4));
  EXPECT_EQ(a.bands().size(), 3u);  // above, the row band with the hole, below

  a.unite(Region(Rect{3, 3, 6, 6}));
  EXPECT_EQ(a, Region(Rect{0, 0, 10, 10}));  // filling the hole gives back one band

  // Built row by row or in one piece, the same pixels compare equal.
  Region rows;
  for (int y = 0; y < 4; ++y) rows.unite(Region(Rect{1, y, 5, y + 1}));
  EXPECT_EQ(rows, Region(Rect{1, 0, 5, 4}));
  EXPECT_EQ(rows.bands().size(), 1u);

  Region touching(Rect{0, 0, 2, 1});
  touching.unite(Region(Rect{2, 0, 4, 1}));
  EXPECT_EQ(touching, Region(Rect{0, 0, 4, 1}));

  Region gone(Rect{0, 0, 4, 4});
  gone.subtract(Region(Rect{-1, -1, 10, 10}));
  EXPECT_TRUE(gone.empty());
  EXPECT_EQ(gone.bounds(), Rect{});
  EXPECT_TRUE(Region(Rect{5, 5, 5, 9}).empty());
}

TEST(Region, AppendBandMergesOnlyEqualAdjacentRows) {
  Region r;
  r.appendBand(0, 1, {{0, 3}, {5, 7}});
  r.appendBand(1, 2, {{0, 3}, {5, 7}});
  r.appendBand(2, 3, {{0, 7}});
  r.appendBand(3, 4, {});
  r.appendBand(4, 5, {{0, 7}});
  ASSERT_EQ(r.bands().size(), 3u);
  EXPECT_EQ(r.bands()[0].bottom, 2);
  EXPECT_EQ(r.bands()[2].top, 4);
  EXPECT_EQ(r.bounds(), (Rect{0, 0, 7, 5}));
  EXPECT_FALSE(r.contains(4, 0));
  EXPECT_FALSE(r.contains(1, 3));
  EXPECT_EQ(r.rects().size(), 4u);
}

}  // namespace
}  // namespace nx
