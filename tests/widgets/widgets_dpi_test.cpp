// The widgets at screens of 12, 10 and 7.5 twips per pixel (120, 144 and 192 DPI) and at a
// screen whose pixels are not square: borders on the outermost pixel rows and columns, the
// etched frame's two rings one pixel apart, the caption tab's outline and highlight one pixel
// apart with the caption inside it, the meter's segments filling the length it snaps to, the
// check box image inside the control and mask regions the size of the window in pixels. A
// picture of each class at 10 twips per pixel goes to the PNG folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

struct Dpi {
  double x;
  double y;
  std::string name() const { return std::to_string(x) + "x" + std::to_string(y); }
};
const std::vector<Dpi> kScreens = {{12, 12}, {10, 10}, {7.5, 7.5}, {10, 7.5}};

constexpr Rgb kBack = 0x00336699;
constexpr Rgb kBorder = 0x00FF0000;
constexpr Rgb kText = 0x000000FF;
constexpr Rgb kWhite = 0x00FFFFFF;

void savePng(const sim::Bitmap& b, const std::string& name) {
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/" + name + ".png", b)) << name;
}

// Every pixel of the rectangle outline `inset` pixels in from the edges has `color`.
void expectRing(const sim::Bitmap& b, std::int32_t inset, Rgb color) {
  const std::int32_t l = inset, t = inset, r = b.width() - 1 - inset, btm = b.height() - 1 - inset;
  int wrong = 0;
  for (std::int32_t x = l; x <= r; ++x) wrong += (b.at(x, t) != color) + (b.at(x, btm) != color);
  for (std::int32_t y = t; y <= btm; ++y) wrong += (b.at(l, y) != color) + (b.at(r, y) != color);
  EXPECT_EQ(wrong, 0) << "ring " << inset << " of " << b.width() << " x " << b.height();
}

int countColor(const sim::Bitmap& b, Rgb color) {
  int n = 0;
  for (std::int32_t y = 0; y < b.height(); ++y)
    for (std::int32_t x = 0; x < b.width(); ++x) n += b.at(x, y) == color;
  return n;
}

// ---- NxGradFrame ----

sim::SiteOptions frameSite() {
  sim::SiteOptions o;
  o.name = "Options";
  o.width = 3000;
  o.height = 1500;
  o.ambientFont = FontDesc{"Arial", 12};
  return o;
}

NxGradFrame& plainFrame(sim::SimHost& host, std::int32_t appearance, const std::string& caption) {
  auto& f = host.create<NxGradFrame>(frameSite());
  f.setColorA(kBack);
  f.setColorB(kBack);
  f.setBorderColor(kBorder);
  f.setForeColor(kText);
  f.setAppearance(appearance);
  f.setCaption(caption);
  return f;
}

TEST(WidgetsAtHighDpi, GradFrameBordersLieOnTheOutermostPixels) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    auto& flat = plainFrame(host, gradframe::apFlat, "");
    const sim::Bitmap& f = host.window(flat).bitmap();
    expectRing(f, 0, kBorder);
    expectRing(f, 1, kBack);

    // Etched: a border-coloured ring one pixel in from the right and bottom, a white one one
    // pixel in from the left and top; the two far corners of the outer ring are white.
    auto& etched = plainFrame(host, gradframe::ap3D, "");
    const sim::Bitmap& e = host.window(etched).bitmap();
    const std::int32_t w = e.width(), h = e.height();
    ASSERT_GT(w, 8);
    ASSERT_GT(h, 8);
    for (std::int32_t x = 0; x < w - 1; ++x) {
      EXPECT_EQ(e.at(x, 0), kBorder) << x;
      EXPECT_EQ(e.at(x, h - 2), kBorder) << x;
    }
    for (std::int32_t y = 0; y < h - 1; ++y) {
      EXPECT_EQ(e.at(0, y), kBorder) << y;
      EXPECT_EQ(e.at(w - 2, y), kBorder) << y;
    }
    for (std::int32_t x = 0; x < w; ++x) EXPECT_EQ(e.at(x, h - 1), kWhite) << x;
    for (std::int32_t y = 0; y < h; ++y) EXPECT_EQ(e.at(w - 1, y), kWhite) << y;
    for (std::int32_t x = 1; x < w - 2; ++x) EXPECT_EQ(e.at(x, 1), kWhite) << x;
    for (std::int32_t y = 1; y < h - 2; ++y) EXPECT_EQ(e.at(1, y), kWhite) << y;
    EXPECT_EQ(e.at(2, 2), kBack);
    EXPECT_EQ(e.at(w - 3, h - 3), kBack);
  }
}

TEST(WidgetsAtHighDpi, GradFrameCaptionTabHasItsHighlightOnePixelInAndTheTextInside) {
  for (const Dpi& d : kScreens) {
    // Text pixels of the caption drawn whole on this screen: text grows with the DPI, so the
    // count comes from a flat frame, which has room for it, at the same resolution.
    sim::SimHost reference(d.x, d.y);
    const int wholeText = countColor(
        reference.window(plainFrame(reference, gradframe::apFlat, "Options")).bitmap(), kText);
    ASSERT_GT(wholeText, 0);
    for (std::int32_t a = gradframe::caTopLeft; a <= gradframe::caBottomRight; ++a) {
      SCOPED_TRACE(d.name() + " alignment " + std::to_string(a));
      sim::SimHost host(d.x, d.y);
      auto& f = plainFrame(host, gradframe::ap3D, "Options");
      f.setCaptionAlignment(a);
      const sim::Bitmap& b = host.window(f).bitmap();
      const std::int32_t w = b.width(), h = b.height();
      const bool right = a == gradframe::caTopRight || a == gradframe::caBottomRight;
      const bool bottom = a == gradframe::caBottomLeft || a == gradframe::caBottomRight;
      // The straight edge of the tab crosses a column just inside the frame; walk it from the
      // caption's side until the edge.
      const std::int32_t column = right ? w - 4 : 3;
      const std::int32_t step = bottom ? -1 : 1;
      std::int32_t edge = bottom ? h - 4 : 3;
      while (edge > 2 && edge < h - 3 && b.at(column, edge) != kBorder) edge += step;
      ASSERT_TRUE(edge > 2 && edge < h - 3) << "no tab edge in column " << column;
      // It starts at the frame's own line: column 1 at the left, the border column at the right.
      EXPECT_EQ(b.at(right ? w - 3 : 1, edge), kBorder);
      // The white highlight runs on the row below, whichever side the tab hangs from: etched
      // lines are lit from the top left.
      EXPECT_EQ(b.at(column, edge + 1), kWhite);
      EXPECT_EQ(b.at(right ? w - 3 : 2, edge + 1), kWhite);
      // All of the caption is drawn, between the frame's line and the tab's edge.
      EXPECT_EQ(countColor(b, kText), wholeText);
      for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) {
          if (b.at(x, y) != kText) continue;
          ASSERT_TRUE(bottom ? (y > edge + 1 && y < h - 2) : (y > 1 && y < edge))
              << x << "," << y << " edge " << edge;
          ASSERT_TRUE(x > 1 && x < w - 2) << x << "," << y;
        }
      if (d.x == 10 && d.y == 10 && a == gradframe::caTopLeft) savePng(b, "gradframe_10tpp");
    }
  }
}

// ---- NxProgressBar ----

TEST(WidgetsAtHighDpi, ProgressBarFlatBorderIsTheOutermostRing) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    sim::SiteOptions o;
    o.name = "Bar";
    o.width = 3000;
    o.height = 450;
    auto& bar = host.create<NxProgressBar>(o);
    bar.setAppearance(apFlat);
    bar.setBorderStyle(bsFixedSingle);
    bar.setBorderColor(kBorder);
    bar.setValue(60);
    const sim::Bitmap& b = host.window(bar).bitmap();
    EXPECT_EQ(b.width(), static_cast<std::int32_t>(3000 / d.x + 0.5));
    expectRing(b, 0, kBorder);
    // Inside the ring the bar and the back are drawn, not the border.
    for (std::int32_t x = 1; x < b.width() - 1; ++x) EXPECT_NE(b.at(x, 1), kBorder) << x;
    for (std::int32_t y = 1; y < b.height() - 1; ++y)
      EXPECT_NE(b.at(b.width() - 2, y), kBorder) << y;
    if (d.x == 10 && d.y == 10) savePng(b, "progressbar_flat_10tpp");
  }
}

// ---- NxMeter ----

TEST(WidgetsAtHighDpi, MeterSnapsToItsSegmentsInPixelsOfTheScreen) {
  for (const Dpi& d : kScreens) {
    for (std::int32_t orientation : {meter::orVertical, meter::orHorizontal}) {
      for (std::int32_t appearance : {meter::apFlat, meter::ap3D}) {
        SCOPED_TRACE(d.name() + (orientation == meter::orVertical ? " vertical" : " horizontal") +
                     (appearance == meter::ap3D ? " 3D" : " flat"));
        sim::SimHost host(d.x, d.y);
        sim::SiteOptions o;
        o.name = "NxMeter1";
        const bool vertical = orientation == meter::orVertical;
        // 20 x 200 pixels (or 200 x 20) of this screen.
        o.width = (vertical ? 20 : 200) * d.x;
        o.height = (vertical ? 200 : 20) * d.y;
        auto& m = host.create<NxMeter>(o);
        m.setOrientation(orientation);
        m.setAppearance(appearance);
        m.setBorderStyle(meter::bsFixedSingle);
        m.setSteps(12);
        const sim::SimWindow& w = host.window(m);
        const sim::Bitmap& b = w.bitmap();
        const std::vector<Rect>& s = m.segments();
        ASSERT_EQ(s.size(), 12u);
        const std::int32_t length = vertical ? b.height() : b.width();
        const std::int32_t size = vertical ? s[0].height() : s[0].width();
        // The drawing length is the segments, the gaps of two pixels at both ends and one pixel
        // between segments, exactly.
        EXPECT_EQ(length, 12 * size + 4 + 11);
        // The window's length in twips is that many pixels plus the window border's.
        const double border = appearance == meter::ap3D ? 4 : 2;
        EXPECT_DOUBLE_EQ(vertical ? w.height() : w.width(),
                         (length + border) * (vertical ? d.y : d.x));
        if (vertical) {
          EXPECT_EQ(s.front().bottom, length - 2);
          EXPECT_EQ(s.back().top, 2);
        } else {
          EXPECT_EQ(s.front().left, 2);
          EXPECT_EQ(s.back().right, length - 2);
        }
        if (d.x == 10 && d.y == 10 && vertical && appearance == meter::ap3D) {
          m.setValue(70);
          savePng(b, "meter_vertical_10tpp");
        }
      }
    }
  }
}

// ---- NxCheckBox and NxHyperLink ----

constexpr Rgb kChecked = 0x0000A000;

void registerCheckPictures(sim::SimServices& services) {
  for (int i = 0; i < 3; ++i) {
    const Rgb c = i == 2 ? kChecked : 0x000000C8 + static_cast<Rgb>(i);  // 2: checked
    for (const char* set : {"CHK_IMG1_", "CHK_IMG0_"})
      services.addResourcePicture(set + std::to_string(i),
                                  std::make_shared<sim::SimPicture>(sim::Bitmap(16, 16, c)));
  }
  services.addResourceCursor("CHECK", std::make_shared<sim::SimCursor>("CHECK"));
}

TEST(WidgetsAtHighDpi, CheckBoxImageIsInsideAndTheMaskIsTheWindowsSize) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    registerCheckPictures(host.services());
    sim::SiteOptions o;
    o.name = "Accept";
    o.width = 2000;
    o.height = 300;
    auto& cb = host.create<NxCheckBox>(o);
    cb.setBackColor(0x00C0C0C0);
    cb.setValue(1);
    const sim::SimWindow& w = host.window(cb);
    const sim::Bitmap& b = w.bitmap();
    // The box image is 240 twips square, at the left, whole.
    const auto side = static_cast<std::int32_t>(240 / d.x + 0.5);
    const auto sideY = static_cast<std::int32_t>(240 / d.y + 0.5);
    EXPECT_EQ(countColor(b, kChecked), side * sideY);
    EXPECT_EQ(b.at(0, 0), kChecked);
    EXPECT_EQ(b.at(side - 1, sideY - 1), kChecked);
    EXPECT_NE(b.at(side, 0), kChecked);
    if (d.x == 10 && d.y == 10) savePng(b, "checkbox_10tpp");

    // The mask keeps exactly the non-background pixels, over the whole window.
    cb.setUseMaskColor(true);
    ASSERT_NE(w.region(), nullptr);
    for (std::int32_t y = 0; y < b.height(); ++y)
      for (std::int32_t x = 0; x < b.width(); ++x)
        ASSERT_EQ(w.region()->contains(x, y), b.at(x, y) != 0x00C0C0C0) << x << "," << y;
    // Without it the window gets its whole rectangle back.
    cb.setUseMaskColor(false);
    ASSERT_NE(w.region(), nullptr);
    EXPECT_EQ(w.region()->bounds(), (Rect{0, 0, b.width(), b.height()}));
    EXPECT_EQ(w.region()->rects().size(), 1u);
  }
}

TEST(WidgetsAtHighDpi, HyperLinkMaskCoversTheWholeWindow) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    sim::SimHost host(d.x, d.y);
    sim::SiteOptions o;
    o.name = "a link with words";
    o.width = 3000;
    o.height = 600;
    auto& link = host.create<NxHyperLink>(o);
    link.setBackColor(0x00C0C0C0);
    link.setMaskColor(0x00C0C0C0);
    link.setUseMaskColor(true);
    const sim::SimWindow& w = host.window(link);
    const sim::Bitmap& b = w.bitmap();
    ASSERT_NE(w.region(), nullptr);
    int kept = 0;
    for (std::int32_t y = 0; y < b.height(); ++y)
      for (std::int32_t x = 0; x < b.width(); ++x) {
        ASSERT_EQ(w.region()->contains(x, y), b.at(x, y) != 0x00C0C0C0) << x << "," << y;
        kept += b.at(x, y) != 0x00C0C0C0;
      }
    EXPECT_GT(kept, 0);
    link.setUseMaskColor(false);
    EXPECT_EQ(w.region()->bounds(), (Rect{0, 0, b.width(), b.height()}));
    if (d.x == 10 && d.y == 10) savePng(b, "hyperlink_10tpp");
  }
}

}  // namespace
}  // namespace nx
