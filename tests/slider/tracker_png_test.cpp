// NxTracker pictures a person looks at (PNG sheets): the four styles with the average, each
// grid and marker, and the caption's nine positions. Each picture is also checked for what it
// must show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "slider/tracker/tracker.h"

namespace nx {
namespace {

constexpr Rgb kSheet = 0x00C8D0D4;

class Sheet {
 public:
  void add(const sim::Bitmap& b) { pictures_.push_back(b); }
  void write(const std::string& name, std::int32_t perRow) const {
    constexpr std::int32_t kGap = 8;
    std::int32_t cellW = 0, cellH = 0;
    for (const sim::Bitmap& b : pictures_) {
      cellW = std::max(cellW, b.width());
      cellH = std::max(cellH, b.height());
    }
    const auto n = static_cast<std::int32_t>(pictures_.size());
    const std::int32_t rows = (n + perRow - 1) / perRow;
    const std::int32_t cols = std::min(n, perRow);
    sim::Bitmap sheet(kGap + cols * (cellW + kGap), kGap + rows * (cellH + kGap), kSheet);
    for (std::int32_t i = 0; i < n; ++i) {
      const sim::Bitmap& b = pictures_[static_cast<std::size_t>(i)];
      const std::int32_t ox = kGap + (i % perRow) * (cellW + kGap);
      const std::int32_t oy = kGap + (i / perRow) * (cellH + kGap);
      for (std::int32_t y = 0; y < b.height(); ++y)
        for (std::int32_t x = 0; x < b.width(); ++x) sheet.set(ox + x, oy + y, b.at(x, y));
    }
    std::filesystem::create_directories(NX_PNG_DIR);
    const std::string path = std::string(NX_PNG_DIR) + "/" + name + ".png";
    EXPECT_TRUE(sim::writePng(path, sheet)) << path;
  }

 private:
  std::vector<sim::Bitmap> pictures_;
};

// A run-mode tracker 200 x 110 pixels fed with a slow wave and a few spikes.
NxTracker& wavyTracker(sim::SimHost& host) {
  sim::SiteOptions o;
  o.name = "CPU";
  o.userMode = true;
  o.width = 200 * 15;
  o.height = 110 * 15;
  NxTracker& t = host.create<NxTracker>(o);
  for (std::int32_t i = 0; i < 260; ++i) {
    const double wave = 50 + 30 * std::sin(i / 9.0) + ((i % 37) == 0 ? 35 : 0);
    t.setValue(std::clamp(static_cast<std::int32_t>(std::lround(wave)), 0, 100));
  }
  return t;
}

bool hasColor(const sim::Bitmap& b, Rgb color, std::int32_t x0, std::int32_t y0, std::int32_t x1,
              std::int32_t y1) {
  for (std::int32_t y = y0; y < y1; ++y)
    for (std::int32_t x = x0; x < x1; ++x)
      if (b.at(x, y) == color) return true;
  return false;
}

TEST(TrackerPng, StylesGridsAndMarkers) {
  Sheet sheet;
  const std::int32_t grids[] = {gdsNone, gdsHorizontal, gdsVertical, gdsBoth};
  const std::int32_t markers[] = {msNone, msLine, msLabeledLine, msValueLabeledLine};
  for (std::int32_t style : {gsLine, gsPoint, gsTopBar, gsBottomBar}) {
    for (int k = 0; k < 4; ++k) {
      sim::SimHost host;
      NxTracker& t = wavyTracker(host);
      t.setGridColor(0x00306030);
      t.setStyle(style);
      t.setAverage(true);
      t.setGridStyle(grids[k]);
      t.setMarkerLabel("alarm");
      t.setMarkerValue(75);
      t.setMarkerColor(0x004040FF);
      t.setMarkerStyle(markers[k]);
      t.setValue(60);
      const sim::Bitmap& b = host.window(t).bitmap();
      sheet.add(b);
      const std::string what = "style " + std::to_string(style) + " look " + std::to_string(k);
      EXPECT_TRUE(hasColor(b, 0x0000FF00, 0, 0, b.width(), b.height())) << what;
      EXPECT_EQ(hasColor(b, 0x00008080, 0, 0, b.width(), b.height()), style <= gsPoint) << what;
      EXPECT_EQ(hasColor(b, 0x004040FF, 0, 0, b.width(), b.height()), markers[k] != msNone) << what;
    }
  }
  sheet.write("tracker_styles", 4);
}

TEST(TrackerPng, CaptionInNinePositions) {
  Sheet sheet;
  for (std::int32_t a = aaTopLeft; a <= aaBottomCenter; ++a) {
    sim::SimHost host;
    NxTracker& t = wavyTracker(host);
    t.setCaption("Load 60%");
    t.setAlignment(a);
    const sim::Bitmap& b = host.window(t).bitmap();
    sheet.add(b);
    const std::int32_t w = b.width(), h = b.height();
    const bool left = a == aaTopLeft || a == aaMiddleLeft || a == aaBottomLeft;
    const bool right = a == aaTopRight || a == aaMiddleRight || a == aaBottomRight;
    const bool top = a <= aaTopCenter;
    const bool bottom = a >= aaBottomLeft;
    const std::int32_t x0 = left ? 0 : right ? 2 * w / 3 : w / 3;
    const std::int32_t y0 = top ? 0 : bottom ? 2 * h / 3 : h / 3;
    EXPECT_TRUE(hasColor(b, 0x00FFFFFF, x0, y0, x0 + w / 3, y0 + h / 3)) << a;
    // Nowhere else.
    const std::int32_t xs[] = {0, w / 3, 2 * w / 3};
    const std::int32_t ys[] = {0, h / 3, 2 * h / 3};
    for (std::int32_t cx : xs) {
      for (std::int32_t cy : ys) {
        if (cx == x0 && cy == y0) continue;
        EXPECT_FALSE(hasColor(b, 0x00FFFFFF, cx + 2, cy + 2, cx + w / 3 - 2, cy + h / 3 - 2))
            << a << " at " << cx << "," << cy;
      }
    }
  }
  sheet.write("tracker_captions", 3);
}

}  // namespace
}  // namespace nx
