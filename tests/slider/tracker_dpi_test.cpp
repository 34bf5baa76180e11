// NxTracker at screens of 12, 10 and 7.5 twips per pixel (120, 144 and 192 DPI) and at one whose
// pixels are not square: one sample per pixel column of the screen, the grid's frame on the
// outermost columns and on the plot's bottom row, and, with fonts as much smaller in points as
// the screen makes text larger in pixels, exactly the grid, marker and caption a tracker of the
// same size in pixels shows at 15 twips per pixel; with the fonts as they are, the larger
// caption is drawn whole. (The samples' rows are rounded to whole twips of the plot height
// first, so they may fall a pixel apart at another resolution.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_text.h"
#include "slider/tracker/tracker.h"

namespace nx {
namespace {

struct Dpi {
  double x;
  double y;
  std::string name() const { return std::to_string(x) + "x" + std::to_string(y); }
};
const std::vector<Dpi> kScreens = {{12, 12}, {10, 10}, {7.5, 7.5}, {10, 7.5}};

constexpr Rgb kGrid = 0x00008000;
constexpr Rgb kBack = 0x00202020;

// A tracker of 200 x 111 pixels of the host's screen (a plot 106 pixels high inside the 3D
// border, so that its middle and its grid rows are whole pixels), fed a saw-tooth; in design
// mode it draws no series.
NxTracker& feed(sim::SimHost& host, std::int32_t style, std::int32_t marker, bool run) {
  sim::SiteOptions o;
  o.name = "Load";
  o.userMode = run;
  o.width = 200 * host.twipsPerPixelX();
  o.height = 111 * host.twipsPerPixelY();
  NxTracker& t = host.create<NxTracker>(o);
  t.setBackColorTop(kBack);
  t.setBackColorBottom(kBack);
  t.setGridColor(kGrid);
  t.setGridStyle(gdsBoth);
  t.setGridBlockSize(50);
  t.setStyle(style);
  t.setMarkerStyle(marker);
  t.setAverage(true);
  for (std::int32_t i = 0; i < 250; ++i) t.setValue((i * 7) % 101);
  return t;
}

// Text grows with the screen's DPI (15 / twips per pixel of height); fonts that much smaller in
// points keep the caption and the marker's label at their size in pixels at 15 twips per pixel.
void keepTextPixels(sim::SimHost& host, NxTracker& t) {
  const double k = host.twipsPerPixelY() / 15;
  FontDesc caption = t.font()->describe();
  FontDesc marker = t.markerFont()->describe();
  caption.size *= k;
  marker.size *= k;
  t.setFont(host.services().createFont(caption));
  t.setMarkerFont(host.services().createFont(marker));
}

TEST(NxTrackerAtHighDpi, OneSamplePerPixelColumn) {
  sim::SimHost reference;
  const std::int32_t n = feed(reference, gsLine, msNone, true).bufferLength();
  EXPECT_GE(n, 200);
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    EXPECT_EQ(feed(host, gsLine, msNone, true).bufferLength(), n);
  }
}

TEST(NxTrackerAtHighDpi, GridMarkerAndCaptionMatchTheFifteenTwipPicture) {
  for (std::int32_t style : {gsLine, gsBottomBar}) {
    for (std::int32_t marker : {msNone, msLine}) {
      sim::SimHost reference;
      NxTracker& r = feed(reference, style, marker, false);
      keepTextPixels(reference, r);
      const sim::Bitmap& expected = reference.window(r).bitmap();
      // Square pixels only: the grid's blocks are square in twips, so on a screen with other
      // pixels the vertical lines fall on other columns.
      for (const Dpi& d : {Dpi{12, 12}, Dpi{10, 10}, Dpi{7.5, 7.5}}) {
        SCOPED_TRACE(d.name() + " style " + std::to_string(style) + " marker " +
                     std::to_string(marker));
        sim::SimHost host(d.x, d.y);
        NxTracker& t = feed(host, style, marker, false);
        keepTextPixels(host, t);
        const sim::Bitmap& b = host.window(t).bitmap();
        ASSERT_EQ(b.width(), expected.width());
        ASSERT_EQ(b.height(), expected.height());
        int differ = 0;
        std::string where;
        for (std::int32_t y = 0; y < b.height(); ++y)
          for (std::int32_t x = 0; x < b.width(); ++x)
            if (b.at(x, y) != expected.at(x, y) && differ++ < 5)
              where += " " + std::to_string(x) + "," + std::to_string(y);
        EXPECT_EQ(differ, 0) << "at" << where;
        if (d.x == 10 && d.y == 10 && style == gsLine && marker == msLine) {
          std::filesystem::create_directories(NX_PNG_DIR);
          EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/tracker_design_10tpp.png", b));
          EXPECT_TRUE(
              sim::writePng(std::string(NX_PNG_DIR) + "/tracker_design_15tpp.png", expected));
        }
      }
    }
  }
}

TEST(NxTrackerAtHighDpi, LargerCaptionIsDrawnWhole) {
  constexpr Rgb kCaption = 0x000000FF;
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    NxTracker& t = feed(host, gsLine, msNone, false);
    t.setForeColor(kCaption);
    ASSERT_EQ(t.caption(), "Load");
    const sim::Bitmap& b = host.window(t).bitmap();
    // The same text on a blank bitmap of its own, at this screen's text size.
    const FontDesc font = t.font()->describe();
    const double scale = 15 / d.y;
    sim::Bitmap alone(sim::textWidthPx(font, "Load", scale), sim::lineHeightPx(font, scale), 0);
    sim::drawTextLine(alone, font, 0, 0, "Load", kCaption, scale);
    int whole = 0, drawn = 0;
    for (std::int32_t y = 0; y < alone.height(); ++y)
      for (std::int32_t x = 0; x < alone.width(); ++x) whole += alone.at(x, y) == kCaption;
    for (std::int32_t y = 0; y < b.height(); ++y)
      for (std::int32_t x = 0; x < b.width(); ++x) drawn += b.at(x, y) == kCaption;
    ASSERT_GT(whole, 0);
    EXPECT_EQ(drawn, whole);
  }
}

TEST(NxTrackerAtHighDpi, GridFrameIsOnTheOutermostColumnsAndTheBottomRow) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    sim::SiteOptions o;
    o.name = "";
    o.width = 300 * d.x;
    o.height = 100 * d.y;
    NxTracker& t = host.create<NxTracker>(o);
    t.setBackColorTop(kBack);
    t.setBackColorBottom(kBack);
    t.setGridColor(kGrid);
    t.setGridStyle(gdsVertical);  // lines every 20 % of the height, from the right edge
    t.setBorderStyle(bsNone);
    const sim::Bitmap& b = host.window(t).bitmap();
    ASSERT_EQ(b.width(), 300);
    ASSERT_EQ(b.height(), 100);
    for (std::int32_t y = 0; y < 100; ++y) {
      EXPECT_EQ(b.at(0, y), kGrid) << y;
      EXPECT_EQ(b.at(299, y), kGrid) << y;
      EXPECT_EQ(b.at(298, y) == kGrid, y == 0 || y == 99) << y;
    }
    for (std::int32_t x = 0; x < 300; ++x) {
      EXPECT_EQ(b.at(x, 0), kGrid) << x;
      EXPECT_EQ(b.at(x, 99), kGrid) << x;
    }
  }
}

}  // namespace
}  // namespace nx
