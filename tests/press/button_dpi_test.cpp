// NxButton at screens of 12, 10 and 7.5 twips per pixel (120, 144 and 192 DPI) and at one whose
// pixels are not square. Text grows with the screen's DPI (15 / twips per pixel of height), so
// with a font that much smaller in points the caption keeps its size in pixels, and a button of
// the same size in pixels must draw exactly the pixels it draws at 15 twips per pixel: borders,
// focus frames, cuts, the light band, the bottom line, round corners, caption outlines and
// shadows, the pressed shift and the window shape are whole pixels everywhere. With the font
// as it is, the caption grows and stays whole and centred.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_surface.h"
#include "platform/sim/sim_text.h"
#include "press/button/button.h"
#include "press/button/button_paint.h"

namespace nx {
namespace {

struct Dpi {
  double x;
  double y;
  std::string name() const { return std::to_string(x) + "x" + std::to_string(y); }
};
const std::vector<Dpi> kScreens = {{12, 12}, {10, 10}, {7.5, 7.5}, {10, 7.5}};

constexpr Rgb kFace = 0x306090;
constexpr Rgb kText = 0x0000C0;
constexpr Rgb kEdge = 0x204020;
constexpr Rgb kIcon = 0x00C000;

// The number of pixels that differ, and the first of them in the message.
::testing::AssertionResult samePixels(const sim::Bitmap& a, const sim::Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return ::testing::AssertionFailure() << "sizes " << a.width() << "x" << a.height() << " and "
                                         << b.width() << "x" << b.height();
  int differ = 0;
  std::string first;
  for (std::int32_t y = 0; y < a.height(); ++y)
    for (std::int32_t x = 0; x < a.width(); ++x)
      if (a.at(x, y) != b.at(x, y) && differ++ == 0)
        first = std::to_string(x) + "," + std::to_string(y);
  if (differ == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differ << " pixels differ, first at " << first;
}

// A look for a button of w x h pixels; sizes in twips follow the screen.
struct PixelLook {
  ButtonLook look;
  double iconWidthPx = 0;
  double iconHeightPx = 0;
};

PixelLook baseLook(std::int32_t w, std::int32_t h) {
  PixelLook p;
  ButtonLook& l = p.look;
  l.colorA = l.hoverColorA = kFace;
  l.colorB = l.hoverColorB = 0xA0C0E0;
  l.foreColor = l.hoverForeColor = kText;
  l.borderColor = kEdge;
  l.caption = "&OK";
  l.innerWidthPx = l.outerWidthPx = w;
  l.innerHeightPx = l.outerHeightPx = h;
  return p;
}

struct Drawn {
  sim::Bitmap bitmap;
  std::unique_ptr<Region> region;
};

// The default font, made as much smaller in points as the screen makes text larger in pixels:
// its text has the pixel size the default font has at 15 twips per pixel.
FontDesc samePixelsFont(double tppY) {
  FontDesc f;
  f.size = f.size * tppY / 15;
  return f;
}

Drawn draw(const PixelLook& p, double tppX, double tppY, const FontDesc& font) {
  sim::SimServices services;
  sim::SimSurface surface(tppX, tppY, std::make_shared<sim::Switches>(),
                          std::make_shared<sim::SimFont>(font));
  ButtonLook look = p.look;
  look.scaleWidth = look.innerWidthPx * tppX;
  look.scaleHeight = look.innerHeightPx * tppY;
  look.iconWidth = p.iconWidthPx * tppX;
  look.iconHeight = p.iconHeightPx * tppY;
  surface.resizePixels(look.innerWidthPx, look.innerHeightPx);
  ButtonPaintResult r = paintButton(surface, look, services);
  return Drawn{surface.bitmap(), std::move(r.region)};
}

Drawn draw(const PixelLook& p, double tppX, double tppY) {
  return draw(p, tppX, tppY, samePixelsFont(tppY));
}

// The looks that draw lines, frames, grooves and offsets of one or two pixels.
std::vector<std::pair<std::string, PixelLook>> pixelLooks() {
  std::vector<std::pair<std::string, PixelLook>> out;
  // 80 x 31 pixels: the 12 x 13 pixel caption centres on whole pixels.
  const auto add = [&](std::string name, auto change) {
    PixelLook p = baseLook(80, 31);
    change(p.look);
    out.emplace_back(std::move(name), std::move(p));
  };
  add("raised 3D", [](ButtonLook&) {});
  add("pressed 3D", [](ButtonLook& l) { l.pressed = true; });
  add("focused 3D", [](ButtonLook& l) { l.focus = true; });
  add("default 3D", [](ButtonLook& l) { l.isDefault = true; });
  add("flat round", [](ButtonLook& l) {
    l.borderAppearance = apFlat;
    l.cornerStyle = csRound;
  });
  add("flat round focused", [](ButtonLook& l) {
    l.borderAppearance = apFlat;
    l.cornerStyle = csRound;
    l.focus = true;
  });
  add("soft cuts and bottom line", [](ButtonLook& l) {
    l.cutStyle = posBoth;
    l.bottomLine = true;
  });
  add("hard cuts, gel face", [](ButtonLook& l) {
    l.cutStyle = posBoth;
    l.cutStrength = stHard;
    l.gradientStyle = gtGel;
  });
  add("shadow outline, bottom right", [](ButtonLook& l) {
    l.outline = olShadow;
    l.alignment = aaBottomRight;
  });
  add("regular outline, top left", [](ButtonLook& l) {
    l.outline = olRegular;
    l.alignment = aaTopLeft;
  });
  add("disabled", [](ButtonLook& l) { l.enabled = false; });
  return out;
}

TEST(NxButtonAtHighDpi, EveryLookDrawsThePixelsItDrawsAtFifteenTwips) {
  for (const auto& [name, look] : pixelLooks()) {
    const Drawn reference = draw(look, 15, 15);
    for (const Dpi& d : kScreens) {
      SCOPED_TRACE(name + " at " + d.name());
      const Drawn at = draw(look, d.x, d.y);
      EXPECT_TRUE(samePixels(at.bitmap, reference.bitmap));
      ASSERT_NE(at.region, nullptr);
      EXPECT_EQ(*at.region, *reference.region);
    }
  }
}

// The smallest rectangle holding every pixel of `color`; empty when there is none.
Rect boundsOf(const sim::Bitmap& b, Rgb color) {
  Rect r{b.width(), b.height(), 0, 0};
  for (std::int32_t y = 0; y < b.height(); ++y)
    for (std::int32_t x = 0; x < b.width(); ++x)
      if (b.at(x, y) == color)
        r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                 std::max(r.bottom, y + 1)};
  return r;
}

TEST(NxButtonAtHighDpi, LargerCaptionIsWholeAndCentred) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    const double scale = 15 / d.y;
    for (bool pressed : {false, true}) {
      PixelLook p = baseLook(80, 31);
      p.look.pressed = pressed;
      const sim::Bitmap b = draw(p, d.x, d.y, FontDesc{}).bitmap;
      // "OK" with its O underlined: the underline runs from the first column of the cell, the
      // glyph outlines end one column before its last and leave the two rows at its top; the
      // underline is on its last row.
      const std::int32_t cellW = sim::textWidthPx(FontDesc{}, "OK", scale);
      const std::int32_t cellH = sim::lineHeightPx(FontDesc{}, scale);
      ASSERT_GT(cellH, 13);  // larger than at 15 twips per pixel
      const Rect t = boundsOf(b, kText);
      EXPECT_EQ(t.width(), cellW - 1);
      EXPECT_EQ(t.height(), cellH - 2);
      // The cell is centred to within a pixel; pressed, it moves one pixel right and down.
      const std::int32_t shift = pressed ? 1 : 0;
      const std::int32_t left = t.left - shift, right = 80 - (t.left + cellW) + shift;
      const std::int32_t top = t.top - 2 - shift, bottom = 31 - (t.top - 2 + cellH) + shift;
      EXPECT_LE(std::abs(left - right), 1) << left << " " << right;
      EXPECT_LE(std::abs(top - bottom), 1) << top << " " << bottom;
    }
  }
}

TEST(NxButtonAtHighDpi, BordersLieOnTheOutermostPixelsAndCutsTwoColumnsIn) {
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    PixelLook p = baseLook(60, 30);
    p.look.caption = "";
    p.look.lightEffect = false;
    p.look.colorA = p.look.colorB = kFace;
    p.look.borderAppearance = apFlat;
    const sim::Bitmap flat = draw(p, d.x, d.y).bitmap;
    for (std::int32_t x = 0; x < 60; ++x) {
      EXPECT_EQ(flat.at(x, 0), kEdge) << x;
      EXPECT_EQ(flat.at(x, 29), kEdge) << x;
      EXPECT_EQ(flat.at(x, 1), x == 0 || x == 59 ? kEdge : kFace) << x;
    }
    for (std::int32_t y = 0; y < 30; ++y) {
      EXPECT_EQ(flat.at(0, y), kEdge) << y;
      EXPECT_EQ(flat.at(59, y), kEdge) << y;
      EXPECT_EQ(flat.at(58, y), y == 0 || y == 29 ? kEdge : kFace) << y;
    }
    // A soft cut on the right darkens column 58 and lightens 59 from row 4 to row 26.
    p.look.borderStyle = bsNone;
    p.look.cutStyle = posRight;
    const sim::Bitmap cut = draw(p, d.x, d.y).bitmap;
    for (std::int32_t y = 0; y < 30; ++y) {
      const bool grooved = y >= 4 && y <= 26;
      EXPECT_EQ(cut.at(57, y), kFace) << y;
      EXPECT_EQ(cut.at(58, y) != kFace, grooved) << y;
      EXPECT_EQ(cut.at(59, y) != kFace, grooved) << y;
    }
  }
}

TEST(NxButtonAtHighDpi, IconAdjustmentsArePixels) {
  sim::Bitmap iconPixels(16, 16, kIcon);
  for (const Dpi& d : kScreens) {
    SCOPED_TRACE(d.name());
    PixelLook p = baseLook(80, 40);
    p.look.caption = "";
    p.look.borderStyle = bsNone;
    p.look.lightEffect = false;
    p.look.icon = std::make_shared<sim::SimPicture>(iconPixels);
    p.look.iconAlignment = aaTopLeft;
    p.iconWidthPx = p.iconHeightPx = 16;
    p.look.iconAdjustX = 3;
    p.look.iconAdjustY = 2;
    p.look.pressed = true;  // one more pixel each way
    const sim::Bitmap b = draw(p, d.x, d.y).bitmap;
    // Top left is one pixel in; 3 + 1 across and 2 + 1 down more.
    EXPECT_EQ(b.at(5, 4), kIcon);
    EXPECT_EQ(b.at(20, 19), kIcon);
    EXPECT_NE(b.at(4, 4), kIcon);
    EXPECT_NE(b.at(5, 3), kIcon);
    EXPECT_NE(b.at(21, 19), kIcon);
    EXPECT_NE(b.at(20, 20), kIcon);
  }
}

TEST(NxButtonAtHighDpi, HostedButtonMatchesItsFifteenTwipPicture) {
  const auto make = [](sim::SimHost& host, std::int32_t theme) -> NxButton& {
    sim::SiteOptions o;
    o.name = "Save";
    o.width = 120 * host.twipsPerPixelX();
    // 31 pixels: the 13-pixel caption line centres on a whole pixel (a half-pixel centre is
    // rounded by the twips of each screen, up or down).
    o.height = 31 * host.twipsPerPixelY();
    o.ambientFont = samePixelsFont(host.twipsPerPixelY());
    auto& b = host.create<NxButton>(o);
    b.setTheme(theme);
    b.setCutStyle(posBoth);
    b.setBottomLine(true);
    b.setCornerStyle(csRound);
    return b;
  };
  for (std::int32_t theme = thmSky3D; theme <= thmOfficeBar; ++theme) {
    sim::SimHost reference;
    NxButton& r = make(reference, theme);
    reference.setDisplayAsDefault(r, true);
    for (const Dpi& d : kScreens) {
      SCOPED_TRACE(d.name() + " theme " + std::to_string(theme));
      sim::SimHost host(d.x, d.y);
      NxButton& b = make(host, theme);
      host.setDisplayAsDefault(b, true);
      const sim::SimWindow& w = host.window(b);
      EXPECT_TRUE(samePixels(w.bitmap(), reference.window(r).bitmap()));
      ASSERT_NE(w.region(), nullptr);
      ASSERT_NE(reference.window(r).region(), nullptr);
      EXPECT_EQ(*w.region(), *reference.window(r).region());
      EXPECT_EQ(w.region()->bounds(), (Rect{0, 0, w.bitmap().width(), w.bitmap().height()}));
      if (d.x == 10 && d.y == 10 && theme == thmSky3D) {
        std::filesystem::create_directories(NX_PNG_DIR);
        EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/button_10tpp.png", w.bitmap()));
        EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/button_15tpp.png",
                                  reference.window(r).bitmap()));
      }
    }
  }
}

}  // namespace
}  // namespace nx
