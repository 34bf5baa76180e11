// NxEuroBox at screens of 12, 10 and 7.5 twips per pixel (120, 144 and 192 DPI) and at one whose
// pixels are not square: the flat border on the outermost pixel ring, the digits box and the
// symbol inside it with room for a line of text.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "currency/eurobox/eurobox.h"
#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"

namespace nx {
namespace {

struct Dpi {
  double x;
  double y;
  std::string name() const { return std::to_string(x) + "x" + std::to_string(y); }
};
const std::vector<Dpi> kScreens = {{12, 12}, {10, 10}, {7.5, 7.5}, {10, 7.5}};

constexpr Rgb kBorder = 0x00FF0000;

std::int32_t toPx(double twips, double tpp) {
  return static_cast<std::int32_t>(std::floor(twips / tpp + 0.5));
}

TEST(NxEuroBoxAtHighDpi, FlatBorderOutermostAndPartsInside) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    sim::SiteOptions o;
    o.width = 1800;
    o.height = 330;
    NxEuroBox& box = host.create<NxEuroBox>(o);
    box.putProperty("BorderStyle", Value{std::int32_t{bsFLAT}});
    box.putProperty("BorderColor", Value{std::int32_t{kBorder}});
    box.putProperty("Symbol", Value{std::string("EUR")});
    box.putProperty("Value", Value{20.5});
    const sim::Bitmap& b = host.window(box).bitmap();
    const std::int32_t w = b.width(), h = b.height();
    EXPECT_EQ(w, toPx(1800, d.x));
    EXPECT_EQ(h, toPx(330, d.y));
    for (std::int32_t x = 0; x < w; ++x) {
      EXPECT_EQ(b.at(x, 0), kBorder) << x;
      EXPECT_EQ(b.at(x, h - 1), kBorder) << x;
      if (x > 0 && x < w - 1) {
        EXPECT_NE(b.at(x, 1), kBorder) << x;
      }
    }
    for (std::int32_t y = 0; y < h; ++y) {
      EXPECT_EQ(b.at(0, y), kBorder) << y;
      EXPECT_EQ(b.at(w - 1, y), kBorder) << y;
      if (y > 0 && y < h - 1) {
        EXPECT_NE(b.at(w - 2, y), kBorder) << y;
      }
    }
    // The digits box inside the border, as high as a line of its font at least.
    const PartRect r = box.digits().bounds();
    EXPECT_GE(toPx(r.left, d.x), 1);
    EXPECT_GE(toPx(r.top, d.y), 1);
    EXPECT_LE(toPx(r.left + r.width, d.x), w - 1);
    EXPECT_LE(toPx(r.top + r.height, d.y), h - 1);
    EXPECT_GE(r.height, host.window(box).surface().textHeight("',"));
    if (d.x == 10 && d.y == 10) {
      std::filesystem::create_directories(NX_PNG_DIR);
      EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/eurobox_flat_10tpp.png", b));
    }
  }
}

// A font change sizes the digits box to a line of text and one pixel, then lays the box out: the
// digits box fills the room inside the flat border, as high as a line when there is room for
// one, and never reaches past the border when there is not. Text grows with the screen's DPI,
// so a line of Tahoma 14 is 300 twips high at 12 twips per pixel and 292.5 at 7.5: taller than
// the 270 twips inside a box 330 high, shorter than the 360 inside one 420 high.
TEST(NxEuroBoxAtHighDpi, FontChangeKeepsTheDigitsBoxWithinTheBorder) {
  for (const Dpi& d : kScreens) {
    for (double height : {330.0, 420.0}) {
      SCOPED_TRACE(d.name() + " height " + std::to_string(height));
      sim::SimHost host(d.x, d.y);
      sim::SiteOptions o;
      o.width = 1800;
      o.height = height;
      NxEuroBox& box = host.create<NxEuroBox>(o);
      box.putProperty("BorderStyle", Value{std::int32_t{bsFLAT}});
      box.setFont(host.services().createFont(FontDesc{.name = "Tahoma", .size = 14}));
      const PartRect r = box.digits().bounds();
      const double line = host.window(box).surface().textHeight("',");
      ASSERT_GT(line, 270);  // the text is larger than at 15 twips per pixel
      EXPECT_GE(toPx(r.top, d.y), 1);
      EXPECT_LE(toPx(r.top + r.height, d.y), host.window(box).bitmap().height() - 1);
      if (height - 60 >= line) {
        EXPECT_GE(r.height, line);
      } else {
        EXPECT_LT(r.height, line);  // the room inside the border, not the line's height
      }
    }
  }
}

}  // namespace
}  // namespace nx
