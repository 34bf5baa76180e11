// NxVATNumber and its country list at screens of 12, 10 and 7.5 twips per pixel (120, 144 and
// 192 DPI) and at one whose pixels are not square: the 300-twip box keeps its frame on the
// outermost pixels, the drop-down button one pixel below the frame's top line and wholly inside
// the code box, the number box inside the frame, and the list's rows a whole number of pixels
// apart with a one-pixel gap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "taxid/vatbox/country_list.h"
#include "tests/vatbox/vat_test_support.h"

namespace nx {
namespace {

struct Dpi {
  double x;
  double y;
  std::string name() const { return std::to_string(x) + "x" + std::to_string(y); }
};
const std::vector<Dpi> kScreens = {{12, 12}, {10, 10}, {7.5, 7.5}, {10, 7.5}};

std::int32_t toPx(double twips, double tpp) {
  return static_cast<std::int32_t>(std::floor(twips / tpp + 0.5));
}

TEST(NxVATNumberAtHighDpi, FrameButtonAndNumberBoxStayInside) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    vattest::registerPictures(host.services());
    auto& v = host.create<NxVATNumber>(vattest::vatSite());
    const sim::Bitmap& b = host.window(v).bitmap();
    const std::int32_t w = b.width(), h = b.height();
    EXPECT_EQ(h, toPx(300, d.y));
    // The frame (and the code box's outline, in the same colour) on the outermost ring.
    for (std::int32_t x = 0; x < w; ++x) {
      EXPECT_EQ(b.at(x, 0), 0u) << x;
      EXPECT_EQ(b.at(x, h - 1), 0u) << x;
    }
    for (std::int32_t y = 0; y < h; ++y) {
      EXPECT_EQ(b.at(0, y), 0u) << y;
      EXPECT_EQ(b.at(w - 1, y), 0u) << y;
    }
    // The button: its 11 x 18 picture whole, from the first row inside the frame.
    std::int32_t left = w, top = h, right = -1, bottom = -1, count = 0;
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x)
        if (b.at(x, y) == vattest::kButtonLooks[0]) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
          ++count;
        }
    EXPECT_EQ(count, 11 * 18);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bottom, 18);
    EXPECT_LT(bottom, h - 1);
    EXPECT_EQ(left, toPx(270, d.x));
    const PartRect box = v.codeBox().bounds();
    EXPECT_LT(right, toPx(box.left + box.width - d.x, d.x)) << "inside the code box's outline";
    // The number box lies inside the frame, right of the button.
    const PartRect n = v.numberBox().bounds();
    EXPECT_GT(toPx(n.left, d.x), right);
    EXPECT_GE(toPx(n.top, d.y), 1);
    EXPECT_LE(toPx(n.left + n.width, d.x), w - 1);
    EXPECT_LE(toPx(n.top + n.height, d.y), h - 1);
    if (d.x == 10 && d.y == 10) {
      std::filesystem::create_directories(NX_PNG_DIR);
      EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/vatnumber_10tpp.png", b));
    }
  }
}

TEST(CountryListAtHighDpi, RowsAreWholePixelsApartWithAOnePixelGap) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    vatbox::ListGeometry g;
    g.pixelWidth = d.x;
    g.pixelHeight = d.y;
    g.flagWidth = 24 * d.x;
    g.flagHeight = 16 * d.y;
    g.scrollBarWidth = 17 * d.x;
    g.innerWidth = toPx(vatbox::kWindowWidth, d.x) * d.x;
    g.innerHeight = toPx(vatbox::kWindowHeight, d.y) * d.y;
    for (int i = 0; i < vatbox::kRowCount; ++i) {
      const double top = g.flagTop(i) / d.y;
      EXPECT_DOUBLE_EQ(top, 1 + 17.0 * i) << i;
    }
    EXPECT_DOUBLE_EQ(g.listHeight() / d.y, 17.0 * vatbox::kRowCount + 1);
    EXPECT_DOUBLE_EQ(g.flagLeft() / d.x, 1.0);
    // The list ends one pixel before the scroll bar, which ends at the window's edge.
    EXPECT_DOUBLE_EQ((g.innerWidth - g.listWidth()) / d.x, 18.0);
    // A row is found over its flag and not in the gap above it.
    vatbox::CountryList list(g);
    EXPECT_EQ(list.rowAt(g.flagTop(5) + d.y), 5);
    EXPECT_EQ(list.rowAt(g.flagTop(5) - d.y / 2), -1);
  }
}

}  // namespace
}  // namespace nx
