#include "widgets/progressbar/progress_bar_layout.h"

#include <gtest/gtest.h>

namespace nx {
namespace {

constexpr Rgb kBar = 0x00000080;
constexpr Rgb kBack = 0x00C0C0C0;
constexpr Rgb kLight = 0x00FFFFFF;

ProgressBarState state(std::int32_t orientation, std::int32_t lightStyle, std::int32_t value) {
  ProgressBarState s;
  s.barColor = ColorProperty(kBar);
  s.backColor = ColorProperty(kBack);
  s.lightColor = ColorProperty(kLight);
  s.orientation = orientation;
  s.lightStyle = lightStyle;
  s.minValue = 0;
  s.maxValue = 100;
  s.value = value;
  return s;
}

TEST(ProgressBarLayout, PercentageAndFillRules) {
  EXPECT_EQ(barPercentage(50, 0, 100), 50.0f);
  EXPECT_EQ(barPercentage(1, 0, 3).value(), static_cast<float>(100.0 / 3.0));
  EXPECT_EQ(barPercentage(5, 5, 5), std::nullopt);
  EXPECT_EQ(barPercentage(5, 10, 5), std::nullopt);
  EXPECT_EQ(barPercentage(INT32_MAX, INT32_MIN, INT32_MAX), 100.0f);
  EXPECT_EQ(filledLength(50.0f, 200), 100);
  EXPECT_EQ(filledLength(0.25f, 200), 0);     // 0.5 rounds to the even 0
  EXPECT_EQ(filledLength(0.75f, 200), 2);     // 1.5 rounds to 2
  EXPECT_EQ(filledLength(150.0f, 200), 200);  // a stored value beyond Max stays inside
  EXPECT_EQ(filledLength(-10.0f, 200), 0);
  EXPECT_EQ(filledLength(50.0f, 0), 0);
  // 1 of 0..6 on 9 pixels: 16.666666% of 9 is 1.49999994, which a float product would round
  // up to 1.5 and so to 2.
  EXPECT_EQ(filledLength(*barPercentage(1, 0, 6), 9), 1);
  EXPECT_EQ(clampToRange(7, 0, 5), 5);
  EXPECT_EQ(clampToRange(-7, 0, 5), 0);
  EXPECT_EQ(clampToRange(3, 9, 1), 9);  // an inverted stored range: the minimum wins
}

TEST(ProgressBarLayout, HorizontalBarsInBothLightStyles) {
  BarLayout soft = layoutBar(state(orHorizontal, lsSoft, 50), 200, 20);
  EXPECT_EQ(soft.fill, 100);
  EXPECT_EQ(soft.percentage, 50.0f);
  EXPECT_EQ(soft.gradients, (std::vector<BarGradient>{{{0, 0, 200, 20}, kLight, kBack, 1},
                                                      {{0, 0, 100, 20}, kLight, kBar, 1}}));
  BarLayout tube = layoutBar(state(orHorizontal, lsTube, 30), 200, 22);
  const std::int32_t t = 4;  // 22 / 5 = 4.4
  EXPECT_EQ(tube.fill, 60);
  EXPECT_EQ(tube.gradients, (std::vector<BarGradient>{{{0, 0, 200, 22}, kBack, kBack, 1},
                                                      {{60, 0, 200, t}, kBack, kLight, 1},
                                                      {{60, t, 200, 22 - t}, kLight, kBack, 1},
                                                      {{0, 0, 60, 22}, kBar, kBar, 1},
                                                      {{0, 0, 60, t}, kBar, kLight, 1},
                                                      {{0, t, 60, 22 - t}, kLight, kBar, 1}}));
  EXPECT_EQ(layoutBar(state(orHorizontal, lsTube, 0), 200, 22).gradients.size(), 3u);
  EXPECT_EQ(layoutBar(state(orHorizontal, lsSoft, 0), 200, 22).gradients.size(), 1u);
  EXPECT_EQ(layoutBar(state(orHorizontal, lsTube, 1), 200, 23).gradients[1].rect.bottom, 5);
}

TEST(ProgressBarLayout, VerticalBarsGrowFromTheBottom) {
  BarLayout tube = layoutBar(state(orVertical, lsTube, 25), 22, 200);
  const std::int32_t t = 4;
  EXPECT_EQ(tube.fill, 50);
  EXPECT_EQ(tube.gradients, (std::vector<BarGradient>{{{0, 0, 22, 200}, kBack, kBack, 0},
                                                      {{0, 0, t, 200}, kBack, kLight, 0},
                                                      {{t, 0, 22, 200}, kLight, kBack, 0},
                                                      {{0, 150, 22, 200}, kBar, kBar, 0},
                                                      {{0, 150, t, 200}, kBar, kLight, 0},
                                                      {{t, 150, 22, 200}, kLight, kBar, 0}}));
  BarLayout soft = layoutBar(state(orVertical, lsSoft, 100), 20, 200);
  EXPECT_EQ(soft.gradients, (std::vector<BarGradient>{{{0, 0, 20, 200}, kLight, kBack, 0},
                                                      {{0, 0, 20, 200}, kLight, kBar, 0}}));
  // An orientation outside the enumeration draws the horizontal bar.
  EXPECT_EQ(layoutBar(state(7, lsSoft, 100), 20, 200).gradients[1].direction, 1);
  // An inverted range draws the empty bar.
  ProgressBarState inverted = state(orVertical, lsTube, 50);
  inverted.minValue = 100;
  inverted.maxValue = 100;
  BarLayout empty = layoutBar(inverted, 20, 200);
  EXPECT_EQ(empty.fill, 0);
  EXPECT_EQ(empty.percentage, 0.0f);
  EXPECT_EQ(empty.gradients.size(), 3u);
}

}  // namespace
}  // namespace nx
