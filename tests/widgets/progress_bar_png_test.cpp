// Every theme in both orientations: the pictures a person looks at (written as PNG), checked
// against the drawing rules so that a wrong drawing fails: the filled length, the solid strip of
// the tube look, the gradient ends of the soft look, the flat border, and the line fallback
// giving the same picture as the platform's gradient fill.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

constexpr std::int32_t kWidthPx = 200;
constexpr std::int32_t kHeightPx = 30;

sim::Bitmap drawBar(sim::SimHost& host, std::int32_t theme, std::int32_t orientation,
                    const std::string& suffix) {
  sim::SiteOptions o;
  o.name = "Bar";
  o.width = kWidthPx * 15;
  o.height = kHeightPx * 15;
  auto& bar = host.create<NxProgressBar>(o);
  bar.setTheme(theme);
  bar.setOrientation(orientation);
  bar.setValue(60);
  const sim::Bitmap& bitmap = host.window(bar).bitmap();
  std::filesystem::create_directories(NX_PNG_DIR);
  std::string path = std::string(NX_PNG_DIR) + "/progressbar_theme" + std::to_string(theme) +
                     (orientation == orVertical ? "_vertical" : "_horizontal") + suffix + ".png";
  EXPECT_TRUE(sim::writePng(path, bitmap)) << path;
  return bitmap;
}

int channelDistance(Rgb a, Rgb b) {
  return std::max({std::abs(redOf(a) - redOf(b)), std::abs(greenOf(a) - greenOf(b)),
                   std::abs(blueOf(a) - blueOf(b))});
}

TEST(NxProgressBarPictures, EveryThemeFollowsTheDrawingRules) {
  sim::SimHost host;
  for (std::int32_t theme = thmCorporate; theme <= thmNature3D; ++theme) {
    const ProgressBarTheme t = *progressBarTheme(theme);
    const auto rgb = [](OleColor c) { return static_cast<Rgb>(c); };
    const sim::Bitmap h = drawBar(host, theme, orHorizontal, "");
    // 60 % of the drawing width is filled; the 3D looks lose the border to the window frame.
    const std::int32_t w = h.width(), hh = h.height();
    const std::int32_t fill = (w * 60 + 50) / 100;
    SCOPED_TRACE("theme " + std::to_string(theme));
    if (t.lightStyle == lsTube) {
      // The bottom strip keeps the solid colours: bar inside the fill, back after it.
      EXPECT_EQ(h.at(fill / 2, hh - 2), rgb(t.bar));
      EXPECT_EQ(h.at(fill + (w - fill) / 2, hh - 2), rgb(t.back));
    } else {
      // Light at the top, turning into the bar or back colour towards the bottom.
      const auto nearer = [](Rgb p, Rgb to, Rgb than) {
        return channelDistance(p, to) < channelDistance(p, than);
      };
      EXPECT_TRUE(nearer(h.at(fill / 2, hh - 2), rgb(t.bar), rgb(t.light)));
      EXPECT_TRUE(nearer(h.at(fill / 2, 1), rgb(t.light), rgb(t.bar)));
      EXPECT_TRUE(nearer(h.at(fill + (w - fill) / 2, hh - 2), rgb(t.back), rgb(t.light)) ||
                  t.back == t.light);
    }
    // The fill ends where it should: a change of colour along the middle row at `fill`.
    EXPECT_NE(h.at(fill - 2, hh / 2), h.at(fill + 2, hh / 2));
    EXPECT_EQ(h.at(fill - 3, hh / 2), h.at(fill - 2, hh / 2));
    if (t.appearance == apFlat) {
      EXPECT_EQ(h.at(0, 0), rgb(t.border));
      EXPECT_EQ(h.at(w - 1, hh - 1), rgb(t.border));
    }

    const sim::Bitmap v = drawBar(host, theme, orVertical, "");
    // Vertical: width and height swapped, the bar grows upward from the bottom.
    const std::int32_t vw = v.width(), vh = v.height();
    EXPECT_GT(vh, vw);
    const std::int32_t vfill = (vh * 60 + 50) / 100;
    EXPECT_NE(v.at(vw / 2, vh - vfill - 3), v.at(vw / 2, vh - vfill + 3));
    EXPECT_EQ(v.at(vw / 2, vh - 3), v.at(vw / 2, vh - vfill + 3));
  }
}

TEST(NxProgressBarPictures, LineFallbackDrawsWhatTheGradientFillDraws) {
  // The drawing strategy is chosen once per thread: each picture on a thread of its own.
  const auto drawOnThread = [](std::int32_t theme, bool fill) {
    sim::Bitmap out(1, 1);
    std::thread([&] {
      sim::SimHost host;
      host.services().setGradientFillAvailable(fill);
      out = drawBar(host, theme, orHorizontal, fill ? "" : "_lines");
    }).join();
    return out;
  };
  {
    for (std::int32_t theme : {thmCorporate, thmVitamin}) {
      const sim::Bitmap a = drawOnThread(theme, true);
      const sim::Bitmap b = drawOnThread(theme, false);
      ASSERT_EQ(a.width(), b.width());
      ASSERT_EQ(a.height(), b.height());
      int worst = 0;
      for (std::int32_t y = 0; y < a.height(); ++y)
        for (std::int32_t x = 0; x < a.width(); ++x)
          worst = std::max(worst, channelDistance(a.at(x, y), b.at(x, y)));
      EXPECT_LE(worst, 2) << "theme " << theme;
    }
  }
}

}  // namespace
}  // namespace nx
