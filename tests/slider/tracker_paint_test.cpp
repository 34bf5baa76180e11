// NxTracker's pictures: where values, bars, grid, marker and caption land, and the drawing after
// a sample (scrolled and repaired) against a complete drawing of the same state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_host.h"
#include "slider/tracker/tracker.h"

namespace nx {
namespace {

constexpr Rgb kBack = 0x00000000;
constexpr Rgb kLine = 0x0000FF00;
constexpr Rgb kAverage = 0x00FF00FF;
constexpr Rgb kGrid = 0x000000FF;
constexpr Rgb kMarker = 0x00FF0000;
constexpr Rgb kFore = 0x00FFFFFF;

// A run-mode tracker whose plot is 96 x 101 pixels: W = 1440 and Hd = 1500 twips.
NxTracker& plainTracker(sim::SimHost& host, double tpp = 15) {
  sim::SiteOptions o;
  o.name = "T";
  o.userMode = true;
  o.width = 100 * tpp;
  o.height = 105 * tpp;
  NxTracker& t = host.create<NxTracker>(o);
  t.setBackColorTop(static_cast<OleColor>(kBack));
  t.setBackColorBottom(static_cast<OleColor>(kBack));
  t.setLineColor(static_cast<OleColor>(kLine));
  t.setAverageColor(static_cast<OleColor>(kAverage));
  t.setGridColor(static_cast<OleColor>(kGrid));
  t.setMarkerColor(static_cast<OleColor>(kMarker));
  t.setForeColor(static_cast<OleColor>(kFore));
  t.setCaption("");
  return t;
}

void fill(NxTracker& t, std::int32_t v) {
  for (std::int32_t i = 0; i < t.bufferLength(); ++i) t.setValue(v);
}

// Rows of column x painted in `color`.
std::vector<std::int32_t> rowsIn(const sim::Bitmap& b, std::int32_t x, Rgb color) {
  std::vector<std::int32_t> rows;
  for (std::int32_t y = 0; y < b.height(); ++y)
    if (b.at(x, y) == color) rows.push_back(y);
  return rows;
}

int countColor(const sim::Bitmap& b, Rgb color) {
  int n = 0;
  for (std::int32_t y = 0; y < b.height(); ++y)
    for (std::int32_t x = 0; x < b.width(); ++x) n += b.at(x, y) == color ? 1 : 0;
  return n;
}

TEST(TrackerPicture, ValuesLandOnTheirRowsOfTheScale) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  const sim::Bitmap& b = host.window(t).bitmap();
  ASSERT_EQ(b.width(), 96);
  ASSERT_EQ(b.height(), 101);
  t.setMax(150);
  t.setMin(50);
  fill(t, 100);
  EXPECT_EQ(rowsIn(b, 10, kLine), std::vector<std::int32_t>{50});
  fill(t, 50);
  EXPECT_EQ(rowsIn(b, 10, kLine), std::vector<std::int32_t>{100});
  fill(t, 150);
  EXPECT_EQ(rowsIn(b, 10, kLine), std::vector<std::int32_t>{0});
  t.setMin(-50);
  t.setMax(50);
  fill(t, 0);
  EXPECT_EQ(rowsIn(b, 10, kLine), std::vector<std::int32_t>{50});
}

TEST(TrackerPicture, BarsHangFromTheTopOrStandOnTheBottom) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  const sim::Bitmap& b = host.window(t).bitmap();
  t.setStyle(gsTopBar);
  fill(t, 0);
  EXPECT_EQ(rowsIn(b, 30, kLine).size(), 101u);  // rows 0..Hd: to one pixel below the bottom row
  t.setStyle(gsBottomBar);
  fill(t, 0);
  EXPECT_EQ(rowsIn(b, 30, kLine), std::vector<std::int32_t>{100});  // a one-pixel stub
  fill(t, 50);
  const std::vector<std::int32_t> bar = rowsIn(b, 30, kLine);
  ASSERT_FALSE(bar.empty());
  EXPECT_EQ(bar.front(), 50);
  EXPECT_EQ(bar.back(), 100);
}

TEST(TrackerPicture, GridStepsAreAShareOfThePlotHeight) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  const sim::Bitmap& b = host.window(t).bitmap();
  t.setEnabled(false);  // no series over the grid
  t.setGridBlockSize(25);
  t.setGridStyle(gdsBoth);
  // Every 375 twips (25 pixels) down, and leftwards from the right edge at 1440 twips.
  EXPECT_EQ(rowsIn(b, 50, kGrid), (std::vector<std::int32_t>{0, 25, 50, 75, 100}));
  std::vector<std::int32_t> columns;
  for (std::int32_t x = 0; x < b.width(); ++x)
    if (b.at(x, 10) == kGrid) columns.push_back(x);
  EXPECT_EQ(columns, (std::vector<std::int32_t>{0, 21, 46, 71, 95}));
}

TEST(TrackerPicture, TheMarkerSitsAtHalfHeightWithItsLabelAtTheLeft) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  const sim::Bitmap& b = host.window(t).bitmap();
  t.setEnabled(false);  // no series over the marker
  t.setMin(-1000);
  t.setMax(1000);
  t.setMarkerValue(75);
  t.setMarkerStyle(msValueLabeledLine);
  EXPECT_EQ(b.at(0, 50), kMarker);
  EXPECT_EQ(b.at(1, 50), kMarker);
  EXPECT_NE(b.at(2, 50), kMarker);  // the gap the label is printed in
  for (std::int32_t x = 12; x < 96; ++x) EXPECT_EQ(b.at(x, 50), kMarker) << x;
  int label = 0;
  for (std::int32_t y = 40; y < 50; ++y)
    for (std::int32_t x = 4; x < 12; ++x) label += b.at(x, y) == kMarker ? 1 : 0;
  EXPECT_GT(label, 0);
  t.setMarkerStyle(msLine);
  EXPECT_EQ(rowsIn(b, 3, kMarker), std::vector<std::int32_t>{50});
}

TEST(TrackerPicture, HiddenSeriesLeaveBackgroundGridMarkerAndCaption) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  const sim::Bitmap& b = host.window(t).bitmap();
  t.setAverage(true);
  t.setStyle(gsBottomBar);
  fill(t, 40);
  EXPECT_GT(countColor(b, kLine), 0);
  EXPECT_EQ(countColor(b, kAverage), 0);  // bars come without their average
  t.setStyle(gsLine);
  t.setValue(70);
  EXPECT_GT(countColor(b, kAverage), 0);
  t.setEnabled(false);
  t.setCaption("Off");
  EXPECT_EQ(countColor(b, kLine), 0);
  EXPECT_EQ(countColor(b, kAverage), 0);
  EXPECT_GT(countColor(b, kFore), 0);
}

// ---- drawing after a sample equals a complete drawing ----

sim::Bitmap completeDrawing(sim::SimHost& host, NxTracker& t) {
  sim::SimWindow& w = host.window(t);
  sim::SimSurface s(w.twipsPerPixelX(), w.twipsPerPixelY(), host.services().switches(), w.font());
  s.resizePixels(w.bitmap().width(), w.bitmap().height());
  TrackerCanvas canvas;
  canvas.paint(s, t.look(), t.samples());
  return s.bitmap();
}

std::int32_t firstDifference(const sim::Bitmap& a, const sim::Bitmap& b) {
  for (std::int32_t y = 0; y < a.height(); ++y)
    for (std::int32_t x = 0; x < a.width(); ++x)
      if (a.at(x, y) != b.at(x, y)) return y * a.width() + x;
  return -1;
}

struct Look {
  std::int32_t style;
  std::int32_t grid;
  std::int32_t marker;
  std::int32_t alignment;
  bool average;
  bool gradient;
};

void expectScrolledEqualsComplete(const Look& setup, double tpp, std::uint32_t seed) {
  sim::SimHost host(tpp, tpp);
  NxTracker& t = plainTracker(host, tpp);
  t.setStyle(setup.style);
  t.setGridBlockSize(15);
  t.setGridStyle(setup.grid);
  t.setMarkerLabel("limit");
  t.setMarkerStyle(setup.marker);
  t.setAverage(setup.average);
  t.setCaption("Load");
  t.setAlignment(setup.alignment);
  if (setup.gradient) t.setBackColorTop(0x00402000);
  t.setMin(-20);
  t.setMax(120);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<std::int32_t> value(-20, 120);
  std::uniform_int_distribution<std::int32_t> jump(0, 9);
  const std::string what = "style " + std::to_string(setup.style) + " grid " +
                           std::to_string(setup.grid) + " marker " + std::to_string(setup.marker) +
                           " align " + std::to_string(setup.alignment) + " tpp " +
                           std::to_string(tpp);
  std::int32_t v = 50;
  for (int k = 0; k < 260; ++k) {
    // Runs of close values with jumps, so that lines are both flat and steep.
    v = jump(rng) == 0 ? value(rng) : std::clamp(v + jump(rng) - 4, -20, 120);
    if (k == 180) t.setMin(40);  // older samples now lie below the scale
    t.setValue(std::clamp(v, t.min(), t.max()));
    const std::int32_t at = firstDifference(host.window(t).bitmap(), completeDrawing(host, t));
    ASSERT_EQ(at, -1) << what << " sample " << k << " pixel " << at;
  }
  EXPECT_GT(t.canvas().scrolledDrawings(), 200) << what;
  EXPECT_LT(t.canvas().repairedColumns(), host.window(t).bitmap().width()) << what;
  if (setup.grid == gdsNone && setup.marker == msNone) {
    // The caption's columns with their margins, and the newest and oldest columns.
    EXPECT_LE(t.canvas().repairedColumns(), 40) << what;
  }
}

TEST(TrackerScrolling, EqualsACompleteDrawingInEveryStyle) {
  std::uint32_t seed = 1;
  for (std::int32_t style : {gsLine, gsPoint, gsTopBar, gsBottomBar})
    for (const Look& s : {Look{style, gdsNone, msNone, aaTopLeft, false, false},
                          Look{style, gdsBoth, msLabeledLine, aaMiddleCenter, true, true},
                          Look{style, gdsVertical, msValueLabeledLine, aaBottomRight, true, false},
                          Look{style, gdsHorizontal, msLine, aaTopCenter, false, true}})
      expectScrolledEqualsComplete(s, 15, seed++);
}

TEST(TrackerScrolling, EqualsACompleteDrawingAtOtherResolutions) {
  expectScrolledEqualsComplete(Look{gsLine, gdsBoth, msLabeledLine, aaMiddleRight, true, true}, 12,
                               99);
  expectScrolledEqualsComplete(Look{gsPoint, gdsBoth, msValueLabeledLine, aaBottomLeft, true, true},
                               10, 98);
}

TEST(TrackerScrolling, ALookChangeBetweenSamplesRedrawsCompletely) {
  sim::SimHost host;
  NxTracker& t = plainTracker(host);
  fill(t, 30);
  const int complete = t.canvas().completeDrawings();
  t.setStyle(gsTopBar);  // no redraw of its own
  t.setValue(60);
  EXPECT_EQ(t.canvas().completeDrawings(), complete + 1);
  EXPECT_EQ(firstDifference(host.window(t).bitmap(), completeDrawing(host, t)), -1);
  host.window(t).font()->setSize(14);  // the host changes the shared font object
  t.setValue(61);
  EXPECT_EQ(t.canvas().completeDrawings(), complete + 2);
}

TEST(DeviceContextScroll, TheSimulationMatchesTheBlockCopy) {
  const Rect areas[] = {{0, 0, 9, 7}, {2, 1, 8, 6}, {-3, -2, 20, 20}};
  const std::int32_t moves[][2] = {{-1, 0}, {2, 0}, {0, 1}, {-2, -3}, {12, 0}};
  for (const Rect& r : areas) {
    for (const auto& m : moves) {
      sim::MemoryDC fast(9, 7), blocks(9, 7);
      for (std::int32_t y = 0; y < 7; ++y)
        for (std::int32_t x = 0; x < 9; ++x) {
          fast.dc().setPixel(x, y, static_cast<Rgb>(y * 16 + x));
          blocks.dc().setPixel(x, y, static_cast<Rgb>(y * 16 + x));
        }
      fast.dc().scroll(r, m[0], m[1]);
      blocks.dc().DeviceContext::scroll(r, m[0], m[1]);
      EXPECT_EQ(firstDifference(fast.bitmap(), blocks.bitmap()), -1) << m[0] << "," << m[1];
    }
  }
  // One column to the left: column x takes column x + 1, the last keeps its pixels.
  sim::MemoryDC dc(4, 1);
  for (std::int32_t x = 0; x < 4; ++x) dc.dc().setPixel(x, 0, static_cast<Rgb>(x + 1));
  dc.dc().scroll(Rect{0, 0, 4, 1}, -1, 0);
  EXPECT_EQ(dc.bitmap().at(0, 0), 2u);
  EXPECT_EQ(dc.bitmap().at(2, 0), 4u);
  EXPECT_EQ(dc.bitmap().at(3, 0), 4u);
}

}  // namespace
}  // namespace nx
