// Writes a picture of every theme in both orientations, for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

std::string writeBar(sim::SimHost& host, std::int32_t theme, std::int32_t orientation,
                     std::int32_t value, const std::string& suffix) {
  sim::SiteOptions o;
  o.name = "Bar";
  o.width = 3000;
  o.height = 450;
  auto& bar = host.create<NxProgressBar>(o);
  bar.setTheme(theme);
  bar.setOrientation(orientation);
  bar.setValue(value);
  std::filesystem::create_directories(NX_PNG_DIR);
  std::string path = std::string(NX_PNG_DIR) + "/progressbar_theme" + std::to_string(theme) +
                     (orientation == orVertical ? "_vertical" : "_horizontal") + suffix + ".png";
  EXPECT_TRUE(sim::writePng(path, host.window(bar).bitmap())) << path;
  return path;
}

TEST(NxProgressBarPng, EveryThemeInBothOrientations) {
  sim::SimHost host;
  for (std::int32_t theme = thmCorporate; theme <= thmNature3D; ++theme) {
    for (std::int32_t orientation : {orHorizontal, orVertical}) {
      std::string path = writeBar(host, theme, orientation, 60, "");
      EXPECT_GT(std::filesystem::file_size(path), 100u) << path;
    }
  }
}

TEST(NxProgressBarPng, LineFallbackPictures) {
  std::thread([] {
    sim::SimHost host;
    host.services().setGradientFillAvailable(false);
    for (std::int32_t theme : {thmCorporate, thmVitamin}) {
      std::string path = writeBar(host, theme, orHorizontal, 60, "_lines");
      EXPECT_TRUE(std::filesystem::exists(path));
    }
  }).join();
}

}  // namespace
}  // namespace nx
