// NxButton pictures a person looks at (written as PNG sheets): every theme in its six states, and
// the nine caption and nine icon positions. Each picture is also checked: states differ where
// their looks differ and agree where they do not, borders sit where the look puts them, and
// caption and icon land in the part of the face their alignment names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "press/button/button.h"

namespace nx {
namespace {

constexpr std::int32_t kWidthPx = 120;
constexpr std::int32_t kHeightPx = 32;
constexpr Rgb kSheet = 0x00C8D0D4;  // the form behind the buttons
constexpr Rgb kWhite = 0x00FFFFFF;
constexpr Rgb kBlack = 0x00000000;

sim::SiteOptions site(std::int32_t widthPx = kWidthPx, std::int32_t heightPx = kHeightPx) {
  sim::SiteOptions o;
  o.name = "Button";
  o.width = widthPx * 15.0;
  o.height = heightPx * 15.0;
  return o;
}

bool samePixels(const sim::Bitmap& a, const sim::Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (std::int32_t y = 0; y < a.height(); ++y)
    for (std::int32_t x = 0; x < a.width(); ++x)
      if (a.at(x, y) != b.at(x, y)) return false;
  return true;
}

// What the form shows of a button: its pixels inside the window's shape, the form elsewhere.
sim::Bitmap shown(const sim::SimWindow& w) {
  sim::Bitmap out = w.bitmap();
  if (const Region* shape = w.region())
    for (std::int32_t y = 0; y < out.height(); ++y)
      for (std::int32_t x = 0; x < out.width(); ++x)
        if (!shape->contains(x, y)) out.set(x, y, kSheet);
  return out;
}

// Pictures side by side with a gap, for one PNG, each pixel shown as 2 x 2 so that single
// pixel lines can be told apart.
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
    const std::int32_t n = static_cast<std::int32_t>(pictures_.size());
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
    constexpr std::int32_t kZoom = 2;
    sim::Bitmap zoomed(sheet.width() * kZoom, sheet.height() * kZoom);
    for (std::int32_t y = 0; y < zoomed.height(); ++y)
      for (std::int32_t x = 0; x < zoomed.width(); ++x)
        zoomed.set(x, y, sheet.at(x / kZoom, y / kZoom));
    std::filesystem::create_directories(NX_PNG_DIR);
    const std::string path = std::string(NX_PNG_DIR) + "/" + name + ".png";
    EXPECT_TRUE(sim::writePng(path, zoomed)) << path;
  }

 private:
  std::vector<sim::Bitmap> pictures_;
};

enum class State { Normal, Hover, Pressed, Focused, Default, Disabled };
constexpr State kStates[] = {State::Normal,  State::Hover,   State::Pressed,
                             State::Focused, State::Default, State::Disabled};

// One button of `theme`, brought into `state` the way a user or the host would.
sim::Bitmap drawState(std::int32_t theme, State state) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(site());
  b.setCaption("&Save file");
  b.setTheme(theme);
  switch (state) {
    case State::Normal:
      break;
    case State::Hover:
      host.moveMouse(host.screenPoint(b, 5, 5));
      break;
    case State::Pressed:
      host.moveMouse(host.screenPoint(b, 5, 5));
      host.mouseDown(b, kLeftButton);
      break;
    case State::Focused:
      host.focus(&b);
      b.setCaption(b.caption());  // the focus shows at the next drawing
      break;
    case State::Default:
      host.setDisplayAsDefault(b, true);
      break;
    case State::Disabled:
      b.setEnabled(false);
      break;
  }
  return shown(host.window(b));
}

TEST(NxButtonPictures, EveryThemeInEveryState) {
  for (std::int32_t theme = thmSky3D; theme <= thmOfficeBar; ++theme) {
    SCOPED_TRACE("theme " + std::to_string(theme));
    const ButtonThemePreset t = *buttonThemePreset(theme);
    std::vector<sim::Bitmap> p;
    Sheet sheet;
    for (State s : kStates) {
      p.push_back(drawState(theme, s));
      sheet.add(p.back());
    }
    sheet.write("button_theme" + std::to_string(theme) + "_states", 3);
    const sim::Bitmap &normal = p[0], &hover = p[1], &pressed = p[2], &focused = p[3],
                      &byDefault = p[4], &disabled = p[5];
    const bool border = t.borderStyle == bsFixedSingle;
    const std::int32_t w = normal.width(), h = normal.height();
    ASSERT_EQ(w, kWidthPx);
    ASSERT_EQ(h, kHeightPx);

    // Every theme has hover colours of its own, and the disabled caption is grey.
    EXPECT_FALSE(samePixels(normal, hover));
    EXPECT_FALSE(samePixels(normal, disabled));
    // Focus and the host's default look alike; without a border neither shows.
    EXPECT_TRUE(samePixels(focused, byDefault));
    EXPECT_EQ(samePixels(normal, focused), !border);
    if (border) {
      // The black focus outline along the edges, the border's own colour under it replaced.
      EXPECT_EQ(focused.at(0, h / 2), kBlack);
      EXPECT_EQ(focused.at(w - 1, h / 2), kBlack);
      EXPECT_EQ(focused.at(w / 2, 0), kBlack);
      EXPECT_EQ(focused.at(w / 2, h - 1), kBlack);
    }
    if (t.borderAppearance == ap3D) {
      // Raised: white top-left, border colour bottom-right. Pressed: one inset rectangle.
      EXPECT_EQ(normal.at(w / 2, 0), kWhite);
      EXPECT_EQ(normal.at(0, h / 2), kWhite);
      EXPECT_EQ(normal.at(w / 2, h - 1), static_cast<Rgb>(t.borderColor));
      EXPECT_EQ(normal.at(w - 1, h / 2), static_cast<Rgb>(t.borderColor));
      EXPECT_EQ(pressed.at(w / 2, 1), static_cast<Rgb>(t.borderColor));
      EXPECT_EQ(pressed.at(1, h / 2), static_cast<Rgb>(t.borderColor));
      EXPECT_EQ(pressed.at(w - 2, h / 2), static_cast<Rgb>(t.borderColor));
      EXPECT_NE(pressed.at(w / 2, 0), kWhite);
      EXPECT_FALSE(samePixels(pressed, hover));
    } else {
      // The mouse cannot push in a flat border or none: a press keeps the hover look (the
      // focus it gives shows at the next drawing).
      EXPECT_TRUE(samePixels(pressed, hover));
      if (border) {
        EXPECT_EQ(normal.at(0, h / 2), static_cast<Rgb>(t.borderColor));
        EXPECT_EQ(normal.at(w / 2, h - 1), static_cast<Rgb>(t.borderColor));
      }
    }
  }
}

// A 16 x 16 icon: a green square with a yellow disc, easy to find on any face.
constexpr Rgb kIconColor = 0x0000C000;
PictureRef makeIcon() {
  sim::Bitmap icon(16, 16, kIconColor);
  for (std::int32_t y = 0; y < 16; ++y)
    for (std::int32_t x = 0; x < 16; ++x) {
      const std::int32_t dx = 2 * x - 15, dy = 2 * y - 15;
      if (dx * dx + dy * dy <= 10 * 10) icon.set(x, y, 0x0000E0FF);
    }
  return std::make_shared<sim::SimPicture>(icon);
}

struct Bounds {
  std::int32_t x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool found() const { return x1 >= 0; }
  double cx() const { return (x0 + x1) / 2.0; }
  double cy() const { return (y0 + y1) / 2.0; }
  bool overlaps(const Bounds& o) const {
    return found() && o.found() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
  }
};

Bounds boundsOf(const sim::Bitmap& b, Rgb color) {
  Bounds r;
  for (std::int32_t y = 0; y < b.height(); ++y)
    for (std::int32_t x = 0; x < b.width(); ++x)
      if (b.at(x, y) == color) {
        r.x0 = std::min(r.x0, x);
        r.y0 = std::min(r.y0, y);
        r.x1 = std::max(r.x1, x);
        r.y1 = std::max(r.y1, y);
      }
  return r;
}

// The third of an extent a centre falls in: 0, 1 or 2.
int thirdOf(double centre, std::int32_t extent) {
  return std::clamp(static_cast<int>(centre * 3 / extent), 0, 2);
}

constexpr Rgb kCaptionColor = 0x00A00000;  // a dark blue no theme colour uses

TEST(NxButtonPictures, CaptionAndIconAlignments) {
  constexpr std::int32_t w = 180, h = 72;
  const PictureRef icon = makeIcon();
  Sheet captions, icons;
  for (std::int32_t a = aaTopLeft; a <= aaBottomCenter; ++a) {
    const AlignmentClasses c = alignmentClasses(a);
    for (bool movingIcon : {false, true}) {
      SCOPED_TRACE(std::string(movingIcon ? "icon" : "caption") + " alignment " +
                   std::to_string(a));
      sim::SimHost host;
      auto& b = host.create<NxButton>(site(w, h));
      b.setCaption("Print");
      b.setForeColor(kCaptionColor);
      b.setIcon(icon);
      if (movingIcon) {
        b.setAlignment(aaMiddleCenter);
        b.setIconAlignment(a);
      } else {
        b.setAlignment(a);
        b.setIconAlignment(aaMiddleLeft);
      }
      const sim::Bitmap picture = shown(host.window(b));
      (movingIcon ? icons : captions).add(picture);
      const Bounds text = boundsOf(picture, kCaptionColor);
      const Bounds disc = boundsOf(picture, kIconColor);
      ASSERT_TRUE(text.found());
      ASSERT_TRUE(disc.found());
      EXPECT_EQ(disc.x1 - disc.x0, 15);
      EXPECT_EQ(disc.y1 - disc.y0, 15);
      const Bounds& moved = movingIcon ? disc : text;
      EXPECT_EQ(thirdOf(moved.cx(), w), c.horizontal);
      EXPECT_EQ(thirdOf(moved.cy(), h), c.vertical);
      // The caption keeps out of the icon's way wherever they share a row or a column; an icon
      // in the very middle is the one place nothing moves it.
      EXPECT_EQ(text.overlaps(disc), movingIcon && a == aaMiddleCenter);
      // Both stay inside the border.
      EXPECT_GE(std::min(text.x0, disc.x0), 1);
      EXPECT_LE(std::max(text.x1, disc.x1), w - 2);
      EXPECT_GE(std::min(text.y0, disc.y0), 1);
      EXPECT_LE(std::max(text.y1, disc.y1), h - 2);
    }
  }
  captions.write("button_caption_alignments", 3);
  icons.write("button_icon_alignments", 3);
}

TEST(NxButtonPictures, FacesAndShapesBeyondTheThemes) {
  Sheet sheet;
  // Gel face, round flat corners, cuts, bottom line, and a shadowed caption.
  sim::SimHost host;
  auto& gel = host.create<NxButton>(site());
  gel.setCaption("Gel && round");
  gel.setTheme(thmCandy3D);
  gel.setGradientStyle(gtGel);
  gel.setCornerStyle(csRound);
  const sim::Bitmap round = shown(host.window(gel));
  sheet.add(round);
  // The window loses its corner pixel and the two next to it at each corner.
  for (auto [x, y] : {std::pair{0, 0}, std::pair{kWidthPx - 1, 0}, std::pair{0, kHeightPx - 1},
                      std::pair{kWidthPx - 1, kHeightPx - 1}}) {
    EXPECT_EQ(round.at(x, y), kSheet) << x << "," << y;
  }
  EXPECT_EQ(round.at(0, 1), kSheet);
  EXPECT_EQ(round.at(1, 0), kSheet);
  EXPECT_NE(round.at(0, 3), kSheet);

  auto& cut = host.create<NxButton>(site());
  cut.setCaption("Cut both");
  cut.setTheme(thmSky3D);
  cut.setCutStyle(posBoth);
  cut.setOutline(olShadow);
  cut.setBottomLine(true);
  cut.setLightEffect(true);
  const sim::Bitmap cuts = shown(host.window(cut));
  sheet.add(cuts);

  auto& office = host.create<NxButton>(site());
  office.setTheme(thmOfficeBar);
  office.setCaption("Office &bar");
  office.setCutStyle(posBoth);
  office.setLightEffect(true);
  office.setBottomLine(true);
  const sim::Bitmap bar = shown(host.window(office));
  sheet.add(bar);
  // Without a border the bottom two rows show as the top two, light band included.
  for (std::int32_t x : {0, 1, 5, kWidthPx / 2, kWidthPx - 1}) {
    EXPECT_EQ(bar.at(x, kHeightPx - 1), bar.at(x, 0)) << x;
    EXPECT_EQ(bar.at(x, kHeightPx - 2), bar.at(x, 1)) << x;
  }
  EXPECT_NE(bar.at(kWidthPx / 2, 1), bar.at(kWidthPx / 2, kHeightPx / 2 + 8));
  sheet.write("button_faces", 3);
  EXPECT_FALSE(samePixels(round, cuts));
}

}  // namespace
}  // namespace nx
